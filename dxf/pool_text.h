// The text fields of the records: at most N bytes, a longer value cut to its
// first N bytes (which may split a double-byte character). The bytes are not
// held in the record: every distinct text of a drawing is kept once, in the
// drawing's text pool, and the record holds its number, which means
// something only together with that pool (TDrawing::Text). A drawing repeats a few
// layer, colour and linetype names over all its entities, so a record costs
// four bytes per text instead of the text's capacity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The distinct texts of one drawing, numbered from 1; 0 is the empty text.
// Cleared when the drawing is read again.
class TTextPool {
 public:
  // The number of Text, added when the pool does not hold it yet.
  std::uint32_t Intern(std::string_view Text);
  // The text of number Id; valid until the next Intern or Clear. A number
  // the pool does not hold (of a record of an earlier run) is the empty text.
  std::string_view View(std::uint32_t Id) const {
    if (Id >= entries_.size()) return {};
    const TEntry& e = entries_[Id];
    return {bytes_.data() + e.At, e.Length};
  }
  void Clear();

 private:
  struct TEntry {
    std::uint32_t At, Length, Hash;
  };
  std::uint32_t Add(std::string_view Text, std::uint32_t Hash);

  std::string bytes_;
  std::vector<TEntry> entries_{TEntry{0, 0, 0}};  // entry 0: the empty text
  std::vector<std::uint32_t> slots_;              // open addressing: a number, or 0 for a free slot
};

// The pool of CurrentDrawing (dxf/drawing.h), which the members of
// TPoolText below use: they are for the tables of that drawing only.
extern TTextPool& RunTexts;

template <std::size_t N>
struct TPoolText {
  static_assert(N > 0, "a text holds at least one byte");
  static constexpr std::size_t Capacity = N;

  std::uint32_t Id;  // in RunTexts; 0 (a zero-filled record) is empty

  void Assign(std::string_view Value) { Id = RunTexts.Intern(Value.substr(0, N)); }
  // Appends as much of Value as still fits.
  void Append(std::string_view Value) {
    const std::string_view held = View();
    if (Value.empty() || held.size() >= N) return;
    std::string joined(held);
    joined.append(Value.substr(0, N - held.size()));
    Id = RunTexts.Intern(joined);
  }
  void Clear() { Id = 0; }
  std::string_view View() const { return RunTexts.View(Id); }
  std::string Str() const { return std::string(View()); }
  bool Empty() const { return Id == 0; }
};

// One pool, one number per text: equal numbers are equal texts.
template <std::size_t N, std::size_t M>
bool operator==(const TPoolText<N>& A, const TPoolText<M>& B) {
  return A.Id == B.Id;
}
