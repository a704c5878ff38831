// The GL capture: a software implementation of the GL/GLU subset the system
// uses, installed into the same dispatch table as the real libraries. It
// keeps display lists, matrix stacks, attribute stacks, lights, texture
// objects and the rest of the state the system sets, and records what was
// issued, so that everything above it runs without a display: the tests read
// exact call logs and world-space vertices from it, and the export tools
// build the garden through it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "render/gl.h"

// A column-major 4x4 matrix, as GL stores it.
struct CaptureMatrix {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// One GL call as issued by the program. Pointer arguments are expanded into
// their values (glLightfv's floats as many as the parameter has, glLoadMatrixf's
// sixteen, glGenTextures' returned names, at most 15 of them); glGenLists
// logs its range and the first name it returned; glTexImage2D's pixels are
// not logged (see CapturedTextureInfo). Enums and names are logged as their
// numeric values.
struct CapturedCall {
  const char* name = "";          // "glRotatef", "gluPerspective", ...
  std::array<double, 16> args{};  // numeric arguments in declared order
  int argCount = 0;
  GLuint list = 0;                // list the call was recorded into; 0 if not recorded
                                  // (executed directly, or a call GL never compiles)
  double arg(int i) const { return args[static_cast<std::size_t>(i)]; }
};

// A vertex emitted while executing (not while compiling): position and
// normal transformed by the model-view matrix in force (normal by its
// inverse transpose, not renormalised), with the current attributes.
struct CapturedVertex {
  float x = 0, y = 0, z = 0;
  float nx = 0, ny = 0, nz = 1;
  float s = 0, t = 0;
  float r = 1, g = 1, b = 1, a = 1;
};

// A glBegin/glEnd pair executed, with the state in force at its glBegin.
struct CapturedPrimitive {
  GLenum mode = GL_POINTS;
  std::size_t first = 0;     // index into CapturedVertices()
  std::size_t count = 0;     // vertices between glBegin and glEnd
  GLuint texture = 0;        // bound GL_TEXTURE_2D name
  bool texture2D = false;    // GL_TEXTURE_2D enabled
  bool lighting = false;
  bool twoSide = false;      // GL_LIGHT_MODEL_TWO_SIDE
  bool alphaTest = false;
  GLenum alphaFunc = GL_ALWAYS;
  float alphaRef = 0;
  bool cullFace = false;
  GLuint list = 0;           // innermost list being executed; 0 if issued directly
  float pointSize = 1;
  // Front material at glBegin (what lighting colours the primitive with).
  std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1};
  std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1};
};

struct CapturedLight {
  bool enabled = false;
  std::array<float, 4> ambient{0, 0, 0, 1};
  std::array<float, 4> diffuse{0, 0, 0, 1};   // light 0 defaults to (1,1,1,1)
  std::array<float, 4> specular{0, 0, 0, 1};  // light 0 defaults to (1,1,1,1)
  std::array<float, 4> position{0, 0, 1, 0};  // eye coordinates, as GL stores it
  std::array<float, 3> spotDirection{0, 0, -1};  // eye coordinates
  float spotExponent = 0, spotCutoff = 180;
  float constantAttenuation = 1, linearAttenuation = 0, quadraticAttenuation = 0;
};

struct CapturedMaterial {
  std::array<float, 4> ambient{0.2f, 0.2f, 0.2f, 1};
  std::array<float, 4> diffuse{0.8f, 0.8f, 0.8f, 1};
  std::array<float, 4> specular{0, 0, 0, 1};
  std::array<float, 4> emission{0, 0, 0, 1};
  float shininess = 0;
};

struct CapturedTexture {
  GLsizei width = 0, height = 0;
  GLint internalFormat = 0;
  GLenum format = 0, type = 0;
  std::vector<std::uint8_t> pixels;   // level 0, rows packed without the unpack padding
  std::map<GLenum, GLint> params;     // glTexParameteri values
  bool hasImage = false;
  bool mipmaps = false;               // built by gluBuild2DMipmaps
  int levels = 0;                     // image levels defined
  std::uint32_t definedLevels = 0;    // bit n set when level n holds an image
};

