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

void WriteHeader(TDxfWriter& W) {
  W.Pair(999, "Orveline drawing generator");
  W.Pair(0, "SECTION");
  W.Pair(2, "HEADER");
  W.Pair(9, "$ACADVER");
  W.Pair(1, "AC1015");
  W.Pair(9, "$ACADMAINTVER");
  W.Pair(70, 6);
  W.Pair(9, "$DWGCODEPAGE");
  W.Pair(3, "ANSI_932");
  W.Pair(9, "$INSBASE");
  W.Point(10, 0, 0);
  W.Pair(9, "$EXTMIN");
  W.Point(10, 0, 0);
  W.Pair(9, "$EXTMAX");
  W.Point(10, 50000, 30000);
  W.Pair(9, "$LIMMIN");
  W.Real(10, 0);
  W.Real(20, 0);
  W.Pair(9, "$LIMMAX");
  W.Real(10, 420);
  W.Real(20, 297);
  W.Pair(9, "$LTSCALE");
  W.Real(40, 1);
  W.Pair(9, "$INSUNITS");
  W.Pair(70, 4);
  W.Pair(9, "$TEXTSTYLE");
  W.Pair(7, "Standard");
  W.Pair(9, "$CLAYER");
  W.Pair(8, "0");
  W.Pair(9, "$HANDSEED");
  W.Pair(5, "FFFFFF");
  W.Pair(0, "ENDSEC");
  W.Pair(0, "SECTION");
  W.Pair(2, "CLASSES");
  W.Pair(0, "CLASS");
  W.Pair(1, "ACDBDICTIONARYWDFLT");
  W.Pair(2, "AcDbDictionaryWithDefault");
  W.Pair(3, "ObjectDBX Classes");
  W.Pair(90, 0);
  W.Pair(280, 0);
  W.Pair(281, 0);
  W.Pair(0, "ENDSEC");
}

void TableHead(TDxfWriter& W, const char* Name, int Count) {
  W.Pair(0, "TABLE");
  W.Pair(2, Name);
  W.Pair(5, W.Handle());
  W.Pair(330, "0");
  W.Pair(100, "AcDbSymbolTable");
  W.Pair(70, Count);
}

void EntryHead(TDxfWriter& W, const char* Kind, const char* Subclass) {
  W.Pair(0, Kind);
  W.Pair(5, W.Handle());
  W.Pair(330, "2");
  W.Pair(100, "AcDbSymbolTableRecord");
  W.Pair(100, Subclass);
}

void WriteTables(TDxfWriter& W) {
  W.Pair(0, "SECTION");
  W.Pair(2, "TABLES");

  TableHead(W, "VPORT", 1);
  EntryHead(W, "VPORT", "AcDbViewportTableRecord");
  W.Pair(2, "*Active");
  W.Pair(70, 0);
  W.Real(10, 0);
  W.Real(20, 0);
  W.Real(11, 1);
  W.Real(21, 1);
  W.Real(40, 30000);
  W.Real(41, 1.6);
  W.Pair(0, "ENDTAB");

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
  TableHead(W, "LTYPE", 6);
  for (const auto& lt : ltypes) {
    EntryHead(W, "LTYPE", "AcDbLinetypeTableRecord");
    W.Pair(2, lt.name);
    W.Pair(70, 0);
    W.Pair(3, lt.text);
    W.Pair(72, 65);
    W.Pair(73, static_cast<int>(lt.dashes.size()));
    double total = 0;
    for (double d : lt.dashes) total += std::fabs(d);
    W.Real(40, total);
    for (double d : lt.dashes) {
      W.Real(49, d);
      W.Pair(74, 0);
    }
  }
  W.Pair(0, "ENDTAB");

  TableHead(W, "LAYER", kLayerCount);
  for (const TLayer& layer : kLayers) {
    EntryHead(W, "LAYER", "AcDbLayerTableRecord");
    W.Pair(2, layer.Name);
    W.Pair(70, 0);
    W.Pair(62, layer.Color);
    W.Pair(6, layer.LineType);
    W.Pair(370, -3);
    W.Pair(390, "F");
  }
  W.Pair(0, "ENDTAB");

  struct {
    const char* name;
    double height, width, lastHeight;
    const char* font;
    const char* bigFont;
  } styles[] = {
      {"Standard", 0, 1, 2.5, "txt", "bigfont.shx"}, {"\x96\xbe\x92\xa9", 3.5, 0.8, 3.5, "msmincho.ttc", ""},  // 明朝
  };
  TableHead(W, "STYLE", 2);
  for (const auto& style : styles) {
    EntryHead(W, "STYLE", "AcDbTextStyleTableRecord");
    W.Pair(2, style.name);
    W.Pair(70, 0);
    W.Real(40, style.height);
    W.Real(41, style.width);
    W.Real(50, 0);
    W.Pair(71, 0);
    W.Real(42, style.lastHeight);
    W.Pair(3, style.font);
    W.Pair(4, style.bigFont);
  }
  W.Pair(0, "ENDTAB");

  TableHead(W, "APPID", 1);
  EntryHead(W, "APPID", "AcDbRegAppTableRecord");
  W.Pair(2, "ACAD");
  W.Pair(70, 0);
  W.Pair(0, "ENDTAB");

  TableHead(W, "BLOCK_RECORD", 3);
  for (const char* name : {"*Model_Space", "*Paper_Space",
                           "\x8c\x9a\x8b\xef"
                           "A"}) {  // 建具A
    EntryHead(W, "BLOCK_RECORD", "AcDbBlockTableRecord");
    W.Pair(2, name);
    W.Pair(340, "0");
  }
  W.Pair(0, "ENDTAB");
  W.Pair(0, "ENDSEC");
}

