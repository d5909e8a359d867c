#pragma once
// `Splash`: a background picture with the program's three logos in a row
// near the bottom of the applet, each from the program's built-in files
// when it carries one.
#include <array>

#include "gui/skinned/background.h"

class Splash : public Background {
  Q_OBJECT(Splash, Background)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

 private:
  std::array<TPixmap*, 3> logos_{};
};
