#include "core/objects/base_object.h"

#include <algorithm>

#include "core/objects/applet_services.h"
#include "core/objects/effect.h"
#include "core/objects/engine.h"
#include "core/objects/pointer_set.h"
#include "core/objects/script_watch.h"
#include "core/system/log.h"

Q_DEFINE_ENUM(BaseObjectStyle, "osTick", "osScriptable")

TGReader* BaseObject::pendingReader = nullptr;
BaseObject* BaseObject::pendingReaderTarget = nullptr;
int64_t (*BaseObject::readPendingObject)(TGReader*, BaseObject*) = nullptr;
BaseObject* (*BaseObject::loadObjectFile)(TResourceMan*, const WideString&, BaseObject*, BaseObject*) = nullptr;
void (*BaseObject::designCreateHook)(BaseObject*) = nullptr;
void (*BaseObject::designDestroyHook)(BaseObject*) = nullptr;

namespace {
// The live objects, for a quick "is it still alive" of a pointer that may
// be dangling; their order is the list linked through the objects. A flat
// table: no allocation of its own per object, which would cost the reading
// and freeing of large trees their speed.
PointerSet& LiveObjectSet() {
  static PointerSet set;
  return set;
}

struct LiveList {
  BaseObject* first = nullptr;
  BaseObject* last = nullptr;
};
LiveList& Live() {
  static LiveList list;
  return list;
}

// The objects told of every destruction, in the order they asked.
std::vector<BaseObject*>& EveryRemovalHearers() {
  static std::vector<BaseObject*> hearers;
  return hearers;
}

void EraseOne(std::vector<BaseObject*>& list, const BaseObject* item) {
  auto it = std::find(list.begin(), list.end(), item);
  if (it != list.end()) list.erase(it);
}

// The objects told of one destruction, copied as a receiver may change the
// lists they come from. Kept on the stack while they are few, as they nearly
// always are: freeing an object then allocates nothing for its notice.
class RemovalAudience {
 public:
  void add(BaseObject* object) {
    if (many_.empty() && size_ < kFew) {
      few_[size_++] = object;
      return;
    }
    if (many_.empty()) many_.assign(few_, few_ + size_);
    many_.push_back(object);
    ++size_;
  }
  size_t size() const { return size_; }
  BaseObject* operator[](size_t index) const { return many_.empty() ? few_[index] : many_[index]; }
  bool contains(const BaseObject* object) const {
    for (size_t i = 0; i < size_; ++i) {
      if ((*this)[i] == object) return true;
    }
    return false;
  }

 private:
  static constexpr size_t kFew = 16;
  BaseObject* few_[kFew];
  std::vector<BaseObject*> many_;
  size_t size_ = 0;
};

AppletServices* Services(BaseObject* applet) { return applet ? GetAppletServices() : nullptr; }

// True when `object` is `node` or lies above it: making it a child of `node`
// would close a cycle that every walk of the tree would follow for ever.
bool IsSelfOrAncestor(const BaseObject* object, const BaseObject* node) {
  for (const BaseObject* p = node; p; p = p->parent()) {
    if (p == object) return true;
  }
  return false;
}

// The applet's services (its event queue, filter, materials, skin) live
// outside the tree and are freed by the applet when it ends: put into the
// tree or disposed of by a script, they would be freed twice.
bool IsAppletService(BaseObject* object) {
  AppletServices* services = Services(object->applet());
  return services && services->isService(object->applet(), object);
}
}  // namespace