void EntityHead(TDxfWriter& W, const char* Kind, const char* Layer, const char* Owner = "1F") {
  W.Pair(0, Kind);
  W.Pair(5, W.Handle());
  W.Pair(330, Owner);
  W.Pair(100, "AcDbEntity");
  W.Pair(8, Layer);
}

void BlockBegin(TDxfWriter& W, const char* Name) {
  W.Pair(0, "BLOCK");
  W.Pair(5, W.Handle());
  W.Pair(330, "1F");
  W.Pair(100, "AcDbEntity");
  W.Pair(8, "0");
  W.Pair(100, "AcDbBlockBegin");
  W.Pair(2, Name);
  W.Pair(70, 0);
  W.Point(10, 0, 0);
  W.Pair(3, Name);
  W.Pair(1, "");
}

void BlockEnd(TDxfWriter& W) {
  W.Pair(0, "ENDBLK");
  W.Pair(5, W.Handle());
  W.Pair(330, "1F");
  W.Pair(100, "AcDbEntity");
  W.Pair(8, "0");
  W.Pair(100, "AcDbBlockEnd");
}

void WriteBlocks(TDxfWriter& W) {
  W.Pair(0, "SECTION");
  W.Pair(2, "BLOCKS");
  for (const char* name : {"*Model_Space", "*Paper_Space"}) {
    BlockBegin(W, name);
    BlockEnd(W);
  }
  // A door block: its line and arc belong to the block, not to the list.
  BlockBegin(W,
             "\x8c\x9a\x8b\xef"
             "A");  // 建具A
  EntityHead(W, "LINE", "0", "2A");
  W.Pair(100, "AcDbLine");
  W.Point(10, 0, 0);
  W.Point(11, 900, 0);
  EntityHead(W, "ARC", "0", "2A");
  W.Pair(100, "AcDbCircle");
  W.Point(10, 0, 0);
  W.Real(40, 900);
  W.Pair(100, "AcDbArc");
  W.Real(50, 0);
  W.Real(51, 90);
  BlockEnd(W);
  W.Pair(0, "ENDSEC");
}

// Entity properties: mostly by layer, sometimes a colour or linetype of its own.
void Properties(TDxfWriter& W, TRandom& R) {
  if (R.Below(10) == 0) W.Pair(6, kEntityLineTypes[R.Below(3)]);
  if (R.Below(8) == 0) W.Pair(62, 1 + R.Below(7));
}

