// A picture read from a file (any format the system's image loader knows).
#pragma once

#include <cstdint>
#include <string>

// Reads the file and scales it without smoothing to width x height blue,
// green, red bytes, top row first. False with a one-line *message when the
// file cannot be read as a picture; out is then unspecified.
bool LoadPictureFile(const char* path, int width, int height, uint8_t* out, std::string* message);
