// Input records, their recording form, the shift-byte rules and the
// translation of hand-made window messages into records.
#include <gtest/gtest.h>

#include "compat/win32/keyboard.h"
#include "compat/win32/window_messages.h"
#include "core/system/crash_hook.h"
#include "platform/input_records.h"
#include "platform/win32/crash_hook_install.h"
#include "platform/win32/crash_hook_seam.h"
#include "platform/win32/input_rules.h"
#include "platform/win32/input_translation.h"
#include "platform/win32/window_input.h"
#include "tests/platform/input_test_owner.h"
#include "tests/support/log_capture.h"

namespace {
std::string Text(TLowEvent* event) { return WideToUtf8(EventToText(event)); }

struct RecordFreer {
  void operator()(TLowEvent* e) const {
    if (e) e->Free();
  }
};
using Record = std::unique_ptr<TLowEvent, RecordFreer>;

Record FromText(const std::string& text) { return Record(EventFromText(Utf8ToWide(text))); }

// Key data of a key message: repeat count 1, the key's number in bits 16-23,
// alt in bit 29, release in bits 30 and 31.
LPARAM KeyData(int scancode, bool alt = false, bool release = false) {
  uint32_t data = 1u | (static_cast<uint32_t>(scancode) << 16);
  if (alt) data |= 1u << 29;
  if (release) data |= (1u << 30) | (1u << 31);
  return static_cast<LPARAM>(data);
}

class KeyboardReset : public ::testing::Test {
 protected:
  void SetUp() override { win32_test::ResetKeyboard(); }
  void TearDown() override { win32_test::ResetKeyboard(); }
};
}  // namespace

// ---- records and their text form ---------------------------------------------

TEST(InputRecords, ConstructorsSetTheFieldsAndClearHandled) {
  Record key(TKeyEvent::Create(lekKeyUp, 0, 97, 5, nullptr));
  ASSERT_NE(key->asKey(), nullptr);
  EXPECT_EQ(key->kind, 1);
  EXPECT_EQ(key->handled, 0);
  EXPECT_EQ(key->asKey()->character, 97);
  EXPECT_EQ(key->asKey()->shift, 5);
  EXPECT_EQ(key->asMouse(), nullptr);

  Record schedule(TScheduleActionEvent::Create(1.5f, nullptr, kScheduleFree));
  ASSERT_NE(schedule->asScheduleAction(), nullptr);
  ASSERT_NE(schedule->asSchedule(), nullptr);
  EXPECT_EQ(schedule->kind, 6);
  EXPECT_EQ(schedule->asSchedule()->elapsed, 0.0f);
  EXPECT_EQ(schedule->asSchedule()->delay, 1.5f);
  EXPECT_EQ(schedule->asScheduleAction()->action, kScheduleFree);

  Record action(TActionEvent::Create(lekWindowAction, nullptr, kActionDeactivated));
  EXPECT_EQ(action->asAction()->code, 2);
  Record wheel(TWheelEvent::Create(lekWheel, -3, 4, nullptr));
  EXPECT_EQ(wheel->asWheel()->steps, -3);
}

TEST(InputRecords, TextFormWritesKindThenTheKindsFields) {
  Record keyA(TKeyEvent::Create(lekKeyDown, 0, 97, 1, nullptr));
  EXPECT_EQ(Text(keyA.get()), "0,0,97,");
  Record click(TMouseEvent::Create(lekMouseDown, kButtonLeft, 10, 20, 0, 0, 8, nullptr));
  EXPECT_EQ(Text(click.get()), "2,1,10,20,0,0,");
  Record move(TMouseEvent::Create(lekMouseMove, kButtonLeft, -4, 7, -14, 3, 0, nullptr));
  EXPECT_EQ(Text(move.get()), "4,1,-4,7,-14,3,");
  Record wheel(TWheelEvent::Create(lekWheel, 1, 0, nullptr));
  EXPECT_EQ(Text(wheel.get()), "5,");
  Record schedule(TScheduleEvent::Create(lekSchedule, 2.0f));
  EXPECT_EQ(Text(schedule.get()), "6,");
  Record action(TActionEvent::Create(lekWindowAction, nullptr, 0));
  EXPECT_EQ(Text(action.get()), "7,");
}

