// One frame of the garden.
#include "app/frame.h"

#include "render/geometry.h"
#include "render/glstate.h"
#include "textures/bmp_texture.h"
#include "window/mousecam.h"

GLuint Cespuglio = 0;
GLuint Fico = 0;
GLuint Palma1 = 0;
GLuint Pino = 0;
GLuint Dracena = 0;
GLuint Mangrovia = 0;
GLuint Erba = 0;
std::array<GLuint, 3> Canna{};

namespace {

constexpr double kFarPlane = 100.0;

// Where each plant stands in the garden; scale 0 means drawn unscaled.
struct Placement {
  const GLuint* list;
  float x, y, z;
  float scale;
};

const std::array<Placement, 10> kGarden = {{
    {&Cespuglio, -2, 0, 5, 1.4f},
    {&Fico, 0, 0, 1, 2},
    {&Palma1, 5, 0, 1, 2},
    {&Pino, -5, 0, -5, 2},
    {&Dracena, 2, 0, -5, 3},
    {&Mangrovia, -5, 0, 2, 1.6f},
    {&Canna[0], 5, 0, 5, 0},
    {&Canna[1], 3.5f, 0, 4, 0},
    {&Canna[2], 6, 0, 3, 0},
    {&Erba, 0, 0, 0, 0},
}};

}  // namespace

void OpenGL_Draw2D() {
  OpenGL_I2D(0.0, 0.0, 0.0, 0.0);
  OpenGL_Init(kFarPlane, 0.0, 0.0, 0.0, 0.0);
}

void OpenGL_Mouse2D() {}

void OpenGL_Keyboard() {}

void Quad(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3, float X4,
          float Y4, float Z4, float TU, float TV) {
  TwoSideOn();
  glDisable(GL_CULL_FACE);
  glBegin(GL_QUADS);
  FindNormal(X2, Y2, Z2, X1, Y1, Z1, X3, Y3, Z3);
  glNormal3f(static_cast<float>(FNormal[1]), static_cast<float>(FNormal[2]), static_cast<float>(FNormal[3]));
  LineFree(TU, -TV, 0, -TV, X2, Y2, Z2, X1, Y1, Z1, true);
  LineFree(0, 0, TU, 0, X3, Y3, Z3, X4, Y4, Z4, true);
  glEnd();
  glEnable(GL_CULL_FACE);
  TwoSideOff();
}

void OpenGL_Draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  OpenGL_Draw2D();
  OpenGL_Mouse2D();
  OpenGL_Keyboard();

  // The fixed view: back 20 and down 1, looking down on the garden by 30°.
  glTranslatef(0, -1, -20);
  glRotatef(30, 1, 0, 0);
  SetGLMouseMove(GL_M0, 2);
  // Placed after the camera, the light stays fixed in the garden.
  PutGLPointLight(GL_LIGHT0, 0, -10, 10, 0, 0.1f);

  // The ground: the grass texture on a 14 x 14 square at y = 0, repeated
  // 5 times each way.
  TextureSelectID(0);
  Quad(-7, 0, -7, 7, 0, -7, -7, 0, 7, 7, 0, 7, 5, 5);

  for (const Placement& p : kGarden) {
    glPushMatrix();
    glTranslatef(p.x, p.y, p.z);
    if (p.scale != 0) glScalef(p.scale, p.scale, p.scale);
    glCallList(*p.list);
    glPopMatrix();
  }
}
