// The glTF and GLB files: their structure checked in full (buffers, views,
// accessors with exact min/max, indices in range, materials, images,
// nodes), and the Khronos validator where it is installed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "export/gltf.h"
#include "garden_fixture.h"
#include "json_read.h"
#include "test_files.h"

namespace {

using exporttest::DefaultGarden;
using exporttest::Json;

struct GltfFile {
  Json json;
  std::vector<std::uint8_t> bin;
};

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= std::uint32_t{b.at(at + i)} << (8 * i);
  return v;
}

GltfFile ReadGlb(const std::vector<std::uint8_t>& glb) {
  GltfFile f;
  EXPECT_EQ(U32(glb, 0), 0x46546C67u);
  EXPECT_EQ(U32(glb, 4), 2u);
  EXPECT_EQ(U32(glb, 8), glb.size());
  const std::uint32_t jsonLength = U32(glb, 12);
  EXPECT_EQ(U32(glb, 16), 0x4E4F534Au);
  EXPECT_EQ(jsonLength % 4, 0u);
  f.json = exporttest::ParseJson(std::string(glb.begin() + 20, glb.begin() + 20 + jsonLength));
  const std::size_t binAt = 20 + jsonLength;
  const std::uint32_t binLength = U32(glb, binAt);
  EXPECT_EQ(U32(glb, binAt + 4), 0x004E4942u);
  EXPECT_EQ(binLength % 4, 0u);
  EXPECT_EQ(binAt + 8 + binLength, glb.size());
  f.bin.assign(glb.begin() + static_cast<std::ptrdiff_t>(binAt + 8), glb.end());
  return f;
}

std::vector<std::uint8_t> FromBase64(const std::string& s) {
  std::vector<std::uint8_t> out;
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : s) {
    int v = -1;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else if (c == '=') break;
    else ADD_FAILURE() << "not base64: " << c;
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<std::uint8_t>(acc >> bits));
    }
  }
  return out;
}

// Components of an accessor type and bytes of a component type.
std::size_t Components(const std::string& type) {
  return type == "SCALAR" ? 1 : type == "VEC2" ? 2 : type == "VEC3" ? 3 : type == "VEC4" ? 4 : 0;
}

// Reads accessor `a` as doubles, checking it against its view and buffer.
std::vector<double> AccessorValues(const GltfFile& f, std::size_t a) {
  const Json& acc = f.json["accessors"][a];
  const Json& view = f.json["bufferViews"][acc["bufferView"].Index()];
  const std::size_t n = Components(acc["type"].text);
  const auto type = static_cast<int>(acc["componentType"].number);
  EXPECT_TRUE(type == 5126 || type == 5125) << type;
  const std::size_t count = acc["count"].Index();
  const std::size_t offset = acc.Has("byteOffset") ? acc["byteOffset"].Index() : 0;
  EXPECT_LE(offset + count * n * 4, view["byteLength"].Index());
  const std::size_t start = view["byteOffset"].Index() + offset;
  EXPECT_EQ(start % 4, 0u);
  std::vector<double> values(count * n);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::uint32_t bits = U32(f.bin, start + i * 4);
    if (type == 5126) {
      float v;
      std::memcpy(&v, &bits, 4);
      values[i] = v;
    } else {
      values[i] = bits;
    }
  }
  // min and max are present and exact, per component.
  EXPECT_EQ(acc["min"].Size(), n);
  EXPECT_EQ(acc["max"].Size(), n);
  for (std::size_t c = 0; c < n && count > 0; ++c) {
    double lo = values[c], hi = values[c];
    for (std::size_t i = c; i < values.size(); i += n) {
      lo = std::min(lo, values[i]);
      hi = std::max(hi, values[i]);
    }
    EXPECT_EQ(static_cast<float>(acc["min"][c].number), static_cast<float>(lo)) << "accessor " << a;
    EXPECT_EQ(static_cast<float>(acc["max"][c].number), static_cast<float>(hi)) << "accessor " << a;
  }
  return values;
}

