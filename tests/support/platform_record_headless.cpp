#include "platform/headless/headless_platform.h"
#include "support/temp_dir.h"

void resetPlatformRecord() { headlessRecord = HeadlessRecord{}; }
