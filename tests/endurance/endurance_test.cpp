// Endurance and bad input for the whole demo: a storm of random input fed to
// the running frame loop, long runs with flat memory (through the GL capture
// and on Mesa), and every texture file of the run folder missing, truncated
// or corrupted in turn. Under the sanitizers the long runs are shortened
// (the same paths, fewer frames), so the sanitizer pass stays within CI time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/entry.h"
#include "app/frame.h"
#include "platform/headless.h"
#include "render/glbind.h"
#include "render/glcapture.h"
#include "render/random.h"
#include "tests/support/fault.h"
#include "tests/support/mesa_run.h"
#include "window/glwindow.h"
#include "window/wndproc.h"

// LeakSanitizer's hook: no leak report for a process that loaded Mesa.
extern "C" int __lsan_is_turned_off() { return pictures::MesaWasUsed() ? 1 : 0; }

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

namespace fs = std::filesystem;

const fs::path kRunFolder = fs::path(GARDEN_BINARY_DIR) / "run";

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::vector<GLuint> PlantLists() {
  return {Cespuglio, Fico, Palma1, Pino, Dracena, Mangrovia, Erba, Canna[0], Canna[1], Canna[2]};
}

std::function<bool(long)> g_step;
bool g_escaped = false;
std::vector<MessageBoxRecord> g_boxes;  // the boxes of the last run

void CaptureHook(long frame) {
  if (g_escaped || g_step(frame)) return;
  g_escaped = true;
  HeadlessKey(VK_ESCAPE, true);
  HeadlessKey(VK_ESCAPE, false);
}

// Runs the demo through the GL capture (geometry counted, not kept; no call
// log) in `folder`, with `step` called after every swap until it returns
// false, then Esc. Returns the exit code.
int RunDemoOnCapture(const fs::path& folder, std::function<bool(long)> step) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  MaskFloatingPointExceptions();
  UseHeadlessPlatform(1024, 768);
  InstallGLCapture();
  SetCaptureLogging(false);
  SetCaptureGeometry(false);
  ResetRandom();
  Cespuglio = Fico = Palma1 = Pino = Dracena = Mangrovia = Erba = 0;
  Canna = {};
  g_step = std::move(step);
  g_escaped = false;
  SetFrameHook(CaptureHook);
  int code = -1;
  try {
    code = GardenRun();
  } catch (...) {
    g_boxes = HeadlessMessageBoxLog();
    SetFrameHook(nullptr);
    ResetPlatform();
    fs::current_path(previous);
    throw;
  }
  g_boxes = HeadlessMessageBoxLog();
  SetFrameHook(nullptr);
  ResetPlatform();
  fs::current_path(previous);
  return code;
}

bool QueueEmpty() {
  MSG m;
  return !PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
}

// --- Input storm ---------------------------------------------------------------

TEST(Endurance, InputStormNeitherCrashesNorStopsTheFrames) {
  FaultsThrow faults;  // a checked failure would otherwise end the test program
  std::mt19937 rng(20261211);
  auto wild = [&rng] {
    switch (rng() % 4) {
      case 0: return static_cast<int>(rng() % 200001) - 100000;  // far off screen, either side
      case 1: return static_cast<int>(rng() % 1200) - 100;       // around the window
      case 2: return static_cast<int>(rng() % 3) * 65535 - 65535;  // 16-bit edges
      default: return static_cast<int>(rng() % 800);
    }
  };
  const std::array<WPARAM, 8> commands{SC_SIZE,    SC_MOVE,       SC_MINIMIZE,     SC_MAXIMIZE,
                                       SC_KEYMENU, SC_RESTORE,    SC_SCREENSAVE,   SC_MONITORPOWER};
  constexpr int kF4 = 0x73;
  const long stormFrames = kSanitized ? 100 : 1000;
  constexpr int kPerFrame = 4;
  long sent = 0, keysSent = 0;
  std::uint64_t firstFrameVertices = 0;
  std::vector<std::uint64_t> drawn;  // vertices of each frame after the first
  const int code = RunDemoOnCapture(kRunFolder, [&](long frame) {
    const std::uint64_t vertices = CapturedVertexCount();
    ClearCapturedGeometry();
    if (frame == 1) firstFrameVertices = vertices;
    else drawn.push_back(vertices);
    if (frame > stormFrames) return !QueueEmpty();  // let the loop work off the backlog, then Esc
    for (int i = 0; i < kPerFrame; ++i, ++sent) {
      switch (rng() % 6) {
        case 0: HeadlessMouseMove(wild(), wild()); break;
        case 1: {
          const auto button = static_cast<MouseButton>(rng() % 3);
          HeadlessMouseButton(button, rng() % 2 == 0, wild(), wild());
          break;
        }
        case 2:
        case 3: {
          // Every code, down and up, except the downs that end the run
          // by design: Esc, and F4 (Alt may be held: Alt+F4 closes).
          const int key = static_cast<int>(keysSent++ % 256);
          const bool down = rng() % 2 == 0;
          HeadlessKey(key, down && key != VK_ESCAPE && key != kF4);
          break;
        }
        case 4: HeadlessExpose(hWindow); break;
        default:
          PostMessageA(hWindow, WM_SYSCOMMAND, commands[rng() % commands.size()],
                       static_cast<LPARAM>(rng()));
      }
    }
    return true;
  });
  EXPECT_EQ(code, 0);
  EXPECT_GE(sent, stormFrames * kPerFrame);
  EXPECT_FALSE(Active) << "Esc ended the loop";
  ASSERT_GT(firstFrameVertices, 100000u);
  ASSERT_GT(drawn.size(), static_cast<std::size_t>(stormFrames));
  // Every frame during and after the storm drew the whole garden.
  for (std::size_t i = 0; i < drawn.size(); ++i)
    ASSERT_EQ(drawn[i], firstFrameVertices) << "frame " << i + 2;
}

