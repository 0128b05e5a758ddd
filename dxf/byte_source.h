// Where the bytes of a drawing come from: a file, or bytes already in
// memory. The reader takes either, so that tests and the fuzz target read a
// drawing without writing a file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "dxf/file_ptr.h"

class TByteSource {
 public:
  virtual ~TByteSource() = default;

  // The name that messages give the drawing: its path, code-page-932 bytes.
  const std::string& Name() const { return name_; }
  // Up to Size bytes into Into, in order; 0 only at the end. Throws
  // TFileError when the bytes cannot be read.
  std::size_t Read(char* Into, std::size_t Size);
  // The next bytes, at most Size of them, without taking them: the following
  // Reads hand them out again.
  std::string_view Peek(std::size_t Size);
  // Takes Count of the bytes that Peek showed.
  void Skip(std::size_t Count);

 protected:
  explicit TByteSource(std::string Name) : name_(std::move(Name)) {}
  virtual std::size_t ReadMore(char* Into, std::size_t Size) = 0;

 private:
  std::string name_;
  std::string peeked_;  // bytes read ahead by Peek
  std::size_t peekedAt_ = 0;
};

// The bytes of a file. A file that is missing opens as missing (Missing()),
// so that the caller decides whether that is an error.
class TFileSource final : public TByteSource {
 public:
  // Path is a code-page-932 (ANSI) byte string. Throws TFileError when the
  // file exists but cannot be opened.
  explicit TFileSource(const std::string& Path);
  bool Missing() const { return !file_; }

 private:
  std::size_t ReadMore(char* Into, std::size_t Size) override;
  TFilePtr file_;
};

// Bytes held by the caller, which outlive the source.
class TMemorySource final : public TByteSource {
 public:
  explicit TMemorySource(std::string_view Bytes, std::string Name = "memory")
      : TByteSource(std::move(Name)), bytes_(Bytes) {}

 private:
  std::size_t ReadMore(char* Into, std::size_t Size) override;
  std::string_view bytes_;
  std::size_t at_ = 0;
};
