// Writes the garden's fifteen texture files into a folder: the grass ground,
// four barks and the cane stalk as BMP, the nine leaf and grass images with
// their cut-out alpha as TGA. Every picture is painted here from seeded
// noise and simple shapes, so the output is the same on every run.
//
//   make_textures <folder> [--preview <png>]
//
// With --preview it also writes a contact sheet of all fifteen pictures
// (barks tiled 2 × 2 to show the seams, leaves cut at the alpha test's 0.4
// over a plain background).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "textures/image_write.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Deterministic randomness: a splitmix64 stream and a lattice hash.

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Range(double a, double b) { return a + (b - a) * Uniform(); }

 private:
  std::uint64_t state_;
};

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
  std::uint32_t h = seed * 0x27d4eb2dU ^ static_cast<std::uint32_t>(x) * 0x85ebca6bU ^
                    static_cast<std::uint32_t>(y) * 0xc2b2ae35U;
  h ^= h >> 15;
  h *= 0x2c1b3c6dU;
  h ^= h >> 12;
  h *= 0x297a2d39U;
  h ^= h >> 15;
  return h;
}

double Hash01(int x, int y, std::uint32_t seed) { return Hash(x, y, seed) / 4294967295.0; }

int Wrap(int i, int n) { return ((i % n) + n) % n; }

double Smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value noise on a lattice that repeats every px × py cells, so textures
// built from it tile without seams. x, y are in cells.
double Noise(double x, double y, int px, int py, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  auto at = [&](int i, int j) { return Hash01(Wrap(i, px), Wrap(j, py), seed); };
  const double a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
  const double b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
  return a + (b - a) * ty;
}

// Fractal sum of periodic noise over u, v in [0, 1): `cx`, `cy` cells on the
// first octave, doubling each octave. Result roughly in [0, 1].
double Fbm(double u, double v, int cx, int cy, int octaves, std::uint32_t seed) {
  double sum = 0, amp = 0.5, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * Noise(u * cx, v * cy, cx, cy, seed + static_cast<std::uint32_t>(o) * 101);
    norm += amp;
    amp *= 0.5;
    cx *= 2;
    cy *= 2;
  }
  return sum / norm;
}

// ---------------------------------------------------------------------------
// Colours and the canvas.

struct Col {
  double r = 0, g = 0, b = 0;
};

Col Mix(Col a, Col b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Col Scale(Col a, double k) { return {a.r * k, a.g * k, a.b * k}; }
double Clamp01(double x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
double SmoothStep(double e0, double e1, double x) {
  const double t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// A float RGBA canvas in pixel coordinates with y pointing up: pixel (x, y)
// has its centre at (x + 0.5, y + 0.5), and row y = 0 is the picture's
// bottom row, which is texture row t = 0 once written to a file.
struct Canvas {
  int w, h;
  std::vector<Col> c;
  std::vector<double> a;
  Canvas(int width, int height) : w(width), h(height), c(static_cast<std::size_t>(width) * height), a(c.size(), 0) {}
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * w + x; }

  // Straight-alpha "over" compositing.
  void Over(int x, int y, Col col, double alpha) {
    if (alpha <= 0) return;
    const std::size_t i = Index(x, y);
    const double da = a[i], oa = alpha + da * (1 - alpha);
    const double ks = alpha / oa, kd = da * (1 - alpha) / oa;
    c[i] = {col.r * ks + c[i].r * kd, col.g * ks + c[i].g * kd, col.b * ks + c[i].b * kd};
    a[i] = oa;
  }

  // Fills every pixel from a function of the pixel centre (opaque).
  template <class F>
  void Fill(F f) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        c[Index(x, y)] = f((x + 0.5) / w, (y + 0.5) / h);
        a[Index(x, y)] = 1;
      }
  }

  // Paints a shape over the box [x0, x1] × [y0, y1] (pixels). `inside`
  // returns true and sets the colour for points of the shape; coverage is
  // measured with 4 × 4 samples per pixel, giving anti-aliased edges. With
  // `wrap` the shape continues across the left/right (and top/bottom) edges.
  template <class F>
  void Paint(double x0, double y0, double x1, double y1, F inside, bool wrap = false) {
    const int ix0 = static_cast<int>(std::floor(x0)), ix1 = static_cast<int>(std::ceil(x1));
    int iy0 = static_cast<int>(std::floor(y0)), iy1 = static_cast<int>(std::ceil(y1));
    if (!wrap) {
      iy0 = std::max(iy0, 0);
      iy1 = std::min(iy1, h);
    }
    for (int y = iy0; y < iy1; ++y) {
      for (int x = ix0; x < ix1; ++x) {
        int tx = x, ty = y;
        if (wrap) {
          tx = Wrap(x, w);
          ty = Wrap(y, h);
        } else if (x < 0 || x >= w) {
          continue;
        }
        Col sum;
        int hits = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx) {
            Col col;
            if (inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4, col)) {
              sum.r += col.r;
              sum.g += col.g;
              sum.b += col.b;
              ++hits;
            }
          }
        if (hits > 0) Over(tx, ty, Scale(sum, 1.0 / hits), hits / 16.0);
      }
    }
  }

  // Gives fully transparent pixels the colour of their nearest painted
  // neighbours, so linear filtering at the cut-out edge blends towards the
  // leaf's own colour instead of black.
  void BleedColours() {
    std::vector<char> known(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) known[i] = a[i] > 0;
    for (int pass = 0; pass < 24; ++pass) {
      std::vector<char> next = known;
      bool changed = false;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (known[Index(x, y)]) continue;
          Col sum;
          int n = 0;
          for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
              const int nx = x + dx, ny = y + dy;
              if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[Index(nx, ny)]) continue;
              const Col& k = c[Index(nx, ny)];
              sum.r += k.r;
              sum.g += k.g;
              sum.b += k.b;
              ++n;
            }
          if (n > 0) {
            c[Index(x, y)] = Scale(sum, 1.0 / n);
            next[Index(x, y)] = 1;
            changed = true;
          }
        }
      known.swap(next);
      if (!changed) break;
    }
  }

  RgbaImage ToImage() const {
    RgbaImage img(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::size_t i = Index(x, y);
        std::uint8_t* p = img.At(x, h - 1 - y);  // image rows run top down
        p[0] = static_cast<std::uint8_t>(std::lround(Clamp01(c[i].r) * 255));
        p[1] = static_cast<std::uint8_t>(std::lround(Clamp01(c[i].g) * 255));
        p[2] = static_cast<std::uint8_t>(std::lround(Clamp01(c[i].b) * 255));
        p[3] = static_cast<std::uint8_t>(std::lround(Clamp01(a[i]) * 255));
      }
    return img;
  }
};

