// The picture the saver draws itself when it may not, or cannot, show the
// desktop: a window of coloured glass panes in lead, shaded from top to
// bottom. Made from nothing but arithmetic, at any size.
#pragma once

#include <cstdint>

// Writes width x height pixels as blue, green, red bytes, top row first
// (the layout of the captured desktop). Nothing happens for a non-positive size.
void DrawOwnPicture(int width, int height, uint8_t* out);
