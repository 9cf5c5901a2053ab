#include "render/scene.h"

#include <cstdint>
#include <ctime>

#include "core/random.h"
#include "core/settings.h"
#include "geometry/grid.h"
#include "geometry/piece.h"
#include "geometry/wave.h"
#include "platform/gl.h"
#include "platform/screen.h"
#include "render/capture.h"
#include "render/frame.h"

const float projectionAspect = 640.0f / 480.0f;

void SetupScene()
{
    int width = 0, height = 0;
    GetPrimaryScreenSize(&width, &height);
    SetPlaneSize(width, height);
    SeedRandom(static_cast<uint32_t>(time(nullptr)));
    BuildGrid();
    BuildPieces();
    BuildSparkleClouds();

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

void TeardownScene()
{
    ClearPieces();
    pieces.shrink_to_fit();
    ReleaseGrid();
    ReleaseSparkleClouds();
    DeleteScreenTexture();
    frameCounter = 0;
}