// Distance from p to the segment a-b, and the position t (0..1) along it.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by, double& t) {
  const double dx = bx - ax, dy = by - ay;
  const double len2 = dx * dx + dy * dy;
  t = len2 > 0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / len2) : 0;
  const double cx = ax + dx * t - px, cy = ay + dy * t - py;
  return std::sqrt(cx * cx + cy * cy);
}

// A tapered stroke from a (width wa) to b (width wb) in one colour, with a
// little shading across it.
void Stroke(Canvas& cv, double ax, double ay, double bx, double by, double wa, double wb, Col col, bool wrap = false) {
  const double m = std::max(wa, wb) + 1;
  cv.Paint(std::min(ax, bx) - m, std::min(ay, by) - m, std::max(ax, bx) + m, std::max(ay, by) + m,
           [&](double x, double y, Col& out) {
             double t;
             const double d = SegmentDistance(x, y, ax, ay, bx, by, t);
             const double half = (wa + (wb - wa) * t) / 2;
             if (d > half) return false;
             out = Scale(col, 1.0 - 0.25 * (d / std::max(half, 1e-6)));
             return true;
           },
           wrap);
}

// A lance-shaped leaf from its base along `angle` (radians, 0 = +x): length
// `len`, widest half-width `half`; `round` > 1 gives blunter leaves.
// Coloured from `base` with a lighter midrib and paler side veins.
void Leaf(Canvas& cv, double bx, double by, double angle, double len, double half, Col base, std::uint32_t seed,
          double round = 1.0) {
  const double dx = std::cos(angle), dy = std::sin(angle);
  const Col rib = Mix(base, Col{0.75, 0.8, 0.45}, 0.45);
  const double m = half + 1;
  cv.Paint(std::min(bx, bx + dx * len) - m, std::min(by, by + dy * len) - m, std::max(bx, bx + dx * len) + m,
           std::max(by, by + dy * len) + m, [&](double x, double y, Col& out) {
             const double rx = x - bx, ry = y - by;
             const double along = (rx * dx + ry * dy) / len;
             const double across = -rx * dy + ry * dx;
             if (along < 0 || along > 1) return false;
             const double profile = std::pow(std::sin(kPi * std::pow(along, 0.8)), 1.0 / (1.0 + round));
             const double wHere = half * profile;
             if (std::fabs(across) > wHere) return false;
             const double k = std::fabs(across) / std::max(wHere, 1e-6);
             Col col = Mix(base, Scale(base, 0.72), k * k);  // darker towards the rim
             const double vein = std::fabs(std::sin((along * len - std::fabs(across) * 0.9) * 0.9 + seed));
             if (vein < 0.12 && k < 0.9) col = Mix(col, rib, 0.25);
             if (std::fabs(across) < 0.6 + 0.6 * (1 - along)) col = Mix(col, rib, 0.7);
             out = col;
             return true;
           });
}