TEST(InputRecords, EveryKeyAndMouseRecordComesBackFromItsText) {
  std::vector<Record> originals;
  originals.emplace_back(TKeyEvent::Create(lekKeyDown, 37, 0, 1, nullptr));
  originals.emplace_back(TKeyEvent::Create(lekKeyUp, 0, 0xFFFF, 0, nullptr));
  for (uint8_t kind : {lekMouseDown, lekMouseUp, lekMouseMove}) {
    originals.emplace_back(TMouseEvent::Create(kind, kButtonRight, 2147483647, -2147483647 - 1, -5, 65534, 16, nullptr));
  }
  for (const Record& original : originals) {
    Record back = FromText(Text(original.get()));
    ASSERT_NE(back, nullptr) << Text(original.get());
    EXPECT_EQ(back->kind, original->kind);
    EXPECT_EQ(Text(back.get()), Text(original.get()));
    if (TKeyEvent* key = back->asKey()) {
      EXPECT_EQ(key->key, original->asKey()->key);
      EXPECT_EQ(key->character, original->asKey()->character);
      EXPECT_EQ(key->shift, 0);  // not part of the text
      EXPECT_EQ(key->window, nullptr);
    } else {
      TMouseEvent* mouse = back->asMouse();
      ASSERT_NE(mouse, nullptr);
      EXPECT_EQ(mouse->button, 2);
      EXPECT_EQ(mouse->x, 2147483647);
      EXPECT_EQ(mouse->y, -2147483647 - 1);
      EXPECT_EQ(mouse->dx, -5);
      EXPECT_EQ(mouse->dy, 65534);
      EXPECT_EQ(mouse->shift, 0);
    }
  }
}

TEST(InputRecords, TextOfOtherKindsGivesNoRecord) {
  LogCapture log;
  EXPECT_EQ(FromText(""), nullptr);
  EXPECT_EQ(FromText("5,"), nullptr);
  EXPECT_EQ(FromText("6,"), nullptr);
  EXPECT_EQ(FromText("7,0,"), nullptr);
  EXPECT_EQ(FromText("8,1,2,"), nullptr);
  EXPECT_TRUE(log.lines().empty());
}

TEST(InputRecords, KindIsTakenAsAByteAndFieldsAreCutToTheirWidths) {
  Record key = FromText("256,65601,97,");  // 256 -> 0, 65601 -> 65
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->kind, 0);
  EXPECT_EQ(key->asKey()->key, 65);
  Record mouse = FromText("2,257,1,2,3,4,");
  ASSERT_NE(mouse, nullptr);
  EXPECT_EQ(mouse->asMouse()->button, 1);
  // Trailing text after the last field is not read; the last comma may be missing.
  Record tail = FromText(" 1 , 0 , 98");
  ASSERT_NE(tail, nullptr);
  EXPECT_EQ(tail->kind, 1);
  EXPECT_EQ(tail->asKey()->character, 98);
}

TEST(InputRecords, DamagedTextIsLoggedAndGivesNoRecord) {
  for (const char* bad : {"0,x,97,", "2,1,10,", "0,,97,", "a,", "2,1,10,20,0,9999999999,", "0,0x10,0,", "1,+-3,0,"}) {
    LogCapture log;
    EXPECT_EQ(FromText(bad), nullptr) << bad;
    ASSERT_EQ(log.lines().size(), 1u) << bad;
    EXPECT_NE(log.messages()[0].find("(e) '"), std::string::npos) << log.messages()[0];
    EXPECT_NE(log.messages()[0].find(bad), std::string::npos) << log.messages()[0];
  }
}

// ---- shift bytes, key fields, wheel steps ----------------------------------------

