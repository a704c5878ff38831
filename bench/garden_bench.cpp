// The garden's benchmarks: builds the garden through the GL capture and on
// Mesa, times the display-list frame against the same triangles baked into
// static vertex buffers, and measures the demo process itself (start-up to
// its first frame, frame rate, peak memory). Prints a table and writes JSON.
//
//   garden_bench [--out FILE] [--frames N] [--runs N]
//   garden_bench --xvfb      (only the frame rate of the demo in Xvfb)
//
// Run it from the folder with the texture files (build/run); the demo
// binary is looked for at ../app/garden. scripts/bench.sh does both.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/catalogue.h"
#include "app/entry.h"
#include "app/frame.h"
#include "app/hugepages.h"
#include "platform/headless.h"
#include "platform/offscreen_gl.h"
#include "platform/winapi.h"
#include "render/glbind.h"
#include "render/glcapture.h"
#include "render/glstate.h"
#include "render/random.h"
#include "window/glwindow.h"
#include "window/mousecam.h"
#include "window/wndproc.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

double Now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void ResetGarden() {
  Cespuglio = Fico = Palma1 = Pino = Dracena = Mangrovia = Erba = 0;
  Canna = {};
  ResetRandom();
}

void ResetCamera() {
  XRot = YRot = XRot2 = YRot2 = Depth = Depth2 = 0;
  MSpeed = 0;
}

// The fixed state the demo sets before it builds the garden.
void StartState() {
  Width = kWidth;
  Height = kHeight;
  OpenGL_Init(100.0, 0.0, 0.0, 0.0, 0.0);
  SetGLRefractive();
  SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
}

// --- Garden through the capture ----------------------------------------------

struct CaptureResult {
  double buildMs = 0, generationMs = 0;
  std::uint64_t vertices = 0, triangles = 0, primitives = 0;
};


CaptureResult BenchCapture(int runs) {
  CaptureResult r;
  InstallGLCapture();
  std::vector<double> build, generation;
  for (int i = 0; i < runs; ++i) {
    ResetGLCapture();
    SetCaptureLogging(false);
    ResetGarden();
    StartState();
    const double t0 = Now();
    OpenGL_CreateList();
    build.push_back((Now() - t0) * 1e3);
    ResetGLCapture();
    SetCaptureLogging(false);
    const double t1 = Now();
    OpenGL_Texture();
    generation.push_back(build.back() - (Now() - t1) * 1e3);  // the build without its texture loading
  }
  r.buildMs = Median(build);
  r.generationMs = Median(generation);
  return r;
}

// --- Baking the frame's triangles ---------------------------------------------

struct BakedVertex {
  float x, y, z, nx, ny, nz, s, t;
};

// What a group of primitives is drawn with; the baked frame sets these once
// per group.
struct GroupKey {
  GLuint texture;
  bool texture2D, lighting, twoSide, alphaTest, cullFace;
  GLenum alphaFunc;
  float alphaRef;
  auto Tie() const { return std::tie(texture, texture2D, lighting, twoSide, alphaTest, cullFace, alphaFunc, alphaRef); }
  bool operator<(const GroupKey& o) const { return Tie() < o.Tie(); }
};

struct Group {
  std::vector<BakedVertex> strip;      // all strips stitched with degenerate triangles
  std::vector<BakedVertex> triangles;  // independent triangles
  GLuint stripBuffer = 0, triangleBuffer = 0;
};