void WriteEntity(TDxfWriter& W, TRandom& R, int Kind, const char* Layer, TRandom& Shape) {
  switch (Kind) {
    case 0: {  // LINE: mostly along the grid, of a few standard lengths
      EntityHead(W, "LINE", Layer);
      Properties(W, R);
      W.Pair(100, "AcDbLine");
      const double x = Shape.Coordinate(50000), y = Shape.Coordinate(30000);
      const double len = 300.0 * (1 + Shape.Below(20));
      const int dir = Shape.Below(3);  // along x, along y, or free
      W.Point(10, x, y);
      if (dir == 2) {  // at an angle: coordinates at full precision
        const double angle = 0.01 * (1 + Shape.Below(314));
        W.Point(11, x + len * std::cos(angle), y + len * std::sin(angle));
      } else {
        W.Point(11, dir == 0 ? x + len : x, dir == 1 ? y + len : y);
      }
      break;
    }
    case 1: {  // LWPOLYLINE
      EntityHead(W, "LWPOLYLINE", Layer);
      Properties(W, R);
      W.Pair(100, "AcDbPolyline");
      const int n = 2 + Shape.Below(34);
      W.Pair(90, n);
      W.Pair(70, Shape.Below(2));
      W.Real(43, 0);
      double x = Shape.Coordinate(50000), y = Shape.Coordinate(30000);
      for (int k = 0; k < n; ++k) {
        W.Real(10, x);
        W.Real(20, y);
        if (Shape.Below(6) == 0) W.Real(42, 0.41421356);
        if (k % 2 == 0)
          x += 100.0 * (1 + Shape.Below(30));
        else
          y += 100.0 * (1 + Shape.Below(30));
      }
      break;
    }
    case 2: {  // POLYLINE with its VERTEX entities and SEQEND
      EntityHead(W, "POLYLINE", Layer);
      Properties(W, R);
      W.Pair(100, "AcDb2dPolyline");
      W.Pair(66, 1);
      W.Point(10, 0, 0);
      W.Pair(70, Shape.Below(2));
      const int n = 2 + Shape.Below(8);
      double x = Shape.Coordinate(50000), y = Shape.Coordinate(30000);
      for (int k = 0; k < n; ++k) {
        EntityHead(W, "VERTEX", Layer);
        W.Pair(100, "AcDbVertex");
        W.Pair(100, "AcDb2dVertex");
        W.Point(10, x, y);
        W.Pair(70, 0);
        x += 250.0 * (1 + Shape.Below(8));
        y += 50.0 * Shape.Below(3);
      }
      EntityHead(W, "SEQEND", Layer);
      break;
    }
    case 3: {  // CIRCLE
      EntityHead(W, "CIRCLE", Layer);
      Properties(W, R);
      W.Pair(100, "AcDbCircle");
      W.Point(10, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Real(40, 50.0 * (1 + Shape.Below(12)));
      break;
    }
    case 4: {  // ARC
      EntityHead(W, "ARC", Layer);
      Properties(W, R);
      W.Pair(100, "AcDbCircle");
      W.Point(10, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Real(40, 100.0 * (1 + Shape.Below(10)));
      W.Pair(100, "AcDbArc");
      const double start = 15.0 * Shape.Below(24);
      W.Real(50, start);
      W.Real(51, std::fmod(start + 15.0 * (1 + Shape.Below(23)), 360.0));
      break;
    }
    case 5: {  // TEXT
      EntityHead(W, "TEXT", Layer);
      W.Pair(100, "AcDbText");
      W.Point(10, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Real(40, 2.5 * (1 + Shape.Below(4)));
      W.Pair(1, kTexts[Shape.Below(5)]);
      W.Real(50, 0);
      W.Real(41, 1);
      if (Shape.Below(3) == 0) W.Pair(7, "\x96\xbe\x92\xa9");  // 明朝
      W.Pair(72, 1);
      W.Point(11, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Pair(100, "AcDbText");
      W.Pair(73, 2);
      break;
    }
    case 6: {  // MTEXT
      EntityHead(W, "MTEXT", Layer);
      W.Pair(100, "AcDbMText");
      W.Point(10, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Real(40, 3.5);
      W.Real(41, 1200);
      W.Pair(71, 1);
      W.Pair(72, 5);
      W.Pair(1, kMTexts[Shape.Below(3)]);
      W.Pair(7, "Standard");
      W.Real(42, 800);
      W.Real(43, 120);
      break;
    }
    default: {  // INSERT of the door block
      EntityHead(W, "INSERT", Layer);
      W.Pair(100, "AcDbBlockReference");
      W.Pair(2,
             "\x8c\x9a\x8b\xef"
             "A");  // 建具A
      W.Point(10, Shape.Coordinate(50000), Shape.Coordinate(30000));
      W.Real(41, 1);
      W.Real(42, 1);
      W.Real(43, 1);
      W.Real(50, 90.0 * Shape.Below(4));
      break;
    }
  }
}

void WriteObjects(TDxfWriter& W) {
  W.Pair(0, "SECTION");
  W.Pair(2, "OBJECTS");
  W.Pair(0, "DICTIONARY");
  W.Pair(5, "C");
  W.Pair(330, "0");
  W.Pair(100, "AcDbDictionary");
  W.Pair(281, 1);
  W.Pair(3, "ACAD_GROUP");
  W.Pair(350, "D");
  W.Pair(0, "DICTIONARY");
  W.Pair(5, "D");
  W.Pair(102, "{ACAD_REACTORS");
  W.Pair(330, "C");
  W.Pair(102, "}");
  W.Pair(330, "C");
  W.Pair(100, "AcDbDictionary");
  W.Pair(281, 1);
  W.Pair(0, "ENDSEC");
  W.Pair(0, "EOF");
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
