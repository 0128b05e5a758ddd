#include "dxf/dxf_errors.h"

namespace {

const char kNotAnInteger[] =
    "' \x82\xcd\x90\xae\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // ' は整数ではありません
const char kNotAReal[] =
    "' \x82\xcd\x95\x82\x93\xae\x8f\xac\x90\x94\x93\x5f\x90\x94\x82\xc5\x82\xcd\x82\xa0"
    "\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // ' は浮動小数点数ではありません
const char kCannotRead[] = " \x82\xf0\x93\xc7\x82\xdd\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  //  を読み込めません
const char kCannotWrite[] = " \x82\xc9\x8f\x91\x82\xab\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1";  //  に書き込めません

std::string Quoted(std::string_view Text, const char* Tail) {
  std::string message = "'";
  message.append(Text);
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
