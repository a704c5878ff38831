// Yucca generator: component lists, one discarded draw, then the plant
// recorded by a recursion whose segment, step, scale and branching depend
// on the level.
#include "plants/yucca.h"

#include <array>
#include <span>

#include "plants/mesh.h"
#include "plants/whorl.h"
#include "render/random.h"

namespace {

// What the recursion reads from the generator call.
struct YuccaState {
  std::int32_t NumLevel = 0;
  GLuint Ramo = 0;
  GLuint Chioma = 0;
  GLuint Fusto = 0;
};

// The rosette's whorls: passes, turn per pass (degrees) and the leaves of
// every pass. Whorl A's leaf is placed without a turn (see the rosette).
constexpr float kSixth = static_cast<float>(1.0 / 6.0);
constexpr float kTwelfth = static_cast<float>(1.0 / 12.0);
constexpr float kMinusThirtieth = static_cast<float>(-1.0 / 30.0);
constexpr std::array<WhorlLeaf, 1> kLeavesB{{{25, kTwelfth, 240, false, 0.37f, 0.15f, 0.37f}}};
constexpr std::array<WhorlLeaf, 2> kLeavesC{{
    {50, 0, 220, false, 0.5f, 0.1f, 0.5f},
    {75, 0, 195, true, 0.6f, 0.2f, 0.6f},
}};
constexpr std::array<WhorlLeaf, 1> kLeavesD{{{100, kMinusThirtieth, 175, true, 0.65f, 0.65f, 0.65f}}};
constexpr std::array<WhorlLeaf, 1> kLeavesE{{{125, kMinusThirtieth, 155, true, 0.65f, 0.65f, 0.65f}}};

struct Whorl {
  int passes;
  float step;
  std::span<const WhorlLeaf> leaves;
};
constexpr std::array<Whorl, 4> kTurnedWhorls{{
    {4, 90, kLeavesB},
    {4, 90, kLeavesC},
    {5, 72, kLeavesD},
    {4, 90, kLeavesE},
}};

// Branches of one level: base heading (absent at level 3 and deeper) and
// the tilt as Random * tiltRange + tiltBase.
struct Branch {
  bool hasHeading;
  double heading;
  double tiltRange, tiltBase;
};
constexpr std::array<Branch, 3> kForkThree{{
    {true, 110, 20, 30}, {true, -130, 20, 30}, {true, -20, 20, 30}}};
constexpr std::array<Branch, 2> kForkTwo{{{true, 110, 20, 30}, {true, -20, 20, 30}}};
constexpr std::array<Branch, 1> kStraight{{{false, 0, 4, 8}}};

void FractalTree(const YuccaState& S, std::int32_t Level) {
  if (Level >= S.NumLevel) {
    glPushMatrix();
    glRotatef(RandomAngle(180, 0), 0, 1, 0);
    glCallList(S.Chioma);
    glPopMatrix();
    return;
  }
  float SavedSeed = 0;
  float advance = 0.5f;
  float s = 0.7f;
  std::span<const Branch> branches = kStraight;
  switch (Level) {
    case 0:
      glCallList(S.Fusto);
      advance = 1;
      branches = kForkThree;
      break;
    case 1:
      // The half-length segment (and its sphere) stretched to length 1.
      glPushMatrix();
      glScalef(1, 2, 1);
      glCallList(S.Ramo);
      glPopMatrix();
      advance = 1;
      branches = kForkThree;
      break;
    case 2:
      glCallList(S.Ramo);
      branches = kForkTwo;
      break;
    default:
      glCallList(S.Ramo);
      s = 0.85f;
      break;
  }
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, advance, 0);
  glScalef(s, s, s);
  for (const Branch& B : branches) {
    SavedSeedPair(SavedSeed);
    glPushMatrix();
    if (B.hasHeading) glRotatef(RandomAngle(40, B.heading), 0, 1, 0);
    glRotatef(RandomAngle(B.tiltRange, B.tiltBase), 0, 0, 1);
    FractalTree(S, Level + 1);
    glPopMatrix();
  }
  glPopMatrix();
}

}  // namespace

void YuccaTypeAdvancedFractal3D(GLuint& YuccaType, TLVRProcedure MdlLeaf, TLVRProcedure MatTree,
                                TLVRProcedure MatLeaf, std::int32_t Quality,
                                std::int32_t NumLevel, float TSize) {
  YuccaState S;
  S.NumLevel = NumLevel;

  S.Ramo = BeginList("Ramo");
  SegmentListBody(MatTree, {.Row = MeshRow::Yucca, .H = 0.5f, .JointY = 0.5f, .JointRadius = 0.057f}, Quality, TSize);
  glEndList();

  const GLuint Foglie = BeginList("Foglie");
  LeafListBody(MatLeaf, MdlLeaf);
  glEndList();

  // The rosette: a segment and five whorls above its top; the passes'
  // moves and turns accumulate, nothing is popped between them.
  S.Chioma = BeginList("Chioma");
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glCallList(S.Ramo);
  glTranslatef(0, 0.5f, 0);
  for (int I = 0; I < 3; ++I) {
    glTranslatef(0, 0.01f, 0);
    glRotatef(120, 0, 1, 0);
    glPushMatrix();
    glTranslatef(0, kSixth, 0);
    glRotatef(180, 0, 1, 0);
    glRotatef(255, 1, 0, 0);
    glScalef(0.25f, 0.25f, 0.25f);
    glCallList(Foglie);
    glPopMatrix();
  }
  for (const Whorl& W : kTurnedWhorls) {
    for (int I = 0; I < W.passes; ++I) {
      glTranslatef(0, 0.01f, 0);
      glRotatef(W.step, 0, 1, 0);
      for (const WhorlLeaf& L : W.leaves) DrawWhorlLeaf(L, Foglie);
    }
  }
  glPopAttrib();
  glPopMatrix();
  glEndList();

  // The trunk, with its jittered foot (this mesh draws from the sequence).
  S.Fusto = BeginList("Fusto");
  SegmentListBody(MatTree, {.Row = MeshRow::Yucca, .Trunk = true, .JointY = 1, .JointRadius = 0.057f}, Quality, TSize);
  glEndList();

  DiscardedDraw();

  YuccaType = BeginList();
  PlaceSystem(0, 0, 1, [&S] { FractalTree(S, 0); });
  glEndList();
}
