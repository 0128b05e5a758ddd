// The gradient button's layout arithmetic: the colour of each gradient row,
// where the caption lines and the picture go, and the even spreading of a
// caption's characters. Plain integers, no Windows header, so the native
// suite tests it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A colour as Windows keeps it in a COLORREF: 0x00BBGGRR.
using TRgbValue = std::uint32_t;

constexpr TRgbValue RgbValue(int R, int G, int B) {
  return static_cast<TRgbValue>(R) | (static_cast<TRgbValue>(G) << 8) | (static_cast<TRgbValue>(B) << 16);
}

// Colour of row Y of a vertical gradient of Height rows:
// Begin + Y * (End - Begin) / (Height - 1) per component, rounded toward zero.
// Height 1 (or less) gives Begin.
TRgbValue GradientRow(TRgbValue Begin, TRgbValue End, int Y, int Height);

// Where the two caption lines go, from the button's height, the lines' text
// heights and whether each has text.
struct TCaptionPlace {
  int TopA;        // the first line's top
  int TopB;        // the second line's top
  int CaptionTop;  // the top that CaptionTop reports: the line placed first
};
// Centred: one line at (Height - HeightA) / 2 + 1, two lines as a block of
// HeightA + LineSpace + HeightA, a second line alone at (Height - HeightB) / 2.
// Not centred: the first line at CaptionTop, the second below it.
TCaptionPlace PlaceCaptions(int Height, int HeightA, int HeightB, bool HasA, bool HasB, int LineSpace, bool VertCenter,
                            int CaptionTop);

// The picture's offset along one side: centred in Outer, or Given.
constexpr int PictureOffset(bool Centred, int Outer, int Inner, int Given) {
  return Centred ? (Outer - Inner) / 2 : Given;
}

// Byte offsets of the characters of a code-page-932 text (a lead byte and
// its trail byte make one character).
std::vector<std::size_t> CharacterStarts(const std::string& Text);

// x of each character when the characters are spread over Span pixels from
// X0: the widths' sum is Total (the whole caption's width); the spare pixels
// are shared out as equal gaps, the remainder one pixel at a time from the
// left.
std::vector<int> SpreadEven(const std::vector<int>& Widths, int Total, int Span, int X0);