// --- Long runs -------------------------------------------------------------------

TEST(Endurance, TenThousandCaptureFramesKeepMemoryFlat) {
  const long frames = kSanitized ? 300 : 10000;
  const long settled = frames / 10;
  long settledKb = 0, endKb = 0;
  const int code = RunDemoOnCapture(kRunFolder, [&](long frame) {
    if (frame == settled) settledKb = ResidentKb();
    if (frame == frames) endKb = ResidentKb();
    return frame < frames;
  });
  EXPECT_EQ(code, 0);
  // AddressSanitizer's quarantine holds freed blocks, so the resident set
  // grows with churn there; LeakSanitizer checks that build instead.
  if (kSanitized) return;
  // Allocator slack, not growth per frame: 9,000 frames leaking even 100
  // bytes each would pass 800 kB.
  EXPECT_LT(endKb - settledKb, 800) << "from " << settledKb << " kB to " << endKb << " kB";
}

TEST(Endurance, TwoThousandMesaFramesKeepMemoryFlat) {
  const long frames = kSanitized ? 100 : 2000;
  const long settled = frames / 10;
  long settledKb = 0, endKb = 0;
  const int code = pictures::RunDemoOnMesa([&](long frame) {
    if (frame == settled) settledKb = ResidentKb();
    if (frame == frames) endKb = ResidentKb();
    return frame < frames;
  });
  EXPECT_EQ(code, 0);
  if (kSanitized) return;  // see above
  EXPECT_LT(endKb - settledKb, 2048) << "from " << settledKb << " kB to " << endKb << " kB";
}

// --- Damaged texture files -------------------------------------------------------

enum class Damage { Missing, Truncated, Corrupted, Stub };

const char* Name(Damage d) {
  switch (d) {
    case Damage::Missing: return "missing";
    case Damage::Truncated: return "truncated";
    case Damage::Corrupted: return "corrupted";
    default: return "stub";
  }
}

void Apply(Damage d, const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  switch (d) {
    case Damage::Missing: fs::remove(file); return;
    case Damage::Truncated: bytes.resize(bytes.size() / 2); break;  // header intact, pixels cut
    case Damage::Corrupted:  // the header's first bytes overwritten
      for (std::size_t i = 0; i < 18 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5 ^ i);
      break;
    case Damage::Stub: bytes.resize(10); break;  // shorter than any header
  }
  std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(Endurance, DamagedTextureFilesNeverStopTheGardenExceptBmpIoFaults) {
  const std::vector<std::string> files = {
      "gras.bmp",    "corteccia01.bmp", "corteccia02.bmp", "corteccia00.bmp", "corteccia03.bmp",
      "FustoVerde00.bmp", "fico01.tga", "foglie00.tga", "palma01.tga",     "pino.tga",
      "banano.tga",  "erba01.tga",      "erba00.tga",      "erba02.tga",      "graminacea00b.tga"};
  const fs::path work = fs::path(GARDEN_BINARY_DIR) / "endurance_run";
  FaultsThrow faults;
  for (const std::string& file : files) {
    const bool bmp = file.ends_with(".bmp");
    for (Damage d : {Damage::Missing, Damage::Truncated, Damage::Corrupted, Damage::Stub}) {
      SCOPED_TRACE(file + " " + Name(d));
      fs::remove_all(work);
      fs::create_directories(work);
      for (const std::string& f : files) fs::copy_file(kRunFolder / f, work / f);
      Apply(d, work / file);

      std::uint64_t vertices = 0;
      int code = -1;
      std::string fault;
      try {
        code = RunDemoOnCapture(work, [&](long frame) {
          vertices = CapturedVertexCount();
          ClearCapturedGeometry();
          return frame < 2;
        });
      } catch (const FaultRaised& e) {
        fault = e.what();
        EXPECT_EQ(e.kind, Fault::IOError);
      }
      int textureBoxes = 0;
      for (const MessageBoxRecord& box : g_boxes) {
        if (box.caption == kFullScreenCaption) continue;
        EXPECT_TRUE(box.caption == "ERROR" || box.caption == "Invalid Image") << box.caption;
        ++textureBoxes;
      }
      if (bmp && d == Damage::Stub) {
        // Shorter than the file header: the BMP path's read fault stops
        // the program with the checked-failure message.
        EXPECT_FALSE(fault.empty()) << "no checked failure";
        continue;
      }
      ASSERT_TRUE(fault.empty()) << fault;
      EXPECT_EQ(code, 0);
      // BMP faults are silent, and so is a missing TGA file (nothing to
      // read); a TGA file that is there but bad shows one message.
      EXPECT_EQ(textureBoxes, !bmp && d != Damage::Missing ? 1 : 0);
      for (GLuint list : PlantLists()) EXPECT_NE(list, 0u) << "a plant was not built";
      EXPECT_GT(vertices, 100000u) << "the garden was not drawn";
    }
  }
  fs::remove_all(work);
}

}  // namespace
