// Creation and destruction of the OpenGL device: pixel format, context, the
// hardware log, screen modes and the class descriptions.
#include "platform/opengl/ogl_device.h"

#include "compat/win32/gdi.h"
#include "compat/win32/gl_context.h"
#include "compat/win32/window.h"
#include "core/objects/class_builder.h"
#include "core/system/log.h"
#include "platform/device_window.h"

namespace {
int& LiveGenericDevices() {
  static int count = 0;
  return count;
}

WideString GLText(GLenum name) {
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return Utf8ToWide(text ? text : "");
}

const WideString kHardwareLine = W("Hardware info ==================================================");
}  // namespace

const ClassInfo& TOGLDevice::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TOGLDevice>("TOGLDevice").build();
  return info;
}

const ClassInfo& TGenericGLDevice::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TGenericGLDevice>("TGenericGLDevice").build();
  return info;
}

void TOGLDevice::CreateOnWindow(TWindow* window) {
  inherited::CreateOnWindow(window);
  FillScreenModes();
  HWND handle = WindowHandle(window);
  dc_ = handle ? GetDC(handle) : nullptr;
  dcWindow_ = handle;
  if (!dc_) {
    LogError(W("Can't create OGL context"));
    CreateDynamicMesh();
    return;
  }
  if (!ChoosePixelFormatFor(dc_)) {
    LogError(W("Can't init pixel format"));
    CreateDynamicMesh();
    return;
  }
  context_ = wglCreateContext(dc_);
  if (!context_ || !wglMakeCurrent(dc_, context_)) {
    if (context_) wglDeleteContext(context_);
    context_ = nullptr;
    LogError(W("Can't create OGL Render Context"));
    CreateDynamicMesh();
    return;
  }
  gl_.Load();
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  if (maxSize > 0) maxTextureSize_ = maxSize;
  if (isLayered()) {
    if (gl_.framebufferObject) {
      LogInfo(W("WGL_ARB_pbuffer supported"));
    } else {
      LogError(W("WGL_ARB_pbuffer not supported"));
    }
    LogInfo(W("WGL_ARB_pixel_format supported"));
    CreatePBuffer();
    LogHardware();
  } else {
    LogHardware();
    if (gl_.swapControl) gl_.SwapInterval(0);
  }
  TWindowSize size = WindowAppliedSize(window);
  glViewport(0, 0, size.width, size.height);
  CreateDynamicMesh();
}

bool TOGLDevice::ChoosePixelFormatFor(HDC dc) {
  PIXELFORMATDESCRIPTOR wanted;
  wanted.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  wanted.iPixelType = PFD_TYPE_RGBA;
  wanted.cColorBits = 32;
  int format = ChoosePixelFormat(dc, &wanted);
  if (format == 0) return false;
  PIXELFORMATDESCRIPTOR found;
  DescribePixelFormat(dc, format, sizeof found, &found);
  accelerated_ = (found.dwFlags & PFD_GENERIC_FORMAT) == 0;
  if (accelerated_) {
    LogInfo(W("OGL hardware accelerated mode"));
  } else {
    LogError(W("OGL software mode"));
  }
  return SetPixelFormat(dc, format, &wanted) != FALSE;
}

void TOGLDevice::LogHardware() {
  LogInfo(kHardwareLine);
  LogInfo(W("OGL Vendor ") + GLText(GL_VENDOR));
  LogInfo(W("OGL Renderer ") + GLText(GL_RENDERER));
  LogInfo(W("OGL Version ") + GLText(GL_VERSION));
  for (const std::string& name : SplitExtensions(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)))) {
    LogInfo(W("Extention supported - ") + Utf8ToWide(name));
  }
  // Meshes stay in system memory: buffer objects are never asked for.
  LogInfo(W("GL_ARB_vertex_buffer_object not supported"));
  LogInfo(gl_.bgra ? W("GL_BGRA supported") : W("GL_BGRA unsupported"));
  LogInfo(gl_.generateMipmap ? W("GL_SGIS_generate_mipmap supported") : W("GL_SGIS_generate_mipmap unsupported"));
  LogInfo(gl_.blendFuncSeparate ? W("GL_EXT_blend_func_separate supported")
                                : W("GL_EXT_blend_func_separate not supported"));
  LogInfo(kHardwareLine);
}

// OpenGL has no mode list of its own: the desktop's mode is the one offered.
void TOGLDevice::FillScreenModes() {
  int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  setDesktopSize(width, height);
  screenModes().clear();
  if (width > 0 && height > 0) {
    screenModes().push_back(AnsiToWide(std::to_string(width) + "x" + std::to_string(height) + "x32"));
  }
}

// When the window's system window was made anew (its kind changed), the
// context moves to the new one's drawing context: the pixel format is the same.
void TOGLDevice::MakeCurrent() {
  if (!context_) return;
  if (dc_ && !IsWindow(dcWindow_)) dc_ = nullptr;  // its system window is gone
  if (dc_ && wglGetCurrentContext() == context_ && wglGetCurrentDC() == dc_) return;
  if (dc_ && wglMakeCurrent(dc_, context_)) return;
  HWND handle = WindowHandle(window());
  HDC current = handle ? GetDC(handle) : nullptr;
  if (current && wglMakeCurrent(current, context_)) {
    dc_ = current;
    dcWindow_ = handle;
  }
}

bool TOGLDevice::isLayered() const { return WindowIsLayered(window()); }

bool TOGLDevice::IsAccelerated() { return ready() && accelerated_; }

// Full screen is the window's business on this device.
void TOGLDevice::FullScreen(bool, int32_t) {}

void TOGLDevice::Destroy() {
  if (context_) {
    MakeCurrent();
    FlushDrawing();
    DestroyResources();
    for (GLuint& list : lists_) {
      if (list) glDeleteLists(list, 1);
      list = 0;
    }
    offscreen_.Release();
    wglMakeCurrent(nullptr, nullptr);
    if (!wglDeleteContext(context_)) LogError(W("Can't destroy OGL context"));
    context_ = nullptr;
  } else {
    DestroyResources();
  }
  if (dc_) ReleaseDC(dcWindow_, dc_);
  dc_ = nullptr;
  inherited::Destroy();
}

void TGenericGLDevice::CreateOnWindow(TWindow* window) {
  LiveGenericDevices() += 1;
  inherited::CreateOnWindow(window);
}

void TGenericGLDevice::Destroy() {
  inherited::Destroy();
  LiveGenericDevices() -= 1;
}

int TGenericGLDevice::LiveCount() { return LiveGenericDevices(); }