// Every structural rule the garden's files must keep, against the scene.
void CheckGltf(const GltfFile& f, const GardenScene& scene) {
  const Json& j = f.json;
  EXPECT_EQ(j["asset"]["version"].text, "2.0");
  ASSERT_EQ(j["buffers"].Size(), 1u);
  const std::size_t byteLength = j["buffers"][0]["byteLength"].Index();
  EXPECT_LE(byteLength, f.bin.size());
  EXPECT_LT(f.bin.size() - byteLength, 4u);
  for (const Json& v : j["bufferViews"].items) {
    EXPECT_EQ(v["buffer"].Index(), 0u);
    EXPECT_LE(v["byteOffset"].Index() + v["byteLength"].Index(), byteLength);
  }

  ASSERT_EQ(j["nodes"].Size(), scene.plants.size());
  EXPECT_EQ(j["scenes"][j["scene"].Index()]["nodes"].Size(), scene.plants.size());
  for (std::size_t p = 0; p < scene.plants.size(); ++p) {
    const PlantMesh& plant = scene.plants[p];
    SCOPED_TRACE(plant.name);
    const Json& node = j["nodes"][p];
    EXPECT_EQ(node["name"].text, plant.name);
    for (std::size_t i = 0; i < 3; ++i) {
      const double t = node.Has("translation") ? node["translation"][i].number : 0;
      const double s = node.Has("scale") ? node["scale"][i].number : 1;
      EXPECT_EQ(static_cast<float>(t), plant.translation[i]);
      EXPECT_EQ(static_cast<float>(s), plant.scale);
    }
    const Json& mesh = j["meshes"][node["mesh"].Index()];
    ASSERT_EQ(mesh["primitives"].Size(), plant.parts.size());
    for (std::size_t k = 0; k < plant.parts.size(); ++k) {
      const Json& prim = mesh["primitives"][k];
      EXPECT_EQ(prim["mode"].Index(), 4u);
      const std::vector<double> pos = AccessorValues(f, prim["attributes"]["POSITION"].Index());
      const std::vector<double> nrm = AccessorValues(f, prim["attributes"]["NORMAL"].Index());
      const std::vector<double> uv = AccessorValues(f, prim["attributes"]["TEXCOORD_0"].Index());
      const std::vector<double> idx = AccessorValues(f, prim["indices"].Index());
      const std::size_t vertices = pos.size() / 3;
      EXPECT_EQ(vertices, plant.parts[k].positions.size());
      EXPECT_EQ(nrm.size(), vertices * 3);
      EXPECT_EQ(uv.size(), vertices * 2);
      EXPECT_EQ(idx.size(), plant.parts[k].indices.size());
      EXPECT_EQ(idx.size() % 3, 0u);
      for (double i : idx) ASSERT_LT(i, static_cast<double>(vertices));
      for (std::size_t v = 0; v < nrm.size(); v += 3) {
        ASSERT_NEAR(std::sqrt(nrm[v] * nrm[v] + nrm[v + 1] * nrm[v + 1] + nrm[v + 2] * nrm[v + 2]), 1.0, 1e-5);
      }
      const Json& mat = j["materials"][prim["material"].Index()];
      const SceneMaterial& m = plant.parts[k].material;
      EXPECT_EQ(mat.Has("alphaMode") ? mat["alphaMode"].text : "OPAQUE", m.alphaTest ? "MASK" : "OPAQUE");
      if (m.alphaTest) {
        EXPECT_EQ(static_cast<float>(mat["alphaCutoff"].number), 0.4f);
      }
      EXPECT_EQ(mat.Has("doubleSided") && mat["doubleSided"].boolean, m.twoSide);
      const Json& tex = j["textures"][mat["pbrMetallicRoughness"]["baseColorTexture"]["index"].Index()];
      EXPECT_LT(tex["sampler"].Index(), j["samplers"].Size());
      const Json& image = j["images"][tex["source"].Index()];
      const SceneTexture* st = nullptr;
      for (const SceneTexture& t : scene.textures) {
        if (t.name == m.texture) st = &t;
      }
      ASSERT_NE(st, nullptr);
      EXPECT_EQ(image["name"].text, st->label);
    }
  }

  // Images are PNG files holding the textures' pixels.
  ASSERT_EQ(j["images"].Size(), scene.textures.size());
  for (std::size_t i = 0; i < scene.textures.size(); ++i) {
    const Json& image = j["images"][i];
    EXPECT_EQ(image["mimeType"].text, "image/png");
    const Json& view = j["bufferViews"][image["bufferView"].Index()];
    const auto* first = f.bin.data() + view["byteOffset"].Index();
    const std::vector<std::uint8_t> png(first, first + view["byteLength"].Index());
    const RgbaImage decoded = exporttest::DecodePng(png);
    EXPECT_EQ(decoded.width, scene.textures[i].image.width);
    EXPECT_EQ(decoded.height, scene.textures[i].image.height);
    EXPECT_TRUE(decoded.rgba == scene.textures[i].image.rgba) << scene.textures[i].label;
  }
}

