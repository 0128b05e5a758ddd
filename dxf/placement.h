// Where the contents of a block land in the drawing: the plane maps of block
// references (base point, insertion point, scale factors, rotation, the cells
// of an array reference, nesting) and of extrusion directions (the plane an
// entity is drawn in, seen from above).
#pragma once

#include <cmath>

struct TPoint2 {
  double X, Y;
};

// A linear map of the plane: x' = A x + B y, y' = C x + D y.
struct TLinear2 {
  double A, B, C, D;
};

// x' = A x + B y + E, y' = C x + D y + F.
struct TPlacement {
  TLinear2 Linear;
  double E, F;
};

constexpr TPlacement kIdentityPlacement{{1, 0, 0, 1}, 0, 0};

// A plane entity whose extrusion direction is (0, 0, -1) is drawn in a
// coordinate system whose x axis points along -X and whose y axis is Y.
constexpr TPlacement kFlipPlacement{{-1, 0, 0, 1}, 0, 0};

inline TPoint2 Apply(const TPlacement& P, TPoint2 Q) {
  return {P.Linear.A * Q.X + P.Linear.B * Q.Y + P.E, P.Linear.C * Q.X + P.Linear.D * Q.Y + P.F};
}

inline TPoint2 ApplyLinear(const TLinear2& M, TPoint2 Q) { return {M.A * Q.X + M.B * Q.Y, M.C * Q.X + M.D * Q.Y}; }

// First Inner, then Outer.
inline TPlacement Compose(const TPlacement& Outer, const TPlacement& Inner) {
  const TLinear2& o = Outer.Linear;
  const TLinear2& i = Inner.Linear;
  return {{o.A * i.A + o.B * i.C, o.A * i.B + o.B * i.D, o.C * i.A + o.D * i.C, o.C * i.B + o.D * i.D},
          o.A * Inner.E + o.B * Inner.F + Outer.E,
          o.C * Inner.E + o.D * Inner.F + Outer.F};
}

// Whether M keeps circles circles (a rotation, a uniform scale, a mirror).
inline bool IsSimilarity(const TLinear2& M) {
  const double colA = M.A * M.A + M.C * M.C, colB = M.B * M.B + M.D * M.D;
  const double scale = colA > colB ? colA : colB;
  if (scale == 0) return true;
  return std::fabs(colA - colB) <= 1e-12 * scale && std::fabs(M.A * M.B + M.C * M.D) <= 1e-12 * scale;
}

inline double Determinant(const TLinear2& M) { return M.A * M.D - M.B * M.C; }

// One cell of a block reference: a point P of the block lands at
// Insert + R(Rotation) ((ScaleX, ScaleY) (P - Base) + Cell), all in the
// reference's own plane, then flipped when its extrusion is (0, 0, -1).
// Rotation in degrees; Cell is the column and row offset of an array cell.
inline TPlacement InsertPlacement(TPoint2 Base, TPoint2 Insert, double ScaleX, double ScaleY, double Rotation,
                                  TPoint2 Cell, bool Flipped) {
  constexpr double kDegree = 3.14159265358979323846 / 180;
  double c = std::cos(Rotation * kDegree), s = std::sin(Rotation * kDegree);
  // Exact quarter turns, so that a rotation of 90 leaves no 6e-17 behind.
  const double turns = Rotation / 90;
  if (turns == std::floor(turns) && std::fabs(turns) < 1e15) {
    const long long q = static_cast<long long>(turns) % 4;
    const int k = static_cast<int>(q < 0 ? q + 4 : q);
    c = (k == 0) ? 1 : (k == 2) ? -1 : 0;
    s = (k == 1) ? 1 : (k == 3) ? -1 : 0;
  }
  // p -> R (S (p - Base) + Cell) + Insert
  const TLinear2 m{c * ScaleX, -s * ScaleY, s * ScaleX, c * ScaleY};
  const double tx = -ScaleX * Base.X + Cell.X, ty = -ScaleY * Base.Y + Cell.Y;
  const TPlacement placed{m, c * tx - s * ty + Insert.X, s * tx + c * ty + Insert.Y};
  return Flipped ? Compose(kFlipPlacement, placed) : placed;
}

// The extrusion direction of a plane entity.
struct TVector3 {
  double X, Y, Z;
};

// Whether an entity with extrusion N is drawn in a plane other than the XY
// plane, so that its plan is not its own drawing (up to the flip of
// (0, 0, -1)).
inline bool IsTilted(const TVector3& N) { return N.X != 0 || N.Y != 0; }

// The plan of the plane of an entity with extrusion N: a point (x, y) of
// that plane, at height Elevation along N, lands at x Ax + y Ay + Elevation N
// seen from above, where Ax and Ay are the plane's axes by the arbitrary
// axis rule: Ax is Wy x N when N is within 1/64 of the Z axis in X and Y,
// else Wz x N, scaled to length 1, and Ay is N x Ax. A zero N is Z.
inline TPlacement OcsPlacement(TVector3 N, double Elevation) {
  const double length = std::sqrt(N.X * N.X + N.Y * N.Y + N.Z * N.Z);
  if (!(length > 0) || !std::isfinite(length)) return kIdentityPlacement;
  N = {N.X / length, N.Y / length, N.Z / length};
  TVector3 ax = (std::fabs(N.X) < 1.0 / 64 && std::fabs(N.Y) < 1.0 / 64) ? TVector3{N.Z, 0, -N.X}   // Wy x N
                                                                         : TVector3{-N.Y, N.X, 0};  // Wz x N
  const double axLength = std::sqrt(ax.X * ax.X + ax.Y * ax.Y + ax.Z * ax.Z);
  ax = {ax.X / axLength, ax.Y / axLength, ax.Z / axLength};
  const TVector3 ay{N.Y * ax.Z - N.Z * ax.Y, N.Z * ax.X - N.X * ax.Z, N.X * ax.Y - N.Y * ax.X};
  return {{ax.X, ay.X, ax.Y, ay.Y}, Elevation * N.X, Elevation * N.Y};
}
