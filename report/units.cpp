#include "report/units.h"

#include "dxf/dxf_errors.h"

namespace {

// A unit's length in metres, Metres / Per: exact integers for the units in
// use, so that a factor between two of them (one division) is the nearest
// double to the true ratio.
struct TUnit {
  std::int32_t Code;  // of $INSUNITS
  const char* Name;   // code page 932
  double Metres, Per;
};

// Every length unit of fixed size that $INSUNITS can state. The inch is
// 25.4 mm exactly (and the foot, yard and mile follow from it); the US
// survey foot is 1200/3937 m; the astronomical unit 149 597 870 700 m (IAU,
// 2012); the light year a Julian year (365.25 days of 86 400 s) at
// 299 792 458 m/s, 9 460 730 472 580 800 m; the parsec 648 000/π
// astronomical units, 30 856 775 814 913 672.8 m (IAU, 2015).
const TUnit kUnits[] = {
    {1, "in", 254, 1e4},
    {2, "ft", 3048, 1e4},
    {3, "mi", 1609344, 1e3},
    {4, "mm", 1, 1e3},
    {5, "cm", 1, 1e2},
    {6, "m", 1, 1},
    {7, "km", 1e3, 1},
    {8, "\x83\xcain", 254, 1e10},  // μin, microinches
    {9, "mil", 254, 1e7},
    {10, "yd", 9144, 1e4},
    {11, "\x81\xf0", 1, 1e10},  // Å, ångströms
    {12, "nm", 1, 1e9},
    {13, "\x83\xcam", 1, 1e6},  // μm
    {14, "dm", 1, 1e1},
    {15, "dam", 1e1, 1},
    {16, "hm", 1e2, 1},
    {17, "Gm", 1e9, 1},
    {18, "au", 149597870700.0, 1},
    {19, "ly", 9460730472580800.0, 1},
    {20, "pc", 30856775814913673.0, 1},
    {21, "US ft", 1200, 3937},
    {22, "US in", 100, 3937},
    {23, "US yd", 3600, 3937},
    {24, "US mi", 6336000, 3937},
};

// The units a list is written in, by their codes.
constexpr std::int32_t kListUnits[] = {4, 5, 6, 1, 2};

const TUnit* UnitOfCode(std::int32_t Code) {
  for (const TUnit& unit : kUnits)
    if (unit.Code == Code) return &unit;
  return nullptr;
}

const TUnit* ListUnit(std::string_view Name) {
  for (std::int32_t code : kListUnits)
    if (UnitOfCode(code)->Name == Name) return UnitOfCode(code);
  return nullptr;
}

const char kLength[] = "\x92\xb7\x82\xb3";  // 長さ
const char kTotal[] = "\x8d\x87\x8cv";      // 合計
const char kArea[] = "\x96\xca\x90\xcf";    // 面積
const char kSquare[] = "\x95\xbd\x95\xfb";  // 平方
const char kSquareMetre[] = "\x87u";        // ㎡
const char kMiddleDot[] = "\x81\x45";       // ・

std::string Titled(const char* Title, std::string_view Unit) {
  std::string text = Title;
  if (!Unit.empty()) {
    text += '(';
    text += Unit;
    text += ')';
  }
  return text;
}

}  // namespace

bool IsListUnit(std::string_view Name) { return ListUnit(Name) != nullptr; }

TUnitConversion DrawingConversion(std::int32_t Units, const TReportOptions& Options, const std::string& Path) {
  TUnitConversion conversion;
  const TUnit* to = ListUnit(Options.Unit);
  if (!to) return conversion;
  const TUnit* from = UnitOfCode(Units);
  if (!from) {
    from = ListUnit(Options.DrawingUnit);
    if (!from) throw NoDrawingUnitError(Path);
    conversion.Assumed = true;
  }
  conversion.From = from->Name;
  conversion.Scale = from == to ? 1.0 : (from->Metres * to->Per) / (from->Per * to->Metres);
  return conversion;
}

std::string LengthTitle(std::string_view Unit, bool Areas) {
  std::string title = Titled(kLength, Unit);
  if (Areas) title += kMiddleDot + AreaTitle(Unit);
  return title;
}

std::string TotalTitle(std::string_view Unit, bool Areas) {
  if (!Areas || Unit.empty()) return Titled(kTotal, Unit);
  return Titled(kTotal, std::string(Unit) + kMiddleDot + AreaUnitWord(Unit));
}

std::string AreaUnitWord(std::string_view Unit) {
  if (Unit.empty()) return {};
  if (Unit == "m") return kSquareMetre;
  return kSquare + std::string(Unit);
}

std::string AreaTitle(std::string_view Unit) { return Titled(kArea, AreaUnitWord(Unit)); }

std::string JsonAreaUnit(std::string_view Unit) { return Unit.empty() ? std::string() : std::string(Unit) + "2"; }
