#include "dxf/pool_text.h"

#include <cstring>

namespace {

std::uint32_t HashText(std::string_view Text) {
  std::uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : Text) h = (h ^ c) * 1099511628211ULL;
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

std::uint32_t TTextPool::Intern(std::string_view Text) {
  if (Text.empty()) return 0;
  const std::uint32_t hash = HashText(Text);
  if (!slots_.empty()) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = hash & mask; slots_[s] != 0; s = (s + 1) & mask) {
      const TEntry& e = entries_[slots_[s]];
      if (e.Hash == hash && e.Length == Text.size() && std::memcmp(bytes_.data() + e.At, Text.data(), e.Length) == 0)
        return slots_[s];
    }
  }
  return Add(Text, hash);
}

std::uint32_t TTextPool::Add(std::string_view Text, std::uint32_t Hash) {
  // Text may be a piece of a pooled text (a longer one cut): copied out
  // before the bytes can move.
  std::string copy;
  if (Text.data() >= bytes_.data() && Text.data() < bytes_.data() + bytes_.size()) {
    copy.assign(Text);
    Text = copy;
  }
  const std::uint32_t id = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back({static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(Text.size()), Hash});
  bytes_.append(Text);
  if (entries_.size() * 2 > slots_.size()) {
    std::vector<std::uint32_t> grown(slots_.empty() ? 64 : slots_.size() * 2, 0);
    const std::size_t mask = grown.size() - 1;
    for (std::uint32_t i = 1; i < entries_.size(); ++i) {
      std::size_t s = entries_[i].Hash & mask;
      while (grown[s] != 0) s = (s + 1) & mask;
      grown[s] = i;
    }
    slots_.swap(grown);
  } else {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = Hash & mask;
    while (slots_[s] != 0) s = (s + 1) & mask;
    slots_[s] = id;
  }
  return id;
}

void TTextPool::Clear() {
  bytes_.clear();
  entries_.resize(1);
  // A large index of an earlier run is let go rather than cleared slot by slot.
  if (slots_.size() > 4096)
    slots_.clear();
  else
    slots_.assign(slots_.size(), 0);
}
