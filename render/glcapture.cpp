// The GL capture. Every entry point of the dispatch table goes through one
// path: the call is logged as issued, recorded into the open display list
// when GL would compile it, and executed unless the list is compiled only.
// Display lists store compact commands (an opcode plus its numeric
// arguments), and replaying a list runs the same executor as a direct call.

#include "render/glcapture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <unordered_map>

#include "render/capture_math.h"

namespace {

// ---------------------------------------------------------------------------
// Opcodes, one per entry point, with the names the log shows.

enum class Op : std::uint8_t {
  Begin, End, Vertex2f, Vertex3f, Normal3f, TexCoord2f, Color3f, Color4f,
  MatrixMode, LoadIdentity, LoadMatrixf, MultMatrixf, PushMatrix, PopMatrix,
  Translatef, Rotatef, Scalef, Ortho, Frustum, Viewport,
  GenLists, NewList, EndList, CallList, DeleteLists, IsList,
  Enable, Disable, IsEnabled, PushAttrib, PopAttrib,
  Lightfv, Lightf, LightModeli, LightModelfv, Materialfv, Materialf, ShadeModel,
  Clear, ClearColor, ClearDepth, DepthFunc, DepthMask, AlphaFunc, BlendFunc,
  CullFace, FrontFace, Hint, PointSize, PixelStorei,
  GenTextures, DeleteTextures, BindTexture, TexParameteri, TexImage2D,
  GetFloatv, GetIntegerv, GetDoublev, GetBooleanv, GetString, GetError, ReadPixels,
  Finish, Flush, EnableClientState, DisableClientState,
  VertexPointer, NormalPointer, TexCoordPointer, DrawArrays,
  GenBuffers, DeleteBuffers, BindBuffer, BufferData,
  Perspective, Build2DMipmaps,
  Count
};

constexpr const char* kOpNames[] = {
  "glBegin", "glEnd", "glVertex2f", "glVertex3f", "glNormal3f", "glTexCoord2f", "glColor3f", "glColor4f",
  "glMatrixMode", "glLoadIdentity", "glLoadMatrixf", "glMultMatrixf", "glPushMatrix", "glPopMatrix",
  "glTranslatef", "glRotatef", "glScalef", "glOrtho", "glFrustum", "glViewport",
  "glGenLists", "glNewList", "glEndList", "glCallList", "glDeleteLists", "glIsList",
  "glEnable", "glDisable", "glIsEnabled", "glPushAttrib", "glPopAttrib",
  "glLightfv", "glLightf", "glLightModeli", "glLightModelfv", "glMaterialfv", "glMaterialf", "glShadeModel",
  "glClear", "glClearColor", "glClearDepth", "glDepthFunc", "glDepthMask", "glAlphaFunc", "glBlendFunc",
  "glCullFace", "glFrontFace", "glHint", "glPointSize", "glPixelStorei",
  "glGenTextures", "glDeleteTextures", "glBindTexture", "glTexParameteri", "glTexImage2D",
  "glGetFloatv", "glGetIntegerv", "glGetDoublev", "glGetBooleanv", "glGetString", "glGetError", "glReadPixels",
  "glFinish", "glFlush", "glEnableClientState", "glDisableClientState",
  "glVertexPointer", "glNormalPointer", "glTexCoordPointer", "glDrawArrays",
  "glGenBuffers", "glDeleteBuffers", "glBindBuffer", "glBufferData",
  "gluPerspective", "gluBuild2DMipmaps",
};
static_assert(std::size(kOpNames) == static_cast<std::size_t>(Op::Count));

const char* OpName(Op op) { return kOpNames[static_cast<std::size_t>(op)]; }

// Calls GL accepts between glBegin and glEnd; anything else there is an
// invalid operation and is ignored.
bool AllowedInsideBegin(Op op) {
  switch (op) {
    case Op::Vertex2f: case Op::Vertex3f: case Op::Normal3f: case Op::TexCoord2f:
    case Op::Color3f: case Op::Color4f: case Op::Materialfv: case Op::Materialf:
    case Op::CallList: case Op::End: case Op::Begin:
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Limits GL sets as its minimums.

constexpr int kMaxListNesting = 64;
// glGenLists creates its lists at once; a larger request is refused as out of
// memory rather than filling the table with millions of empty lists.
constexpr GLsizei kMaxListRange = 1 << 20;
constexpr std::size_t kMaxAttribDepth = 16;
constexpr std::size_t kStackCapacity[3] = {32, 2, 2};  // model-view, projection, texture
constexpr int kMaxTextureSize = 8192;
constexpr int kMaxLights = 8;
// Growth of the log and the geometry: a small first block for tests, then
// at once room for a whole garden frame, so that a frame does not pay for
// copying the vectors through every doubling (pages are touched as used).
constexpr std::size_t kSmallReserve = std::size_t{1} << 12;
constexpr std::size_t kVertexReserve = std::size_t{1} << 19;
constexpr std::size_t kPrimitiveReserve = std::size_t{1} << 15;
constexpr std::size_t kLogReserve = std::size_t{1} << 16;

template <class T>
void PushBack(std::vector<T>& v, const T& item, std::size_t large) {
  if (v.size() == v.capacity())
    v.reserve(v.size() < kSmallReserve ? kSmallReserve : std::max(large, 2 * v.size()));
  v.push_back(item);
}
constexpr GLint kGluInvalidEnum = 100900;
constexpr GLint kGluInvalidValue = 100901;

// ---------------------------------------------------------------------------
// Capabilities with a fixed slot; lights keep their enable in the light and
// anything else lands in a map.

constexpr GLenum kSlotCaps[] = {GL_POINT_SMOOTH, GL_LINE_SMOOTH, GL_POLYGON_SMOOTH, GL_CULL_FACE,
                                GL_LIGHTING, GL_COLOR_MATERIAL, GL_FOG, GL_DEPTH_TEST,
                                GL_NORMALIZE, GL_ALPHA_TEST, GL_BLEND, GL_SCISSOR_TEST,
                                GL_AUTO_NORMAL, GL_TEXTURE_2D};
constexpr std::size_t kSlotCount = std::size(kSlotCaps);

constexpr int CapSlot(GLenum cap) {
  for (std::size_t i = 0; i < kSlotCount; ++i)
    if (kSlotCaps[i] == cap) return static_cast<int>(i);
  return -1;
}

constexpr std::size_t Slot(GLenum cap) { return static_cast<std::size_t>(CapSlot(cap)); }

int LightIndex(GLenum light) {
  return light >= GL_LIGHT0 && light < GL_LIGHT0 + kMaxLights ? static_cast<int>(light - GL_LIGHT0) : -1;
}

// ---------------------------------------------------------------------------
// The server state glPushAttrib saves.

struct State {
  std::array<bool, kSlotCount> caps{};
  std::map<GLenum, bool> otherCaps;
  std::array<CapturedLight, kMaxLights> lights{};
  CapturedMaterial front, back;
  bool twoSide = false, localViewer = false;
  std::array<float, 4> modelAmbient{0.2f, 0.2f, 0.2f, 1};
  GLenum shadeModel = GL_SMOOTH;
  std::array<float, 4> color{1, 1, 1, 1};
  std::array<float, 3> normal{0, 0, 1};
  std::array<float, 2> texCoord{0, 0};
  GLenum depthFunc = GL_LESS;
  bool depthMask = true;
  double clearDepth = 1;
  GLenum alphaFunc = GL_ALWAYS;
  float alphaRef = 0;
  GLenum blendSrc = GL_ONE, blendDst = GL_ZERO;
  std::array<float, 4> clearColor{0, 0, 0, 0};
  GLenum cullMode = GL_BACK, frontFace = GL_CCW;
  GLuint boundTexture = 0;
  GLenum matrixMode = GL_MODELVIEW;
  std::array<int, 4> viewport{0, 0, 0, 0};
  std::map<GLenum, GLenum> hints;
  float pointSize = 1;
};

struct AttribFrame {
  GLbitfield mask;
  State saved;
};

// A display list: commands index into one argument pool; glTexImage2D keeps
// its unpacked pixels in `images` (GL reads the client memory at compile
// time), with the image index stored right after its logged arguments.
struct Command {
  Op op;
  std::uint8_t argc;
  std::uint32_t first;
};

struct DisplayList {
  std::vector<Command> commands;
  std::vector<double> args;
  std::vector<std::vector<std::uint8_t>> images;
  std::uint64_t executions = 0;
};

struct ClientArray {
  bool enabled = false;
  GLint size = 4;
  GLenum type = GL_FLOAT;
  GLsizei stride = 0;
  const void* pointer = nullptr;
  GLuint buffer = 0;  // buffer bound when the pointer was set; the pointer is then an offset
};

struct Capture {
  State st;
  std::array<std::vector<CaptureMatrix>, 3> stacks;
  std::uint64_t modelViewVersion = 1;
  std::uint64_t normalMatrixVersion = 0;
  std::array<double, 9> normalMatrix{};
  std::vector<AttribFrame> attribStack;

  std::unordered_map<GLuint, DisplayList> lists;
  GLuint nextList = 1;
  GLuint compiling = 0;
  GLenum compileMode = 0;
  DisplayList pending;
  int callDepth = 0;
  GLuint executing = 0;
  std::map<GLuint, std::vector<CapturedCall>> listCallsCache;

  bool inBegin = false;
  CapturedPrimitive open;

  std::map<GLuint, CapturedTexture> textures;
  GLuint nextTexture = 1;
  std::map<GLenum, GLint> pixelStore;

  ClientArray vertexArray, normalArray, texCoordArray;
  bool colorArrayEnabled = false;
  std::map<GLuint, std::vector<std::uint8_t>> buffers;
  GLuint nextBuffer = 1;
  GLuint arrayBuffer = 0, elementBuffer = 0;

  bool logging = true;
  std::vector<CapturedCall> log;
  bool geometry = true;
  std::vector<CapturedVertex> vertices;
  std::vector<CapturedPrimitive> primitives;
  std::uint64_t vertexCount = 0, primitiveCount = 0;

  GLenum error = GL_NO_ERROR;
};

Capture g;
bool g_installed = false;

void SetError(GLenum e) {
  if (g.error == GL_NO_ERROR) g.error = e;
}

float F(double v) { return static_cast<float>(v); }
GLenum E(double v) { return static_cast<GLenum>(v); }
float Clamp01(double v) { return F(std::clamp(v, 0.0, 1.0)); }

// ---------------------------------------------------------------------------
// Enables.

bool IsEnabled(GLenum cap) {
  if (const int slot = CapSlot(cap); slot >= 0) return g.st.caps[static_cast<std::size_t>(slot)];
  if (const int light = LightIndex(cap); light >= 0) return g.st.lights[static_cast<std::size_t>(light)].enabled;
  const auto it = g.st.otherCaps.find(cap);
  return it != g.st.otherCaps.end() && it->second;
}

void ApplyColorMaterial();

void SetEnabled(GLenum cap, bool on) {
  if (const int slot = CapSlot(cap); slot >= 0) {
    g.st.caps[static_cast<std::size_t>(slot)] = on;
    if (cap == GL_COLOR_MATERIAL && on) ApplyColorMaterial();
  } else if (const int light = LightIndex(cap); light >= 0) {
    g.st.lights[static_cast<std::size_t>(light)].enabled = on;
  } else {
    g.st.otherCaps[cap] = on;
  }
}

// ---------------------------------------------------------------------------
// Matrices.

int StackIndex(GLenum mode) {
  switch (mode) {
    case GL_MODELVIEW: return 0;
    case GL_PROJECTION: return 1;
    case GL_TEXTURE: return 2;
    default: return -1;
  }
}

std::vector<CaptureMatrix>& CurrentStack() {
  return g.stacks[static_cast<std::size_t>(StackIndex(g.st.matrixMode))];
}

void Touched() {
  if (g.st.matrixMode == GL_MODELVIEW) ++g.modelViewVersion;
}

const CaptureMatrix& ModelView() { return g.stacks[0].back(); }

void LoadTop(const CaptureMatrix& m) {
  CurrentStack().back() = m;
  Touched();
}

void MultTop(const CaptureMatrix& m) { LoadTop(MatMultiply(CurrentStack().back(), m)); }

void MultTop(const std::optional<CaptureMatrix>& m) {
  if (m) MultTop(*m);
  else SetError(GL_INVALID_VALUE);
}

CaptureMatrix FromArgs(const double* a) {
  CaptureMatrix m;
  for (std::size_t i = 0; i < 16; ++i) m.m[i] = F(a[i]);
  return m;
}

const std::array<double, 9>& NormalMatrix() {
  if (g.normalMatrixVersion != g.modelViewVersion) {
    g.normalMatrix = MatNormalMatrix(ModelView());
    g.normalMatrixVersion = g.modelViewVersion;
  }
  return g.normalMatrix;
}

// ---------------------------------------------------------------------------
// Lights and materials.

int LightParamCount(GLenum pname) {
  switch (pname) {
    case GL_AMBIENT: case GL_DIFFUSE: case GL_SPECULAR: case GL_POSITION: return 4;
    case GL_SPOT_DIRECTION: return 3;
    case GL_SPOT_EXPONENT: case GL_SPOT_CUTOFF: case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION: case GL_QUADRATIC_ATTENUATION: return 1;
    default: return 0;
  }
}

int MaterialParamCount(GLenum pname) {
  switch (pname) {
    case GL_AMBIENT: case GL_DIFFUSE: case GL_SPECULAR: case GL_EMISSION: case GL_AMBIENT_AND_DIFFUSE: return 4;
    case GL_SHININESS: return 1;
    default: return 0;
  }
}

int LightModelParamCount(GLenum pname) {
  switch (pname) {
    case GL_LIGHT_MODEL_AMBIENT: return 4;
    case GL_LIGHT_MODEL_LOCAL_VIEWER: case GL_LIGHT_MODEL_TWO_SIDE: return 1;
    default: return 0;
  }
}

std::array<float, 4> Vec4(const double* v) { return {F(v[0]), F(v[1]), F(v[2]), F(v[3])}; }

// Sets one light parameter; vectors are taken in the model-view frame in
// force now, as GL stores positions and spot directions in eye coordinates.
void SetLight(GLenum light, GLenum pname, const double* v, int n) {
  const int index = LightIndex(light);
  if (index < 0 || n != LightParamCount(pname) || n == 0) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  CapturedLight& l = g.st.lights[static_cast<std::size_t>(index)];
  switch (pname) {
    case GL_AMBIENT: l.ambient = Vec4(v); break;
    case GL_DIFFUSE: l.diffuse = Vec4(v); break;
    case GL_SPECULAR: l.specular = Vec4(v); break;
    case GL_POSITION: {
      const auto p = MatTransform(ModelView(), v[0], v[1], v[2], v[3]);
      l.position = {F(p[0]), F(p[1]), F(p[2]), F(p[3])};
      break;
    }
    case GL_SPOT_DIRECTION: {
      const auto d = MatTransform(ModelView(), v[0], v[1], v[2], 0);
      l.spotDirection = {F(d[0]), F(d[1]), F(d[2])};
      break;
    }
    case GL_SPOT_EXPONENT:
      if (v[0] < 0 || v[0] > 128) return SetError(GL_INVALID_VALUE);
      l.spotExponent = F(v[0]);
      break;
    case GL_SPOT_CUTOFF:
      if ((v[0] < 0 || v[0] > 90) && v[0] != 180) return SetError(GL_INVALID_VALUE);
      l.spotCutoff = F(v[0]);
      break;
    default: {
      if (v[0] < 0) return SetError(GL_INVALID_VALUE);
      float& target = pname == GL_CONSTANT_ATTENUATION ? l.constantAttenuation
                      : pname == GL_LINEAR_ATTENUATION ? l.linearAttenuation
                                                       : l.quadraticAttenuation;
      target = F(v[0]);
    }
  }
}

void SetMaterial(GLenum face, GLenum pname, const double* v, int n) {
  if ((face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) || n == 0 ||
      n != MaterialParamCount(pname)) {
    SetError(GL_INVALID_ENUM);
    return;
  }
  if (pname == GL_SHININESS && (v[0] < 0 || v[0] > 128)) return SetError(GL_INVALID_VALUE);
  for (CapturedMaterial* m : {&g.st.front, &g.st.back}) {
    if ((m == &g.st.front && face == GL_BACK) || (m == &g.st.back && face == GL_FRONT)) continue;
    switch (pname) {
      case GL_AMBIENT: m->ambient = Vec4(v); break;
      case GL_DIFFUSE: m->diffuse = Vec4(v); break;
      case GL_SPECULAR: m->specular = Vec4(v); break;
      case GL_EMISSION: m->emission = Vec4(v); break;
      case GL_AMBIENT_AND_DIFFUSE: m->ambient = m->diffuse = Vec4(v); break;
      default: m->shininess = F(v[0]);
    }
  }
}

void SetLightModel(GLenum pname, const double* v, int n) {
  if (n == 0 || n != LightModelParamCount(pname)) return SetError(GL_INVALID_ENUM);
  switch (pname) {
    case GL_LIGHT_MODEL_AMBIENT: g.st.modelAmbient = Vec4(v); break;
    case GL_LIGHT_MODEL_LOCAL_VIEWER: g.st.localViewer = v[0] != 0; break;
    default: g.st.twoSide = v[0] != 0;
  }
}

// With GL_COLOR_MATERIAL on (GL's default mode: front and back, ambient and
// diffuse) the current colour feeds the material.
void ApplyColorMaterial() {
  if (!g.st.caps[Slot(GL_COLOR_MATERIAL)]) return;
  g.st.front.ambient = g.st.front.diffuse = g.st.color;
  g.st.back.ambient = g.st.back.diffuse = g.st.color;
}

void SetColor(double r, double gr, double b, double a) {
  g.st.color = {F(r), F(gr), F(b), F(a)};
  ApplyColorMaterial();
}

// ---------------------------------------------------------------------------
// Attribute stack.

void PushAttrib(GLbitfield mask) {
  if (g.attribStack.size() >= kMaxAttribDepth) return SetError(GL_STACK_OVERFLOW);
  g.attribStack.push_back({mask, g.st});
}

void RestoreCap(const State& s, GLenum cap) { g.st.caps[Slot(cap)] = s.caps[Slot(cap)]; }

void PopAttrib() {
  if (g.attribStack.empty()) return SetError(GL_STACK_UNDERFLOW);
  const AttribFrame frame = std::move(g.attribStack.back());
  g.attribStack.pop_back();
  const GLbitfield m = frame.mask;
  const State& s = frame.saved;
  State& d = g.st;
  if (m & GL_ENABLE_BIT) {
    d.caps = s.caps;
    d.otherCaps = s.otherCaps;
    for (std::size_t i = 0; i < d.lights.size(); ++i) d.lights[i].enabled = s.lights[i].enabled;
  }
  if (m & GL_CURRENT_BIT) {
    d.color = s.color;
    d.normal = s.normal;
    d.texCoord = s.texCoord;
  }
  if (m & GL_LIGHTING_BIT) {
    RestoreCap(s, GL_LIGHTING);
    RestoreCap(s, GL_COLOR_MATERIAL);
    d.lights = s.lights;
    d.twoSide = s.twoSide;
    d.localViewer = s.localViewer;
    d.modelAmbient = s.modelAmbient;
    d.front = s.front;
    d.back = s.back;
    d.shadeModel = s.shadeModel;
  }
  if (m & GL_DEPTH_BUFFER_BIT) {
    RestoreCap(s, GL_DEPTH_TEST);
    d.depthFunc = s.depthFunc;
    d.depthMask = s.depthMask;
    d.clearDepth = s.clearDepth;
  }
  if (m & GL_COLOR_BUFFER_BIT) {
    RestoreCap(s, GL_ALPHA_TEST);
    RestoreCap(s, GL_BLEND);
    d.alphaFunc = s.alphaFunc;
    d.alphaRef = s.alphaRef;
    d.blendSrc = s.blendSrc;
    d.blendDst = s.blendDst;
    d.clearColor = s.clearColor;
  }
  if (m & GL_POLYGON_BIT) {
    RestoreCap(s, GL_CULL_FACE);
    RestoreCap(s, GL_POLYGON_SMOOTH);
    d.cullMode = s.cullMode;
    d.frontFace = s.frontFace;
  }
  if (m & GL_TEXTURE_BIT) {
    RestoreCap(s, GL_TEXTURE_2D);
    d.boundTexture = s.boundTexture;
    g.textures.try_emplace(d.boundTexture);  // a name deleted meanwhile binds a fresh object, as glBindTexture would
  }
  if (m & GL_TRANSFORM_BIT) {
    RestoreCap(s, GL_NORMALIZE);
    d.matrixMode = s.matrixMode;
  }
  if (m & GL_VIEWPORT_BIT) d.viewport = s.viewport;
  if (m & GL_HINT_BIT) d.hints = s.hints;
  if (m & GL_POINT_BIT) {
    RestoreCap(s, GL_POINT_SMOOTH);
    d.pointSize = s.pointSize;
  }
  if (m & GL_LINE_BIT) RestoreCap(s, GL_LINE_SMOOTH);
  if (m & GL_FOG_BIT) RestoreCap(s, GL_FOG);
  if (m & GL_SCISSOR_BIT) RestoreCap(s, GL_SCISSOR_TEST);
  if (m & GL_EVAL_BIT) RestoreCap(s, GL_AUTO_NORMAL);
}

// ---------------------------------------------------------------------------
// Immediate mode.

void Begin(GLenum mode) {
  if (mode > GL_POLYGON) return SetError(GL_INVALID_ENUM);
  CapturedPrimitive& p = g.open;
  p = CapturedPrimitive{};
  p.mode = mode;
  p.first = g.vertices.size();
  p.texture = g.st.boundTexture;
  p.texture2D = g.st.caps[Slot(GL_TEXTURE_2D)];
  p.lighting = g.st.caps[Slot(GL_LIGHTING)];
  p.twoSide = g.st.twoSide;
  p.alphaTest = g.st.caps[Slot(GL_ALPHA_TEST)];
  p.alphaFunc = g.st.alphaFunc;
  p.alphaRef = g.st.alphaRef;
  p.cullFace = g.st.caps[Slot(GL_CULL_FACE)];
  p.list = g.executing;
  p.pointSize = g.st.pointSize;
  p.ambient = g.st.front.ambient;
  p.diffuse = g.st.front.diffuse;
  g.inBegin = true;
}

void End() {
  g.inBegin = false;
  ++g.primitiveCount;
  if (g.geometry) PushBack(g.primitives, g.open, kPrimitiveReserve);
}

void EmitVertex(double x, double y, double z) {
  // A vertex outside glBegin/glEnd has no primitive to belong to; GL leaves
  // its effect undefined and the capture drops it.
  if (!g.inBegin) return;
  ++g.vertexCount;
  if (!g.geometry) return;
  const auto p = MatTransform(ModelView(), x, y, z, 1);
  const double w = p[3] != 1 && p[3] != 0 ? p[3] : 1;
  const auto& n = NormalMatrix();
  const double nx = g.st.normal[0], ny = g.st.normal[1], nz = g.st.normal[2];
  CapturedVertex v;
  v.x = F(p[0] / w);
  v.y = F(p[1] / w);
  v.z = F(p[2] / w);
  v.nx = F(n[0] * nx + n[1] * ny + n[2] * nz);
  v.ny = F(n[3] * nx + n[4] * ny + n[5] * nz);
  v.nz = F(n[6] * nx + n[7] * ny + n[8] * nz);
  v.s = g.st.texCoord[0];
  v.t = g.st.texCoord[1];
  v.r = g.st.color[0];
  v.g = g.st.color[1];
  v.b = g.st.color[2];
  v.a = g.st.color[3];
  PushBack(g.vertices, v, kVertexReserve);
  ++g.open.count;
}

// ---------------------------------------------------------------------------
// Textures.

int FormatComponents(GLenum format) {
  switch (format) {
    case GL_ALPHA: case GL_LUMINANCE: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: case GL_BGR: return 3;
    case GL_RGBA: case GL_BGRA: return 4;
    default: return 0;
  }
}

int TypeSize(GLenum type) {
  switch (type) {
    case GL_BYTE: case GL_UNSIGNED_BYTE: return 1;
    case GL_SHORT: case GL_UNSIGNED_SHORT: return 2;
    case GL_INT: case GL_UNSIGNED_INT: case GL_FLOAT: return 4;
    default: return 0;
  }
}

GLint PixelStore(GLenum pname) {
  const auto it = g.pixelStore.find(pname);
  return it == g.pixelStore.end() ? 0 : it->second;
}

// Bytes from one row's start to the next in client memory, GL's rule: rows
// are padded to the alignment unless a component is at least that large.
std::size_t RowStride(std::size_t pixelsPerRow, int components, int typeSize, int alignment) {
  const std::size_t bytes = pixelsPerRow * static_cast<std::size_t>(components * typeSize);
  const auto a = static_cast<std::size_t>(alignment);
  if (typeSize >= alignment || a == 0) return bytes;
  return (bytes + a - 1) / a * a;
}

// Reads width x height pixels from client memory with the unpack settings in
// force and returns them with rows packed tightly.
std::vector<std::uint8_t> Unpack(GLsizei width, GLsizei height, GLenum format, GLenum type, const void* pixels) {
  const int comps = FormatComponents(format), size = TypeSize(type);
  const std::size_t group = static_cast<std::size_t>(comps * size);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * group;
  std::vector<std::uint8_t> out(rowBytes * static_cast<std::size_t>(height));
  if (!pixels) return out;
  const GLint rowLength = PixelStore(GL_UNPACK_ROW_LENGTH) > 0 ? PixelStore(GL_UNPACK_ROW_LENGTH) : width;
  const std::size_t stride =
      RowStride(static_cast<std::size_t>(rowLength), comps, size, PixelStore(GL_UNPACK_ALIGNMENT));
  const auto* src = static_cast<const std::uint8_t*>(pixels) +
                    static_cast<std::size_t>(PixelStore(GL_UNPACK_SKIP_ROWS)) * stride +
                    static_cast<std::size_t>(PixelStore(GL_UNPACK_SKIP_PIXELS)) * group;
  for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
    std::memcpy(out.data() + row * rowBytes, src + row * stride, rowBytes);
  return out;
}

bool ValidImage(GLenum target, GLint level, GLsizei width, GLsizei height, GLint border, GLenum format, GLenum type) {
  if (target != GL_TEXTURE_2D || FormatComponents(format) == 0 || TypeSize(type) == 0) {
    SetError(GL_INVALID_ENUM);
    return false;
  }
  if (level < 0 || level >= 32 || width < 0 || height < 0 || width > kMaxTextureSize + 2 ||
      height > kMaxTextureSize + 2 || (border != 0 && border != 1)) {
    SetError(GL_INVALID_VALUE);
    return false;
  }
  return true;
}

CapturedTexture& BoundTexture() { return g.textures[g.st.boundTexture]; }

int LevelCount(std::uint32_t mask) { return std::popcount(mask); }

// Stores an image already unpacked (rows tight); a null image keeps zeros.
void TexImage(GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLenum format, GLenum type,
              const std::vector<std::uint8_t>* image) {
  CapturedTexture& t = BoundTexture();
  if (level == 0) {
    t.width = width;
    t.height = height;
    t.internalFormat = internalFormat;
    t.format = format;
    t.type = type;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(FormatComponents(format) * TypeSize(type));
    if (image) t.pixels = *image;
    else t.pixels.assign(bytes, 0);
    t.hasImage = true;
  }
  t.definedLevels |= 1u << level;
  t.levels = LevelCount(t.definedLevels);
}

void BindTexture(GLenum target, GLuint name) {
  if (target != GL_TEXTURE_2D) return SetError(GL_INVALID_ENUM);
  g.textures.try_emplace(name);
  g.st.boundTexture = name;
  g.nextTexture = std::max(g.nextTexture, name + 1);
}

// ---------------------------------------------------------------------------
// The log and display lists.

void LogCall(Op op, const double* a, int n, GLuint list) {
  if (!g.logging) return;
  CapturedCall c;
  c.name = OpName(op);
  c.argCount = std::min(n, static_cast<int>(c.args.size()));
  std::copy_n(a, c.argCount, c.args.begin());
  c.list = list;
  PushBack(g.log, c, kLogReserve);
}

void Record(Op op, const double* a, int n) {
  DisplayList& dl = g.pending;
  dl.commands.push_back({op, static_cast<std::uint8_t>(n), static_cast<std::uint32_t>(dl.args.size())});
  dl.args.insert(dl.args.end(), a, a + n);
}

void Execute(Op op, const double* a, int n, const std::vector<std::uint8_t>* image);

void CallList(GLuint id) {
  if (g.callDepth >= kMaxListNesting) return;
  const auto it = g.lists.find(id);
  if (it == g.lists.end()) return;
  DisplayList& dl = it->second;
  ++dl.executions;
  const GLuint outer = g.executing;
  g.executing = id;
  ++g.callDepth;
  for (const Command& c : dl.commands) {
    const double* a = dl.args.data() + c.first;
    const std::vector<std::uint8_t>* image = nullptr;
    if (c.op == Op::TexImage2D && a[c.argc] >= 0) {
      const auto index = static_cast<std::size_t>(a[c.argc]);
      if (index < dl.images.size()) image = &dl.images[index];
    }
    Execute(c.op, a, c.argc, image);
  }
  --g.callDepth;
  g.executing = outer;
}

// A call GL compiles into an open list: logged, recorded, and executed
// unless the list is compiled only.
void Issue(Op op, const double* a, int n, bool log = true) {
  if (log) LogCall(op, a, n, g.compiling);
  if (g.compiling) {
    Record(op, a, n);
    if (g.compileMode == GL_COMPILE) return;
  }
  Execute(op, a, n, nullptr);
}

template <class... T>
void Call(Op op, T... v) {
  if constexpr (sizeof...(T) == 0) {
    Issue(op, nullptr, 0);
  } else {
    const double a[]{static_cast<double>(v)...};
    Issue(op, a, static_cast<int>(sizeof...(T)));
  }
}

// A call GL executes at once even while a list is open.
template <class... T>
void Immediate(Op op, T... v) {
  if constexpr (sizeof...(T) == 0) {
    LogCall(op, nullptr, 0, 0);
  } else {
    const double a[]{static_cast<double>(v)...};
    LogCall(op, a, static_cast<int>(sizeof...(T)), 0);
  }
}

void Execute(Op op, const double* a, int n, const std::vector<std::uint8_t>* image) {
  if (g.inBegin && !AllowedInsideBegin(op)) return SetError(GL_INVALID_OPERATION);
  switch (op) {
    case Op::Begin:
      if (g.inBegin) return SetError(GL_INVALID_OPERATION);
      return Begin(E(a[0]));
    case Op::End:
      if (!g.inBegin) return SetError(GL_INVALID_OPERATION);
      return End();
    case Op::Vertex2f: return EmitVertex(a[0], a[1], 0);
    case Op::Vertex3f: return EmitVertex(a[0], a[1], a[2]);
    case Op::Normal3f: g.st.normal = {F(a[0]), F(a[1]), F(a[2])}; return;
    case Op::TexCoord2f: g.st.texCoord = {F(a[0]), F(a[1])}; return;
    case Op::Color3f: return SetColor(a[0], a[1], a[2], 1);
    case Op::Color4f: return SetColor(a[0], a[1], a[2], a[3]);
    case Op::MatrixMode:
      if (StackIndex(E(a[0])) < 0) return SetError(GL_INVALID_ENUM);
      g.st.matrixMode = E(a[0]);
      return;
    case Op::LoadIdentity: return LoadTop(CaptureMatrix{});
    case Op::LoadMatrixf: return LoadTop(FromArgs(a));
    case Op::MultMatrixf: return MultTop(FromArgs(a));
    case Op::PushMatrix: {
      auto& stack = CurrentStack();
      if (stack.size() >= kStackCapacity[StackIndex(g.st.matrixMode)]) return SetError(GL_STACK_OVERFLOW);
      stack.push_back(stack.back());
      return;
    }
    case Op::PopMatrix: {
      auto& stack = CurrentStack();
      if (stack.size() <= 1) return SetError(GL_STACK_UNDERFLOW);
      stack.pop_back();
      Touched();
      return;
    }
    case Op::Translatef: return MultTop(MatTranslation(F(a[0]), F(a[1]), F(a[2])));
    case Op::Rotatef: return MultTop(MatRotation(F(a[0]), F(a[1]), F(a[2]), F(a[3])).value_or(CaptureMatrix{}));
    case Op::Scalef: return MultTop(MatScaling(F(a[0]), F(a[1]), F(a[2])));
    case Op::Ortho: return MultTop(MatOrtho(a[0], a[1], a[2], a[3], a[4], a[5]));
    case Op::Frustum: return MultTop(MatFrustum(a[0], a[1], a[2], a[3], a[4], a[5]));
    case Op::Perspective:
      // GLU checks its arguments itself and returns quietly on bad ones.
      if (const auto m = MatPerspective(a[0], a[1], a[2], a[3])) MultTop(*m);
      return;
    case Op::Viewport:
      if (a[2] < 0 || a[3] < 0) return SetError(GL_INVALID_VALUE);
      g.st.viewport = {static_cast<int>(a[0]), static_cast<int>(a[1]), static_cast<int>(a[2]), static_cast<int>(a[3])};
      return;
    case Op::CallList: return CallList(static_cast<GLuint>(a[0]));
    case Op::Enable: return SetEnabled(E(a[0]), true);
    case Op::Disable: return SetEnabled(E(a[0]), false);
    case Op::PushAttrib: return PushAttrib(static_cast<GLbitfield>(a[0]));
    case Op::PopAttrib: return PopAttrib();
    case Op::Lightfv:
    case Op::Lightf: return SetLight(E(a[0]), E(a[1]), a + 2, n - 2);
    case Op::LightModeli:
      if (E(a[0]) == GL_LIGHT_MODEL_AMBIENT) return SetError(GL_INVALID_ENUM);
      return SetLightModel(E(a[0]), a + 1, n - 1);
    case Op::LightModelfv: return SetLightModel(E(a[0]), a + 1, n - 1);
    case Op::Materialfv:
    case Op::Materialf: return SetMaterial(E(a[0]), E(a[1]), a + 2, n - 2);
    case Op::ShadeModel:
      if (E(a[0]) != GL_FLAT && E(a[0]) != GL_SMOOTH) return SetError(GL_INVALID_ENUM);
      g.st.shadeModel = E(a[0]);
      return;
    case Op::Clear: return;
    case Op::ClearColor: g.st.clearColor = {Clamp01(a[0]), Clamp01(a[1]), Clamp01(a[2]), Clamp01(a[3])}; return;
    case Op::ClearDepth: g.st.clearDepth = std::clamp(a[0], 0.0, 1.0); return;
    case Op::DepthFunc:
      if (E(a[0]) < GL_NEVER || E(a[0]) > GL_ALWAYS) return SetError(GL_INVALID_ENUM);
      g.st.depthFunc = E(a[0]);
      return;
    case Op::DepthMask: g.st.depthMask = a[0] != 0; return;
    case Op::AlphaFunc:
      if (E(a[0]) < GL_NEVER || E(a[0]) > GL_ALWAYS) return SetError(GL_INVALID_ENUM);
      g.st.alphaFunc = E(a[0]);
      g.st.alphaRef = Clamp01(a[1]);
      return;
    case Op::BlendFunc:
      g.st.blendSrc = E(a[0]);
      g.st.blendDst = E(a[1]);
      return;
    case Op::CullFace:
      if (E(a[0]) != GL_FRONT && E(a[0]) != GL_BACK && E(a[0]) != GL_FRONT_AND_BACK) return SetError(GL_INVALID_ENUM);
      g.st.cullMode = E(a[0]);
      return;
    case Op::FrontFace:
      if (E(a[0]) != GL_CW && E(a[0]) != GL_CCW) return SetError(GL_INVALID_ENUM);
      g.st.frontFace = E(a[0]);
      return;
    case Op::Hint:
      if (E(a[1]) != GL_DONT_CARE && E(a[1]) != GL_FASTEST && E(a[1]) != GL_NICEST) return SetError(GL_INVALID_ENUM);
      g.st.hints[E(a[0])] = E(a[1]);
      return;
    case Op::PointSize:
      if (!(a[0] > 0)) return SetError(GL_INVALID_VALUE);
      g.st.pointSize = F(a[0]);
      return;
    case Op::BindTexture: return BindTexture(E(a[0]), static_cast<GLuint>(a[1]));
    case Op::TexParameteri:
      if (E(a[0]) != GL_TEXTURE_2D) return SetError(GL_INVALID_ENUM);
      BoundTexture().params[E(a[1])] = static_cast<GLint>(a[2]);
      return;
    case Op::TexImage2D: {
      const auto level = static_cast<GLint>(a[1]);
      const auto width = static_cast<GLsizei>(a[3]), height = static_cast<GLsizei>(a[4]);
      const auto format = E(a[6]), type = E(a[7]);
      if (!ValidImage(E(a[0]), level, width, height, static_cast<GLint>(a[5]), format, type)) return;
      return TexImage(level, static_cast<GLint>(a[2]), width, height, format, type, image);
    }
    default:
      // Calls GL never compiles are executed by their entry points.
      return;
  }
}

// ---------------------------------------------------------------------------
// State queries.

struct Query {
  std::array<double, 16> v{};
  int n = 0;
  bool colour = false;  // converted to integers over the full range, as GL does for colours
};

Query Get(GLenum pname) {
  Query q;
  auto put = [&q](std::initializer_list<double> values) {
    for (double x : values) q.v[static_cast<std::size_t>(q.n++)] = x;
  };
  const State& s = g.st;
  switch (pname) {
    case GL_CURRENT_COLOR: put({s.color[0], s.color[1], s.color[2], s.color[3]}); q.colour = true; break;
    case GL_CURRENT_NORMAL: put({s.normal[0], s.normal[1], s.normal[2]}); break;
    case GL_CURRENT_TEXTURE_COORDS: put({s.texCoord[0], s.texCoord[1], 0, 1}); break;
    case GL_POINT_SIZE: put({s.pointSize}); break;
    case GL_LIST_MODE: put({static_cast<double>(g.compiling ? g.compileMode : 0)}); break;
    case GL_LIST_INDEX: put({static_cast<double>(g.compiling)}); break;
    case GL_CULL_FACE_MODE: put({static_cast<double>(s.cullMode)}); break;
    case GL_FRONT_FACE: put({static_cast<double>(s.frontFace)}); break;
    case GL_SHADE_MODEL: put({static_cast<double>(s.shadeModel)}); break;
    case GL_DEPTH_WRITEMASK: put({s.depthMask ? 1.0 : 0.0}); break;
    case GL_DEPTH_CLEAR_VALUE: put({s.clearDepth}); q.colour = true; break;
    case GL_DEPTH_FUNC: put({static_cast<double>(s.depthFunc)}); break;
    case GL_MATRIX_MODE: put({static_cast<double>(s.matrixMode)}); break;
    case GL_VIEWPORT:
      put({static_cast<double>(s.viewport[0]), static_cast<double>(s.viewport[1]),
           static_cast<double>(s.viewport[2]), static_cast<double>(s.viewport[3])});
      break;
    case GL_MODELVIEW_STACK_DEPTH: put({static_cast<double>(g.stacks[0].size())}); break;
    case GL_PROJECTION_STACK_DEPTH: put({static_cast<double>(g.stacks[1].size())}); break;
    case GL_MODELVIEW_MATRIX:
    case GL_PROJECTION_MATRIX: {
      const CaptureMatrix& m = g.stacks[pname == GL_MODELVIEW_MATRIX ? 0 : 1].back();
      for (float x : m.m) put({x});
      break;
    }
    case GL_ATTRIB_STACK_DEPTH: put({static_cast<double>(g.attribStack.size())}); break;
    case GL_ALPHA_TEST_FUNC: put({static_cast<double>(s.alphaFunc)}); break;
    case GL_ALPHA_TEST_REF: put({s.alphaRef}); q.colour = true; break;
    case GL_BLEND_SRC: put({static_cast<double>(s.blendSrc)}); break;
    case GL_BLEND_DST: put({static_cast<double>(s.blendDst)}); break;
    case GL_COLOR_CLEAR_VALUE:
      put({s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]});
      q.colour = true;
      break;
    case GL_MAX_TEXTURE_SIZE: put({static_cast<double>(kMaxTextureSize)}); break;
    case GL_TEXTURE_BINDING_2D: put({static_cast<double>(s.boundTexture)}); break;
    case GL_LIGHT_MODEL_TWO_SIDE: put({s.twoSide ? 1.0 : 0.0}); break;
    case GL_LIGHT_MODEL_LOCAL_VIEWER: put({s.localViewer ? 1.0 : 0.0}); break;
    case GL_LIGHT_MODEL_AMBIENT:
      put({s.modelAmbient[0], s.modelAmbient[1], s.modelAmbient[2], s.modelAmbient[3]});
      q.colour = true;
      break;
    default:
      if (g.pixelStore.count(pname)) {
        put({static_cast<double>(g.pixelStore.at(pname))});
      } else if (s.hints.count(pname)) {
        put({static_cast<double>(s.hints.at(pname))});
      } else if (CapSlot(pname) >= 0 || LightIndex(pname) >= 0 || s.otherCaps.count(pname)) {
        put({IsEnabled(pname) ? 1.0 : 0.0});
      }
  }
  return q;
}

template <class T>
void GetInto(GLenum pname, T* out) {
  const Query q = Get(pname);
  if (q.n == 0) return SetError(GL_INVALID_ENUM);
  if (!out) return;
  for (int i = 0; i < q.n; ++i) {
    const double x = q.v[static_cast<std::size_t>(i)];
    if constexpr (std::is_same_v<T, GLboolean>) {
      out[i] = x != 0 ? GL_TRUE : GL_FALSE;
    } else if constexpr (std::is_same_v<T, GLint>) {
      out[i] = q.colour ? static_cast<GLint>(std::lround(std::clamp(x, -1.0, 1.0) * 2147483647.0))
                        : static_cast<GLint>(std::lround(x));
    } else {
      out[i] = static_cast<T>(x);
    }
  }
}

// ---------------------------------------------------------------------------
// Client arrays and buffers.

int ArrayTypeSize(GLenum type) {
  switch (type) {
    case GL_SHORT: return 2;
    case GL_INT: case GL_FLOAT: return 4;
    case GL_DOUBLE: return 8;
    default: return 0;
  }
}

double ReadComponent(const std::uint8_t* p, GLenum type) {
  switch (type) {
    case GL_SHORT: { GLshort v; std::memcpy(&v, p, sizeof v); return v; }
    case GL_INT: { GLint v; std::memcpy(&v, p, sizeof v); return v; }
    case GL_DOUBLE: { GLdouble v; std::memcpy(&v, p, sizeof v); return v; }
    default: { GLfloat v; std::memcpy(&v, p, sizeof v); return v; }
  }
}

// Where element `index` of an enabled array starts, or null when it lies
// outside the buffer object it refers to.
const std::uint8_t* Element(const ClientArray& arr, GLint index) {
  const int comp = ArrayTypeSize(arr.type);
  const std::size_t elem = static_cast<std::size_t>(arr.size * comp);
  const std::size_t stride = arr.stride ? static_cast<std::size_t>(arr.stride) : elem;
  const std::size_t offset = static_cast<std::size_t>(index) * stride;
  if (arr.buffer == 0) return static_cast<const std::uint8_t*>(arr.pointer) + offset;
  const auto it = g.buffers.find(arr.buffer);
  if (it == g.buffers.end()) return nullptr;
  const auto base = reinterpret_cast<std::uintptr_t>(arr.pointer);
  if (base + offset + elem > it->second.size()) return nullptr;
  return it->second.data() + base + offset;
}

void SetPointer(ClientArray& arr, GLint minSize, GLint size, GLenum type, GLsizei stride, const void* pointer) {
  if (ArrayTypeSize(type) == 0) return SetError(GL_INVALID_ENUM);
  if (size < minSize || size > 4 || stride < 0) return SetError(GL_INVALID_VALUE);
  arr.size = size;
  arr.type = type;
  arr.stride = stride;
  arr.pointer = pointer;
  arr.buffer = g.arrayBuffer;
}

ClientArray* ArrayFor(GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY: return &g.vertexArray;
    case GL_NORMAL_ARRAY: return &g.normalArray;
    case GL_TEXTURE_COORD_ARRAY: return &g.texCoordArray;
    default: return nullptr;
  }
}

void SetClientState(GLenum array, bool on) {
  if (ClientArray* arr = ArrayFor(array)) arr->enabled = on;
  else if (array == GL_COLOR_ARRAY) g.colorArrayEnabled = on;
  else SetError(GL_INVALID_ENUM);
}

// glDrawArrays is the glBegin/glEnd sequence the arrays describe; GL reads
// the arrays when the call is compiled, so a list keeps the vertices.
void DrawArrays(GLenum mode, GLint first, GLsizei count) {
  if (count < 0 || first < 0) return SetError(GL_INVALID_VALUE);
  if (mode > GL_POLYGON) return SetError(GL_INVALID_ENUM);
  if (!g.vertexArray.enabled || (!g.vertexArray.pointer && g.vertexArray.buffer == 0)) return;
  const double mode_[]{static_cast<double>(mode)};
  Issue(Op::Begin, mode_, 1, false);
  for (GLint i = first; i < first + count; ++i) {
    auto emit = [&](const ClientArray& arr, Op op, int wanted) {
      const std::uint8_t* p = Element(arr, i);
      if (!p) return false;
      double v[3]{0, 0, 0};
      const int comp = ArrayTypeSize(arr.type);
      for (int k = 0; k < std::min(arr.size, wanted); ++k) v[k] = ReadComponent(p + k * comp, arr.type);
      Issue(op, v, wanted, false);
      return true;
    };
    if (g.normalArray.enabled && g.normalArray.size == 3) emit(g.normalArray, Op::Normal3f, 3);
    if (g.texCoordArray.enabled) emit(g.texCoordArray, Op::TexCoord2f, 2);
    if (!emit(g.vertexArray, Op::Vertex3f, 3)) {
      SetError(GL_INVALID_OPERATION);
      break;
    }
  }
  Issue(Op::End, nullptr, 0, false);
}

// ---------------------------------------------------------------------------
// Entry points.

void CapBegin(GLenum mode) { Call(Op::Begin, mode); }
void CapEnd() { Call(Op::End); }
void CapVertex2f(GLfloat x, GLfloat y) { Call(Op::Vertex2f, x, y); }
void CapVertex3f(GLfloat x, GLfloat y, GLfloat z) { Call(Op::Vertex3f, x, y, z); }
void CapNormal3f(GLfloat x, GLfloat y, GLfloat z) { Call(Op::Normal3f, x, y, z); }
void CapTexCoord2f(GLfloat s, GLfloat t) { Call(Op::TexCoord2f, s, t); }
void CapColor3f(GLfloat r, GLfloat gr, GLfloat b) { Call(Op::Color3f, r, gr, b); }
void CapColor4f(GLfloat r, GLfloat gr, GLfloat b, GLfloat a) { Call(Op::Color4f, r, gr, b, a); }
void CapMatrixMode(GLenum mode) { Call(Op::MatrixMode, mode); }
void CapLoadIdentity() { Call(Op::LoadIdentity); }

void MatrixCall(Op op, const GLfloat* m) {
  if (!m) {
    LogCall(op, nullptr, 0, g.compiling);
    return SetError(GL_INVALID_VALUE);
  }
  double a[16];
  std::copy_n(m, 16, a);
  Issue(op, a, 16);
}
void CapLoadMatrixf(const GLfloat* m) { MatrixCall(Op::LoadMatrixf, m); }
void CapMultMatrixf(const GLfloat* m) { MatrixCall(Op::MultMatrixf, m); }
void CapPushMatrix() { Call(Op::PushMatrix); }
void CapPopMatrix() { Call(Op::PopMatrix); }
void CapTranslatef(GLfloat x, GLfloat y, GLfloat z) { Call(Op::Translatef, x, y, z); }
void CapRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { Call(Op::Rotatef, angle, x, y, z); }
void CapScalef(GLfloat x, GLfloat y, GLfloat z) { Call(Op::Scalef, x, y, z); }
void CapOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  Call(Op::Ortho, l, r, b, t, n, f);
}
void CapFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  Call(Op::Frustum, l, r, b, t, n, f);
}
void CapViewport(GLint x, GLint y, GLsizei w, GLsizei h) { Call(Op::Viewport, x, y, w, h); }

