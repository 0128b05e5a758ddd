#include "standin/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

std::string Trim(const std::string& S) {
  const auto b = S.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = S.find_last_not_of(" \t");
  return S.substr(b, e - b + 1);
}

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < Text.size()) {
    std::size_t end = Text.find('\n', pos);
    if (end == std::string::npos) end = Text.size();
    std::size_t stop = end;
    if (stop > pos && Text[stop - 1] == '\r') --stop;
    lines.emplace_back(Text, pos, stop - pos);
    pos = end + 1;
  }
  return lines;
}

bool IsPair(const TDxfPair& P, const char* Code, const char* Value) {
  return Trim(P.code) == Code && Trim(P.value) == Value;
}

}  // namespace

namespace {

// One entity from its group-0 pair at First up to the next entity: a
// POLYLINE with its VERTEX entities and SEQEND, an INSERT with its ATTRIB
// entities and their SEQEND.
TDrawingEntity ReadEntity(const std::vector<TDxfPair>& Pairs, std::size_t First) {
  TDrawingEntity e{First, First + 1, Trim(Pairs[First].value), {}, {}};
  const bool refers = e.kind == "INSERT" || e.kind == "DIMENSION";
  const char* follower = e.kind == "POLYLINE" ? "VERTEX" : e.kind == "INSERT" ? "ATTRIB" : nullptr;
  bool inSequence = e.kind == "POLYLINE";  // a SEQEND here belongs to the entity
  bool inHead = true;                      // the pairs are the entity's own, not a vertex's
  std::size_t j = First + 1;
  for (; j < Pairs.size(); ++j) {
    const std::string code = Trim(Pairs[j].code);
    if (code == "0") {
      const std::string kind = Trim(Pairs[j].value);
      inHead = false;
      if (follower && kind == follower) {
        inSequence = true;
        continue;
      }
      if (inSequence && kind == "SEQEND") {
        inSequence = false;
        follower = nullptr;
        continue;
      }
      break;
    }
    if (inHead && e.layer.empty() && code == "8") e.layer = Pairs[j].value;
    if (inHead && refers && code == "2") e.blocks.push_back(Trim(Pairs[j].value));
  }
  e.last = j;
  return e;
}

// The section whose (0, SECTION) (2, Name) pairs come first: the index of its
// first pair after the name, or Pairs.size().
std::size_t SectionStart(const std::vector<TDxfPair>& Pairs, const char* Name) {
  for (std::size_t i = 0; i + 1 < Pairs.size(); ++i)
    if (IsPair(Pairs[i], "0", "SECTION") && IsPair(Pairs[i + 1], "2", Name)) return i + 2;
  return Pairs.size();
}

void ReadBlocks(TDrawing& D) {
  std::size_t i = SectionStart(D.pairs, "BLOCKS");
  while (i < D.pairs.size() && !IsPair(D.pairs[i], "0", "ENDSEC")) {
    if (!IsPair(D.pairs[i], "0", "BLOCK")) {  // a stray pair, or an entity outside any block
      ++i;
      continue;
    }
    TDrawingBlock b{i, i + 1, {}, {}};
    std::size_t j = i + 1;
    for (; j < D.pairs.size() && Trim(D.pairs[j].code) != "0"; ++j)
      if (b.name.empty() && Trim(D.pairs[j].code) == "2") b.name = Trim(D.pairs[j].value);
    // Its entities, up to its ENDBLK and that entity's own pairs.
    while (j < D.pairs.size() && !IsPair(D.pairs[j], "0", "ENDSEC") && !IsPair(D.pairs[j], "0", "BLOCK")) {
      const bool end = IsPair(D.pairs[j], "0", "ENDBLK");
      const TDrawingEntity e = ReadEntity(D.pairs, j);
      b.blocks.insert(b.blocks.end(), e.blocks.begin(), e.blocks.end());
      j = e.last;
      if (end) break;
    }
    b.last = j;
    D.blocks.push_back(b);
    i = j;
  }
}

// Model and paper space are blocks of every drawing, not references.
bool IsLayoutBlock(const std::string& Name) {
  std::string upper = Name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const char* prefix : {"*MODEL_SPACE", "*PAPER_SPACE", "$MODEL_SPACE", "$PAPER_SPACE"})
    if (upper.rfind(prefix, 0) == 0) return true;
  return false;
}

