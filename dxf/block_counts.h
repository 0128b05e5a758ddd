// The pass after a reading for block counts that places every block
// reference of the drawing, and the references inside the blocks placed.
// Internal to the dxf library.
#pragma once

#include "dxf/drawing.h"

// Fills D.PlacedBlocks: each reference of the drawing's own entities once per
// cell (an array reference has columns times rows), and within each the
// references of its block, once per placement of their parents, with the
// layer, colour and linetype handed down. A reference to an anonymous block
// ("*" first) counts under the name of the block it copies, or not at all
// (D.AnonymousLeftOut); a reference to a block being placed (a cycle), nested
// too deep or placing more than one reading places is not counted
// (D.BlocksNotPlaced).
void PlaceBlockCounts(TDrawing& D);
