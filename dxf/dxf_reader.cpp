#include "dxf/dxf_reader.h"

#include "dxf/area_reader.h"
#include "dxf/block_counts.h"
#include "dxf/block_expansion.h"
#include "dxf/dxf_errors.h"
#include "dxf/entity_reader.h"
#include "dxf/file_identity.h"

namespace {

const char kBinarySentinel[] = "AutoCAD Binary DXF";
const char kUtf8ByteOrderMark[] = "\xef\xbb\xbf";

// Looks at the first bytes: a binary DXF is refused, a UTF-8 byte-order mark
// is stepped over.
void SkipFileStart(TByteSource& Source) {
  const std::string_view head = Source.Peek(sizeof kBinarySentinel - 1);
  if (head == kBinarySentinel) throw BinaryDxfError(Source.Name());
  if (head.starts_with(kUtf8ByteOrderMark)) Source.Skip(3);
}

}  // namespace

void ReadDrawing(TByteSource& Source, const TReadOptions& Options, TDrawing& Drawing) {
  Drawing.Clear();
  try {
    SkipFileStart(Source);
    ReadEntityPairs(Source, Options, Drawing);
  } catch (const TConvertError&) {
    throw;  // what was read up to the bad value stays
  } catch (const TFileError&) {
    Drawing.Clear();
    throw;
  }
  if (Options.Areas) PlaceAreaShapes(Drawing);
  if (Options.Blocks) PlaceBlockCounts(Drawing);
  if (Options.Exact) PlaceBlockReferences(Drawing, Options.Tally);
}

TDrawing ReadDrawing(TByteSource& Source, const TReadOptions& Options) {
  TDrawing drawing;
  ReadDrawing(Source, Options, drawing);
  return drawing;
}

std::int32_t ReadDxf(const std::string& Path) {
  try {
    TFileSource source(Path);
    ReadDrawing(source, {}, CurrentDrawing);
  } catch (const TConvertError&) {
    throw;
  } catch (const TFileError&) {
    CurrentDrawing.Clear();
    throw;
  }
  CurrentDrawing.Lines.Shrink(static_cast<std::size_t>(CurrentDrawing.LineCount));
  return CurrentDrawing.LineCount;
}

double StyleHeight(std::string_view Name) { return CurrentDrawing.StyleHeight(Name); }

void CheckDrawing(const std::string& Path) {
  const TFileIdentity drawing = IdentifyFile(Path);
  if (drawing.Folder) throw CannotReadError(Path);
  if (!drawing.Exists) return;
  TFileSource source(Path);
  if (source.Missing()) throw CannotReadError(Path);
  SkipFileStart(source);
}
