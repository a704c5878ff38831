// Cane generator: component lists, one discarded draw, then the stalk
// recorded by a one-child recursion that draws each leaf pair after the
// part of the stalk above it.
#include "plants/cane.h"

#include "plants/mesh.h"
#include "render/random.h"

namespace {

// What the recursion reads from the generator call.
struct CaneState {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Foglia = 0;
};

// The stalk is a slimmer version of the usual 0.057 sphere and 0.06 tube.
constexpr float kSphereRadius = static_cast<float>(0.057 / 1.15);
constexpr float kTubeRadius = static_cast<float>(0.06 / 1.15);

void FractalTree(const CaneState& S, std::int32_t Level) {
  if (Level >= S.NumLevel) {
    glPushMatrix();
    glScalef(0.9f, 0.95f, 0.9f);
    glTranslatef(0, 0.4f, 0.03f);
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(S.Foglia);
    glPopMatrix();
    return;
  }
  float SavedSeed = 0;
  glCallList(S.Ramo);
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, 0.9f, 0);
  glScalef(0.9f, 0.95f, 0.9f);
  SavedSeedPair(SavedSeed);
  glPushMatrix();
  glRotatef(RandomAngle(15, 5), 0, 0, 1);  // the bend
  FractalTree(S, Level + 1);
  // The next segment again, with its leaf pair, in the frame it began in.
  glCallList(S.Chioma);
  glPopMatrix();
  glPopMatrix();
}

}  // namespace

void CaneAdvancedFractal3D(GLuint& Cane, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                           TLVRProcedure MatLeaf, std::int32_t Quality, std::int32_t NumLevel,
                           float TSize) {
  CaneState S;
  S.NumLevel = NumLevel;

  S.Ramo = BeginList("Ramo");
  SegmentListBody(MatTree,
                  {.Row = MeshRow::Cane, .R = kTubeRadius, .H = 0.9f, .JointY = 0.9f, .JointRadius = kSphereRadius},
                  Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  // A segment with two opposite leaves at heights 0.05 and 0.5.
  S.Chioma = BeginList("Chioma");
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glCallList(S.Ramo);
  glPushMatrix();
  glTranslatef(0, -0.9f, 0);
  for (int I = 0; I <= 1; ++I) {
    glTranslatef(0, 0.45f, 0);
    glRotatef(static_cast<float>(I * 180), 0, 1, 0);
    glPushMatrix();
    glTranslatef(0, 0.5f, 0);
    glRotatef(180, 0, 1, 0);
    glRotatef(228, 1, 0, 0);
    glScalef(0.25f, 0.25f, 0.25f);
    glCallList(Foglie);
    glPopMatrix();
  }
  glPopMatrix();
  glPopAttrib();
  glPopMatrix();
  glEndList();

  // The top leaf, placed, with its own material and leaf state.
  S.Foglia = BeginList("Foglia");
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glTranslatef(0, 0.5f, 0);
  glRotatef(180, 0, 1, 0);
  glRotatef(270, 1, 0, 0);
  glScalef(0.25f, 0.25f, 0.25f);
  LeafListBody(MatLeaf, MdlLeaf);
  glPopAttrib();
  glPopMatrix();
  glEndList();

  DiscardedDraw();

  Cane = BeginList();
  PlaceSystem(0, 0, 1, [&S] { FractalTree(S, 0); });
  glEndList();
}
