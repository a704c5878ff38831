// The tapered branch meshes: one loop for every generator's row.
#include "plants/mesh.h"

#include <cmath>
#include <numbers>

#include "plants/scheme.h"
#include "platform/checked.h"
#include "render/gl.h"
#include "render/random.h"

namespace {

constexpr std::array<double, 10> LinearDeltas(double step) {
  std::array<double, 10> d{};
  for (int k = 0; k < 10; ++k) d[static_cast<std::size_t>(k)] = step * k;
  return d;
}

constexpr std::array<double, 10> kTrunkDeltas{0, 0.005, 0.010, 0.015, 0.020, 0.025, 0.030, 0.05, 0.1, 0.25};

constexpr std::array<double, 10> WithLast(std::array<double, 10> d, double last) {
  d[9] = last;
  return d;
}

constexpr MeshProfile kSegment002{LinearDeltas(0.002), false, false, false};
constexpr MeshProfile kSegmentCane{LinearDeltas(0.0002), false, false, false};
constexpr MeshProfile kSegmentYucca{LinearDeltas(0.001), false, false, false};
constexpr MeshProfile kGrassBlade{{}, false, false, true};

constexpr MeshProfile kTrunkTree{kTrunkDeltas, false, true, false};
constexpr MeshProfile kTrunkYucca{WithLast(kTrunkDeltas, 0.325), false, true, false};
constexpr MeshProfile kTrunkPalm{WithLast(kTrunkDeltas, 0.175), false, false, false};
constexpr MeshProfile kTrunkMangrove{{0, 0.005, 0.010, 0.015, 0.020, 0.05, 0.1, 0.15, 0.1, 0}, true, false, false};

// Ring radii of the current column: R1[i] at the top edge of band i, R2[i]
// at its bottom edge. Indexes 0..9.
std::array<float, 10> R1;
std::array<float, 10> R2;
// Radial offsets of the top (R3) and bottom (R4) vertex of band i at column
// j. Indexes [0..255, 0..255].
std::array<std::array<float, 256>, 256> R3;
std::array<std::array<float, 256>, 256> R4;

float& Ring(std::array<float, 10>& ring, long long i) { return ring[CheckIndex(i, 0, 9, "mesh ring index")]; }

float& Grid(std::array<std::array<float, 256>, 256>& grid, long long i, long long j) {
  const std::size_t row = CheckIndex(i, 0, 255, "mesh offset band index");
  return grid[row][CheckIndex(j, 0, 255, "mesh offset column index")];
}

void FillRings(const MeshProfile& p, float R) {
  R1[0] = R;
  R2[0] = R;
  for (std::size_t k = 1; k < 10; ++k) {
    R2[k] = (p.PointFoot && k == 9) ? 0.0f : static_cast<float>(static_cast<double>(R) + p.Delta[k]);
    R1[k] = R2[k - 1];
  }
}

// The grass blade: one narrowing band per NumCircle, in the thin-geometry
// bracket, without ring arrays.
void GrassTube(float X, float Y, float Z, std::int32_t NumCircle, std::int32_t NumLine, float R, float H,
               float TSize) {
  const float MajorStep = static_cast<float>(static_cast<double>(H) / NumCircle);
  const float MinorStep = static_cast<float>(2.0 * std::numbers::pi / NumLine);
  ThinGeometryOn();
  for (std::int32_t I = 0; I < NumCircle; ++I) {
    const float Z0 = static_cast<float>(static_cast<double>(H) - static_cast<double>(I) * MajorStep);
    const float Z1 = static_cast<float>(static_cast<double>(Z0) - MajorStep);
    glBegin(GL_TRIANGLE_STRIP);
    for (std::int32_t J = 0; J <= NumLine; ++J) {
      const double A = static_cast<double>(J) * MinorStep;
      const float NX = static_cast<float>(std::cos(A));
      const float NY = static_cast<float>(std::sin(A));
      const float XX = static_cast<float>(static_cast<double>(NX) * R);
      const float YY = static_cast<float>(static_cast<double>(NY) * R);
      const float S = static_cast<float>(static_cast<double>(R) * A / TSize);
      glNormal3f(static_cast<float>(static_cast<double>(NX) + X), static_cast<float>(static_cast<double>(NY) + Y), 0);
      glTexCoord2f(S, static_cast<float>(1.0 / TSize));
      glVertex3f(static_cast<float>(static_cast<double>(XX) + X), static_cast<float>(static_cast<double>(YY) + Y),
                 static_cast<float>(static_cast<double>(Z0) + Z));
      glNormal3f(static_cast<float>(static_cast<double>(NX) + X), static_cast<float>(static_cast<double>(NY) + Y), 0);
      glTexCoord2f(S, 0);
      glVertex3f(static_cast<float>(static_cast<double>(XX) / 3 + X), static_cast<float>(static_cast<double>(YY) / 3 + Y),
                 static_cast<float>(static_cast<double>(Z1) + Z));
    }
    glEnd();
  }
  ThinGeometryOff();
}

}  // namespace

