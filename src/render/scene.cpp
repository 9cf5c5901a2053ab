#include "render/scene.h"

#include <ctime>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/piece.h"
#include "platform/screen.h"
#include "render/frame.h"

int screenWidth = 0;
int screenHeight = 0;
FloatPair waveCentre = {0.0f, 0.0f};
const float projectionAspect = 640.0f / 480.0f;
GLuint SparkleLists[kSparkleListCount];

int SparklePoints(int index, float cell, float* out)
{
    const int count = NextRandom() % 5 + index / 160 + 5;
    const float g = static_cast<float>(index) * cell * 0.001f;
    const float h = g * 0.5f;
    for (int p = 0; p < count; ++p) {
        const int r1 = NextRandom() % 1000;
        const int r2 = NextRandom() % 1000;
        const int r3 = NextRandom() % 1000;
        out[p * 3 + 0] = static_cast<float>(r2) * g * 0.001f - h; // x takes the second value
        out[p * 3 + 1] = static_cast<float>(r1) * g * 0.001f - h;
        out[p * 3 + 2] = static_cast<float>(r3) * g * 0.001f - h;
    }
    return count;
}

void BuildSparkleLists()
{
    const float cell = (static_cast<float>(screenHeight) / Settings.y_div +
                        static_cast<float>(screenWidth) / Settings.x_div) *
                       0.5f;
    float points[kMaxSparklePoints * 3];
    for (int i = 0; i < kSparkleListCount; ++i) {
        SparkleLists[i] = glGenLists(1);
        glNewList(SparkleLists[i], GL_COMPILE);
        glBegin(GL_POINTS);
        const int count = SparklePoints(i, cell, points);
        for (int p = 0; p < count; ++p)
            glVertex3f(points[p * 3 + 0], points[p * 3 + 1], points[p * 3 + 2]);
        glEnd();
        glEndList();
    }
}

void SetupScene()
{
    GetPrimaryScreenSize(&screenWidth, &screenHeight);
    waveCentre.x = static_cast<float>(screenWidth / 2);
    waveCentre.y = static_cast<float>(screenHeight / 2);
    SeedRandom(static_cast<uint32_t>(time(nullptr)));
    BuildGrid();
    BuildPieces();
    BuildSparkleLists();

    InitMovementChannel(&rotationXChannel, Settings.rotX0, Settings.rotX1);
    InitMovementChannel(&rotationYChannel, Settings.rotY0, Settings.rotY1);
    InitMovementChannel(&rotationZChannel, Settings.rotZ0, Settings.rotZ1);
    InitZoomChannel(&zoomChannel, Settings.zoom0, Settings.zoom1);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(120.0, projectionAspect, 10.0, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    ResetCamera();

    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    glEnable(GL_TEXTURE_2D);
    const GLfloat lightPosition[] = {0.0f, 0.0f, 1.0f, 1.0f};
    const GLfloat lightAmbient[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat noEmission[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat shininess = 50.0f;
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, noEmission);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}