GLuint CapGenLists(GLsizei range) {
  GLuint first = 0;
  if (range < 0) {
    SetError(GL_INVALID_VALUE);
  } else if (range > 0 && range <= kMaxListRange && g.nextList <= UINT32_MAX - static_cast<GLuint>(range)) {
    first = g.nextList;
    for (GLuint id = first; id < first + static_cast<GLuint>(range); ++id) g.lists.try_emplace(id);
    g.nextList = first + static_cast<GLuint>(range);
  } else if (range > 0) {
    SetError(GL_OUT_OF_MEMORY);
  }
  Immediate(Op::GenLists, range, first);
  return first;
}

void CapNewList(GLuint list, GLenum mode) {
  Immediate(Op::NewList, list, mode);
  if (g.compiling || g.inBegin) return SetError(GL_INVALID_OPERATION);
  if (list == 0) return SetError(GL_INVALID_VALUE);
  if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) return SetError(GL_INVALID_ENUM);
  g.compiling = list;
  g.compileMode = mode;
  g.pending = DisplayList{};
  if (list >= g.nextList && list < UINT32_MAX) g.nextList = list + 1;
}

void CapEndList() {
  Immediate(Op::EndList);
  if (!g.compiling) return SetError(GL_INVALID_OPERATION);
  DisplayList& dl = g.lists[g.compiling];
  const std::uint64_t executions = dl.executions;  // the count belongs to the name, not the contents
  dl = std::move(g.pending);
  dl.executions = executions;
  g.pending = DisplayList{};
  g.listCallsCache.erase(g.compiling);
  g.compiling = 0;
  g.compileMode = 0;
}

