#include "core/objects/class_info.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

// ---- enumerations ---------------------------------------------------------------

std::string EnumInfo::nameOf(int value) const {
  if (value < 0 || value >= count()) return {};
  return names_[static_cast<size_t>(value)];
}

int EnumInfo::valueOf(std::string_view name) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (SameTextAscii(names_[i], name)) return static_cast<int>(i);
  }
  return -1;
}

const EnumInfo& BooleanEnumInfo() {
  static const EnumInfo info("Boolean", {"False", "True"});
  return info;
}

std::string TypeInfo::typeName() const {
  if (kind == TypeKind::Object && objectClassOf) return objectClassOf().name();
  return name;
}

// ---- class descriptions -----------------------------------------------------------

ClassInfo::ClassInfo(std::string name, const ClassInfo* parent, Factory factory,
                     std::vector<PropInfo> properties, std::vector<MethodInfo> methods)
    : name_(std::move(name)),
      parent_(parent),
      factory_(factory),
      ownProperties_(std::move(properties)),
      ownMethods_(std::move(methods)) {
  if (parent_) {
    ancestors_ = parent_->ancestors_;
    ancestors_.push_back(parent_);
    allProperties_ = parent_->allProperties_;
  }
  for (PropInfo& own : ownProperties_) {
    own.declaredBy = this;
    auto hidden = std::find_if(allProperties_.begin(), allProperties_.end(),
                               [&](const PropInfo* p) { return SameTextAscii(p->name, own.name); });
    if (hidden != allProperties_.end()) {
      own.position = (*hidden)->position;
      *hidden = &own;
    } else {
      own.position = static_cast<int>(allProperties_.size());
      allProperties_.push_back(&own);
    }
  }
}

const ClassInfo::NameIndex& ClassInfo::buildNameIndex() const {
  static std::mutex building;
  std::lock_guard<std::mutex> guard(building);
  indexLocked();
  return index_;
}

void ClassInfo::indexLocked() const {
  if (indexed_.load(std::memory_order_relaxed)) return;
  // The first of a name wins, own class before its ancestors.
  for (const PropInfo& own : ownProperties_) index_.properties.emplace(own.name, &own);
  for (const MethodInfo& own : ownMethods_) index_.methods.emplace(own.name, &own);
  if (parent_) {
    parent_->indexLocked();
    for (const auto& [name, prop] : parent_->index_.properties) index_.properties.emplace(name, prop);
    for (const auto& [name, method] : parent_->index_.methods) index_.methods.emplace(name, method);
  }
  indexed_.store(true, std::memory_order_release);
}

TObject* ClassInfo::create(TObject* owner) const {
  if (!factory_) return nullptr;
  TObject* object = factory_();
  object->Create(owner);
  return object;
}

std::vector<const PropInfo*> ClassInfo::properties(KindSet kinds) const {
  std::vector<const PropInfo*> result;
  for (const PropInfo* p : allProperties_) {
    if (kinds.contains(p->kind())) result.push_back(p);
  }
  return result;
}

const PropInfo* ClassInfo::findProperty(std::string_view name, KindSet kinds) const {
  const auto& index = nameIndex().properties;
  const auto found = index.find(name);
  if (found == index.end()) return nullptr;
  return kinds.contains(found->second->kind()) ? found->second : nullptr;
}

const MethodInfo* ClassInfo::findMethod(std::string_view name) const {
  const auto& index = nameIndex().methods;
  const auto found = index.find(name);
  return found == index.end() ? nullptr : found->second;
}

// ---- typed access -----------------------------------------------------------------

namespace {
template <typename V>
V GetAs(TObject* object, const PropInfo& prop, V fallback) {
  PropValue value = prop.get(object);
  if (auto* v = std::get_if<V>(&value)) return *v;
  return fallback;
}

void Put(TObject* object, const PropInfo& prop, PropValue value) {
  if (prop.set) prop.set(object, value);
}

bool IsOrdinal(TypeKind k) {
  return k == TypeKind::Integer || k == TypeKind::Enumeration || k == TypeKind::Set;
}
}  // namespace

