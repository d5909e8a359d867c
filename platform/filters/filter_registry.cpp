#include "platform/filters/filter_registry.h"

#include <vector>

#include "core/objects/class_info.h"

namespace {
std::vector<TFilterClass>& Registry() {
  static std::vector<TFilterClass> registry;
  return registry;
}

const TFilterClass* FindFilter(std::string_view name, const ClassInfo& kind) {
  for (const TFilterClass& filter : Registry()) {
    if (filter.info && filter.info->inheritsFrom(kind) && filter.acceptsFile(name)) return &filter;
  }
  return nullptr;
}

template <typename Filter>
std::unique_ptr<Filter, FreeDeleter> MakeFilter(const TFilterClass& filter, TObject* owner, TFilterHost* host) {
  TObject* made = filter.info ? filter.info->create(owner) : nullptr;
  auto* typed = dynamic_cast<Filter*>(made);
  if (!typed) {
    if (made) made->Free();
    return nullptr;
  }
  typed->setHost(host);
  return std::unique_ptr<Filter, FreeDeleter>(typed);
}
}  // namespace

bool TFilterClass::acceptsFile(std::string_view name) const {
  return !extension.empty() && LowerCaseAscii(name).find(extension) != std::string::npos;
}

void RegisterFilter(const TFilterClass& filter) {
  for (const TFilterClass& known : Registry()) {
    if (known.info == filter.info) return;
  }
  Registry().push_back(filter);
}

const TFilterClass* FindPixmapFilter(std::string_view name) {
  return FindFilter(name, TPixmapFilter::staticClassInfo());
}

const TFilterClass* FindMeshFilter(std::string_view name) { return FindFilter(name, TMeshFilter::staticClassInfo()); }

const TFilterClass* FindPixmapFilter(const WideString& name) { return FindPixmapFilter(WideToUtf8(name)); }

const TFilterClass* FindMeshFilter(const WideString& name) { return FindMeshFilter(WideToUtf8(name)); }

TPixmapFilterPtr MakePixmapFilter(const TFilterClass& filter, TObject* owner, TFilterHost* host) {
  return MakeFilter<TPixmapFilter>(filter, owner, host);
}

TMeshFilterPtr MakeMeshFilter(const TFilterClass& filter, TObject* owner, TFilterHost* host) {
  return MakeFilter<TMeshFilter>(filter, owner, host);
}
