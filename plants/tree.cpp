// The tree generator and its two recursions.
#include "plants/tree.h"

#include "plants/mesh.h"

namespace {

// What the recursions read from the generator call.
struct TreeContext {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Fusto = 0;
};

TreeContext Ctx;

constexpr float kChildYaw[3] = {110, -130, -20};

// One node: a crown at the tip; otherwise this level's segment (LevelZero at
// the root, Ramo above it), then three children at the segment's end,
// scaled 0.7.
void Branch(std::int32_t Level, GLuint LevelZero) {
  if (Level >= Ctx.NumLevel) {
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(Ctx.Chioma);
    glPopMatrix();
    return;
  }
  if (Level == 0) {
    if (LevelZero != 0) glCallList(LevelZero);
  } else {
    glCallList(Ctx.Ramo);
  }
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
    Branch(Level + 1, LevelZero);
    glPopMatrix();
  }
  glPopMatrix();
}

// The main branch system, standing on the trunk.
void FractalTree(std::int32_t Level) { Branch(Level, Ctx.Fusto); }

// The second branch system: a segment at every level, also the first.
void FractalTree2(std::int32_t Level) { Branch(Level, Ctx.Ramo); }

}  // namespace

void TreeAdvancedFractal3D(GLuint& Tree, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                           std::int32_t Quality, std::int32_t NumLevel, float TSize) {
  const GLuint Ramo = BeginList("Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Tree}, Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  const GLuint Chioma = BeginList("Chioma");
  CrownListBody(Ramo, Foglie, 230, 240);
  glEndList();

  const GLuint Fusto = BeginList("Fusto");
  SegmentListBody(MatTree, {.Row = MeshRow::Tree, .Trunk = true}, Quality, TSize);
  glEndList();

  DiscardedDraw();

  Ctx = TreeContext{NumLevel, Ramo, Chioma, Fusto};
  Tree = glGenLists(1);
  glNewList(Tree, GL_COMPILE);
  PlaceSystem(0, 0, 1, [] { FractalTree(0); });
  PlaceSystem(1, 45, 0.75f, [] { FractalTree2(0); });
  glEndList();
}
