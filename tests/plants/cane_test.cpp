// Cane generator: draws, segments and leaves by depth, the order of the
// stalk's calls, and successive canes.
#include "plants/cane.h"

#include <gtest/gtest.h>

#include <cmath>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

class CaneGenerator : public PlantFixture {};

constexpr GLuint Ramo = 1, Foglie = 2, Chioma = 3, Foglia = 4, Plant = 5;

// 4N + 2 draws; 2N segment runs (levels 1..N-1 twice), 2N paired leaves
// and one top leaf. A negative depth gives the top leaf alone.
TEST_F(CaneGenerator, StalkByDepth) {
  struct Case {
    std::int32_t NumLevel;
    std::uint64_t draws;
    std::uint64_t segmentRuns, pairedLeaves;
  };
  for (const Case& c : {Case{-1, 2, 0, 0}, Case{0, 2, 0, 0}, Case{1, 6, 2, 2}, Case{10, 42, 20, 20}}) {
    SCOPED_TRACE(c.NumLevel);
    ResetRandom();
    InstallGLCapture();
    Runs().clear();
    GLuint Canna = 0;
    CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, c.NumLevel, 0.2f);
    ASSERT_EQ(Canna, Plant);
    EXPECT_EQ(RandomDraws(), c.draws);
    ExpectBalanced(Plant);
    EXPECT_EQ(CapturedListExecutions(Ramo), c.segmentRuns);
    EXPECT_EQ(CapturedListExecutions(Foglie), c.pairedLeaves);
    EXPECT_EQ(CapturedListExecutions(Foglia), 1u);
    EXPECT_EQ(Primitives(GL_POINTS), static_cast<int>(c.pairedLeaves) + 1);
    // Stalk material once; leaf material and model in the leaf list and
    // again in the top leaf; all before any draw.
    ASSERT_EQ(Runs().size(), 5u);
    for (const CallbackRun& r : Runs()) EXPECT_EQ(r.draws, 0u);
    EXPECT_EQ(ColourMarks(Ramo, 0.5f), 1);
    EXPECT_EQ(ColourMarks(Foglie, 0), 1);
    EXPECT_EQ(ColourMarks(Foglia, 0), 1);
  }
}

// NumLevel 1, call by call: the segment, the bent frame, the top leaf, and
// the leaf pair after it in the same frame; angles replayed from the draws.
TEST_F(CaneGenerator, CallOrderAndAngles) {
  const std::vector<double> d = FreshDraws(6);
  GLuint Canna = 0;
  CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, 1, 0.2f);
  const std::vector<ExpectedCall> expected = {
      {"glPushMatrix", {}},
      {"glPushAttrib", {GL_LIGHTING_BIT}},
      {"glTranslatef", {0, 0, 0}},
      {"glCallList", {Ramo}},
      {"glPushMatrix", {}},
      {"glRotatef", {Angle(d[1], 180, 0), 0, 1, 0}},
      {"glTranslatef", {0, 0.9f, 0}},
      {"glScalef", {0.9f, 0.95f, 0.9f}},
      {"glPushMatrix", {}},
      {"glRotatef", {Angle(d[4], 15, 5), 0, 0, 1}},
      {"glPushMatrix", {}},
      {"glScalef", {0.9f, 0.95f, 0.9f}},
      {"glTranslatef", {0, 0.4f, 0.03f}},
      {"glRotatef", {Angle(d[5], 180, 0), 0, 1, 0}},
      {"glCallList", {Foglia}},
      {"glPopMatrix", {}},
      {"glCallList", {Chioma}},
      {"glPopMatrix", {}},
      {"glPopMatrix", {}},
      {"glPopAttrib", {}},
      {"glPopMatrix", {}},
  };
  ExpectListCalls(Plant, expected);
}

// The stalk is slim: sphere radius 0.057 / 1.15 at height 0.9, tube radius
// 0.06 / 1.15 at its top.
TEST_F(CaneGenerator, SlimSegment) {
  GLuint Canna = 0;
  CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, 1, 0.2f);
  ExecuteCapturedList(Ramo);
  const auto& prims = CapturedPrimitives();
  const auto& verts = CapturedVertices();
  ASSERT_EQ(prims.size(), 8u + 10u);  // sphere bands, then mesh bands
  for (std::size_t i = prims[0].first; i < prims[7].first + prims[7].count; ++i) {
    const CapturedVertex& v = verts[i];
    EXPECT_NEAR(std::hypot(v.x, v.y - 0.9, v.z), 0.0495652184, 1e-6);
  }
  const CapturedVertex& top = verts[prims[8].first];
  EXPECT_NEAR(top.y, 0.9, 1e-6);
  EXPECT_NEAR(RadiusY(top), 0.0521739125, 1e-6);
}

// The leaf pair sits at heights 0.05 and 0.5 of its segment, half a turn
// apart, tipped 228 degrees; the top leaf 0.5 up, tipped 270.
TEST_F(CaneGenerator, LeafPlacement) {
  GLuint Canna = 0;
  CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, 1, 0.2f);
  EXPECT_EQ(Rotations(Chioma, 1, 0, 0), (std::vector<double>{228, 228}));
  EXPECT_EQ(Rotations(Chioma, 0, 1, 0), (std::vector<double>{0, 180, 180, 180}));
  EXPECT_EQ(Rotations(Foglia, 1, 0, 0), (std::vector<double>{270}));
  ExpectBalanced(Chioma);
  std::vector<double> heights;
  for (const CapturedPrimitive& p : CapturedPrimitives()) {
    if (p.mode != GL_POINTS) continue;
    const CapturedVertex& v = CapturedVertices()[p.first];
    EXPECT_NEAR(RadiusY(v), 0, 1e-6);
    heights.push_back(v.y);
  }
  ASSERT_EQ(heights.size(), 2u);
  EXPECT_NEAR(heights[0], 0.05, 1e-6);
  EXPECT_NEAR(heights[1], 0.5, 1e-6);
  ExpectBalanced(Foglia);
  ASSERT_EQ(Primitives(GL_POINTS), 1);
  EXPECT_NEAR(CapturedVertices().back().y, 0.5, 1e-6);
}

// Three calls with equal arguments: three different canes from one sequence.
TEST_F(CaneGenerator, SuccessiveCanesDiffer) {
  GLuint Canna[3] = {};
  for (GLuint& c : Canna) CaneAdvancedFractal3D(c, LeafPoint, MatWood, MatGreen, 8, 10, 0.2f);
  EXPECT_EQ(RandomDraws(), 3u * 42);
  const auto first = Rotations(Canna[0], 0, 0, 1);
  const auto second = Rotations(Canna[1], 0, 0, 1);
  const auto third = Rotations(Canna[2], 0, 0, 1);
  ASSERT_EQ(first.size(), 10u);
  EXPECT_NE(first, second);
  EXPECT_NE(second, third);
  EXPECT_NE(first, third);
}

}  // namespace
