#pragma once
// `DebugForm`: the applet's debug values (frame rate, object and particle
// counts, times), one "name value" line each, in green on a dark
// translucent panel that grows with the number of lines. The applet keeps
// one in its top layer, shown while its `debugInfo` is on.
#include <vector>

#include "gui/forms/form.h"

class DebugForm : public Form {
  Q_OBJECT(DebugForm, Form)

 public:
  void Create(TObject* owner) override;
  void drawSelf() override;
  // A debug form never comes forward: it stays where the applet put it.
  void focusGained() override {}

  // The lines it shows, as it draws them.
  std::vector<WideString> lines() const;
};
