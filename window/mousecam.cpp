// The mouse camera.
#include "window/mousecam.h"

#include "render/gl.h"
#include "window/wndproc.h"

MouseTranslation My{};

void SetGLMouseMove(std::int32_t XYZ, std::int32_t Speed) {
  MSpeed = Speed;
  switch (XYZ) {
    case GL_M0:
      My = {0, 0, -Depth};
      glTranslatef(0, 0, -Depth);
      glRotatef(XRot, 1, 0, 0);
      glRotatef(YRot, 0, 1, 0);
      break;
    case GL_MX:
      My = {0, -Depth, 0};
      glTranslatef(0, -Depth, 0);
      glRotatef(XRot, 1, 0, 0);
      glRotatef(YRot, 0, 0, 1);
      break;
    case GL_MY:
      My = {-Depth, 0, 0};
      glTranslatef(-Depth, 0, 0);
      glRotatef(XRot, 0, 0, -1);
      glRotatef(YRot, 0, 1, 0);
      break;
    case GL_MZ:
      My = {0, 0, -Depth};
      glTranslatef(0, 0, -Depth);
      glRotatef(XRot, 0, 1, 0);
      glRotatef(YRot, 1, 0, 0);
      break;
    default:
      break;
  }
}
