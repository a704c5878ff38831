// The whole garden drawn by the demo's own frame loop on Mesa's software
// rasteriser at 800 x 600, read back and checked against where the frame's
// matrices put things: the sky, the ground, each plant at its place, the
// cut-out leaves, and how left and right drags move the picture. Every
// picture is also written under build/pictures/ for a person to look at.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "platform/headless.h"
#include "tests/support/mesa_run.h"
#include "window/glwindow.h"

// LeakSanitizer's hook: no leak report for a process that loaded Mesa.
extern "C" int __lsan_is_turned_off() { return pictures::MesaWasUsed() ? 1 : 0; }

namespace pictures {
namespace {

// Where the frame places each plant (x, z on the ground), in its order.
struct Plant {
  const char* name;
  GLuint* list;
  double x, z;
  bool crown;  // has a crown of cut-out leaves
};
const std::array<Plant, 10> kPlants = {{
    {"bush", &Cespuglio, -2, 5, true},
    {"fig", &Fico, 0, 1, true},
    {"palm", &Palma1, 5, 1, true},
    {"pine", &Pino, -5, -5, true},
    {"dracaena", &Dracena, 2, -5, true},
    {"mangrove", &Mangrovia, -5, 2, true},
    {"cane1", &Canna[0], 5, 5, false},
    {"cane2", &Canna[1], 3.5, 4, false},
    {"cane3", &Canna[2], 6, 3, false},
    {"grass", &Erba, 0, 0, false},
}};

// One camera state: the whole garden, the ground alone, and each plant
// alone on the ground (the other lists set to 0 for one frame).
struct View {
  Frame full, ground;
  std::array<Frame, 10> alone;
};

struct Session {
  int exitCode = -1;
  View start, left, right;
};

std::array<GLuint, 10> g_saved{};

void ShowOnly(std::optional<std::size_t> keep) {
  for (std::size_t i = 0; i < kPlants.size(); ++i) *kPlants[i].list = keep == i ? g_saved[i] : 0;
}

void Drag(MouseButton button, int x0, int y0, int x1, int y1) {
  HeadlessMouseButtonClient(hWindow, button, true, x0, y0);
  HeadlessMouseMoveClient(hWindow, x1, y1);
  HeadlessMouseButtonClient(hWindow, button, false, x1, y1);
}

// The script: each entry runs after one swap.
Session RunScript() {
  Session run;
  std::vector<std::function<void()>> script;
  auto view = [&script](View& v) {
    script.push_back([&v] {
      v.full = ReadFrame();
      for (std::size_t i = 0; i < kPlants.size(); ++i) g_saved[i] = *kPlants[i].list;
      ShowOnly(std::nullopt);
    });
    script.push_back([&v] {
      v.ground = ReadFrame();
      ShowOnly(0);
    });
    for (std::size_t i = 0; i < kPlants.size(); ++i)
      script.push_back([&v, i] {
        v.alone[i] = ReadFrame();
        if (i + 1 < kPlants.size())
          ShowOnly(i + 1);
        else
          for (std::size_t k = 0; k < kPlants.size(); ++k) *kPlants[k].list = g_saved[k];
      });
  };
  auto settle = [&script] {  // one message per frame: let the queue drain
    for (int i = 0; i < 8; ++i) script.push_back([] {});
  };
  view(run.start);
  script.push_back([] { Drag(MouseButton::Left, 400, 300, 490, 300); });
  settle();
  view(run.left);
  script.push_back([] { Drag(MouseButton::Right, 400, 300, 400, 315); });
  settle();
  view(run.right);
  std::size_t next = 0;
  run.exitCode = RunDemoOnMesa([&](long) {
    if (next == script.size()) return false;
    script[next++]();
    return next < script.size();
  });
  return run;
}

const Session& TheRun() {
  static const Session run = [] {
    Session r = RunScript();
    for (auto [v, name] : {std::pair{&r.start, "start"}, std::pair{&r.left, "left_drag_90"},
                           std::pair{&r.right, "right_drag_15"}}) {
      SavePicture(v->full.image, name);
      SavePicture(v->ground.image, std::string(name) + "_ground");
      for (std::size_t i = 0; i < kPlants.size(); ++i)
        SavePicture(v->alone[i].image, std::string(name) + "_" + kPlants[i].name);
    }
    return r;
  }();
  return run;
}

bool Differs(const RgbaImage& a, const RgbaImage& b, int x, int y) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(a.At(x, y)[c] - b.At(x, y)[c]) > 8) return true;
  return false;
}