int32_t GetOrdProp(TObject* object, const PropInfo& prop) { return GetAs<int32_t>(object, prop, 0); }
void SetOrdProp(TObject* object, const PropInfo& prop, int32_t value) {
  if (IsOrdinal(prop.kind())) Put(object, prop, value);
}
float GetFloatProp(TObject* object, const PropInfo& prop) { return GetAs<float>(object, prop, 0.0f); }
void SetFloatProp(TObject* object, const PropInfo& prop, float value) {
  if (prop.kind() == TypeKind::Float) Put(object, prop, value);
}
AnsiString GetStrProp(TObject* object, const PropInfo& prop) {
  if (prop.kind() == TypeKind::WideText) return WideToAnsi(GetWideStrProp(object, prop));
  return GetAs<AnsiString>(object, prop, {});
}
void SetStrProp(TObject* object, const PropInfo& prop, const AnsiString& value) {
  if (prop.kind() == TypeKind::AnsiText) Put(object, prop, value);
  if (prop.kind() == TypeKind::WideText) Put(object, prop, AnsiToWide(value));
}
WideString GetWideStrProp(TObject* object, const PropInfo& prop) {
  if (prop.kind() == TypeKind::AnsiText) return AnsiToWide(GetStrProp(object, prop));
  return GetAs<WideString>(object, prop, {});
}
void SetWideStrProp(TObject* object, const PropInfo& prop, const WideString& value) {
  if (prop.kind() == TypeKind::WideText) Put(object, prop, value);
  if (prop.kind() == TypeKind::AnsiText) Put(object, prop, WideToAnsi(value));
}
TObject* GetObjectProp(TObject* object, const PropInfo& prop) { return GetAs<TObject*>(object, prop, nullptr); }
void SetObjectProp(TObject* object, const PropInfo& prop, TObject* value) {
  if (prop.kind() != TypeKind::Object) return;
  // A value of the wrong class would break the setter's assumptions.
  if (value && prop.type.objectClass() && !value->inheritsFrom(*prop.type.objectClass())) return;
  Put(object, prop, value);
}
MethodRef GetMethodProp(TObject* object, const PropInfo& prop) { return GetAs<MethodRef>(object, prop, {}); }
void SetMethodProp(TObject* object, const PropInfo& prop, const MethodRef& value) {
  if (prop.kind() == TypeKind::Callback) Put(object, prop, value);
}
int64_t GetInt64Prop(TObject* object, const PropInfo& prop) { return GetAs<int64_t>(object, prop, 0); }
void SetInt64Prop(TObject* object, const PropInfo& prop, int64_t value) {
  if (prop.kind() == TypeKind::Int64) Put(object, prop, value);
}

bool IsStoredProp(TObject* object, const PropInfo& prop) {
  switch (prop.stored) {
    case StoredRule::Always: return true;
    case StoredRule::Never: return false;
    case StoredRule::Predicate: return prop.storedPredicate(object);
  }
  return true;
}

bool IsDefaultPropValue(TObject* object, const PropInfo& prop) {
  switch (prop.kind()) {
    case TypeKind::Integer:
    case TypeKind::Enumeration:
    case TypeKind::Set:
      return prop.defaultValue != kNoDefault && GetOrdProp(object, prop) == prop.defaultValue;
    case TypeKind::Float: return GetFloatProp(object, prop) == prop.floatDefault;
    case TypeKind::WideText: return GetWideStrProp(object, prop).empty();
    case TypeKind::AnsiText: return GetStrProp(object, prop).empty();
    case TypeKind::Object: return GetObjectProp(object, prop) == nullptr;
    case TypeKind::Callback: return !GetMethodProp(object, prop);
    case TypeKind::Int64:
      return prop.defaultValue != kNoDefault && GetInt64Prop(object, prop) == prop.defaultValue;
    case TypeKind::Variant: return GetAs<Variant>(object, prop, {}).isEmpty();
  }
  return false;
}

// ---- conversions for scripts and the inspector ------------------------------------

Variant GetPropVariant(TObject* object, const PropInfo& prop) {
  switch (prop.kind()) {
    case TypeKind::Integer:
    case TypeKind::Set: return Variant(GetOrdProp(object, prop));
    case TypeKind::Enumeration:
      if (prop.type.enumInfo == &BooleanEnumInfo()) return Variant(GetOrdProp(object, prop) != 0);
      return Variant(GetOrdProp(object, prop));
    case TypeKind::Float: return Variant(GetFloatProp(object, prop));
    case TypeKind::WideText: return Variant(GetWideStrProp(object, prop));
    case TypeKind::AnsiText: return Variant(AnsiToWide(GetStrProp(object, prop)));
    case TypeKind::Object: return Variant(GetObjectProp(object, prop));
    case TypeKind::Callback: return Variant();
    case TypeKind::Int64: return Variant(GetInt64Prop(object, prop));
    case TypeKind::Variant: return GetAs<Variant>(object, prop, {});
  }
  return Variant();
}

