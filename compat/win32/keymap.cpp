#include "compat/win32/internal/keymap.h"

#include <linux/input-event-codes.h>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <atomic>
#include <cstring>
#include <memory>

#include "compat/win32/internal/keyboard_layout.h"
#include "compat/win32/internal/video.h"

namespace {
// The display system numbers keys by their USB usage, the keymap by the
// kernel's key codes: the keys that type text.
struct KeyCode {
  SDL_Scancode scancode;
  int code;
};
constexpr KeyCode kKeyCodes[] = {
    {SDL_SCANCODE_A, KEY_A},           {SDL_SCANCODE_B, KEY_B},
    {SDL_SCANCODE_C, KEY_C},           {SDL_SCANCODE_D, KEY_D},
    {SDL_SCANCODE_E, KEY_E},           {SDL_SCANCODE_F, KEY_F},
    {SDL_SCANCODE_G, KEY_G},           {SDL_SCANCODE_H, KEY_H},
    {SDL_SCANCODE_I, KEY_I},           {SDL_SCANCODE_J, KEY_J},
    {SDL_SCANCODE_K, KEY_K},           {SDL_SCANCODE_L, KEY_L},
    {SDL_SCANCODE_M, KEY_M},           {SDL_SCANCODE_N, KEY_N},
    {SDL_SCANCODE_O, KEY_O},           {SDL_SCANCODE_P, KEY_P},
    {SDL_SCANCODE_Q, KEY_Q},           {SDL_SCANCODE_R, KEY_R},
    {SDL_SCANCODE_S, KEY_S},           {SDL_SCANCODE_T, KEY_T},
    {SDL_SCANCODE_U, KEY_U},           {SDL_SCANCODE_V, KEY_V},
    {SDL_SCANCODE_W, KEY_W},           {SDL_SCANCODE_X, KEY_X},
    {SDL_SCANCODE_Y, KEY_Y},           {SDL_SCANCODE_Z, KEY_Z},
    {SDL_SCANCODE_1, KEY_1},           {SDL_SCANCODE_2, KEY_2},
    {SDL_SCANCODE_3, KEY_3},           {SDL_SCANCODE_4, KEY_4},
    {SDL_SCANCODE_5, KEY_5},           {SDL_SCANCODE_6, KEY_6},
    {SDL_SCANCODE_7, KEY_7},           {SDL_SCANCODE_8, KEY_8},
    {SDL_SCANCODE_9, KEY_9},           {SDL_SCANCODE_0, KEY_0},
    {SDL_SCANCODE_SPACE, KEY_SPACE},   {SDL_SCANCODE_MINUS, KEY_MINUS},
    {SDL_SCANCODE_EQUALS, KEY_EQUAL},  {SDL_SCANCODE_LEFTBRACKET, KEY_LEFTBRACE},
    {SDL_SCANCODE_RIGHTBRACKET, KEY_RIGHTBRACE}, {SDL_SCANCODE_BACKSLASH, KEY_BACKSLASH},
    {SDL_SCANCODE_NONUSHASH, KEY_BACKSLASH},     {SDL_SCANCODE_SEMICOLON, KEY_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, KEY_APOSTROPHE},   {SDL_SCANCODE_GRAVE, KEY_GRAVE},
    {SDL_SCANCODE_COMMA, KEY_COMMA},   {SDL_SCANCODE_PERIOD, KEY_DOT},
    {SDL_SCANCODE_SLASH, KEY_SLASH},   {SDL_SCANCODE_NONUSBACKSLASH, KEY_102ND},
    {SDL_SCANCODE_KP_DIVIDE, KEY_KPSLASH},       {SDL_SCANCODE_KP_MULTIPLY, KEY_KPASTERISK},
    {SDL_SCANCODE_KP_MINUS, KEY_KPMINUS},        {SDL_SCANCODE_KP_PLUS, KEY_KPPLUS},
    {SDL_SCANCODE_KP_1, KEY_KP1},      {SDL_SCANCODE_KP_2, KEY_KP2},
    {SDL_SCANCODE_KP_3, KEY_KP3},      {SDL_SCANCODE_KP_4, KEY_KP4},
    {SDL_SCANCODE_KP_5, KEY_KP5},      {SDL_SCANCODE_KP_6, KEY_KP6},
    {SDL_SCANCODE_KP_7, KEY_KP7},      {SDL_SCANCODE_KP_8, KEY_KP8},
    {SDL_SCANCODE_KP_9, KEY_KP9},      {SDL_SCANCODE_KP_0, KEY_KP0},
    {SDL_SCANCODE_KP_PERIOD, KEY_KPDOT},         {SDL_SCANCODE_KP_EQUALS, KEY_KPEQUAL},
};

// Key codes of the keymap are the kernel's plus 8, as X numbers them.
constexpr xkb_keycode_t kEvdevOffset = 8;

xkb_keycode_t KeymapCodeOf(SDL_Scancode scancode) {
  for (const KeyCode& key : kKeyCodes) {
    if (key.scancode == scancode) return static_cast<xkb_keycode_t>(key.code) + kEvdevOffset;
  }
  return XKB_KEYCODE_INVALID;
}

struct ContextFree {
  void operator()(xkb_context* context) const { xkb_context_unref(context); }
};
struct KeymapFree {
  void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct StateFree {
  void operator()(xkb_state* state) const { xkb_state_unref(state); }
};
struct ConnectionFree {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

struct Keymap {
  std::unique_ptr<xkb_context, ContextFree> context;
  std::unique_ptr<xkb_keymap, KeymapFree> keymap;
  xkb_layout_index_t layout = 0;  // the layout (group) in effect when read
  bool read = false;
};

Keymap& TheKeymap() {
  static Keymap keymap;
  return keymap;
}

std::atomic<bool>& Stale() {
  static std::atomic<bool> stale{false};
  return stale;
}

bool DisplayIsX11() {
  const char* driver = VideoStarted() ? SDL_GetCurrentVideoDriver() : nullptr;
  return driver && std::strcmp(driver, "x11") == 0;
}

// The X server's keymap of the core keyboard and the layout in effect.
bool ReadServerKeymap(Keymap& k) {
  std::unique_ptr<xcb_connection_t, ConnectionFree> connection(xcb_connect(nullptr, nullptr));
  if (!connection || xcb_connection_has_error(connection.get())) return false;
  if (!xkb_x11_setup_xkb_extension(connection.get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
    return false;
  }
  int32_t device = xkb_x11_get_core_keyboard_device_id(connection.get());
  if (device < 0) return false;
  k.keymap.reset(
      xkb_x11_keymap_new_from_device(k.context.get(), connection.get(), device, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!k.keymap) return false;
  std::unique_ptr<xkb_state, StateFree> state(
      xkb_x11_state_new_from_device(k.keymap.get(), connection.get(), device));
  k.layout = state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;
  return true;
}

xkb_keymap* CurrentKeymap() {
  Keymap& k = TheKeymap();
  if (Stale().exchange(false)) k.read = false;
  if (k.read) return k.keymap.get();
  k.read = true;
  k.keymap.reset();
  k.layout = 0;
  if (!k.context) k.context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
  if (!k.context) return nullptr;
  if (DisplayIsX11() && ReadServerKeymap(k)) return k.keymap.get();
  k.keymap.reset(xkb_keymap_new_from_names(k.context.get(), nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS));
  return k.keymap.get();
}

xkb_mod_mask_t ModBit(xkb_keymap* keymap, const char* name) {
  xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap, name);
  return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t{1} << index;
}

void AppendUtf16(std::u16string& out, uint32_t c) {
  if (c >= 0x10000) {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  } else {
    out += static_cast<char16_t>(c);
  }
}
}  // namespace

std::u16string KeymapText(SDL_Scancode scancode, int level, bool numLock) {
  xkb_keycode_t code = KeymapCodeOf(scancode);
  xkb_keymap* keymap = code == XKB_KEYCODE_INVALID ? nullptr : CurrentKeymap();
  if (!keymap) return {};
  std::unique_ptr<xkb_state, StateFree> state(xkb_state_new(keymap));
  if (!state) return {};
  xkb_mod_mask_t held = 0, locked = 0;
  if (level & kLevelShift) held |= ModBit(keymap, XKB_MOD_NAME_SHIFT);
  if (level & kLevelAltGr) {
    xkb_mod_mask_t levelThree = ModBit(keymap, "LevelThree");
    held |= levelThree ? levelThree : ModBit(keymap, "Mod5");
  }
  if (level & kLevelCaps) locked |= ModBit(keymap, XKB_MOD_NAME_CAPS);
  if (numLock) locked |= ModBit(keymap, XKB_MOD_NAME_NUM);
  xkb_layout_index_t layout = TheKeymap().layout;
  xkb_state_update_mask(state.get(), held, 0, locked, 0, 0, layout);
  // AltGr on a key without a third level types nothing, as on the system;
  // the keymap would fall back to the key's first level.
  if ((level & kLevelAltGr) && xkb_state_key_get_level(state.get(), code, layout) < 2) return {};
  uint32_t c = xkb_state_key_get_utf32(state.get(), code);
  std::u16string text;
  if (c >= 0x20 && c != 0x7F) AppendUtf16(text, c);
  return text;
}

void ForgetKeymap() { Stale() = true; }
