// Run-time binding of the system's GL and GLU libraries into the dispatch
// table of render/gl.h.
#pragma once

#include <string>

inline constexpr const char* kGLLibrary = "libGL.so.1";
inline constexpr const char* kGLULibrary = "libGLU.so.1";

// Loads both libraries and resolves every entry point by name. Returns an
// empty string on success, otherwise "Could not load OpenGL from <file>" or
// "Could not load GLu from <file>" and leaves nothing loaded.
std::string BindGL(const char* glLibrary = kGLLibrary, const char* gluLibrary = kGLULibrary);

// Releases the libraries in reverse order (GLU first) and clears the table.
void UnbindGL();

// True while real libraries are bound.
bool GLBound();

// Masks all six floating-point exceptions (x87 and SSE), so float arithmetic
// yields infinities and NaNs instead of traps; also keeps the x87 unit at
// extended precision for long double.
void MaskFloatingPointExceptions();