bool SetPropVariant(TObject* object, const PropInfo& prop, const Variant& value) {
  if (prop.readOnly()) return false;
  bool ok = true;
  switch (prop.kind()) {
    case TypeKind::Integer:
    case TypeKind::Set: {
      int32_t v = value.toInt(&ok);
      if (ok) SetOrdProp(object, prop, v);
      return ok;
    }
    case TypeKind::Enumeration: {
      int32_t v;
      if (value.isText() && prop.type.enumInfo && prop.type.enumInfo->valueOf(WideToAnsi(value.toText())) >= 0) {
        v = prop.type.enumInfo->valueOf(WideToAnsi(value.toText()));
      } else if (prop.type.enumInfo == &BooleanEnumInfo()) {
        v = value.toBool(&ok) ? 1 : 0;
      } else {
        v = value.toInt(&ok);
      }
      if (ok) SetOrdProp(object, prop, v);
      return ok;
    }
    case TypeKind::Float: {
      double d = value.toDouble(&ok);
      if (ok) SetFloatProp(object, prop, static_cast<float>(d));
      return ok;
    }
    case TypeKind::WideText: SetWideStrProp(object, prop, value.toText()); return true;
    case TypeKind::AnsiText: SetStrProp(object, prop, WideToAnsi(value.toText())); return true;
    case TypeKind::Object: {
      TObject* o = value.toObject(&ok);
      if (!ok || (o && prop.type.objectClass() && !o->inheritsFrom(*prop.type.objectClass()))) return false;
      SetObjectProp(object, prop, o);
      return true;
    }
    case TypeKind::Callback: return false;
    case TypeKind::Int64: {
      int64_t v = value.toInt64(&ok);
      if (ok) SetInt64Prop(object, prop, v);
      return ok;
    }
    case TypeKind::Variant: prop.set(object, value); return true;
  }
  return false;
}

WideString GetPropText(TObject* object, const PropInfo& prop) {
  switch (prop.kind()) {
    case TypeKind::Enumeration:
      return AnsiToWide(prop.type.enumInfo->nameOf(GetOrdProp(object, prop)));
    case TypeKind::Set:
      return SetToText(*prop.type.enumInfo, static_cast<uint32_t>(GetOrdProp(object, prop)));
    case TypeKind::Float: return FloatToWideStr(GetFloatProp(object, prop));
    case TypeKind::Object: {
      TObject* o = GetObjectProp(object, prop);
      return o ? AnsiToWide("(" + o->className() + ")") : WideString();
    }
    case TypeKind::Callback: {
      MethodRef m = GetMethodProp(object, prop);
      return m ? AnsiToWide(m.method->name) : WideString();
    }
    default: return GetPropVariant(object, prop).toText();
  }
}

bool SetPropText(TObject* object, const PropInfo& prop, const WideString& text) {
  if (prop.readOnly()) return false;
  switch (prop.kind()) {
    case TypeKind::Enumeration: {
      int v = prop.type.enumInfo->valueOf(WideToAnsi(TrimW(text)));
      if (v < 0) return false;
      SetOrdProp(object, prop, v);
      return true;
    }
    case TypeKind::Set: {
      uint32_t bits = 0;
      if (!TextToSet(*prop.type.enumInfo, text, bits)) return false;
      SetOrdProp(object, prop, static_cast<int32_t>(bits));
      return true;
    }
    case TypeKind::Object:
    case TypeKind::Callback: return false;
    default: return SetPropVariant(object, prop, Variant(text));
  }
}

WideString SetToText(const EnumInfo& element, uint32_t bits) {
  std::string text = "[";
  for (int i = 0; i < element.count() && i < 32; ++i) {
    if (!(bits & (1u << i))) continue;
    if (text.size() > 1) text += ",";
    text += element.nameOf(i);
  }
  return AnsiToWide(text + "]");
}

bool TextToSet(const EnumInfo& element, std::u16string_view text, uint32_t& bits) {
  WideString body = TrimW(text);
  if (body.size() >= 2 && body.front() == u'[' && body.back() == u']') body = body.substr(1, body.size() - 2);
  uint32_t result = 0;
  while (!TrimW(body).empty()) {
    WideString name = ExtractTokenW(body, u",");
    int v = element.valueOf(WideToAnsi(name));
    if (v < 0 || v >= 32) return false;
    result |= 1u << v;
  }
  bits = result;
  return true;
}