// The frame's triangles in garden space, grouped by state. The capture gives
// eye-space vertices; the view is rigid at the start view, so its inverse
// brings them back.
std::map<GroupKey, Group> BakeFrame(CaptureResult& r) {
  InstallGLCapture();
  SetCaptureLogging(false);
  ResetGarden();
  ResetCamera();
  StartState();
  OpenGL_CreateList();
  SetCaptureGeometry(true);
  ClearCapturedGeometry();
  OpenGL_Draw();
  const CaptureMatrix view = CapturedMatrix(GL_MODELVIEW);
  const auto& m = view.m;
  // Inverse of a rigid transform: R^T and -R^T t.
  auto back = [&](float x, float y, float z, bool point) {
    const float tx = point ? x - m[12] : x, ty = point ? y - m[13] : y, tz = point ? z - m[14] : z;
    return std::array<float, 3>{m[0] * tx + m[1] * ty + m[2] * tz, m[4] * tx + m[5] * ty + m[6] * tz,
                                m[8] * tx + m[9] * ty + m[10] * tz};
  };
  const auto& verts = CapturedVertices();
  std::map<GroupKey, Group> groups;
  for (const CapturedPrimitive& p : CapturedPrimitives()) {
    r.vertices += p.count;
    r.triangles += TrianglesFor(p.mode, p.count);
    ++r.primitives;
    GroupKey key{p.texture, p.texture2D, p.lighting, p.twoSide, p.alphaTest, p.cullFace, p.alphaFunc, p.alphaRef};
    Group& g = groups[key];
    std::vector<BakedVertex> v;
    for (std::size_t i = 0; i < p.count; ++i) {
      const CapturedVertex& c = verts[p.first + i];
      const auto pos = back(c.x, c.y, c.z, true);
      const auto nor = back(c.nx, c.ny, c.nz, false);
      v.push_back({pos[0], pos[1], pos[2], nor[0], nor[1], nor[2], c.s, c.t});
    }
    if (p.mode == GL_TRIANGLE_STRIP || p.mode == GL_QUAD_STRIP) {
      if (v.size() < 3) continue;
      if (!g.strip.empty()) {
        g.strip.push_back(g.strip.back());
        if (g.strip.size() % 2) g.strip.push_back(g.strip.back());  // keep the winding parity
        g.strip.push_back(v.front());
      }
      g.strip.insert(g.strip.end(), v.begin(), v.end());
    } else if (p.mode == GL_TRIANGLES) {
      g.triangles.insert(g.triangles.end(), v.begin(), v.begin() + static_cast<long>(v.size() / 3 * 3));
    } else if (p.mode == GL_QUADS) {
      for (std::size_t i = 0; i + 3 < v.size(); i += 4)
        for (std::size_t k : {0, 1, 2, 0, 2, 3}) g.triangles.push_back(v[i + k]);
    } else if (p.mode == GL_TRIANGLE_FAN || p.mode == GL_POLYGON) {
      for (std::size_t i = 1; i + 1 < v.size(); ++i)
        for (std::size_t k : {std::size_t{0}, i, i + 1}) g.triangles.push_back(v[k]);
    }
  }
  return groups;
}

void Upload(std::map<GroupKey, Group>& groups) {
  for (auto& [key, g] : groups) {
    for (auto [data, name] : {std::pair{&g.strip, &g.stripBuffer}, std::pair{&g.triangles, &g.triangleBuffer}}) {
      if (data->empty()) continue;
      glGenBuffers(1, name);
      glBindBuffer(GL_ARRAY_BUFFER, *name);
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data->size() * sizeof(BakedVertex)), data->data(),
                   GL_STATIC_DRAW);
    }
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void SetFlag(GLenum cap, bool on) {
  if (on)
    glEnable(cap);
  else
    glDisable(cap);
}

// The start-view frame drawn from the baked buffers: the same clear, view,
// camera and light as OpenGL_Draw, then one state set-up and one or two
// glDrawArrays per group.
void DrawBaked(const std::map<GroupKey, Group>& groups) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OpenGL_Draw2D();
  glTranslatef(0, -1, -20);
  glRotatef(30, 1, 0, 0);
  SetGLMouseMove(GL_M0, 2);
  PutGLPointLight(GL_LIGHT0, 0, -10, 10, 0, 0.1f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  constexpr GLsizei stride = sizeof(BakedVertex);
  for (const auto& [key, g] : groups) {
    SetFlag(GL_TEXTURE_2D, key.texture2D);
    SetFlag(GL_LIGHTING, key.lighting);
    SetFlag(GL_ALPHA_TEST, key.alphaTest);
    SetFlag(GL_CULL_FACE, key.cullFace);
    glAlphaFunc(key.alphaFunc, key.alphaRef);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, key.twoSide ? 1 : 0);
    glBindTexture(GL_TEXTURE_2D, key.texture);
    for (auto [buffer, data, mode] : {std::tuple{g.stripBuffer, &g.strip, GL_TRIANGLE_STRIP},
                                      std::tuple{g.triangleBuffer, &g.triangles, GL_TRIANGLES}}) {
      if (!buffer) continue;
      glBindBuffer(GL_ARRAY_BUFFER, buffer);
      glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const GLvoid*>(0));
      glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const GLvoid*>(3 * sizeof(float)));
      glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const GLvoid*>(6 * sizeof(float)));
      glDrawArrays(mode, 0, static_cast<GLsizei>(data->size()));
    }
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  SetFlag(GL_CULL_FACE, true);
  SetFlag(GL_ALPHA_TEST, false);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

