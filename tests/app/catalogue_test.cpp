// The catalogue: texture table, materials, crowns, the order of the
// generator calls, and the report tool built on it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/frame.h"
#include "platform/headless.h"
#include "plants/labels.h"
#include "render/glcapture.h"
#include "render/random.h"
#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRunDir = fs::path(GARDEN_BINARY_DIR) / "run";

const std::array<const char*, 15> kTextureFiles = {
    "gras.bmp",    "corteccia01.bmp", "corteccia02.bmp", "corteccia00.bmp", "corteccia03.bmp",
    "FustoVerde00.bmp", "fico01.tga", "foglie00.tga",  "palma01.tga",   "pino.tga",
    "banano.tga",  "erba01.tga",      "erba00.tga",      "erba02.tga",      "graminacea00b.tga"};

// Runs each test in a scratch folder holding copies of the texture files
// (all, or all but the ones named), with a fresh capture and random stream.
class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    UseHeadlessPlatform(800, 600);
    InstallGLCapture();
    ResetRandom();
    ResetBMPTextureSlots();
    ResetTGATextureSlots();
    ClearListLabels();
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("garden-catalogue-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
    ResetPlatform();
  }
  void CopyTextures(const std::set<std::string>& except = {}) {
    for (const char* f : kTextureFiles)
      if (!except.count(f)) fs::copy_file(kRunDir / f, dir_ / f, fs::copy_options::overwrite_existing);
  }

  // Textures bound by the leaf primitives (two-sided, alpha-tested) of a list.
  static std::set<GLuint> LeafTextures(GLuint list) {
    ExecuteCapturedList(list);
    std::set<GLuint> names;
    for (const CapturedPrimitive& p : CapturedPrimitives())
      if (p.alphaTest) names.insert(p.texture);
    return names;
  }

  fs::path old_, dir_;
};

// Everything a plant list emits, for comparing two builds.
std::vector<float> Geometry(GLuint list) {
  ExecuteCapturedList(list);
  std::vector<float> out;
  for (const CapturedVertex& v : CapturedVertices()) out.insert(out.end(), {v.x, v.y, v.z, v.s, v.t});
  return out;
}

TEST_F(Catalogue, LoadsTheTextureTableInOrder) {
  CopyTextures();
  OpenGL_Texture();
  // The fifteen uploads come in table order: BMP slots 0..5, then TGA 0..8.
  std::vector<std::pair<int, int>> sizes;
  for (const CapturedCall& c : CaptureLog())
    if (std::string(c.name) == "glTexImage2D") sizes.push_back({int(c.arg(3)), int(c.arg(4))});
  ASSERT_EQ(sizes.size(), 15u);
  EXPECT_TRUE(HeadlessMessageBoxLog().empty()) << "the generated texture set loads without a message";
  // Every slot binds its own texture.
  std::set<GLuint> bound;
  for (int slot = 0; slot <= 5; ++slot) {
    TextureSelectID(slot);
    bound.insert(CapturedBoundTexture());
  }
  for (int slot = 0; slot <= 8; ++slot) {
    TextureTGASelectID(slot);
    bound.insert(CapturedBoundTexture());
  }
  EXPECT_EQ(bound.size(), 15u);
  EXPECT_EQ(bound.count(0), 0u);
}

TEST_F(Catalogue, MaterialsBindTheirSlots) {
  CopyTextures();
  OpenGL_Texture();
  struct Case {
    void (*mat)();
    bool tga;
    int slot;
  };
  const Case cases[] = {
      {MatFico, false, 1},        {MatFoglieFico, true, 0},     {MatCespuglio, false, 2},
      {MatFoglieCespuglio, true, 1}, {MatPalma1, false, 4},    {MatFogliePalma1, true, 2},
      {MatPino, false, 2},        {MatFogliePino, true, 3},     {MatDracena, false, 3},
      {MatFoglieDracena, true, 4}, {MatMangrovia, false, 2},   {MatFoglieMangrovia, true, 4},
      {MatErba1, true, 5},        {MatErba2, true, 6},          {MatErba3, true, 7},
      {MatCanna, false, 5},       {MatFoglieCanna, true, 8},
  };
  for (const Case& c : cases) {
    if (c.tga)
      TextureTGASelectID(c.slot);
    else
      TextureSelectID(c.slot);
    const GLuint expected = CapturedBoundTexture();
    glBindTexture(GL_TEXTURE_2D, 0);
    c.mat();
    EXPECT_EQ(CapturedBoundTexture(), expected) << (c.tga ? "TGA slot " : "BMP slot ") << c.slot;
  }
}

