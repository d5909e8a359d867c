#pragma once
// The two bases of everything that is streamed: `TGComponent`, a named
// component with an owner and owned components (base of the object tree), and
// `TSomePersistent`, an owned sub-object that remembers its owner (devices,
// fonts, coordinates, lists, resource managers).
#include <cstdint>
#include <functional>
#include <vector>

#include "core/objects/class_info.h"

class TGFiler;
class TGReader;
class TGWriter;

// Component state bits.
enum ComponentStateBit : uint16_t {
  csLoading = 0x1,
  csReading = 0x2,
  csWriting = 0x4,
  csDestroying = 0x8,
  csDesigning = 0x10,
  csAncestor = 0x20,
  csUpdating = 0x40,
  csFixups = 0x80,
  csFreeNotification = 0x100,
  csInline = 0x200,
  csDesignInstance = 0x400,
  csLoadingOwnFile = 0x800,  // a BaseObject loading its own file into itself
};

// Component style bits.
enum ComponentStyleBit : uint8_t {
  csInheritable = 0x1,
  csSubComponent = 0x4,  // an owned part written with its owner's properties
  csExternal = 0x10,   // came from its own file; not written with its parent
  csTransient = 0x20,  // its children are not written
};

enum class TOperation : uint8_t { opInsert = 0, opRemove = 1 };

class TGComponent : public TPersistent {
  Q_OBJECT(TGComponent, TPersistent)

 public:
  using GetChildProc = std::function<void(TGComponent* child)>;

  void Create(TObject* owner) override;
  void Destroy() override;

  // ---- virtual operations --------------------------------------------------
  virtual void Loaded();
  virtual void Notification(TGComponent* component, TOperation operation);
  virtual void ReadState(TGReader* reader);
  virtual void SetName(const WideString& newName);
  virtual void ValidateRename(TGComponent* component, const WideString& currentName, const WideString& newName);
  virtual void WriteState(TGWriter* writer);

  // ---- operations the object tree overrides --------------------------------
  virtual void GetChildren(const GetChildProc& proc, TGComponent* root);
  virtual TGComponent* GetChildOwner() { return nullptr; }
  virtual TGComponent* GetChildParent() { return nullptr; }
  virtual void SetChildOrder(TGComponent* /*child*/, int /*order*/) {}
  virtual void SetParentComponent(TGComponent* /*parent*/) {}
  virtual TGComponent* GetParentComponent() { return nullptr; }
  virtual bool HasParent() { return false; }
  virtual void Updating() { componentState_ |= csUpdating; }
  virtual void Updated() { componentState_ &= ~csUpdating; }
  virtual void ValidateContainer(TGComponent* component) { component->ValidateInsert(this); }
  virtual void ValidateInsert(TGComponent* /*component*/) {}

  // ---- owned components --------------------------------------------------
  void InsertComponent(TGComponent* component);
  void RemoveComponent(TGComponent* component);
  // Takes a component out of the list without validations or notifications.
  void RemoveComponentQuietly(TGComponent* component);
  TGComponent* FindComponent(const WideString& name) const;
  // The owned component at the index; logs "ListIndexError " + index and
  // answers nil when the index is outside the list.
  TGComponent* GetComponent(int index) const;
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  void DestroyComponents();
  void Destroying();
  void SetDesigning(bool value, bool recurse = true);
  void SetReference(bool enable);

  TGComponent* GetOwner() const { return owner_; }
  const WideString& name() const { return name_; }
  std::string GetNamePath() const { return WideToAnsi(name_); }
  int32_t tag() const { return tag_; }
  void setTag(int32_t tag) { tag_ = tag; }

  uint16_t componentState() const { return componentState_; }
  void setComponentState(uint16_t bits) { componentState_ |= bits; }
  void clearComponentState(uint16_t bits) { componentState_ &= static_cast<uint16_t>(~bits); }
  bool hasState(uint16_t bits) const { return (componentState_ & bits) != 0; }
  uint8_t componentStyle() const { return componentStyle_; }
  void setComponentStyle(uint8_t bits) { componentStyle_ |= bits; }
  void clearComponentStyle(uint8_t bits) { componentStyle_ &= static_cast<uint8_t>(~bits); }
  bool isLoaded() const { return loaded_; }

 private:
  TGComponent* owner_ = nullptr;
  WideString name_;
  int32_t tag_ = 0;
  std::vector<TGComponent*> components_;
  bool loaded_ = false;
  uint16_t componentState_ = 0;
  uint8_t componentStyle_ = 0;
};

class TSomePersistent : public TPersistent {
  Q_OBJECT(TSomePersistent, TPersistent)

 public:
  void Create(TObject* owner) override;
  TObject* owner() const { return owner_; }
  // Hands the object over to a new owner (an applet adopts the resource
  // manager its object file was read through).
  void setOwner(TObject* owner) { owner_ = owner; }

  // Adds stored properties beyond the published ones through the filer's
  // DefineProperty / DefineBinaryProperty; empty unless a class needs it.
  virtual void DefineProperties(TGFiler* /*filer*/) {}

 private:
  TObject* owner_ = nullptr;
};

// True for a valid identifier: a letter or underscore, then letters, digits
// or underscores (ASCII).
bool IsValidIdent(const std::string& name);
