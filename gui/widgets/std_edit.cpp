#include "gui/widgets/std_edit.h"

#include <algorithm>

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/caret.h"
#include "platform/device.h"
#include "platform/device_window.h"
#include "platform/input_records.h"
#include "platform/platform.h"

namespace {
constexpr int32_t kMaxVisibleCount = 1000;
constexpr float kCaretHeight = 10;

// Control characters that Ctrl with a letter types.
constexpr uint16_t kCtrlC = 3;
constexpr uint16_t kCtrlV = 22;
constexpr uint16_t kCtrlX = 24;

int32_t Length(const WideString& text) { return static_cast<int32_t>(text.size()); }
}  // namespace

const ClassInfo& TStdEdit::staticClassInfo() {
  using E = TStdEdit;
  static const ClassInfo info = ClassBuilder<E>("TStdEdit")
                                    .property("contentsMargin", &E::contentsMargin, &E::setContentsMargin)
                                    .property("multiLine", &E::multiLine_).defaultValue(0)
                                    .property("font", &E::font, &E::setFont)
                                    .property("text", &GuiObject::text, &GuiObject::setText)
                                    .property("upperCase", &E::upperCase_).defaultValue(0)
                                    .method("paste", &E::paste)
                                    .build();
  return info;
}

void TStdEdit::Create(TObject* owner) {
  contentsMargin_ = New<TRectPersistent>(this);
  contentsMargin_->setDefaultRect(MakeRectF(2, 2, 2, 2));
  contentsMargin_->setRect(MakeRectF(2, 2, 2, 2));
  lines_ = New<TWideStringList>(this);
  inherited::Create(owner);
  setHotTrack(true);
}

void TStdEdit::Destroy() {
  // A focused edit freed with its tree never hears of losing the focus: the
  // caret it made would stay on the window.
  dropCaret();
  inherited::Destroy();
  FreeAndNil(contentsMargin_);
  FreeAndNil(lines_);
}

void TStdEdit::setContentsMargin(TRectPersistent* value) {
  if (value && value != contentsMargin_) contentsMargin_->Assign(*value);
}

// ---- text -------------------------------------------------------------------------------

void TStdEdit::setText(const WideString& value) {
  inherited::setText(value);
  afterTextChange();
}

void TStdEdit::storeTypedText(const WideString& value) {
  if (value != text()) {
    storeUntranslatedText(value);
    update();
  }
  afterTextChange();
}

void TStdEdit::afterTextChange() {
  lines_->setText(text());
  const int32_t length = Length(text());
  if (caretIndex_ > length) caretIndex_ = length;
  if (firstVisible_ > caretIndex_) firstVisible_ = caretIndex_;
  updateVisibleCount();
  // The drawn caret follows the characters it stands after.
  placeCaret();
}

void TStdEdit::updateVisibleCount() {
  visibleCount_ = std::min(std::max(Length(text()) - firstVisible_, 0), kMaxVisibleCount);
}

// ---- measuring ----------------------------------------------------------------------------

TRectF TStdEdit::contentsRect() const {
  const TRectF m = contentsMargin_->getRect();
  return MakeRectF(m.left, m.top, width() - m.right, height() - m.bottom);
}

float TStdEdit::textWidth(int32_t from, int32_t to) {
  const WideString& all = text();
  from = std::clamp(from, 0, Length(all));
  to = std::clamp(to, 0, Length(all));
  if (to <= from) return 0;
  TDevice* device = WidgetDevice(this);
  TFont* deviceFont = device && font() ? font()->getFont() : nullptr;
  if (!deviceFont) return 0;
  TRectF measured = MakeRectF(0, 0, 2000, RectHeight(contentsRect()));
  int32_t fitCount = 0;
  device->MeasureText(deviceFont, all.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)), 65535,
                      fitCount, 0, measured);
  return measured.right;
}

