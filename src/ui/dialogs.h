#pragma once
// The file and colour choosers and the About box.

#include <string>
#include <string_view>

#include "settings/view_options.h"

// 0 with the chosen path in `destination`, -1 when cancelled (unchanged).
int chooseModelPath(std::string& destination);
int chooseOffSavePath(std::string& destination);
int chooseBackgroundPath(std::string& destination);
// Export Image: a name chosen without an ending takes the chosen filter's
// (.png, .bmp or .jpg).
int chooseImageSavePath(std::string& destination);
// The animated GIF to write; a name without an ending takes .gif.
int chooseGifSavePath(std::string& destination);
// 1 with the chosen colour stored, 0 when cancelled (unchanged).
// The chooser opens at the colour in `destination`, under `title`.
int chooseColor(Color& destination, std::string_view title);
// A new About box at the notice placement.
void showAboutBox();
