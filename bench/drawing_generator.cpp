#include "bench/drawing_generator.h"

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// Layer names (code page 932), with the linetype and colour of the layer.
struct TLayer {
  const char* Name;
  const char* LineType;
  int Color;
};
const TLayer kLayers[] = {
    {"0", "CONTINUOUS", 7},
    {"\x95\xc7", "CONTINUOUS", 7},              // 壁
    {"\x8a\x4f\x95\xc7", "CONTINUOUS", 1},      // 外壁
    {"\x93\xe0\x95\xc7", "CONTINUOUS", 3},      // 内壁
    {"\x92\xca\x82\xe8\x90\x63", "CENTER", 1},  // 通り芯
    {"\x92\x8c", "CONTINUOUS", 4},              // 柱
    {"\x8c\x9a\x8b\xef", "CONTINUOUS", 6},      // 建具
    {"\x89\xc6\x8b\xef", "HIDDEN", 5},          // 家具
    {"\x90\xdd\x94\xf5", "DASHED", 2},          // 設備
    {"\x90\xa1\x96\x40", "CONTINUOUS", 2},      // 寸法
};
constexpr int kLayerCount = sizeof kLayers / sizeof kLayers[0];

const char* const kEntityLineTypes[] = {"HIDDEN", "CENTER", "DASHED"};

const char* const kTexts[] = {
    "\x8e\xc0\x8c\xb1\x8e\xba",    // 実験室
    "\x92\xca\x82\xe8\x90\x63X1",  // 通り芯X1
    "W=1200 H=2100",
    "\\U+03C6100",             // φ100
    "\x8a\x4f\x95\xc7 t=150",  // 外壁 t=150
};
const char* const kMTexts[] = {
    "{\\fMS Gothic|b0|i0|c128;\x8d\x5c\x91\xa2\x90\x7d}\\P1/100",  // 構造図
    "\\C1;\x92\x8d\x88\xd3\\P\\L\x8d\xc4\x8c\x9f\x8f\xd8\\l",      // 注意, 再検証
    "\\T1.1;\x90\xdd\x94\xf5\x8c\x6e\x93\x9d\\P\\U+03C650",        // 設備系統
};

class TRandom {
 public:
  explicit TRandom(std::uint64_t Seed) : state_(Seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  int Below(int N) { return static_cast<int>(Next() % static_cast<std::uint64_t>(N)); }
  // A coordinate on a 0.001 grid, as drawings are drawn.
  double Coordinate(double Range) {
    return static_cast<double>(Next() % static_cast<std::uint64_t>(Range * 1000)) / 1000.0;
  }

 private:
  std::uint64_t state_;
};

class TDxfWriter {
 public:
  explicit TDxfWriter(std::FILE* File) : file_(File) { buffer_.reserve(kFlushAt + 4096); }

