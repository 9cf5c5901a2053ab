// The wave animation: every frame each grid vertex gets a new height z from
// its position, the wave centre, frameCounter and the wave settings.
#pragma once

// Heights for the current frameCounter by Mode (1 to 4); other modes leave z alone.
void AdvanceWave();
