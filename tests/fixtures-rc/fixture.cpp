// The resource fixture module: its resources are the point; its one export lets a test see it loaded.
#include "common/win32.h"

extern "C" DECLSPEC_EXPORT int ResFixtureMarker() { return 0x5253; }
