#pragma once
// A GL context that draws into memory (OSMesa), for tests and tessera-tool.

// Makes a context of width x height pixels current, creating it on first
// use; false when the GL library cannot provide one.
bool makeOffscreenContextCurrent(int width, int height);
