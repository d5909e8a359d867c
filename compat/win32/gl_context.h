#pragma once
// OpenGL contexts on windows.
//
// Every window can carry GL contexts: its own drawing context (GetDC) is the
// target. A pixel format is chosen once for all windows (32-bit colour with
// alpha, 24-bit depth, 8-bit stencil, double-buffered), so choosing and
// setting one only answers that format.
#include "compat/win32/win_types.h"

struct PIXELFORMATDESCRIPTOR {
  WORD nSize = sizeof(PIXELFORMATDESCRIPTOR);
  WORD nVersion = 1;
  DWORD dwFlags = 0;
  BYTE iPixelType = 0;
  BYTE cColorBits = 0;
  BYTE cAlphaBits = 0;
  BYTE cDepthBits = 0;
  BYTE cStencilBits = 0;
};
constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
constexpr BYTE PFD_TYPE_RGBA = 0;

// Answers 1 (the one format) for a window's context, 0 for anything else.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* wanted);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* wanted);
int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* description);

// A context for the window of `dc`; not made current (as on the system).
HGLRC wglCreateContext(HDC dc);
// A context that shares display lists and textures with `share` (or none).
HGLRC wglCreateContextAttribsARB(HDC dc, HGLRC share, const int* attributes);
BOOL wglDeleteContext(HGLRC context);
// Null context: no context is current afterwards.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
HGLRC wglGetCurrentContext();
HDC wglGetCurrentDC();
// GL and window-system entry points by name ("wglSwapIntervalEXT" included).
FARPROC wglGetProcAddress(const char* name);
BOOL SwapBuffers(HDC dc);