int32_t TStdEdit::shownCount(int32_t from, int32_t to) {
  const WideString& all = text();
  from = std::clamp(from, 0, Length(all));
  to = std::clamp(to, 0, Length(all));
  TDevice* device = WidgetDevice(this);
  TFont* deviceFont = device && font() ? font()->getFont() : nullptr;
  if (!deviceFont || to <= from) return std::max(to - from, 0);
  TRectF measured = contentsRect();
  int32_t fitCount = 0;
  device->MeasureText(deviceFont, all.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)),
                      RectWidth(measured), fitCount, kTextMiddle, measured);
  return fitCount;
}

float TStdEdit::lineHeight() {
  TDevice* device = WidgetDevice(this);
  TFont* deviceFont = device && font() ? font()->getFont() : nullptr;
  if (!deviceFont) return 0;
  TRectF measured = MakeRectF(0, 0, 2000, 2000);
  int32_t fitCount = 0;
  device->MeasureText(deviceFont, u"Ag", 65535, fitCount, 0, measured);
  return RectHeight(measured);
}

int32_t TStdEdit::charIndexAt(float x) {
  // A press right on the boundary between two characters finds the second.
  const int32_t length = Length(text());
  for (int32_t i = firstVisible_; i <= length; ++i) {
    if (textWidth(firstVisible_, i) <= x && (i == length || x < textWidth(firstVisible_, i + 1))) return i;
  }
  return -1;
}

// ---- caret ----------------------------------------------------------------------------------

void TStdEdit::setCaret(int32_t index) {
  if (index == caretIndex_) return;
  caretIndex_ = index;
  if (index < firstVisible_) firstVisible_ = index;
  // Scrolls until the drawing shows every character up to the caret (by the
  // drawing's own measure, so that the one just typed is drawn); in an edit
  // narrower than its margins that ends with the caret at the first place
  // shown. The lines of a multiLine edit are all drawn from the start.
  while (!multiLine_ && firstVisible_ < caretIndex_ &&
         shownCount(firstVisible_, caretIndex_) < caretIndex_ - firstVisible_) {
    ++firstVisible_;
  }
  updateVisibleCount();
  placeCaret();
  update();
}

TDevice* TStdEdit::caretDevice() {
  TDevice* device = WidgetDevice(this);
  return device && caret_ && device->windowParts().caret == caret_ ? device : nullptr;
}

bool TStdEdit::hasCaret() { return caretDevice() != nullptr; }

void TStdEdit::placeCaret() {
  TDevice* device = caretDevice();
  if (!device) return;
  const TPointF at = caretPoint();
  device->PlaceCaret(caret_, getWorldMatrix(), static_cast<int32_t>(at.x), static_cast<int32_t>(at.y));
}

TPointF TStdEdit::caretPoint() {
  const TRectF contents = contentsRect();
  if (!multiLine_) {
    return MakePointF(contents.left + textWidth(firstVisible_, caretIndex_),
                      contents.top + (RectHeight(contents) - kCaretHeight) / 2);
  }
  // CR LF is one break, as the text layout counts it.
  const WideString& all = text();
  int32_t line = 0, lineStart = 0;
  for (int32_t i = 0; i < caretIndex_ && i < Length(all); ++i) {
    if (all[static_cast<size_t>(i)] != u'\r' && all[static_cast<size_t>(i)] != u'\n') continue;
    if (all[static_cast<size_t>(i)] == u'\r' && i + 1 < Length(all) && all[static_cast<size_t>(i) + 1] == u'\n') ++i;
    ++line;
    lineStart = i + 1;
  }
  const float rowHeight = lineHeight();
  return MakePointF(contents.left + textWidth(lineStart, caretIndex_),
                    contents.top + static_cast<float>(line) * rowHeight + (rowHeight - kCaretHeight) / 2);
}

void TStdEdit::dropCaret() {
  // The window has one caret: another widget may have made its own since.
  if (TDevice* device = caretDevice()) {
    device->HideCaret();
    device->DestroyCaret();
  }
  caret_ = nullptr;
}

void TStdEdit::invalidateTransform() {
  inherited::invalidateTransform();
  placeCaret();
}

// ---- selection ------------------------------------------------------------------------------

void TStdEdit::setSelection(int32_t start, int32_t end) {
  if (start == selStart_ && end == selEnd_) return;
  selStart_ = start;
  selEnd_ = end;
  update();
}