bool IsBlack(const RgbaImage& a, int x, int y) { return a.At(x, y)[0] + a.At(x, y)[1] + a.At(x, y)[2] == 0; }

// Pixels of `alone` that the plant changed against the ground-only picture,
// in the box around a projected base (plants grow upward: mostly above it).
int PlantPixelsNear(const View& v, std::size_t plant, ScreenPoint base) {
  const RgbaImage& img = v.alone[plant].image;
  int n = 0;
  for (int y = static_cast<int>(base.y) - 60; y <= static_cast<int>(base.y) + 10; ++y)
    for (int x = static_cast<int>(base.x) - 25; x <= static_cast<int>(base.x) + 25; ++x)
      if (x >= 0 && y >= 0 && x < img.width && y < img.height && Differs(img, v.ground.image, x, y)) ++n;
  return n;
}

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool Empty() const { return x1 < x0; }
};

Box PlantBox(const View& v, std::size_t plant) {
  Box b;
  const RgbaImage& img = v.alone[plant].image;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x)
      if (Differs(img, v.ground.image, x, y)) {
        b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
      }
  return b;
}

ScreenPoint BaseOn(const Frame& f, const std::array<float, 16>& modelView, const Plant& p) {
  return Project(modelView, f.projection, f.viewport, f.image.height, p.x, 0, p.z);
}

double ChangedFraction(const RgbaImage& a, const RgbaImage& b) {
  long n = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) n += Differs(a, b, x, y);
  return static_cast<double>(n) / (static_cast<double>(a.width) * a.height);
}

void ExpectMatrixNear(const std::array<float, 16>& got, const std::array<float, 16>& want) {
  for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 1e-3) << "element " << i;
}

// Every plant covers pixels around its projected base in the view.
void ExpectPlantsAtBases(const View& v, const std::array<float, 16>& modelView) {
  for (std::size_t i = 0; i < kPlants.size(); ++i) {
    const ScreenPoint base = BaseOn(v.full, modelView, kPlants[i]);
    if (base.x < 0 || base.y < 0 || base.x >= v.full.image.width || base.y >= v.full.image.height) continue;
    EXPECT_GE(PlantPixelsNear(v, i, base), 15)
        << kPlants[i].name << " not drawn near its base at (" << base.x << ", " << base.y << ")";
  }
}

TEST(GardenPictures, StartViewShowsSkyGroundAndEveryPlantInPlace) {
  const Session& run = TheRun();
  ASSERT_EQ(run.exitCode, 0);
  const View& v = run.start;
  ASSERT_EQ(v.full.image.width, 800);
  ASSERT_EQ(v.full.image.height, 600);
  EXPECT_EQ(v.full.viewport, (std::array<int, 4>{0, 0, 800, 600}));

  // The sky: nothing is drawn in the top corners.
  for (int y = 0; y < 20; ++y)
    for (int x : {0, 10, 19, 780, 790, 799}) ASSERT_TRUE(IsBlack(v.full.image, x, y)) << x << "," << y;

  // The ground's grass fills the middle of the lower half.
  int ground = 0, green = 0;
  for (int y = 400; y < 520; ++y)
    for (int x = 300; x < 500; ++x) {
      const std::uint8_t* p = v.ground.image.At(x, y);
      ground += !IsBlack(v.ground.image, x, y);
      green += p[1] > p[0] && p[1] > p[2];
    }
  EXPECT_EQ(ground, 120 * 200);
  EXPECT_GT(green, 120 * 200 * 9 / 10) << "the ground is not grass-coloured";

  ExpectPlantsAtBases(v, v.full.modelView);

  // The fig tree stands in the middle of the picture.
  const ScreenPoint fig = BaseOn(v.full, v.full.modelView, kPlants[1]);
  EXPECT_NEAR(fig.x, 400, 5);
  const Box figBox = PlantBox(v, 1);
  ASSERT_FALSE(figBox.Empty());
  EXPECT_NEAR((figBox.x0 + figBox.x1) / 2.0, 400, 60);
  EXPECT_LT(figBox.y0, 300) << "the fig should rise above the middle of the picture";
}

TEST(GardenPictures, CrownsShowCutOutLeaves) {
  const View& v = TheRun().start;
  for (std::size_t i = 0; i < kPlants.size(); ++i) {
    if (!kPlants[i].crown) continue;
    const Box b = PlantBox(v, i);
    ASSERT_FALSE(b.Empty()) << kPlants[i].name;
    // The upper half of the plant's rectangle holds its crown; through the
    // cut leaves some of the ground or sky behind shows.
    long inside = 0, through = 0;
    for (int y = b.y0; y <= (b.y0 + b.y1) / 2; ++y)
      for (int x = b.x0; x <= b.x1; ++x) {
        ++inside;
        through += !Differs(v.alone[i].image, v.ground.image, x, y);
      }
    EXPECT_GT(through, inside / 20) << kPlants[i].name << ": crown without gaps";
    EXPECT_LT(through, inside * 19 / 20) << kPlants[i].name << ": crown nearly empty";
  }
}

