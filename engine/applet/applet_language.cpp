// The applet's language: `lang`, `translate`, `format`, and the collected
// texts saved when the applet ends.
#include "engine/applet/applet.h"
#include "engine/applet/language_table.h"

const WideString& Applet::lang() const {
  static const WideString none;
  return languageTable_ ? languageTable_->language() : none;
}

void Applet::setLang(const WideString& value) {
  if (languageTable_) languageTable_->setLanguage(resourceManager_, value);
}

WideString Applet::translate(const WideString& text) {
  return languageTable_ ? languageTable_->translate(text) : text;
}

WideString Applet::format(const WideString& text, const Variant& first, const Variant& second) {
  std::vector<Variant> values;
  // A value left out by the script is no value at all.
  for (const Variant* value : {&first, &second}) {
    if (!value->isEmpty()) values.push_back(*value);
  }
  return languageTable_ ? languageTable_->format(text, values) : FormatWithValues(text, values);
}

void Applet::saveLanguageTable() {
  if (languageTable_ && languageTable_->collecting()) languageTable_->save(resourceManager_);
}