int32_t TStdEdit::cutSelection(WideString& text) {
  if (!hasSelection()) return caretIndex_;
  const int32_t length = Length(text);
  const int32_t from = std::clamp(std::min(selStart_, selEnd_), 0, length);
  const int32_t to = std::clamp(std::max(selStart_, selEnd_), 0, length);
  text.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
  return from;
}

// ---- focus ----------------------------------------------------------------------------------

void TStdEdit::focusGained() {
  inherited::focusGained();
  if (TDevice* device = WidgetDevice(this)) {
    caret_ = device->CreateCaret(3, static_cast<int32_t>(kCaretHeight), 0xFF00FF00u);
    device->ShowCaret();
    placeCaret();
  }
  if (!text().empty()) setSelection(0, Length(text()));
}

void TStdEdit::focusLost() {
  clearSelection();
  dropCaret();
  inherited::focusLost();
}

// ---- keys -----------------------------------------------------------------------------------

bool TStdEdit::moveCaretByKey(uint16_t key) {
  const int32_t length = Length(text());
  switch (key) {
    case kKeyLeft:
      if (caretIndex_ > 0) setCaret(caretIndex_ - 1);
      return true;
    case kKeyRight:
      if (caretIndex_ < length) setCaret(caretIndex_ + 1);
      return true;
    case kKeyHome:
      setCaret(0);
      return true;
    case kKeyEnd:
      setCaret(length);
      return true;
    default:
      return false;
  }
}

void TStdEdit::extendSelection(int32_t oldCaret, uint8_t shift) {
  if (!(shift & kShiftShift)) {
    clearSelection();
    return;
  }
  setSelection(selStart_ < 0 ? oldCaret : selStart_, caretIndex_);
}

void TStdEdit::deleteForward() {
  WideString edited = text();
  if (hasSelection()) {
    const int32_t start = cutSelection(edited);
    storeTypedText(edited);
    setCaret(start);
  } else if (caretIndex_ < Length(edited)) {
    edited.erase(static_cast<size_t>(caretIndex_), 1);
    storeTypedText(edited);
  }
  clearSelection();
  update();
}

void TStdEdit::deleteBackward() {
  // A selection goes as a whole, as with Delete; a stale selection would
  // otherwise reach past the shortened text.
  if (hasSelection() && selStart_ != selEnd_) {
    deleteForward();
    return;
  }
  clearSelection();
  if (caretIndex_ <= 0) return;
  WideString edited = text();
  setCaret(caretIndex_ - 1);
  edited.erase(static_cast<size_t>(caretIndex_), 1);
  storeTypedText(edited);
}

void TStdEdit::typeText(const WideString& typed) {
  WideString edited = text();
  const int32_t at = cutSelection(edited);
  caretIndex_ = std::min(caretIndex_, Length(edited));
  edited.insert(static_cast<size_t>(at), typed);
  if (upperCase_) edited = UpperCaseW(edited);
  storeTypedText(edited);
  caretIndex_ = at;
  setCaret(at + Length(typed));
  if (typed.empty()) placeCaret();  // a cut leaves the caret index as it was set
  clearSelection();
}

void TStdEdit::keyDown(uint16_t& key, uint16_t& character, uint8_t shift) {
  BusyScope busy(this);
  inherited::keyDown(key, character, shift);
  const int32_t oldCaret = caretIndex_;
  if (moveCaretByKey(key)) {
    extendSelection(oldCaret, shift);
    key = 0;
  }
  if (key == kKeyDelete) {
    deleteForward();
    key = 0;
  }
  if (key == kKeyBackspace) {
    deleteBackward();
    key = 0;
  }
  if (key == kKeyEnter) {
    key = 0;
    if (multiLine_) {
      typeText(u"\r\n");
    } else {
      enterCallback(this);
      if (freePending()) return;
      clearSelection();
    }
  }
  if (character == kCtrlV || character == kCtrlC || character == kCtrlX) {
    if (character != kCtrlV) copy();
    if (character == kCtrlX) typeText(WideString());
    if (character == kCtrlV) paste();
    character = 0;
  }
  // Other control characters type nothing visible.
  if (character >= 32) {
    typeText(WideString(1, static_cast<char16_t>(character)));
    character = 0;
  }
}