void CapCallList(GLuint list) { Call(Op::CallList, list); }

void CapDeleteLists(GLuint list, GLsizei range) {
  Immediate(Op::DeleteLists, list, range);
  if (range < 0) return SetError(GL_INVALID_VALUE);
  const std::uint64_t end = static_cast<std::uint64_t>(list) + static_cast<std::uint64_t>(range);
  for (auto it = g.lists.begin(); it != g.lists.end();) {
    if (it->first >= list && it->first < end) {
      g.listCallsCache.erase(it->first);
      it = g.lists.erase(it);
    } else {
      ++it;
    }
  }
}

GLboolean CapIsList(GLuint list) {
  Immediate(Op::IsList, list);
  return g.lists.count(list) ? GL_TRUE : GL_FALSE;
}

void CapEnable(GLenum cap) { Call(Op::Enable, cap); }
void CapDisable(GLenum cap) { Call(Op::Disable, cap); }

GLboolean CapIsEnabled(GLenum cap) {
  Immediate(Op::IsEnabled, cap);
  return IsEnabled(cap) ? GL_TRUE : GL_FALSE;
}

void CapPushAttrib(GLbitfield mask) { Call(Op::PushAttrib, mask); }
void CapPopAttrib() { Call(Op::PopAttrib); }

// glLightfv and its kin: the values are expanded into the call as many as
// the parameter takes; an unknown parameter is logged without values.
void VectorCall(Op op, GLenum target, GLenum pname, const GLfloat* v, int count) {
  double a[6]{static_cast<double>(target), static_cast<double>(pname)};
  if (!v) count = 0;
  if (v) std::copy_n(v, count, a + 2);
  Issue(op, a, 2 + count);
}

