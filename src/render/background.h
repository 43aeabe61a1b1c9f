#pragma once
// A picture behind the model: a BMP, PNG or JPEG file resampled to a power-of-two
// texture and kept in one display list.

#include <GL/gl.h>

#include <string>

constexpr GLuint backgroundList = 1;

// Reads the picture and compiles it into backgroundList; false (nothing
// changed, the reason in `reason`) when the file is not a usable picture.
// Needs a current context.
bool makeBackgroundTexture(const char* path, std::string* reason = nullptr);
// The texture over the whole drawing area (width x height), beneath everything else.
void drawBackground(int width, int height);