const ClassInfo& BaseObject::staticClassInfo() {
  using B = BaseObject;
  static const ClassInfo info =
      ClassBuilder<B>("BaseObject")
          .property("Tag", &B::tag, &B::setTag).defaultValue(0)
          .property("tagFloat", &B::tagFloat_)
          .property("objectStyle", &B::objectStyle_).defaultValue(BaseObjectStyles{osTick, osScriptable}.bits())
          .property("onTick", &B::handler<kOnTick>, &B::setHandler<kOnTick>)
          .property("tagString", &B::str_)
          .property("onDestroy", &B::handler<kOnDestroy>, &B::setHandler<kOnDestroy>)
          .property("onCreate", &B::handler<kOnCreate>, &B::setHandler<kOnCreate>)
          .property("onCustomEvent", &B::handler<kOnCustomEvent>, &B::setHandler<kOnCustomEvent>)
          .property("tagInt", &B::tagInt_).defaultValue(0)
          .property("timeFactor", &B::timeFactor_).storedWhen(&B::timeFactorStored).floatDefault(1.0f)
          .property("designTime", &B::designTime, &B::setDesignTime).stored(false)
          .property("tagInt2", &B::tagInt2_).defaultValue(0)
          .property("fileName", &B::fileName, &B::setFileName)
          .readOnly("count", &B::count).stored(false)
          .method("update", &B::update)
          .method("dispose", &B::dispose)
          .method("scheduleDispose", &B::scheduleDispose)
          .method("deleteChildren", &B::deleteChildren)
          .method("design", &B::design)
          .method("customEvent", &B::customEvent)
          .method("findByName", &B::findByName)
          .method("findOwnByTagString", &B::findOwnByTagString)
          .method("findAllByTagString", &B::findAllByTagString)
          .method("findAllOwnByTagString", &B::findAllOwnByTagString)
          .method("findByTagString", &B::findByTagString)
          .method("children", &B::children)
          .method("getParent", &B::getParent)
          .method("bringToFront", &B::bringToFront)
          .method("sendToBack", &B::sendToBack)
          .method("moveTo", &B::moveTo)
          .method("runEffectWait", &B::runEffectWait)
          .method("removeExternal", &B::removeExternal)
          .method("runEffect", &B::runEffect)
          .method("stopEffect", &B::stopEffect)
          .method("store", &B::store)
          .build();
  return info;
}

// ---- construction and destruction ---------------------------------------------

size_t BaseObject::liveObjectCount() { return LiveObjectSet().size(); }

bool BaseObject::isLive(const BaseObject* object) { return LiveObjectSet().contains(object); }

void BaseObject::forEachLive(const std::function<void(BaseObject*)>& visit) {
  std::vector<BaseObject*> all;
  all.reserve(liveObjectCount());
  for (BaseObject* o = Live().first; o; o = o->liveNext_) all.push_back(o);
  for (BaseObject* o : all) {
    if (isLive(o)) visit(o);
  }
}

void BaseObject::Create(TObject* owner) {
  timeFactor_ = 1.0f;
  inherited::Create(nullptr);  // the tree, not the component owner, holds objects
  auto* ownerObject = dynamic_cast<BaseObject*>(owner);
  if (ownerObject && ownerObject->applet_ && !applet_) applet_ = ownerObject->applet_;
  objectStyle_ = BaseObjectStyles{osTick, osScriptable};
  if (inheritsFrom(Effect::staticClassInfo())) {
    AppletServices* services = Services(applet_);
    if (!services || !services->effectInScript(applet_)) objectStyle_.exclude(osScriptable);
  }
  if (ownerObject) ownerObject->addChild(this);
  LiveList& live = Live();
  livePrev_ = live.last;
  (live.last ? live.last->liveNext_ : live.first) = this;
  live.last = this;
  LiveObjectSet().insert(this);
  if (pendingReader && (!pendingReaderTarget || pendingReaderTarget == this)) {
    TGReader* reader = pendingReader;
    pendingReader = nullptr;
    pendingReaderTarget = nullptr;
    if (readPendingObject) {
      int64_t size = readPendingObject(reader, this);
      loadingProgress(size, size);
    }
  }
  if (!fileName_.empty() && !cacheEntry_) {
    if (AppletServices* services = Services(applet_)) cacheEntry_ = services->acquireFileEntry(applet_, fileName_);
  }
  if (designTime_ && designCreateHook) designCreateHook(this);
}

void BaseObject::Destroy() {
  if (designTime_ && designDestroyHook) designDestroyHook(this);
  AppletServices* services = Services(applet_);
  if (services && services->hasScriptEngine(applet_)) {
    if (!disposed_) runAndClearOnDestroy();
    services->removeExport(applet_, this);
    if (cacheEntry_) services->releaseFileEntry(applet_, cacheEntry_);
    cacheEntry_ = nullptr;
  }
  if (services && !fileName_.empty()) services->dropFileEntries(applet_, fileName_);

  notifyRemoval();
  if (parent_) parent_->removeChild(this);
  freeChildren();
  inherited::Destroy();
}

