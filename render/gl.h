// The project's GL header. GL and GLU are loaded at run time (glbind.h) or
// replaced by the software capture (glcapture.h); both fill one dispatch
// table, and the inline functions below keep GL's own names at call sites.
// Never include the system's GL headers next to this one.
#pragma once

#include <cstddef>
#include <cstdint>

using GLenum = unsigned int;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLbyte = signed char;
using GLshort = short;
using GLint = int;
using GLsizei = int;
using GLubyte = unsigned char;
using GLushort = unsigned short;
using GLuint = unsigned int;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;
using GLclampd = double;
using GLvoid = void;
using GLsizeiptr = std::ptrdiff_t;

// Boolean values
constexpr GLboolean GL_FALSE = 0;
constexpr GLboolean GL_TRUE = 1;

// Primitives
constexpr GLenum GL_POINTS = 0x0000;
constexpr GLenum GL_LINES = 0x0001;
constexpr GLenum GL_LINE_LOOP = 0x0002;
constexpr GLenum GL_LINE_STRIP = 0x0003;
constexpr GLenum GL_TRIANGLES = 0x0004;
constexpr GLenum GL_TRIANGLE_STRIP = 0x0005;
constexpr GLenum GL_TRIANGLE_FAN = 0x0006;
constexpr GLenum GL_QUADS = 0x0007;
constexpr GLenum GL_QUAD_STRIP = 0x0008;
constexpr GLenum GL_POLYGON = 0x0009;

// Matrix modes
constexpr GLenum GL_MODELVIEW = 0x1700;
constexpr GLenum GL_PROJECTION = 0x1701;
constexpr GLenum GL_TEXTURE = 0x1702;

// Display lists
constexpr GLenum GL_COMPILE = 0x1300;
constexpr GLenum GL_COMPILE_AND_EXECUTE = 0x1301;

// Capabilities
constexpr GLenum GL_POINT_SMOOTH = 0x0B10;
constexpr GLenum GL_LINE_SMOOTH = 0x0B20;
constexpr GLenum GL_POLYGON_SMOOTH = 0x0B41;
constexpr GLenum GL_CULL_FACE = 0x0B44;
constexpr GLenum GL_LIGHTING = 0x0B50;
constexpr GLenum GL_COLOR_MATERIAL = 0x0B57;
constexpr GLenum GL_FOG = 0x0B60;
constexpr GLenum GL_DEPTH_TEST = 0x0B71;
constexpr GLenum GL_NORMALIZE = 0x0BA1;
constexpr GLenum GL_ALPHA_TEST = 0x0BC0;
constexpr GLenum GL_BLEND = 0x0BE2;
constexpr GLenum GL_SCISSOR_TEST = 0x0C11;
constexpr GLenum GL_AUTO_NORMAL = 0x0D80;
constexpr GLenum GL_TEXTURE_2D = 0x0DE1;
constexpr GLenum GL_LIGHT0 = 0x4000;
constexpr GLenum GL_LIGHT1 = 0x4001;
constexpr GLenum GL_LIGHT2 = 0x4002;
constexpr GLenum GL_LIGHT3 = 0x4003;
constexpr GLenum GL_LIGHT4 = 0x4004;
constexpr GLenum GL_LIGHT5 = 0x4005;
constexpr GLenum GL_LIGHT6 = 0x4006;
constexpr GLenum GL_LIGHT7 = 0x4007;
constexpr GLenum GL_VERTEX_ARRAY = 0x8074;
constexpr GLenum GL_NORMAL_ARRAY = 0x8075;
constexpr GLenum GL_COLOR_ARRAY = 0x8076;
constexpr GLenum GL_TEXTURE_COORD_ARRAY = 0x8078;

