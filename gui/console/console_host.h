#pragma once
// The applet's console as the applet's parts keep it: made hidden in the top
// layer on first use; the console key shows it, fades it in, focuses its line
// and runs it as a modal object until the key or Escape ends the wait; then
// it fades out and hides.
#include "core/geometry/geometry.h"

class Applet;
class TConsole;

class ConsoleHost {
 public:
  explicit ConsoleHost(Applet* applet) : applet_(applet) {}
  ~ConsoleHost();
  ConsoleHost(const ConsoleHost&) = delete;
  ConsoleHost& operator=(const ConsoleHost&) = delete;

  void toggle();
  // Places the console over the rect, when it exists.
  void place(const TRectF& rect);
  // Nil until the console key was first pressed, or after a script freed it.
  TConsole* console() const { return console_; }

 private:
  bool ensureConsole();
  void run();
  static void Forget(void* host);

  Applet* applet_;
  TConsole* console_ = nullptr;
};
