// Palm generator: component lists, one discarded draw, then the stem
// recorded by a one-child recursion that ends in the crown.
#include "plants/palm.h"

#include <array>

#include "plants/mesh.h"
#include "plants/whorl.h"
#include "render/random.h"

namespace {

// What the recursion reads from the generator call.
struct PalmState {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Fusto = 0;
};

// Leaves of whorls B and C (whorl A's leaves are placed without a turn).
constexpr WhorlLeaf kLeafB1{25, 0.25f, 240, false, 0.37f, 0.15f, 0.37f};
constexpr std::array<WhorlLeaf, 4> kLeavesC{{
    {50, 0, 220, false, 0.5f, 0.1f, 0.5f},
    {75, 0, 195, true, 0.6f, 0.2f, 0.6f},
    {100, -0.1f, 175, true, 0.65f, 0.65f, 0.65f},
    {125, -0.1f, 155, true, 0.65f, 0.65f, 0.65f},
}};

// A segment with its joint sphere; the lowest one uses the flared trunk mesh.
GLuint CompileSegment(bool Trunk, TLVRProcedure MatTree, std::int32_t Quality, float TSize) {
  const GLuint List = BeginList(Trunk ? "Fusto" : "Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Palm, .Trunk = Trunk, .JointY = 1, .JointRadius = 0.057f}, Quality, TSize);
  glEndList();
  return List;
}

void FractalTree(const PalmState& S, std::int32_t Level) {
  if (Level >= S.NumLevel) {
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(S.Chioma);
    glPopMatrix();
    return;
  }
  float SavedSeed = 0;
  glCallList(Level == 0 ? S.Fusto : S.Ramo);
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, 1, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  SavedSeedPair(SavedSeed);
  glPushMatrix();
  glRotatef(RandomAngle(20, 15), 0, 0, 1);  // the bend
  FractalTree(S, Level + 1);
  glPopMatrix();
  glPopMatrix();
}

}  // namespace

void PalmAdvancedFractal3D(GLuint& Palm, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                           TLVRProcedure MatLeaf, std::int32_t Quality, std::int32_t NumLevel,
                           float TSize) {
  PalmState S;
  S.NumLevel = NumLevel;

  S.Ramo = CompileSegment(false, MatTree, Quality, TSize);

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  // The crown: a segment and three whorls climbing it; the passes' moves
  // and turns accumulate, nothing is popped between them.
  S.Chioma = BeginList("Chioma");
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glCallList(S.Ramo);
  for (int I = 0; I < 3; ++I) {
    glTranslatef(0, 0.111f, 0);
    glRotatef(120, 0, 1, 0);
    glPushMatrix();
    glTranslatef(0, 0.5f, 0);
    glRotatef(180, 0, 1, 0);
    glRotatef(255, 1, 0, 0);
    glScalef(0.25f, 0.25f, 0.25f);
    glCallList(Foglie);
    glPopMatrix();
  }
  for (int I = 0; I < 4; ++I) {
    glTranslatef(0, 0.111f, 0);
    glRotatef(90, 0, 1, 0);
    DrawWhorlLeaf(kLeafB1, Foglie);
  }
  for (int I = 0; I < 5; ++I) {
    glTranslatef(0, 0.111f, 0);
    glRotatef(72, 0, 1, 0);
    for (const WhorlLeaf& L : kLeavesC) DrawWhorlLeaf(L, Foglie);
  }
  glPopAttrib();
  glPopMatrix();
  glEndList();

  S.Fusto = CompileSegment(true, MatTree, Quality, TSize);

  DiscardedDraw();

  Palm = BeginList();
  PlaceSystem(0, 0, 1, [&S] { FractalTree(S, 0); });
  glEndList();
}
