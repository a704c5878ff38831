#include <gtest/gtest.h>

#include "render/gl.h"
#include "render/glbind.h"

TEST(GLBind, MissingLibrariesAreNamedInTheError) {
  EXPECT_EQ(BindGL("libGL-not-here.so.1", kGLULibrary), "Could not load OpenGL from libGL-not-here.so.1");
  EXPECT_FALSE(GLBound());
  EXPECT_EQ(GLDispatch.glBegin, nullptr);
  EXPECT_EQ(BindGL(kGLLibrary, "libGLU-not-here.so.1"), "Could not load GLu from libGLU-not-here.so.1");
  EXPECT_FALSE(GLBound());
  EXPECT_EQ(GLDispatch.glBegin, nullptr) << "a failed bind leaves the table empty";
}

TEST(GLBind, LibraryWithoutTheEntryPointsFails) {
  // libm loads but exports no GL entry point.
  EXPECT_EQ(BindGL("libm.so.6", kGLULibrary), "Could not load OpenGL from libm.so.6");
  EXPECT_EQ(BindGL(kGLLibrary, "libm.so.6"), "Could not load GLu from libm.so.6");
}

TEST(GLBind, BindsEveryRequiredEntryPoint) {
  ASSERT_EQ(BindGL(), "");
  EXPECT_TRUE(GLBound());
  EXPECT_NE(GLDispatch.glNewList, nullptr);
  EXPECT_NE(GLDispatch.gluPerspective, nullptr);
  EXPECT_NE(GLDispatch.gluBuild2DMipmaps, nullptr);
  UnbindGL();
  EXPECT_FALSE(GLBound());
  EXPECT_EQ(GLDispatch.glNewList, nullptr);
}

TEST(GLBind, FloatingPointExceptionsAreMasked) {
  MaskFloatingPointExceptions();
  volatile float zero = 0.0f;
  volatile float inf = 1.0f / zero;
  EXPECT_TRUE(inf > 1e30f);
  volatile long double nan = zero / zero;
  EXPECT_TRUE(nan != nan);
}