void BaseObject::notifyRemoval() {
  LiveList& live = Live();
  (livePrev_ ? livePrev_->liveNext_ : live.first) = liveNext_;
  (liveNext_ ? liveNext_->livePrev_ : live.last) = livePrev_;
  livePrev_ = liveNext_ = nullptr;
  LiveObjectSet().erase(this);
  if (hearsEveryRemoval_) EraseOne(EveryRemovalHearers(), this);
  // This object watches nobody any more, and nobody keeps watching it.
  for (BaseObject* target : watched_) EraseOne(target->watchers_, this);
  watched_.clear();
  std::vector<BaseObject*> watchers;
  watchers.swap(watchers_);
  for (BaseObject* watcher : watchers) EraseOne(watcher->watched_, this);
  // A receiver may free other objects: walk copies and skip the ones gone.
  RemovalAudience told;
  for (BaseObject* hearer : EveryRemovalHearers()) told.add(hearer);
  for (BaseObject* watcher : watchers) {
    if (!watcher->hearsEveryRemoval_ && !told.contains(watcher)) told.add(watcher);
  }
  for (size_t i = 0; i < told.size(); ++i) {
    if (isLive(told[i])) told[i]->objectRemoved(this);
  }
}

void BaseObject::hearEveryRemoval() {
  if (hearsEveryRemoval_) return;
  hearsEveryRemoval_ = true;
  EveryRemovalHearers().push_back(this);
}

void BaseObject::watchRemovalOf(BaseObject* target) {
  if (!target || target == this) return;
  target->watchers_.push_back(this);
  watched_.push_back(target);
}

void BaseObject::unwatchRemovalOf(BaseObject* target) {
  if (!target) return;
  auto it = std::find(watched_.begin(), watched_.end(), target);
  if (it == watched_.end()) return;
  watched_.erase(it);
  EraseOne(target->watchers_, this);
}

BaseObject::BusyScope::BusyScope(BaseObject* object) : object_(object) { ++object_->busy_; }

BaseObject::BusyScope::~BusyScope() {
  if (--object_->busy_ == 0 && object_->freeDeferred_) {
    object_->freeDeferred_ = false;
    object_->Free();
  }
}

bool BaseObject::deferFree() {
  if (busy_ == 0) return false;
  freeDeferred_ = true;
  return true;
}

WideString BaseObject::autoName() const {
  return AnsiToWide(className() + std::to_string(reinterpret_cast<intptr_t>(this)));
}

void BaseObject::Loaded() {
  inherited::Loaded();
  if (!objectStyle_.contains(osScriptable)) return;
  if (name().empty()) SetName(LowerCaseAsciiW(autoName()));
  if (AppletServices* services = Services(applet_)) services->exportObject(applet_, this);
  runHandler(WideString(onCreate()));
}

// ---- ticking and handlers --------------------------------------------------------

void BaseObject::tick(double time, double delta) {
  BusyScope self(this);
  for (int i = 0; i < count(); ++i) {
    BaseObject* child = children_[static_cast<size_t>(i)];
    if (!child->objectStyle_.contains(osTick)) continue;
    BusyScope guard(child);
    double factor = child->timeFactor_;
    child->tick(time * factor, delta * factor);
    if (count() <= i) break;
    if (!child->holdsTickHandler()) child->runHandler(WideString(child->onTick()));
  }
}

void BaseObject::runHandler(const WideString& script, std::string_view handler) {
  if (designTime_ || script.empty()) return;
  AppletServices* services = Services(applet_);
  if (!services) return;
  BusyScope guard(this);
  ScriptHandlerScope running(this, script);
  services->runNamedHandler(applet_, this, script, handler);
}

void BaseObject::runAndClearOnDestroy() {
  // Cleared before it runs, so a handler that disposes its own object again
  // cannot run it a second time.
  runHandler(handlers_.take(kOnDestroy), "onDestroy");
}

void BaseObject::update() {
  if (AppletServices* services = Services(applet_)) services->requestUpdate(applet_);
}

