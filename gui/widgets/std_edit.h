#pragma once
// The text edit: one line (or, with multiLine, lines added by Enter) with a
// caret, a selection made with Shift and the arrow keys or by dragging, and
// horizontal scrolling that keeps the caret in view. Typed text is the
// user's own: it is stored as typed, never through the language table.
#include <cstdint>

#include "gui/gui_object.h"
#include "gui/widgets/widget_callback.h"

class TCaret;
class TDevice;
class TRectPersistent;
class TWideStringList;

// Virtual keys the edit handles.
constexpr uint16_t kKeyBackspace = 8;
constexpr uint16_t kKeyEnter = 13;
constexpr uint16_t kKeyEnd = 35;
constexpr uint16_t kKeyHome = 36;
constexpr uint16_t kKeyLeft = 37;
constexpr uint16_t kKeyRight = 39;
constexpr uint16_t kKeyDelete = 46;

class TStdEdit : public GuiObject {
  Q_OBJECT(TStdEdit, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  void setText(const WideString& value) override;
  void keyDown(uint16_t& key, uint16_t& character, uint8_t shift) override;
  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void focusGained() override;
  void focusLost() override;
  void invalidateTransform() override;
  void drawSelf() override;

  // Inserts the clipboard's text at the caret, over the selection.
  void paste();
  // Puts the selected text on the clipboard.
  void copy();

  // ---- caret and selection ----------------------------------------------------
  void setCaret(int32_t index);
  int32_t caretIndex() const { return caretIndex_; }
  int32_t firstVisible() const { return firstVisible_; }
  int32_t selStart() const { return selStart_; }
  int32_t selEnd() const { return selEnd_; }
  void setSelection(int32_t start, int32_t end);
  bool hasSelection() const { return selStart_ >= 0 && selEnd_ >= 0; }
  void clearSelection() { setSelection(-1, -1); }
  // The index of the character under x of the client frame, -1 left of the
  // first one shown.
  int32_t charIndexAt(float x);
  // The width of the characters from index `from` up to `to` (exclusive).
  float textWidth(int32_t from, int32_t to);
  // How many of the characters from `from` up to `to` the drawing shows in
  // the contents rect: the measure it cuts a long line by.
  int32_t shownCount(int32_t from, int32_t to);
  // The text in the font colour over the contents rect: one line cut to what
  // fits from the first character shown, or every line of a multiLine edit.
  void drawText();
  TRectF contentsRect() const;
  // Whether the edit holds the window's caret now.
  bool hasCaret();

  // ---- properties ---------------------------------------------------------------
  TRectPersistent* contentsMargin() const { return contentsMargin_; }
  void setContentsMargin(TRectPersistent* value);
  bool multiLine() const { return multiLine_; }
  void setMultiLine(bool value) { multiLine_ = value; }
  bool upperCase() const { return upperCase_; }
  void setUpperCase(bool value) { upperCase_ = value; }
  TWideStringList* lines() const { return lines_; }
  int32_t visibleCount() const { return visibleCount_; }

  // Called on Enter in a one-line edit, with the edit.
  WidgetCallback<TStdEdit*> enterCallback;

 protected:
  // Under the text: a grey field with a black outline here; a skinned edit
  // draws its skin element instead.
  virtual void drawBackground();

 private:
  // The selected characters under a translucent blue bar.
  void drawSelectionBar();
  bool moveCaretByKey(uint16_t key);
  void extendSelection(int32_t oldCaret, uint8_t shift);
  void deleteForward();
  void deleteBackward();
  void typeText(const WideString& typed);
  // Removes the selection from the text; answers its start, or the caret
  // when there is none.
  int32_t cutSelection(WideString& text);
  // Stores what the user typed: no translation, lines and caret follow.
  void storeTypedText(const WideString& value);
  void afterTextChange();
  void updateVisibleCount();
  void placeCaret();
  // Where the caret stands in the client frame: after the characters before
  // it on its own line.
  TPointF caretPoint();
  // The height of one line of text in the font, 0 without one.
  float lineHeight();
  void dropCaret();
  TDevice* caretDevice();

  int32_t caretIndex_ = 0;
  int32_t firstVisible_ = 0;
  int32_t visibleCount_ = 100;
  int32_t selStart_ = -1;
  int32_t selEnd_ = -1;
  TCaret* caret_ = nullptr;
  bool selecting_ = false;
  TRectPersistent* contentsMargin_ = nullptr;
  TWideStringList* lines_ = nullptr;
  bool multiLine_ = false;
  bool upperCase_ = false;
};
