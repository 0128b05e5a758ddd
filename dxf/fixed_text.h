// A text field held in place: a length and at most N bytes. Longer values are
// cut to their first N bytes, which may split a double-byte character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t N>
struct TFixedText {
  static_assert(N > 0 && N <= 255, "the length is held in one byte");
  static constexpr std::size_t Capacity = N;

  std::uint8_t Len;
  char Data[N];

  void Assign(std::string_view Value) {
    const std::size_t n = Value.size() < N ? Value.size() : N;
    if (n > 0) std::memcpy(Data, Value.data(), n);
    Len = static_cast<std::uint8_t>(n);
  }
  // Appends as much of Value as still fits.
  void Append(std::string_view Value) {
    const std::size_t room = N - Len;
    const std::size_t n = Value.size() < room ? Value.size() : room;
    if (n > 0) std::memcpy(Data + Len, Value.data(), n);
    Len = static_cast<std::uint8_t>(Len + n);
  }
  void Clear() { Len = 0; }
  std::string_view View() const { return {Data, Len}; }
  std::string Str() const { return std::string(Data, Len); }
  bool Empty() const { return Len == 0; }
};

template <std::size_t N, std::size_t M>
bool operator==(const TFixedText<N>& A, const TFixedText<M>& B) {
  return A.View() == B.View();
}
