#include "widgets/pl_button_layout.h"

#include "text/shift_jis.h"

TRgbValue GradientRow(TRgbValue Begin, TRgbValue End, int Y, int Height) {
  if (Height <= 1) return Begin;
  auto mix = [&](int shift) {
    const int b = static_cast<int>((Begin >> shift) & 0xFF);
    const int e = static_cast<int>((End >> shift) & 0xFF);
    return b + Y * (e - b) / (Height - 1);
  };
  return RgbValue(mix(0), mix(8), mix(16));
}

TCaptionPlace PlaceCaptions(int Height, int HeightA, int HeightB, bool HasA, bool HasB, int LineSpace, bool VertCenter,
                            int CaptionTop) {
  TCaptionPlace place{};
  if (!VertCenter) {
    place.TopA = CaptionTop;
    place.TopB = CaptionTop + (HasA ? HeightA + LineSpace : 0);
    place.CaptionTop = CaptionTop;
    return place;
  }
  place.TopA = HasB ? (Height - 2 * HeightA - LineSpace) / 2 : (Height - HeightA) / 2 + 1;
  if (HasA) {
    place.TopB = HeightA + place.TopA + LineSpace;
    place.CaptionTop = place.TopA;
  } else {
    place.TopB = (Height - HeightB) / 2;
    place.CaptionTop = place.TopB;
  }
  return place;
}

std::vector<std::size_t> CharacterStarts(const std::string& Text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    starts.push_back(i);
    i += ShiftJisCharSize(Text, i) - 1;
  }
  return starts;
}

std::vector<int> SpreadEven(const std::vector<int>& Widths, int Total, int Span, int X0) {
  std::vector<int> xs;
  const int n = static_cast<int>(Widths.size());
  if (n == 0) return xs;
  // Both gap and remainder carry the sign of the spare space (C++ division).
  const int spare = Span - Total;
  const int gap = n > 1 ? spare / (n - 1) : 0;
  int remainder = n > 1 ? spare % (n - 1) : 0;
  int x = X0;
  for (int i = 0; i < n; ++i) {
    xs.push_back(x);
    x += Widths[i] + gap;
    if (remainder > 0) {
      ++x;
      --remainder;
    } else if (remainder < 0) {
      --x;
      ++remainder;
    }
  }
  return xs;
}
