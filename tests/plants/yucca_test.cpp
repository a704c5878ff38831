// Yucca generator: draws and branching by depth, the level-dependent tilts,
// the rosette.
#include "plants/yucca.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

class YuccaGenerator : public PlantFixture {};

constexpr GLuint Ramo = 1, Foglie = 2, Chioma = 3, Fusto = 4, Plant = 5;

// Quality 12: the trunk's jittered foot makes 260 draws before the
// discarded one; then the recursion's draws by depth. Level 1 stretches its
// segment (glScalef(1, 2, 1)); levels 2 and deeper use it as it is. A
// negative depth gives a single rosette.
TEST_F(YuccaGenerator, BranchingByDepth) {
  struct Case {
    std::int32_t NumLevel;
    std::uint64_t draws;
    int trunks, stretched, segments, rosettes;
  };
  const Case cases[] = {
      {-2, 260 + 2, 0, 0, 0, 1},   {0, 260 + 2, 0, 0, 0, 1},    {1, 260 + 17, 1, 0, 0, 3},   {2, 260 + 62, 1, 3, 3, 9},
      {3, 260 + 152, 1, 3, 12, 18}, {4, 260 + 224, 1, 3, 30, 18}, {5, 260 + 296, 1, 3, 48, 18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.NumLevel);
    ResetRandom();
    InstallGLCapture();
    Runs().clear();
    GLuint Dracena = 0;
    YuccaTypeAdvancedFractal3D(Dracena, LeafPoint, MatWood, MatGreen, 12, c.NumLevel, 0.4f);
    ASSERT_EQ(Dracena, Plant);
    EXPECT_EQ(RandomDraws(), c.draws);
    EXPECT_EQ(CallsOf(Plant, Fusto), c.trunks);
    EXPECT_EQ(CallsOf(Plant, Ramo), c.segments);
    EXPECT_EQ(CallsOf(Plant, Chioma), c.rosettes);
    int stretched = 0;
    for (const CapturedCall& call : CapturedListCalls(Plant))
      stretched += (Is(call, "glScalef") && call.arg(1) == 2) ? 1 : 0;
    EXPECT_EQ(stretched, c.stretched);
    ExpectBalanced(Plant);
    EXPECT_EQ(Primitives(GL_POINTS), 24 * c.rosettes);
    // All callbacks run before the trunk's jitter draws.
    ASSERT_EQ(Runs().size(), 4u);
    for (const CallbackRun& r : Runs()) EXPECT_EQ(r.draws, 0u);
  }
}

// Depth 4: tilts 30..50 on the forks of levels 0..2 (3 + 9 + 18), 8..12 on
// the eighteen straight continuations of level 3; headings only on forks.
TEST_F(YuccaGenerator, TiltsByLevel) {
  GLuint Dracena = 0;
  YuccaTypeAdvancedFractal3D(Dracena, LeafPoint, MatWood, MatGreen, 12, 4, 0.4f);
  int forks = 0, straight = 0;
  for (double t : Rotations(Plant, 0, 0, 1)) {
    if (t >= 30 && t < 50) ++forks;
    else if (t >= 8 && t < 12) ++straight;
    else ADD_FAILURE() << "tilt " << t;
  }
  EXPECT_EQ(forks, 30);
  EXPECT_EQ(straight, 18);
  // Twists: 1 + 3 + 9 + 18 inner activations and 18 rosettes; headings: 30.
  EXPECT_EQ(Rotations(Plant, 0, 1, 0).size(), 31u + 18u + 30u);
  // Steps of 1 and scale 0.7 at levels 0 and 1, steps of 0.5 below; the
  // straight continuations shrink by 0.85 only.
  int step1 = 0, stepHalf = 0, scale07 = 0, scale085 = 0;
  for (const CapturedCall& c : CapturedListCalls(Plant)) {
    if (Is(c, "glTranslatef")) {
      step1 += c.arg(1) == 1 ? 1 : 0;
      stepHalf += c.arg(1) == 0.5 ? 1 : 0;
    }
    if (Is(c, "glScalef") && c.arg(0) == c.arg(1)) {
      scale07 += c.arg(0) == static_cast<double>(0.7f) ? 1 : 0;
      scale085 += c.arg(0) == static_cast<double>(0.85f) ? 1 : 0;
    }
  }
  EXPECT_EQ(step1, 1 + 3);
  EXPECT_EQ(stepHalf, 9 + 18);
  EXPECT_EQ(scale07, 1 + 3 + 9);
  EXPECT_EQ(scale085, 18);
}

// The rosette: a half segment, then 24 leaves in 20 passes climbing 0.01
// each from its top.
TEST_F(YuccaGenerator, Rosette) {
  GLuint Dracena = 0;
  YuccaTypeAdvancedFractal3D(Dracena, LeafPoint, MatWood, MatGreen, 12, 0, 0.4f);
  EXPECT_EQ(CallsOf(Chioma, Ramo), 1);
  EXPECT_EQ(CallsOf(Chioma, Foglie), 24);
  int passes = 0;
  for (const CapturedCall& c : CapturedListCalls(Chioma))
    passes += (Is(c, "glTranslatef") && c.arg(1) == static_cast<double>(0.01f)) ? 1 : 0;
  EXPECT_EQ(passes, 20);
  // Tips: 255 (A), 240 (B), 220 and 195 (C), 175 (D), 155 (E); C's second
  // leaf, D and E flipped about z.
  auto tips = Rotations(Chioma, 1, 0, 0);
  std::sort(tips.begin(), tips.end());
  std::vector<double> expected;
  expected.insert(expected.end(), 4, 155);
  expected.insert(expected.end(), 5, 175);
  expected.insert(expected.end(), 4, 195);
  expected.insert(expected.end(), 4, 220);
  expected.insert(expected.end(), 4, 240);
  expected.insert(expected.end(), 3, 255);
  EXPECT_EQ(tips, expected);
  EXPECT_EQ(Rotations(Chioma, 0, 0, 1), std::vector<double>(13, 180));
  ExpectBalanced(Chioma);
  EXPECT_EQ(Primitives(GL_POINTS), 24);
  // The short segment's sphere (its bands first) sits on its top at 0.5.
  ExecuteCapturedList(Ramo);
  const CapturedPrimitive& lastBand = CapturedPrimitives()[11];
  for (std::size_t i = 0; i < lastBand.first + lastBand.count; ++i) {
    const CapturedVertex& v = CapturedVertices()[i];
    EXPECT_NEAR(std::hypot(v.x, v.y - 0.5, v.z), 0.057, 1e-6);
  }
  EXPECT_EQ(Count(Fusto, "glBegin"), 12 + 10);
}

}  // namespace
