// OpenGL 1.1 and GLU, without dragging the window system in.
//
// MinGW's GL headers include <windows.h> unless the two macros they need are already
// defined; defining them here keeps window types out of the scene on Windows too.
#pragma once

#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>
