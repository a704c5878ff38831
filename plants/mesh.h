// The tapered branch meshes shared by all plant generators.
//
// CilindroMorph2 records a branch segment, CilindroMorph a trunk. Both emit
// NumCircle triangle strips (bands along the axis, band 0 at the top end,
// axis position H, the last band ending at 0) of NumLine + 1 columns each
// (the last column repeats the first at 2π), every vertex with a radial
// normal and a texture coordinate. The tube's axis is the mesh's +z axis;
// generators turn it onto +y with glRotatef(-90, 1, 0, 0) before calling.
//
// Each generator has its own row of constants (MeshRow): how much the ring
// radius grows band by band towards the base, whether the trunk's base ring
// is jittered by random offsets, whether the base closes to a point, and the
// grass blade form. The loops are written once; the rows are data.
//
// Arguments (every caller passes X = Y = Z = 0, NumCircle = 10 or, for grass,
// 1, NumLine = the generator's Quality):
//   X, Y, Z    offset added to every vertex (X and Y also to the normal's x, y)
//   NumCircle  bands along the axis, 1..10 (grass form: any count ≥ 1)
//   NumLine    segments around the axis, 1..255; 1..253 for a jittered trunk,
//              whose jitter writes column NumLine + 2 (grass form: any ≥ 1)
//   R          radius at the top end
//   H          length along the axis
//   TSize      texture scale (texture coordinates are divided by it)
// Out-of-range band or column indexes are checked failures (RunError).
// NumCircle or NumLine below 1 record nothing and draw nothing.
//
// Random draws: a row with foot jitter makes 2 · NumCircle · (NumLine + 1)
// draws (20 · (Quality + 1) for a trunk), also for bands whose jittered ring
// is never drawn; every other call draws nothing.
//
// Ring radii (R2[k] = radius at the bottom edge of band k, R1[k] = R2[k - 1]
// at its top edge, R1[0] = R2[0] = R):
//   CilindroMorph2: R2[k] = R + 0.002·k for Radix, Bush, Tree, Tree2,
//     Mangrove, Palm; R + 0.0002·k for Cane; R + 0.001·k for Yucca.
//     Grass: top edge R, bottom edge R / 3 in every band, bracketed by the
//     thin-geometry state (two-sided, no culling, sprite state), texture
//     s = R·A / TSize, t = 1 / TSize at the top edge and 0 at the bottom.
//   CilindroMorph: Tree, Tree2: δ = 0.005, 0.010, 0.015, 0.020, 0.025, 0.030,
//     0.05, 0.1, 0.25, with foot jitter; Yucca: the same but δ9 = 0.325, with
//     foot jitter; Palm: the same but δ9 = 0.175, no jitter; Mangrove:
//     0.005, 0.010, 0.015, 0.020, 0.05, 0.1, 0.15, 0.1 and R2[9] = 0 (the
//     base closes to a point), no jitter. Rows without a trunk of their own
//     (Radix, Grass, Cane, Bush) give their CilindroMorph2 tube.
//   Texture (all but grass): s = (H + A)·R / TSize, t = H / 5 / TSize at a
//   band's top edge and 0 at its bottom edge.
//
// Foot jitter: the base ring (bottom edge of band 9) has radius R2[9] / 2 at
// column 0 and at column NumCircle + 2 (12 for ten bands, so with NumLine 12
// the seam closes; with other NumLine the last column keeps its own random
// radius), and R2[9] − RandomF(R2[9] / 2) at every other column. At every
// band I and column J the mesh draws RandomF(R2[I] / 2) then RandomF(R2[I]·2).
//
// The ring arrays and the two 256 × 256 offset grids live in fixed static
// storage; nothing is allocated per call.
#pragma once

#include <array>
#include <cstdint>

enum class MeshRow { Radix, Grass, Cane, Bush, Tree, Tree2, Mangrove, Yucca, Palm };

// One row of mesh constants.
struct MeshProfile {
  std::array<double, 10> Delta{};  // δ0..δ9: R2[k] = R + δk (δ0 unused: R2[0] = R)
  bool PointFoot = false;          // R2[9] = 0: the base closes to a point
  bool FootJitter = false;         // random offsets on the base ring
  bool GrassForm = false;          // grass blade form (no ring arrays)
};

// The row a generator's segment (CilindroMorph2) and trunk (CilindroMorph)
// meshes use.
const MeshProfile& SegmentProfile(MeshRow Row);
const MeshProfile& TrunkProfile(MeshRow Row);

// The tube of one profile; the two procedures below are this with a row.
void TaperedTube(const MeshProfile& Profile, float X, float Y, float Z, std::int32_t NumCircle,
                 std::int32_t NumLine, float R, float H, float TSize);

// Branch segment of a generator's row.
void CilindroMorph2(MeshRow Row, float X, float Y, float Z, std::int32_t NumCircle,
                    std::int32_t NumLine, float R, float H, float TSize);
// Trunk of a generator's row.
void CilindroMorph(MeshRow Row, float X, float Y, float Z, std::int32_t NumCircle,
                   std::int32_t NumLine, float R, float H, float TSize);