const MeshProfile& SegmentProfile(MeshRow Row) {
  switch (Row) {
    case MeshRow::Grass: return kGrassBlade;
    case MeshRow::Cane: return kSegmentCane;
    case MeshRow::Yucca: return kSegmentYucca;
    case MeshRow::Radix:
    case MeshRow::Bush:
    case MeshRow::Tree:
    case MeshRow::Tree2:
    case MeshRow::Mangrove:
    case MeshRow::Palm: break;
  }
  return kSegment002;
}

const MeshProfile& TrunkProfile(MeshRow Row) {
  switch (Row) {
    case MeshRow::Tree:
    case MeshRow::Tree2: return kTrunkTree;
    case MeshRow::Yucca: return kTrunkYucca;
    case MeshRow::Palm: return kTrunkPalm;
    case MeshRow::Mangrove: return kTrunkMangrove;
    case MeshRow::Radix:
    case MeshRow::Grass:
    case MeshRow::Cane:
    case MeshRow::Bush: break;
  }
  return SegmentProfile(Row);
}

void TaperedTube(const MeshProfile& Profile, float X, float Y, float Z, std::int32_t NumCircle, std::int32_t NumLine,
                 float R, float H, float TSize) {
  // A tube without bands or columns has nothing to draw (and the steps
  // would divide by zero).
  if (NumCircle < 1 || NumLine < 1) return;
  if (Profile.GrassForm) {
    GrassTube(X, Y, Z, NumCircle, NumLine, R, H, TSize);
    return;
  }
  const float MajorStep = static_cast<float>(static_cast<double>(H) / NumCircle);
  const float MinorStep = static_cast<float>(2.0 * std::numbers::pi / NumLine);
  const float TopT = static_cast<float>(static_cast<double>(H) / 5 / TSize);
  for (std::int32_t I = 0; I < NumCircle; ++I) {
    const float Z0 = static_cast<float>(static_cast<double>(H) - static_cast<double>(I) * MajorStep);
    const float Z1 = static_cast<float>(static_cast<double>(Z0) - MajorStep);
    glBegin(GL_TRIANGLE_STRIP);
    for (std::int32_t J = 0; J <= NumLine; ++J) {
      FillRings(Profile, R);
      Grid(R3, I, J) = 0;
      Grid(R4, I, J) = 0;
      if (Profile.FootJitter) {
        // Row 9 is the base ring whatever band is being drawn; both draws
        // are made at every band and column.
        const float Bottom = Ring(R2, I);
        Grid(R4, 9, J) = -RandomF(Bottom / 2);
        Grid(R4, 9, static_cast<long long>(J) + 2) = RandomF(Bottom * 2);
        Grid(R4, 9, 0) = -Bottom / 2;
        Grid(R4, 9, static_cast<long long>(NumCircle) + 2) = Grid(R4, 9, 0);
      }
      const double A = static_cast<double>(J) * MinorStep;
      const float NX = static_cast<float>(std::cos(A));
      const float NY = static_cast<float>(std::sin(A));
      const double Top = static_cast<double>(Ring(R1, I)) + Grid(R3, I, J);
      const double Base = static_cast<double>(Ring(R2, I)) + Grid(R4, I, J);
      const float XX = static_cast<float>(Top * NX);
      const float YY = static_cast<float>(Top * NY);
      const float XX1 = static_cast<float>(Base * NX);
      const float YY1 = static_cast<float>(Base * NY);
      const float S = static_cast<float>((static_cast<double>(H) + A) * R / TSize);
      const float NormalX = static_cast<float>(static_cast<double>(NX) + X);
      const float NormalY = static_cast<float>(static_cast<double>(NY) + Y);
      glNormal3f(NormalX, NormalY, 0);
      glTexCoord2f(S, TopT);
      glVertex3f(static_cast<float>(static_cast<double>(XX) + X), static_cast<float>(static_cast<double>(YY) + Y),
                 static_cast<float>(static_cast<double>(Z0) + Z));
      glNormal3f(NormalX, NormalY, 0);
      glTexCoord2f(S, 0);
      glVertex3f(static_cast<float>(static_cast<double>(XX1) + X), static_cast<float>(static_cast<double>(YY1) + Y),
                 static_cast<float>(static_cast<double>(Z1) + Z));
    }
    glEnd();
  }
}

void CilindroMorph2(MeshRow Row, float X, float Y, float Z, std::int32_t NumCircle, std::int32_t NumLine, float R,
                    float H, float TSize) {
  TaperedTube(SegmentProfile(Row), X, Y, Z, NumCircle, NumLine, R, H, TSize);
}

void CilindroMorph(MeshRow Row, float X, float Y, float Z, std::int32_t NumCircle, std::int32_t NumLine, float R,
                   float H, float TSize) {
  TaperedTube(TrunkProfile(Row), X, Y, Z, NumCircle, NumLine, R, H, TSize);
}
