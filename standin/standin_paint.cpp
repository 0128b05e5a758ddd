#include <windows.h>

#include "standin/standin_paint.h"

#include <algorithm>

#include "acadlink/ansi_text.h"
#include "win32/win_handles.h"

namespace {

COLORREF ColorOf(int Aci) {
  switch (Aci) {
    case 1:
      return RGB(255, 0, 0);
    case 2:
      return RGB(255, 255, 0);
    case 3:
      return RGB(0, 255, 0);
    case 4:
      return RGB(0, 255, 255);
    case 5:
      return RGB(0, 0, 255);
    case 6:
      return RGB(255, 0, 255);
    default:
      return RGB(255, 255, 255);
  }
}

}  // namespace

void PaintTextRows(HDC Dc, const RECT& Area, HFONT Font, COLORREF Back, COLORREF Fore,
                   const std::vector<std::string>& Rows) {
  TBrushHandle brush(CreateSolidBrush(Back));
  FillRect(Dc, &Area, brush.Get());
  TSelectObject font(Dc, Font);
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, Fore);
  TEXTMETRICW tm{};
  GetTextMetricsW(Dc, &tm);
  int y = Area.top + 2;
  for (const std::string& row : Rows) {
    const std::wstring w = AnsiToWide(row);
    TextOutW(Dc, Area.left + 4, y, w.c_str(), static_cast<int>(w.size()));
    y += tm.tmHeight;
  }
}

void PaintDrawingArea(HDC Dc, const RECT& Area, HFONT Font, const std::vector<TEntityShape>& Shapes,
                      const std::vector<std::size_t>& Picked) {
  const std::string status = "Model  " + std::to_string(Shapes.size()) + " entities";
  PaintTextRows(Dc, Area, Font, RGB(33, 40, 48), RGB(160, 170, 180), {status});

  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const TEntityShape& shape : Shapes)
    for (const auto& run : shape.runs)
      for (const TPoint2& p : run) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
      }
  if (minX > maxX) return;
  const double margin = 30;
  const double w = std::max(1.0, Area.right - 2 * margin), h = std::max(1.0, Area.bottom - Area.top - 2 * margin);
  const double scale = std::min(w / std::max(maxX - minX, 1e-9), h / std::max(maxY - minY, 1e-9));
  auto toScreen = [&](const TPoint2& p) {
    return POINT{static_cast<LONG>(margin + (p.x - minX) * scale),
                 static_cast<LONG>(Area.bottom - margin - (p.y - minY) * scale)};
  };
  SetBkMode(Dc, TRANSPARENT);
  std::vector<POINT> points;
  for (std::size_t i = 0; i < Shapes.size(); ++i) {
    const TEntityShape& shape = Shapes[i];
    const bool isPicked = std::find(Picked.begin(), Picked.end(), i) != Picked.end();
    TPenHandle pen(CreatePen(isPicked ? PS_DOT : PS_SOLID, 1, ColorOf(shape.color)));
    TSelectObject selected(Dc, pen.Get());
    for (const auto& run : shape.runs) {
      points.clear();
      for (const TPoint2& p : run) points.push_back(toScreen(p));
      Polyline(Dc, points.data(), static_cast<int>(points.size()));
    }
  }
}

int FontLineHeight(HFONT Font) {
  TWindowDc screen(nullptr);
  TSelectObject font(screen.Get(), Font);
  TEXTMETRICW tm{};
  return GetTextMetricsW(screen.Get(), &tm) ? tm.tmHeight : 16;
}
