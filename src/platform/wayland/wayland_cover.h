// The surface that covers one output while the saver runs: an overlay layer
// surface where the compositor has the layer shell, else a fullscreen
// toplevel on that output. Made unmapped (committed without a buffer, so
// nothing shows before the desktop is photographed); shown black, or left to
// the GL surface on the scene's output.
#pragma once

#include "platform/wayland/wayland_connection.h"

// Gives output its cover surface and commits it without a buffer. false on failure.
bool CreateCover(WaylandOutput* output);
// From now on the cover draws: black unless it is the scene's, whose frames
// come from the GL surface.
void ShowCover(WaylandOutput* output);
// Releases the cover's surface, role and buffer; an output without one is ignored.
void DestroyCover(WaylandOutput* output);

// What the window code does when the compositor closes a cover; set once.
void SetCoverClosedHandler(void (*closed)(WaylandOutput* output));
