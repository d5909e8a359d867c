#include "core/objects/component.h"

#include <algorithm>

#include "core/objects/class_builder.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/system/log.h"

const ClassInfo& TGComponent::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TGComponent>("TGComponent")
                                    .property("Name", &TGComponent::name, &TGComponent::SetName)
                                    .stored(false)
                                    .property("Tag", &TGComponent::tag, &TGComponent::setTag)
                                    .defaultValue(0)
                                    .build();
  return info;
}

const ClassInfo& TSomePersistent::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TSomePersistent>("TSomePersistent").build();
  return info;
}

void TSomePersistent::Create(TObject* owner) {
  inherited::Create(owner);
  owner_ = owner;
}

bool IsValidIdent(const std::string& name) {
  auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  auto isAlnum = [&](char c) { return isAlpha(c) || (c >= '0' && c <= '9'); };
  if (name.empty() || !isAlpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), isAlnum);
}

void TGComponent::Create(TObject* owner) {
  inherited::Create(owner);
  componentStyle_ = csInheritable;
  if (auto* ownerComponent = dynamic_cast<TGComponent*>(owner)) ownerComponent->InsertComponent(this);
}

void TGComponent::Destroy() {
  Destroying();
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
  inherited::Destroy();
}

void TGComponent::Loaded() {
  componentState_ &= ~csLoading;
  loaded_ = true;
}

void TGComponent::Notification(TGComponent* component, TOperation operation) {
  // Owned components may remove others while they are told; clamp each time.
  for (size_t i = components_.size(); i-- > 0;) {
    if (i >= components_.size()) {
      if (components_.empty()) break;
      i = components_.size() - 1;
    }
    components_[i]->Notification(component, operation);
  }
}

// The object reader and writer fill in these two: they read or write the
// component's published data through the class description.
void TGComponent::ReadState(TGReader* reader) { reader->fetchBody(this); }
void TGComponent::WriteState(TGWriter* writer) { writer->emitRecord(this); }

void TGComponent::SetName(const WideString& newName) {
  if (newName == name_) return;
  if (!newName.empty() && !IsValidIdent(WideToAnsi(newName))) LogError(u"InvalidName " + newName);
  if (owner_) {
    owner_->ValidateRename(this, name_, newName);
  } else {
    ValidateRename(nullptr, name_, newName);
  }
  SetReference(false);
  name_ = newName;
  SetReference(true);
}

void TGComponent::ValidateRename(TGComponent* component, const WideString& currentName, const WideString& newName) {
  if (component && !SameTextAscii(WideToAnsi(currentName), WideToAnsi(newName)) && component->owner_ == this &&
      FindComponent(newName)) {
    LogError(u"DuplicateName " + newName);
  }
  if (hasState(csDesigning) && owner_) owner_->ValidateRename(component, currentName, newName);
}

void TGComponent::GetChildren(const GetChildProc&, TGComponent*) {}

void TGComponent::InsertComponent(TGComponent* component) {
  component->ValidateContainer(this);
  if (component->owner_) component->owner_->RemoveComponent(component);
  ValidateRename(component, WideString(), component->name_);
  components_.push_back(component);
  component->owner_ = this;
  component->SetReference(true);
  if (hasState(csDesigning)) component->SetDesigning(true, true);
  Notification(component, TOperation::opInsert);
}

void TGComponent::RemoveComponent(TGComponent* component) {
  ValidateRename(component, component->name_, WideString());
  Notification(component, TOperation::opRemove);
  component->SetReference(false);
  RemoveComponentQuietly(component);
}

void TGComponent::RemoveComponentQuietly(TGComponent* component) {
  auto it = std::find(components_.begin(), components_.end(), component);
  if (it == components_.end()) return;
  components_.erase(it);
  component->owner_ = nullptr;
}

TGComponent* TGComponent::FindComponent(const WideString& name) const {
  if (name.empty()) return nullptr;
  for (TGComponent* c : components_) {
    if (SameTextAsciiW(c->name_, name)) return c;
  }
  return nullptr;
}

TGComponent* TGComponent::GetComponent(int index) const {
  if (index < 0 || index >= ComponentCount()) {
    LogInfo(u"ListIndexError " + AnsiToWide(std::to_string(index)));
    return nullptr;
  }
  return components_[static_cast<size_t>(index)];
}

void TGComponent::Destroying() {
  if (componentState_ & csDestroying) return;
  componentState_ |= csDestroying;
  for (TGComponent* c : std::vector<TGComponent*>(components_)) c->Destroying();
}

void TGComponent::DestroyComponents() {
  while (!components_.empty()) {
    TGComponent* last = components_.back();
    if ((last->componentState_ & csFreeNotification) ||
        ((componentState_ & csDesigning) && (componentState_ & csInline))) {
      RemoveComponent(last);
    } else {
      RemoveComponentQuietly(last);
    }
    last->Free();
  }
}

void TGComponent::SetDesigning(bool value, bool recurse) {
  if (value) {
    componentState_ |= csDesigning;
  } else {
    componentState_ &= ~csDesigning;
  }
  if (!recurse) return;
  for (TGComponent* c : components_) c->SetDesigning(value, true);
}

// Classes here publish no fields that mirror owned components by name, so
// there is no field to point at the component.
void TGComponent::SetReference(bool) {}