// Which block definitions an export of Chosen keeps: the layouts, and every
// block that the chosen entities reach through their references.
std::vector<bool> KeptBlocks(const TDrawing& D, const std::vector<std::size_t>& Chosen) {
  std::vector<bool> kept(D.blocks.size(), false);
  std::vector<std::string> wanted;
  for (std::size_t index : Chosen)
    wanted.insert(wanted.end(), D.entities[index].blocks.begin(), D.entities[index].blocks.end());
  for (std::size_t b = 0; b < D.blocks.size(); ++b) kept[b] = IsLayoutBlock(D.blocks[b].name);
  while (!wanted.empty()) {
    const std::string name = wanted.back();
    wanted.pop_back();
    for (std::size_t b = 0; b < D.blocks.size(); ++b) {
      if (kept[b] || D.blocks[b].name != name) continue;
      kept[b] = true;  // once: a block that refers to itself ends here
      wanted.insert(wanted.end(), D.blocks[b].blocks.begin(), D.blocks[b].blocks.end());
    }
  }
  return kept;
}

}  // namespace

TDrawing ParseDrawing(const std::string& DxfText) {
  TDrawing d;
  const std::vector<std::string> lines = SplitLines(DxfText);
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) d.pairs.push_back({lines[i], lines[i + 1]});
  d.entitiesBegin = d.entitiesEnd = SectionStart(d.pairs, "ENTITIES");
  std::size_t i = d.entitiesBegin;
  while (i < d.pairs.size() && !IsPair(d.pairs[i], "0", "ENDSEC")) {
    if (Trim(d.pairs[i].code) != "0") {  // stray pair before the first entity
      ++i;
      continue;
    }
    d.entities.push_back(ReadEntity(d.pairs, i));
    i = d.entities.back().last;
  }
  d.entitiesEnd = i;
  ReadBlocks(d);
  return d;
}

std::string ExportDrawing(const TDrawing& D, const std::vector<std::size_t>& Selection) {
  std::string out;
  auto put = [&out](const TDxfPair& p) {
    out += p.code;
    out += "\r\n";
    out += p.value;
    out += "\r\n";
  };
  std::vector<std::size_t> chosen;
  for (std::size_t index : Selection)
    if (index < D.entities.size()) chosen.push_back(index);
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  const std::vector<bool> kept = KeptBlocks(D, chosen);
  // Pairs From .. To - 1, without the block definitions that are not kept.
  auto putRange = [&](std::size_t From, std::size_t To) {
    std::size_t b = 0;
    for (std::size_t i = From; i < To; ++i) {
      while (b < D.blocks.size() && D.blocks[b].last <= i) ++b;
      if (b < D.blocks.size() && i >= D.blocks[b].first && !kept[b]) continue;
      put(D.pairs[i]);
    }
  };
  const bool noSection = D.entitiesBegin >= D.pairs.size() && D.entities.empty();
  if (noSection) {
    // No ENTITIES section in the drawing: keep what there is and add one.
    for (const TDxfPair& p : D.pairs)
      if (!IsPair(p, "0", "EOF")) put(p);
    out += "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
  } else {
    putRange(0, D.entitiesBegin);
  }
  for (std::size_t index : chosen)
    for (std::size_t i = D.entities[index].first; i < D.entities[index].last; ++i) put(D.pairs[i]);
  if (noSection) {
    out += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  } else {
    putRange(D.entitiesEnd, D.pairs.size());
  }
  return out;
}