// Installs the capture into GLDispatch with a fresh state (list and texture
// names start at 1, identity matrices, GL's initial state, empty logs,
// logging and geometry on).
void InstallGLCapture();
// Fresh state, without touching the dispatch table.
void ResetGLCapture();
bool GLCaptureInstalled();

// Call log, in order. Logging can be turned off for speed (tools).
const std::vector<CapturedCall>& CaptureLog();
void ClearCaptureLog();
void SetCaptureLogging(bool on);

// Geometry emitted by executed glBegin/glEnd pairs.
const std::vector<CapturedVertex>& CapturedVertices();
const std::vector<CapturedPrimitive>& CapturedPrimitives();
// Triangles GL draws for `count` vertices of a glBegin mode (0 for points
// and lines).
std::uint64_t TrianglesFor(GLenum mode, std::size_t count);
void ClearCapturedGeometry();
void SetCaptureGeometry(bool on);  // off: count only
// Vertices and primitives emitted since the last clear, counted whether or
// not the geometry is kept.
std::uint64_t CapturedVertexCount();
std::uint64_t CapturedPrimitiveCount();

// Display lists.
bool CapturedListExists(GLuint list);
// The calls recorded into `list`, empty if unknown. A glDrawArrays compiled
// into a list appears as the glBegin, glNormal3f, glTexCoord2f, glVertex3f
// and glEnd calls it stands for (GL reads the arrays at compile time).
const std::vector<CapturedCall>& CapturedListCalls(GLuint list);
std::uint64_t CapturedListExecutions(GLuint list);  // times executed (nested calls included)
void ClearListExecutions();
// Loads `modelView` into the model-view matrix, clears the emitted geometry
// and executes `list` once (the matrix stack is left as the list leaves it).
void ExecuteCapturedList(GLuint list, const CaptureMatrix& modelView = CaptureMatrix{});

// State.
CaptureMatrix CapturedMatrix(GLenum mode);  // GL_MODELVIEW or GL_PROJECTION, top of stack
int CapturedStackDepth(GLenum mode);        // 1 when nothing is pushed
int CapturedAttribStackDepth();
CapturedLight CapturedLightState(int index);  // 0..7 (others: GL's defaults)
CapturedMaterial CapturedMaterialState(GLenum face);  // GL_FRONT or GL_BACK
bool CapturedIsEnabled(GLenum cap);
GLuint CapturedCompilingList();  // 0 when no list is open
// The last GL error raised and not yet read through glGetError (misuse is
// ignored as GL ignores it: stack overflow, glEnd without glBegin, ...).
GLenum CapturedError();
const CapturedTexture* CapturedTextureInfo(GLuint name);  // nullptr if never bound or generated
GLuint CapturedBoundTexture();

struct CapturedStateSnapshot {
  std::array<float, 4> clearColor{0, 0, 0, 0};
  double clearDepth = 1;
  std::array<int, 4> viewport{0, 0, 0, 0};
  GLenum matrixMode = GL_MODELVIEW;
  GLenum depthFunc = GL_LESS;
  bool depthMask = true;
  GLenum alphaFunc = GL_ALWAYS;
  float alphaRef = 0;
  GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
  GLenum cullFaceMode = GL_BACK, frontFace = GL_CCW;
  GLenum shadeModel = GL_SMOOTH;
  bool lightModelTwoSide = false, lightModelLocalViewer = false;
  std::array<float, 4> lightModelAmbient{0.2f, 0.2f, 0.2f, 1};
  float pointSize = 1;
  std::array<float, 4> color{1, 1, 1, 1};
  std::array<float, 3> normal{0, 0, 1};
  std::array<float, 2> texCoord{0, 0};
  std::map<GLenum, GLenum> hints;
  std::map<GLenum, GLint> pixelStore;
};
CapturedStateSnapshot CapturedState();