TEST(GardenPictures, LeftDragTurnsTheGardenAboutItsUpAxis) {
  const Session& run = TheRun();
  const View& v = run.left;
  EXPECT_FLOAT_EQ(v.full.yRot, 90) << "90 pixels to the right turn the garden by 90 degrees";
  EXPECT_FLOAT_EQ(v.full.xRot, 0);
  EXPECT_GT(ChangedFraction(run.start.full.image, v.full.image), 0.05);

  // The frame turns the garden about y after the fixed view.
  const auto predicted = Multiply(run.start.full.modelView, RotationY(90));
  ExpectMatrixNear(v.full.modelView, predicted);
  ExpectPlantsAtBases(v, predicted);
  for (const Plant& p : kPlants) {
    if (std::hypot(p.x, p.z) < 3) continue;  // near the axis a plant hardly moves
    const ScreenPoint before = BaseOn(run.start.full, run.start.full.modelView, p);
    const ScreenPoint after = BaseOn(v.full, predicted, p);
    EXPECT_GT(std::hypot(after.x - before.x, after.y - before.y), 30) << p.name;
  }
}

TEST(GardenPictures, RightDragBringsTheGardenNearer) {
  const Session& run = TheRun();
  const View& v = run.right;
  EXPECT_FLOAT_EQ(v.full.depth, -3) << "15 pixels down lower Depth by 3";
  const auto predicted =
      Multiply(Multiply(run.start.full.modelView, TranslationZ(-v.full.depth)), RotationY(v.full.yRot));
  ExpectMatrixNear(v.full.modelView, predicted);
  ExpectPlantsAtBases(v, predicted);

  // Nearer means bigger, by as much as the projection of the new distance
  // says: compare the fig's height on screen with the spread of two bases.
  auto spread = [](const Frame& f, const std::array<float, 16>& mv) {
    const ScreenPoint a = BaseOn(f, mv, kPlants[0]), b = BaseOn(f, mv, kPlants[2]);  // bush, palm
    return std::hypot(a.x - b.x, a.y - b.y);
  };
  const double predictedGrowth = spread(v.full, predicted) / spread(run.left.full, run.left.full.modelView);
  EXPECT_GT(predictedGrowth, 1.1);
  const Box before = PlantBox(run.left, 1), after = PlantBox(v, 1);
  ASSERT_FALSE(before.Empty());
  ASSERT_FALSE(after.Empty());
  const double growth = static_cast<double>(after.y1 - after.y0) / (before.y1 - before.y0);
  EXPECT_NEAR(growth, predictedGrowth, 0.15 * predictedGrowth);
}

// --- Two fresh processes -------------------------------------------------------

// Only in a child started by the test below: writes the first frame.
TEST(GardenPictureProcess, WriteFirstFrame) {
  const char* out = std::getenv("GARDEN_PICTURE_OUT");
  if (!out) GTEST_SKIP() << "run by TwoProcessesDrawIdenticalPixels";
  RgbaImage first;
  ASSERT_EQ(RunDemoOnMesa([&](long) {
              first = ReadFrame().image;
              return false;
            }),
            0);
  ASSERT_TRUE(WriteBytes(out, EncodePNG(first)));
}

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GardenPictures, TwoProcessesDrawIdenticalPixels) {
  std::vector<std::string> files;
  for (int i = 0; i < 2; ++i) {
    const std::string path = std::string(GARDEN_BINARY_DIR) + "/pictures/process" + std::to_string(i) + ".png";
    std::remove(path.c_str());
    setenv("GARDEN_PICTURE_OUT", path.c_str(), 1);
    const pid_t pid = fork();
    if (pid == 0) {
      execl("/proc/self/exe", "test_pictures", "--gtest_filter=GardenPictureProcess.WriteFirstFrame", nullptr);
      _exit(127);
    }
    unsetenv("GARDEN_PICTURE_OUT");
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << i;
    files.push_back(path);
  }
  const std::vector<char> a = ReadFile(files[0]), b = ReadFile(files[1]);
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == b) << "the PNGs (same encoder, same settings) differ, so the pixels do";
}

}  // namespace
}  // namespace pictures
