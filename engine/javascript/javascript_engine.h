#pragma once
// The script engine for JavaScript, on SpiderMonkey (libmozjs-102).
//
// Every published property and method of the program's classes is visible to
// scripts through the class descriptions alone; exported objects are script
// globals; handler texts run on the engine's global; script files are loaded
// with a compiled cache ".jsbin" beside them; `new ClassName()` creates
// objects. All engines of a thread share one SpiderMonkey context, each with
// its own global. The library's headers stay inside engine/javascript/.
#include <memory>
#include <unordered_map>

#include "engine/script_engine.h"

class BaseObject;
class JsHandlerScripts;
class JsRealm;
struct WrapperEntry;

class TJavaScriptEngine : public TScriptEngine {
  Q_OBJECT(TJavaScriptEngine, TScriptEngine)

 public:
  TJavaScriptEngine();
  ~TJavaScriptEngine() override;

  void Create(TObject* owner) override;
  void Destroy() override;

  bool evaluate(const WideString& source) override;
  TScript* loadScript(TResourceMan* manager, const WideString& name) override;
  void freeScript(TScript* script) override;
  void removeObject(TObject* object) override;
  void exportObject(const WideString& name, const WideString& className, TObject* object) override;
  void defineConstant(const WideString& name, int32_t value) override;
  void registerClass(const ClassInfo& cls) override;
  void collectGarbage() override;
  Variant getGlobal(const WideString& name) override;

  // False when the library could not start; every operation then does nothing.
  bool isReady() const { return realm_ != nullptr; }
  // Objects exported and not yet removed.
  int exportedCount() const { return exportedCount_; }
  // The bytes the script heap holds now (of every engine of the thread).
  size_t heapBytes() const;
  // For tests: the hard limit of the script heap (of every engine of the
  // thread) in bytes, past which its allocations fail; 0 restores the
  // library's own.
  void setHeapLimitForTest(size_t bytes);
  // The program objects that have a script object in this engine.
  size_t wrapperCount() const;
  // The script file `loadScript` took last.
  const WideString& currentScriptFile() const { return currentScriptFile_; }
  // A line of a handler text or script file this engine ran (by the name its
  // errors give it and the line number they give), for error lines whose
  // report carries none; empty when unknown.
  WideString sourceLine(const WideString& name, unsigned line) const;
  bool hasScriptObject(TObject* object) const override;
  // How many handler texts this engine has compiled (each distinct text of a
  // handler once, again when it changes).
  uint64_t handlerCompileCount() const;

  // What `new ClassName(...)` makes: an object of the class under `parent`
  // (the engine's owner when nil), or the root of the object file `fileName`
  // loaded under it. Nil (with the reason logged) when nothing was made.
  virtual BaseObject* createScriptObject(const ClassInfo& cls, BaseObject* parent, const WideString* fileName);

  JsRealm* realm() const { return realm_.get(); }

 protected:
  // Freeing the engine while one of its scripts runs waits until it returns.
  bool deferFree() override;

 private:
  class RunScope;
  // Deletes the globals that still hold the entry's script object.
  void deleteGlobalsOf(WrapperEntry& entry);

  // Remembers the text run under a name, whose lines count from `firstLine`.
  void rememberSource(const WideString& name, const WideString& text, unsigned firstLine);

  struct Source {
    WideString text;
    unsigned firstLine = 0;
  };
  std::unordered_map<WideString, Source> sources_;
  std::unique_ptr<JsRealm> realm_;
  std::unique_ptr<JsHandlerScripts> handlerScripts_;
  bool holdsContext_ = false;
  int exportedCount_ = 0;
  WideString currentScriptFile_;
  int running_ = 0;
  bool freeDeferred_ = false;
};

// Registers the JavaScript engine for ".js" and makes it the default script
// engine; the program calls it once at start-up (a second call changes nothing).
void RegisterJavaScriptEngine();