void BaseObject::customEvent(const WideString& text) {
  if (text.empty() || handler<kOnCustomEvent>().empty()) return;
  AppletServices* services = Services(applet_);
  if (!services) return;
  WideString previous = services->exchangeCustomText(applet_, text);
  runHandler(WideString(handler<kOnCustomEvent>()));
  services->exchangeCustomText(applet_, previous);
}

// ---- disposal ------------------------------------------------------------------------

void BaseObject::markDisposed() {
  if (disposed_) return;
  runAndClearOnDestroy();
  disposed_ = true;
  for (BaseObject* child : children_.snapshot()) child->markDisposed();
}

void BaseObject::dispose() { scheduleDispose(0.2); }

void BaseObject::scheduleDispose(double delaySeconds) {
  if (IsAppletService(this)) {
    LogError(u"dispose refused: " + AnsiToWide(className()) + u" is a service of the applet");
    return;
  }
  runAndClearOnDestroy();
  markDisposed();
  if (AppletServices* services = Services(applet_)) services->scheduleFree(applet_, this, delaySeconds);
}

// ---- children ------------------------------------------------------------------------

BaseObject* BaseObject::runningApplet() const {
  BaseObject* running = applet_;
  for (const BaseObject* o = this; o; o = o->parent_) {
    if (o->applet_ == o) running = o->applet_;
  }
  return running;
}

BaseObject* BaseObject::createChild(const ClassInfo& cls) {
  return dynamic_cast<BaseObject*>(cls.create(this));
}

BaseObject* BaseObject::insertNewChild(const ClassInfo& cls) {
  auto* child = dynamic_cast<BaseObject*>(cls.create(nullptr));
  if (child) insertChild(0, child);
  return child;
}

void BaseObject::addChild(BaseObject* child) {
  // A child's parent link says whether it is listed: no search of the list.
  if (!child || child->parent_ == this || IsSelfOrAncestor(child, this)) return;
  children_.push_back(child);
  child->setParent(this);
  if (hasState(csLoadingOwnFile)) child->setComponentStyle(csExternal);
  if (designTime_) child->setDesignTime(true);
}

void BaseObject::insertChild(int index, BaseObject* child) {
  if (!child || indexOfChild(child) >= 0 || IsSelfOrAncestor(child, this)) return;
  if (child->parent_) child->parent_->removeChild(child);
  index = std::clamp(index, 0, count());
  children_.insert(static_cast<size_t>(index), child);
  child->setParent(this);
}

void BaseObject::removeChild(BaseObject* child) {
  if (!child || child->parent_ != this) return;
  if (child->GetOwner() == this) RemoveComponent(child);
  // The reader moves each new child, the last one, under its parent.
  if (int at = indexOfChild(child); at >= 0) children_.erase(static_cast<size_t>(at));
  child->setParent(nullptr);
}

void BaseObject::deleteChildren() {
  std::vector<BaseObject*> running;
  while (!children_.empty()) {
    BaseObject* first = children_.front();
    children_.erase(0);
    if (first->applet_ == first) {
      // An applet is freed by the loop that runs it, once it has ended: asked
      // from a script (`engine.deleteChildren()`), it ends instead.
      running.push_back(first);
      if (AppletServices* services = Services(first)) services->scheduleFree(first, first, 0);
      continue;
    }
    first->setParent(nullptr);
    first->Free();
  }
  for (size_t i = 0; i < running.size(); ++i) children_.insert(i, running[i]);
}

void BaseObject::freeChildren() {
  while (!children_.empty()) {
    BaseObject* first = children_.front();
    children_.erase(0);
    first->setParent(nullptr);
    first->Free();
  }
}

void BaseObject::bringToFront() {
  if (!parent_) return;
  int at = parent_->indexOfChild(this);
  if (at < 0) return;
  parent_->children_.erase(static_cast<size_t>(at));
  parent_->children_.push_back(this);
}

void BaseObject::sendToBack() {
  if (!parent_) return;
  int at = parent_->indexOfChild(this);
  if (at < 0) return;
  parent_->children_.erase(static_cast<size_t>(at));
  parent_->children_.insert(0, this);
}