TEST(InputRules, KeyShiftTakesShiftAndControlFromTheStateAndAltFromTheKeyData) {
  BYTE state[256] = {};
  EXPECT_EQ(KeyShiftState(KeyData(4), state), 0);
  state[VK_SHIFT] = 0x80;
  EXPECT_EQ(KeyShiftState(KeyData(4), state), 1);
  state[VK_CONTROL] = 0x81;
  EXPECT_EQ(KeyShiftState(KeyData(4), state), 5);
  EXPECT_EQ(KeyShiftState(KeyData(4, true), state), 7);
  // Alt down in the state alone does not count for keys: the key data says.
  BYTE altOnly[256] = {};
  altOnly[VK_MENU] = 0x80;
  EXPECT_EQ(KeyShiftState(KeyData(4), altOnly), 0);
  // A toggled (not held) shift key is not held.
  BYTE toggled[256] = {};
  toggled[VK_SHIFT] = 0x01;
  EXPECT_EQ(KeyShiftState(KeyData(4), toggled), 0);
}

TEST(InputRules, WheelShiftNeverCarriesAlt) {
  BYTE state[256] = {};
  state[VK_MENU] = 0x80;
  EXPECT_EQ(WheelShiftState(state), 0);
  state[VK_SHIFT] = 0x80;
  state[VK_CONTROL] = 0x80;
  EXPECT_EQ(WheelShiftState(state), 5);
}

TEST(InputRules, MouseShiftMapsTheMessageFlagsAndAddsAltFromTheState) {
  BYTE state[256] = {};
  EXPECT_EQ(MouseShiftState(MK_LBUTTON, state), 8);
  EXPECT_EQ(MouseShiftState(MK_RBUTTON, state), 16);
  EXPECT_EQ(MouseShiftState(MK_MBUTTON, state), 32);
  EXPECT_EQ(MouseShiftState(MK_SHIFT, state), 1);
  EXPECT_EQ(MouseShiftState(MK_CONTROL, state), 4);
  EXPECT_EQ(MouseShiftState(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_SHIFT | MK_CONTROL, state), 61);
  state[VK_MENU] = 0x80;
  EXPECT_EQ(MouseShiftState(0, state), 2);
}

TEST(InputRules, OneCodeUnitGivesTheCharacterElseTheVirtualKey) {
  char16_t a[] = {u'a'};
  TKeyFields fields = KeyFieldsOf('A', a, 1);
  EXPECT_EQ(fields.key, 0);
  EXPECT_EQ(fields.character, 97);
  for (char16_t control : {u'\b', u'\t', u'\r', u'\x1b'}) {
    fields = KeyFieldsOf(0x99, &control, 1);
    EXPECT_EQ(fields.key, control);
    EXPECT_EQ(fields.character, 0);
  }
  fields = KeyFieldsOf(VK_LEFT, nullptr, 0);
  EXPECT_EQ(fields.key, 37);
  EXPECT_EQ(fields.character, 0);
  char16_t two[] = {u'a', u'b'};
  fields = KeyFieldsOf(0xBA, two, 2);
  EXPECT_EQ(fields.key, 0xBA);
  EXPECT_EQ(fields.character, 0);
  char16_t ctrlA[] = {1};
  fields = KeyFieldsOf('A', ctrlA, 1);
  EXPECT_EQ(fields.key, 0);
  EXPECT_EQ(fields.character, 1);
}

TEST(InputRules, WheelStepsAreNotchesCutTowardZero) {
  auto wheel = [](int delta) { return WheelSteps(MAKEWPARAM(0, delta)); };
  EXPECT_EQ(wheel(120), 1);
  EXPECT_EQ(wheel(-120), -1);
  EXPECT_EQ(wheel(60), 0);
  EXPECT_EQ(wheel(-60), 0);
  EXPECT_EQ(wheel(240), 2);
  EXPECT_EQ(wheel(-359), -2);
  // Button flags in the low word change nothing.
  EXPECT_EQ(WheelSteps(MAKEWPARAM(MK_LBUTTON | MK_SHIFT, 120)), 1);
}

// ---- translation of hand-made messages ---------------------------------------------

using InputTranslation = KeyboardReset;

