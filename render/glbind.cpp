#include "render/glbind.h"

#include <dlfcn.h>
#include <xmmintrin.h>

#include "render/gl.h"

GLDispatchTable GLDispatch{};

namespace {

enum class Lib { GL, GLU };

struct Entry {
  const char* name;
  void** slot;
  Lib lib;
  bool required;
};

const Entry kEntries[] = {
    {"glBegin", reinterpret_cast<void**>(&GLDispatch.glBegin), Lib::GL, true},
    {"glEnd", reinterpret_cast<void**>(&GLDispatch.glEnd), Lib::GL, true},
    {"glVertex2f", reinterpret_cast<void**>(&GLDispatch.glVertex2f), Lib::GL, true},
    {"glVertex3f", reinterpret_cast<void**>(&GLDispatch.glVertex3f), Lib::GL, true},
    {"glNormal3f", reinterpret_cast<void**>(&GLDispatch.glNormal3f), Lib::GL, true},
    {"glTexCoord2f", reinterpret_cast<void**>(&GLDispatch.glTexCoord2f), Lib::GL, true},
    {"glColor3f", reinterpret_cast<void**>(&GLDispatch.glColor3f), Lib::GL, true},
    {"glColor4f", reinterpret_cast<void**>(&GLDispatch.glColor4f), Lib::GL, true},
    {"glMatrixMode", reinterpret_cast<void**>(&GLDispatch.glMatrixMode), Lib::GL, true},
    {"glLoadIdentity", reinterpret_cast<void**>(&GLDispatch.glLoadIdentity), Lib::GL, true},
    {"glLoadMatrixf", reinterpret_cast<void**>(&GLDispatch.glLoadMatrixf), Lib::GL, true},
    {"glMultMatrixf", reinterpret_cast<void**>(&GLDispatch.glMultMatrixf), Lib::GL, true},
    {"glPushMatrix", reinterpret_cast<void**>(&GLDispatch.glPushMatrix), Lib::GL, true},
    {"glPopMatrix", reinterpret_cast<void**>(&GLDispatch.glPopMatrix), Lib::GL, true},
    {"glTranslatef", reinterpret_cast<void**>(&GLDispatch.glTranslatef), Lib::GL, true},
    {"glRotatef", reinterpret_cast<void**>(&GLDispatch.glRotatef), Lib::GL, true},
    {"glScalef", reinterpret_cast<void**>(&GLDispatch.glScalef), Lib::GL, true},
    {"glOrtho", reinterpret_cast<void**>(&GLDispatch.glOrtho), Lib::GL, true},
    {"glFrustum", reinterpret_cast<void**>(&GLDispatch.glFrustum), Lib::GL, true},
    {"glViewport", reinterpret_cast<void**>(&GLDispatch.glViewport), Lib::GL, true},
    {"glGenLists", reinterpret_cast<void**>(&GLDispatch.glGenLists), Lib::GL, true},
    {"glNewList", reinterpret_cast<void**>(&GLDispatch.glNewList), Lib::GL, true},
    {"glEndList", reinterpret_cast<void**>(&GLDispatch.glEndList), Lib::GL, true},
    {"glCallList", reinterpret_cast<void**>(&GLDispatch.glCallList), Lib::GL, true},
    {"glDeleteLists", reinterpret_cast<void**>(&GLDispatch.glDeleteLists), Lib::GL, true},
    {"glIsList", reinterpret_cast<void**>(&GLDispatch.glIsList), Lib::GL, true},
    {"glEnable", reinterpret_cast<void**>(&GLDispatch.glEnable), Lib::GL, true},
    {"glDisable", reinterpret_cast<void**>(&GLDispatch.glDisable), Lib::GL, true},
    {"glIsEnabled", reinterpret_cast<void**>(&GLDispatch.glIsEnabled), Lib::GL, true},
    {"glPushAttrib", reinterpret_cast<void**>(&GLDispatch.glPushAttrib), Lib::GL, true},
    {"glPopAttrib", reinterpret_cast<void**>(&GLDispatch.glPopAttrib), Lib::GL, true},
    {"glLightfv", reinterpret_cast<void**>(&GLDispatch.glLightfv), Lib::GL, true},
    {"glLightf", reinterpret_cast<void**>(&GLDispatch.glLightf), Lib::GL, true},
    {"glLightModeli", reinterpret_cast<void**>(&GLDispatch.glLightModeli), Lib::GL, true},
    {"glLightModelfv", reinterpret_cast<void**>(&GLDispatch.glLightModelfv), Lib::GL, true},
    {"glMaterialfv", reinterpret_cast<void**>(&GLDispatch.glMaterialfv), Lib::GL, true},
    {"glMaterialf", reinterpret_cast<void**>(&GLDispatch.glMaterialf), Lib::GL, true},
    {"glShadeModel", reinterpret_cast<void**>(&GLDispatch.glShadeModel), Lib::GL, true},
    {"glClear", reinterpret_cast<void**>(&GLDispatch.glClear), Lib::GL, true},
    {"glClearColor", reinterpret_cast<void**>(&GLDispatch.glClearColor), Lib::GL, true},
    {"glClearDepth", reinterpret_cast<void**>(&GLDispatch.glClearDepth), Lib::GL, true},
    {"glDepthFunc", reinterpret_cast<void**>(&GLDispatch.glDepthFunc), Lib::GL, true},
    {"glDepthMask", reinterpret_cast<void**>(&GLDispatch.glDepthMask), Lib::GL, true},
    {"glAlphaFunc", reinterpret_cast<void**>(&GLDispatch.glAlphaFunc), Lib::GL, true},
    {"glBlendFunc", reinterpret_cast<void**>(&GLDispatch.glBlendFunc), Lib::GL, true},
    {"glCullFace", reinterpret_cast<void**>(&GLDispatch.glCullFace), Lib::GL, true},
    {"glFrontFace", reinterpret_cast<void**>(&GLDispatch.glFrontFace), Lib::GL, true},
    {"glHint", reinterpret_cast<void**>(&GLDispatch.glHint), Lib::GL, true},
    {"glPointSize", reinterpret_cast<void**>(&GLDispatch.glPointSize), Lib::GL, true},
    {"glPixelStorei", reinterpret_cast<void**>(&GLDispatch.glPixelStorei), Lib::GL, true},
    {"glGenTextures", reinterpret_cast<void**>(&GLDispatch.glGenTextures), Lib::GL, true},
    {"glDeleteTextures", reinterpret_cast<void**>(&GLDispatch.glDeleteTextures), Lib::GL, true},
    {"glBindTexture", reinterpret_cast<void**>(&GLDispatch.glBindTexture), Lib::GL, true},
    {"glTexParameteri", reinterpret_cast<void**>(&GLDispatch.glTexParameteri), Lib::GL, true},
    {"glTexImage2D", reinterpret_cast<void**>(&GLDispatch.glTexImage2D), Lib::GL, true},
    {"glGetFloatv", reinterpret_cast<void**>(&GLDispatch.glGetFloatv), Lib::GL, true},
    {"glGetIntegerv", reinterpret_cast<void**>(&GLDispatch.glGetIntegerv), Lib::GL, true},
    {"glGetDoublev", reinterpret_cast<void**>(&GLDispatch.glGetDoublev), Lib::GL, true},
    {"glGetBooleanv", reinterpret_cast<void**>(&GLDispatch.glGetBooleanv), Lib::GL, true},
    {"glGetString", reinterpret_cast<void**>(&GLDispatch.glGetString), Lib::GL, true},
    {"glGetError", reinterpret_cast<void**>(&GLDispatch.glGetError), Lib::GL, true},
    {"glReadPixels", reinterpret_cast<void**>(&GLDispatch.glReadPixels), Lib::GL, true},
    {"glFinish", reinterpret_cast<void**>(&GLDispatch.glFinish), Lib::GL, true},
    {"glFlush", reinterpret_cast<void**>(&GLDispatch.glFlush), Lib::GL, true},
    {"glEnableClientState", reinterpret_cast<void**>(&GLDispatch.glEnableClientState), Lib::GL, true},
    {"glDisableClientState", reinterpret_cast<void**>(&GLDispatch.glDisableClientState), Lib::GL, true},
    {"glVertexPointer", reinterpret_cast<void**>(&GLDispatch.glVertexPointer), Lib::GL, true},
    {"glNormalPointer", reinterpret_cast<void**>(&GLDispatch.glNormalPointer), Lib::GL, true},
    {"glTexCoordPointer", reinterpret_cast<void**>(&GLDispatch.glTexCoordPointer), Lib::GL, true},
    {"glDrawArrays", reinterpret_cast<void**>(&GLDispatch.glDrawArrays), Lib::GL, true},
    {"glGenBuffers", reinterpret_cast<void**>(&GLDispatch.glGenBuffers), Lib::GL, false},
    {"glDeleteBuffers", reinterpret_cast<void**>(&GLDispatch.glDeleteBuffers), Lib::GL, false},
    {"glBindBuffer", reinterpret_cast<void**>(&GLDispatch.glBindBuffer), Lib::GL, false},
    {"glBufferData", reinterpret_cast<void**>(&GLDispatch.glBufferData), Lib::GL, false},
    {"gluPerspective", reinterpret_cast<void**>(&GLDispatch.gluPerspective), Lib::GLU, true},
    {"gluBuild2DMipmaps", reinterpret_cast<void**>(&GLDispatch.gluBuild2DMipmaps), Lib::GLU, true},};

void* g_gl = nullptr;
void* g_glu = nullptr;

void Close() {
  if (g_glu) dlclose(g_glu);
  if (g_gl) dlclose(g_gl);
  g_glu = nullptr;
  g_gl = nullptr;
  GLDispatch = GLDispatchTable{};
}

}  // namespace

