// The two tools as a person runs them: bad options fail with one clear line
// on stderr and leave no file behind; good runs write exactly their files.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

using exporttest::RunTool;
using exporttest::ScratchDir;
using exporttest::ToolPath;

struct BadRun {
  std::string args;      // "{dir}" stands for the scratch folder
  std::string message;   // expected in the one line on stderr
};

std::string Expand(std::string s, const std::string& dir) {
  for (std::size_t at; (at = s.find("{dir}")) != std::string::npos;) s.replace(at, 5, dir);
  return s;
}

void ExpectCleanFailures(const char* tool, const std::vector<BadRun>& cases, const std::string& env = "") {
  ScratchDir dir(std::string(tool) + "-bad");
  std::filesystem::create_directory(dir / "folder.glb");
  std::filesystem::create_directory(dir / "folder.png");
  const std::set<std::string> before = dir.Files();
  for (const BadRun& c : cases) {
    const std::string args = Expand(c.args, dir.path.string());
    SCOPED_TRACE(args);
    const auto r = RunTool(env + ToolPath(tool) + " " + args, dir.path.string() + ".stderr.txt");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err.rfind(std::string(tool) + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(Expand(c.message, dir.path.string())), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(dir.Files(), before) << "files left behind";
  }
}

TEST(ExportTools, ExportRejectsBadOptionsAndWritesNothing) {
  ExpectCleanFailures("garden_export", {
      {"--plant Quercia {dir}/a.glb", "unknown plant 'Quercia' (one of Cespuglio, Fico,"},
      {"--seed abc {dir}/a.glb", "--seed: 'abc' is not a whole number"},
      {"--seed 4294967296 {dir}/a.glb", "--seed: '4294967296' is not a whole number"},
      {"--seed=1.5 {dir}/a.glb", "--seed: '1.5' is not a whole number"},
      {"--plant Fico --levels x {dir}/a.glb", "--levels: 'x' is not a whole number"},
      {"--plant Fico --levels 99 {dir}/a.glb", "--levels for Fico must be 0..7"},
      {"--plant Erba --levels 2 {dir}/a.glb", "Erba has no levels"},
      {"--quality 5 {dir}/a.glb", "--quality and --levels need --plant"},
      {"--frobnicate {dir}/a.glb", "unknown option '--frobnicate'"},
      {"{dir}/a.glb --seed", "--seed needs a value"},
      {"{dir}/a.stl", "must end in .gltf, .glb or .obj"},
      {"{dir}/a.glb {dir}/b.glb", "more than one output path"},
      {"", "no output path"},
      {"--textures {dir}/nowhere {dir}/a.glb", "texture folder '{dir}/nowhere' not found"},
      {"--textures {dir} {dir}/a.glb", "texture"},
      {"{dir}/missing/a.glb", "cannot write '{dir}/missing/a.glb'"},
      {"{dir}/missing/a.obj", "cannot write '{dir}/missing/a.obj'"},
      {"{dir}/folder.glb", "cannot write '{dir}/folder.glb': it is a folder"},
  });
}

TEST(ExportTools, SnapshotRejectsBadOptionsAndWritesNothing) {
  ExpectCleanFailures("garden_snapshot", {
      {"--size 0x600 {dir}/a.png", "--size: '0x600' is not WIDTHxHEIGHT"},
      {"--size 800 {dir}/a.png", "--size: '800' is not WIDTHxHEIGHT"},
      {"--size 9000x600 {dir}/a.png", "--size: '9000x600' is not WIDTHxHEIGHT (1..8192 each)"},
      {"--xrot ten {dir}/a.png", "--xrot: 'ten' is not a number"},
      {"--YRot=nan {dir}/a.png", "--yrot: 'nan' is not a number"},
      {"--depth 1e99 {dir}/a.png", "--depth: '1e99' is not a number"},
      {"--seed x {dir}/a.png", "--seed: 'x' is not a whole number"},
      {"--zoom 2 {dir}/a.png", "unknown option '--zoom'"},
      {"{dir}/a.jpg", "must end in .png"},
      {"{dir}/missing/a.png", "cannot write '{dir}/missing/a.png'"},
      {"{dir}/folder.png", "it is a folder"},
  });
}

TEST(ExportTools, ExportWritesExactlyItsFiles) {
  ScratchDir dir("export-good");
  struct Case {
    std::string args;
    std::set<std::string> files;
  };
  std::set<std::string> objFiles = {"garden.obj", "garden.mtl"};
  for (const char* t : {"bmp0", "bmp1", "bmp2", "bmp3", "bmp4", "bmp5", "tga0", "tga1", "tga2", "tga3", "tga4", "tga5",
                        "tga6", "tga7", "tga8"}) {
    objFiles.insert(std::string("garden_") + t + ".png");
  }
  const std::vector<Case> cases = {
      {"{dir}/garden.glb", {"garden.glb"}},
      {"--plant Canna[1] --levels 3 --seed 5 {dir}/cane.gltf", {"cane.gltf"}},
      {"{dir}/garden.obj", objFiles},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::filesystem::remove_all(dir.path);
    std::filesystem::create_directories(dir.path);
    const auto r = RunTool(ToolPath("garden_export") + " " + Expand(c.args, dir.path.string()),
                       dir.path.string() + ".stderr.txt");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(dir.Files(), c.files);
  }
}

TEST(ExportTools, AFailedExportLeavesTheOldFileAsItWas) {
  ScratchDir dir("export-keep");
  const std::string path = dir / "garden.glb";
  ASSERT_TRUE(WriteBytes(path, {'o', 'l', 'd'}));
  const auto r = RunTool(ToolPath("garden_export") + " --textures " + (dir / "nowhere") + " " + path,
                     dir.path.string() + ".stderr.txt");
  EXPECT_NE(r.exitCode, 0);
  EXPECT_EQ(exporttest::ReadText(path), "old");
  EXPECT_EQ(dir.Files(), (std::set<std::string>{"garden.glb"}));
}

}  // namespace