void CapLightfv(GLenum light, GLenum pname, const GLfloat* v) {
  VectorCall(Op::Lightfv, light, pname, v, LightParamCount(pname));
}
void CapLightf(GLenum light, GLenum pname, GLfloat v) { Call(Op::Lightf, light, pname, v); }
void CapLightModeli(GLenum pname, GLint v) { Call(Op::LightModeli, pname, v); }
void CapLightModelfv(GLenum pname, const GLfloat* v) {
  double a[5]{static_cast<double>(pname)};
  const int count = v ? LightModelParamCount(pname) : 0;
  if (v) std::copy_n(v, count, a + 1);
  Issue(Op::LightModelfv, a, 1 + count);
}
void CapMaterialfv(GLenum face, GLenum pname, const GLfloat* v) {
  VectorCall(Op::Materialfv, face, pname, v, MaterialParamCount(pname));
}
void CapMaterialf(GLenum face, GLenum pname, GLfloat v) { Call(Op::Materialf, face, pname, v); }
void CapShadeModel(GLenum mode) { Call(Op::ShadeModel, mode); }
void CapClear(GLbitfield mask) { Call(Op::Clear, mask); }
void CapClearColor(GLclampf r, GLclampf gr, GLclampf b, GLclampf a) { Call(Op::ClearColor, r, gr, b, a); }
void CapClearDepth(GLclampd depth) { Call(Op::ClearDepth, depth); }
void CapDepthFunc(GLenum func) { Call(Op::DepthFunc, func); }
void CapDepthMask(GLboolean flag) { Call(Op::DepthMask, flag); }
void CapAlphaFunc(GLenum func, GLclampf ref) { Call(Op::AlphaFunc, func, ref); }
void CapBlendFunc(GLenum s, GLenum d) { Call(Op::BlendFunc, s, d); }
void CapCullFace(GLenum mode) { Call(Op::CullFace, mode); }
void CapFrontFace(GLenum mode) { Call(Op::FrontFace, mode); }
void CapHint(GLenum target, GLenum mode) { Call(Op::Hint, target, mode); }
void CapPointSize(GLfloat size) { Call(Op::PointSize, size); }

