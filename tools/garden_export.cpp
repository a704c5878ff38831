// garden_export: builds the garden through the GL capture, as the demo
// builds it, and writes it as glTF 2.0 (.gltf with the buffer embedded, or
// .glb) or as Wavefront OBJ with its MTL file and PNG textures.
//
// Usage: garden_export [options] OUTPUT.{gltf,glb,obj}
//   --plant NAME    only this plant, by its list name (Fico, Canna[2], ...)
//   --seed N        RandSeed (default 0: the demo's garden)
//   --quality N     the plant's generator Quality (with --plant)
//   --levels N      the plant's generator NumLevel (with --plant)
//   --textures DIR  folder with the texture files (default: build/run)
//   --stats         print vertex and triangle counts and the time taken
//
// Files are written to temporaries and renamed into place only when all of
// them were written; on any error nothing is left behind.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/folders.h"
#include "export/gltf.h"
#include "export/numbers.h"
#include "export/obj.h"
#include "export/png_fast.h"
#include "export/scene.h"
#include "export/staged_files.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "garden_export: %s\n", message.c_str());
  return 1;
}

std::string Extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

int main(int argc, char** argv) {
  SceneRequest request;
  std::string output;
  bool stats = false;
  bool textureDirGiven = false;

  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    if (name.rfind("--", 0) == 0) {
      if (const std::size_t eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        hasValue = true;
      }
    } else {
      if (!output.empty()) return Fail("more than one output path ('" + output + "', '" + name + "')");
      output = name;
      continue;
    }
    if (name == "--stats") {
      stats = true;
      continue;
    }
    if (name == "--help") {
      std::puts("usage: garden_export [--plant NAME] [--seed N] [--quality N] [--levels N] [--textures DIR] "
                "[--stats] OUTPUT.{gltf,glb,obj}");
      return 0;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) return Fail(name + " needs a value");
      value = args[++i];
    }
    if (name == "--plant") {
      request.plant = value;
    } else if (name == "--textures") {
      request.textureDir = value;
      textureDirGiven = true;
    } else if (name == "--seed" || name == "--quality" || name == "--levels") {
      std::int32_t n = 0;
      if (!ParseInt32(value, n)) return Fail(name + ": '" + value + "' is not a whole number");
      if (name == "--seed") request.seed = n;
      if (name == "--quality") request.quality = n;
      if (name == "--levels") request.levels = n;
    } else {
      return Fail("unknown option '" + name + "'");
    }
  }
  if (output.empty()) return Fail("no output path (OUTPUT.gltf, OUTPUT.glb or OUTPUT.obj)");
  const std::string ext = Extension(output);
  if (ext != ".gltf" && ext != ".glb" && ext != ".obj") {
    return Fail("output '" + output + "' must end in .gltf, .glb or .obj");
  }
  if (std::string e = CheckSceneRequest(request); !e.empty()) return Fail(e);
  if (!textureDirGiven) request.textureDir = DefaultTextureDir();
  {
    // Find an unwritable output before building anything; the probe's
    // temporary goes when it goes out of scope.
    StagedFiles probe;
    if (std::string e = probe.Add(output, std::string()); !e.empty()) return Fail(e);
  }

  const auto start = std::chrono::steady_clock::now();
  const std::clock_t cpuStart = std::clock();
  GardenScene scene;
  if (std::string e = BuildGardenScene(request, scene); !e.empty()) return Fail(e);
  const auto built = std::chrono::steady_clock::now();

  StagedFiles files;
  std::string error;
  if (ext == ".gltf") {
    error = files.Add(output, EncodeGltf(scene));
  } else if (ext == ".glb") {
    error = files.Add(output, EncodeGlb(scene));
  } else {
    const std::filesystem::path path(output);
    const std::string stem = path.stem().string();
    const ObjFiles obj = EncodeObj(scene, stem);
    const auto beside = [&](const std::string& file) { return (path.parent_path() / file).string(); };
    error = files.Add(output, obj.obj);
    if (error.empty()) error = files.Add(beside(stem + ".mtl"), obj.mtl);
    for (std::size_t t = 0; error.empty() && t < scene.textures.size(); ++t) {
      error = files.Add(beside(obj.textureFiles[t]), EncodePNGFast(scene.textures[t].image));
    }
  }
  if (error.empty()) error = files.Commit();
  if (!error.empty()) return Fail(error);
  const auto written = std::chrono::steady_clock::now();
  const std::clock_t cpuEnd = std::clock();

  if (stats) {
    using ms = std::chrono::duration<double, std::milli>;
    std::printf(
        "plants %zu  vertices %llu  triangles %llu  textures %zu  build %.1f ms  write %.1f ms  cpu %.1f ms\n",
        scene.plants.size(), static_cast<unsigned long long>(SceneVertexCount(scene)),
        static_cast<unsigned long long>(SceneTriangleCount(scene)), scene.textures.size(), ms(built - start).count(),
        ms(written - built).count(), 1000.0 * static_cast<double>(cpuEnd - cpuStart) / CLOCKS_PER_SEC);
  }
  return 0;
}