Col Jitter(Rng& r, Col c, double amount) {
  const double k = 1 + r.Range(-amount, amount);
  return {c.r * k * (1 + r.Range(-0.04, 0.04)), c.g * k, c.b * k * (1 + r.Range(-0.06, 0.06))};
}

// ---------------------------------------------------------------------------
// Ground and barks: opaque, tiling in both directions.

Canvas Ground() {
  Canvas cv(256, 256);
  const Col dark{0.13, 0.27, 0.07}, mid{0.24, 0.42, 0.11}, light{0.38, 0.55, 0.16}, dry{0.50, 0.46, 0.24};
  cv.Fill([&](double u, double v) {
    const double n = Fbm(u, v, 4, 4, 5, 11);
    const double patch = Fbm(u, v, 3, 3, 3, 12);
    Col c = n < 0.5 ? Mix(dark, mid, n * 2) : Mix(mid, light, (n - 0.5) * 2);
    c = Mix(c, dry, SmoothStep(0.58, 0.75, patch) * 0.55);
    const double speck = Hash01(static_cast<int>(u * 256), static_cast<int>(v * 256), 13);
    return Scale(c, 0.85 + 0.3 * speck);
  });
  // Thousands of short blades, wrapping across the edges.
  Rng r(0x6e61);
  for (int i = 0; i < 3200; ++i) {
    const double x = r.Range(0, 256), y = r.Range(0, 256);
    const double ang = kPi / 2 + r.Range(-1.0, 1.0);
    const double len = r.Range(3, 9);
    const double shade = r.Uniform();
    Col c = shade < 0.5 ? Mix(Col{0.10, 0.24, 0.05}, Col{0.28, 0.48, 0.12}, shade * 2)
                        : Mix(Col{0.28, 0.48, 0.12}, Col{0.50, 0.66, 0.22}, (shade - 0.5) * 2);
    if (r.Uniform() < 0.06) c = Col{0.55, 0.50, 0.28};
    Stroke(cv, x, y, x + std::cos(ang) * len, y + std::sin(ang) * len, 1.6, 0.4, c, true);
  }
  return cv;
}

Canvas BarkFig() {
  Canvas cv(256, 256);
  const Col grey{0.56, 0.56, 0.53}, pale{0.70, 0.69, 0.65}, shade{0.40, 0.40, 0.38};
  cv.Fill([&](double u, double v) {
    const double n = Fbm(u, v, 3, 2, 5, 21);
    const double mottle = Fbm(u, v, 6, 4, 3, 22);
    Col c = n < 0.5 ? Mix(shade, grey, n * 2) : Mix(grey, pale, (n - 0.5) * 2);
    c = Mix(c, Col{0.50, 0.52, 0.44}, SmoothStep(0.6, 0.8, mottle) * 0.5);  // faint lichen tint
    // Fine horizontal wrinkles, broken up by noise.
    const double wr = std::sin((v * 48 + 0.6 * Fbm(u, v, 4, 4, 2, 23)) * 2 * kPi);
    c = Scale(c, 1 - 0.05 * SmoothStep(0.7, 1.0, wr) * Fbm(u, v, 8, 2, 2, 24));
    return c;
  });
  // Short horizontal lenticels.
  Rng r(0xf1c0);
  for (int i = 0; i < 90; ++i) {
    const double x = r.Range(0, 256), y = r.Range(0, 256), len = r.Range(3, 8);
    Stroke(cv, x, y, x + len, y + r.Range(-0.5, 0.5), 1.3, 1.0, Col{0.38, 0.37, 0.34}, true);
  }
  return cv;
}

Canvas BarkRough() {
  Canvas cv(256, 256);
  const Col furrow{0.12, 0.075, 0.045}, ridge{0.40, 0.28, 0.18}, top{0.56, 0.46, 0.36};
  constexpr int kRidges = 9;
  cv.Fill([&](double u, double v) {
    const double warp = Fbm(u, v, 3, 2, 3, 31);
    const double stripe = u * kRidges + 1.4 * warp;
    const double s = std::fabs(std::sin(stripe * kPi));  // 0 in the furrows
    const double breaks = Fbm(u, v, 9, 6, 3, 32);
    double height = std::pow(s, 0.55) * (0.5 + 0.5 * breaks);
    // Each ridge is broken into plates by cracks of its own spacing.
    const int cell = Wrap(static_cast<int>(std::floor(stripe)), kRidges);
    const double spacing = 5 + 5 * Hash01(cell, 0, 35);
    const double phase = Hash01(cell, 1, 35);
    const double cv2 = v * std::round(spacing) + phase + 0.25 * (Fbm(u, v, 6, 3, 2, 33) - 0.5);
    const double crack = std::fabs(cv2 - std::round(cv2));
    if (s > 0.35) height *= 0.55 + 0.45 * SmoothStep(0.02, 0.07, crack);
    Col c = height < 0.5 ? Mix(furrow, ridge, height * 2) : Mix(ridge, top, (height - 0.5) * 2);
    const double grain = Fbm(u, v, 32, 8, 2, 34);
    c = Mix(c, Col{0.42, 0.40, 0.36}, SmoothStep(0.65, 0.8, Fbm(u, v, 5, 5, 3, 36)) * 0.35 * height);  // weathered grey
    return Scale(c, 0.85 + 0.3 * grain);
  });
  return cv;
}