// --- Mesa ----------------------------------------------------------------------

struct MesaResult {
  std::string renderer;
  double buildMs = 0, listFrameMs = 0, bakedFrameMs = 0;
  std::uint64_t bakedVertices = 0;
  std::size_t groups = 0;
};

// Medians of two frame variants measured in alternating blocks of ten
// frames, after 20 frames of warm-up each, so that a drift in the machine's
// speed weighs on both alike.
template <class DrawA, class DrawB>
std::pair<double, double> FrameMedians(int frames, DrawA drawA, DrawB drawB) {
  auto one = [](auto draw) {
    const double t0 = Now();
    draw();
    SwapOffscreenGL();
    glFinish();  // llvmpipe renders on its own threads: count the frame until it is done
    return (Now() - t0) * 1e3;
  };
  for (int i = 0; i < 20; ++i) one(drawA);
  for (int i = 0; i < 20; ++i) one(drawB);
  std::vector<double> a, b;
  while (static_cast<int>(a.size()) < frames) {
    for (int i = 0; i < 10; ++i) a.push_back(one(drawA));
    for (int i = 0; i < 10; ++i) b.push_back(one(drawB));
  }
  return {Median(a), Median(b)};
}

bool BenchMesa(int runs, int frames, std::map<GroupKey, Group>& groups, MesaResult& r) {
  const std::string bind = BindGL();
  if (!bind.empty()) {
    std::fprintf(stderr, "%s\n", bind.c_str());
    return false;
  }
  std::vector<double> build;
  for (int i = 0; i < runs; ++i) {
    CloseOffscreenGL();  // a fresh context each time: no lists or textures left over
    std::string error;
    if (!OpenOffscreenGL(kWidth, kHeight, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    ResetGarden();
    StartState();
    glFinish();
    const double t0 = Now();
    OpenGL_CreateList();
    glFinish();
    build.push_back((Now() - t0) * 1e3);
  }
  r.buildMs = Median(build);
  r.renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  ResetCamera();
  Upload(groups);
  for (const auto& [key, g] : groups) r.bakedVertices += g.strip.size() + g.triangles.size();
  r.groups = groups.size();
  std::tie(r.listFrameMs, r.bakedFrameMs) = FrameMedians(frames, [] { OpenGL_Draw(); }, [&] { DrawBaked(groups); });
  CloseOffscreenGL();
  UnbindGL();
  return true;
}

// --- The demo process -----------------------------------------------------------

// Child mode: the demo on the headless backend with a real Mesa context.
// Prints the monotonic time of the first swap and of swap `frames`, then
// closes the window as the user would.
long g_childFrames = 1;
double g_firstSwap = 0;
long g_firstRssKb = 0;

long ResidentKb() {
  long size = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void ChildHook(long frame) {
  if (frame == 1) {
    g_firstSwap = Now();
    g_firstRssKb = ResidentKb();
  }
  if (frame == g_childFrames) {
    std::printf("%.9f %.9f %ld\n", g_firstSwap, Now(), g_firstRssKb);
    std::fflush(stdout);
    PostMessageA(hWindow, WM_CLOSE, 0, 0);
  }
}

int RunChild(long frames) {
  g_childFrames = frames;
  UseHeadlessPlatform(1024, 768);
  HeadlessUseMesaGl(true);
  SetFrameHook(ChildHook);
  return GardenMain();
}

struct DemoResult {
  double startMs = 0, fps = 0;
  long peakKb = 0, firstFrameKb = 0;
  bool ok = false;
};

// In a forked child: adds `env` to the environment and runs `args` (looked
// up on PATH unless it names a path). Never returns.
[[noreturn]] void ExecChild(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

// Starts `args` with its stdout on a pipe whose read end is left in
// `readFd`; 0 when it cannot.
pid_t StartPiped(const std::vector<std::string>& args, const std::vector<std::string>& env, int& readFd) {
  int fd[2];
  if (pipe(fd) != 0) return 0;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fd[1], 1);
    close(fd[0]);
    close(fd[1]);
    ExecChild(args, env);
  }
  close(fd[1]);
  if (pid < 0) {
    close(fd[0]);
    return 0;
  }
  readFd = fd[0];
  return pid;
}

// Everything a pipe delivers until its writer closes it; closes `fd`.
std::string ReadAll(int fd) {
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
  close(fd);
  return out;
}

// Starts `argv` with stdout on a pipe; returns the output, its peak RSS (kB)
// and whether it ended with code 0.
bool Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, std::string& out,
           long& peakKb, double& started) {
  started = Now();
  int fd = -1;
  const pid_t pid = StartPiped(args, env, fd);
  if (!pid) return false;
  out = ReadAll(fd);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  peakKb = usage.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

DemoResult BenchDemo(const std::string& self, int runs, long frames) {
  DemoResult r;
  std::vector<double> starts, fps;
  for (int i = 0; i < runs; ++i) {
    std::string out;
    long kb = 0;
    double started = 0;
    if (!Spawn({self, "--child", std::to_string(frames)}, {}, out, kb, started)) return r;
    double first = 0, last = 0;
    if (std::sscanf(out.c_str(), "%lf %lf %ld", &first, &last, &r.firstFrameKb) != 3) return r;
    starts.push_back((first - started) * 1e3);
    fps.push_back(static_cast<double>(frames - 1) / (last - first));
  }
  r.startMs = Median(starts);
  r.fps = Median(fps);
  // Peak memory of the demo binary itself after 1,000 frames.
  std::string out;
  double started = 0;
  r.ok = Spawn({"../app/garden"}, {"GARDEN_PLATFORM=headless", "GARDEN_HEADLESS_GL=mesa", "GARDEN_HEADLESS_FRAMES=1000"},
               out, r.peakKb, started);
  return r;
}

// --- The demo in a virtual X server -----------------------------------------------

// Runs `args` without waiting; stdout and stderr go to /dev/null. 0 on failure.
pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env, int keepFd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid < 0 ? 0 : pid;
  if (FILE* null = std::fopen("/dev/null", "w")) {
    dup2(fileno(null), 1);
    dup2(fileno(null), 2);
  }
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepFd) close(fd);
  ExecChild(args, env);
}

