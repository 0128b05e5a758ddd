// How the pairs of a LINE, ARC, CIRCLE and POLYLINE fill their records.
// Internal to the dxf library; kept inline, as the reader calls these per
// pair.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dxf/conversions.h"
#include "dxf/drawing.h"

namespace dxf_fields {

// The next record of Table, grown when full; Count is its new count.
template <class T>
inline T& TakeRecord(TTable<T>& Table, std::int32_t& Count) {
  ++Count;
  if (static_cast<std::size_t>(Count) > Table.Length()) Table.GrowBy(TablesGrowStep);
  return Table[static_cast<std::size_t>(Count) - 1];
}

// Layer, colour and linetype: the fields that every measured kind shares.
// False when Code is none of them.
template <class TRec>
inline bool AssignRowKey(TDrawing& D, TRec& Rec, std::int32_t Code, std::string_view Value) {
  switch (Code) {
    case 8:
      D.Assign(Rec.Layer, Value);
      return true;
    case 62:
      D.Assign(Rec.Color, Value);
      return true;
    case 6:
      D.Assign(Rec.LineType, Value);
      return true;
  }
  return false;
}

inline void AssignLinePair(TDrawing& D, TLineRec& R, std::int32_t Code, std::string_view Value) {
  switch (Code) {
    case 10:
      R.X1 = ConvertRealFast(Value);
      break;
    case 20:
      R.Y1 = ConvertRealFast(Value);
      break;
    case 30:
      R.Z1 = ConvertRealFast(Value);
      break;
    case 11:
      R.X2 = ConvertRealFast(Value);
      break;
    case 21:
      R.Y2 = ConvertRealFast(Value);
      break;
    case 31:
      R.Z2 = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(D, R, Code, Value);
      break;
  }
}

inline void AssignArcPair(TDrawing& D, TArcRec& R, std::int32_t Code, std::string_view Value) {
  switch (Code) {
    case 10:
      R.CX = ConvertRealFast(Value);
      break;
    case 20:
      R.CY = ConvertRealFast(Value);
      break;
    case 30:
      R.CZ = ConvertRealFast(Value);
      break;
    case 40:
      R.Radius = ConvertRealFast(Value);
      break;
    case 50:
      R.StartAngle = ConvertRealFast(Value);
      break;
    case 51:
      R.EndAngle = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(D, R, Code, Value);
      break;
  }
}

inline void AssignCirclePair(TDrawing& D, TCircleRec& R, std::int32_t Code, std::string_view Value) {
  switch (Code) {
    case 10:
      R.CX = ConvertRealFast(Value);
      break;
    case 20:
      R.CY = ConvertRealFast(Value);
      break;
    case 30:
      R.CZ = ConvertRealFast(Value);
      break;
    case 40:
      R.Radius = ConvertRealFast(Value);
      break;
    default:
      AssignRowKey(D, R, Code, Value);
      break;
  }
}

// The POLYLINE entity itself, before its VERTEX entities: flags and row key.
inline void AssignPolylinePair(TDrawing& D, TPolyRec& R, std::int32_t Code, std::string_view Value) {
  if (Code == 70)
    R.Flags = ConvertInteger(Value);
  else
    AssignRowKey(D, R, Code, Value);
}

}  // namespace dxf_fields