Canvas BarkDracaena() {
  Canvas cv(256, 256);
  const Col base{0.54, 0.50, 0.42}, dark{0.26, 0.22, 0.17}, light{0.70, 0.66, 0.56};
  constexpr int kRings = 9;
  cv.Fill([&](double u, double v) {
    const double fibre = Fbm(u, v, 24, 3, 3, 41);
    Col c = Scale(base, 0.78 + 0.35 * fibre);
    c = Mix(c, Col{0.46, 0.40, 0.30}, 0.5 * Fbm(u, v, 4, 4, 3, 44));  // brown mottling
    const double wobble = 0.05 * (Fbm(u, v, 5, 2, 3, 42) - 0.5);
    const double pos = (v + wobble) * kRings;
    const double f = pos - std::floor(pos);  // 0..1 between two rings
    const int ring = Wrap(static_cast<int>(std::floor(pos)), kRings);
    // Scars fade in and out around the trunk.
    const double strength = 0.45 + 0.55 * SmoothStep(0.3, 0.6, Noise(u * 6, ring + 0.5, 6, kRings, 43));
    c = Mix(c, dark, (1 - SmoothStep(0.0, 0.07, f)) * 0.85 * strength);
    c = Mix(c, light, SmoothStep(0.05, 0.1, f) * (1 - SmoothStep(0.1, 0.24, f)) * 0.55 * strength);
    c = Mix(c, Scale(base, 0.7), SmoothStep(0.7, 1.0, f) * 0.45);
    return c;
  });
  return cv;
}

Canvas BarkPalm() {
  Canvas cv(256, 256);
  const Col groove{0.17, 0.12, 0.08}, scar{0.47, 0.39, 0.29}, fibre{0.58, 0.50, 0.38};
  cv.Fill([&](double u, double v) {
    const double d1 = u * 4 + v * 6, d2 = u * 4 - v * 6;
    const double f1 = d1 - std::floor(d1), f2 = d2 - std::floor(d2);
    const double edge = std::min(std::min(f1, 1 - f1), std::min(f2, 1 - f2));  // 0 on the grooves
    const int cell1 = static_cast<int>(std::floor(d1)), cell2 = static_cast<int>(std::floor(d2));
    const double tone = Hash01(Wrap(cell1, 10), Wrap(cell2, 10), 51);
    Col c = Mix(scar, fibre, 0.3 + 0.5 * tone);
    c = Scale(c, 0.8 + 0.35 * Fbm(u, v, 32, 4, 2, 52));  // horizontal fibres
    // The old leaf base: a darker crescent in the upper part of each diamond.
    const double up = (f1 + f2) * 0.5;  // vertical position inside the diamond
    const double across = std::fabs(f1 - f2);
    c = Mix(c, Scale(scar, 0.6), SmoothStep(0.55, 0.7, up) * (1 - SmoothStep(0.3, 0.6, across)) * 0.7);
    const double rough = 0.03 * Fbm(u, v, 16, 16, 2, 53);
    c = Mix(Mix(groove, Col{0.30, 0.22, 0.15}, rough * 15), c, SmoothStep(0.015 + rough, 0.08 + rough, edge));
    return c;
  });
  return cv;
}

Canvas CaneStalk() {
  Canvas cv(256, 256);
  const Col green{0.33, 0.53, 0.17}, pale{0.55, 0.62, 0.28}, dark{0.18, 0.30, 0.09}, sheath{0.66, 0.62, 0.40};
  cv.Fill([&](double u, double v) {
    const double streak = Fbm(u, v, 40, 2, 3, 61);
    Col c = Mix(dark, green, 0.55 + 0.45 * streak);
    c = Mix(c, pale, 0.25 * Fbm(u, v, 3, 1, 2, 62));
    // One node per tile, at the bottom: a dark joint line, a pale swollen
    // ring above it and a papery sheath edge just below.
    const double dv = std::min(v, 1 - v) * (v < 0.5 ? 1 : -1);  // signed distance to the node at v = 0
    c = Mix(c, dark, (1 - SmoothStep(0.0, 0.012, std::fabs(dv - 0.01))) * 0.8);
    c = Mix(c, pale, SmoothStep(0.02, 0.03, dv) * (1 - SmoothStep(0.05, 0.09, dv)) * 0.7);
    c = Mix(c, sheath, SmoothStep(-0.06, -0.04, dv) * (1 - SmoothStep(-0.01, 0.0, dv)) * 0.6 *
                           (0.6 + 0.4 * Fbm(u, v, 16, 2, 2, 63)));
    return c;
  });
  return cv;
}