namespace {

double Number(const std::string& Value) { return std::strtod(Value.c_str(), nullptr); }

void AddArc(TEntityShape& Shape, double Cx, double Cy, double R, double FromDeg, double ToDeg) {
  const double pi = 3.14159265358979323846;
  while (ToDeg <= FromDeg) ToDeg += 360.0;
  const int steps = std::max(8, static_cast<int>((ToDeg - FromDeg) / 6.0));
  std::vector<TPoint2> run;
  for (int i = 0; i <= steps; ++i) {
    const double a = (FromDeg + (ToDeg - FromDeg) * i / steps) * pi / 180.0;
    run.push_back({Cx + R * std::cos(a), Cy + R * std::sin(a)});
  }
  Shape.runs.push_back(run);
}

// The polyline paths of a hatch's boundary, as closed runs of their vertices
// (arc segments as chords); edge paths and the pattern are not drawn.
void AddHatchPaths(TEntityShape& Shape, const std::vector<TDxfPair>& Pairs, const TDrawingEntity& Hatch) {
  bool polylinePath = false;
  std::size_t left = 0;  // vertices of the path still to come
  std::vector<TPoint2> run;
  for (std::size_t i = Hatch.first + 1; i < Hatch.last; ++i) {
    const std::string code = Trim(Pairs[i].code);
    const double value = Number(Pairs[i].value);
    if (code == "92") {
      polylinePath = (static_cast<int>(value) & 2) != 0;
    } else if (code == "93" && polylinePath) {
      left = value > 0 ? static_cast<std::size_t>(value) : 0;
      run.clear();
    } else if (left > 0 && code == "10") {
      run.push_back({value, 0});
    } else if (left > 0 && code == "20" && !run.empty()) {
      run.back().y = value;
      if (--left == 0) {
        run.push_back(run.front());
        Shape.runs.push_back(run);
      }
    }
  }
}

TEntityShape ShapeOf(const TDrawing& D, const TDrawingEntity& e, int Depth);

// A block reference's outline: its block's contents scaled, turned about the
// block's base point and moved to the insertion point. References inside are
// drawn as deep as 8 levels.
void AddBlockContents(TEntityShape& Shape, const TDrawing& D, const std::string& Name, TPoint2 At, double ScaleX,
                      double ScaleY, double RotationDeg, int Depth) {
  if (Depth >= 8) return;
  const auto block =
      std::find_if(D.blocks.begin(), D.blocks.end(), [&](const TDrawingBlock& b) { return b.name == Name; });
  if (block == D.blocks.end()) return;
  TPoint2 base{0, 0};
  std::size_t j = block->first + 1;
  for (; j < block->last && Trim(D.pairs[j].code) != "0"; ++j) {
    if (Trim(D.pairs[j].code) == "10") base.x = Number(D.pairs[j].value);
    if (Trim(D.pairs[j].code) == "20") base.y = Number(D.pairs[j].value);
  }
  const double turn = RotationDeg * 3.14159265358979323846 / 180.0;
  const double c = std::cos(turn), s = std::sin(turn);
  while (j < block->last) {
    const TDrawingEntity inner = ReadEntity(D.pairs, j);
    if (inner.kind == "ENDBLK") break;
    for (std::vector<TPoint2> run : ShapeOf(D, inner, Depth + 1).runs) {
      for (TPoint2& p : run) {
        const double x = (p.x - base.x) * ScaleX, y = (p.y - base.y) * ScaleY;
        p = {At.x + x * c - y * s, At.y + x * s + y * c};
      }
      Shape.runs.push_back(run);
    }
    j = inner.last;
  }
}

TEntityShape ShapeOf(const TDrawing& D, const TDrawingEntity& e, int Depth) {
  TEntityShape shape;
  double x = 0, y = 0, x2 = 0, y2 = 0, r = 0, a1 = 0, a2 = 360, scaleX = 1, scaleY = 1;
  int flags = 0;
  bool inHead = true;
  std::vector<TPoint2> vertices;
  for (std::size_t i = e.first + 1; i < e.last; ++i) {
    const std::string code = Trim(D.pairs[i].code);
    const std::string& v = D.pairs[i].value;
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
    else if (code == "41")
      scaleX = Number(v);
    else if (code == "42")
      scaleY = Number(v);
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
  } else if (e.kind == "HATCH") {
    AddHatchPaths(shape, D.pairs, e);
  } else if (e.kind == "INSERT" && !e.blocks.empty()) {
    AddBlockContents(shape, D, e.blocks.front(), {x, y}, scaleX, scaleY, a1, Depth);  // group 50: the rotation
  }
  return shape;
}

}  // namespace

TEntityShape EntityShape(const TDrawing& D, std::size_t Index) {
  if (Index >= D.entities.size()) return {};
  return ShapeOf(D, D.entities[Index], 0);
}
