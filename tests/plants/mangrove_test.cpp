// Mangrove generator: draws, the tree and root lists, the pointed trunk
// and its tap root.
#include "plants/mangrove.h"

#include <gtest/gtest.h>

#include "plant_probe.h"

namespace {

using namespace plantprobe;

class MangroveGenerator : public PlantFixture {};

// Lists in compile order: the tree's four component lists, the tree list,
// the root generator's segment and root lists, the plant list.
constexpr GLuint Ramo = 1, Foglie = 2, Chioma = 3, Fusto = 4, Albero = 5, RadixRamo = 6,
                 Radici = 7, Plant = 8;

TEST_F(MangroveGenerator, DepthFourDrawsAndStructure) {
  GLuint Mangrovia = 0;
  MangroveTypeAdvancedFractal3D(Mangrovia, LeafPoint, MatWood, MatGreen, 12, 4, 0.4f);
  ASSERT_EQ(Mangrovia, Plant);
  // Discarded draw, two recursions of 601, then the roots' 358.
  EXPECT_EQ(RandomDraws(), 1u + 601 + 601 + 358);

  // Callbacks run while the component lists compile: none of the tree's
  // meshes draws, the roots' material runs after the tree's draws.
  ASSERT_EQ(Runs().size(), 5u);
  const char* names[5] = {"MatWood", "MatGreen", "LeafPoint", "MatWood", "MatWood"};
  const std::uint64_t draws[5] = {0, 0, 0, 0, 1203};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Runs()[i].name, names[i]);
    EXPECT_EQ(Runs()[i].draws, draws[i]);
  }
  EXPECT_EQ(ColourMarks(Ramo, 0.5f), 1);
  EXPECT_EQ(ColourMarks(Fusto, 0.5f), 1);
  EXPECT_EQ(ColourMarks(RadixRamo, 0.5f), 1);
  EXPECT_EQ(ColourMarks(Foglie, 0), 1);

  // The tree: trunk once, 39 + 40 segments, 81 + 81 crowns.
  EXPECT_EQ(CallsOf(Albero, Fusto), 1);
  EXPECT_EQ(CallsOf(Albero, Ramo), 79);
  EXPECT_EQ(CallsOf(Albero, Chioma), 162);
  EXPECT_EQ(CallsOf(Radici, RadixRamo), 20);  // roots at depth 3
  EXPECT_EQ(CallsOf(Chioma, Foglie), 8);
  // Height 2 twice: the top of the trunk, and the second branch system's base.
  int twoUp = 0;
  for (const CapturedCall& c : CapturedListCalls(Albero))
    twoUp += (Is(c, "glTranslatef") && c.arg(1) == 2) ? 1 : 0;
  EXPECT_EQ(twoUp, 2);

  ExpectBalanced(Mangrovia);
  EXPECT_EQ(CapturedListExecutions(Chioma), 162u);
  EXPECT_EQ(Primitives(GL_POINTS), 162 * 8);
}

// The plant list: the tree raised 0.35, the roots from 0.7 above that at
// 1.2 times their size.
TEST_F(MangroveGenerator, PlantListPlacesTreeAndRoots) {
  GLuint Mangrovia = 0;
  MangroveTypeAdvancedFractal3D(Mangrovia, LeafPoint, MatWood, MatGreen, 6, 1, 1);
  const std::vector<ExpectedCall> expected = {
      {"glPushMatrix", {}},
      {"glPushAttrib", {GL_LIGHTING_BIT}},
      {"glTranslatef", {0, 0.35f, 0}},
      {"glCallList", {Albero}},
      {"glPushMatrix", {}},
      {"glTranslatef", {0, 0.7f, 0}},
      {"glScalef", {1.2f, 1.2f, 1.2f}},
      {"glCallList", {Radici}},
      {"glPopMatrix", {}},
      {"glPopAttrib", {}},
      {"glPopMatrix", {}},
  };
  ExpectListCalls(Mangrovia, expected);
}

// Depth 0: two crowns and no trunk in the tree list; the roots keep their
// three levels.
TEST_F(MangroveGenerator, DepthZeroKeepsTheRoots) {
  GLuint Mangrovia = 0;
  MangroveTypeAdvancedFractal3D(Mangrovia, LeafPoint, MatWood, MatGreen, 12, 0, 0.4f);
  EXPECT_EQ(RandomDraws(), 1u + 1 + 1 + 358);
  EXPECT_EQ(CallsOf(Albero, Chioma), 2);
  EXPECT_EQ(CallsOf(Albero, Fusto), 0);
  EXPECT_EQ(CallsOf(Albero, Ramo), 0);
  EXPECT_EQ(CallsOf(Radici, RadixRamo), 20);
  ExpectBalanced(Mangrovia);
  EXPECT_EQ(CapturedListExecutions(Fusto), 0u);  // nor the tap root
}

// The trunk bulges near its foot and closes to a point; the tap root hangs
// from 0.25 down to -0.75, widest at its top.
TEST_F(MangroveGenerator, TrunkProfileAndTapRoot) {
  GLuint Mangrovia = 0;
  MangroveTypeAdvancedFractal3D(Mangrovia, LeafPoint, MatWood, MatGreen, 12, 1, 0.4f);
  ExecuteCapturedList(Fusto);
  const auto& prims = CapturedPrimitives();
  const auto& verts = CapturedVertices();
  ASSERT_EQ(prims.size(), 20u);  // ten trunk bands, ten tap-root bands
  // Radius at the band edges from height 2 down to the foot.
  const double radius[11] = {0.06, 0.06, 0.065, 0.07, 0.075, 0.08, 0.11, 0.16, 0.21, 0.16, 0};
  for (std::size_t band = 0; band < 10; ++band) {
    SCOPED_TRACE(band);
    ASSERT_EQ(prims[band].count, 26u);
    for (std::size_t v = 0; v < 26; ++v) {
      const CapturedVertex& p = verts[prims[band].first + v];
      const std::size_t edge = band + v % 2;  // even: top edge, odd: bottom edge
      EXPECT_NEAR(p.y, 2 - 0.2 * static_cast<double>(edge), 1e-5);
      EXPECT_NEAR(RadiusY(p), radius[edge], 1e-5);
    }
  }
  const CapturedPrimitive& top = prims[10];
  const CapturedPrimitive& base = prims[19];
  for (std::size_t v = 0; v < 26; v += 2) {
    EXPECT_NEAR(verts[top.first + v].y, -0.75, 1e-5);
    EXPECT_NEAR(RadiusY(verts[top.first + v]), 0.06, 1e-5);
    EXPECT_NEAR(verts[base.first + v + 1].y, 0.25, 1e-5);
    EXPECT_NEAR(RadiusY(verts[base.first + v + 1]), 0.078, 1e-5);
  }

  // In the plant list the foot is a single point 0.35 above the origin.
  ExecuteCapturedList(Mangrovia);
  const CapturedPrimitive& foot = CapturedPrimitives()[9];
  for (std::size_t v = 1; v < foot.count; v += 2) {
    const CapturedVertex& p = CapturedVertices()[foot.first + v];
    EXPECT_NEAR(p.x, 0, 1e-6);
    EXPECT_NEAR(p.y, 0.35, 1e-6);
    EXPECT_NEAR(p.z, 0, 1e-6);
  }
}

}  // namespace