// ---------------------------------------------------------------------------
// Leaves and grass: cut-out images. Orientation, from how the crowns map
// texture coordinates: the fig and bush leaves (cylindrical GenLeaf) have the
// branch tip at (0.4, 0.5) of the picture; the palm frond (spherical GenLeaf,
// s scaled by 1/2) shows one half of the picture across and runs from its
// base at the bottom to its tip at the top; the banana, pine and cane images
// (spherical GenLeaf and flat quads) grow from the bottom edge upward; the
// grass tufts stand on the bottom edge and repeat around the tuft.

void FigLeaf(Canvas& cv, double bx, double by, double angle, double len, Col base, std::uint32_t seed) {
  const double dx = std::cos(angle), dy = std::sin(angle);
  const double petiole = len * 0.16;
  Stroke(cv, bx, by, bx + dx * petiole, by + dy * petiole, 3.0, 2.4, Scale(base, 0.8));
  const double cx = bx + dx * petiole, cy = by + dy * petiole;
  const double blade = len - petiole;
  // A palmate leaf: a heart-shaped centre and five lobes, each an ellipse
  // reaching out along its main vein, with narrow sinuses between them.
  const std::array<double, 5> lobeAngle = {0.0, 0.95, -0.95, 1.9, -1.9};
  const std::array<double, 5> lobeLen = {1.0, 0.88, 0.88, 0.56, 0.56};
  const std::array<double, 5> lobeWidth = {0.25, 0.24, 0.24, 0.2, 0.2};
  auto inLobe = [&](double along, double across, std::size_t i, double& edge) {
    const double ca = std::cos(lobeAngle[i]), sa = std::sin(lobeAngle[i]);
    const double la = along * ca + across * sa, lc = -along * sa + across * ca;
    const double half = lobeLen[i] * blade * 0.5;
    const double ea = (la - half) / half, ec = lc / (lobeWidth[i] * blade);
    const double e = ea * ea + ec * ec;
    edge = std::min(edge, e);
    return e <= 1;
  };
  const Col vein = Mix(base, Col{0.72, 0.80, 0.48}, 0.45);
  cv.Paint(cx - blade, cy - blade, cx + blade, cy + blade, [&](double x, double y, Col& out) {
    const double rx = x - cx, ry = y - cy;
    const double along = rx * dx + ry * dy, across = -rx * dy + ry * dx;
    const double r = std::sqrt(rx * rx + ry * ry);
    double edge = 1e9;
    bool inside = r < 0.26 * blade && along > -0.12 * blade;
    if (inside) edge = std::min(edge, r / (0.26 * blade));
    for (std::size_t i = 0; i < 5; ++i) inside = inLobe(along, across, i, edge) || inside;
    if (!inside) return false;
    Col c = Mix(base, Scale(base, 0.78), Clamp01(r / blade));
    c = Scale(c, 0.9 + 0.2 * Noise(x * 0.12, y * 0.12, 1 << 20, 1 << 20, seed));
    c = Mix(c, Scale(base, 0.45), SmoothStep(0.82, 1.0, edge) * 0.7);  // dark rim sets leaves apart
    for (std::size_t i = 0; i < 5; ++i) {
      const double th = std::atan2(across, along) - lobeAngle[i];
      const double off = std::fabs(std::sin(th)) * r;
      if (std::cos(th) > 0 && off < 0.9 + 0.9 * (1 - r / blade) && r < lobeLen[i] * blade * 0.9)
        c = Mix(c, vein, 0.7);
      // Side veins leave the main vein towards the lobe's rim.
      const double along2 = std::cos(th) * r, off2 = std::sin(th) * r;
      if (std::cos(th) > 0 && std::fabs(std::fmod(along2 - std::fabs(off2) * 0.8 + 200, 11.0)) < 0.8 &&
          std::fabs(off2) < lobeWidth[i] * blade * 0.8 && along2 < lobeLen[i] * blade * 0.9)
        c = Mix(c, vein, 0.3);
    }
    out = c;
    return true;
  });
}

Canvas FigLeaves() {
  Canvas cv(256, 256);
  const double ox = 0.4 * 256, oy = 0.5 * 256;
  struct Spec {
    double angleDeg, len;
    Col col;
  };
  const std::array<Spec, 4> leaves = {{{185, 100, {0.15, 0.31, 0.08}},
                                       {95, 124, {0.18, 0.36, 0.10}},
                                       {280, 124, {0.20, 0.39, 0.11}},
                                       {12, 150, {0.24, 0.45, 0.13}}}};
  std::uint32_t seed = 71;
  for (const Spec& s : leaves) FigLeaf(cv, ox, oy, s.angleDeg * kPi / 180, s.len, s.col, seed++);
  return cv;
}