TEST_F(InputTranslation, KeysPostTheirCharacterOrTheirVirtualKey) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = -1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, 'A', KeyData(4), result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYUP, 'A', KeyData(4, false, true), result));
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, VK_ESCAPE, KeyData(41), result));
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, VK_LEFT, KeyData(80), result));
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, VK_RETURN, KeyData(40), result));
  EXPECT_EQ(owner.texts(), (std::vector<std::string>{"0,0,97,", "1,0,97,", "0,27,0,", "0,37,0,", "0,13,0,"}));
  EXPECT_EQ(owner.records[0]->asKey()->window, window.get());
  EXPECT_EQ(owner.records[0]->asKey()->shift, 0);
}

TEST_F(InputTranslation, ShiftAndControlChangeCharacterAndShiftByte) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = 0;
  win32_test::PressKey(VK_LSHIFT, true);
  TranslateInputMessage(*window, WM_KEYDOWN, 'A', KeyData(4), result);
  TranslateInputMessage(*window, WM_KEYDOWN, '1', KeyData(30), result);
  win32_test::PressKey(VK_LSHIFT, false);
  win32_test::PressKey(VK_LCONTROL, true);
  TranslateInputMessage(*window, WM_KEYDOWN, 'A', KeyData(4), result);
  TranslateInputMessage(*window, WM_KEYDOWN, 'Z', KeyData(29), result);
  win32_test::PressKey(VK_LCONTROL, false);
  ASSERT_EQ(owner.texts(), (std::vector<std::string>{"0,0,65,", "0,0,33,", "0,0,1,", "0,0,26,"}));
  EXPECT_EQ(owner.records[0]->asKey()->shift, 1);
  EXPECT_EQ(owner.records[2]->asKey()->shift, 4);
}

TEST_F(InputTranslation, SystemKeysAreLeftToTheSystemAndPostNothing) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = 0;
  // Alt itself, alt+F4 and F10, down and up: the system's keys, not the game's.
  win32_test::PressKey(VK_LMENU, true);
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SYSKEYDOWN, VK_MENU, KeyData(226, true), result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SYSKEYDOWN, VK_F1 + 3, KeyData(61, true), result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SYSKEYUP, VK_F1 + 3, KeyData(61, true), result));
  win32_test::PressKey(VK_LMENU, false);
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SYSKEYUP, VK_MENU, KeyData(226, false), result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SYSKEYDOWN, VK_F1 + 9, KeyData(67, false), result));
  EXPECT_TRUE(owner.records.empty());
  // An ordinary key with alt held is the game's.
  win32_test::PressKey(VK_LMENU, true);
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, VK_LEFT, KeyData(80, true), result));
  win32_test::PressKey(VK_LMENU, false);
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(owner.records[0]->asKey()->shift, 2);
}

TEST_F(InputTranslation, KeysWithoutAnAppletPostNothingButAreHandled) {
  WindowRecord window(New<TWindow>());
  LRESULT result = -1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_KEYDOWN, 'A', KeyData(4), result));
  EXPECT_EQ(result, 0);
}

TEST_F(InputTranslation, WheelPostsNotchesWithShiftAndControl) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = -1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, result));
  EXPECT_EQ(result, 0);
  win32_test::PressKey(VK_RCONTROL, true);
  win32_test::PressKey(VK_RMENU, true);
  TranslateInputMessage(*window, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 0, result);
  TranslateInputMessage(*window, WM_MOUSEWHEEL, MAKEWPARAM(0, 60), 0, result);
  ASSERT_EQ(owner.records.size(), 3u);
  EXPECT_EQ(owner.texts()[0], "5,");
  EXPECT_EQ(owner.records[0]->asWheel()->steps, 1);
  EXPECT_EQ(owner.records[0]->asWheel()->shift, 0);
  EXPECT_EQ(owner.records[1]->asWheel()->steps, -2);
  EXPECT_EQ(owner.records[1]->asWheel()->shift, 4);
  EXPECT_EQ(owner.records[2]->asWheel()->steps, 0);
}

