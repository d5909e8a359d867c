// GL contexts on windows: a frame cleared through a real context reads back.
#include <gtest/gtest.h>

#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "compat/win32/test_hooks.h"
#include "tests/compat/message_recorder.h"

namespace {
using ClearColor = void (*)(float, float, float, float);
using Clear = void (*)(unsigned);
using GetString = const unsigned char* (*)(unsigned);
constexpr unsigned kColorBufferBit = 0x4000;
constexpr unsigned kVersion = 0x1F02;

TEST(compatGLContext, FrameClearedThroughTheContextIsWhatTheWindowShows) {
  MessageRecorder recorder;
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 32, 16);
  HDC dc = GetDC(w);
  EXPECT_EQ(GetDC(w), dc);
  PIXELFORMATDESCRIPTOR wanted;
  int format = ChoosePixelFormat(dc, &wanted);
  ASSERT_EQ(format, 1);
  ASSERT_TRUE(SetPixelFormat(dc, format, &wanted));
  PIXELFORMATDESCRIPTOR described;
  EXPECT_EQ(DescribePixelFormat(dc, format, sizeof(described), &described), 1);
  EXPECT_EQ(described.cAlphaBits, 8);
  HGLRC context = wglCreateContext(dc);
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(wglGetCurrentContext(), nullptr);  // made, not made current
  ASSERT_TRUE(wglMakeCurrent(dc, context));
  EXPECT_EQ(wglGetCurrentContext(), context);
  EXPECT_EQ(wglGetCurrentDC(), dc);
  auto version = reinterpret_cast<GetString>(wglGetProcAddress("glGetString"));
  ASSERT_NE(version, nullptr);
  EXPECT_NE(version(kVersion), nullptr);
  auto clearColor = reinterpret_cast<ClearColor>(wglGetProcAddress("glClearColor"));
  auto clear = reinterpret_cast<Clear>(wglGetProcAddress("glClear"));
  ASSERT_TRUE(clearColor && clear);
  win32_test::CaptureFrames(w, true);
  clearColor(1.0f, 0.0f, 0.0f, 1.0f);
  clear(kColorBufferBit);
  ASSERT_TRUE(SwapBuffers(dc));
  auto frame = win32_test::LastFrame(w);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 32);
  EXPECT_EQ(frame->height, 16);
  EXPECT_EQ(frame->pixels[0], 0xFFFF0000u);
  EXPECT_EQ(frame->pixels[32 * 16 - 1], 0xFFFF0000u);
  EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(context));
  EXPECT_FALSE(wglDeleteContext(context));
}

TEST(compatGLContext, SharedContextSeesTheSameObjects) {
  MessageRecorder recorder;
  HWND w = recorder.make(WS_POPUP, 0, 0, 0, 8, 8);
  HDC dc = GetDC(w);
  HGLRC first = wglCreateContext(dc);
  HGLRC second = wglCreateContextAttribsARB(dc, first, nullptr);
  ASSERT_NE(second, nullptr);
  using GenLists = unsigned (*)(int);
  using IsList = unsigned char (*)(unsigned);
  using NewList = void (*)(unsigned, unsigned);
  using EndList = void (*)();
  ASSERT_TRUE(wglMakeCurrent(dc, first));
  auto genLists = reinterpret_cast<GenLists>(wglGetProcAddress("glGenLists"));
  auto newList = reinterpret_cast<NewList>(wglGetProcAddress("glNewList"));
  auto endList = reinterpret_cast<EndList>(wglGetProcAddress("glEndList"));
  auto isList = reinterpret_cast<IsList>(wglGetProcAddress("glIsList"));
  unsigned list = genLists(1);
  newList(list, 0x1300);
  endList();
  ASSERT_TRUE(wglMakeCurrent(dc, second));
  EXPECT_TRUE(isList(list));
  wglMakeCurrent(nullptr, nullptr);
  wglDeleteContext(second);
  wglDeleteContext(first);
}

TEST(compatGLContext, OnlyWindowContextsCarryGL) {
  HDC memory = CreateCompatibleDC(nullptr);
  EXPECT_EQ(ChoosePixelFormat(memory, nullptr), 0);
  EXPECT_EQ(wglCreateContext(memory), nullptr);
  DeleteDC(memory);
  EXPECT_NE(wglGetProcAddress("wglSwapIntervalEXT"), nullptr);
}
}  // namespace
