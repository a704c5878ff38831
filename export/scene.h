// The garden as meshes: builds the plants through the GL capture exactly as
// the demo's catalogue builds them, executes each plant list once and turns
// what it emits into indexed triangles grouped by material, with the
// textures' pixels read back from the capture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/gl.h"
#include "textures/image_write.h"

struct SceneRequest {
  std::string plant;                    // a list name ("Fico", "Canna[2]"); empty: the whole garden
  std::int32_t seed = 0;                // RandSeed; 0 is the demo's garden
  std::optional<std::int32_t> quality;  // generator arguments for the one plant
  std::optional<std::int32_t> levels;
  std::string textureDir;               // folder holding the texture files
};

// One material of a plant: what GL had in force at glBegin.
struct SceneMaterial {
  GLuint texture = 0;      // GL texture name; 0 = none
  bool alphaTest = false;  // cut-out: alpha must exceed alphaCutoff
  float alphaCutoff = 0;
  bool twoSide = false;    // two-sided lighting
  bool operator==(const SceneMaterial&) const = default;
};

// The triangles of one plant that share a material, in the plant's own
// frame. Triangles keep GL's front-face orientation (counter-clockwise).
struct MeshPart {
  SceneMaterial material;
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 3>> normals;  // unit length
  std::vector<std::array<float, 2>> texcoords;  // GL's (s, t)
  std::vector<std::uint32_t> indices;
};

struct PlantMesh {
  std::string name;                        // the list name
  std::array<float, 3> translation{0, 0, 0};
  float scale = 1;
  std::vector<MeshPart> parts;
};

struct SceneTexture {
  GLuint name = 0;
  std::string label;  // "bmp1", "tga0", ...: the slot it was loaded into
  RgbaImage image;    // rows in upload order: row 0 is t = 0
  bool hasAlpha = false;
};

// Name of the node that holds the ground square of the whole garden.
inline constexpr const char* kGroundNode = "ground";

struct GardenScene {
  std::vector<PlantMesh> plants;  // the plants asked for; the whole garden ends with the ground
  std::vector<SceneTexture> textures;  // those the plants use, by first use
};

// The list names of the garden, in the catalogue's order.
std::vector<std::string> GardenListNames();

// Checks a request without building anything: the plant name, and quality
// and levels only for one plant that has them and within the limits the
// tool allows. Returns an empty string or a one-line error.
std::string CheckSceneRequest(const SceneRequest& request);

// Builds the scene. Installs the GL capture and the headless desktop layer
// (nothing is shown); reads the textures from request.textureDir. Returns
// an empty string or a one-line error; `scene` is filled on success.
std::string BuildGardenScene(const SceneRequest& request, GardenScene& scene);

// The same triangles as what the capture emitted since its last clear,
// restricted to primitives [first, last): appends parts to `plant`.
void AppendCapturedTriangles(PlantMesh& plant, std::size_t first, std::size_t last);

// Totals over a scene.
std::uint64_t SceneVertexCount(const GardenScene& scene);
std::uint64_t SceneTriangleCount(const GardenScene& scene);