TEST_F(InputTranslation, CloseRequestLogsAndPostsDeactivatedThenClose) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LogCapture log;
  LRESULT result = -1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_CLOSE, 0, 0, result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(log.contains("(i) WM_CLOSE"));
  ASSERT_EQ(owner.records.size(), 2u);
  EXPECT_EQ(owner.records[0]->kind, 7);
  EXPECT_EQ(owner.records[0]->asAction()->code, 2);
  EXPECT_EQ(owner.records[1]->asAction()->code, 0);
  EXPECT_EQ(owner.records[1]->asAction()->window, window.get());
}

TEST_F(InputTranslation, WindowActionsWaitForTheEventQueue) {
  InputTestOwner owner;
  owner.hasQueue = false;
  WindowRecord window = MakeWindowRecord(owner);
  PostWindowAction(*window, kActionActivated);
  LRESULT result = 0;
  TranslateInputMessage(*window, WM_CLOSE, 0, 0, result);
  // Records made without a queue are freed (the sanitizer would see a leak).
  TranslateInputMessage(*window, WM_KEYDOWN, VK_LEFT, KeyData(80), result);
  EXPECT_TRUE(owner.records.empty());
  owner.hasQueue = true;
  PostWindowAction(*window, kActionActivated);
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(owner.records[0]->asAction()->code, 1);
}

TEST_F(InputTranslation, MenuAndMoveLoopsPauseTheAppletAndGoOnToTheSystem) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = 0;
  EXPECT_FALSE(TranslateInputMessage(*window, WM_ENTERMENULOOP, 0, 0, result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_EXITMENULOOP, 0, 0, result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_ENTERSIZEMOVE, 0, 0, result));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_EXITSIZEMOVE, 0, 0, result));
  EXPECT_EQ(owner.pauses, (std::vector<bool>{true, false, true, false}));
  EXPECT_FALSE(TranslateInputMessage(*window, WM_PAINT, 0, 0, result));
  EXPECT_TRUE(owner.records.empty());
}

TEST_F(InputTranslation, CursorIsTheAppletsSpriteOverTheClientArea) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = 0;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(owner.spriteShown, 1);
  // Over the frame the system's cursor shows and the sprite hides.
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), result));
  EXPECT_EQ(owner.spriteHidden, 1);
  // Full screen: always the sprite.
  owner.fullScreen = true;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), result));
  EXPECT_EQ(owner.spriteShown, 2);
  // The applet asks for the system's cursor: nothing, unless in relative mode.
  owner.cursorSystem = true;
  EXPECT_FALSE(TranslateInputMessage(*window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
  EXPECT_EQ(owner.spriteShown, 2);
  window->acquireCount = 1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), result));
  EXPECT_EQ(owner.spriteShown, 3);
}

TEST_F(InputTranslation, FullScreenHitTestIsAlwaysTheClientArea) {
  InputTestOwner owner;
  owner.fullScreen = true;
  WindowRecord window = MakeWindowRecord(owner);
  LRESULT result = 0;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_NCHITTEST, 0, MAKELPARAM(5000, 5000), result));
  EXPECT_EQ(result, HTCLIENT);
}

TEST_F(InputTranslation, MovesDuringTheWarpGuardAreDropped) {
  InputTestOwner owner;
  WindowRecord window = MakeWindowRecord(owner);
  window->warpGuard = window.get();
  LRESULT result = -1;
  EXPECT_TRUE(TranslateInputMessage(*window, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4), result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(owner.records.empty());
}

// ---- the seams the platform calls through ---------------------------------------------

TEST(InputSeams, InstallingPutsTheTranslationAndTheCrashHookIntoThePlatform) {
  TWindowInput saved = WindowInput();
  TCrashHookSeam savedHook = CrashHookSeam();
  InstallInputTranslation();
  EXPECT_EQ(WindowInput().Translate, &TranslateInputMessage);
  EXPECT_EQ(WindowInput().PostWindowAction, &PostWindowAction);
  InstallCrashHookSeam();
  EXPECT_EQ(CrashHookSeam().Install, &InstallExceptionHandler);
  EXPECT_EQ(CrashHookSeam().Remove, &RemoveExceptionHandler);
  WindowInput() = saved;
  CrashHookSeam() = savedHook;
}
