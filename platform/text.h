// Text conversion for the layer's ANSI calls: Windows-1252 to UTF-8.
#pragma once

#include <string>
#include <string_view>

// Converts Windows-1252 bytes to UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string Cp1252ToUtf8(std::string_view ansi);
