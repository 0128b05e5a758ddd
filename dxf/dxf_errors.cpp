#include "dxf/dxf_errors.h"

#include "text/shift_jis.h"

namespace {

const char kNotAnInteger[] =
    "' \x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // ' は整数ではありません
const char kNotAReal[] =
    "' \x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd\x82\xa0"
    "\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // ' は浮動小数点数ではありません
const char kCannotRead[] = " \x82\xf0\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  //  を読み込めません
const char kBinaryDxf[] =
    " \x82\xcd\x83\x6f\x83\x43\x83\x69\x83\x8a DXF \x82\xc5\x82\xb7\x81\x42\x93\xc7\x82\xdd\x8d\x9e\x82\xdf"
    "\x82\xe9\x82\xcc\x82\xcd\x83\x41\x83\x58\x83\x4c\x81\x5b DXF \x82\xbe\x82\xaf\x82\xc5\x82\xb7";  //  はバイナリ DXF
                                                                                                      //  です。読み込めるのはアスキー
                                                                                                      //  DXF だけです
const char kSameAsDrawing[] =
    " \x82\xcd\x90\x7d\x96\xca\x82\xc6\x93\xaf\x82\xb6\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc5\x82\xb7";  //  は図面と同じファイルです
const char kCannotCreate[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルを作成できません
const char kFileNotFound[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82"
    "\xf1";  // ファイルが見つかりません
const char kCut[] =
    " \x82\xcd\x93r\x92\x86\x82\xc5\x90\xd8\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81iENTITIES "
    "\x83Z\x83N\x83V\x83\x87\x83\x93\x82\xcc\x8fI\x82\xed\x82\xe8\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1\x81j";  //  は途中で切れています（ENTITIES セクションの終わりがありません）
const char kNotAFile[] =
    " \x82\xcd\x92\xca\x8f\xed\x82\xcc\x83t\x83@\x83\x43\x83\x8b\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc"
    "\x82\xb9\x82\xf1";  //  は通常のファイルではありません
const char kOverflow[] =
    "\x92\xb7\x82\xb3\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xc4\x91\xaa\x82\xea\x82\xdc\x82\xb9"
    "\x82\xf1\x81i";                 // 長さが大きすぎて測れません（
const char kCloseParen[] = "\x81j";  // ）
const char kNothingSelected[] =
    "\x90}\x8c`\x82\xaa\x91I\x91\xf0\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1\x81\x42";  // 図形が選択されていません。
const char kNoUnit[] =
    " \x82\xcc\x92P\x88\xca\x82\xaa\x82\xed\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81i$INSUNITS "
    "\x82\xc9\x92\xb7\x82\xb3\x82\xcc\x92P\x88\xca\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81j\x81\x42"
    "--drawing-unit \x82\xc5\x90\x7d\x96\xca\x82\xcc\x92P\x88\xca\x82\xf0\x8ew\x92\xe8\x82\xb5\x82\xc4\x82\xad"
    "\x82\xbe\x82\xb3\x82\xa2";  //  の単位がわかりません（$INSUNITS に長さの単位がありません）。--drawing-unit
                                 //  で図面の単位を指定してください
const char kEllipsis[] = "\x81\x63";                                                              // …
const char kCannotWrite[] = " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  //  に書き込めません

// A value of any length is quoted in at most kQuotedValueBytes bytes of
// whole characters; a cut is marked with "…".
std::string Quoted(std::string_view Text, const char* Tail) {
  std::string message = "'";
  if (Text.size() <= kQuotedValueBytes) {
    message.append(Text);
  } else {
    std::size_t cut = 0;
    while (cut + ShiftJisCharSize(Text, cut) <= kQuotedValueBytes) cut += ShiftJisCharSize(Text, cut);
    message.append(Text.substr(0, cut));
    message.append(kEllipsis);
  }
  message.append(Tail);
  return message;
}

}  // namespace

TConvertError NotAnIntegerError(std::string_view Text) { return TConvertError(Quoted(Text, kNotAnInteger)); }

TConvertError NotARealError(std::string_view Text) { return TConvertError(Quoted(Text, kNotAReal)); }

TFileError CannotReadError(const std::string& Path) {
  // The reason alone starts after the blank and the particle that follow the path.
  return TFileError("'" + Path + "'" + kCannotRead, Path, std::string(kCannotRead + 3));
}

TFileError CannotWriteError(const std::string& Path) {
  return TFileError(Path + kCannotWrite, Path, std::string(kCannotWrite + 3));
}

TFileError BinaryDxfError(const std::string& Path) {
  return TFileError("'" + Path + "'" + kBinaryDxf, Path, std::string(kBinaryDxf + 3));
}

TFileError SameAsDrawingError(const std::string& Path) {
  return TFileError(Path + kSameAsDrawing, Path, std::string(kSameAsDrawing + 3));
}

TFileError CannotCreateError(const std::string& Path) {
  return TFileError(kCannotCreate, Path, kCannotCreate, TFileError::TKind::CannotCreate);
}

TFileError MissingFileError(const std::string& Path) {
  return TFileError("'" + Path + "' " + kFileNotFound, Path, kFileNotFound, TFileError::TKind::Missing);
}

TFileError CutDrawingError(const std::string& Path) {
  return TFileError("'" + Path + "'" + kCut, Path, std::string(kCut + 3));
}

TFileError NotAFileError(const std::string& Path) {
  return TFileError("'" + Path + "'" + kNotAFile, Path, std::string(kNotAFile + 3));
}

TFileError MeasureOverflowError(const char* KindWord) {
  const std::string message = std::string(kOverflow) + (KindWord ? KindWord : "") + kCloseParen;
  return TFileError(message, std::string(), message);
}

TFileError NothingSelectedError(const std::string& Path) {
  return TFileError(kNothingSelected, Path, kNothingSelected, TFileError::TKind::NothingSelected);
}

TFileError NoDrawingUnitError(const std::string& Path) {
  return TFileError("'" + Path + "'" + kNoUnit, Path, std::string(kNoUnit + 3));
}
