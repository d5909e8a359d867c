#pragma once
// The drop-down: a button that opens a list of entries below itself; letting
// go over an entry takes its text and closes the list. The list is made by
// the drop-down for itself and is never stored with the tree.
#include <cstdint>

#include "gui/widgets/std_button.h"

class TRectPersistent;
class TStdList;
class TWideStringList;

class TStdDropdown : public TStdButton {
  Q_OBJECT(TStdDropdown, TStdButton)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;
  void Loaded() override;

  void mouseUp(uint8_t button, uint8_t shift, float x, float y) override;

  virtual void paintItem(int32_t index, const TRectF& rect);
  virtual TStdList* createList();

  // Shows the list below the drop-down; an empty drop-down stays closed.
  void drop();
  // Hides the list and gives the mouse back.
  void close();
  // Runs onChange (the list calls it when it closes on a release).
  void runChange();

  TStdList* list() const { return list_; }
  bool dropped() const { return dropped_; }
  float listWidth() const { return listWidth_; }
  void setListWidth(float value) { listWidth_ = value; }

  // ---- properties forwarded to the list ----------------------------------------------
  float itemHeight() const;
  void setItemHeight(float value);
  int32_t itemIndex() const;
  void setItemIndex(int32_t value);
  TWideStringList* items() const;
  void setItems(TWideStringList* value);
  TRectPersistent* contentsMargin() const;
  void setContentsMargin(TRectPersistent* value);
  int32_t rowCount() const;
  void setRowCount(int32_t value);

 private:
  TStdList* ownList() const;

  TStdList* list_ = nullptr;
  bool listMade_ = false;
  bool dropped_ = false;
  float listWidth_ = 0;
  // The rows asked for: the open list snaps its own row count to the rows it
  // was given, so each drop starts again from this.
  int32_t rowCount_ = 8;
  WideString onChange_;
};
