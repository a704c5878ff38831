// Builds the garden through the GL capture and turns the emitted geometry
// into indexed triangles per plant and material.
#include "export/scene.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/catalogue.h"
#include "app/frame.h"
#include "export/demo_setup.h"
#include "export/folders.h"
#include "platform/headless.h"
#include "plants/plants.h"
#include "render/glcapture.h"
#include "render/random.h"
#include "textures/bmp_texture.h"
#include "textures/tga_texture.h"

namespace {

// The generator calls of the catalogue with Quality and NumLevel open, for
// building one plant with other arguments. The other arguments and the
// callbacks are the catalogue's; a test checks that the catalogue's own
// Quality and NumLevel give the catalogue's plant.
struct PlantCall {
  const char* list;
  std::int32_t quality;
  std::int32_t levels;     // -1: the generator has no NumLevel
  std::int32_t maxLevels;  // largest NumLevel the tool accepts
  void (*build)(std::int32_t quality, std::int32_t levels);
};

// The branching plants grow about threefold per level, the palm and the
// canes one segment per level.
constexpr std::int32_t kBranchedMaxLevels = 7;
constexpr std::int32_t kLinearMaxLevels = 40;
constexpr std::int32_t kMaxQuality = 64;

const std::array<PlantCall, 10> kPlantCalls = {{
    {"Cespuglio", 12, 4, kBranchedMaxLevels,
     [](std::int32_t q, std::int32_t l) {
       BushAdvancedFractal3D(Cespuglio, ChiomaCespuglio, MatCespuglio, MatFoglieCespuglio, q, l, 0.2f);
     }},
    {"Fico", 12, 4, kBranchedMaxLevels,
     [](std::int32_t q, std::int32_t l) { TreeAdvancedFractal3D(Fico, ChiomaFico, MatFico, MatFoglieFico, q, l, 0.2f); }},
    {"Palma1", 12, 4, kLinearMaxLevels,
     [](std::int32_t q, std::int32_t l) {
       PalmAdvancedFractal3D(Palma1, ChiomaPalma1, MatPalma1, MatFogliePalma1, q, l, 0.2f);
     }},
    {"Pino", 12, 4, kBranchedMaxLevels,
     [](std::int32_t q, std::int32_t l) { Tree2AdvancedFractal3D(Pino, ChiomaPino, MatPino, MatFogliePino, q, l, 0.4f); }},
    {"Dracena", 12, 4, kBranchedMaxLevels,
     [](std::int32_t q, std::int32_t l) {
       YuccaTypeAdvancedFractal3D(Dracena, ChiomaDracena, MatDracena, MatFoglieDracena, q, l, 0.4f);
     }},
    {"Mangrovia", 12, 4, kBranchedMaxLevels,
     [](std::int32_t q, std::int32_t l) {
       MangroveTypeAdvancedFractal3D(Mangrovia, ChiomaMangrovia, MatMangrovia, MatFoglieMangrovia, q, l, 0.4f);
     }},
    {"Erba", 6, -1, 0,
     [](std::int32_t q, std::int32_t) { GrassAdvancedFractal3D(Erba, MatErba1, MatErba2, MatErba3, q, 1.0f, 2.0f); }},
    {"Canna[0]", 8, 10, kLinearMaxLevels,
     [](std::int32_t q, std::int32_t l) { CaneAdvancedFractal3D(Canna[0], ChiomaCanna, MatCanna, MatFoglieCanna, q, l, 0.2f); }},
    {"Canna[1]", 8, 10, kLinearMaxLevels,
     [](std::int32_t q, std::int32_t l) { CaneAdvancedFractal3D(Canna[1], ChiomaCanna, MatCanna, MatFoglieCanna, q, l, 0.2f); }},
    {"Canna[2]", 8, 10, kLinearMaxLevels,
     [](std::int32_t q, std::int32_t l) { CaneAdvancedFractal3D(Canna[2], ChiomaCanna, MatCanna, MatFoglieCanna, q, l, 0.2f); }},
}};

const PlantCall* FindCall(const std::string& list) {
  for (const PlantCall& c : kPlantCalls) {
    if (list == c.list) return &c;
  }
  return nullptr;
}

std::string SlotLabel(GLuint name) {
  for (std::size_t i = 0; i < TextureID2.size(); ++i) {
    if (TextureID2[i] == name) return "bmp" + std::to_string(i);
  }
  for (std::size_t i = 0; i < TextureTGA2.size(); ++i) {
    if (TextureTGA2[i].TexID == name) return "tga" + std::to_string(i);
  }
  return "texture" + std::to_string(name);
}

// Level 0 of a captured texture as RGBA rows in upload order.
std::string ReadTexture(GLuint name, SceneTexture& out) {
  out.name = name;
  out.label = SlotLabel(name);
  const CapturedTexture* info = CapturedTextureInfo(name);
  if (!info || !info->hasImage) return "texture " + out.label + " has no image (texture files missing?)";
  if (info->type != GL_UNSIGNED_BYTE) return "texture " + out.label + " is not 8-bit";
  int channels = 0;
  std::array<int, 4> from{0, 1, 2, -1};  // source channel of R, G, B, A
  switch (info->format) {
    case GL_RGB: channels = 3; break;
    case GL_BGR: channels = 3; from = {2, 1, 0, -1}; break;
    case GL_RGBA: channels = 4; from = {0, 1, 2, 3}; break;
    case GL_BGRA: channels = 4; from = {2, 1, 0, 3}; break;
    case GL_LUMINANCE: channels = 1; from = {0, 0, 0, -1}; break;
    case GL_LUMINANCE_ALPHA: channels = 2; from = {0, 0, 0, 1}; break;
    default: return "texture " + out.label + " has a pixel format the export does not know";
  }
  // Internal formats 3 and GL_RGB keep no alpha: GL samples alpha as 1.
  const bool keepsAlpha = !(info->internalFormat == 3 || info->internalFormat == static_cast<GLint>(GL_RGB) ||
                            info->internalFormat == 1 || info->internalFormat == static_cast<GLint>(GL_LUMINANCE));
  const std::size_t pixels = static_cast<std::size_t>(info->width) * static_cast<std::size_t>(info->height);
  if (info->pixels.size() < pixels * static_cast<std::size_t>(channels)) {
    return "texture " + out.label + " holds fewer pixels than its size";
  }
  out.image = RgbaImage(info->width, info->height);
  out.hasAlpha = false;
  for (std::size_t p = 0; p < pixels; ++p) {
    const std::uint8_t* src = &info->pixels[p * static_cast<std::size_t>(channels)];
    std::uint8_t* dst = &out.image.rgba[p * 4];
    for (int c = 0; c < 3; ++c) dst[c] = src[from[static_cast<std::size_t>(c)]];
    dst[3] = (from[3] >= 0 && keepsAlpha) ? src[from[3]] : 255;
    if (dst[3] != 255) out.hasAlpha = true;
  }
  return {};
}

std::array<float, 3> UnitNormal(const CapturedVertex& v) {
  const double len = std::sqrt(double(v.nx) * v.nx + double(v.ny) * v.ny + double(v.nz) * v.nz);
  if (!(len > 0) || !std::isfinite(len)) return {0, 0, 1};
  return {static_cast<float>(v.nx / len), static_cast<float>(v.ny / len), static_cast<float>(v.nz / len)};
}

SceneMaterial MaterialOf(const CapturedPrimitive& prim) {
  SceneMaterial m;
  m.texture = prim.texture2D ? prim.texture : 0;
  m.alphaTest = prim.alphaTest && (prim.alphaFunc == GL_GREATER || prim.alphaFunc == GL_GEQUAL);
  m.alphaCutoff = m.alphaTest ? prim.alphaRef : 0;
  m.twoSide = prim.twoSide && prim.lighting;
  return m;
}

MeshPart& PartFor(PlantMesh& plant, const SceneMaterial& m) {
  for (MeshPart& q : plant.parts) {
    if (q.material == m) return q;
  }
  plant.parts.push_back(MeshPart{m, {}, {}, {}, {}});
  return plant.parts.back();
}

}  // namespace


