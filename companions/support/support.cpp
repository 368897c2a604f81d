// Sample support library: a resource-only module; the UI plug-in takes its support page, pictures and icon.
#include "common/win32.h"
