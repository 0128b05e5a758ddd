// Errors of the DXF reader and of the files around it. what() is the message
// exactly as the user sees it, in code-page-932 bytes.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// A value that the reader must convert is not a number of the needed kind.
class TConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file exists but cannot be opened, read or written.
class TFileError : public std::runtime_error {
 public:
  TFileError(const std::string& Message, std::string Path, std::string Reason)
      : std::runtime_error(Message), path_(std::move(Path)), reason_(std::move(Reason)) {}
  // The path as given by the caller, and the message without it, for callers
  // that show the path in another encoding than code page 932.
  const std::string& Path() const { return path_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// "'%s' は整数ではありません" with Text in place of %s.
TConvertError NotAnIntegerError(std::string_view Text);
// "'%s' は浮動小数点数ではありません" with Text in place of %s.
TConvertError NotARealError(std::string_view Text);
// "'%s' を読み込めません": the file exists but cannot be read.
TFileError CannotReadError(const std::string& Path);
// "%s に書き込めません": writing or closing the file failed.
TFileError CannotWriteError(const std::string& Path);
// "'%s' はバイナリ DXF です。読み込めるのはアスキー DXF だけです".
TFileError BinaryDxfError(const std::string& Path);
// "%s は図面と同じファイルです": the report would replace its own drawing.
TFileError SameAsDrawingError(const std::string& Path);

// At most this many bytes of a bad value are quoted in its message, cut at a
// whole character and marked with "…".
constexpr std::size_t kQuotedValueBytes = 200;
