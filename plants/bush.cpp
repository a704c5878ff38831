// The bush generator and its recursion.
#include "plants/bush.h"

#include "plants/mesh.h"

namespace {

struct BushContext {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
};

BushContext Ctx;

constexpr float kChildYaw[3] = {110, -130, -20};

// One node: a crown at the tip; otherwise a segment (none at the root, so
// the bush has no trunk) and three children at its end, scaled 0.7.
void FractalTree(std::int32_t Level) {
  if (Level >= Ctx.NumLevel) {
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(Ctx.Chioma);
    glPopMatrix();
    return;
  }
  if (Level > 0) glCallList(Ctx.Ramo);
  float SavedSeed = 0;
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, 1, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  for (float b : kChildYaw) {
    SavedSeedPair(SavedSeed);
    glPushMatrix();
    glRotatef(RandomAngle(40, b), 0, 1, 0);
    glRotatef(RandomAngle(20, 30), 0, 0, 1);
    FractalTree(Level + 1);
    glPopMatrix();
  }
  glPopMatrix();
}

}  // namespace

void BushAdvancedFractal3D(GLuint& Bush, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                           std::int32_t Quality, std::int32_t NumLevel, float TSize) {
  const GLuint Ramo = BeginList("Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Bush}, Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  const GLuint Chioma = BeginList("Chioma");
  CrownListBody(Ramo, Foglie, 230, 240);
  glEndList();

  DiscardedDraw();

  Ctx = BushContext{NumLevel, Ramo, Chioma};
  Bush = glGenLists(1);
  glNewList(Bush, GL_COMPILE);
  PlaceSystem(-1, 0, 1, [] { FractalTree(0); });
  glEndList();
}
