#include "support/temp_dir.h"

// The window system shows real boxes; the tests look at the widgets instead.
void resetPlatformRecord() {}
