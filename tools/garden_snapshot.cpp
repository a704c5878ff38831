// garden_snapshot: renders one frame of the garden with the system's GL
// (Mesa) offscreen - no window, no display - and writes it as a PNG. The
// frame is the one the demo draws for the given camera angles and depth.
//
// Usage: garden_snapshot [options] OUTPUT.png
//   --size WxH      picture size (default 800x600, the demo's window)
//   --xrot DEG      XRot, the camera's turn about x (default 0)
//   --yrot DEG      YRot, the camera's turn about y (default 0)
//   --depth D       Depth, the camera's distance term (default 0)
//   --seed N        RandSeed (default 0: the demo's garden)
//   --textures DIR  folder with the texture files (default: build/run)
// Option names are matched without regard to case (--XRot works too).
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "export/folders.h"
#include "export/numbers.h"
#include "export/snapshot.h"
#include "export/staged_files.h"

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "garden_snapshot: %s\n", message.c_str());
  return 1;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  SnapshotRequest request;
  std::string output;
  bool textureDirGiven = false;

  const std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string original = args[i];
    std::string name = original;
    std::string value;
    bool hasValue = false;
    if (name.rfind("--", 0) != 0) {
      if (!output.empty()) return Fail("more than one output path ('" + output + "', '" + name + "')");
      output = name;
      continue;
    }
    if (const std::size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      hasValue = true;
    }
    name = Lower(name);
    if (name == "--help") {
      std::puts("usage: garden_snapshot [--size WxH] [--xrot DEG] [--yrot DEG] [--depth D] [--seed N] "
                "[--textures DIR] OUTPUT.png");
      return 0;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) return Fail(name + " needs a value");
      value = args[++i];
    }
    if (name == "--size") {
      if (!ParseSize(value, request.width, request.height)) {
        return Fail("--size: '" + value + "' is not WIDTHxHEIGHT (1..8192 each)");
      }
    } else if (name == "--xrot" || name == "--yrot" || name == "--depth") {
      float v = 0;
      if (!ParseFloat(value, v)) return Fail(name + ": '" + value + "' is not a number");
      (name == "--xrot" ? request.xrot : name == "--yrot" ? request.yrot : request.depth) = v;
    } else if (name == "--seed") {
      if (!ParseInt32(value, request.seed)) return Fail("--seed: '" + value + "' is not a whole number");
    } else if (name == "--textures") {
      request.textureDir = value;
      textureDirGiven = true;
    } else {
      return Fail("unknown option '" + original + "'");
    }
  }
  if (output.empty()) return Fail("no output path (OUTPUT.png)");
  if (Lower(std::filesystem::path(output).extension().string()) != ".png") {
    return Fail("output '" + output + "' must end in .png");
  }
  if (!textureDirGiven) request.textureDir = DefaultTextureDir();

  {
    // Check that the output can be written before rendering; the probe's
    // temporary goes when it goes out of scope.
    StagedFiles probe;
    if (std::string e = probe.Add(output, std::vector<std::uint8_t>{}); !e.empty()) return Fail(e);
  }

  RgbaImage image;
  if (std::string e = RenderSnapshot(request, image); !e.empty()) return Fail(e);
  StagedFiles png;
  std::string error = png.Add(output, EncodePNG(image));
  if (error.empty()) error = png.Commit();
  if (!error.empty()) return Fail(error);
  return 0;
}
