#pragma once
// The list: entries in rows of whole item height, in one or more columns,
// scrolled by the wheel, with the selected entry marked. A drop-down's list
// picks the entry under the pointer and closes its drop-down on release.
#include <algorithm>
#include <cstdint>

#include "gui/gui_object.h"
#include "gui/widgets/widget_callback.h"

class TRectPersistent;
class TStdDropdown;
class TWideStringList;

class TStdList : public GuiObject {
  Q_OBJECT(TStdList, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;
  void Loaded() override;

  void mouseDown(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseMove(uint8_t shift, float dx, float dy, float x, float y) override;
  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;
  void mouseWheel(uint8_t shift, int32_t delta) override;
  void focusLost() override;
  void drawSelf() override;

  // An entry: its background, then the painter set by the owner or by a
  // script (onPaintItem) in place of the text, else the text.
  virtual void paintItem(int32_t index, const TRectF& rect);
  virtual void setItemIndex(int32_t index);
  // A stored file gives the index before the entries: while it is read, an
  // index beyond the entries read so far is kept and taken when they are in.
  void keepItemIndexUntilLoaded(int32_t index);
  void takeKeptItemIndex();
  // The entry's rectangle in the client frame; empty for an entry in no
  // column shown.
  virtual TRectF itemRect(int32_t index);

  float columnWidth();
  int32_t itemCount() const;

  // ---- properties -------------------------------------------------------------------
  TWideStringList* items() const { return items_; }
  void setItems(TWideStringList* value);
  int32_t itemHeight() const { return itemHeight_; }
  void setItemHeight(int32_t value) { itemHeight_ = value; }
  int32_t itemIndex() const { return itemIndex_; }
  int32_t columnCount() const { return columnCount_; }
  void setColumnCount(int32_t value) { columnCount_ = value; }
  TRectPersistent* contentsMargin() const { return contentsMargin_; }
  void setContentsMargin(TRectPersistent* value);
  int32_t rowCount() const { return rowCount_; }
  // Snaps the height to whole rows, unless the list is being read.
  void setRowCount(int32_t value);
  int32_t wheelDelta() const { return wheelDelta_; }
  void setWheelDelta(int32_t value) { wheelDelta_ = value; }
  int32_t topIndex() const { return topIndex_; }
  // Entries may change under the list (a script sets `items.commaText`): the
  // first row shown is pulled back so that the last page stays full, before
  // the list draws or scrolls.
  void clampTopIndex();
  TStdDropdown* dropdown() const { return dropdown_; }
  void setDropdown(TStdDropdown* value);

  // Called when a drop-down's list is let go of, with the list.
  WidgetCallback<TStdList*> onChange;
  // Draws an entry's text in place of the list's own drawing.
  WidgetCallback<TStdList*, int32_t, const TRectF&> onPaintItem;

 protected:
  // Under the rows: grey with a scroll bar here; a skinned list draws its
  // skin element instead.
  virtual void drawBackground();
  // One entry shown; a skinned list covers the disabled ones.
  virtual void drawRow(int32_t index, const TRectF& rect) { paintItem(index, rect); }
  // Under an entry's text: the selection mark here.
  virtual void paintItemBackground(int32_t index, const TRectF& rect);
  // The entry's text in black, left-aligned here.
  virtual void paintItemText(int32_t index, const TRectF& rect);

 private:
  // Rows of whole item height in the list's height.
  void fitRowCount();
  // Columns and rows as the arithmetic uses them: never below 1.
  int32_t columns() const;
  int32_t rows() const;
  // Entries shown at once.
  int32_t shownCount() const { return std::max(rowCount_, 0) * std::max(columnCount_, 0); }
  bool scrolls() const;
  void selectAt(float x, float y);
  void releaseFromDropdown(float x, float y);

  TWideStringList* items_ = nullptr;
  int32_t itemHeight_ = 14;
  int32_t itemIndex_ = -1;
  int32_t keptItemIndex_ = -1;
  TStdDropdown* dropdown_ = nullptr;
  int32_t columnCount_ = 1;
  TRectPersistent* contentsMargin_ = nullptr;
  int32_t rowCount_ = 8;
  int32_t wheelDelta_ = 1;
  WideString onChangeItem_;
  int32_t topIndex_ = 0;
  MethodRef onChangeMethod_;
  MethodRef onPaintItemMethod_;
};