void BaseObject::moveTo(BaseObject* newParent) {
  if (newParent && IsSelfOrAncestor(this, newParent)) return;
  // The engine root stays the root, an applet under the engine root that
  // runs it, an object in the
  // tree of the applet it belongs to, and a service outside every tree:
  // elsewhere nothing would run or free it, it would outlive the applet it
  // points to, or it would be freed twice.
  if (applet_ == this || this == Engine() || (newParent && applet_ && newParent->applet_ && newParent->applet_ != applet_) ||
      IsAppletService(this)) {
    LogError(u"Can't move " + AnsiToWide(className()) + u" " + name() + u" to " +
             (newParent ? AnsiToWide(newParent->className()) + u" " + newParent->name() : WideString(u"nil")));
    return;
  }
  if (parent_) parent_->removeChild(this);
  if (newParent) newParent->addChild(this);
}

int BaseObject::indexOfChild(const BaseObject* child) const {
  // From the back: the child asked for is most often one just added.
  for (size_t i = children_.size(); i-- > 0;) {
    if (children_[i] == child) return static_cast<int>(i);
  }
  return -1;
}

void BaseObject::exchangeChildren(int a, int b) {
  if (a < 0 || b < 0 || a >= count() || b >= count()) return;
  std::swap(children_[static_cast<size_t>(a)], children_[static_cast<size_t>(b)]);
}

BaseObject* BaseObject::children(int index) {
  if (index < 0 || index >= count()) {
    LogInfo(u"ListIndexError " + AnsiToWide(std::to_string(index)));
    return nullptr;
  }
  return children_[static_cast<size_t>(index)];
}

void BaseObject::setDesignTime(bool value) {
  designTime_ = value;
  if (!value) return;
  for (BaseObject* child : children_) child->setDesignTime(true);
}

void BaseObject::design() {
  setDesignTime(true);
  if (AppletServices* services = Services(applet_)) services->showInspector(applet_, this);
}

void BaseObject::store() {
  if (fileName_.empty()) return;
  if (AppletServices* services = Services(applet_)) services->storeObject(applet_, this, fileName_);
}

// ---- streaming -----------------------------------------------------------------------

void BaseObject::GetChildren(const GetChildProc& proc, TGComponent*) {
  if (hasState(csLoading) || (componentStyle() & csTransient)) return;
  for (BaseObject* child : children_) {
    if (!(child->componentStyle() & csExternal)) proc(child);
  }
}

void BaseObject::SetParentComponent(TGComponent* parent) { moveTo(dynamic_cast<BaseObject*>(parent)); }

void BaseObject::dropAutoNames() {
  if (LowerCaseAsciiW(name()) == LowerCaseAsciiW(autoName())) SetName(WideString());
  for (BaseObject* child : children_) child->dropAutoNames();
}

void BaseObject::giveAutoNames() {
  if (name().empty()) SetName(autoName());
  for (BaseObject* child : children_) child->giveAutoNames();
}

// ---- file name -------------------------------------------------------------------------

void BaseObject::setFileName(const WideString& name) {
  if (name == fileName_) return;
  fileName_ = name;
  if (designTime_) return;
  if (proxy_) {
    loadProxyFile(name);
  } else {
    loadOwnFile(name);
  }
}

void BaseObject::loadProxyFile(const WideString& name) {
  AppletServices* services = Services(applet_);
  BaseObject* loaded = nullptr;
  if (services && loadObjectFile) loaded = loadObjectFile(services->resourceManager(applet_), name, parent_, nullptr);
  if (!loaded) {
    LogError(u"ProxyObject not loaded " + name);
    return;
  }
  LogInfo(u"ProxyObject loaded " + name);
  if (parent_) parent_->exchangeChildren(parent_->indexOfChild(loaded), parent_->indexOfChild(this));
  dispose();
}

void BaseObject::loadOwnFile(const WideString& name) {
  AppletServices* services = Services(applet_);
  if (!services || !loadObjectFile) return;
  setComponentState(csLoadingOwnFile);
  loadObjectFile(services->resourceManager(applet_), name, parent_, this);
  clearComponentState(csLoadingOwnFile);
  if (!cacheEntry_) cacheEntry_ = services->acquireFileEntry(applet_, name);
}

