#pragma once
// The node of the object tree and the base of every scene, GUI, media and
// engine object: a parent and ordered owned children, the owning applet,
// script handlers held as JavaScript text, tags, an object style, a file its
// content can be loaded from, and the per-frame tick.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/objects/child_list.h"
#include "core/objects/class_builder.h"
#include "core/objects/component.h"
#include "core/objects/handler_texts.h"

class Effect;
class TGReader;
class TResourceMan;

enum BaseObjectStyle { osTick, osScriptable };
Q_DECLARE_ENUM(BaseObjectStyle)
using BaseObjectStyles = SetOf<BaseObjectStyle>;

class BaseObject : public TGComponent {
  Q_OBJECT(BaseObject, TGComponent)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void Loaded() override;

  // ---- virtual operations of the tree ---------------------------------------
  virtual void setParent(BaseObject* parent) { parent_ = parent; }
  // Another object is being destroyed. It reaches only the objects that
  // asked: every destruction for those that called hearEveryRemoval (the few
  // that route input or queue actions for any object), the destruction of a
  // given object for those that watch it (watchRemovalOf). Telling every live
  // object of every destruction would make freeing a tree quadratic in its
  // size. A class that overrides this must ask for one of the two.
  virtual void objectRemoved(BaseObject* /*object*/) {}
  virtual void markDisposed();
  virtual void loadingProgress(int64_t /*done*/, int64_t /*total*/) {}
  virtual void tick(double time, double delta);
  virtual BaseObject* createChild(const ClassInfo& cls);
  virtual BaseObject* insertNewChild(const ClassInfo& cls);
  virtual void addChild(BaseObject* child);
  virtual void insertChild(int index, BaseObject* child);
  virtual void removeChild(BaseObject* child);
  virtual void dropAutoNames();
  virtual void giveAutoNames();
  virtual void runOwnEffect(const WideString& name);
  virtual void dispose();
  // Frees the children; a child that is an applet is asked to end instead
  // (the loop that runs it frees it).
  virtual void deleteChildren();
  virtual void bringToFront();
  virtual void sendToBack();
  virtual void moveTo(BaseObject* newParent);
  virtual void runEffect(const WideString& name);
  virtual void runEffectWait(const WideString& name);
  virtual void stopEffect(const WideString& name);

  // Hooks for classes of the layers above: a paused mission keeps its onTick
  // from running; an invisible visual object holds its effects still.
  virtual bool holdsTickHandler() const { return false; }
  virtual bool isHiddenVisual() const { return false; }

  // ---- streaming -------------------------------------------------------------
  void GetChildren(const GetChildProc& proc, TGComponent* root) override;
  void SetParentComponent(TGComponent* parent) override;
  TGComponent* GetParentComponent() override { return parent_; }
  bool HasParent() override { return parent_ != nullptr; }

  // ---- published methods -----------------------------------------------------
  void update();
  void scheduleDispose(double delaySeconds);
  void design();
  void customEvent(const WideString& text);
  BaseObject* findByName(const WideString& name);
  BaseObject* findOwnByTagString(const WideString& text);
  int findAllByTagString(const WideString& text);
  int findAllOwnByTagString(const WideString& text);
  BaseObject* findByTagString(const WideString& text);
  BaseObject* children(int index);
  BaseObject* getParent() const { return parent_; }
  void removeExternal() { clearComponentStyle(csExternal); }
  void store();

  // ---- other operations -------------------------------------------------------
  // Runs a handler text in the applet's script engine with this object as the
  // script's current object; nothing at design time or for empty text. Its
  // errors name the handler property holding the text, or `handler`.
  void runHandler(const WideString& script, std::string_view handler = {});
  BaseObject* findByClassName(const std::string& className);
  BaseObject* findByClassAndName(const std::string& className, const WideString& name);
  void forEach(const std::function<void(void* data, BaseObject* object)>& callback, void* data);
  BaseObject* findObject(BaseObject* object, bool ownOnly);
  Effect* findEffect(const WideString& name);
  Effect* findOwnEffect(const WideString& name);
  bool hasEffect(const WideString& name);
  int indexOfChild(const BaseObject* child) const;
  void exchangeChildren(int a, int b);

  // ---- properties --------------------------------------------------------------
  int count() const { return static_cast<int>(children_.size()); }
  BaseObject* childAt(int index) const { return children_[static_cast<size_t>(index)]; }
  BaseObject* parent() const { return parent_; }
  BaseObject* applet() const { return applet_; }
  // The outermost applet holding this object: the one a frame loop runs. An
  // applet made inside another is ticked with its host's tree but has no loop
  // of its own, so waits step this one and end when it ends.
  BaseObject* runningApplet() const;
  void setApplet(BaseObject* applet) { applet_ = applet; }

