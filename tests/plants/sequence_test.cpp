// The shared random sequence across generator calls: fresh runs repeat
// exactly, and the order of the calls decides which plant gets which draws.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "plant_probe.h"
#include "plants/cane.h"
#include "plants/grass.h"
#include "plants/mangrove.h"
#include "plants/palm.h"
#include "plants/yucca.h"

namespace {

using namespace plantprobe;

struct LoggedCall {
  std::string name;
  decltype(CapturedCall::args) args;
  int argCount;
  GLuint list;
  bool operator==(const LoggedCall&) const = default;
};

// Builds these generators' plants in a fixed order from a fresh start and
// returns everything they issued.
std::vector<LoggedCall> BuildFromFreshStart() {
  ResetRandom();
  InstallGLCapture();
  GLuint Palma = 0, Dracena = 0, Mangrovia = 0, Erba = 0, Canna[3] = {};
  PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, 4, 0.2f);
  YuccaTypeAdvancedFractal3D(Dracena, LeafPoint, MatWood, MatGreen, 12, 4, 0.4f);
  MangroveTypeAdvancedFractal3D(Mangrovia, LeafPoint, MatWood, MatGreen, 12, 4, 0.4f);
  GrassAdvancedFractal3D(Erba, MatWood, MatGreen, MatWood, 6, 1, 2);
  for (GLuint& c : Canna) CaneAdvancedFractal3D(c, LeafPoint, MatWood, MatGreen, 8, 10, 0.2f);
  std::vector<LoggedCall> out;
  for (const CapturedCall& c : CaptureLog()) out.push_back({c.name, c.args, c.argCount, c.list});
  return out;
}

class GeneratorSequence : public PlantFixture {};

TEST_F(GeneratorSequence, FreshRunsRepeatExactly) {
  const auto first = BuildFromFreshStart();
  const auto second = BuildFromFreshStart();
  ASSERT_FALSE(first.empty());
  EXPECT_TRUE(first == second);
}

// A palm and a cane built in either order: each gets other draws when the
// other comes first, so both change shape.
TEST_F(GeneratorSequence, SwappingCallsChangesThePlants) {
  GLuint Palma = 0, Canna = 0;
  PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, 4, 0.2f);
  CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, 10, 0.2f);
  const auto palmFirst = Rotations(Palma, 0, 0, 1);
  const auto caneSecond = Rotations(Canna, 0, 0, 1);

  ResetRandom();
  InstallGLCapture();
  CaneAdvancedFractal3D(Canna, LeafPoint, MatWood, MatGreen, 8, 10, 0.2f);
  PalmAdvancedFractal3D(Palma, LeafPoint, MatWood, MatGreen, 12, 4, 0.2f);
  ASSERT_EQ(Rotations(Palma, 0, 0, 1).size(), palmFirst.size());
  EXPECT_NE(Rotations(Palma, 0, 0, 1), palmFirst);
  EXPECT_NE(Rotations(Canna, 0, 0, 1), caneSecond);
}

}  // namespace