std::string BindGL(const char* glLibrary, const char* gluLibrary) {
  Close();
  const std::string glError = std::string("Could not load OpenGL from ") + glLibrary;
  const std::string gluError = std::string("Could not load GLu from ") + gluLibrary;

  g_gl = dlopen(glLibrary, RTLD_NOW | RTLD_LOCAL);
  if (!g_gl) return glError;
  // Entry points beyond GL 1.1 may only be reachable through the loader.
  using GetProc = void* (*)(const unsigned char*);
  auto getProc = reinterpret_cast<GetProc>(dlsym(g_gl, "glXGetProcAddressARB"));

  for (const Entry& e : kEntries) {
    if (e.lib != Lib::GL) continue;
    void* p = dlsym(g_gl, e.name);
    if (!p && getProc) p = getProc(reinterpret_cast<const unsigned char*>(e.name));
    if (!p && e.required) {
      Close();
      return glError;
    }
    *e.slot = p;
  }

  g_glu = dlopen(gluLibrary, RTLD_NOW | RTLD_LOCAL);
  if (!g_glu) {
    Close();
    return gluError;
  }
  for (const Entry& e : kEntries) {
    if (e.lib != Lib::GLU) continue;
    void* p = dlsym(g_glu, e.name);
    if (!p) {
      Close();
      return gluError;
    }
    *e.slot = p;
  }
  return {};
}

void UnbindGL() { Close(); }

bool GLBound() { return g_gl != nullptr && g_glu != nullptr; }

void MaskFloatingPointExceptions() {
  // x87: all six exceptions masked, 64-bit mantissa, round to nearest.
  unsigned short cw = 0x037F;
  asm volatile("fldcw %0" : : "m"(cw));
  // SSE: all six exception mask bits set, flags cleared.
  _mm_setcsr((_mm_getcsr() | 0x1F80u) & ~0x3Fu);
}
