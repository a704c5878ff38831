// Immediate-mode building blocks that crowns and generators record into
// display lists: a face normal (FindNormal), a two-vertex emitter
// (LineFree), a textured sphere (Sfera) and a textured two-sided leaf
// (GenLeaf). They only issue GL calls and draw no random numbers.
#pragma once

#include <array>
#include <cstdint>

// Normal of the last FindNormal call, indexed 1..3 (x, y, z; element 0 is
// unused): unit length, or (0, 0, 0) for collinear points.
extern std::array<double, 4> FNormal;

// Unit normal of the triangle V1, V2, V3: (V1 - V2) x (V2 - V3), into FNormal.
void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X, double V3Y,
                double V3Z);
// Scales (X, Y, Z) to unit length in place; a zero vector stays zero.
void ReduceToUnit(double& X, double& Y, double& Z);

// Two vertices, each preceded by its texture coordinate when Texture is
// set. Call between glBegin and glEnd.
void LineFree(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
              bool Texture);

// Textured sphere centred at (PX, PY, PZ), poles on the z axis: NumLine
// triangle strips from the +z to the -z pole, NumCircle segments around.
// Texture s runs 0..-1/TSize around, t 0..1/TSize pole to pole.
void Sfera(float PX, float PY, float PZ, float Radius, std::int32_t NumCircle, std::int32_t NumLine, float TSize);

// One leaf with the current texture and material, inside the thin-geometry
// bracket (two-sided lighting, no culling, alpha test). Spheric: half an
// ellipsoid shell (Sfera_); otherwise a cupped blade along x (Cilindro_
// with RC as its length H). TU, TV shift and TSU, TSV divide the texture
// coordinates. Leaves culling on, two-sided lighting and alpha test off.
void GenLeaf(float RC, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
             float TSV, bool Spheric);

// The two leaf shapes, without the bracket.
void Cilindro_(float H, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
               float TSV);
void Sfera_(float RC, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
            float TSV);
