// GL state set-ups and the single light of the scene.
#include "render/glstate.h"

#include "platform/checked.h"

std::int32_t Width = 0;
std::int32_t Height = 0;

std::array<float, 4> AmbientLight = {0.5f, 0.5f, 0.5f, 1.0f};
std::array<float, 4> DiffuseLight = {1.0f, 1.0f, 1.0f, 1.0f};
std::array<float, 4> SpecularLight = {1.0f, 1.0f, 1.0f, 1.0f};
std::array<float, 4> LightPosition = {0.0f, 0.0f, 0.0f, 0.0f};

float OffX = 0.0f;
float OffY = 0.0f;

void OpenGL_Init(double Depth, double A, double R, double G, double B) {
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B), static_cast<float>(A));
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(Width) / static_cast<double>(Height), 0.1, Depth);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearDepth(Depth);  // GL clamps it to [0, 1]
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // blending itself stays off
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_AUTO_NORMAL);
  // The meshes send normals that are not of unit length, and plants are
  // drawn scaled.
  glEnable(GL_NORMALIZE);
}

void OpenGL_I2D(double A, double R, double G, double B) {
  const std::int32_t ratio = CheckedDiv(Height, Width, "OpenGL_I2D: Height div Width");
  OffX = static_cast<float>(ratio - 2.05);
  OffY = static_cast<float>(ratio - 1.45);
  glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B), static_cast<float>(A));
  glViewport(0, 0, Width, Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double w = Width;
  glOrtho(-2.0, 2.0, CheckedMul(-2, Height, "OpenGL_I2D: -2*Height") / w,
          CheckedMul(2, Height, "OpenGL_I2D: 2*Height") / w, -2.0, 2.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
}

void SetGLRefractive() {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
}

void SetGLLight(GLenum NLight, float L0, float L1, float L2, float L3) {
  glEnable(GL_LIGHTING);
  glLightfv(NLight, GL_AMBIENT, AmbientLight.data());
  glLightfv(NLight, GL_DIFFUSE, DiffuseLight.data());
  glLightfv(NLight, GL_SPECULAR, SpecularLight.data());
  glEnable(NLight);
  LightPosition = {L0, L1, L2, L3};
  glLightfv(NLight, GL_POSITION, LightPosition.data());
}

void PutGLPointLight(GLenum NLight, float Size, float LX, float LY, float LZ, float LVal) {
  LightPosition = {LX, LY, LZ, LVal};
  glLightfv(NLight, GL_POSITION, LightPosition.data());
  if (Size != 0.0f) {
    // Drawn with whatever colour, material, texture and lighting is current.
    glPointSize(Size);
    glBegin(GL_POINTS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glVertex3f(LX, LY, LZ);
    glEnd();
  }
}

void TwoSideOn() { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1); }

void TwoSideOff() { glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0); }

void SetGLSprite() {
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_GREATER, 0.4f);
}

void SetGLSpriteOff() {
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
}
