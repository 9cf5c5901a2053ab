// Input on the saver's surfaces, turned into the Win32-numbered messages the
// saver window expects, and the pointer's position for its movement test.
#pragma once

#include <cstdint>

#include "platform/platform_types.h"

// Where seat input goes: the window code posts it to the saver window.
using WaylandInputSink = void (*)(uint32_t message, WParam wParam, LParam lParam);
void SetWaylandInputSink(WaylandInputSink sink);

// The pointer's position in the compositor's space, measured from where it
// first appeared on one of the saver's surfaces; (0, 0) until it has.
ScreenPoint WaylandPointerOffset();
