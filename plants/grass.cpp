// Grass generator: three tuft lists, one discarded draw, then the patch
// recorded by a recursion that only moves, turns and shrinks the frame and
// calls a tuft at its deepest drawing level.
#include "plants/grass.h"

#include "plants/mesh.h"
#include "render/random.h"

namespace {

constexpr std::int32_t defaultNumLevel = 4;

// What the recursion reads from the generator call.
struct GrassState {
  std::int32_t NumLevel = 0;
  GLuint Erba1 = 0, Erba2 = 0, Erba3 = 0;
};

// A tuft: an open cone of blades standing on the origin, height `H`.
GLuint CompileTuft(const char* Name, TLVRProcedure MatGrass, std::int32_t Quality, float R, float H) {
  const GLuint List = BeginList(Name);
  MatGrass();
  glPushMatrix();
  glRotatef(-90, 1, 0, 0);
  CilindroMorph2(MeshRow::Grass, 0, 0, 0, 1, Quality, R, H, 1);
  glPopMatrix();
  glEndList();
  return List;
}

// `ParentRndTmp` and `I` are the parent activation's child count less one
// and this activation's place among those children (unused at level 0).
void FractalTree(const GrassState& S, std::int32_t Level, std::int32_t ParentRndTmp,
                 std::int32_t I) {
  if (Level >= S.NumLevel) return;
  if (Level > 2) {
    // Four siblings: short tufts; five: middle ones; six: only the sixth
    // sibling carries a tall tuft.
    if (ParentRndTmp == 3)
      glCallList(S.Erba1);
    else if (ParentRndTmp == 4)
      glCallList(S.Erba2);
    else if (I == 5)
      glCallList(S.Erba3);
  }
  float SavedSeed = 0;
  glPushMatrix();
  glRotatef(RandomAngle(180, 0), 0, 1, 0);
  glTranslatef(0, 1, 0);
  glScalef(0.7f, 0.7f, 0.7f);
  const std::int32_t RndTmp = Random(3) + 3;
  for (std::int32_t Child = 0; Child <= RndTmp; ++Child) {
    SavedSeedPair(SavedSeed);
    glPushMatrix();
    // Base yaws are multiples of 360 / RndTmp, so the first and the last
    // child share 0 = 360 degrees and differ only by their jitter.
    glRotatef(RandomAngle(40, 360.0 / RndTmp * Child), 0, 1, 0);
    glTranslatef(1.5f, 0, 1.5f);
    FractalTree(S, Level + 1, RndTmp, Child);
    glPopMatrix();
  }
  glPopMatrix();
}

}  // namespace

void GrassAdvancedFractal3D(GLuint& Grass, TLVRProcedure MatGrass1, TLVRProcedure MatGrass2,
                            TLVRProcedure MatGrass3, std::int32_t Quality, float Size,
                            float Distance) {
  GrassState S;
  S.NumLevel = defaultNumLevel;

  const double Ratio = static_cast<double>(Size) / Distance;
  const float R = static_cast<float>(Ratio);
  S.Erba1 = CompileTuft("Erba1", MatGrass1, Quality, R, R);
  S.Erba2 = CompileTuft("Erba2", MatGrass2, Quality, R, static_cast<float>(Ratio * 2));
  S.Erba3 = CompileTuft("Erba3", MatGrass3, Quality, R, static_cast<float>(Ratio * 2.5));

  DiscardedDraw();

  Grass = BeginList();
  glPushMatrix();
  glPushAttrib(GL_LIGHTING_BIT);
  glScalef(Distance, Distance, Distance);
  glTranslatef(0, -2.185f, 0);  // brings the tufts, 2.19 up, down to the ground
  FractalTree(S, 0, 0, 0);
  glPopAttrib();
  glPopMatrix();
  glEndList();
}