Canvas BushLeaves() {
  Canvas cv(256, 256);
  Rng r(0xb05c);
  const double ox = 0.4 * 256, oy = 0.5 * 256;
  const Col twig{0.36, 0.27, 0.16};
  for (int branch = 0; branch < 8; ++branch) {
    const double a0 = branch * 2 * kPi / 8 + r.Range(-0.25, 0.25);
    const double len = r.Range(80, 112);
    double x = ox, y = oy, a = a0;
    const int steps = 9;
    for (int s = 0; s < steps; ++s) {
      const double seg = len / steps;
      const double nx = x + std::cos(a) * seg, ny = y + std::sin(a) * seg;
      Stroke(cv, x, y, nx, ny, 2.6 - 1.6 * s / steps, 2.4 - 1.6 * s / steps, twig);
      // Leaves alternate left and right along the twig.
      if (s >= 1) {
        const double side = (s % 2 == 0) ? 1 : -1;
        const Col c = Jitter(r, Mix(Col{0.20, 0.40, 0.10}, Col{0.36, 0.55, 0.16}, r.Uniform()), 0.12);
        Leaf(cv, nx, ny, a + side * r.Range(0.6, 0.9), r.Range(20, 28), r.Range(5.5, 7.5), c,
             static_cast<std::uint32_t>(r.Next() & 0xff), 1.3);
      }
      x = nx;
      y = ny;
      a += r.Range(-0.18, 0.18);
    }
    const Col c = Jitter(r, Col{0.30, 0.52, 0.14}, 0.1);
    Leaf(cv, x, y, a, r.Range(22, 28), 7, c, static_cast<std::uint32_t>(r.Next() & 0xff), 1.3);
  }
  return cv;
}

Canvas PalmFrond() {
  Canvas cv(256, 512);
  Rng r(0x9a1a);
  const Col rachis{0.55, 0.54, 0.26};
  // The crown shows the picture's right half across the frond; the left
  // half carries a second frond so either half makes a whole leaf.
  for (double cx : {64.0, 192.0}) {
    for (double y = 14; y < 500; y += 5.5) {
      const double t = y / 512;
      for (int side : {-1, 1}) {
        const double ang = r.Range(0.50, 0.70);  // above the horizontal, towards the tip
        const double reach = 63 * (0.55 + 0.45 * SmoothStep(0.0, 0.15, t)) * (1 - 0.35 * SmoothStep(0.8, 1.0, t));
        const double len = reach / std::cos(ang);
        const Col c = Jitter(r, Mix(Col{0.17, 0.38, 0.09}, Col{0.30, 0.52, 0.14}, r.Uniform()), 0.08);
        const double ax = side > 0 ? ang : kPi - ang;
        Leaf(cv, cx, y, ax, len, r.Range(2.4, 3.2), c, static_cast<std::uint32_t>(r.Next() & 0xff), 0.4);
      }
    }
    Stroke(cv, cx, 0, cx, 506, 5.0, 1.2, rachis);
  }
  return cv;
}

Canvas PineNeedles() {
  Canvas cv(256, 256);
  Rng r(0x9170);
  const Col twig{0.38, 0.26, 0.15};
  auto shoot = [&](double bx, double by, double angle, double len, double needle) {
    const double dx = std::cos(angle), dy = std::sin(angle);
    for (double s = 2; s < len; s += 2.2) {
      const double px = bx + dx * s, py = by + dy * s;
      const double taper = 1 - 0.45 * SmoothStep(0.6, 1.0, s / len);
      for (int side : {-1, 1}) {
        const double a = angle + side * r.Range(0.55, 1.05);
        const double l = needle * taper * r.Range(0.8, 1.1);
        const Col c = Mix(Col{0.08, 0.24, 0.13}, Col{0.20, 0.40, 0.22}, r.Uniform());
        Stroke(cv, px, py, px + std::cos(a) * l, py + std::sin(a) * l, 2.2, 0.9, c);
      }
    }
    Stroke(cv, bx, by, bx + dx * len, by + dy * len, 4.0, 2.0, twig);
  };
  shoot(128, 4, kPi / 2, 246, 68);
  shoot(128, 70, kPi / 2 + 0.55, 110, 48);
  shoot(128, 110, kPi / 2 - 0.5, 105, 46);
  return cv;
}

