#include "dxf/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dxf/dxf_errors.h"

std::size_t TByteSource::Read(char* Into, std::size_t Size) {
  if (peekedAt_ < peeked_.size()) {
    const std::size_t n = std::min(Size, peeked_.size() - peekedAt_);
    std::memcpy(Into, peeked_.data() + peekedAt_, n);
    peekedAt_ += n;
    return n;
  }
  return ReadMore(Into, Size);
}

std::string_view TByteSource::Peek(std::size_t Size) {
  peeked_.erase(0, peekedAt_);
  peekedAt_ = 0;
  while (peeked_.size() < Size) {
    char buffer[64];
    const std::size_t got = ReadMore(buffer, std::min(sizeof buffer, Size - peeked_.size()));
    if (got == 0) break;
    peeked_.append(buffer, got);
  }
  return std::string_view(peeked_).substr(0, Size);
}

void TByteSource::Skip(std::size_t Count) { peekedAt_ = std::min(peeked_.size(), peekedAt_ + Count); }

TFileSource::TFileSource(const std::string& Path) : TByteSource(Path) {
  errno = 0;
  file_.reset(std::fopen(Path.c_str(), "rb"));
  if (!file_ && errno != ENOENT && errno != ENOTDIR) throw CannotReadError(Path);
}

std::size_t TFileSource::ReadMore(char* Into, std::size_t Size) {
  if (!file_) return 0;
  const std::size_t got = std::fread(Into, 1, Size, file_.get());
  if (got == 0 && std::ferror(file_.get())) throw CannotReadError(Name());
  return got;
}

std::size_t TMemorySource::ReadMore(char* Into, std::size_t Size) {
  const std::size_t n = std::min(Size, bytes_.size() - at_);
  std::memcpy(Into, bytes_.data() + at_, n);
  at_ += n;
  return n;
}
