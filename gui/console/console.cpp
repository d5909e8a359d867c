#include "gui/console/console.h"

#include "core/geometry/coordinates.h"
#include "core/objects/wide_strings.h"
#include "engine/applet/applet.h"
#include "engine/media/font_persistent.h"
#include "gui/console/console_edit.h"
#include "gui/widget_lifetime.h"
#include "gui/widgets/widget_drawing.h"

namespace {
constexpr TColorARGB kBackground = 0x80969696u;
constexpr TColorARGB kEditTextColor = 0xFF000000u;
}  // namespace

const ClassInfo& TConsole::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TConsole>("TConsole").build();
  return info;
}

void TConsole::Create(TObject* owner) {
  inherited::Create(owner);
  font()->setFontName(u"system");
  history_ = New<TWideStringList>(nullptr);
  edit_ = New<TConsoleEdit>(this);
  MarkSelfMade(edit_);
  watchRemovalOf(edit_);
  TRectPersistent* margin = edit_->contentsMargin();
  edit_->setHeight(static_cast<float>(font()->size()) + margin->top() + margin->bottom());
  edit_->setAlign(gaBottom);
  edit_->setText(WideString());
  edit_->enterCallback.set([this](TStdEdit*) { runLine(); });
  edit_->font()->setFontName(u"system");
  edit_->font()->setColor(kEditTextColor);
  edit_->focus();
}

void TConsole::Destroy() {
  if (freeNotice_) freeNotice_(freeNoticeData_);
  FreeAndNil(history_);
  inherited::Destroy();
}

void TConsole::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == edit_) edit_ = nullptr;
}

void TConsole::runLine() {
  if (!edit_) return;
  KeepWidget self(this);
  KeepWidget line(edit_);
  const WideString text = edit_->text();
  history_->add(text);
  edit_->setHistoryIndex(history_->getCount() - 1);
  runHandler(text, "console");
  if (WidgetGone(this)) {
    endModalWait();
    return;
  }
  if (!edit_ || WidgetGone(edit_)) return;
  edit_->setText(WideString());
  update();
}

void TConsole::endModalWait() {
  // A console freed by its own line goes when the line is over; the wait
  // that runs it must not go on for an object that is gone.
  Applet* applet = AppletOf(this);
  if (applet && !applet->modalStack().empty() && applet->modalStack().back() == this) applet->cancelModal(4);
}

void TConsole::dropEditFocus() {
  if (!edit_ || !edit_->focused()) return;
  edit_->setFocused(false);
  edit_->focusLost();
}

void TConsole::drawSelf() {
  FillArea(WidgetDevice(this), getClientRect(), ColorScaleAlpha(kBackground, alpha()));
}
