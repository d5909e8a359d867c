#pragma once
// `Script`: a node of the tree that brings a script file into its applet. The
// file is taken from the applet's cache once the node is loaded, which hands
// it to the script engine, and given back when the node is freed.
#include "core/objects/base_object.h"

class Script : public BaseObject {
  Q_OBJECT(Script, BaseObject)

 public:
  void Destroy() override;
  void Loaded() override;
  // A plain field here: naming the file loads nothing until the node is loaded.
  void setFileName(const WideString& name) override { storeFileName(name); }

  // The cache's entry for the script file, or nil.
  void* scriptEntry() const { return scriptEntry_; }

 private:
  void* scriptEntry_ = nullptr;
};
