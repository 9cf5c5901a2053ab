// The wave animation: every frame each grid vertex gets a new height z from
// its position, the wave centre, frameCounter and the wave settings.
#pragma once

#include <cstdint>

// Frames drawn since the scene was set up: the wave's time base. Advanced by
// the frame after each draw.
extern uint32_t frameCounter;

// Heights for the current frameCounter by Mode (1 to 4); other modes leave z alone.
void AdvanceWave();
