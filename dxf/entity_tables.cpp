#include "dxf/entity_tables.h"

TTable<TLineRec> Lines;
TTable<TArcRec> Arcs;
TTable<TCircleRec> Circles;
TTable<TPolyRec> Polys;
TTable<TTextRec> Texts;
TTable<TStyleRec> Styles;
TTable<TVertex> PolyVertices;

std::int32_t LineCount = 0;
std::int32_t ArcCount = 0;
std::int32_t CircleCount = 0;
std::int32_t PolyCount = 0;
std::int32_t TextCount = 0;
