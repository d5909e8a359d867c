#pragma once
// `Inspector`: the property editor of the live tree. A list of name=value
// rows made from the published descriptions of its root and of the
// sub-objects the root owns (see inspector_rows.h); the selected row gets an
// in-place editor over its value half: a drop-down for an enumeration (the
// booleans too), a text edit for anything else but objects, both drawn from
// the skin like the list, so that their text reads as the rows'. Enter in the
// edit, or a choice in the drop-down, writes the value back through the
// description's text conversion; a value that does not convert is refused
// with a log line, and the old value stays. A value that breaks its line
// shows on one line, each break as a mark, in its row and in the edit; the
// marks left in the edit become breaks again.
//
// The editor belongs to the inspector: it goes when another row is selected,
// when the rows scroll, when the root changes and with the inspector, never
// while its own handler runs (rows made anew keep it, showing the value as
// it now stands).
#include <vector>

#include "gui/design/inspector_rows.h"
#include "gui/skinned/list.h"

class TStdDropdown;
class TStdEdit;

// The list the inspector is: the skinned one, whose background and
// disabled rows it keeps.
using InspectorList = List;

class Inspector : public InspectorList {
  Q_OBJECT(Inspector, InspectorList)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void objectRemoved(BaseObject* object) override;

  void setItemIndex(int32_t index) override;
  void mouseWheel(uint8_t shift, int32_t delta) override;
  void paintItem(int32_t index, const TRectF& rect) override;

  // Makes the rows anew from the root (nothing without one).
  void rebuild();

  BaseObject* root() const { return root_; }
  void setRoot(BaseObject* value);
  WideString rootByName() const;
  void setRootByName(const WideString& name);

  // The in-place editor of the selected row, or nil.
  GuiObject* editor() const { return editor_; }
  const std::vector<InspectorRow>& rows() const { return rows_; }

 private:
  // Frees the editor and makes the one the selected row needs.
  void editSelected();
  void freeEditor();
  // The row's object and property, found anew; false when either is gone.
  bool rowTarget(int32_t index, TObject*& object, const PropInfo*& prop) const;
  TStdDropdown* makeDropdown(TObject* object, const PropInfo& prop);
  TStdEdit* makeEdit(TObject* object, const PropInfo& prop);
  void applyText(TStdEdit* edit);
  void applyChoice(TStdList* list);
  // After new rows: the editor shows its row's value again, or hides when
  // its row is gone.
  void refreshEditor();

  BaseObject* root_ = nullptr;
  GuiObject* editor_ = nullptr;
  // The row the editor edits.
  InspectorRow editedRow_;
  std::vector<InspectorRow> rows_;
};
