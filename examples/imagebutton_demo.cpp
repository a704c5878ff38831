// Two image buttons over the garden. Opens the garden's GL window (not
// full screen), builds and draws the garden as the demo does, and places a
// round and a leaf-shaped button made from bitmaps painted at start on a
// magenta background; a click on one prints which. Esc or closing the
// window ends it. Run it from the folder holding the garden's textures.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/catalogue.h"
#include "app/entry.h"
#include "app/frame.h"
#include "render/gl.h"
#include "render/glbind.h"
#include "render/glstate.h"
#include "window/glwindow.h"
#include "window/imagebutton.h"
#include "window/wndproc.h"

namespace {

constexpr int kSunId = 101;
constexpr int kLeafId = 102;
constexpr int kSize = 64;

struct Colour {
  std::uint8_t r, g, b;
};
constexpr Colour kMagenta{255, 0, 255};

void Put(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<std::uint8_t>(x >> (8 * i)));
}

// A 24-bit BMP file of kSize × kSize; `pixel` gets x and y from the top.
bool WriteBitmap(const std::filesystem::path& path, const std::function<Colour(int, int)>& pixel) {
  const std::uint32_t stride = kSize * 3, image = stride * kSize;
  std::vector<std::uint8_t> v = {'B', 'M'};
  Put(v, 54 + image, 4);
  Put(v, 0, 4);
  Put(v, 54, 4);
  Put(v, 40, 4);
  Put(v, kSize, 4);
  Put(v, kSize, 4);
  Put(v, 1, 2);
  Put(v, 24, 2);
  for (int i = 0; i < 6; ++i) Put(v, 0, 4);
  for (int y = kSize - 1; y >= 0; --y)
    for (int x = 0; x < kSize; ++x) {
      const Colour c = pixel(x, y);
      v.insert(v.end(), {c.b, c.g, c.r});
    }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size()));
  return static_cast<bool>(out);
}

// A disc with a darker rim.
std::function<Colour(int, int)> Sun(Colour fill) {
  return [fill](int x, int y) {
    const double d = std::hypot(x - 31.5, y - 31.5);
    if (d > 30) return kMagenta;
    if (d > 26) return Colour{static_cast<std::uint8_t>(fill.r / 2), static_cast<std::uint8_t>(fill.g / 2),
                              static_cast<std::uint8_t>(fill.b / 2)};
    return fill;
  };
}

// A leaf: the overlap of two discs, with a midrib.
std::function<Colour(int, int)> Leaf(Colour fill) {
  return [fill](int x, int y) {
    const bool inside = std::hypot(x - 12.0, y - 52.0) < 44 && std::hypot(x - 52.0, y - 12.0) < 44;
    if (!inside) return kMagenta;
    if (std::abs(x + y - 63) <= 1) return Colour{240, 240, 200};
    return fill;
  };
}

bool WriteButtonSet(const std::filesystem::path& dir, const std::string& prefix,
                    const std::function<std::function<Colour(int, int)>(Colour)>& shape, Colour normal, Colour hover,
                    Colour pressed) {
  return WriteBitmap(dir / (prefix + "N.BMP"), shape(normal)) && WriteBitmap(dir / (prefix + "H.BMP"), shape(hover)) &&
         WriteBitmap(dir / (prefix + "P.BMP"), shape(pressed));
}

// The image-button class with its procedure. Registered before the GL
// window, whose class registration keeps an existing image-button class.
void RegisterButtons() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HoverButtonHandler;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = szHoverClass;
  RegisterClassExA(&wc);
}

HWND AddButton(const std::filesystem::path& dir, const std::string& prefix, int x, int y, int id) {
  BMPType = (dir / prefix).string();  // read while the button is created
  return CreateWindowExA(0, szHoverClass, "", WS_CHILD | WS_VISIBLE, x, y, kSize, kSize, hWindow,
                         reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), GetModuleHandleA(nullptr),
                         nullptr);
}

}  // namespace

int main() {
  MaskFloatingPointExceptions();
  const std::string bindError = BindGL();
  if (!bindError.empty()) {
    std::fprintf(stderr, "imagebutton_demo: %s\n", bindError.c_str());
    return 1;
  }
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("garden_imagebutton_demo_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  if (!WriteButtonSet(dir, "sun_", Sun, {250, 200, 40}, {255, 230, 120}, {200, 120, 20}) ||
      !WriteButtonSet(dir, "leaf_", Leaf, {60, 160, 60}, {110, 210, 110}, {30, 100, 30})) {
    std::fprintf(stderr, "imagebutton_demo: cannot write the button bitmaps in %s\n", dir.string().c_str());
    return 1;
  }

  RegisterButtons();
  OGLWindowSetting(ARROW, "", GENERIC, "");
  CreateOGLWindow(kWindowTitle, 800, 600, 32, false);
  OpenGL_Init(100.0, 0.0, 0.0, 0.0, 0.0);
  SetGLRefractive();
  SetGLLight(GL_LIGHT0, 0, 0, 0, 0.1f);
  OpenGL_CreateList();
  AddButton(dir, "sun_", 40, 60, kSunId);
  AddButton(dir, "leaf_", 130, 60, kLeafId);
  std::printf("Click a button; Esc ends.\n");
  std::fflush(stdout);

  do {
    glClear(GL_COLOR_BUFFER_BIT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_COMMAND && msg.hwnd == hWindow) {
        std::printf("%s button clicked\n", LOWORD(msg.wParam) == kSunId ? "Sun" : "Leaf");
        std::fflush(stdout);
      }
      DispatchMessageA(&msg);
    }
    OpenGL_Draw();
    SwapBuffers(DCWindow);
  } while (Active);

  DeleteOGLWindow();
  std::filesystem::remove_all(dir);
  UnbindGL();
  return 0;
}