TEST(ExportGltf, GlbOfTheGardenIsWellFormed) {
  const GltfFile f = ReadGlb(EncodeGlb(DefaultGarden()));
  CheckGltf(f, DefaultGarden());
}

TEST(ExportGltf, GltfEmbedsTheSameBufferAsTheGlb) {
  const GltfFile glb = ReadGlb(EncodeGlb(DefaultGarden()));
  GltfFile gltf;
  gltf.json = exporttest::ParseJson(EncodeGltf(DefaultGarden()));
  const std::string uri = gltf.json["buffers"][0]["uri"].text;
  const std::string prefix = "data:application/octet-stream;base64,";
  ASSERT_EQ(uri.rfind(prefix, 0), 0u);
  gltf.bin = FromBase64(uri.substr(prefix.size()));
  EXPECT_EQ(gltf.bin.size(), gltf.json["buffers"][0]["byteLength"].Index());
  EXPECT_TRUE(gltf.bin == glb.bin);
  CheckGltf(gltf, DefaultGarden());
}

TEST(ExportGltf, OnePlantWithoutTrianglesStillMakesAValidFile) {
  GardenScene scene;
  scene.plants.push_back(PlantMesh{"Vuoto", {1, 2, 3}, 2, {}});
  const GltfFile f = ReadGlb(EncodeGlb(scene));
  EXPECT_EQ(f.json["nodes"].Size(), 1u);
  EXPECT_FALSE(f.json["nodes"][0].Has("mesh"));
  EXPECT_FALSE(f.json.Has("meshes"));
  EXPECT_EQ(f.json["buffers"][0]["byteLength"].Index(), 0u);
}

TEST(ExportGltf, FloatTextReadsBackExactly) {
  for (float v : {0.4f, 1.4f, -7.0f, 1e-8f, 3.4028235e38f, -0.0f, 0.1f + 0.2f}) {
    const std::string s = FloatText(v);
    EXPECT_EQ(std::strtof(s.c_str(), nullptr), v == 0 ? 0.0f : v) << s;
    EXPECT_EQ(s.find('-') == 0, v < 0) << s;  // no "-0"
  }
  EXPECT_EQ(FloatText(0.4f), "0.4");
}

// The Khronos validator, when node and the gltf-validator package are
// installed (npm install --prefix build gltf-validator).
TEST(ExportGltf, KhronosValidatorFindsNoIssues) {
  std::string modules = std::string(GARDEN_BINARY_DIR) + "/node_modules";
  if (const char* dir = std::getenv("GLTF_VALIDATOR_DIR")) modules = dir;
  if (std::system("node --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "node is not installed";
  if (!std::filesystem::exists(modules + "/gltf-validator")) GTEST_SKIP() << "gltf-validator not in " << modules;
  exporttest::ScratchDir dir("khronos");
  const std::string glb = dir / "garden.glb";
  const std::string gltf = dir / "garden.gltf";
  ASSERT_TRUE(WriteBytes(glb, EncodeGlb(DefaultGarden())));
  // The embedded form once, on a small scene: the buffer is the same.
  SceneRequest cane;
  cane.plant = "Canna[0]";
  const std::string text = EncodeGltf(exporttest::BuildScene(cane));
  ASSERT_TRUE(WriteBytes(gltf, std::vector<std::uint8_t>(text.begin(), text.end())));
  for (const std::string& file : {glb, gltf}) {
    const std::string report = dir / "report.txt";
    const int status = std::system(("NODE_PATH='" + modules + "' node '" GARDEN_SOURCE_DIR
                                    "/tests/export/validate_gltf.js' '" + file + "' >'" + report + "' 2>&1")
                                       .c_str());
    EXPECT_EQ(status, 0) << file << "\n" << exporttest::ReadText(report);
  }
}

}  // namespace
