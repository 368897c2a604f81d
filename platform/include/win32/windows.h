// The whole Win32 subset the plug-ins, the stand-in core driver and the companions call on Linux.
#pragma once
#include "win32/base.h"
#include "win32/kernel.h"
#include "win32/gdi.h"
#include "win32/spooler.h"
#include "win32/styles.h"
#include "win32/resource.h"
#include "win32/user.h"
#include "win32/commctrl.h"