void CapPixelStorei(GLenum pname, GLint param) {
  Immediate(Op::PixelStorei, pname, param);
  const bool alignment = pname == GL_UNPACK_ALIGNMENT || pname == GL_PACK_ALIGNMENT;
  if (alignment && param != 1 && param != 2 && param != 4 && param != 8) return SetError(GL_INVALID_VALUE);
  if (!alignment && param < 0) return SetError(GL_INVALID_VALUE);
  g.pixelStore[pname] = param;
}

// glGenTextures, glGenBuffers and the deletes: logged as n then the names.
void LogNames(Op op, GLsizei n, const GLuint* names) {
  double a[16]{static_cast<double>(n)};
  const int count = names && n > 0 ? std::min(n, 15) : 0;
  if (names) std::copy_n(names, count, a + 1);
  LogCall(op, a, 1 + count, 0);
}

void CapGenTextures(GLsizei n, GLuint* names) {
  if (n < 0) SetError(GL_INVALID_VALUE);
  for (GLsizei i = 0; names && i < n; ++i) {
    names[i] = g.nextTexture++;
    g.textures.try_emplace(names[i]);
  }
  LogNames(Op::GenTextures, n, names);
}

void CapDeleteTextures(GLsizei n, const GLuint* names) {
  LogNames(Op::DeleteTextures, n, names);
  if (n < 0) return SetError(GL_INVALID_VALUE);
  for (GLsizei i = 0; names && i < n; ++i) {
    if (names[i] == 0) continue;
    g.textures.erase(names[i]);
    if (g.st.boundTexture == names[i]) g.st.boundTexture = 0;
  }
}

