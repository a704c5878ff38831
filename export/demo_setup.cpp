#include "export/demo_setup.h"

#include "render/glstate.h"

void SetUpGardenGL(std::int32_t width, std::int32_t height) {
  Width = width;
  Height = height;
  OpenGL_Init(100.0, 0.0, 0.0, 0.0, 0.0);
  SetGLRefractive();
  SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
}