// ---- clipboard ------------------------------------------------------------------------------

void TStdEdit::paste() {
  Applet* applet = ownerApplet();
  TPlatform* platform = applet ? applet->platform() : nullptr;
  if (!platform) return;
  WideString pasted = platform->GetClipboardText();
  // A one-line edit takes the first line.
  if (!multiLine_) pasted = pasted.substr(0, pasted.find_first_of(u"\r\n"));
  if (!pasted.empty() || hasSelection()) typeText(pasted);
}

void TStdEdit::copy() {
  if (!hasSelection() || selStart_ == selEnd_) return;
  Applet* applet = ownerApplet();
  TPlatform* platform = applet ? applet->platform() : nullptr;
  if (!platform) return;
  const WideString& all = text();
  const int32_t from = std::clamp(std::min(selStart_, selEnd_), 0, Length(all));
  const int32_t to = std::clamp(std::max(selStart_, selEnd_), 0, Length(all));
  platform->SetClipboardText(all.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

// ---- mouse ----------------------------------------------------------------------------------

void TStdEdit::mouseDown(uint8_t button, uint8_t shift, float x, float y) {
  inherited::mouseDown(button, shift, x, y);
  if (button != kButtonLeft) return;
  const int32_t i = charIndexAt(x);
  if (i < 0) return;
  capture();
  selecting_ = true;
  setSelection(i, i);
  setCaret(i);
  update();
}

void TStdEdit::mouseMove(uint8_t shift, float dx, float dy, float x, float y) {
  inherited::mouseMove(shift, dx, dy, x, y);
  if (!selecting_ || !(shift & kShiftLeftButton)) return;
  const int32_t i = charIndexAt(x);
  if (i < 0) return;
  setSelection(selStart_, i);
  setCaret(i);
  update();
}

void TStdEdit::mouseUp(uint8_t button, uint8_t shift, float x, float y) {
  BusyScope busy(this);
  inherited::mouseUp(button, shift, x, y);
  if (button != kButtonLeft || freePending()) return;
  releaseCapture();
  selecting_ = false;
}

// ---- drawing --------------------------------------------------------------------------------

void TStdEdit::drawText() {
  TDevice* device = WidgetDevice(this);
  TFontPersistent* textFont = font();
  TFont* deviceFont = textFont ? textFont->getFont() : nullptr;
  const WideString& all = text();
  if (!device || !deviceFont || firstVisible_ >= Length(all)) return;
  const TColorARGB color = ColorScaleAlpha(textFont->color(), alpha());
  TRectF area = contentsRect();
  if (multiLine_) {
    device->DrawText(deviceFont, all, color, 0, area);
    return;
  }
  device->DrawTextFit(deviceFont, all.substr(static_cast<size_t>(firstVisible_), static_cast<size_t>(visibleCount_)),
                      color, kTextMiddle, area);
}

void TStdEdit::drawBackground() {
  TDevice* device = WidgetDevice(this);
  if (!device) return;
  const TRectF client = getClientRect();
  FillArea(device, client, ColorScaleAlpha(0xFFD3D3D3u, alpha()));
  OutlineArea(device, client, ColorScaleAlpha(0xFF000000u, alpha()));
}

void TStdEdit::drawSelectionBar() {
  TDevice* device = WidgetDevice(this);
  if (!device || !hasSelection()) return;
  const TRectF contents = contentsRect();
  const float left = contents.left + textWidth(firstVisible_, std::max(std::min(selStart_, selEnd_), firstVisible_));
  const float right = std::min(contents.left + textWidth(firstVisible_, std::max(selStart_, selEnd_)), contents.right);
  FillArea(device, MakeRectF(left, contents.top, right, contents.bottom), 0x660000FFu);
}

void TStdEdit::drawSelf() {
  drawBackground();
  drawText();
  drawSelectionBar();
}
