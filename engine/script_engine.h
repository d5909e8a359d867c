#pragma once
// The applet's interface to a script language.
//
// `TScriptEngine` is what the applet, the cache and the object tree ask of a
// script language: evaluate handler text, load script files, make program
// objects and constants visible to scripts, collect garbage. Engines are
// chosen by the extension of the script files they run; the JavaScript engine
// (engine/javascript/) registers itself for ".js" and as the default.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/objects/component.h"

class TResourceMan;
class TScriptEngine;

// What an engine keeps of a compiled script; the engine that made it knows
// the concrete kind. Destroying it lets the engine forget the script.
class TCompiledScript {
 public:
  virtual ~TCompiledScript() = default;
};

// A loaded script file: the handle the cache holds and gives back through
// `freeScript`. An engine frees the scripts it still holds when it goes.
class TScript : public TSomePersistent {
  Q_OBJECT(TScript, TSomePersistent)

 public:
  void Destroy() override;

  TScriptEngine* engine() const { return engine_; }
  TCompiledScript* compiled() const { return compiled_.get(); }
  void setCompiled(std::unique_ptr<TCompiledScript> compiled) { compiled_ = std::move(compiled); }
  const WideString& name() const { return name_; }
  void setName(const WideString& name) { name_ = name; }

 private:
  friend class TScriptEngine;
  std::unique_ptr<TCompiledScript> compiled_;
  WideString name_;
  TScriptEngine* engine_ = nullptr;
};

class TScriptEngine : public TSomePersistent {
  Q_OBJECT(TScriptEngine, TSomePersistent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // ---- the operations of a script language ------------------------------------
  // Runs source text on the global object; false when it did not compile or
  // raised an error (the error is logged).
  virtual bool evaluate(const WideString& source) = 0;
  // Runs an object's handler text; its errors name it by `label`
  // ("btn.onClick") and its line in that text.
  bool evaluateHandler(const WideString& source, const WideString& label);
  // Loads `name` (its extension replaced by the engine's own) through the
  // manager, using or refreshing the compiled cache beside it, and runs it
  // once. Nil when there is no such script or it fails.
  virtual TScript* loadScript(TResourceMan* manager, const WideString& name) = 0;
  // Destroys the script's compiled form and frees the handle.
  virtual void freeScript(TScript* script) = 0;
  // The object is going away: its global is deleted and every script value
  // that stands for it is cut loose (reads give undefined from then on).
  virtual void removeObject(TObject* object) = 0;
  // Makes the object a script global. An empty name becomes the lower-case
  // class name followed by the object's identity in decimal.
  virtual void exportObject(const WideString& name, const WideString& className, TObject* object) = 0;
  virtual void defineConstant(const WideString& name, int32_t value) = 0;
  // Builds (once) what scripts need to see the class: its prototype with every
  // published property and method, and its constructor under the class name.
  virtual void registerClass(const ClassInfo& cls) = 0;
  virtual void collectGarbage() = 0;
  // A global as a value; objects come back as the program objects they stand for.
  virtual Variant getGlobal(const WideString& name) = 0;
  // Whether scripts hold a script object for the program object: handlers
  // that are handed an object need one to hand over.
  virtual bool hasScriptObject(TObject* /*object*/) const { return false; }

  // ---- settings the applet passes down -----------------------------------------
  // Above 1, every published method call is logged.
  int debugLevel() const { return debugLevel_; }
  void setDebugLevel(int level) { debugLevel_ = level; }
  // Receives the statistics of `collectGarbage` ("JS GC:", "JS Objects:") while
  // the applet's debug form shows them; empty otherwise.
  using DebugValueSink = std::function<void(const WideString& name, const WideString& value)>;
  void setDebugValueSink(DebugValueSink sink) { debugValueSink_ = std::move(sink); }
  const DebugValueSink& debugValueSink() const { return debugValueSink_; }

  // ---- scripts loaded by this engine ---------------------------------------------
  const std::vector<TScript*>& scripts() const { return scripts_; }

 protected:
  // The label of the handler `evaluate` runs now; empty for plain text.
  const WideString& handlerLabel() const { return handlerLabel_; }

  // A new script handle owned by this engine and listed in `scripts`.
  TScript* newScript(const WideString& name, std::unique_ptr<TCompiledScript> compiled);
  // Frees every script this engine still holds; run before the language
  // itself shuts down.
  void releaseScripts();

 private:
  friend class TScript;
  void forgetScript(TScript* script);

  int debugLevel_ = 0;
  WideString handlerLabel_;
  DebugValueSink debugValueSink_;
  std::vector<TScript*> scripts_;
};

// ---- handlers ------------------------------------------------------------------------

// The name a handler's errors go by: the object's name (its class name when it
// has none but an automatic one), ".", and the handler property that holds
// the text; `handler` names the property when the text is no longer in it.
WideString HandlerLabel(TObject* object, const WideString& script, std::string_view handler = {});

// ---- engines by extension ---------------------------------------------------------

// Registers an engine class for a script file extension (with its ".",
// compared ignoring ASCII case). A later registration of the same extension
// replaces the earlier one.
void RegisterScriptEngine(std::string_view extension, const ClassInfo& engineClass);
// The engine class for an extension, or nil.
const ClassInfo* ScriptEngineClassFor(std::string_view extension);
// The class the applet creates its engine from; nil until one is set.
const ClassInfo* DefaultScriptEngineClass();
void SetDefaultScriptEngineClass(const ClassInfo* engineClass);
// Creates an engine of the class with the owner; nil for a class that is not
// a script engine or cannot be built.
TScriptEngine* CreateScriptEngine(const ClassInfo& engineClass, TObject* owner);

// ---- the script API: names every applet's scripts see ------------------------------

// An integer constant of the script API.
struct ScriptConstant {
  WideString name;
  int32_t value;
};
// The key codes (named after the Windows virtual keys, with their values) and
// the modal results, in the order they are defined.
const std::vector<ScriptConstant>& ScriptConstants();

// The objects exported as script globals, each under its name; a nil object
// gets no global.
struct ScriptGlobals {
  TObject* engine = nullptr;          // "engine": the engine root
  TObject* device = nullptr;          // "device"
  TObject* applet = nullptr;          // "applet"
  TObject* preferences = nullptr;     // "preferences"
  TObject* scoreTable = nullptr;      // "scoreTable"
  TObject* event = nullptr;           // "event"
  TObject* materials = nullptr;       // "materials"
  TObject* filter = nullptr;          // "filter"
  TObject* mostTop = nullptr;         // "mostTop": the top-layer dummy
  TObject* inspector = nullptr;       // "inspector"
  TObject* externalResMan = nullptr;  // "externalResMan"
  TObject* embeddedResMan = nullptr;  // "embeddedResMan"
  TObject* resMan = nullptr;          // "resMan": the applet's own manager
};

// What an applet makes visible once its object file is read: the script
// classes of the tree's and the GUI's base classes that are registered, the
// globals, then the constants.
void RegisterScriptNames(TScriptEngine& engine, const ScriptGlobals& globals);
// Every registered class that descends from BaseObject, in registry order.
void RegisterScriptClasses(TScriptEngine& engine);
