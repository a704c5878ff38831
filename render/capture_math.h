// 4x4 matrix arithmetic of the GL capture, in GL's column-major layout
// (element (row r, column c) at m[c * 4 + r]). Each result element is
// computed in double precision and rounded to float once, as GL stores
// matrices in single precision.
#pragma once

#include <array>
#include <optional>

#include "render/glcapture.h"

// a * b (b applied first, as glMultMatrix does).
CaptureMatrix MatMultiply(const CaptureMatrix& a, const CaptureMatrix& b);
CaptureMatrix MatTranslation(double x, double y, double z);
CaptureMatrix MatScaling(double x, double y, double z);
// Rotation by `degrees` about the axis (x, y, z), normalised first; a zero
// axis gives no matrix (GL leaves the matrix unchanged).
std::optional<CaptureMatrix> MatRotation(double degrees, double x, double y, double z);
// glOrtho and glFrustum; no matrix for degenerate boxes (GL reports
// GL_INVALID_VALUE and leaves the matrix unchanged).
std::optional<CaptureMatrix> MatOrtho(double l, double r, double b, double t, double n, double f);
std::optional<CaptureMatrix> MatFrustum(double l, double r, double b, double t, double n, double f);
// gluPerspective; no matrix when the far and near planes coincide, the
// aspect is zero or the field of view is a multiple of 360 degrees (GLU
// returns without changing the matrix).
std::optional<CaptureMatrix> MatPerspective(double fovyDegrees, double aspect, double zNear, double zFar);

// m * (x, y, z, w).
std::array<double, 4> MatTransform(const CaptureMatrix& m, double x, double y, double z, double w);

// The matrix that carries normals: the inverse transpose of the upper 3x3,
// row-major. For a singular 3x3 it is the cofactor matrix (the inverse
// transpose times the determinant), which still maps the normals of a
// flattened shape onto the flattening axis instead of producing NaNs.
std::array<double, 9> MatNormalMatrix(const CaptureMatrix& m);
