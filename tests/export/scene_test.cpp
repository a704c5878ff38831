// The garden as meshes: what the export holds against what the GL capture
// emits when the frame draws the garden the demo builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/frame.h"
#include "export/demo_setup.h"
#include "export/folders.h"
#include "export/scene.h"
#include "platform/headless.h"
#include "render/glcapture.h"
#include "render/random.h"
#include "garden_fixture.h"
#include "test_files.h"
#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"

namespace {

using exporttest::RunFolder;

struct Box {
  std::array<double, 3> lo{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::infinity()};
  std::array<double, 3> hi{-lo[0], -lo[1], -lo[2]};
  void Add(double x, double y, double z) {
    const double c[3] = {x, y, z};
    for (std::size_t i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], c[i]);
      hi[i] = std::max(hi[i], c[i]);
    }
  }
};

struct Emitted {
  std::uint64_t vertices = 0;
  std::uint64_t triangles = 0;
  Box box;
};

void ExpectSameBox(const Box& a, const Box& b) {
  for (std::size_t i = 0; i < 3; ++i) {
    const double tol = 1e-4 * std::max(1.0, b.hi[i] - b.lo[i]);
    EXPECT_NEAR(a.lo[i], b.lo[i], tol) << "axis " << i;
    EXPECT_NEAR(a.hi[i], b.hi[i], tol) << "axis " << i;
  }
}

// What one exported plant holds, placed in the garden.
Emitted Exported(const PlantMesh& plant) {
  Emitted e;
  for (const MeshPart& part : plant.parts) {
    e.vertices += part.positions.size();
    e.triangles += part.indices.size() / 3;
    for (const auto& p : part.positions) {
      e.box.Add(double(p[0]) * plant.scale + plant.translation[0], double(p[1]) * plant.scale + plant.translation[1],
                double(p[2]) * plant.scale + plant.translation[2]);
    }
  }
  return e;
}

// The garden built the way the demo builds it (the random stream never
// seeded by hand), recorded by the capture.
void BuildDemoGarden() {
  UseHeadlessPlatform(800, 600);
  InstallGLCapture();
  SetCaptureLogging(false);
  SetCaptureGeometry(false);
  SetUpGardenGL(800, 600);
  ResetBMPTextureSlots();
  ResetTGATextureSlots();
  ResetRandom();
  ASSERT_EQ(InFolder(RunFolder(), OpenGL_CreateList), "");
  SetCaptureGeometry(true);
}

// Draws the frame's garden with only `keep` built, and measures what it
// emits after the ground's primitives.
Emitted FrameOfOnePlant(const GardenPlant& keep) {
  std::vector<GLuint> saved;
  for (const GardenPlant& p : GardenPlants) saved.push_back(*p.id);
  for (const GardenPlant& p : GardenPlants) *p.id = 0;
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  ClearCapturedGeometry();
  DrawGarden();
  const std::size_t ground = CapturedPrimitives().size();

  *keep.id = saved[static_cast<std::size_t>(&keep - GardenPlants.data())];
  glLoadIdentity();
  ClearCapturedGeometry();
  DrawGarden();
  Emitted e;
  const auto& prims = CapturedPrimitives();
  for (std::size_t i = ground; i < prims.size(); ++i) {
    const std::uint64_t t = TrianglesFor(prims[i].mode, prims[i].count);
    if (t == 0) continue;
    e.triangles += t;
    e.vertices += prims[i].count;
    for (std::size_t v = prims[i].first; v < prims[i].first + prims[i].count; ++v) {
      const CapturedVertex& cv = CapturedVertices()[v];
      e.box.Add(cv.x, cv.y, cv.z);
    }
  }
  for (std::size_t i = 0; i < saved.size(); ++i) *GardenPlants[i].id = saved[i];
  return e;
}

GardenScene Scene(const SceneRequest& request) { return exporttest::BuildScene(request); }

using exporttest::DefaultGarden;

TEST(ExportScene, PlantsMatchWhatTheFrameDrawsOfTheDemosGarden) {
  const GardenScene& scene = DefaultGarden();
  ASSERT_EQ(scene.plants.size(), GardenPlants.size() + 1);
  BuildDemoGarden();
  for (std::size_t i = 0; i < GardenPlants.size(); ++i) {
    SCOPED_TRACE(GardenPlants[i].list);
    EXPECT_EQ(scene.plants[i].name, GardenPlants[i].list);
    const Emitted frame = FrameOfOnePlant(GardenPlants[i]);
    const Emitted exported = Exported(scene.plants[i]);
    ASSERT_GT(frame.triangles, 0u);
    EXPECT_EQ(exported.triangles, frame.triangles);
    EXPECT_EQ(exported.vertices, frame.vertices);
    ExpectSameBox(exported.box, frame.box);
  }
  // The last node is the ground square the frame draws under the plants.
  const PlantMesh& ground = scene.plants.back();
  EXPECT_EQ(ground.name, kGroundNode);
  const Emitted exported = Exported(ground);
  EXPECT_EQ(exported.triangles, 2u);
  Box square;
  square.Add(-7, 0, -7);
  square.Add(7, 0, 7);
  ExpectSameBox(exported.box, square);
}

