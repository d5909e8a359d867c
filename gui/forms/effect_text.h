#pragma once
// `EffectText`: a text whose characters are separate `StaticText` letters
// side by side, each running copies of the text's own effects, started
// 0.08 s after the letter before it (a wave running along the word). The
// text's own `Effect` children are only the templates: looking an effect up
// by name on the text skips them.
#include "gui/gui_object.h"

class EffectText : public GuiObject {
  Q_OBJECT(EffectText, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Loaded() override;
  // Sets the text and makes the letters again.
  void setText(const WideString& value) override;

  // Frees the letters (every GUI child) and makes one per character.
  void rebuild();
  void drawSelf() override;

 private:
  // Whether the font the text names can be had yet.
  bool fontAvailable() const;
  // Puts each letter after the ones before it, measured in the text's font.
  void placeLetters();
  void addLetter(size_t index);
  // The width of the text's first `count` characters in its own font.
  float leadingWidth(size_t count);

  bool lettersPlaced_ = true;
};
