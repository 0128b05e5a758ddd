#include "dxf/mtext_codes.h"

#include <cstring>

#include "text/shift_jis.h"

namespace {

// The text being built, with a mark per byte telling whether it is a
// single-byte character, so that a backslash at its end can be recognised.
struct TCharStack {
  std::string Bytes;
  std::string Single;  // 1 for a single-byte character, 0 for either byte of a double-byte one

  void Clear() {
    Bytes.clear();
    Single.clear();
  }
  void Push(std::string_view S, std::size_t Pos, std::size_t Size) {
    Bytes.append(S.data() + Pos, Size);
    Single.append(Size, Size == 1 ? '\1' : '\0');
  }
  bool EndsWithBackslash() const { return !Bytes.empty() && Bytes.back() == '\\' && Single.back() == '\1'; }
  void Pop() {
    Bytes.pop_back();
    Single.pop_back();
  }
};

// Deleting the first "\x" until none is left gives the same text as one pass
// that drops each x meeting a backslash at the end of what is kept so far.
void RemoveTwoByteCode(std::string_view S, char Letter, TCharStack& Out) {
  Out.Clear();
  for (std::size_t i = 0; i < S.size();) {
    const std::size_t size = ShiftJisCharSize(S, i);
    if (size == 1 && S[i] == Letter && Out.EndsWithBackslash()) {
      Out.Pop();
    } else {
      Out.Push(S, i, size);
    }
    i += size;
  }
}

// "\x" up to and including the first ";" after it, again and again from the
// start; a code with no ";" after it ends the removal there.
void RemoveCodeToSemicolon(std::string_view S, char Letter, TCharStack& Out) {
  Out.Clear();
  for (std::size_t i = 0; i < S.size();) {
    const std::size_t size = ShiftJisCharSize(S, i);
    if (size == 1 && S[i] == Letter && Out.EndsWithBackslash()) {
      std::size_t j = i + 1;
      while (j < S.size() && !(S[j] == ';' && ShiftJisCharSize(S, j) == 1)) j += ShiftJisCharSize(S, j);
      if (j >= S.size()) {
        for (; i < S.size(); i += ShiftJisCharSize(S, i)) Out.Push(S, i, ShiftJisCharSize(S, i));
        return;
      }
      Out.Pop();
      i = j + 1;
      continue;
    }
    Out.Push(S, i, size);
    i += size;
  }
}

void Strip(std::string_view Text, std::string& Result) {
  if (std::memchr(Text.data(), '\\', Text.size()) == nullptr) {
    Result.assign(Text);
    return;
  }
  thread_local TCharStack a, b;
  TCharStack* from = &a;
  TCharStack* to = &b;
  from->Clear();
  from->Bytes.assign(Text);
  // A code among the characters is also one among the bytes: a pass whose
  // two bytes do not occur has nothing to do.
  auto mayHold = [&](char Letter) {
    const char code[2] = {'\\', Letter};
    return from->Bytes.find(std::string_view(code, 2)) != std::string::npos;
  };
  for (char letter : {'P', 'O', 'o', 'L', 'l'}) {
    if (!mayHold(letter)) continue;
    RemoveTwoByteCode(from->Bytes, letter, *to);
    std::swap(from, to);
  }
  for (char letter : {'T', 'C'}) {
    if (!mayHold(letter)) continue;
    RemoveCodeToSemicolon(from->Bytes, letter, *to);
    std::swap(from, to);
  }
  Result.assign(from->Bytes);
}

}  // namespace

std::string StripMTextCodes(std::string_view Text) {
  std::string result;
  Strip(Text, result);
  return result;
}

void CleanTextContent(std::string_view Text, std::string& Out) {
  Strip(Text, Out);
  static constexpr std::string_view kPhiCode = "\\U+03C6";
  for (std::size_t i = 0; i < Out.size(); i += ShiftJisCharSize(Out, i)) {
    if (Out.compare(i, kPhiCode.size(), kPhiCode) == 0) {
      Out.replace(i, kPhiCode.size(), "\x83\xd3");  // φ
      return;
    }
  }
}