// Comparison functions
constexpr GLenum GL_NEVER = 0x0200;
constexpr GLenum GL_LESS = 0x0201;
constexpr GLenum GL_EQUAL = 0x0202;
constexpr GLenum GL_LEQUAL = 0x0203;
constexpr GLenum GL_GREATER = 0x0204;
constexpr GLenum GL_NOTEQUAL = 0x0205;
constexpr GLenum GL_GEQUAL = 0x0206;
constexpr GLenum GL_ALWAYS = 0x0207;

// Blending factors
constexpr GLenum GL_ZERO = 0;
constexpr GLenum GL_ONE = 1;
constexpr GLenum GL_SRC_COLOR = 0x0300;
constexpr GLenum GL_ONE_MINUS_SRC_COLOR = 0x0301;
constexpr GLenum GL_SRC_ALPHA = 0x0302;
constexpr GLenum GL_ONE_MINUS_SRC_ALPHA = 0x0303;
constexpr GLenum GL_DST_ALPHA = 0x0304;
constexpr GLenum GL_ONE_MINUS_DST_ALPHA = 0x0305;

// Faces and winding
constexpr GLenum GL_FRONT = 0x0404;
constexpr GLenum GL_BACK = 0x0405;
constexpr GLenum GL_FRONT_AND_BACK = 0x0408;
constexpr GLenum GL_CW = 0x0900;
constexpr GLenum GL_CCW = 0x0901;

// Lights, materials, light model, shading
constexpr GLenum GL_AMBIENT = 0x1200;
constexpr GLenum GL_DIFFUSE = 0x1201;
constexpr GLenum GL_SPECULAR = 0x1202;
constexpr GLenum GL_POSITION = 0x1203;
constexpr GLenum GL_SPOT_DIRECTION = 0x1204;
constexpr GLenum GL_SPOT_EXPONENT = 0x1205;
constexpr GLenum GL_SPOT_CUTOFF = 0x1206;
constexpr GLenum GL_CONSTANT_ATTENUATION = 0x1207;
constexpr GLenum GL_LINEAR_ATTENUATION = 0x1208;
constexpr GLenum GL_QUADRATIC_ATTENUATION = 0x1209;
constexpr GLenum GL_EMISSION = 0x1600;
constexpr GLenum GL_SHININESS = 0x1601;
constexpr GLenum GL_AMBIENT_AND_DIFFUSE = 0x1602;
constexpr GLenum GL_LIGHT_MODEL_LOCAL_VIEWER = 0x0B51;
constexpr GLenum GL_LIGHT_MODEL_TWO_SIDE = 0x0B52;
constexpr GLenum GL_LIGHT_MODEL_AMBIENT = 0x0B53;
constexpr GLenum GL_FLAT = 0x1D00;
constexpr GLenum GL_SMOOTH = 0x1D01;

// Hints
constexpr GLenum GL_PERSPECTIVE_CORRECTION_HINT = 0x0C50;
constexpr GLenum GL_POINT_SMOOTH_HINT = 0x0C51;
constexpr GLenum GL_LINE_SMOOTH_HINT = 0x0C52;
constexpr GLenum GL_POLYGON_SMOOTH_HINT = 0x0C53;
constexpr GLenum GL_FOG_HINT = 0x0C54;
constexpr GLenum GL_DONT_CARE = 0x1100;
constexpr GLenum GL_FASTEST = 0x1101;
constexpr GLenum GL_NICEST = 0x1102;