Canvas BananaLeaf() {
  Canvas cv(256, 512);
  Rng r(0xba4a);
  constexpr double kBase = 34, kTip = 506;
  auto centre = [](double y) { return 128 + 6 * std::sin(y / 512 * kPi); };
  auto halfWidth = [&](double y) {
    const double t = Clamp01((y - kBase) / (kTip - kBase));
    return 120 * std::pow(std::sin(kPi * std::pow(t, 0.85)), 0.42);
  };
  struct Tear {
    double at, depth;
    int side;
  };
  std::vector<Tear> tears;
  for (int side : {-1, 1})
    for (int i = 0; i < 11; ++i) tears.push_back({r.Range(kBase + 40, kTip - 30), r.Range(0.25, 0.92), side});
  const Col blade{0.33, 0.58, 0.13}, light{0.45, 0.66, 0.20}, rib{0.66, 0.73, 0.38}, brown{0.48, 0.38, 0.16};
  const double veinSlope = std::tan(18 * kPi / 180);
  Stroke(cv, 128, 0, centre(kBase + 10), kBase + 10, 7, 6, Col{0.52, 0.60, 0.26});  // petiole
  cv.Paint(0, kBase, 256, kTip, [&](double x, double y, Col& out) {
    const double w = halfWidth(y);
    const double dx = x - centre(y);
    const double d = std::fabs(dx);
    if (d > w) return false;
    const int side = dx < 0 ? -1 : 1;
    const double yv = y - d * veinSlope;  // where this point's vein leaves the midrib
    for (const Tear& t : tears) {
      if (t.side != side) continue;
      if (d > w * (1 - t.depth) && std::fabs(yv - t.at) < 0.5 + 2.5 * (d / w)) return false;
    }
    Col c = Mix(blade, light, 0.5 + 0.5 * std::sin(yv * 2 * kPi / 4.5) * 0.35 + 0.3 * (d / w));
    c = Scale(c, 0.92 + 0.16 * Noise(x * 0.05, y * 0.02, 1 << 20, 1 << 20, 81));
    c = Mix(c, brown, SmoothStep(w - 5, w, d) * 0.55);  // dry rim
    if (d < 3.2 - 1.8 * (y - kBase) / (kTip - kBase)) c = rib;
    out = c;
    return true;
  });
  return cv;
}

Canvas GrassTuft(std::uint64_t seed, int blades, double minH, double maxH, Col low, Col high, Col tipCol,
                 bool seedHeads) {
  Canvas cv(256, 256);
  Rng r(seed);
  for (int i = 0; i < blades; ++i) {
    const double x0 = r.Range(0, 256);
    const double h = 256 * r.Range(minH, maxH);
    const double lean = r.Range(-55, 55);
    const double w0 = r.Range(2.6, 4.6);
    const double shade = r.Uniform();
    const Col base = Mix(low, high, shade);
    const double right = std::max(x0, x0 + lean), left = std::min(x0, x0 + lean);
    cv.Paint(left - w0 - 1, 0, right + w0 + 1, h, [&](double x, double y, Col& out) {
      const double t = y / h;
      const double xc = x0 + lean * std::pow(t, 1.7);
      const double half = w0 * 0.5 * std::pow(1 - t, 0.75) + 0.25;
      if (t > 1 || std::fabs(x - xc) > half) return false;
      Col c = Mix(Scale(base, 0.55), base, SmoothStep(0.0, 0.5, t));
      c = Mix(c, tipCol, SmoothStep(0.8, 1.0, t) * 0.6);
      if (std::fabs(x - xc) < half * 0.25) c = Scale(c, 1.12);  // the blade's fold catches light
      out = c;
      return true;
    },
             true);
    if (seedHeads && i % 7 == 0) {
      const double tx = x0 + lean, ty = h;
      for (int k = 0; k < 6; ++k) {
        const double sy = ty - 4 - k * 5;
        Leaf(cv, tx - lean * 0.02 * k, sy, kPi / 2 + (k % 2 ? 0.5 : -0.5), 9, 2.4, Col{0.62, 0.58, 0.36}, 3, 1.0);
      }
    }
  }
  return cv;
}

Canvas CaneLeaf() {
  Canvas cv(64, 512);
  const Col blade{0.36, 0.53, 0.30}, edge{0.27, 0.42, 0.23}, rib{0.70, 0.76, 0.58}, dry{0.60, 0.55, 0.33};
  cv.Paint(0, 0, 64, 512, [&](double x, double y, Col& out) {
    const double t = y / 512;
    const double xc = 32 + 5 * std::sin(t * kPi * 1.3);
    const double sheath = 14 + 12 * SmoothStep(0.0, 0.07, t);
    const double half = t > 0.985 ? 0 : sheath * std::pow(1 - t / 0.985, 0.75);
    const double d = std::fabs(x - xc);
    if (d > half) return false;
    const double k = d / std::max(half, 1e-6);
    Col c = Mix(blade, edge, k * k);
    c = Scale(c, 0.95 + 0.1 * std::sin(d * 2.2));  // parallel veins
    c = Mix(c, dry, SmoothStep(0.88, 0.985, t) * 0.7);
    if (d < 1.3) c = rib;
    out = c;
    return true;
  });
  return cv;
}

// ---------------------------------------------------------------------------
// Output.

