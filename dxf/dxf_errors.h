// Errors of the DXF reader and of the files around it. what() is the message
// exactly as the user sees it, in code-page-932 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// The one error that the user must act on: a drawing, a report or another
// file that cannot be used, or a value of a drawing that is not a number.
// what() is the whole message as the dialog shows it; Path() and Reason()
// are its two halves, for callers that show the path in another encoding
// than code page 932, and Line() the line of the drawing where known (1 for
// the first; 0 when not known).
class TFileError : public std::runtime_error {
 public:
  enum class TKind : unsigned char { Other, CannotCreate, Missing, NothingSelected };
  TFileError(const std::string& Message, std::string Path, std::string Reason, TKind Kind = TKind::Other)
      : std::runtime_error(Message), path_(std::move(Path)), reason_(std::move(Reason)), kind_(Kind) {}
  const std::string& Path() const { return path_; }
  const std::string& Reason() const { return reason_; }
  std::int64_t Line() const { return line_; }
  TKind Kind() const { return kind_; }
  // Names the drawing and the line that the error was met in.
  void Locate(const std::string& Path, std::int64_t Line) {
    path_ = Path;
    line_ = Line;
  }

 private:
  std::string path_;
  std::string reason_;
  TKind kind_;
  std::int64_t line_ = 0;
};

// A value that the reader must convert is not a number of the needed kind.
// The message is the reason; the reader names the drawing and the line.
class TConvertError : public TFileError {
 public:
  explicit TConvertError(const std::string& Message) : TFileError(Message, std::string(), Message) {}
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
// "ファイルを作成できません": the report file cannot be created.
TFileError CannotCreateError(const std::string& Path);
// "ファイルが見つかりません": a drawing named is not there.
TFileError MissingFileError(const std::string& Path);
// "'%s' は途中で切れています（ENTITIES セクションの終わりがありません）": the
// drawing ends inside its ENTITIES section, so that some of it is missing.
TFileError CutDrawingError(const std::string& Path);
// "長さが大きすぎて測れません（%s）" with the kind's word in place of %s: a
// measure beyond the range of a double. The caller names the drawing.
TFileError MeasureOverflowError(const char* KindWord);
// "図形が選択されていません。": the drawing exported from a selection holds
// no entity at all.
TFileError NothingSelectedError(const std::string& Path);
// "'%s' は通常のファイルではありません": a device or a pipe, which is not
// read (it may never end).
TFileError NotAFileError(const std::string& Path);
// "'%s' の単位がわかりません（$INSUNITS に長さの単位がありません）。
// --drawing-unit で図面の単位を指定してください": lengths are to be written in
// another unit, and the drawing does not say which unit it is drawn in.
TFileError NoDrawingUnitError(const std::string& Path);

// At most this many bytes of a bad value are quoted in its message, cut at a
// whole character and marked with "…".
constexpr std::size_t kQuotedValueBytes = 200;