std::vector<float> AllPositions(const GardenScene& scene) {
  std::vector<float> out;
  for (const PlantMesh& p : scene.plants) {
    for (const MeshPart& part : p.parts) {
      for (const auto& v : part.positions) out.insert(out.end(), v.begin(), v.end());
    }
  }
  return out;
}

TEST(ExportScene, SeedGrowsAnotherGardenAndTheSameOneAgain) {
  SceneRequest seeded;
  seeded.seed = 7;
  const GardenScene a = Scene(seeded);
  const GardenScene b = Scene(seeded);
  EXPECT_EQ(AllPositions(a), AllPositions(b));
  EXPECT_NE(AllPositions(a), AllPositions(DefaultGarden()));
  // Every plant that draws random numbers is different, not just the first.
  ASSERT_EQ(a.plants.size(), DefaultGarden().plants.size());
  int differing = 0;
  for (std::size_t i = 0; i < a.plants.size(); ++i) {
    GardenScene one, other;
    one.plants = {a.plants[i]};
    other.plants = {DefaultGarden().plants[i]};
    if (AllPositions(one) != AllPositions(other)) ++differing;
  }
  EXPECT_GE(differing, 9);
}

TEST(ExportScene, OnePlantIsTheGardensPlantAtTheOrigin) {
  for (const char* name : {"Cespuglio", "Mangrovia", "Canna[2]"}) {
    SCOPED_TRACE(name);
    SceneRequest r;
    r.plant = name;
    const GardenScene one = Scene(r);
    ASSERT_EQ(one.plants.size(), 1u);
    EXPECT_EQ(one.plants[0].translation, (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(one.plants[0].scale, 1.0f);
    const auto& whole = *std::find_if(DefaultGarden().plants.begin(), DefaultGarden().plants.end(),
                                      [&](const PlantMesh& p) { return p.name == name; });
    GardenScene a, b;
    a.plants = {one.plants[0]};
    b.plants = {whole};
    EXPECT_EQ(AllPositions(a), AllPositions(b));
  }
}

TEST(ExportScene, QualityAndLevelsRebuildOnePlant) {
  struct Case {
    const char* plant;
    std::int32_t quality, levels;  // 0: leave as the catalogue has it
    int compare;                   // -1 fewer triangles than the garden's plant, 0 same plant
  };
  const std::vector<Case> cases = {
      {"Fico", 12, 4, 0},  {"Cespuglio", 12, 4, 0}, {"Palma1", 12, 4, 0},   {"Pino", 12, 4, 0},
      {"Dracena", 12, 4, 0}, {"Mangrovia", 12, 4, 0}, {"Erba", 6, 0, 0},     {"Canna[1]", 8, 10, 0},
      {"Fico", 0, 2, -1},  {"Canna[0]", 0, 3, -1},  {"Cespuglio", 5, 0, -1}, {"Erba", 3, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.plant) + " quality " + std::to_string(c.quality) + " levels " + std::to_string(c.levels));
    SceneRequest r;
    r.plant = c.plant;
    if (c.quality) r.quality = c.quality;
    if (c.levels) r.levels = c.levels;
    const GardenScene one = Scene(r);
    ASSERT_EQ(one.plants.size(), 1u);
    const auto& whole = *std::find_if(DefaultGarden().plants.begin(), DefaultGarden().plants.end(),
                                      [&](const PlantMesh& p) { return p.name == c.plant; });
    GardenScene a, b;
    a.plants = {one.plants[0]};
    b.plants = {whole};
    if (c.compare == 0) {
      EXPECT_EQ(AllPositions(a), AllPositions(b));
    } else {
      EXPECT_LT(SceneTriangleCount(a), SceneTriangleCount(b));
      EXPECT_GT(SceneTriangleCount(a), 0u);
    }
  }
}

TEST(ExportScene, RequestsAreCheckedBeforeAnythingIsBuilt) {
  struct Case {
    const char* plant;
    std::optional<std::int32_t> quality, levels;
    const char* error;  // expected start of the message; "" = accepted
  };
  const std::vector<Case> cases = {
      {"", {}, {}, ""},
      {"Canna[0]", 1, 40, ""},
      {"Fico", 64, 0, ""},
      {"", 5, {}, "--quality and --levels need --plant"},
      {"", {}, 2, "--quality and --levels need --plant"},
      {"Quercia", {}, {}, "unknown plant 'Quercia' (one of Cespuglio, Fico, Palma1, Pino, Dracena, Mangrovia, Erba, Canna[0], Canna[1], Canna[2])"},
      {"fico", {}, {}, "unknown plant 'fico'"},
      {"Canna[3]", {}, {}, "unknown plant 'Canna[3]'"},
      {"Erba", {}, 2, "Erba has no levels"},
      {"Fico", 0, {}, "--quality must be 1..64"},
      {"Fico", 65, {}, "--quality must be 1..64"},
      {"Fico", {}, -1, "--levels for Fico must be 0..7"},
      {"Cespuglio", {}, 8, "--levels for Cespuglio must be 0..7"},
      {"Palma1", {}, 41, "--levels for Palma1 must be 0..40"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plant);
    SceneRequest r;
    r.plant = c.plant;
    r.quality = c.quality;
    r.levels = c.levels;
    const std::string error = CheckSceneRequest(r);
    if (*c.error == 0) {
      EXPECT_EQ(error, "");
    } else {
      EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
  }
}

TEST(ExportScene, MissingTexturesAreAnErrorNotAWhiteGarden) {
  exporttest::ScratchDir empty("no-textures");
  struct Case {
    std::string dir;
    const char* contains;
  };
  const std::vector<Case> cases = {
      {empty.path.string(), "texture"},
      {empty / "absent", "not found"},
  };
  for (const Case& c : cases) {
    SceneRequest r;
    r.textureDir = c.dir;
    GardenScene scene;
    const std::string error = BuildGardenScene(r, scene);
    EXPECT_NE(error.find(c.contains), std::string::npos) << error;
  }
}

TEST(ExportScene, MaterialsFollowTheStateGLDrewWith) {
  const GardenScene& scene = DefaultGarden();
  for (const PlantMesh& plant : scene.plants) {
    SCOPED_TRACE(plant.name);
    if (plant.name == kGroundNode) {
      // The ground is one textured square, lit on both sides, not cut out.
      ASSERT_EQ(plant.parts.size(), 1u);
      EXPECT_FALSE(plant.parts[0].material.alphaTest);
      EXPECT_TRUE(plant.parts[0].material.twoSide);
      continue;
    }
    bool cutout = false, bark = false;
    for (const MeshPart& part : plant.parts) {
      const SceneMaterial& m = part.material;
      EXPECT_NE(m.texture, 0u);
      if (m.alphaTest) {
        cutout = true;
        EXPECT_EQ(m.alphaCutoff, 0.4f);
        EXPECT_TRUE(m.twoSide);  // leaves and grass are lit on both sides
      } else {
        bark = true;
        EXPECT_FALSE(m.twoSide);
      }
      for (const auto& n : part.normals) {
        EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0f, 1e-5f);
      }
    }
    EXPECT_TRUE(cutout);
    EXPECT_EQ(bark, plant.name != "Erba");  // grass is all cut-out tufts
  }
  // Cut-out textures carry the alpha that cuts them.
  for (const SceneTexture& t : scene.textures) {
    SCOPED_TRACE(t.label);
    EXPECT_GT(t.image.width, 0);
    EXPECT_EQ(t.hasAlpha, t.label.rfind("tga", 0) == 0);
  }
}

// One primitive of each kind laid out so that GL sees every triangle
// counter-clockwise from +z: the export keeps that orientation.
TEST(ExportScene, TrianglesKeepGLsFrontFaceForEveryKindOfPrimitive) {
  struct Case {
    const char* what;
    GLenum mode;
    std::vector<std::array<float, 2>> xy;
    std::size_t triangles;
  };
  const std::vector<Case> cases = {
      {"triangles", GL_TRIANGLES, {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {3, 0}, {2, 1}, {9, 9}}, 2},
      {"strip", GL_TRIANGLE_STRIP, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}}, 4},
      {"fan", GL_TRIANGLE_FAN, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}}, 3},
      {"polygon", GL_POLYGON, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 2},
      {"quads", GL_QUADS, {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {3, 0}, {3, 1}, {2, 1}, {7, 7}}, 4},
      {"quad strip", GL_QUAD_STRIP, {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2}, {5, 5}}, 4},
      {"short strip", GL_TRIANGLE_STRIP, {{0, 0}, {1, 0}}, 0},
      {"lines", GL_LINES, {{0, 0}, {1, 0}}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstallGLCapture();
    glBegin(c.mode);
    for (const auto& p : c.xy) glVertex3f(p[0], p[1], 0);
    glEnd();
    PlantMesh mesh;
    AppendCapturedTriangles(mesh, 0, CapturedPrimitives().size());
    std::size_t triangles = 0;
    for (const MeshPart& part : mesh.parts) {
      ASSERT_EQ(part.indices.size() % 3, 0u);
      for (std::size_t i = 0; i < part.indices.size(); i += 3) {
        const auto& a = part.positions.at(part.indices[i]);
        const auto& b = part.positions.at(part.indices[i + 1]);
        const auto& d = part.positions.at(part.indices[i + 2]);
        const float z = (b[0] - a[0]) * (d[1] - a[1]) - (b[1] - a[1]) * (d[0] - a[0]);
        EXPECT_GT(z, 0) << "triangle " << i / 3;
        ++triangles;
      }
    }
    EXPECT_EQ(triangles, c.triangles);
    EXPECT_EQ(triangles, TrianglesFor(c.mode, c.xy.size()));
  }
}

}  // namespace