TEST_F(Catalogue, FlatCrownsPlaceTheirQuad) {
  // The pine's quad stays at the origin; the mangrove's is raised by 0.25 and
  // turned half a turn about y; the cane's leaf is 8 long.
  struct Case {
    void (*crown)();
    std::array<float, 6> bbox;  // min x, y, z, max x, y, z
  };
  const Case cases[] = {
      {ChiomaPino, {-0.35f, 0, -0.7f, 0.35f, 0, 0.35f}},
      {ChiomaMangrovia, {-0.35f, 0.25f, -0.35f, 0.35f, 0.25f, 0.7f}},
      {ChiomaCanna, {-0.5f, 0.25f, 0, 0.5f, 0.25f, 8}},
  };
  for (const Case& c : cases) {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    c.crown();
    glEndList();
    ExecuteCapturedList(list);
    ASSERT_EQ(CapturedVertices().size(), 4u);
    std::array<float, 6> box{1e9f, 1e9f, 1e9f, -1e9f, -1e9f, -1e9f};
    for (const CapturedVertex& v : CapturedVertices()) {
      const float p[3] = {v.x, v.y, v.z};
      for (int i = 0; i < 3; ++i) {
        box[i] = std::min(box[i], p[i]);
        box[i + 3] = std::max(box[i + 3], p[i]);
      }
    }
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(box[i], c.bbox[i], 1e-5) << i;
    EXPECT_EQ(CapturedStackDepth(GL_MODELVIEW), 1) << "every crown restores the matrix";
  }
}

TEST_F(Catalogue, BuildsEveryPlantInOrderAndTwoRunsAgree) {
  CopyTextures();
  OpenGL_CreateList();
  const std::vector<std::string> order = {"Cespuglio", "Fico", "Palma1", "Pino", "Dracena",
                                          "Mangrovia", "Erba", "Canna[0]", "Canna[1]", "Canna[2]"};
  std::vector<std::vector<float>> first;
  for (std::size_t i = 0; i < GardenPlants.size(); ++i) {
    EXPECT_EQ(GardenPlants[i].list, order[i]);
    ASSERT_NE(*GardenPlants[i].id, 0u) << order[i];
    first.push_back(Geometry(*GardenPlants[i].id));
    EXPECT_FALSE(first.back().empty()) << order[i];
  }
  EXPECT_NE(first[7], first[8]) << "identical cane calls give different canes";
  EXPECT_NE(first[8], first[9]);

  // A second build from a fresh start gives the same garden.
  InstallGLCapture();
  ResetRandom();
  ResetBMPTextureSlots();
  ResetTGATextureSlots();
  OpenGL_CreateList();
  for (std::size_t i = 0; i < GardenPlants.size(); ++i)
    EXPECT_EQ(Geometry(*GardenPlants[i].id), first[i]) << order[i];
}

TEST_F(Catalogue, MissingBananaLeafLeavesDracenaAndMangroveUntextured) {
  CopyTextures({"banano.tga"});
  OpenGL_CreateList();
  EXPECT_TRUE(HeadlessMessageBoxLog().empty()) << "a missing TGA file shows no message";
  EXPECT_EQ(LeafTextures(Dracena), std::set<GLuint>{0});
  EXPECT_EQ(LeafTextures(Mangrovia), std::set<GLuint>{0});
  const std::set<GLuint> fig = LeafTextures(Fico);
  ASSERT_EQ(fig.size(), 1u);
  EXPECT_NE(*fig.begin(), 0u) << "other plants keep their leaves";
}

// The report tool prints the same garden the demo builds.
TEST(GardenReport, ReportsEveryCallWithItsDraws) {
  const std::string tool = std::string(GARDEN_BINARY_DIR) + "/tools/garden_report";
  FILE* pipe = popen((tool + " --pretty").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, pipe)) out.append(buf, n);
  ASSERT_EQ(pclose(pipe), 0);

  // Lists in catalogue order, each with its draws and the running counter.
  std::vector<std::string> lists;
  std::vector<long> draws, after;
  std::size_t pos = 0;
  while ((pos = out.find("\"list\": \"", pos)) != std::string::npos) {
    pos += 9;
    lists.push_back(out.substr(pos, out.find('"', pos) - pos));
    const std::size_t d = out.find("\"draws\": ", pos) + 9;
    draws.push_back(std::stol(out.substr(d)));
    const std::size_t a = out.find("\"draws_after\": ", pos) + 15;
    after.push_back(std::stol(out.substr(a)));
  }
  const std::vector<std::string> order = {"Cespuglio", "Fico", "Palma1", "Pino", "Dracena",
                                          "Mangrovia", "Erba", "Canna[0]", "Canna[1]", "Canna[2]"};
  EXPECT_EQ(lists, order);
  ASSERT_EQ(draws.size(), 10u);
  EXPECT_EQ(draws[0], 602) << "bush, quality 12, four levels";
  EXPECT_EQ(draws[1], 1463) << "fig tree, quality 12, four levels";
  EXPECT_EQ(draws[2], 18) << "palm: 4N + 2";
  EXPECT_EQ(draws[7], 42) << "cane: 4N + 2";
  long sum = 0;
  for (std::size_t i = 0; i < draws.size(); ++i) {
    sum += draws[i];
    EXPECT_EQ(after[i], sum) << lists[i];
  }
  EXPECT_NE(out.find("\"Radix.Ramo\""), std::string::npos);
  EXPECT_NE(out.find("\"frame\""), std::string::npos);
}

}  // namespace
