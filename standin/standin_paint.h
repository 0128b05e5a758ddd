// What the stand-in's windows show, painted into a given device context (a
// window's while painting, or a memory context in a test). Painting keeps no
// state.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "standin/drawing.h"

// Fills Area with Back and writes Rows (code page 932) from its top, one
// line of Font each, in Fore.
void PaintTextRows(HDC Dc, const RECT& Area, HFONT Font, COLORREF Back, COLORREF Fore,
                   const std::vector<std::string>& Rows);

// The model space: a status line, then every shape fitted into Area, y
// upwards; the entities in Picked (indexes into Shapes) drawn dotted, as
// the CAD program shows picked objects.
void PaintDrawingArea(HDC Dc, const RECT& Area, HFONT Font, const std::vector<TEntityShape>& Shapes,
                      const std::vector<std::size_t>& Picked);

// The height of one line of Font on the screen, in pixels (16 when the
// font cannot be measured).
int FontLineHeight(HFONT Font);
