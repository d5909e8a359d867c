#pragma once
// The handler texts a class declares, kept in one block outside the object
// that is made when the first of them is set. Most objects have no handlers:
// their empty strings inline would make every object hundreds of bytes
// larger, and reading and freeing large trees pay for every byte of an
// object in memory traffic.
#include <array>
#include <cstddef>
#include <memory>

#include "core/text/text.h"

template <size_t N>
class HandlerTexts {
 public:
  const WideString& get(size_t index) const {
    static const WideString kNone;
    return texts_ ? (*texts_)[index] : kNone;
  }
  void set(size_t index, const WideString& text) {
    if (!texts_) {
      if (text.empty()) return;
      texts_ = std::make_unique<std::array<WideString, N>>();
    }
    (*texts_)[index] = text;
  }
  // Empties the text, answering what it held.
  WideString take(size_t index) {
    WideString text;
    if (texts_) text.swap((*texts_)[index]);
    return text;
  }

 private:
  std::unique_ptr<std::array<WideString, N>> texts_;
};