// Runs `args` to its end; true when it exits with code 0.
bool Run(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  const pid_t pid = Start(args, env);
  int status = 0;
  return pid && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs `args` to its end and returns what it wrote to stdout.
std::string Output(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  int fd = -1;
  const pid_t pid = StartPiped(args, env, fd);
  if (!pid) return "";
  std::string out = ReadAll(fd);
  waitpid(pid, nullptr, 0);
  return out;
}

// The id of a top-level window with this name, from xwininfo (which reads
// the UTF-8 names SDL sets, where xdotool's search does not); "" if none.
std::string FindWindow(const std::string& name, const std::string& displayEnv) {
  std::istringstream tree(Output({"xwininfo", "-root", "-tree"}, {displayEnv}));
  for (std::string line; std::getline(tree, line);) {
    if (line.find('"' + name + '"') == std::string::npos) continue;
    std::istringstream words(line);
    std::string id;
    words >> id;
    return id;
  }
  return "";
}

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

struct XvfbResult {
  double fps = 0;
  std::string skipped;  // why it was not measured; empty when it was
};

// The demo as a user runs it, on an 800 x 600 virtual screen: the question
// answered Yes (Return), so the window is the whole screen; Mesa's HUD
// writes the frame rate twice a second into a file. The median over
// `seconds` after a 3-second warm-up.
XvfbResult XvfbFps(double seconds) {
  XvfbResult r;
  int fd[2];
  if (pipe(fd) != 0) return {0, "no pipe"};
  const pid_t xvfb = Start({"Xvfb", "-displayfd", std::to_string(fd[1]), "-screen", "0", "800x600x24", "-nolisten",
                            "tcp", "-noreset"},
                           {}, fd[1]);
  close(fd[1]);
  std::string display;
  char c;
  while (read(fd[0], &c, 1) == 1 && c != '\n') display += c;
  close(fd[0]);
  if (!xvfb || display.empty()) {
    if (xvfb) kill(xvfb, SIGTERM), waitpid(xvfb, nullptr, 0);
    return {0, "Xvfb is not available"};
  }
  const std::string displayEnv = "DISPLAY=:" + display;
  char dirTemplate[] = "/tmp/garden_hud_XXXXXX";
  const std::string hudDir = mkdtemp(dirTemplate) ? dirTemplate : "";
  const pid_t demo = Start({"../app/garden"}, {displayEnv, "GALLIUM_HUD=fps", "GALLIUM_HUD_PERIOD=0.5",
                                                "GALLIUM_HUD_DUMP_DIR=" + hudDir, "GARDEN_PLATFORM=sdl"});
  // Answer the question; the key is repeated until the box is gone, in
  // case it came before the box took input.
  bool answered = false;
  std::string window;
  for (int i = 0; i < 40 && demo && !answered && !Exited(demo); ++i) {
    usleep(250000);
    const std::string box = FindWindow(kFullScreenCaption, displayEnv);
    if (!box.empty()) Run({"xdotool", "key", "--window", box, "Return"}, {displayEnv});
    window = FindWindow(kWindowTitle, displayEnv);
    answered = !window.empty() && FindWindow(kFullScreenCaption, displayEnv).empty();
  }
  if (answered) {
    usleep(static_cast<useconds_t>((3.0 + seconds) * 1e6));
    std::ifstream dump(hudDir + "/fps");
    std::vector<double> values;
    for (double v; dump >> v;) values.push_back(v);
    const std::size_t skip = 6;  // the warm-up: 3 s at two values a second
    if (values.size() > skip) r.fps = Median(std::vector<double>(values.begin() + skip, values.end()));
    if (r.fps == 0) r.skipped = "Mesa's HUD wrote no frame rate";
    Run({"xdotool", "key", "--window", window, "Escape"}, {displayEnv});
  } else {
    r.skipped = "the demo's window did not come up (xdotool or xwininfo missing?)";
  }
  for (int i = 0; i < 40 && demo && !Exited(demo); ++i) usleep(100000);
  if (demo && !Exited(demo)) kill(demo, SIGKILL), waitpid(demo, nullptr, 0);
  kill(xvfb, SIGTERM);
  waitpid(xvfb, nullptr, 0);
  std::error_code ignored;
  if (!hudDir.empty()) std::filesystem::remove_all(hudDir, ignored);
  return r;
}

std::string Escape(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '"' || c == '\\') o += '\\';
    o += c;
  }
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = "../bench/bench.json";
  int frames = 200, runs = 9;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--child" && i + 1 < argc) {
      // The child is the demo with a frame hook: it starts as the demo's
      // main does.
      RestartWithHugePages(argv);
      return RunChild(std::atol(argv[i + 1]));
    }
    if (a == "--xvfb") {  // the frame rate in Xvfb alone
      const XvfbResult x = XvfbFps(10);
      if (!x.skipped.empty()) std::fprintf(stderr, "not measured: %s\n", x.skipped.c_str());
      std::printf("demo frame rate at the start view in Xvfb (800x600): %.2f fps\n", x.fps);
      return x.skipped.empty() ? 0 : 1;
    }
    if (a == "--out" && i + 1 < argc) {
      out = argv[++i];
    } else if (a == "--frames" && i + 1 < argc) {
      frames = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr,
                   "usage: garden_bench [--out FILE] [--frames N] [--runs N]\n"
                   "       garden_bench --xvfb\n"
                   "Run it from the folder with the texture files (build/run).\n");
      return 2;
    }
  }
  MaskFloatingPointExceptions();
  UseHeadlessPlatform(1024, 768);  // texture faults would show message boxes

  CaptureResult cap = BenchCapture(runs);
  std::map<GroupKey, Group> groups = BakeFrame(cap);
  MesaResult mesa;
  if (!BenchMesa(runs, frames, groups, mesa)) return 1;
  char self[4096] = {};
  const ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
  if (len <= 0) return 1;
  DemoResult demo = BenchDemo(self, 5, 201);
  const XvfbResult xvfb = XvfbFps(10);
  if (!xvfb.skipped.empty()) std::fprintf(stderr, "frame rate in Xvfb not measured: %s\n", xvfb.skipped.c_str());

  const double ratio = mesa.bakedFrameMs > 0 ? mesa.listFrameMs / mesa.bakedFrameMs : 0;
  const double peakMb = static_cast<double>(demo.peakKb) / 1024.0;
  struct Row {
    const char* key;
    const char* what;
    double value;
    const char* unit;
    const char* target;
    bool met;
  };
  const std::vector<Row> rows = {
      {"capture_build_ms", "garden build through the capture (textures + generators)", cap.buildMs, "ms", "< 25",
       cap.buildMs < 25},
      {"capture_generation_ms", "  of which generation alone", cap.generationMs, "ms", "", true},
      {"mesa_build_ms", "garden build on Mesa (textures + list compilation)", mesa.buildMs, "ms", "< 100",
       mesa.buildMs < 100},
      {"startup_ms", "demo start-up to first swapped frame", demo.startMs, "ms", "< 250", demo.startMs < 250},
      {"list_frame_ms", "frame: OpenGL_Draw + swap, 800x600", mesa.listFrameMs, "ms", "", true},
      {"baked_frame_ms", "frame from static vertex buffers", mesa.bakedFrameMs, "ms", "", true},
      {"list_over_baked", "display-list frame / baked frame", ratio, "x", "<= 1.15", ratio <= 1.15},
      {"demo_fps", "demo frame rate at the start view (headless, Mesa)", demo.fps, "fps", "", true},
      {"xvfb_fps", "demo frame rate at the start view in Xvfb (800x600)", xvfb.fps, "fps", ">= 25", xvfb.fps >= 25},
      {"peak_rss_mb", "demo peak resident memory after 1,000 frames", peakMb, "MB", "< 150",
       demo.ok && peakMb < 150},
      {"first_frame_rss_mb", "  of which resident at the first frame", static_cast<double>(demo.firstFrameKb) / 1024.0,
       "MB", "", true},
      {"frame_vertices", "vertices per frame", static_cast<double>(cap.vertices), "", "", true},
      {"frame_triangles", "triangles per frame", static_cast<double>(cap.triangles), "", "", true},
      {"frame_primitives", "glBegin/glEnd pairs per frame", static_cast<double>(cap.primitives), "", "", true},
      {"baked_vertices", "baked vertices (strips stitched)", static_cast<double>(mesa.bakedVertices), "", "", true},
      {"baked_groups", "baked state groups", static_cast<double>(mesa.groups), "", "", true},
  };
  std::printf("renderer: %s; %d runs, %d frames\n", mesa.renderer.c_str(), runs, frames);
  std::printf("%-58s %12s %-4s %-8s %s\n", "measure", "value", "unit", "target", "");
  for (const Row& r : rows)
    std::printf("%-58s %12.2f %-4s %-8s %s\n", r.what, r.value, r.unit, r.target,
                r.target[0] ? (r.met ? "met" : "MISSED") : "");

  std::ofstream json(out);
  json << "{\n  \"renderer\": \"" << Escape(mesa.renderer) << "\",\n  \"runs\": " << runs
       << ",\n  \"frames\": " << frames;
  for (const Row& r : rows) json << ",\n  \"" << r.key << "\": " << r.value;
  json << "\n}\n";
  if (!json) std::fprintf(stderr, "could not write %s\n", out.c_str());
  else std::printf("wrote %s\n", out.c_str());
  return 0;
}
