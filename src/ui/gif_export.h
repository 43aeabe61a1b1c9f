#pragma once
// File > Export Animated GIF: what the window shows moving (the animation
// chosen, or one turn of a model that does not move by itself) written as a
// looping GIF at the drawing area's size, a frame per turn of the event
// loop, with progress and Cancel as a long read has.

// Asks for the file and starts writing.
void exportAnimatedGif();
// The next frame (the posted cmdGifStep).
void writeNextGifFrame();
// Stops a GIF being written, leaving any earlier file as it was; false when
// none is.
bool cancelGifExport();
bool gifExportInProgress();

// The GIF's frames a second.
constexpr double kGifFramesPerSecond = 20.0;
// A GIF is at most this many pixels across.
constexpr int kLargestGifWidth = 1024;