void CapBindTexture(GLenum target, GLuint name) { Call(Op::BindTexture, target, name); }
void CapTexParameteri(GLenum target, GLenum pname, GLint param) { Call(Op::TexParameteri, target, pname, param); }

void CapTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                   GLenum format, GLenum type, const GLvoid* pixels) {
  const double a[]{static_cast<double>(target), static_cast<double>(level), static_cast<double>(internalFormat),
                   static_cast<double>(width), static_cast<double>(height), static_cast<double>(border),
                   static_cast<double>(format), static_cast<double>(type)};
  constexpr int n = static_cast<int>(std::size(a));
  LogCall(Op::TexImage2D, a, n, g.compiling);
  // GL reads the client's pixels now, even when only compiling.
  if (!ValidImage(target, level, width, height, border, format, type)) {
    if (g.compiling) {
      Record(Op::TexImage2D, a, n);
      g.pending.args.push_back(-1);
    }
    return;
  }
  std::vector<std::uint8_t> image;
  if (pixels) image = Unpack(width, height, format, type, pixels);
  if (g.compiling) {
    Record(Op::TexImage2D, a, n);
    g.pending.args.push_back(pixels ? static_cast<double>(g.pending.images.size()) : -1);
    if (pixels) g.pending.images.push_back(image);
    if (g.compileMode == GL_COMPILE) return;
  }
  if (g.inBegin) return SetError(GL_INVALID_OPERATION);
  TexImage(level, internalFormat, width, height, format, type, pixels ? &image : nullptr);
}