  BaseObjectStyles objectStyle() const { return objectStyle_; }
  void setObjectStyle(BaseObjectStyles style) { objectStyle_ = style; }
  float timeFactor() const { return timeFactor_; }
  void setTimeFactor(float factor) { timeFactor_ = factor; }
  bool designTime() const { return designTime_; }
  void setDesignTime(bool value);
  const WideString& fileName() const { return fileName_; }
  virtual void setFileName(const WideString& name);
  // The file the object was read from, without loading anything.
  void setFileNameQuiet(const WideString& name) { fileName_ = name; }
  // The root of the main object file takes over the manager it was read
  // through; answers whether it did (only the applet does).
  virtual bool adoptResourceManager(TResourceMan* /*manager*/) { return false; }
  int32_t tagInt() const { return tagInt_; }
  void setTagInt(int32_t value) { tagInt_ = value; }
  const WideString& tagString() const { return str_; }
  void setTagString(const WideString& text) { str_ = text; }
  const WideString& onTick() const { return handlers_.get(kOnTick); }
  const WideString& onCreate() const { return handlers_.get(kOnCreate); }
  const WideString& onDestroy() const { return handlers_.get(kOnDestroy); }
  bool isDisposed() const { return disposed_; }
  // Freed while busy: the object goes when its last busy scope ends.
  bool freePending() const { return freeDeferred_; }
  bool isProxy() const { return proxy_; }
  void setProxy(bool value) { proxy_ = value; }
  void setHideOwnEffects(bool value) { hideOwnEffects_ = value; }
  // The automatic name: the class name followed by the object's address.
  WideString autoName() const;

  // ---- removal notices ---------------------------------------------------------
  void hearEveryRemoval();
  // The target's destruction reaches this object's objectRemoved (once per
  // watch; watching twice needs two unwatches).
  void watchRemovalOf(BaseObject* target);
  void unwatchRemovalOf(BaseObject* target);

  // Program-wide: every constructed object that is not yet destroyed.
  static size_t liveObjectCount();
  static bool isLive(const BaseObject* object);
  // Calls `visit` for every live object, in construction order, on a copy
  // of the list (objects freed meanwhile are skipped).
  static void forEachLive(const std::function<void(BaseObject*)>& visit);
  // Set by the object-file loader just before it constructs an object whose
  // data the new object reads itself during its construction.
  static TGReader* pendingReader;
  // The object the pending reader is meant for: objects that the root makes
  // in its own construction before its inherited part runs must not take it.
  static BaseObject* pendingReaderTarget;
  // Reads the pending reader's data into a new object; answers the stream size.
  static int64_t (*readPendingObject)(TGReader* reader, BaseObject* object);
  // Loads an object file into `target` (or as a new child of `parent` when
  // target is nil); answers the object, or nil. Installed by the object files.
  static BaseObject* (*loadObjectFile)(TResourceMan* manager, const WideString& fileName, BaseObject* parent,
                                       BaseObject* target);
  // Called for objects with designTime when they are created and destroyed.
  static void (*designCreateHook)(BaseObject* object);
  static void (*designDestroyHook)(BaseObject* object);

 protected:
  // An object whose handler or tick is on the stack is not freed until they
  // return; Free() from inside them only marks it.
  class BusyScope {
   public:
    explicit BusyScope(BaseObject* object);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    BaseObject* object_;
  };
  bool deferFree() override;
  // Frees every child, applets too: for destruction.
  void freeChildren();
  // Stores the file name without loading anything, for classes whose
  // fileName is a plain field.
  void storeFileName(const WideString& name) { fileName_ = name; }

 private:
  enum Handler : size_t { kOnTick, kOnDestroy, kOnCreate, kOnCustomEvent, kHandlerCount };
  template <Handler H>
  const WideString& handler() const {
    return handlers_.get(H);
  }
  template <Handler H>
  void setHandler(const WideString& text) {
    handlers_.set(H, text);
  }

  void runAndClearOnDestroy();
  void notifyRemoval();
  void loadOwnFile(const WideString& name);
  void loadProxyFile(const WideString& name);
  void collectByTagString(const WideString& text, bool recurse, int& found);

  HandlerTexts<kHandlerCount> handlers_;
  ChildList children_;
  BaseObject* parent_ = nullptr;
  // The live-object list, linked through the objects.
  BaseObject* livePrev_ = nullptr;
  BaseObject* liveNext_ = nullptr;
  bool hearsEveryRemoval_ = false;
  std::vector<BaseObject*> watchers_;  // who watch this object's removal
  std::vector<BaseObject*> watched_;   // whose removal this object watches
  float tagFloat_ = 0;
  BaseObjectStyles objectStyle_{osTick, osScriptable};
  void* cacheEntry_ = nullptr;
  BaseObject* applet_ = nullptr;
  WideString str_;
  int32_t tagInt_ = 0;
  float timeFactor_ = 1.0f;
  bool designTime_ = false;
  int32_t tagInt2_ = 0;
  bool proxy_ = false;
  bool hideOwnEffects_ = false;
  WideString fileName_;
  bool disposed_ = false;
  int busy_ = 0;
  bool freeDeferred_ = false;

  friend class BusyScope;
  bool timeFactorStored() const { return timeFactor_ != 1.0f; }
};