// Attribute and clear bits
constexpr GLbitfield GL_CURRENT_BIT = 0x00000001;
constexpr GLbitfield GL_POINT_BIT = 0x00000002;
constexpr GLbitfield GL_LINE_BIT = 0x00000004;
constexpr GLbitfield GL_POLYGON_BIT = 0x00000008;
constexpr GLbitfield GL_POLYGON_STIPPLE_BIT = 0x00000010;
constexpr GLbitfield GL_PIXEL_MODE_BIT = 0x00000020;
constexpr GLbitfield GL_LIGHTING_BIT = 0x00000040;
constexpr GLbitfield GL_FOG_BIT = 0x00000080;
constexpr GLbitfield GL_DEPTH_BUFFER_BIT = 0x00000100;
constexpr GLbitfield GL_ACCUM_BUFFER_BIT = 0x00000200;
constexpr GLbitfield GL_STENCIL_BUFFER_BIT = 0x00000400;
constexpr GLbitfield GL_VIEWPORT_BIT = 0x00000800;
constexpr GLbitfield GL_TRANSFORM_BIT = 0x00001000;
constexpr GLbitfield GL_ENABLE_BIT = 0x00002000;
constexpr GLbitfield GL_COLOR_BUFFER_BIT = 0x00004000;
constexpr GLbitfield GL_HINT_BIT = 0x00008000;
constexpr GLbitfield GL_EVAL_BIT = 0x00010000;
constexpr GLbitfield GL_LIST_BIT = 0x00020000;
constexpr GLbitfield GL_TEXTURE_BIT = 0x00040000;
constexpr GLbitfield GL_SCISSOR_BIT = 0x00080000;
constexpr GLbitfield GL_ALL_ATTRIB_BITS = 0x000FFFFF;

// Textures
constexpr GLenum GL_TEXTURE_MAG_FILTER = 0x2800;
constexpr GLenum GL_TEXTURE_MIN_FILTER = 0x2801;
constexpr GLenum GL_TEXTURE_WRAP_S = 0x2802;
constexpr GLenum GL_TEXTURE_WRAP_T = 0x2803;
constexpr GLenum GL_NEAREST = 0x2600;
constexpr GLenum GL_LINEAR = 0x2601;
constexpr GLenum GL_NEAREST_MIPMAP_NEAREST = 0x2700;
constexpr GLenum GL_LINEAR_MIPMAP_NEAREST = 0x2701;
constexpr GLenum GL_NEAREST_MIPMAP_LINEAR = 0x2702;
constexpr GLenum GL_LINEAR_MIPMAP_LINEAR = 0x2703;
constexpr GLenum GL_CLAMP = 0x2900;
constexpr GLenum GL_REPEAT = 0x2901;
constexpr GLenum GL_CLAMP_TO_EDGE = 0x812F;
constexpr GLenum GL_TEXTURE_BINDING_2D = 0x8069;

// Pixel formats and types
constexpr GLenum GL_ALPHA = 0x1906;
constexpr GLenum GL_RGB = 0x1907;
constexpr GLenum GL_RGBA = 0x1908;
constexpr GLenum GL_LUMINANCE = 0x1909;
constexpr GLenum GL_LUMINANCE_ALPHA = 0x190A;
constexpr GLenum GL_RGB8 = 0x8051;
constexpr GLenum GL_RGBA8 = 0x8058;
constexpr GLenum GL_BGR = 0x80E0;
constexpr GLenum GL_BGRA = 0x80E1;
constexpr GLenum GL_BYTE = 0x1400;
constexpr GLenum GL_UNSIGNED_BYTE = 0x1401;
constexpr GLenum GL_SHORT = 0x1402;
constexpr GLenum GL_UNSIGNED_SHORT = 0x1403;
constexpr GLenum GL_INT = 0x1404;
constexpr GLenum GL_UNSIGNED_INT = 0x1405;
constexpr GLenum GL_FLOAT = 0x1406;
constexpr GLenum GL_DOUBLE = 0x140A;

// Pixel storage
constexpr GLenum GL_UNPACK_SWAP_BYTES = 0x0CF0;
constexpr GLenum GL_UNPACK_LSB_FIRST = 0x0CF1;
constexpr GLenum GL_UNPACK_ROW_LENGTH = 0x0CF2;
constexpr GLenum GL_UNPACK_SKIP_ROWS = 0x0CF3;
constexpr GLenum GL_UNPACK_SKIP_PIXELS = 0x0CF4;
constexpr GLenum GL_UNPACK_ALIGNMENT = 0x0CF5;
constexpr GLenum GL_PACK_ROW_LENGTH = 0x0D02;
constexpr GLenum GL_PACK_ALIGNMENT = 0x0D05;

