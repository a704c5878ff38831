// Builds a garden-sized workload through the GL capture and times building
// the lists and executing one frame: a few thousand lists, branch meshes of
// triangle strips, plant lists nesting them under matrix operations.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "render/gl.h"
#include "render/glcapture.h"

namespace {

// A tapered tube of `bands` triangle strips, like a branch segment.
void Tube(int around, int bands) {
  for (int i = 0; i < bands; ++i) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j <= around; ++j) {
      const float a = static_cast<float>(j) / static_cast<float>(around) * 6.2831853f;
      glNormal3f(std::cos(a), 0, std::sin(a));
      glTexCoord2f(static_cast<float>(j), static_cast<float>(i));
      glVertex3f(0.06f * std::cos(a), static_cast<float>(i) / static_cast<float>(bands), 0.06f * std::sin(a));
      glVertex3f(0.05f * std::cos(a), static_cast<float>(i + 1) / static_cast<float>(bands), 0.05f * std::sin(a));
    }
    glEnd();
  }
}

void Branch(GLuint segment, int depth) {
  glCallList(segment);
  if (depth == 0) return;
  for (int k = 0; k < 3; ++k) {
    glPushMatrix();
    glTranslatef(0, 1, 0);
    glRotatef(static_cast<float>(120 * k), 0, 1, 0);
    glRotatef(30, 1, 0, 0);
    glScalef(0.8f, 0.8f, 0.8f);
    Branch(segment, depth - 1);
    glPopMatrix();
  }
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  InstallGLCapture();
  SetCaptureLogging(false);
  const auto t0 = std::chrono::steady_clock::now();
  constexpr int kPlants = 3000;
  std::vector<GLuint> plants;
  const GLuint segments = glGenLists(kPlants);
  for (int p = 0; p < kPlants; ++p) {
    glNewList(segments + static_cast<GLuint>(p), GL_COMPILE);
    Tube(8, 1);
    glEndList();
  }
  for (int p = 0; p < kPlants; ++p) {
    const GLuint plant = glGenLists(1);
    glNewList(plant, GL_COMPILE);
    Branch(segments + static_cast<GLuint>(p), 3);  // 40 segments of 18 vertices
    glEndList();
    plants.push_back(plant);
  }
  const auto t1 = std::chrono::steady_clock::now();
  std::printf("built %d lists in %.3f s\n", 2 * kPlants, Seconds(t1 - t0));
  for (const bool keep : {true, true, false}) {
    SetCaptureGeometry(keep);
    ClearCapturedGeometry();
    const auto start = std::chrono::steady_clock::now();
    for (int p = 0; p < kPlants; ++p) {
      glPushMatrix();
      glTranslatef(static_cast<float>(p % 50), 0, static_cast<float>(p / 50));
      glCallList(plants[static_cast<std::size_t>(p)]);
      glPopMatrix();
    }
    const auto end = std::chrono::steady_clock::now();
    std::printf("one frame, geometry %s: %llu vertices in %.3f s\n", keep ? "kept" : "counted",
                static_cast<unsigned long long>(CapturedVertexCount()), Seconds(end - start));
  }
  return 0;
}
