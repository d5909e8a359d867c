#include "gui/console/console_host.h"

#include "core/objects/object.h"
#include "engine/applet/applet.h"
#include "gui/console/console.h"
#include "gui/console/console_edit.h"
#include "gui/widget_lifetime.h"

ConsoleHost::~ConsoleHost() {
  if (console_) console_->setFreeNotice(nullptr, nullptr);
}

void ConsoleHost::Forget(void* host) { static_cast<ConsoleHost*>(host)->console_ = nullptr; }

bool ConsoleHost::ensureConsole() {
  if (console_) return true;
  BaseObject* layer = applet_->topLayer();
  if (!layer) return false;
  console_ = New<TConsole>(layer);
  console_->setFreeNotice(&ConsoleHost::Forget, this);
  console_->hide();
  return true;
}

void ConsoleHost::place(const TRectF& rect) {
  if (console_) console_->setRect(rect);
}

void ConsoleHost::toggle() {
  if (!ensureConsole()) return;
  if (BaseObject* layer = applet_->topLayer()) layer->bringToFront();
  if (console_->visible()) {
    applet_->cancelModal(4);
    return;
  }
  run();
}

void ConsoleHost::run() {
  TConsole* console = console_;
  KeepWidget keep(console);
  console->setRect(applet_->consoleRect());
  console->show();
  console->fadeShowWait();
  if (WidgetGone(console) || console_ != console) return;
  if (console->edit()) console->edit()->focus();
  applet_->enterModal(console);
  if (WidgetGone(console) || console_ != console) return;
  // The wait ended by cancelling: the container routes nothing to the line
  // any more, so it gives up its focus and caret here.
  console->dropEditFocus();
  console->fadeHideWait();
  if (WidgetGone(console) || console_ != console) return;
  console->hide();
}
