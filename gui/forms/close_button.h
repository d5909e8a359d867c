#pragma once
// A skinned button that closes the form it sits on (after its own click:
// the handler, and the modal result when it has one).
#include "gui/skinned/button.h"

class CloseButton : public Button {
  Q_OBJECT(CloseButton, Button)

 public:
  void Create(TObject* owner) override;

 private:
  void closeForm();
};