void AppendCapturedTriangles(PlantMesh& plant, std::size_t first, std::size_t last) {
  const std::vector<CapturedVertex>& verts = CapturedVertices();
  const std::vector<CapturedPrimitive>& prims = CapturedPrimitives();
  last = std::min(last, prims.size());

  // Sizes first, so each part's arrays grow once.
  std::vector<std::pair<std::size_t, std::size_t>> sizes;  // vertices, indices per part
  for (std::size_t p = first; p < last; ++p) {
    const std::uint64_t triangles = TrianglesFor(prims[p].mode, prims[p].count);
    if (triangles == 0) continue;
    MeshPart& part = PartFor(plant, MaterialOf(prims[p]));
    const auto k = static_cast<std::size_t>(&part - plant.parts.data());
    if (sizes.size() <= k) sizes.resize(k + 1, {0, 0});
    sizes[k].first += prims[p].count;
    sizes[k].second += static_cast<std::size_t>(triangles) * 3;
  }
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    MeshPart& part = plant.parts[k];
    part.positions.reserve(part.positions.size() + sizes[k].first);
    part.normals.reserve(part.normals.size() + sizes[k].first);
    part.texcoords.reserve(part.texcoords.size() + sizes[k].first);
    part.indices.reserve(part.indices.size() + sizes[k].second);
  }

  for (std::size_t p = first; p < last; ++p) {
    const CapturedPrimitive& prim = prims[p];
    const std::size_t n = prim.count;
    if (TrianglesFor(prim.mode, n) == 0) continue;
    MeshPart& part = PartFor(plant, MaterialOf(prim));
    const auto base = static_cast<std::uint32_t>(part.positions.size());
    for (std::size_t i = 0; i < n; ++i) {
      const CapturedVertex& v = verts[prim.first + i];
      part.positions.push_back({v.x, v.y, v.z});
      part.normals.push_back(UnitNormal(v));
      part.texcoords.push_back({v.s, v.t});
    }
    auto tri = [&part, base](std::size_t a, std::size_t b, std::size_t c) {
      part.indices.push_back(base + static_cast<std::uint32_t>(a));
      part.indices.push_back(base + static_cast<std::uint32_t>(b));
      part.indices.push_back(base + static_cast<std::uint32_t>(c));
    };
    switch (prim.mode) {
      case GL_TRIANGLES:
        for (std::size_t i = 0; i + 2 < n; i += 3) tri(i, i + 1, i + 2);
        break;
      case GL_TRIANGLE_STRIP:
        // Every second triangle of a strip runs the other way round; GL
        // swaps its first two vertices to keep the strip's orientation.
        for (std::size_t i = 0; i + 2 < n; ++i) {
          if (i % 2 == 0) tri(i, i + 1, i + 2);
          else tri(i + 1, i, i + 2);
        }
        break;
      case GL_TRIANGLE_FAN:
      case GL_POLYGON:
        for (std::size_t i = 1; i + 1 < n; ++i) tri(0, i, i + 1);
        break;
      case GL_QUADS:
        for (std::size_t i = 0; i + 3 < n; i += 4) {
          tri(i, i + 1, i + 2);
          tri(i, i + 2, i + 3);
        }
        break;
      case GL_QUAD_STRIP:
        // Quad k is v2k, v2k+1, v2k+3, v2k+2 around its rim.
        for (std::size_t i = 0; i + 3 < n; i += 2) {
          tri(i, i + 1, i + 3);
          tri(i, i + 3, i + 2);
        }
        break;
      default: break;
    }
  }
}

