// The seam between the saver and the window system, one header per concern.
// Every function declared in these headers is implemented once per platform,
// in src/platform/x11/ and src/platform/win32/; nothing above the seam knows
// which platform it runs on.
#pragma once

#include "platform/gl_surface.h"
#include "platform/platform_types.h"
#include "platform/screen.h"
#include "platform/settings_store.h"
#include "platform/system.h"
#include "platform/thread.h"
#include "platform/window.h"
