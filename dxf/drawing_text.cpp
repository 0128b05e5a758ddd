#include "dxf/drawing_text.h"

namespace {

constexpr std::uint32_t kFirstUtf8Version = 1021;

std::string_view TrimBlanks(std::string_view Text) {
  const std::size_t first = Text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return Text.substr(first, Text.find_last_not_of(" \t") - first + 1);
}

// The number after Prefix when all the rest of Text is digits (at most nine);
// 0 otherwise.
std::uint32_t NumberAfter(std::string_view Text, std::string_view Prefix) {
  if (!Text.starts_with(Prefix)) return 0;
  Text.remove_prefix(Prefix.size());
  if (Text.empty() || Text.size() > 9) return 0;
  std::uint32_t n = 0;
  for (const char c : Text) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return n;
}

// A whole number of at most nine digits, a minus sign allowed; 0 otherwise.
std::int32_t WholeNumber(std::string_view Text) {
  const bool negative = Text.starts_with('-');
  if (negative) Text.remove_prefix(1);
  const std::uint32_t n = NumberAfter(Text, "");
  return negative ? -static_cast<std::int32_t>(n) : static_cast<std::int32_t>(n);
}

}  // namespace

void TDrawingText::HeaderPair(std::int32_t Code, std::string_view Value) {
  if (Code == 0 && Value == "ENDSEC") {
    inHeader_ = false;
    return;
  }
  const TNext what = next_;
  next_ = TNext::Other;
  if (what == TNext::Version) {
    utf8_ = NumberAfter(TrimBlanks(Value), "AC") >= kFirstUtf8Version;
    Choose();
  } else if (what == TNext::CodePage) {
    const std::uint32_t codePage = NumberAfter(TrimBlanks(Value), "ANSI_");
    codePage_ = codePage == 932 ? 0 : codePage;
    Choose();
  } else if (what == TNext::Units) {
    units_ = WholeNumber(TrimBlanks(Value));
  }
  // A variable given twice is read by its first value, as styles are.
  if (Code == 9) {
    if (Value == "$ACADVER" && !versionSeen_) {
      next_ = TNext::Version;
      versionSeen_ = true;
    } else if (Value == "$DWGCODEPAGE" && !codePageSeen_) {
      next_ = TNext::CodePage;
      codePageSeen_ = true;
    } else if (Value == "$INSUNITS" && !unitsSeen_) {
      next_ = TNext::Units;
      unitsSeen_ = true;
    }
  }
}

void TDrawingText::Choose() {
  const std::uint32_t from = utf8_ ? kUtf8CodePage : codePage_;
  if (converter_ && converter_->From() == from) return;
  converter_.reset();
  if (from == 0) return;
  auto converter = std::make_unique<TCp932Converter>(from);
  if (converter->Known()) converter_ = std::move(converter);
}