std::vector<std::string> GardenListNames() {
  std::vector<std::string> names;
  for (const GardenPlant& p : GardenPlants) names.emplace_back(p.list);
  return names;
}

std::string CheckSceneRequest(const SceneRequest& request) {
  if (request.plant.empty()) {
    if (request.quality || request.levels) return "--quality and --levels need --plant";
    return {};
  }
  const PlantCall* call = FindCall(request.plant);
  if (!call) {
    std::string known;
    for (const std::string& n : GardenListNames()) known += (known.empty() ? "" : ", ") + n;
    return "unknown plant '" + request.plant + "' (one of " + known + ")";
  }
  if (request.quality && (*request.quality < 1 || *request.quality > kMaxQuality)) {
    return "--quality must be 1.." + std::to_string(kMaxQuality);
  }
  if (request.levels) {
    if (call->levels < 0) return request.plant + " has no levels";
    if (*request.levels < 0 || *request.levels > call->maxLevels) {
      return "--levels for " + request.plant + " must be 0.." + std::to_string(call->maxLevels);
    }
  }
  return {};
}

std::string BuildGardenScene(const SceneRequest& request, GardenScene& scene) {
  if (std::string e = CheckSceneRequest(request); !e.empty()) return e;
  scene = GardenScene{};

  // No window and no message boxes: the headless layer answers everything.
  UseHeadlessPlatform(800, 600);
  InstallGLCapture();
  SetCaptureLogging(false);
  SetCaptureGeometry(false);
  SetUpGardenGL(800, 600);
  ResetBMPTextureSlots();
  ResetTGATextureSlots();
  for (const GardenPlant& p : GardenPlants) *p.id = 0;
  ResetRandom();
  RandSeed = request.seed;  // the next draw seeds the sequence with it

  if (std::string e = InFolder(request.textureDir, OpenGL_Texture); !e.empty()) return e;

  // The plants share one random stream, so the plants before the one asked
  // for are built too, in the catalogue's order.
  std::vector<const GardenPlant*> wanted;
  for (const GardenPlant& p : GardenPlants) {
    const bool chosen = request.plant == p.list;
    if (chosen && (request.quality || request.levels)) {
      const PlantCall* call = FindCall(p.list);
      call->build(request.quality.value_or(call->quality), request.levels.value_or(call->levels));
    } else {
      p.build();
    }
    if (request.plant.empty() || chosen) wanted.push_back(&p);
    if (chosen) break;
  }

  SetCaptureGeometry(true);
  std::vector<GLuint> textureOrder;
  for (const GardenPlant* p : wanted) {
    PlantMesh mesh;
    mesh.name = p->list;
    if (request.plant.empty()) {
      for (const GardenPlacement& place : GardenLayout) {
        if (place.id != p->id) continue;
        mesh.translation = {place.x, place.y, place.z};
        mesh.scale = place.scale != 0 ? place.scale : 1;
      }
    }
    ExecuteCapturedList(*p->id);
    AppendCapturedTriangles(mesh, 0, CapturedPrimitives().size());
    ClearCapturedGeometry();
    for (const MeshPart& part : mesh.parts) {
      if (part.material.texture == 0) {
        return mesh.name + " draws without a texture (texture files missing in '" + request.textureDir + "'?)";
      }
      bool known = false;
      for (GLuint t : textureOrder) known = known || t == part.material.texture;
      if (!known) textureOrder.push_back(part.material.texture);
    }
    scene.plants.push_back(std::move(mesh));
  }
  if (request.plant.empty()) {
    // The ground: what the frame's garden drawing emits with no plant built.
    std::vector<GLuint> built;
    for (const GardenPlant& p : GardenPlants) built.push_back(std::exchange(*p.id, 0));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    ClearCapturedGeometry();
    DrawGarden();
    for (std::size_t i = 0; i < built.size(); ++i) *GardenPlants[i].id = built[i];
    PlantMesh ground;
    ground.name = kGroundNode;
    AppendCapturedTriangles(ground, 0, CapturedPrimitives().size());
    ClearCapturedGeometry();
    for (const MeshPart& part : ground.parts) {
      if (part.material.texture == 0) return "the ground draws without a texture (texture files missing?)";
      if (std::find(textureOrder.begin(), textureOrder.end(), part.material.texture) == textureOrder.end()) {
        textureOrder.push_back(part.material.texture);
      }
    }
    scene.plants.push_back(std::move(ground));
  }
  for (GLuint name : textureOrder) {
    SceneTexture t;
    if (std::string e = ReadTexture(name, t); !e.empty()) return e;
    scene.textures.push_back(std::move(t));
  }
  return {};
}

std::uint64_t SceneVertexCount(const GardenScene& scene) {
  std::uint64_t n = 0;
  for (const PlantMesh& p : scene.plants) {
    for (const MeshPart& part : p.parts) n += part.positions.size();
  }
  return n;
}

std::uint64_t SceneTriangleCount(const GardenScene& scene) {
  std::uint64_t n = 0;
  for (const PlantMesh& p : scene.plants) {
    for (const MeshPart& part : p.parts) n += part.indices.size() / 3;
  }
  return n;
}
