// The second tree generator and its two recursions.
#include "plants/tree2.h"

#include "plants/mesh.h"
#include "render/random.h"

namespace {

struct Tree2Context {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Fusto = 0;
};

Tree2Context Ctx;

constexpr float kChildYaw[3] = {110, -130, -20};

// One child: the saved-seed pair, then yaw and lean, then its subtree.
void Child(std::int32_t Level, GLuint LevelZero, float& SavedSeed, float BaseYaw);

// One node: a crown at the tip; otherwise the split test decides between
// three children (the segment at the root is LevelZero) and a single
// continuation on a segment.
void Branch(std::int32_t Level, GLuint LevelZero) {
  if (Level >= Ctx.NumLevel) {
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(Ctx.Chioma);
    glPopMatrix();
    return;
  }
  // Level < NumLevel here, so NumLevel ≥ 1 and NumLevel − 1 cannot overflow.
  const std::int32_t K = Random(Ctx.NumLevel - 1) + 1;
  float SavedSeed = 0;
  if (K > Level) {
    if (Level == 0) {
      if (LevelZero != 0) glCallList(LevelZero);
    } else {
      glCallList(Ctx.Ramo);
    }
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glTranslatef(0, 1, 0);
    glScalef(0.7f, 0.7f, 0.7f);
    for (float b : kChildYaw) Child(Level, LevelZero, SavedSeed, b);
    glPopMatrix();
  } else {
    glCallList(Ctx.Ramo);
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glTranslatef(0, 1, 0);
    glScalef(0.7f, 0.7f, 0.7f);
    Child(Level, LevelZero, SavedSeed, -130);
    glPopMatrix();
  }
}

void Child(std::int32_t Level, GLuint LevelZero, float& SavedSeed, float BaseYaw) {
  SavedSeedPair(SavedSeed);
  glPushMatrix();
  glRotatef(RandomAngle(40, BaseYaw), 0, 1, 0);
  glRotatef(RandomAngle(20, 30), 0, 0, 1);
  Branch(Level + 1, LevelZero);
  glPopMatrix();
}

// The lowest branch system, standing on the trunk.
void FractalTree(std::int32_t Level) { Branch(Level, Ctx.Fusto); }

// The upper branch systems: a plain segment at the root.
void FractalTree2(std::int32_t Level) { Branch(Level, Ctx.Ramo); }

}  // namespace

void Tree2AdvancedFractal3D(GLuint& Tree, TLVRProcedure MdlLeaf, TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                            std::int32_t Quality, std::int32_t NumLevel, float TSize) {
  const GLuint Ramo = BeginList("Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Tree2, .JointY = 1, .JointRadius = 0.057f}, Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  MatLeaf();
  ThinGeometryOn();
  glPushMatrix();
  glTranslatef(0, -0.35f, 0);
  MdlLeaf();
  glPopMatrix();
  ThinGeometryOff();
  glEndList();

  const GLuint Chioma = BeginList("Chioma");
  CrownListBody(Ramo, Foglie, 50, 60);
  glEndList();

  const GLuint Fusto = BeginList("Fusto");
  SegmentListBody(MatTree, {.Row = MeshRow::Tree2, .Trunk = true}, Quality, TSize);
  glEndList();

  DiscardedDraw();

  Ctx = Tree2Context{NumLevel, Ramo, Chioma, Fusto};
  Tree = glGenLists(1);
  glNewList(Tree, GL_COMPILE);

  PlaceSystem(0, 0, 1, [] { FractalTree(0); });
  PlaceSystem(0.8f, 45, 0.8f, [] { FractalTree2(0); });
  PlaceSystem(1.6f, 90, 0.6f, [] { FractalTree2(0); });
  glEndList();
}
