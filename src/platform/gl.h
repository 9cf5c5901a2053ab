// OpenGL 1.1 and GLU, included the way this platform needs: the Windows
// headers want <windows.h> first for their calling-convention macros.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