void CapGetFloatv(GLenum pname, GLfloat* out) { Immediate(Op::GetFloatv, pname); GetInto(pname, out); }
void CapGetIntegerv(GLenum pname, GLint* out) { Immediate(Op::GetIntegerv, pname); GetInto(pname, out); }
void CapGetDoublev(GLenum pname, GLdouble* out) { Immediate(Op::GetDoublev, pname); GetInto(pname, out); }
void CapGetBooleanv(GLenum pname, GLboolean* out) { Immediate(Op::GetBooleanv, pname); GetInto(pname, out); }

const GLubyte* CapGetString(GLenum name) {
  Immediate(Op::GetString, name);
  const char* s = nullptr;
  switch (name) {
    case GL_VENDOR: s = "garden"; break;
    case GL_RENDERER: s = "garden GL capture"; break;
    case GL_VERSION: s = "1.1 garden GL capture"; break;
    case GL_EXTENSIONS: s = "GL_EXT_bgra"; break;
    default: SetError(GL_INVALID_ENUM);
  }
  return reinterpret_cast<const GLubyte*>(s);
}

GLenum CapGetError() {
  Immediate(Op::GetError);
  const GLenum e = g.error;
  g.error = GL_NO_ERROR;
  return e;
}

// There is no framebuffer: reading pixels yields zeros, laid out with the
// pack settings in force.
void CapReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels) {
  Immediate(Op::ReadPixels, x, y, width, height, format, type);
  if (FormatComponents(format) == 0 || TypeSize(type) == 0) return SetError(GL_INVALID_ENUM);
  if (width < 0 || height < 0) return SetError(GL_INVALID_VALUE);
  if (!pixels || width == 0 || height == 0) return;
  const int comps = FormatComponents(format), size = TypeSize(type);
  const GLint rowLength = PixelStore(GL_PACK_ROW_LENGTH) > 0 ? PixelStore(GL_PACK_ROW_LENGTH) : width;
  const std::size_t stride = RowStride(static_cast<std::size_t>(rowLength), comps, size, PixelStore(GL_PACK_ALIGNMENT));
  const std::size_t rowBytes = static_cast<std::size_t>(width * comps * size);
  auto* dst = static_cast<std::uint8_t*>(pixels);
  for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row) std::memset(dst + row * stride, 0, rowBytes);
}

void CapFinish() { Immediate(Op::Finish); }
void CapFlush() { Immediate(Op::Flush); }
void CapEnableClientState(GLenum array) { Immediate(Op::EnableClientState, array); SetClientState(array, true); }
void CapDisableClientState(GLenum array) { Immediate(Op::DisableClientState, array); SetClientState(array, false); }

void CapVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
  Immediate(Op::VertexPointer, size, type, stride);
  SetPointer(g.vertexArray, 2, size, type, stride, p);
}
void CapNormalPointer(GLenum type, GLsizei stride, const GLvoid* p) {
  Immediate(Op::NormalPointer, type, stride);
  SetPointer(g.normalArray, 3, 3, type, stride, p);
}
void CapTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
  Immediate(Op::TexCoordPointer, size, type, stride);
  SetPointer(g.texCoordArray, 1, size, type, stride, p);
}

void CapDrawArrays(GLenum mode, GLint first, GLsizei count) {
  const double a[]{static_cast<double>(mode), static_cast<double>(first), static_cast<double>(count)};
  LogCall(Op::DrawArrays, a, 3, g.compiling);
  DrawArrays(mode, first, count);
}

void CapGenBuffers(GLsizei n, GLuint* names) {
  if (n < 0) SetError(GL_INVALID_VALUE);
  for (GLsizei i = 0; names && i < n; ++i) {
    names[i] = g.nextBuffer++;
    g.buffers.try_emplace(names[i]);
  }
  LogNames(Op::GenBuffers, n, names);
}

void CapDeleteBuffers(GLsizei n, const GLuint* names) {
  LogNames(Op::DeleteBuffers, n, names);
  if (n < 0) return SetError(GL_INVALID_VALUE);
  for (GLsizei i = 0; names && i < n; ++i) {
    if (names[i] == 0) continue;
    g.buffers.erase(names[i]);
    if (g.arrayBuffer == names[i]) g.arrayBuffer = 0;
    if (g.elementBuffer == names[i]) g.elementBuffer = 0;
  }
}

void CapBindBuffer(GLenum target, GLuint name) {
  Immediate(Op::BindBuffer, target, name);
  GLuint* slot = target == GL_ARRAY_BUFFER           ? &g.arrayBuffer
                 : target == GL_ELEMENT_ARRAY_BUFFER ? &g.elementBuffer
                                                     : nullptr;
  if (!slot) return SetError(GL_INVALID_ENUM);
  if (name) g.buffers.try_emplace(name);
  g.nextBuffer = std::max(g.nextBuffer, name + 1);
  *slot = name;
}

void CapBufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage) {
  Immediate(Op::BufferData, target, size, usage);
  const GLuint name = target == GL_ARRAY_BUFFER           ? g.arrayBuffer
                      : target == GL_ELEMENT_ARRAY_BUFFER ? g.elementBuffer
                                                          : 0;
  if (target != GL_ARRAY_BUFFER && target != GL_ELEMENT_ARRAY_BUFFER) return SetError(GL_INVALID_ENUM);
  if (size < 0) return SetError(GL_INVALID_VALUE);
  if (name == 0) return SetError(GL_INVALID_OPERATION);
  auto& buffer = g.buffers[name];
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (bytes) buffer.assign(bytes, bytes + size);
  else buffer.assign(static_cast<std::size_t>(size), 0);
}

void CapPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  Call(Op::Perspective, fovy, aspect, zNear, zFar);
}

// Builds the bound texture's image and marks the whole mipmap chain as
// defined. Level 0 keeps the image as given (GLU would first rescale an
// image whose sides are not powers of two).
GLint CapBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                        GLenum type, const void* data) {
  Immediate(Op::Build2DMipmaps, target, internalFormat, width, height, format, type);
  if (target != GL_TEXTURE_2D || FormatComponents(format) == 0 || TypeSize(type) == 0) return kGluInvalidEnum;
  if (width < 1 || height < 1 || width > kMaxTextureSize || height > kMaxTextureSize || !data) return kGluInvalidValue;
  const std::vector<std::uint8_t> image = Unpack(width, height, format, type, data);
  TexImage(0, internalFormat, width, height, format, type, &image);
  CapturedTexture& t = BoundTexture();
  const int levels = std::bit_width(static_cast<unsigned>(std::max(width, height)));
  t.definedLevels = levels >= 32 ? ~0u : (1u << levels) - 1;
  t.levels = LevelCount(t.definedLevels);
  t.mipmaps = true;
  return 0;
}