  void Pair(int Code, std::string_view Value) {
    char code[8];
    const int n = std::snprintf(code, sizeof code, "%3d", Code);
    buffer_.append(code, static_cast<std::size_t>(n));
    buffer_.append("\r\n");
    buffer_.append(Value);
    buffer_.append("\r\n");
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Pair(int Code, int Value) { Pair(Code, std::to_string(Value)); }
  // Reals as the export writes them: shortest form, always with a full stop.
  void Real(int Code, double Value) {
    char text[40];
    char* end = std::to_chars(text, text + sizeof text, Value).ptr;
    if (std::string_view(text, static_cast<std::size_t>(end - text)).find_first_of(".e") == std::string_view::npos) {
      *end++ = '.';
      *end++ = '0';
    }
    Pair(Code, std::string_view(text, static_cast<std::size_t>(end - text)));
  }
  void Point(int Code, double X, double Y, double Z = 0.0) {
    Real(Code, X);
    Real(Code + 10, Y);
    Real(Code + 20, Z);
  }
  std::string Handle() {
    char text[20];
    const int n = std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(nextHandle_++));
    return std::string(text, static_cast<std::size_t>(n));
  }
  bool Flush() {
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) ok_ = false;
    buffer_.clear();
    return ok_;
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 20;
  std::FILE* file_;
  std::string buffer_;
  std::uint64_t nextHandle_ = 0x100;
  bool ok_ = true;
};

void WriteHeader(TDxfWriter& w) {
  w.Pair(999, "Orveline drawing generator");
  w.Pair(0, "SECTION");
  w.Pair(2, "HEADER");
  w.Pair(9, "$ACADVER");
  w.Pair(1, "AC1015");
  w.Pair(9, "$ACADMAINTVER");
  w.Pair(70, 6);
  w.Pair(9, "$DWGCODEPAGE");
  w.Pair(3, "ANSI_932");
  w.Pair(9, "$INSBASE");
  w.Point(10, 0, 0);
  w.Pair(9, "$EXTMIN");
  w.Point(10, 0, 0);
  w.Pair(9, "$EXTMAX");
  w.Point(10, 50000, 30000);
  w.Pair(9, "$LIMMIN");
  w.Real(10, 0);
  w.Real(20, 0);
  w.Pair(9, "$LIMMAX");
  w.Real(10, 420);
  w.Real(20, 297);
  w.Pair(9, "$LTSCALE");
  w.Real(40, 1);
  w.Pair(9, "$INSUNITS");
  w.Pair(70, 4);
  w.Pair(9, "$TEXTSTYLE");
  w.Pair(7, "Standard");
  w.Pair(9, "$CLAYER");
  w.Pair(8, "0");
  w.Pair(9, "$HANDSEED");
  w.Pair(5, "FFFFFF");
  w.Pair(0, "ENDSEC");
  w.Pair(0, "SECTION");
  w.Pair(2, "CLASSES");
  w.Pair(0, "CLASS");
  w.Pair(1, "ACDBDICTIONARYWDFLT");
  w.Pair(2, "AcDbDictionaryWithDefault");
  w.Pair(3, "ObjectDBX Classes");
  w.Pair(90, 0);
  w.Pair(280, 0);
  w.Pair(281, 0);
  w.Pair(0, "ENDSEC");
}

void TableHead(TDxfWriter& w, const char* Name, int Count) {
  w.Pair(0, "TABLE");
  w.Pair(2, Name);
  w.Pair(5, w.Handle());
  w.Pair(330, "0");
  w.Pair(100, "AcDbSymbolTable");
  w.Pair(70, Count);
}

void EntryHead(TDxfWriter& w, const char* Kind, const char* Subclass) {
  w.Pair(0, Kind);
  w.Pair(5, w.Handle());
  w.Pair(330, "2");
  w.Pair(100, "AcDbSymbolTableRecord");
  w.Pair(100, Subclass);
}

void WriteTables(TDxfWriter& w) {
  w.Pair(0, "SECTION");
  w.Pair(2, "TABLES");

  TableHead(w, "VPORT", 1);
  EntryHead(w, "VPORT", "AcDbViewportTableRecord");
  w.Pair(2, "*Active");
  w.Pair(70, 0);
  w.Real(10, 0);
  w.Real(20, 0);
  w.Real(11, 1);
  w.Real(21, 1);
  w.Real(40, 30000);
  w.Real(41, 1.6);
  w.Pair(0, "ENDTAB");

  struct {
    const char* name;
    const char* text;
    std::initializer_list<double> dashes;
  } ltypes[] = {
      {"ByBlock", "", {}},
      {"ByLayer", "", {}},
      {"CONTINUOUS", "Solid line", {}},
      {"HIDDEN", "Hidden __ __ __", {6.35, -3.175}},
      {"CENTER", "Center ____ _ ____", {31.75, -6.35, 6.35, -6.35}},
      {"DASHED", "Dashed __ __ __", {12.7, -6.35}},
  };
  TableHead(w, "LTYPE", 6);
  for (const auto& lt : ltypes) {
    EntryHead(w, "LTYPE", "AcDbLinetypeTableRecord");
    w.Pair(2, lt.name);
    w.Pair(70, 0);
    w.Pair(3, lt.text);
    w.Pair(72, 65);
    w.Pair(73, static_cast<int>(lt.dashes.size()));
    double total = 0;
    for (double d : lt.dashes) total += std::fabs(d);
    w.Real(40, total);
    for (double d : lt.dashes) {
      w.Real(49, d);
      w.Pair(74, 0);
    }
  }
  w.Pair(0, "ENDTAB");

  TableHead(w, "LAYER", kLayerCount);
  for (const TLayer& layer : kLayers) {
    EntryHead(w, "LAYER", "AcDbLayerTableRecord");
    w.Pair(2, layer.Name);
    w.Pair(70, 0);
    w.Pair(62, layer.Color);
    w.Pair(6, layer.LineType);
    w.Pair(370, -3);
    w.Pair(390, "F");
  }
  w.Pair(0, "ENDTAB");

  struct {
    const char* name;
    double height, width, lastHeight;
    const char* font;
    const char* bigFont;
  } styles[] = {
      {"Standard", 0, 1, 2.5, "txt", "bigfont.shx"}, {"\x96\xbe\x92\xa9", 3.5, 0.8, 3.5, "msmincho.ttc", ""},  // 明朝
  };
  TableHead(w, "STYLE", 2);
  for (const auto& style : styles) {
    EntryHead(w, "STYLE", "AcDbTextStyleTableRecord");
    w.Pair(2, style.name);
    w.Pair(70, 0);
    w.Real(40, style.height);
    w.Real(41, style.width);
    w.Real(50, 0);
    w.Pair(71, 0);
    w.Real(42, style.lastHeight);
    w.Pair(3, style.font);
    w.Pair(4, style.bigFont);
  }
  w.Pair(0, "ENDTAB");

  TableHead(w, "APPID", 1);
  EntryHead(w, "APPID", "AcDbRegAppTableRecord");
  w.Pair(2, "ACAD");
  w.Pair(70, 0);
  w.Pair(0, "ENDTAB");

  TableHead(w, "BLOCK_RECORD", 3);
  for (const char* name : {"*Model_Space", "*Paper_Space",
                           "\x8c\x9a\x8b\xef"
                           "A"}) {  // 建具A
    EntryHead(w, "BLOCK_RECORD", "AcDbBlockTableRecord");
    w.Pair(2, name);
    w.Pair(340, "0");
  }
  w.Pair(0, "ENDTAB");
  w.Pair(0, "ENDSEC");
}

void EntityHead(TDxfWriter& w, const char* Kind, const char* Layer, const char* Owner = "1F") {
  w.Pair(0, Kind);
  w.Pair(5, w.Handle());
  w.Pair(330, Owner);
  w.Pair(100, "AcDbEntity");
  w.Pair(8, Layer);
}

void BlockBegin(TDxfWriter& w, const char* Name) {
  w.Pair(0, "BLOCK");
  w.Pair(5, w.Handle());
  w.Pair(330, "1F");
  w.Pair(100, "AcDbEntity");
  w.Pair(8, "0");
  w.Pair(100, "AcDbBlockBegin");
  w.Pair(2, Name);
  w.Pair(70, 0);
  w.Point(10, 0, 0);
  w.Pair(3, Name);
  w.Pair(1, "");
}

void BlockEnd(TDxfWriter& w) {
  w.Pair(0, "ENDBLK");
  w.Pair(5, w.Handle());
  w.Pair(330, "1F");
  w.Pair(100, "AcDbEntity");
  w.Pair(8, "0");
  w.Pair(100, "AcDbBlockEnd");
}

void WriteBlocks(TDxfWriter& w) {
  w.Pair(0, "SECTION");
  w.Pair(2, "BLOCKS");
  for (const char* name : {"*Model_Space", "*Paper_Space"}) {
    BlockBegin(w, name);
    BlockEnd(w);
  }
  // A door block: its line and arc belong to the block, not to the list.
  BlockBegin(w,
             "\x8c\x9a\x8b\xef"
             "A");  // 建具A
  EntityHead(w, "LINE", "0", "2A");
  w.Pair(100, "AcDbLine");
  w.Point(10, 0, 0);
  w.Point(11, 900, 0);
  EntityHead(w, "ARC", "0", "2A");
  w.Pair(100, "AcDbCircle");
  w.Point(10, 0, 0);
  w.Real(40, 900);
  w.Pair(100, "AcDbArc");
  w.Real(50, 0);
  w.Real(51, 90);
  BlockEnd(w);
  w.Pair(0, "ENDSEC");
}

// Entity properties: mostly by layer, sometimes a colour or linetype of its own.
void Properties(TDxfWriter& w, TRandom& r) {
  if (r.Below(10) == 0) w.Pair(6, kEntityLineTypes[r.Below(3)]);
  if (r.Below(8) == 0) w.Pair(62, 1 + r.Below(7));
}

void WriteEntity(TDxfWriter& w, TRandom& r, int Kind, const char* Layer, TRandom& shape) {
  switch (Kind) {
    case 0: {  // LINE: mostly along the grid, of a few standard lengths
      EntityHead(w, "LINE", Layer);
      Properties(w, r);
      w.Pair(100, "AcDbLine");
      const double x = shape.Coordinate(50000), y = shape.Coordinate(30000);
      const double len = 300.0 * (1 + shape.Below(20));
      const int dir = shape.Below(3);  // along x, along y, or free
      w.Point(10, x, y);
      if (dir == 2) {  // at an angle: coordinates at full precision
        const double angle = 0.01 * (1 + shape.Below(314));
        w.Point(11, x + len * std::cos(angle), y + len * std::sin(angle));
      } else {
        w.Point(11, dir == 0 ? x + len : x, dir == 1 ? y + len : y);
      }
      break;
    }
    case 1: {  // LWPOLYLINE
      EntityHead(w, "LWPOLYLINE", Layer);
      Properties(w, r);
      w.Pair(100, "AcDbPolyline");
      const int n = 2 + shape.Below(34);
      w.Pair(90, n);
      w.Pair(70, shape.Below(2));
      w.Real(43, 0);
      double x = shape.Coordinate(50000), y = shape.Coordinate(30000);
      for (int k = 0; k < n; ++k) {
        w.Real(10, x);
        w.Real(20, y);
        if (shape.Below(6) == 0) w.Real(42, 0.41421356);
        if (k % 2 == 0)
          x += 100.0 * (1 + shape.Below(30));
        else
          y += 100.0 * (1 + shape.Below(30));
      }
      break;
    }
    case 2: {  // POLYLINE with its VERTEX entities and SEQEND
      EntityHead(w, "POLYLINE", Layer);
      Properties(w, r);
      w.Pair(100, "AcDb2dPolyline");
      w.Pair(66, 1);
      w.Point(10, 0, 0);
      w.Pair(70, shape.Below(2));
      const int n = 2 + shape.Below(8);
      double x = shape.Coordinate(50000), y = shape.Coordinate(30000);
      for (int k = 0; k < n; ++k) {
        EntityHead(w, "VERTEX", Layer);
        w.Pair(100, "AcDbVertex");
        w.Pair(100, "AcDb2dVertex");
        w.Point(10, x, y);
        w.Pair(70, 0);
        x += 250.0 * (1 + shape.Below(8));
        y += 50.0 * shape.Below(3);
      }
      EntityHead(w, "SEQEND", Layer);
      break;
    }
    case 3: {  // CIRCLE
      EntityHead(w, "CIRCLE", Layer);
      Properties(w, r);
      w.Pair(100, "AcDbCircle");
      w.Point(10, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Real(40, 50.0 * (1 + shape.Below(12)));
      break;
    }
    case 4: {  // ARC
      EntityHead(w, "ARC", Layer);
      Properties(w, r);
      w.Pair(100, "AcDbCircle");
      w.Point(10, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Real(40, 100.0 * (1 + shape.Below(10)));
      w.Pair(100, "AcDbArc");
      const double start = 15.0 * shape.Below(24);
      w.Real(50, start);
      w.Real(51, std::fmod(start + 15.0 * (1 + shape.Below(23)), 360.0));
      break;
    }
    case 5: {  // TEXT
      EntityHead(w, "TEXT", Layer);
      w.Pair(100, "AcDbText");
      w.Point(10, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Real(40, 2.5 * (1 + shape.Below(4)));
      w.Pair(1, kTexts[shape.Below(5)]);
      w.Real(50, 0);
      w.Real(41, 1);
      if (shape.Below(3) == 0) w.Pair(7, "\x96\xbe\x92\xa9");  // 明朝
      w.Pair(72, 1);
      w.Point(11, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Pair(100, "AcDbText");
      w.Pair(73, 2);
      break;
    }
    case 6: {  // MTEXT
      EntityHead(w, "MTEXT", Layer);
      w.Pair(100, "AcDbMText");
      w.Point(10, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Real(40, 3.5);
      w.Real(41, 1200);
      w.Pair(71, 1);
      w.Pair(72, 5);
      w.Pair(1, kMTexts[shape.Below(3)]);
      w.Pair(7, "Standard");
      w.Real(42, 800);
      w.Real(43, 120);
      break;
    }
    default: {  // INSERT of the door block
      EntityHead(w, "INSERT", Layer);
      w.Pair(100, "AcDbBlockReference");
      w.Pair(2,
             "\x8c\x9a\x8b\xef"
             "A");  // 建具A
      w.Point(10, shape.Coordinate(50000), shape.Coordinate(30000));
      w.Real(41, 1);
      w.Real(42, 1);
      w.Real(43, 1);
      w.Real(50, 90.0 * shape.Below(4));
      break;
    }
  }
}

void WriteObjects(TDxfWriter& w) {
  w.Pair(0, "SECTION");
  w.Pair(2, "OBJECTS");
  w.Pair(0, "DICTIONARY");
  w.Pair(5, "C");
  w.Pair(330, "0");
  w.Pair(100, "AcDbDictionary");
  w.Pair(281, 1);
  w.Pair(3, "ACAD_GROUP");
  w.Pair(350, "D");
  w.Pair(0, "DICTIONARY");
  w.Pair(5, "D");
  w.Pair(102, "{ACAD_REACTORS");
  w.Pair(330, "C");
  w.Pair(102, "}");
  w.Pair(330, "C");
  w.Pair(100, "AcDbDictionary");
  w.Pair(281, 1);
  w.Pair(0, "ENDSEC");
  w.Pair(0, "EOF");
}

}  // namespace

bool WriteDrawing(std::FILE* File, const TDrawingOptions& Options) {
  TDxfWriter w(File);
  TRandom r(Options.Seed);
  WriteHeader(w);
  WriteTables(w);
  WriteBlocks(w);
  w.Pair(0, "SECTION");
  w.Pair(2, "ENTITIES");
  // Kinds by share: lines 45 %, LWPOLYLINE 14 %, POLYLINE 4 %, circles 10 %,
  // arcs 12 %, TEXT 6 %, MTEXT 3 %, INSERT 6 %.
  static const int kShares[] = {45, 14, 4, 10, 12, 6, 3, 6};
  std::uint64_t previousShape = 0;
  int previousKind = 0;
  const char* previousLayer = kLayers[0].Name;
  for (std::int64_t i = 0; i < Options.Entities; ++i) {
    // Every 25th entity or so is drawn again exactly over the one before it.
    const bool again = i > 0 && r.Below(25) == 0;
    int kind = previousKind;
    const char* layer = previousLayer;
    std::uint64_t shapeSeed = previousShape;
    if (!again) {
      int pick = r.Below(100);
      kind = 0;
      while (pick >= kShares[kind]) pick -= kShares[kind++];
      layer = kLayers[r.Below(kLayerCount)].Name;
      shapeSeed = r.Next();
    }
    TRandom shape(shapeSeed);
    WriteEntity(w, r, kind, layer, shape);
    previousKind = kind;
    previousLayer = layer;
    previousShape = shapeSeed;
  }
  w.Pair(0, "ENDSEC");
  WriteObjects(w);
  return w.Flush();
}
