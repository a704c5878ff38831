// Normals, spheres and leaves. Every named working value is single
// precision, computed in double and rounded once when assigned; the values
// handed to GL are likewise rounded once at the call.
#include "render/geometry.h"

#include <cmath>
#include <numbers>

#include "render/gl.h"
#include "render/glstate.h"
#include "render/random.h"

std::array<double, 4> FNormal{};

namespace {

constexpr double kPi = std::numbers::pi;

inline float F(double v) { return static_cast<float>(v); }

}  // namespace

void ReduceToUnit(double& X, double& Y, double& Z) {
  float Length = F(std::sqrt(X * X + Y * Y + Z * Z));
  if (Length == 0.0f) Length = 1.0f;
  X = X / Length;
  Y = Y / Length;
  Z = Z / Length;
}

void FindNormal(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X, double V3Y,
                double V3Z) {
  const double ax = V1X - V2X, ay = V1Y - V2Y, az = V1Z - V2Z;
  const double bx = V2X - V3X, by = V2Y - V3Y, bz = V2Z - V3Z;
  FNormal[1] = ay * bz - az * by;
  FNormal[2] = az * bx - ax * bz;
  FNormal[3] = ax * by - ay * bx;
  ReduceToUnit(FNormal[1], FNormal[2], FNormal[3]);
}

void LineFree(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
              bool Texture) {
  if (Texture) glTexCoord2f(TX1, TY1);
  glVertex3f(X1, Y1, Z1);
  if (Texture) glTexCoord2f(TX2, TY2);
  glVertex3f(X2, Y2, Z2);
}

void Sfera(float PX, float PY, float PZ, float Radius, std::int32_t NumCircle, std::int32_t NumLine, float TSize) {
  const float MajorStep = F(kPi / NumLine);
  const float MinorStep = F(2.0 * kPi / NumCircle);
  const double r = Radius;
  for (std::int32_t i = 0; i < NumLine; ++i) {
    const float A = F(i * double(MajorStep));
    const float B = F(double(A) + MajorStep);
    const float R0 = F(r * std::sin(double(A)));
    const float R1 = F(r * std::sin(double(B)));
    const float Z0 = F(r * std::cos(double(A)));
    const float Z1 = F(r * std::cos(double(B)));
    glBegin(GL_TRIANGLE_STRIP);
    for (std::int32_t j = 0; j <= NumCircle; ++j) {
      const float C = F(j * double(MinorStep));
      const float X = F(std::cos(double(C)));
      const float Y = F(std::sin(double(C)));
      const double s = -double(j) / NumCircle / TSize;
      glNormal3f(F(double(X) * R0 / r), F(double(Y) * R0 / r), F(Z0 / r));
      glTexCoord2f(F(s), F(double(i) / NumLine / TSize));
      glVertex3f(F(double(X) * R0 + PX), F(double(Y) * R0 + PY), F(double(Z0) + PZ));
      glNormal3f(F(double(X) * R1 / r), F(double(Y) * R1 / r), F(Z1 / r));
      glTexCoord2f(F(s), F(double(i + 1) / NumLine / TSize));
      glVertex3f(F(double(X) * R1 + PX), F(double(Y) * R1 + PY), F(double(Z1) + PZ));
    }
    glEnd();
  }
}

void Cilindro_(float H, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
               float TSV) {
  // Strips run along x; every column is a point of a half ellipse in the
  // y-z plane. A and B are lengths used as angles, which shapes the normals.
  const double h = H, rl = RL, rh = RH;
  const float MajorStep = F(h / NumCircle);
  const float MinorStep = F(kPi / NumLine);
  for (std::int32_t i = 0; i < NumCircle; ++i) {
    const float Z0 = F((h / 2 + h) - i * double(MajorStep));
    const float Z1 = F(((double(Z0) - h) - h / 2) - MajorStep);
    const float A = F(i * double(MajorStep));
    const float B = F(double(MajorStep) + A);
    const float R0 = F(rl * std::sin(double(A)));
    const float R1 = F(rl * std::sin(double(B)));
    glBegin(GL_TRIANGLE_STRIP);
    for (std::int32_t j = 0; j <= NumLine; ++j) {
      const float C = F(j * double(MinorStep));
      const float NX = F(std::cos(double(C) - DegToRad(90)));
      const float NY = F(std::sin(double(C) - DegToRad(90)));
      const float XX = F(double(NX) * h);
      const float YY = F(double(NY) * h);
      const double t = -(double(j) - TV) / NumLine / TSV;
      glNormal3f(F(std::cos(double(A)) * rl / rl), F(-(double(R0) * NX * rh) / h), F(double(R0) * NY / h));
      glTexCoord2f(F(-(double(i) + TU) / NumCircle / TSU), F(t));
      glVertex3f(Z0, F(rh * XX), YY);
      glNormal3f(F(std::cos(double(B)) * rl / rl), F(-(double(R1) * NX * rh) / h), F(double(R1) * NY / h));
      glTexCoord2f(F(-(double(i) + 1 + TU) / NumCircle / TSU), F(t));
      glVertex3f(Z1, F(rh * XX), YY);
    }
    glEnd();
  }
}

void Sfera_(float RC, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
            float TSV) {
  // Half an ellipsoid shell: semi-axes RC along x, RC*RH along y (y >= 0
  // only), RL along z; bands from the +z tip to the -z tip.
  const double rc = RC, rl = RL, rh = RH;
  const float MajorStep = F(kPi / NumCircle);
  const float MinorStep = F(kPi / NumLine);
  for (std::int32_t i = 0; i < NumCircle; ++i) {
    const float A = F(i * double(MajorStep));
    const float B = F(double(MajorStep) + A);
    const float R0 = F(rc * std::sin(double(A)));
    const float R1 = F(rc * std::sin(double(B)));
    const float Z0 = F(rl * std::cos(double(A)));
    const float Z1 = F(rl * std::cos(double(B)));
    glBegin(GL_TRIANGLE_STRIP);
    for (std::int32_t j = 0; j <= NumLine; ++j) {
      const float C = F(j * double(MinorStep));
      const float X = F(std::cos(double(C)));
      const float Y = F(std::sin(double(C)));
      const double s = -(double(j) + TU) / NumLine / TSU;
      glNormal3f(F(double(R0) * X / rc), F(double(R0) * Y * rh / rc), F(Z0 / rl));
      glTexCoord2f(F(s), F((double(i) - TV) / NumCircle / TSV));
      glVertex3f(F(double(R0) * X), F(double(R0) * Y * rh), Z0);
      glNormal3f(F(double(R1) * X / rc), F(double(R1) * Y * rh / rc), F(Z1 / rl));
      glTexCoord2f(F(s), F((double(i) + 1 - TV) / NumCircle / TSV));
      glVertex3f(F(double(R1) * X), F(double(R1) * Y * rh), Z1);
    }
    glEnd();
  }
}

void GenLeaf(float RC, float RL, float RH, std::int32_t NumCircle, std::int32_t NumLine, float TU, float TV, float TSU,
             float TSV, bool Spheric) {
  TwoSideOn();
  glDisable(GL_CULL_FACE);
  SetGLSprite();
  if (Spheric) {
    Sfera_(RC, RL, RH, NumCircle, NumLine, TU, TV, TSU, TSV);
  } else {
    Cilindro_(RC, RL, RH, NumCircle, NumLine, TU, TV, TSU, TSV);
  }
  SetGLSpriteOff();
  glEnable(GL_CULL_FACE);
  TwoSideOff();
}
