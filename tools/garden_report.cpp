// garden_report: builds the whole garden through the GL capture (no window,
// no GL library, no texture files needed) and prints a JSON report of what
// each generator call consumed and emitted, and of one whole frame of the
// garden. It is how one build is checked against another.
//
// Usage: garden_report [--pretty]
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/frame.h"
#include "platform/headless.h"
#include "plants/labels.h"
#include "render/glcapture.h"
#include "render/random.h"

namespace {

struct Totals {
  std::uint64_t vertices = 0;
  std::uint64_t triangles = 0;
  std::uint64_t primitives = 0;
  std::array<double, 6> bbox{};
};


// Sums what the capture emitted since its geometry was last cleared.
Totals Measure() {
  Totals t;
  double lo[3] = {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                  std::numeric_limits<double>::infinity()};
  double hi[3] = {-lo[0], -lo[1], -lo[2]};
  for (const CapturedPrimitive& p : CapturedPrimitives()) {
    t.primitives++;
    t.triangles += TrianglesFor(p.mode, p.count);
  }
  for (const CapturedVertex& v : CapturedVertices()) {
    const double c[3] = {v.x, v.y, v.z};
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], c[i]);
      hi[i] = std::max(hi[i], c[i]);
    }
  }
  t.vertices = CapturedVertices().size();
  if (t.vertices == 0) return t;
  for (int i = 0; i < 3; ++i) {
    t.bbox[static_cast<std::size_t>(i)] = lo[i];
    t.bbox[static_cast<std::size_t>(i) + 3] = hi[i];
  }
  return t;
}

std::string Num(double v) {
  double r = std::round(v * 100000.0) / 100000.0;
  if (r == 0) r = 0;  // no "-0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.5f", r);
  // Trim trailing zeros for a stable, compact form.
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string BBox(const Totals& t) {
  std::string s = "[";
  for (std::size_t i = 0; i < 6; ++i) s += (i ? ", " : "") + Num(t.bbox[i]);
  return s + "]";
}

}  // namespace

int main(int argc, char** argv) {
  const bool pretty = argc > 1 && std::strcmp(argv[1], "--pretty") == 0;
  const char* nl = pretty ? "\n" : "";
  const char* in1 = pretty ? "  " : "";
  const char* in2 = pretty ? "    " : "";
  const char* in3 = pretty ? "      " : "";
  const char* sp = pretty ? " " : "";

  // No window and no message boxes: the headless layer answers everything.
  UseHeadlessPlatform(800, 600);
  InstallGLCapture();
  SetCaptureLogging(false);
  ResetRandom();
  ClearListLabels();

  OpenGL_Texture();

  std::string out = std::string("{") + nl + in1 + "\"plants\":" + sp + "[" + nl;
  bool firstPlant = true;
  for (const GardenPlant& plant : GardenPlants) {
    const std::uint64_t before = RandomDraws();
    std::map<GLuint, std::string> labelsBefore = ListLabels();
    SetCaptureGeometry(false);
    plant.build();
    SetCaptureGeometry(true);
    const std::uint64_t after = RandomDraws();

    ClearListExecutions();
    ExecuteCapturedList(*plant.id);
    const Totals t = Measure();

    // Component lists labelled by this call, by name.
    std::map<std::string, std::uint64_t> executions;
    for (const auto& [id, name] : ListLabels()) {
      auto old = labelsBefore.find(id);
      if (old != labelsBefore.end() && old->second == name) continue;
      executions[name] += CapturedListExecutions(id);
    }

    out += std::string(firstPlant ? "" : std::string(",") + nl) + in2 + "{" + nl;
    firstPlant = false;
    out += std::string(in3) + "\"list\":" + sp + Quoted(plant.list) + "," + nl;
    out += std::string(in3) + "\"draws\":" + sp + std::to_string(after - before) + "," + nl;
    out += std::string(in3) + "\"draws_after\":" + sp + std::to_string(after) + "," + nl;
    out += std::string(in3) + "\"vertices\":" + sp + std::to_string(t.vertices) + "," + nl;
    out += std::string(in3) + "\"triangles\":" + sp + std::to_string(t.triangles) + "," + nl;
    out += std::string(in3) + "\"primitives\":" + sp + std::to_string(t.primitives) + "," + nl;
    out += std::string(in3) + "\"executions\":" + sp + "{";
    bool firstExec = true;
    for (const auto& [name, count] : executions) {
      out += std::string(firstExec ? "" : ",") + sp + Quoted(name) + ":" + sp + std::to_string(count);
      firstExec = false;
    }
    out += std::string(executions.empty() ? "" : sp) + "}," + nl;
    out += std::string(in3) + "\"bbox\":" + sp + BBox(t) + nl;
    out += std::string(in2) + "}";
  }
  out += std::string(nl) + in1 + "]," + nl;

  // One frame of the garden with the model-view matrix at identity where the
  // frame would set its fixed view: ground and the ten placed plants.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  ClearCapturedGeometry();
  DrawGarden();
  const Totals f = Measure();
  out += std::string(in1) + "\"frame\":" + sp + "{" + nl;
  out += std::string(in2) + "\"vertices\":" + sp + std::to_string(f.vertices) + "," + nl;
  out += std::string(in2) + "\"triangles\":" + sp + std::to_string(f.triangles) + "," + nl;
  out += std::string(in2) + "\"bbox\":" + sp + BBox(f) + nl;
  out += std::string(in1) + "}" + nl + "}\n";

  std::fputs(out.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