// State queries
constexpr GLenum GL_CURRENT_COLOR = 0x0B00;
constexpr GLenum GL_CURRENT_NORMAL = 0x0B02;
constexpr GLenum GL_CURRENT_TEXTURE_COORDS = 0x0B03;
constexpr GLenum GL_POINT_SIZE = 0x0B11;
constexpr GLenum GL_LIST_MODE = 0x0B30;
constexpr GLenum GL_LIST_INDEX = 0x0B33;
constexpr GLenum GL_CULL_FACE_MODE = 0x0B45;
constexpr GLenum GL_FRONT_FACE = 0x0B46;
constexpr GLenum GL_SHADE_MODEL = 0x0B54;
constexpr GLenum GL_DEPTH_WRITEMASK = 0x0B72;
constexpr GLenum GL_DEPTH_CLEAR_VALUE = 0x0B73;
constexpr GLenum GL_DEPTH_FUNC = 0x0B74;
constexpr GLenum GL_MATRIX_MODE = 0x0BA0;
constexpr GLenum GL_VIEWPORT = 0x0BA2;
constexpr GLenum GL_MODELVIEW_STACK_DEPTH = 0x0BA3;
constexpr GLenum GL_PROJECTION_STACK_DEPTH = 0x0BA4;
constexpr GLenum GL_MODELVIEW_MATRIX = 0x0BA6;
constexpr GLenum GL_PROJECTION_MATRIX = 0x0BA7;
constexpr GLenum GL_ATTRIB_STACK_DEPTH = 0x0BB0;
constexpr GLenum GL_ALPHA_TEST_FUNC = 0x0BC1;
constexpr GLenum GL_ALPHA_TEST_REF = 0x0BC2;
constexpr GLenum GL_BLEND_DST = 0x0BE0;
constexpr GLenum GL_BLEND_SRC = 0x0BE1;
constexpr GLenum GL_COLOR_CLEAR_VALUE = 0x0C22;
constexpr GLenum GL_MAX_TEXTURE_SIZE = 0x0D33;

// Strings and errors
constexpr GLenum GL_VENDOR = 0x1F00;
constexpr GLenum GL_RENDERER = 0x1F01;
constexpr GLenum GL_VERSION = 0x1F02;
constexpr GLenum GL_EXTENSIONS = 0x1F03;
constexpr GLenum GL_NO_ERROR = 0;
constexpr GLenum GL_INVALID_ENUM = 0x0500;
constexpr GLenum GL_INVALID_VALUE = 0x0501;
constexpr GLenum GL_INVALID_OPERATION = 0x0502;
constexpr GLenum GL_STACK_OVERFLOW = 0x0503;
constexpr GLenum GL_STACK_UNDERFLOW = 0x0504;
constexpr GLenum GL_OUT_OF_MEMORY = 0x0505;

// Buffer objects
constexpr GLenum GL_ARRAY_BUFFER = 0x8892;
constexpr GLenum GL_ELEMENT_ARRAY_BUFFER = 0x8893;
constexpr GLenum GL_STATIC_DRAW = 0x88E4;

