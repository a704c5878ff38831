// glTF writer: the buffer is laid out first (vertex attributes, indices,
// images, each view 4-byte aligned), then the JSON that describes it.
#include "export/gltf.h"
#include "export/png_fast.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <span>

namespace {

constexpr int kFloat = 5126;
constexpr int kUnsignedInt = 5125;
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kTriangles = 4;
constexpr int kLinear = 9729;
constexpr int kLinearMipmapLinear = 9987;
constexpr int kRepeat = 10497;

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) < 0x20) continue;
    out += c;
  }
  return out + "\"";
}

struct Builder {
  std::vector<std::uint8_t> bin;
  std::vector<std::string> views, accessors;

  int AddView(std::span<const std::uint8_t> bytes, int target) {
    while (bin.size() % 4 != 0) bin.push_back(0);
    const std::size_t offset = bin.size();
    bin.insert(bin.end(), bytes.begin(), bytes.end());
    std::string v = "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                    ",\"byteLength\":" + std::to_string(bytes.size());
    if (target) v += ",\"target\":" + std::to_string(target);
    views.push_back(v + "}");
    return static_cast<int>(views.size()) - 1;
  }

  // A float accessor of N components with its exact min and max.
  template <std::size_t N>
  int AddFloats(const std::vector<std::array<float, N>>& data, const char* type) {
    std::array<float, N> lo, hi;
    lo.fill(std::numeric_limits<float>::infinity());
    hi.fill(-std::numeric_limits<float>::infinity());
    for (const auto& e : data) {
      for (std::size_t i = 0; i < N; ++i) {
        lo[i] = std::min(lo[i], e[i]);
        hi[i] = std::max(hi[i], e[i]);
      }
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    const int view = AddView({bytes, data.size() * sizeof(data[0])}, kArrayBuffer);
    std::string a = "{\"bufferView\":" + std::to_string(view) + ",\"componentType\":" + std::to_string(kFloat) +
                    ",\"count\":" + std::to_string(data.size()) + ",\"type\":\"" + type + "\"";
    a += ",\"min\":[";
    for (std::size_t i = 0; i < N; ++i) a += (i ? "," : "") + FloatText(lo[i]);
    a += "],\"max\":[";
    for (std::size_t i = 0; i < N; ++i) a += (i ? "," : "") + FloatText(hi[i]);
    accessors.push_back(a + "]}");
    return static_cast<int>(accessors.size()) - 1;
  }

  int AddIndices(const std::vector<std::uint32_t>& data) {
    const auto [lo, hi] = std::minmax_element(data.begin(), data.end());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    const int view = AddView({bytes, data.size() * sizeof(data[0])}, kElementArrayBuffer);
    accessors.push_back("{\"bufferView\":" + std::to_string(view) + ",\"componentType\":" +
                        std::to_string(kUnsignedInt) + ",\"count\":" + std::to_string(data.size()) +
                        ",\"type\":\"SCALAR\",\"min\":[" + std::to_string(*lo) + "],\"max\":[" +
                        std::to_string(*hi) + "]}");
    return static_cast<int>(accessors.size()) - 1;
  }
};

std::string MaterialJson(const SceneMaterial& m, const GardenScene& scene) {
  std::string label = "untextured";
  int textureIndex = -1;
  for (std::size_t i = 0; i < scene.textures.size(); ++i) {
    if (scene.textures[i].name == m.texture) {
      textureIndex = static_cast<int>(i);
      label = scene.textures[i].label;
    }
  }
  if (m.alphaTest) label += "_cutout";
  if (m.twoSide) label += "_twosided";
  std::string j = "{\"name\":" + Quoted(label) + ",\"pbrMetallicRoughness\":{";
  if (textureIndex >= 0) j += "\"baseColorTexture\":{\"index\":" + std::to_string(textureIndex) + "},";
  j += "\"metallicFactor\":0,\"roughnessFactor\":1}";
  if (m.alphaTest) j += ",\"alphaMode\":\"MASK\",\"alphaCutoff\":" + FloatText(m.alphaCutoff);
  if (m.twoSide) j += ",\"doubleSided\":true";
  return j + "}";
}

template <typename T>
std::string JoinArray(const std::vector<T>& items) {
  std::string s = "[";
  for (std::size_t i = 0; i < items.size(); ++i) s += (i ? "," : "") + items[i];
  return s + "]";
}

// The JSON up to the buffer's byte length (the caller closes it, with or
// without the buffer's uri) and the buffer.
std::pair<std::string, std::vector<std::uint8_t>> Build(const GardenScene& scene) {
  Builder b;
  std::size_t geometryBytes = 0;
  for (const PlantMesh& plant : scene.plants) {
    for (const MeshPart& part : plant.parts) geometryBytes += part.positions.size() * 32 + part.indices.size() * 4;
  }
  b.bin.reserve(geometryBytes + 4096);
  std::vector<SceneMaterial> materials;
  std::vector<std::string> meshes, nodes, nodeIndices;

  for (const PlantMesh& plant : scene.plants) {
    std::string node = "{\"name\":" + Quoted(plant.name);
    if (!plant.parts.empty()) {
      std::vector<std::string> prims;
      for (const MeshPart& part : plant.parts) {
        auto found = std::find(materials.begin(), materials.end(), part.material);
        const auto material = static_cast<std::size_t>(found - materials.begin());
        if (found == materials.end()) materials.push_back(part.material);
        const int pos = b.AddFloats(part.positions, "VEC3");
        const int nrm = b.AddFloats(part.normals, "VEC3");
        const int uv = b.AddFloats(part.texcoords, "VEC2");
        const int idx = b.AddIndices(part.indices);
        prims.push_back("{\"attributes\":{\"POSITION\":" + std::to_string(pos) + ",\"NORMAL\":" +
                        std::to_string(nrm) + ",\"TEXCOORD_0\":" + std::to_string(uv) + "},\"indices\":" +
                        std::to_string(idx) + ",\"material\":" + std::to_string(material) +
                        ",\"mode\":" + std::to_string(kTriangles) + "}");
      }
      node += ",\"mesh\":" + std::to_string(meshes.size());
      meshes.push_back("{\"name\":" + Quoted(plant.name) + ",\"primitives\":" + JoinArray(prims) + "}");
    }
    const auto& t = plant.translation;
    if (t[0] != 0 || t[1] != 0 || t[2] != 0) {
      node += ",\"translation\":[" + FloatText(t[0]) + "," + FloatText(t[1]) + "," + FloatText(t[2]) + "]";
    }
    if (plant.scale != 1) {
      const std::string s = FloatText(plant.scale);
      node += ",\"scale\":[" + s + "," + s + "," + s + "]";
    }
    nodeIndices.push_back(std::to_string(nodes.size()));
    nodes.push_back(node + "}");
  }

  std::vector<std::string> images, textures, materialJson;
  for (const SceneTexture& t : scene.textures) {
    const std::vector<std::uint8_t> png = EncodePNGFast(t.image);
    const int view = b.AddView(png, 0);
    images.push_back("{\"name\":" + Quoted(t.label) + ",\"bufferView\":" + std::to_string(view) +
                     ",\"mimeType\":\"image/png\"}");
    textures.push_back("{\"sampler\":0,\"source\":" + std::to_string(images.size() - 1) + "}");
  }
  for (const SceneMaterial& m : materials) materialJson.push_back(MaterialJson(m, scene));
  while (b.bin.size() % 4 != 0) b.bin.push_back(0);

  std::string j = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"garden_export\"},\"scene\":0,";
  j += "\"scenes\":[{\"name\":\"garden\",\"nodes\":" + JoinArray(nodeIndices) + "}],";
  j += "\"nodes\":" + JoinArray(nodes) + ",";
  if (!meshes.empty()) j += "\"meshes\":" + JoinArray(meshes) + ",";
  if (!materialJson.empty()) j += "\"materials\":" + JoinArray(materialJson) + ",";
  if (!textures.empty()) {
    j += "\"textures\":" + JoinArray(textures) + ",\"images\":" + JoinArray(images) + ",";
    j += "\"samplers\":[{\"magFilter\":" + std::to_string(kLinear) + ",\"minFilter\":" +
         std::to_string(kLinearMipmapLinear) + ",\"wrapS\":" + std::to_string(kRepeat) +
         ",\"wrapT\":" + std::to_string(kRepeat) + "}],";
  }
  if (!b.accessors.empty()) j += "\"accessors\":" + JoinArray(b.accessors) + ",";
  if (!b.views.empty()) j += "\"bufferViews\":" + JoinArray(b.views) + ",";
  j += "\"buffers\":[{\"byteLength\":" + std::to_string(b.bin.size());
  return {j, std::move(b.bin)};
}

std::string Base64(const std::vector<std::uint8_t>& data) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < data.size(); i += 3) {
    const std::uint32_t n = (std::uint32_t{data[i]} << 16) |
                            (i + 1 < data.size() ? std::uint32_t{data[i + 1]} << 8 : 0) |
                            (i + 2 < data.size() ? std::uint32_t{data[i + 2]} : 0);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < data.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < data.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::string FloatText(float v) {
  if (!std::isfinite(v)) v = 0;  // JSON has no infinities or NaN
  if (v == 0) v = 0;             // no "-0"
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string EncodeGltf(const GardenScene& scene) {
  auto [json, bin] = Build(scene);
  return json + ",\"uri\":\"data:application/octet-stream;base64," + Base64(bin) + "\"}]}";
}

std::vector<std::uint8_t> EncodeGlb(const GardenScene& scene) {
  auto [json, bin] = Build(scene);
  json += "}]}";
  while (json.size() % 4 != 0) json += ' ';
  std::vector<std::uint8_t> out;
  const std::size_t total = 12 + 8 + json.size() + 8 + bin.size();
  out.reserve(total);
  PutU32(out, 0x46546C67u);  // "glTF"
  PutU32(out, 2);
  PutU32(out, static_cast<std::uint32_t>(total));
  PutU32(out, static_cast<std::uint32_t>(json.size()));
  PutU32(out, 0x4E4F534Au);  // "JSON"
  out.insert(out.end(), json.begin(), json.end());
  PutU32(out, static_cast<std::uint32_t>(bin.size()));
  PutU32(out, 0x004E4942u);  // "BIN\0"
  out.insert(out.end(), bin.begin(), bin.end());
  return out;
}