struct Output {
  std::string name;
  Canvas canvas;
  enum Kind { kBmp24, kBmp32, kTga2, kTga10 } kind;
  bool cutOut;
};

std::vector<std::uint8_t> Encode(const Output& o) {
  const RgbaImage img = o.canvas.ToImage();
  switch (o.kind) {
    case Output::kBmp24:
      return EncodeBMP(img, {24, false});
    case Output::kBmp32:
      return EncodeBMP(img, {32, false});
    case Output::kTga2:
      return EncodeTGA(img, {32, false, false});
    case Output::kTga10:
      return EncodeTGA(img, {32, true, false});
  }
  return {};
}

// Contact sheet: each picture in a 272-pixel cell (tiled 2 × 2 when opaque,
// cut at alpha 0.4 over a sky colour when not).
RgbaImage ContactSheet(const std::vector<Output>& outputs) {
  constexpr int kCell = 272, kCols = 5;
  const int rows = static_cast<int>((outputs.size() + kCols - 1) / kCols);
  RgbaImage sheet(kCell * kCols, kCell * rows);
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    const RgbaImage img = outputs[i].canvas.ToImage();
    const int cx = static_cast<int>(i % kCols) * kCell + 8, cy = static_cast<int>(i / kCols) * kCell + 8;
    const int span = kCell - 16;
    for (int y = 0; y < span; ++y)
      for (int x = 0; x < span; ++x) {
        std::uint8_t* d = sheet.At(cx + x, cy + y);
        int sx, sy;
        if (outputs[i].cutOut) {
          const double k = std::max(img.width, img.height) / static_cast<double>(span);
          sx = static_cast<int>(x * k);
          sy = static_cast<int>(y * k);
          if (sx >= img.width || sy >= img.height) {
            d[0] = 40, d[1] = 40, d[2] = 40, d[3] = 255;
            continue;
          }
        } else {
          sx = (x * 2 * img.width / span) % img.width;
          sy = (y * 2 * img.height / span) % img.height;
        }
        const std::uint8_t* s = img.At(sx, sy);
        const bool visible = !outputs[i].cutOut || s[3] > 102;
        d[0] = visible ? s[0] : 150;
        d[1] = visible ? s[1] : 185;
        d[2] = visible ? s[2] : 215;
        d[3] = 255;
      }
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_textures <folder> [--preview <png>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::string preview;
  for (int i = 2; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--preview") preview = argv[i + 1];

  std::vector<Output> outputs;
  outputs.push_back({"gras.bmp", Ground(), Output::kBmp24, false});
  outputs.push_back({"corteccia01.bmp", BarkFig(), Output::kBmp24, false});
  outputs.push_back({"corteccia02.bmp", BarkRough(), Output::kBmp32, false});
  outputs.push_back({"corteccia00.bmp", BarkDracaena(), Output::kBmp24, false});
  outputs.push_back({"corteccia03.bmp", BarkPalm(), Output::kBmp32, false});
  outputs.push_back({"FustoVerde00.bmp", CaneStalk(), Output::kBmp24, false});
  outputs.push_back({"fico01.tga", FigLeaves(), Output::kTga2, true});
  outputs.push_back({"foglie00.tga", BushLeaves(), Output::kTga10, true});
  outputs.push_back({"palma01.tga", PalmFrond(), Output::kTga2, true});
  outputs.push_back({"pino.tga", PineNeedles(), Output::kTga10, true});
  outputs.push_back({"banano.tga", BananaLeaf(), Output::kTga2, true});
  outputs.push_back({"erba01.tga",
                     GrassTuft(0xe01, 150, 0.40, 0.92, {0.22, 0.48, 0.10}, {0.42, 0.66, 0.18}, {0.58, 0.70, 0.30},
                               false),
                     Output::kTga10, true});
  outputs.push_back({"erba00.tga",
                     GrassTuft(0xe00, 95, 0.50, 0.97, {0.40, 0.52, 0.14}, {0.58, 0.64, 0.24}, {0.72, 0.64, 0.36},
                               false),
                     Output::kTga2, true});
  outputs.push_back({"erba02.tga",
                     GrassTuft(0xe02, 60, 0.60, 0.97, {0.16, 0.36, 0.18}, {0.30, 0.50, 0.28}, {0.48, 0.56, 0.40},
                               true),
                     Output::kTga10, true});
  outputs.push_back({"graminacea00b.tga", CaneLeaf(), Output::kTga2, true});

  for (Output& o : outputs) {
    if (o.cutOut) o.canvas.BleedColours();
    const std::string path = folder + "/" + o.name;
    if (!WriteBytes(path, Encode(o))) {
      std::fprintf(stderr, "make_textures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  if (!preview.empty() && !WriteBytes(preview, EncodePNG(ContactSheet(outputs)))) {
    std::fprintf(stderr, "make_textures: cannot write %s\n", preview.c_str());
    return 1;
  }
  return 0;
}
