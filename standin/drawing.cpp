#include "standin/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end;
    if (stop > pos && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text, pos, stop - pos);
    pos = end + 1;
  }
  return lines;
}

bool IsPair(const TDxfPair& p, const char* code, const char* value) {
  return Trim(p.code) == code && Trim(p.value) == value;
}

}  // namespace

TDrawing ParseDrawing(const std::string& dxfText) {
  TDrawing d;
  const std::vector<std::string> lines = SplitLines(dxfText);
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) d.pairs.push_back({lines[i], lines[i + 1]});
  d.entitiesBegin = d.entitiesEnd = d.pairs.size();

  for (std::size_t i = 0; i + 1 < d.pairs.size(); ++i) {
    if (IsPair(d.pairs[i], "0", "SECTION") && IsPair(d.pairs[i + 1], "2", "ENTITIES")) {
      d.entitiesBegin = i + 2;
      break;
    }
  }
  std::size_t i = d.entitiesBegin;
  while (i < d.pairs.size() && !IsPair(d.pairs[i], "0", "ENDSEC")) {
    if (Trim(d.pairs[i].code) != "0") {  // stray pair before the first entity
      ++i;
      continue;
    }
    TDrawingEntity e{i, i + 1, Trim(d.pairs[i].value), {}};
    bool inPolyline = e.kind == "POLYLINE";
    bool inHead = true;  // the layer is the entity's own, not a vertex's
    std::size_t j = i + 1;
    for (; j < d.pairs.size(); ++j) {
      if (Trim(d.pairs[j].code) == "0") {
        const std::string kind = Trim(d.pairs[j].value);
        // The vertices and the closing SEQEND belong to their POLYLINE.
        inHead = false;
        if (inPolyline && kind == "VERTEX") continue;
        if (inPolyline && kind == "SEQEND") {
          inPolyline = false;
          continue;
        }
        break;
      }
      if (inHead && e.layer.empty() && Trim(d.pairs[j].code) == "8") e.layer = d.pairs[j].value;
    }
    e.last = j;
    d.entities.push_back(e);
    i = j;
  }
  d.entitiesEnd = i;
  return d;
}

std::string ExportDrawing(const TDrawing& d, const std::vector<std::size_t>& selection) {
  std::string out;
  auto put = [&out](const TDxfPair& p) {
    out += p.code;
    out += "\r\n";
    out += p.value;
    out += "\r\n";
  };
  if (d.entitiesBegin >= d.pairs.size() && d.entities.empty()) {
    // No ENTITIES section in the drawing: keep what there is and add one.
    for (const TDxfPair& p : d.pairs)
      if (!IsPair(p, "0", "EOF")) put(p);
    out += "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
  } else {
    for (std::size_t i = 0; i < d.entitiesBegin; ++i) put(d.pairs[i]);
  }
  std::vector<std::size_t> chosen = selection;
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  for (std::size_t index : chosen) {
    if (index >= d.entities.size()) continue;
    for (std::size_t i = d.entities[index].first; i < d.entities[index].last; ++i) put(d.pairs[i]);
  }
  if (d.entitiesBegin >= d.pairs.size() && d.entities.empty()) {
    out += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  } else {
    for (std::size_t i = d.entitiesEnd; i < d.pairs.size(); ++i) put(d.pairs[i]);
  }
  return out;
}

namespace {

double Number(const std::string& value) { return std::strtod(value.c_str(), nullptr); }

void AddArc(TEntityShape& shape, double cx, double cy, double r, double fromDeg, double toDeg) {
  const double pi = 3.14159265358979323846;
  while (toDeg <= fromDeg) toDeg += 360.0;
  const int steps = std::max(8, static_cast<int>((toDeg - fromDeg) / 6.0));
  std::vector<TPoint2> run;
  for (int i = 0; i <= steps; ++i) {
    const double a = (fromDeg + (toDeg - fromDeg) * i / steps) * pi / 180.0;
    run.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  shape.runs.push_back(run);
}

}  // namespace

TEntityShape EntityShape(const TDrawing& d, std::size_t index) {
  TEntityShape shape;
  if (index >= d.entities.size()) return shape;
  const TDrawingEntity& e = d.entities[index];
  double x = 0, y = 0, x2 = 0, y2 = 0, r = 0, a1 = 0, a2 = 360;
  int flags = 0;
  bool inHead = true;
  std::vector<TPoint2> vertices;
  for (std::size_t i = e.first + 1; i < e.last; ++i) {
    const std::string code = Trim(d.pairs[i].code);
    const std::string& v = d.pairs[i].value;
    if (code == "0") {
      inHead = false;
      if (Trim(v) == "VERTEX") vertices.push_back({0, 0});
      continue;
    }
    if (!inHead) {  // a vertex of a POLYLINE
      if (!vertices.empty() && code == "10") vertices.back().x = Number(v);
      if (!vertices.empty() && code == "20") vertices.back().y = Number(v);
      continue;
    }
    if (code == "62")
      shape.color = static_cast<int>(Number(v));
    else if (code == "70")
      flags = static_cast<int>(Number(v));
    else if (code == "10") {
      x = Number(v);
      if (e.kind == "LWPOLYLINE") vertices.push_back({x, 0});
    } else if (code == "20") {
      y = Number(v);
      if (e.kind == "LWPOLYLINE" && !vertices.empty()) vertices.back().y = y;
    } else if (code == "11")
      x2 = Number(v);
    else if (code == "21")
      y2 = Number(v);
    else if (code == "40")
      r = Number(v);
    else if (code == "50")
      a1 = Number(v);
    else if (code == "51")
      a2 = Number(v);
  }
  if (e.kind == "LINE") {
    shape.runs.push_back({{x, y}, {x2, y2}});
  } else if (e.kind == "CIRCLE") {
    AddArc(shape, x, y, r, 0, 360);
  } else if (e.kind == "ARC") {
    AddArc(shape, x, y, r, a1, a2);
  } else if (e.kind == "POLYLINE" || e.kind == "LWPOLYLINE") {
    if ((flags & 1) != 0 && !vertices.empty()) vertices.push_back(vertices.front());
    if (vertices.size() > 1) shape.runs.push_back(vertices);
  }
  return shape;
}
