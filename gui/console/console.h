#pragma once
// The script console: a translucent panel whose one-line edit, docked at its
// bottom, runs each line entered as a handler of the console against the live
// applet. The lines entered are kept, oldest first, for the edit's Up and Down
// keys; they are stored nowhere.
#include "gui/gui_object.h"

class TConsoleEdit;
class TWideStringList;

class TConsole : public GuiObject {
  Q_OBJECT(TConsole, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  TConsoleEdit* edit() const { return edit_; }
  TWideStringList* history() const { return history_; }

  // Enter in the edit: the line joins the history, runs, and the edit is
  // cleared. The line may free the console (or the edit): neither is touched
  // after that.
  void runLine();
  // Gives up the edit's focus and caret without asking the container, which
  // no longer routes to them after a modal wait ended.
  void dropEditFocus();

  void objectRemoved(BaseObject* object) override;

  // Told when the console goes, so that whoever keeps it forgets it.
  void setFreeNotice(void (*notice)(void* data), void* data) {
    freeNotice_ = notice;
    freeNoticeData_ = data;
  }

 private:
  void endModalWait();

  TConsoleEdit* edit_ = nullptr;
  TWideStringList* history_ = nullptr;
  void (*freeNotice_)(void* data) = nullptr;
  void* freeNoticeData_ = nullptr;
};
