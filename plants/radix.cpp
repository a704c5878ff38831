// Root generator: one segment list, one discarded draw, then the root list
// recorded by a four-way recursion turned upside down.
#include "plants/radix.h"

#include <array>

#include "plants/mesh.h"
#include "render/random.h"

namespace {

// What the recursion reads from the generator call.
struct RadixState {
  std::int32_t NumLevel = 0;
  std::int32_t Angle = 0;
  GLuint Ramo = 0;
};

// Base headings of the four roots about y, in degrees. The fourth is 365,
// not 5: its angle handed to GL lies between 365 and 405.
constexpr std::array<double, 4> kHeadings{110.0, 225.0, 290.0, 365.0};

void FractalTree(const RadixState& S, std::int32_t Level) {
  if (Level >= S.NumLevel) return;  // the ends draw nothing
  float SavedSeed = 0;
  if (Level > 0) glCallList(S.Ramo);
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, 1, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  for (double heading : kHeadings) {
    SavedSeedPair(SavedSeed);
    glPushMatrix();
    glRotatef(RandomAngle(40, heading), 0, 1, 0);
    glRotatef(RandomAngle(20, S.Angle), 0, 0, 1);
    FractalTree(S, Level + 1);
    glPopMatrix();
  }
  glPopMatrix();
}

}  // namespace

void RadixAdvancedFractal3D(GLuint& Radix, TLVRProcedure MatTree, std::int32_t Angle,
                            std::int32_t Quality, std::int32_t NumLevel, float TSize) {
  RadixState S;
  S.NumLevel = NumLevel;
  S.Angle = Angle;

  S.Ramo = BeginList("Radix.Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Radix}, Quality, TSize);
  glEndList();

  DiscardedDraw();

  Radix = BeginList();
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glRotatef(180, 1, 0, 0);  // the roots grow downward
  glTranslatef(0, -1, 0);
  FractalTree(S, 0);
  glPopAttrib();
  glPopMatrix();
  glEndList();
}
