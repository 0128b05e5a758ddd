#include "dxf/entity_tables.h"

TTable<TLineRec> Lines;
TTable<TArcRec> Arcs;
TTable<TCircleRec> Circles;
TTable<TPolyRec> Polys;
TTable<TTextRec> Texts;
TTable<TStyleRec> Styles;
TTable<TVertex> PolyVertices;
TTable<std::int32_t> PolyVertexFlagSlots;

std::int32_t LineCount = 0;
std::int32_t ArcCount = 0;
std::int32_t CircleCount = 0;
std::int32_t PolyCount = 0;
std::int32_t TextCount = 0;
