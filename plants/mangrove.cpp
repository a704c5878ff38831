// Mangrove generator: the tree of the fig generator on a bulging, pointed
// trunk (two units tall), compiled into its own list and combined with a
// root system in the plant list.
#include "plants/mangrove.h"

#include "plants/labels.h"

#include <array>

#include "plants/mesh.h"
#include "plants/radix.h"
#include "render/random.h"

namespace {

// What the recursions read from the generator call.
struct MangroveState {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Fusto = 0;
};

constexpr std::array<double, 3> kChildYaws = {110.0, -130.0, -20.0};

// One branch system. `Trunk`: level 0 is the two-unit trunk (the main
// system); otherwise every level, level 0 included, is a one-unit segment
// (the second system, on top of the trunk).
void Branches(const MangroveState& S, std::int32_t Level, bool Trunk) {
  if (Level >= S.NumLevel) {  // a tip: the crown, turned at random
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(S.Chioma);
    glPopMatrix();
    return;
  }
  const bool AtTrunk = Trunk && Level == 0;
  float SavedSeed = 0;
  glCallList(AtTrunk ? S.Fusto : S.Ramo);
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, AtTrunk ? 2.0f : 1.0f, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  for (double b : kChildYaws) {
    SavedSeedPair(SavedSeed);
    glPushMatrix();
    glRotatef(RandomAngle(40, b), 0, 1, 0);
    glRotatef(RandomAngle(20, 30), 0, 0, 1);
    Branches(S, Level + 1, Trunk);
    glPopMatrix();
  }
  glPopMatrix();
}

void FractalTree(const MangroveState& S, std::int32_t Level) { Branches(S, Level, true); }
void FractalTree2(const MangroveState& S, std::int32_t Level) { Branches(S, Level, false); }

}  // namespace

void MangroveTypeAdvancedFractal3D(GLuint& MangroveType, TLVRProcedure MdlLeaf,
                                   TLVRProcedure MatTree, TLVRProcedure MatLeaf,
                                   std::int32_t Quality, std::int32_t NumLevel, float TSize) {
  MangroveState S;
  S.NumLevel = NumLevel;

  S.Ramo = BeginList("Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Mangrove}, Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  // A segment dressed with four pairs of leaf clusters climbing and turning.
  S.Chioma = BeginList("Chioma");
  CrownListBody(S.Ramo, Foglie, 230, 240);
  glEndList();

  // The pointed trunk, and the tap root hanging from height 0.25 to -0.75.
  S.Fusto = BeginList("Fusto");
  SegmentListBody(MatTree, {.Row = MeshRow::Mangrove, .Trunk = true, .H = 2}, Quality, TSize);
  glPushMatrix();
  glTranslatef(0, 0.25f, 0);
  glRotatef(90, 1, 0, 0);
  CilindroMorph2(MeshRow::Mangrove, 0, 0, 0, 10, Quality, 0.06f, 1, TSize);
  glPopMatrix();
  glEndList();

  DiscardedDraw();

  const GLuint Albero = BeginList("Albero");
  PlaceSystem(0, 0, 1, [&S] { FractalTree(S, 0); });
  PlaceSystem(2, 45, 0.75f, [&S] { FractalTree2(S, 0); });
  glEndList();

  GLuint Radici = 0;
  RadixAdvancedFractal3D(Radici, MatTree, 15, Quality, 3, TSize);
  LabelList(Radici, "Radici");

  MangroveType = BeginList();
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glTranslatef(0, 0.35f, 0);
  glCallList(Albero);
  glPushMatrix();
  glTranslatef(0, 0.7f, 0);
  glScalef(1.2f, 1.2f, 1.2f);
  glCallList(Radici);
  glPopMatrix();
  glPopAttrib();
  glPopMatrix();
  glEndList();
}
