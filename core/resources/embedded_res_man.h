#pragma once
// Files the program carries inside itself, registered by name in one
// program-wide table and served read-only by `TEmbeddedResMan`. The four
// built-in files (core/resources/builtin_resources.h) are in the table from its first
// use on.
#include <cstddef>
#include <cstdint>

#include "core/resources/resource_man.h"

// Registers a file: the table keeps its own copy of exactly `length` bytes.
// A second file of the same key replaces the first.
void addEmbeddedFile(const WideString& name, const uint8_t* bytes, size_t length);

// The table's key of a resource name: every "." becomes "_", so
// "defaultskin.pixmap" is found under "defaultskin_pixmap". Keys compare
// without regard to case.
WideString embeddedFileKey(const WideString& name);

class TEmbeddedResMan : public TResourceMan {
  Q_OBJECT(TEmbeddedResMan, TResourceMan)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // Every open gives an independent copy: readers never share a position
  // and nothing can change the stored bytes. Nil for an unknown name, for
  // create and for any request with write access.
  TStream* createStream(const WideString& name, int32_t mode) override;
  bool streamExists(const WideString& name) override;
  // The built-in files have no date.
  int32_t FileDate(const WideString& name) override;
};
