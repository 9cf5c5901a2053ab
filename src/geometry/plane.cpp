#include "geometry/plane.h"

int screenWidth = 0;
int screenHeight = 0;
FloatPair waveCentre = {0.0f, 0.0f};

void SetPlaneSize(int width, int height)
{
    screenWidth = width;
    screenHeight = height;
    waveCentre.x = static_cast<float>(screenWidth / 2);
    waveCentre.y = static_cast<float>(screenHeight / 2);
}
