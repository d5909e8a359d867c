#pragma once
// The root of every class the system creates by name.
//
// Construction is two-phase: the C++ constructor only sets field defaults; the
// virtual `Create(owner)` then runs the construction body with the full object
// in place, so virtual calls dispatch to the most derived class. Destruction
// mirrors it: `Free()` runs the virtual `Destroy()` (the destruction body, which
// may call virtual operations) and then deletes the object.
#include <string>

class ClassInfo;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const ClassInfo& staticClassInfo();
  virtual const ClassInfo& classInfo() const { return staticClassInfo(); }

  // The construction body; every override calls its parent's Create first.
  virtual void Create(TObject* owner);
  // The destruction body; every override calls its parent's Destroy last.
  virtual void Destroy() {}

  // Runs Destroy once and deletes the object. An object that is busy (its
  // own handler is running) may defer this until it is no longer busy.
  void Free();
  bool isDestroying() const { return destroying_; }

  const std::string& className() const;
  bool inheritsFrom(const ClassInfo& ancestor) const;

 protected:
  // True when the object cannot be freed now and will free itself later.
  virtual bool deferFree() { return false; }

 private:
  bool destroying_ = false;
};

// Frees an object (and sets the pointer to nil), as owners do with what they own.
template <typename T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  if (doomed) doomed->Free();
}

// Deleter for single owners that hold a std::unique_ptr.
struct FreeDeleter {
  void operator()(TObject* object) const {
    if (object) object->Free();
  }
};

// Creates an object of a known class: default construction, then Create(owner).
template <typename T>
T* New(TObject* owner = nullptr) {
  T* object = new T();
  object->Create(owner);
  return object;
}

// Declares the class description accessors; put it first in every class body.
#define Q_OBJECT(ClassName, ParentName)                                 \
 public:                                                                \
  using inherited = ParentName;                                         \
  static const ClassInfo& staticClassInfo();                            \
  const ClassInfo& classInfo() const override { return staticClassInfo(); } \
                                                                        \
 private:

// The persistent base of every streamed class.
class TPersistent : public TObject {
  Q_OBJECT(TPersistent, TObject)
};