// One pointer per entry point the system uses. A null pointer means the
// entry is not bound; only the buffer-object entries may stay null.
struct GLDispatchTable {
  void (*glBegin)(GLenum);
  void (*glEnd)();
  void (*glVertex2f)(GLfloat, GLfloat);
  void (*glVertex3f)(GLfloat, GLfloat, GLfloat);
  void (*glNormal3f)(GLfloat, GLfloat, GLfloat);
  void (*glTexCoord2f)(GLfloat, GLfloat);
  void (*glColor3f)(GLfloat, GLfloat, GLfloat);
  void (*glColor4f)(GLfloat, GLfloat, GLfloat, GLfloat);
  void (*glMatrixMode)(GLenum);
  void (*glLoadIdentity)();
  void (*glLoadMatrixf)(const GLfloat*);
  void (*glMultMatrixf)(const GLfloat*);
  void (*glPushMatrix)();
  void (*glPopMatrix)();
  void (*glTranslatef)(GLfloat, GLfloat, GLfloat);
  void (*glRotatef)(GLfloat, GLfloat, GLfloat, GLfloat);
  void (*glScalef)(GLfloat, GLfloat, GLfloat);
  void (*glOrtho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
  void (*glFrustum)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
  void (*glViewport)(GLint, GLint, GLsizei, GLsizei);
  GLuint (*glGenLists)(GLsizei);
  void (*glNewList)(GLuint, GLenum);
  void (*glEndList)();
  void (*glCallList)(GLuint);
  void (*glDeleteLists)(GLuint, GLsizei);
  GLboolean (*glIsList)(GLuint);
  void (*glEnable)(GLenum);
  void (*glDisable)(GLenum);
  GLboolean (*glIsEnabled)(GLenum);
  void (*glPushAttrib)(GLbitfield);
  void (*glPopAttrib)();
  void (*glLightfv)(GLenum, GLenum, const GLfloat*);
  void (*glLightf)(GLenum, GLenum, GLfloat);
  void (*glLightModeli)(GLenum, GLint);
  void (*glLightModelfv)(GLenum, const GLfloat*);
  void (*glMaterialfv)(GLenum, GLenum, const GLfloat*);
  void (*glMaterialf)(GLenum, GLenum, GLfloat);
  void (*glShadeModel)(GLenum);
  void (*glClear)(GLbitfield);
  void (*glClearColor)(GLclampf, GLclampf, GLclampf, GLclampf);
  void (*glClearDepth)(GLclampd);
  void (*glDepthFunc)(GLenum);
  void (*glDepthMask)(GLboolean);
  void (*glAlphaFunc)(GLenum, GLclampf);
  void (*glBlendFunc)(GLenum, GLenum);
  void (*glCullFace)(GLenum);
  void (*glFrontFace)(GLenum);
  void (*glHint)(GLenum, GLenum);
  void (*glPointSize)(GLfloat);
  void (*glPixelStorei)(GLenum, GLint);
  void (*glGenTextures)(GLsizei, GLuint*);
  void (*glDeleteTextures)(GLsizei, const GLuint*);
  void (*glBindTexture)(GLenum, GLuint);
  void (*glTexParameteri)(GLenum, GLenum, GLint);
  void (*glTexImage2D)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid*);
  void (*glGetFloatv)(GLenum, GLfloat*);
  void (*glGetIntegerv)(GLenum, GLint*);
  void (*glGetDoublev)(GLenum, GLdouble*);
  void (*glGetBooleanv)(GLenum, GLboolean*);
  const GLubyte* (*glGetString)(GLenum);
  GLenum (*glGetError)();
  void (*glReadPixels)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid*);
  void (*glFinish)();
  void (*glFlush)();
  void (*glEnableClientState)(GLenum);
  void (*glDisableClientState)(GLenum);
  void (*glVertexPointer)(GLint, GLenum, GLsizei, const GLvoid*);
  void (*glNormalPointer)(GLenum, GLsizei, const GLvoid*);
  void (*glTexCoordPointer)(GLint, GLenum, GLsizei, const GLvoid*);
  void (*glDrawArrays)(GLenum, GLint, GLsizei);
  // GL 1.5 buffer objects: optional, bound when the driver offers them.
  void (*glGenBuffers)(GLsizei, GLuint*);
  void (*glDeleteBuffers)(GLsizei, const GLuint*);
  void (*glBindBuffer)(GLenum, GLuint);
  void (*glBufferData)(GLenum, GLsizeiptr, const GLvoid*, GLenum);
  // GLU
  void (*gluPerspective)(GLdouble, GLdouble, GLdouble, GLdouble);
  GLint (*gluBuild2DMipmaps)(GLenum, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*);};

