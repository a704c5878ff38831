// Strict number parsing for the tools' options: the whole text must be the
// number, with no trailing characters, and it must fit.
#pragma once

#include <cstdint>
#include <string>

bool ParseInt32(const std::string& text, std::int32_t& value);
// Finite values only.
bool ParseFloat(const std::string& text, float& value);
// "<width>x<height>", each 1..8192.
bool ParseSize(const std::string& text, std::int32_t& width, std::int32_t& height);
