#pragma once
// The program-wide list of filter classes, in registration order, which is
// the order names are tried in: the first class of the right kind whose
// extension occurs anywhere in the lower-cased name takes the file (a
// substring test, so "a.png.bak" is a PNG name).
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/text.h"
#include "platform/filters/abstract_filter.h"

class ClassInfo;

struct TFilterClass {
  const ClassInfo* info = nullptr;  // the filter's class: its maker and ancestry
  std::string extension;            // ".png"
  uint8_t capabilities = 0;         // kFilterCanRead, kFilterCanWrite

  bool acceptsFile(std::string_view name) const;
  bool canWrite() const { return (capabilities & kFilterCanWrite) != 0; }
};

// Appends a class to the list (a class registered again keeps its place).
void RegisterFilter(const TFilterClass& filter);

// The first registered pixmap (mesh) filter class that takes the name; nil
// when none does.
const TFilterClass* FindPixmapFilter(std::string_view name);
const TFilterClass* FindMeshFilter(std::string_view name);
const TFilterClass* FindPixmapFilter(const WideString& name);
const TFilterClass* FindMeshFilter(const WideString& name);

// A fresh filter object of the class for one call, owned by `owner` and
// working for `host`.
using TPixmapFilterPtr = std::unique_ptr<TPixmapFilter, FreeDeleter>;
using TMeshFilterPtr = std::unique_ptr<TMeshFilter, FreeDeleter>;
TPixmapFilterPtr MakePixmapFilter(const TFilterClass& filter, TObject* owner, TFilterHost* host);
TMeshFilterPtr MakeMeshFilter(const TFilterClass& filter, TObject* owner, TFilterHost* host);