// The table every GL call goes through.
extern GLDispatchTable GLDispatch;

// GL's names, forwarding to the table.
inline void glBegin(GLenum mode) { GLDispatch.glBegin(mode); }
inline void glEnd() { GLDispatch.glEnd(); }
inline void glVertex2f(GLfloat x, GLfloat y) { GLDispatch.glVertex2f(x, y); }
inline void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { GLDispatch.glVertex3f(x, y, z); }
inline void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz) { GLDispatch.glNormal3f(nx, ny, nz); }
inline void glTexCoord2f(GLfloat s, GLfloat t) { GLDispatch.glTexCoord2f(s, t); }
inline void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { GLDispatch.glColor3f(red, green, blue); }
inline void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) { GLDispatch.glColor4f(red, green, blue, alpha); }
inline void glMatrixMode(GLenum mode) { GLDispatch.glMatrixMode(mode); }
inline void glLoadIdentity() { GLDispatch.glLoadIdentity(); }
inline void glLoadMatrixf(const GLfloat* m) { GLDispatch.glLoadMatrixf(m); }
inline void glMultMatrixf(const GLfloat* m) { GLDispatch.glMultMatrixf(m); }
inline void glPushMatrix() { GLDispatch.glPushMatrix(); }
inline void glPopMatrix() { GLDispatch.glPopMatrix(); }
inline void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { GLDispatch.glTranslatef(x, y, z); }
inline void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { GLDispatch.glRotatef(angle, x, y, z); }
inline void glScalef(GLfloat x, GLfloat y, GLfloat z) { GLDispatch.glScalef(x, y, z); }
inline void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) { GLDispatch.glOrtho(left, right, bottom, top, zNear, zFar); }
inline void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar) { GLDispatch.glFrustum(left, right, bottom, top, zNear, zFar); }
inline void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) { GLDispatch.glViewport(x, y, width, height); }
inline GLuint glGenLists(GLsizei range) { return GLDispatch.glGenLists(range); }
inline void glNewList(GLuint list, GLenum mode) { GLDispatch.glNewList(list, mode); }
inline void glEndList() { GLDispatch.glEndList(); }
inline void glCallList(GLuint list) { GLDispatch.glCallList(list); }
inline void glDeleteLists(GLuint list, GLsizei range) { GLDispatch.glDeleteLists(list, range); }
inline GLboolean glIsList(GLuint list) { return GLDispatch.glIsList(list); }
inline void glEnable(GLenum cap) { GLDispatch.glEnable(cap); }
inline void glDisable(GLenum cap) { GLDispatch.glDisable(cap); }
inline GLboolean glIsEnabled(GLenum cap) { return GLDispatch.glIsEnabled(cap); }
inline void glPushAttrib(GLbitfield mask) { GLDispatch.glPushAttrib(mask); }
inline void glPopAttrib() { GLDispatch.glPopAttrib(); }
inline void glLightfv(GLenum light, GLenum pname, const GLfloat* params) { GLDispatch.glLightfv(light, pname, params); }
inline void glLightf(GLenum light, GLenum pname, GLfloat param) { GLDispatch.glLightf(light, pname, param); }
inline void glLightModeli(GLenum pname, GLint param) { GLDispatch.glLightModeli(pname, param); }
inline void glLightModelfv(GLenum pname, const GLfloat* params) { GLDispatch.glLightModelfv(pname, params); }
inline void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) { GLDispatch.glMaterialfv(face, pname, params); }
inline void glMaterialf(GLenum face, GLenum pname, GLfloat param) { GLDispatch.glMaterialf(face, pname, param); }
inline void glShadeModel(GLenum mode) { GLDispatch.glShadeModel(mode); }
inline void glClear(GLbitfield mask) { GLDispatch.glClear(mask); }
inline void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) { GLDispatch.glClearColor(red, green, blue, alpha); }
inline void glClearDepth(GLclampd depth) { GLDispatch.glClearDepth(depth); }
inline void glDepthFunc(GLenum func) { GLDispatch.glDepthFunc(func); }
inline void glDepthMask(GLboolean flag) { GLDispatch.glDepthMask(flag); }
inline void glAlphaFunc(GLenum func, GLclampf ref) { GLDispatch.glAlphaFunc(func, ref); }
inline void glBlendFunc(GLenum sfactor, GLenum dfactor) { GLDispatch.glBlendFunc(sfactor, dfactor); }
inline void glCullFace(GLenum mode) { GLDispatch.glCullFace(mode); }
inline void glFrontFace(GLenum mode) { GLDispatch.glFrontFace(mode); }
inline void glHint(GLenum target, GLenum mode) { GLDispatch.glHint(target, mode); }
inline void glPointSize(GLfloat size) { GLDispatch.glPointSize(size); }
inline void glPixelStorei(GLenum pname, GLint param) { GLDispatch.glPixelStorei(pname, param); }
inline void glGenTextures(GLsizei n, GLuint* textures) { GLDispatch.glGenTextures(n, textures); }
inline void glDeleteTextures(GLsizei n, const GLuint* textures) { GLDispatch.glDeleteTextures(n, textures); }
inline void glBindTexture(GLenum target, GLuint texture) { GLDispatch.glBindTexture(target, texture); }
inline void glTexParameteri(GLenum target, GLenum pname, GLint param) { GLDispatch.glTexParameteri(target, pname, param); }
inline void glTexImage2D(GLenum target, GLint level, GLint internalformat, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels) { GLDispatch.glTexImage2D(target, level, internalformat, width, height, border, format, type, pixels); }
inline void glGetFloatv(GLenum pname, GLfloat* params) { GLDispatch.glGetFloatv(pname, params); }
inline void glGetIntegerv(GLenum pname, GLint* params) { GLDispatch.glGetIntegerv(pname, params); }
inline void glGetDoublev(GLenum pname, GLdouble* params) { GLDispatch.glGetDoublev(pname, params); }
inline void glGetBooleanv(GLenum pname, GLboolean* params) { GLDispatch.glGetBooleanv(pname, params); }
inline const GLubyte* glGetString(GLenum name) { return GLDispatch.glGetString(name); }
inline GLenum glGetError() { return GLDispatch.glGetError(); }
inline void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels) { GLDispatch.glReadPixels(x, y, width, height, format, type, pixels); }
inline void glFinish() { GLDispatch.glFinish(); }
inline void glFlush() { GLDispatch.glFlush(); }
inline void glEnableClientState(GLenum array) { GLDispatch.glEnableClientState(array); }
inline void glDisableClientState(GLenum array) { GLDispatch.glDisableClientState(array); }
inline void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) { GLDispatch.glVertexPointer(size, type, stride, pointer); }
inline void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer) { GLDispatch.glNormalPointer(type, stride, pointer); }
inline void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) { GLDispatch.glTexCoordPointer(size, type, stride, pointer); }
inline void glDrawArrays(GLenum mode, GLint first, GLsizei count) { GLDispatch.glDrawArrays(mode, first, count); }
inline void glGenBuffers(GLsizei n, GLuint* buffers) { GLDispatch.glGenBuffers(n, buffers); }
inline void glDeleteBuffers(GLsizei n, const GLuint* buffers) { GLDispatch.glDeleteBuffers(n, buffers); }
inline void glBindBuffer(GLenum target, GLuint buffer) { GLDispatch.glBindBuffer(target, buffer); }
inline void glBufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage) { GLDispatch.glBufferData(target, size, data, usage); }
inline void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) { GLDispatch.gluPerspective(fovy, aspect, zNear, zFar); }
inline GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type, const void* data) { return GLDispatch.gluBuild2DMipmaps(target, internalFormat, width, height, format, type, data); }