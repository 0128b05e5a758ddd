// The entity state machine: the pairs of a drawing, in file order, into the
// tables of a drawing. One reader for both readings: the plain list's
// tables, and with exact lengths also bulges, closing flags, extrusions,
// ellipses, splines, block definitions and references. Internal to the dxf
// library; ReadDrawing (dxf/dxf_reader.h) is its entry.
#pragma once

#include "dxf/byte_source.h"
#include "dxf/drawing.h"

struct TReadOptions;

// Reads the pairs of Source (at its first pair) into D, which is empty. Block
// references are kept in D.Inserts, not yet placed.
void ReadEntityPairs(TByteSource& Source, const TReadOptions& Options, TDrawing& D);
