#include "geometry/wave.h"

#include <cmath>

#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/plane.h"

// The constants are single-precision values widened to double; the sums,
// products, sines and cosines run in double, and each height is stored as float.
uint32_t frameCounter = 0;

static const double kSpace1 = 0.0001f;
static const double kTime = 0.0025f;
static const double kSpaceSquared = 0.000001f;
static const double kSpaceSquaredY4 = 0.000002f;
static const double kQuarter = 0.25f;
static const double kThree = 3.0f;

void AdvanceWave()
{
    const int mode = Settings.Mode;
    if (mode < 1 || mode > 4 || gridVertexCount == 0)
        return;
    const double a = Settings.xyAmplitude;
    const double f1 = Settings.xyFrequency1;
    const double f2 = Settings.xyFrequency2;
    const double sx = Settings.xySizeX;
    const double sy = Settings.xySizeY;
    const double cx = waveCentre.x;
    const double cy = waveCentre.y;
    const double t = static_cast<double>(frameCounter);
    const double time1 = t * f1 * kTime;
    const double time2 = t * f2 * kTime;

    for (int i = 0; i < gridColumnCount; ++i) {
        for (int j = 0; j < gridRowCount; ++j) {
            const int k = GridIndex(i, j);
            if (k < 0 || k >= gridVertexCount) // only for fractional divisions
                continue;
            Vector3f& v = gridVertices[k];
            const double dx = static_cast<double>(v.x) - cx;
            const double dy = static_cast<double>(v.y) - cy;
            double z;
            switch (mode) {
            case 1:
                z = a * (std::cos(dy * sy * kSpace1 + time2) + std::cos(dx * sx * kSpace1 + time1));
                break;
            case 2:
                z = a * std::sin(dy + time2) * std::sin(dx + time1);
                break;
            case 3:
                z = a *
                    std::sin(dx * dx * sx * kSpaceSquared + dy * dy * sy * kSpaceSquared + time1);
                break;
            default:
                z = kThree * a *
                    std::cos((dx * dx * sx * kSpaceSquared + dy * dy * sy * kSpaceSquaredY4) *
                                 kQuarter +
                             time1);
                break;
            }
            v.z = static_cast<float>(z);
        }
    }
}
