#include "render/capture_math.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int At(int row, int col) { return col * 4 + row; }

CaptureMatrix FromRows(const std::array<std::array<double, 4>, 4>& rows) {
  CaptureMatrix out;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out.m[At(r, c)] = static_cast<float>(rows[r][c]);
  return out;
}

}  // namespace

CaptureMatrix MatMultiply(const CaptureMatrix& a, const CaptureMatrix& b) {
  CaptureMatrix out;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += static_cast<double>(a.m[At(r, k)]) * b.m[At(k, c)];
      out.m[At(r, c)] = static_cast<float>(sum);
    }
  }
  return out;
}

CaptureMatrix MatTranslation(double x, double y, double z) {
  return FromRows({{{1, 0, 0, x}, {0, 1, 0, y}, {0, 0, 1, z}, {0, 0, 0, 1}}});
}

CaptureMatrix MatScaling(double x, double y, double z) {
  return FromRows({{{x, 0, 0, 0}, {0, y, 0, 0}, {0, 0, z, 0}, {0, 0, 0, 1}}});
}

std::optional<CaptureMatrix> MatRotation(double degrees, double x, double y, double z) {
  const double len = std::sqrt(x * x + y * y + z * z);
  if (!(len > 0) || !std::isfinite(len)) return std::nullopt;
  x /= len;
  y /= len;
  z /= len;
  const double rad = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(rad), s = std::sin(rad), t = 1 - c;
  return FromRows({{{x * x * t + c, x * y * t - z * s, x * z * t + y * s, 0},
                    {y * x * t + z * s, y * y * t + c, y * z * t - x * s, 0},
                    {x * z * t - y * s, y * z * t + x * s, z * z * t + c, 0},
                    {0, 0, 0, 1}}});
}

std::optional<CaptureMatrix> MatOrtho(double l, double r, double b, double t, double n, double f) {
  if (l == r || b == t || n == f) return std::nullopt;
  return FromRows({{{2 / (r - l), 0, 0, -(r + l) / (r - l)},
                    {0, 2 / (t - b), 0, -(t + b) / (t - b)},
                    {0, 0, -2 / (f - n), -(f + n) / (f - n)},
                    {0, 0, 0, 1}}});
}

std::optional<CaptureMatrix> MatFrustum(double l, double r, double b, double t, double n, double f) {
  if (n <= 0 || f <= 0 || l == r || b == t || n == f) return std::nullopt;
  return FromRows({{{2 * n / (r - l), 0, (r + l) / (r - l), 0},
                    {0, 2 * n / (t - b), (t + b) / (t - b), 0},
                    {0, 0, -(f + n) / (f - n), -2 * f * n / (f - n)},
                    {0, 0, -1, 0}}});
}

std::optional<CaptureMatrix> MatPerspective(double fovyDegrees, double aspect, double zNear, double zFar) {
  const double half = fovyDegrees / 2 * std::numbers::pi / 180.0;
  const double deltaZ = zFar - zNear;
  const double sine = std::sin(half);
  if (deltaZ == 0 || sine == 0 || aspect == 0) return std::nullopt;
  const double cot = std::cos(half) / sine;
  return FromRows({{{cot / aspect, 0, 0, 0},
                    {0, cot, 0, 0},
                    {0, 0, -(zFar + zNear) / deltaZ, -2 * zNear * zFar / deltaZ},
                    {0, 0, -1, 0}}});
}

std::array<double, 4> MatTransform(const CaptureMatrix& m, double x, double y, double z, double w) {
  std::array<double, 4> out{};
  for (int r = 0; r < 4; ++r)
    out[r] = m.m[At(r, 0)] * x + m.m[At(r, 1)] * y + m.m[At(r, 2)] * z + m.m[At(r, 3)] * w;
  return out;
}

std::array<double, 9> MatNormalMatrix(const CaptureMatrix& m) {
  auto e = [&](int r, int c) { return static_cast<double>(m.m[At(r, c)]); };
  // Cofactors of the upper 3x3; the cofactor matrix equals det * inverse^T.
  std::array<double, 9> cof{
      e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1),
      e(1, 2) * e(2, 0) - e(1, 0) * e(2, 2),
      e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0),
      e(0, 2) * e(2, 1) - e(0, 1) * e(2, 2),
      e(0, 0) * e(2, 2) - e(0, 2) * e(2, 0),
      e(0, 1) * e(2, 0) - e(0, 0) * e(2, 1),
      e(0, 1) * e(1, 2) - e(0, 2) * e(1, 1),
      e(0, 2) * e(1, 0) - e(0, 0) * e(1, 2),
      e(0, 0) * e(1, 1) - e(0, 1) * e(1, 0)};
  const double det = e(0, 0) * cof[0] + e(0, 1) * cof[1] + e(0, 2) * cof[2];
  if (det != 0 && std::isfinite(det))
    for (double& v : cof) v /= det;
  return cof;
}