// ---- lookups -----------------------------------------------------------------------------

BaseObject* BaseObject::findByName(const WideString& name) {
  for (BaseObject* child : children_) {
    if (child->name() == name) return child;
    if (BaseObject* found = child->findByName(name)) return found;
  }
  return nullptr;
}

BaseObject* BaseObject::findByTagString(const WideString& text) {
  for (BaseObject* child : children_) {
    if (child->str_ == text) return child;
    if (BaseObject* found = child->findByTagString(text)) return found;
  }
  return nullptr;
}

BaseObject* BaseObject::findOwnByTagString(const WideString& text) {
  for (BaseObject* child : children_) {
    if (child->str_ == text) return child;
  }
  return nullptr;
}

void BaseObject::collectByTagString(const WideString& text, bool recurse, int& found) {
  AppletServices* services = Services(applet_);
  for (BaseObject* child : children_) {
    if (child->str_ == text && services) found = services->appendSearchResult(applet_, child);
    if (recurse) child->collectByTagString(text, true, found);
  }
}

int BaseObject::findAllByTagString(const WideString& text) {
  int found = 0;
  if (AppletServices* services = Services(applet_)) services->clearSearchResults(applet_);
  collectByTagString(text, true, found);
  return found;
}

int BaseObject::findAllOwnByTagString(const WideString& text) {
  int found = 0;
  if (AppletServices* services = Services(applet_)) services->clearSearchResults(applet_);
  collectByTagString(text, false, found);
  return found;
}

BaseObject* BaseObject::findByClassName(const std::string& className) {
  if (SameTextAscii(this->className(), className)) return this;
  for (BaseObject* child : children_) {
    if (BaseObject* found = child->findByClassName(className)) return found;
  }
  return nullptr;
}

BaseObject* BaseObject::findByClassAndName(const std::string& className, const WideString& name) {
  if (SameTextAscii(this->className(), className) && SameTextAsciiW(this->name(), name)) return this;
  for (BaseObject* child : children_) {
    if (BaseObject* found = child->findByClassAndName(className, name)) return found;
  }
  return nullptr;
}

void BaseObject::forEach(const std::function<void(void*, BaseObject*)>& callback, void* data) {
  callback(data, this);
  for (BaseObject* child : children_.snapshot()) child->forEach(callback, data);
}

BaseObject* BaseObject::findObject(BaseObject* object, bool ownOnly) {
  if (indexOfChild(object) >= 0) return object;
  if (ownOnly) return nullptr;
  for (BaseObject* child : children_) {
    if (BaseObject* found = child->findObject(object, false)) return found;
  }
  return nullptr;
}

// ---- effects -------------------------------------------------------------------------------

Effect* BaseObject::findOwnEffect(const WideString& name) {
  for (BaseObject* child : children_) {
    auto* effect = dynamic_cast<Effect*>(child);
    if (effect && SameTextAsciiW(effect->name(), name)) return effect;
  }
  return nullptr;
}

Effect* BaseObject::findEffect(const WideString& name) {
  if (!hideOwnEffects_) {
    if (Effect* own = findOwnEffect(name)) return own;
  }
  for (BaseObject* child : children_) {
    if (Effect* found = child->findEffect(name)) return found;
  }
  return nullptr;
}

bool BaseObject::hasEffect(const WideString& name) {
  if (findOwnEffect(name)) return true;
  for (BaseObject* child : children_) {
    if (child->hasEffect(name)) return true;
  }
  return false;
}

void BaseObject::runOwnEffect(const WideString& name) {
  if (hideOwnEffects_) return;
  if (Effect* effect = findOwnEffect(name)) effect->setRunning(true);
}

void BaseObject::runEffect(const WideString& name) {
  if (Effect* effect = findEffect(name)) effect->setRunning(true);
}

void BaseObject::stopEffect(const WideString& name) {
  if (Effect* effect = findEffect(name)) effect->setRunning(false);
}

void BaseObject::runEffectWait(const WideString& name) {
  Effect* effect = findEffect(name);
  if (!effect) return;
  effect->setRunning(true);
  effect->waitUntilStopped();
}
