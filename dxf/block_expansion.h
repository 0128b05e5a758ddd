// The pass after an exact reading that puts the contents of the blocks where
// the drawing's block references place them. Internal to the dxf library.
#pragma once

#include "dxf/drawing.h"

// Adds, for every reference of the drawing's own entities (nested references
// within them included), the entities of its block placed as the reference
// places them, taking the reference's layer, colour and linetype where the
// block's entities leave them to it; then leaves in the tables only the
// drawing's own records and the placed ones. Counts the references and what
// their blocks hold in D.Tally when Tally is set.
void PlaceBlockReferences(TDrawing& D, bool Tally);