void Install() {
  GLDispatchTable& t = GLDispatch;
  t.glBegin = CapBegin;
  t.glEnd = CapEnd;
  t.glVertex2f = CapVertex2f;
  t.glVertex3f = CapVertex3f;
  t.glNormal3f = CapNormal3f;
  t.glTexCoord2f = CapTexCoord2f;
  t.glColor3f = CapColor3f;
  t.glColor4f = CapColor4f;
  t.glMatrixMode = CapMatrixMode;
  t.glLoadIdentity = CapLoadIdentity;
  t.glLoadMatrixf = CapLoadMatrixf;
  t.glMultMatrixf = CapMultMatrixf;
  t.glPushMatrix = CapPushMatrix;
  t.glPopMatrix = CapPopMatrix;
  t.glTranslatef = CapTranslatef;
  t.glRotatef = CapRotatef;
  t.glScalef = CapScalef;
  t.glOrtho = CapOrtho;
  t.glFrustum = CapFrustum;
  t.glViewport = CapViewport;
  t.glGenLists = CapGenLists;
  t.glNewList = CapNewList;
  t.glEndList = CapEndList;
  t.glCallList = CapCallList;
  t.glDeleteLists = CapDeleteLists;
  t.glIsList = CapIsList;
  t.glEnable = CapEnable;
  t.glDisable = CapDisable;
  t.glIsEnabled = CapIsEnabled;
  t.glPushAttrib = CapPushAttrib;
  t.glPopAttrib = CapPopAttrib;
  t.glLightfv = CapLightfv;
  t.glLightf = CapLightf;
  t.glLightModeli = CapLightModeli;
  t.glLightModelfv = CapLightModelfv;
  t.glMaterialfv = CapMaterialfv;
  t.glMaterialf = CapMaterialf;
  t.glShadeModel = CapShadeModel;
  t.glClear = CapClear;
  t.glClearColor = CapClearColor;
  t.glClearDepth = CapClearDepth;
  t.glDepthFunc = CapDepthFunc;
  t.glDepthMask = CapDepthMask;
  t.glAlphaFunc = CapAlphaFunc;
  t.glBlendFunc = CapBlendFunc;
  t.glCullFace = CapCullFace;
  t.glFrontFace = CapFrontFace;
  t.glHint = CapHint;
  t.glPointSize = CapPointSize;
  t.glPixelStorei = CapPixelStorei;
  t.glGenTextures = CapGenTextures;
  t.glDeleteTextures = CapDeleteTextures;
  t.glBindTexture = CapBindTexture;
  t.glTexParameteri = CapTexParameteri;
  t.glTexImage2D = CapTexImage2D;
  t.glGetFloatv = CapGetFloatv;
  t.glGetIntegerv = CapGetIntegerv;
  t.glGetDoublev = CapGetDoublev;
  t.glGetBooleanv = CapGetBooleanv;
  t.glGetString = CapGetString;
  t.glGetError = CapGetError;
  t.glReadPixels = CapReadPixels;
  t.glFinish = CapFinish;
  t.glFlush = CapFlush;
  t.glEnableClientState = CapEnableClientState;
  t.glDisableClientState = CapDisableClientState;
  t.glVertexPointer = CapVertexPointer;
  t.glNormalPointer = CapNormalPointer;
  t.glTexCoordPointer = CapTexCoordPointer;
  t.glDrawArrays = CapDrawArrays;
  t.glGenBuffers = CapGenBuffers;
  t.glDeleteBuffers = CapDeleteBuffers;
  t.glBindBuffer = CapBindBuffer;
  t.glBufferData = CapBufferData;
  t.gluPerspective = CapPerspective;
  t.gluBuild2DMipmaps = CapBuild2DMipmaps;
}

}  // namespace

// ---------------------------------------------------------------------------
// Public interface.

void InstallGLCapture() {
  ResetGLCapture();
  Install();
  g_installed = true;
}

void ResetGLCapture() {
  g = Capture{};
  for (auto& stack : g.stacks) stack.assign(1, CaptureMatrix{});
  g.stacks[0].reserve(kStackCapacity[0]);
  CapturedLight& light0 = g.st.lights[0];
  light0.diffuse = light0.specular = {1, 1, 1, 1};
  for (GLenum hint : {GL_PERSPECTIVE_CORRECTION_HINT, GL_POINT_SMOOTH_HINT, GL_LINE_SMOOTH_HINT,
                      GL_POLYGON_SMOOTH_HINT, GL_FOG_HINT})
    g.st.hints[hint] = GL_DONT_CARE;
  for (GLenum p : {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                   GL_UNPACK_SKIP_PIXELS, GL_PACK_ROW_LENGTH})
    g.pixelStore[p] = 0;
  g.pixelStore[GL_UNPACK_ALIGNMENT] = 4;
  g.pixelStore[GL_PACK_ALIGNMENT] = 4;
  g.textures.try_emplace(0);  // the default texture, bound until another is
  g.attribStack.reserve(kMaxAttribDepth);
}

bool GLCaptureInstalled() { return g_installed && GLDispatch.glBegin == CapBegin; }

const std::vector<CapturedCall>& CaptureLog() { return g.log; }
void ClearCaptureLog() { g.log.clear(); }
void SetCaptureLogging(bool on) { g.logging = on; }

const std::vector<CapturedVertex>& CapturedVertices() { return g.vertices; }
const std::vector<CapturedPrimitive>& CapturedPrimitives() { return g.primitives; }

std::uint64_t TrianglesFor(GLenum mode, std::size_t n) {
  switch (mode) {
    case GL_TRIANGLES: return n / 3;
    case GL_TRIANGLE_STRIP:
    case GL_TRIANGLE_FAN:
    case GL_POLYGON: return n >= 3 ? n - 2 : 0;
    case GL_QUADS: return (n / 4) * 2;
    case GL_QUAD_STRIP: return n >= 4 ? ((n - 2) / 2) * 2 : 0;
    default: return 0;
  }
}

void ClearCapturedGeometry() {
  g.vertices.clear();
  g.primitives.clear();
  g.vertexCount = g.primitiveCount = 0;
  g.open.first = 0;
  g.open.count = 0;
}

void SetCaptureGeometry(bool on) { g.geometry = on; }
std::uint64_t CapturedVertexCount() { return g.vertexCount; }
std::uint64_t CapturedPrimitiveCount() { return g.primitiveCount; }

bool CapturedListExists(GLuint list) { return g.lists.count(list) != 0; }

const std::vector<CapturedCall>& CapturedListCalls(GLuint list) {
  static const std::vector<CapturedCall> kNone;
  const auto it = g.lists.find(list);
  if (it == g.lists.end()) return kNone;
  auto [cached, fresh] = g.listCallsCache.try_emplace(list);
  if (fresh) {
    const DisplayList& dl = it->second;
    cached->second.reserve(dl.commands.size());
    for (const Command& c : dl.commands) {
      CapturedCall call;
      call.name = OpName(c.op);
      call.argCount = std::min<int>(c.argc, static_cast<int>(call.args.size()));
      std::copy_n(dl.args.data() + c.first, call.argCount, call.args.begin());
      call.list = list;
      cached->second.push_back(call);
    }
  }
  return cached->second;
}

std::uint64_t CapturedListExecutions(GLuint list) {
  const auto it = g.lists.find(list);
  return it == g.lists.end() ? 0 : it->second.executions;
}

void ClearListExecutions() {
  for (auto& [id, dl] : g.lists) dl.executions = 0;
}

void ExecuteCapturedList(GLuint list, const CaptureMatrix& modelView) {
  g.stacks[0].back() = modelView;
  ++g.modelViewVersion;
  ClearCapturedGeometry();
  CallList(list);
}

CaptureMatrix CapturedMatrix(GLenum mode) {
  const int index = StackIndex(mode);
  return index < 0 ? CaptureMatrix{} : g.stacks[static_cast<std::size_t>(index)].back();
}

int CapturedStackDepth(GLenum mode) {
  const int index = StackIndex(mode);
  return index < 0 ? 0 : static_cast<int>(g.stacks[static_cast<std::size_t>(index)].size());
}

int CapturedAttribStackDepth() { return static_cast<int>(g.attribStack.size()); }

CapturedLight CapturedLightState(int index) {
  if (index < 0 || index >= kMaxLights) return CapturedLight{};
  return g.st.lights[static_cast<std::size_t>(index)];
}

CapturedMaterial CapturedMaterialState(GLenum face) { return face == GL_BACK ? g.st.back : g.st.front; }
bool CapturedIsEnabled(GLenum cap) { return IsEnabled(cap); }
GLuint CapturedCompilingList() { return g.compiling; }
GLenum CapturedError() { return g.error; }

const CapturedTexture* CapturedTextureInfo(GLuint name) {
  const auto it = g.textures.find(name);
  return it == g.textures.end() ? nullptr : &it->second;
}

GLuint CapturedBoundTexture() { return g.st.boundTexture; }

CapturedStateSnapshot CapturedState() {
  const State& s = g.st;
  CapturedStateSnapshot out;
  out.clearColor = s.clearColor;
  out.clearDepth = s.clearDepth;
  out.viewport = s.viewport;
  out.matrixMode = s.matrixMode;
  out.depthFunc = s.depthFunc;
  out.depthMask = s.depthMask;
  out.alphaFunc = s.alphaFunc;
  out.alphaRef = s.alphaRef;
  out.blendSrc = s.blendSrc;
  out.blendDst = s.blendDst;
  out.cullFaceMode = s.cullMode;
  out.frontFace = s.frontFace;
  out.shadeModel = s.shadeModel;
  out.lightModelTwoSide = s.twoSide;
  out.lightModelLocalViewer = s.localViewer;
  out.lightModelAmbient = s.modelAmbient;
  out.pointSize = s.pointSize;
  out.color = s.color;
  out.normal = s.normal;
  out.texCoord = s.texCoord;
  out.hints = s.hints;
  out.pixelStore = g.pixelStore;
  return out;
}
