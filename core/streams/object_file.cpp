#include "core/streams/object_file.h"

#include <memory>

#include "core/objects/applet_services.h"
#include "core/objects/class_registry.h"
#include "core/objects/engine.h"
#include "core/resources/ext_resource_man.h"
#include "core/resources/folder_resource_man.h"
#include "core/resources/resource_man.h"
#include "core/resources/resource_path.h"
#include "core/resources/stream.h"
#include "core/streams/object_file_seams.h"
#include "core/streams/object_text_form.h"
#include "core/streams/object_writer.h"
#include "core/streams/object_xml.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"

bool NoBinaryCache = false;

namespace {
constexpr int kBufferSize = 4096;

// The name being loaded; the root read from a file gets it as its fileName.
std::string currentFileName;
// Set when the main file's root took over the manager it was read through.
bool managerAdopted = false;

struct StreamDeleter {
  void operator()(TStream* s) const {
    if (s) s->Free();
  }
};
using StreamPtr = std::unique_ptr<TStream, StreamDeleter>;

const ClassInfo& StandInClass() {
  const ClassInfo* dummy = GetClass("Dummy");
  return dummy ? *dummy : BaseObject::staticClassInfo();
}

// A class that may stand where the object tree expects a node. The engine
// root is one per run: a second one would take the program's place.
bool IsTreeClass(const ClassInfo* cls) {
  return cls && !cls->isAbstract() && cls->inheritsFrom(BaseObject::staticClassInfo()) &&
         !cls->inheritsFrom(SomeEngine::staticClassInfo());
}

StreamPtr Open(TResourceMan* manager, const WideString& name, int32_t mode) {
  try {
    return StreamPtr(manager->createStream(name, mode));
  } catch (const Exception&) {
    return nullptr;  // a file the system refuses to open is a missing file here
  }
}

bool WriteWhole(TResourceMan* manager, const WideString& name, const std::vector<uint8_t>& bytes) {
  StreamPtr out = Open(manager, name, fmCreate);
  if (!out) return false;
  bool ok = out->Write(bytes.data(), static_cast<int64_t>(bytes.size())) == static_cast<int64_t>(bytes.size());
  if (auto* file = dynamic_cast<TFileStream*>(out.get())) ok = file->Close() && ok;
  return ok;
}

// The binary image of a text object file, converted in memory; empty on failure.
std::vector<uint8_t> ConvertText(TStream& text, const WideString& textName, SourceLines* lines = nullptr) {
  TMemoryStream binary;
  try {
    convertTextForm(text, binary, textName, lines);
  } catch (const Exception& e) {
    LogError(e.wideMessage() + u" in file " + textName);
    return {};
  }
  return binary.Bytes();
}

// Built-in resources and archives never hold a twin; a folder that refuses
// one is worth a line.
bool KeepsFiles(TResourceMan* manager) { return ResourceManagerKeepsFiles(manager); }

bool TwinIsOutdated(TResourceMan* manager, const WideString& text, const WideString& twin) {
  std::optional<double> twinTime = manager->FileTime(twin);
  std::optional<double> textTime = manager->FileTime(text);
  return twinTime && textTime && *twinTime < *textTime;
}

// ---- reading a binary image ------------------------------------------------------------

int64_t ReadPendingRoot(TGReader* reader, BaseObject* object) {
  reader->fetchRoot(object);
  return reader->bytesLeft() + reader->position();
}

// " in file main.qxml" while a named file is read; empty otherwise.
WideString InFile(const std::string& fileName) {
  return fileName.empty() ? WideString() : u" in file " + Utf8ToWide(fileName);
}

// Pass 1: the root's class from the stream's head; the stream is set back.
const ClassInfo* PeekRootClass(TStream& stream, bool reportUnknown) {
  const int64_t start = stream.Position();
  std::string className;
  char signature[4];
  if (stream.ReadExact(signature, 4)) {
    TGReader peek(&stream, kBufferSize);
    uint8_t flags;
    int32_t position;
    peek.fetchPrefix(flags, position);
    className = peek.fetchShortString();
  }
  stream.SetPosition(start);
  const ClassInfo* cls = GetClass(className);
  if (IsTreeClass(cls)) return cls;
  if (cls) {
    LogError(u"Can't found class " + AnsiToWide(className) + InFile(currentFileName));
  } else if (reportUnknown && !className.empty()) {
    LogError(u"Class " + AnsiToWide(className) + u" not found." + InFile(currentFileName));
  }
  return &StandInClass();
}

// Hands a reader to the next root's construction and, when done, gives back
// the one pending before: a file loaded while another root is being made (an
// applet loading its skin in its own construction) must not take that root's
// read away.
class PendingReadScope {
 public:
  PendingReadScope(TGReader* reader, BaseObject* target)
      : savedReader_(BaseObject::pendingReader), savedTarget_(BaseObject::pendingReaderTarget) {
    BaseObject::pendingReader = reader;
    BaseObject::pendingReaderTarget = target;
  }
  ~PendingReadScope() { restore(); }
  PendingReadScope(const PendingReadScope&) = delete;
  PendingReadScope& operator=(const PendingReadScope&) = delete;

  void restore() {
    BaseObject::pendingReader = savedReader_;
    BaseObject::pendingReaderTarget = savedTarget_;
  }

 private:
  TGReader* savedReader_;
  BaseObject* savedTarget_;
};

BaseObject* ReadNewRoot(TResourceMan* manager, TStream& stream, BaseObject* parent, bool handOverManager,
                        const SourceLines* converted) {
  const int64_t start = stream.Position();
  const ClassInfo* cls = PeekRootClass(stream, !converted);
  auto* root = dynamic_cast<BaseObject*>(cls->allocate());
  if (!root) return nullptr;
  if (handOverManager && root->adoptResourceManager(manager)) managerAdopted = true;
  root->setFileNameQuiet(Utf8ToWide(currentFileName));
  {
    // Pass 2: the root's construction reads its own record through the
    // pending reader, so its constructor already sees what was stored.
    TSomeReader reader(&stream, currentFileName, root);
    reader.setSourceLines(converted);
    PendingReadScope pending(&reader, root);
    try {
      root->Create(parent);
    } catch (...) {
      pending.restore();
      root->Free();
      throw;
    }
  }
  stream.SetPosition(start);
  return root;
}

// `converted`: the image was just converted from text, whose conversion has
// named its unknown classes already; where its entries came from.
BaseObject* ReadBinary(TResourceMan* manager, TStream& stream, BaseObject* parent, BaseObject* target,
                       bool handOverManager, const SourceLines* converted = nullptr) {
  BaseObject* result = nullptr;
  if (target) {
    TSomeReader reader(&stream, currentFileName, target);
    reader.setSourceLines(converted);
    reader.fetchRoot(target);
    result = target;
  } else {
    result = ReadNewRoot(manager, stream, parent, handOverManager, converted);
  }
  if (result && parent && parent->indexOfChild(result) < 0) parent->addChild(result);
  return result;
}

// An empty image is a text that gave nothing: an empty file says so here; a
// failed conversion has said why already.
BaseObject* ReadImage(TResourceMan* manager, const std::vector<uint8_t>& image, const SourceLines& lines,
                      BaseObject* parent, BaseObject* target, bool handOverManager, const WideString& textName,
                      bool sourceEmpty) {
  if (image.empty()) {
    if (sourceEmpty) LogError(u"Can't load " + textName + u" file is empty");
    return nullptr;
  }
  TReadOnlyMemoryStream stream(image.data(), static_cast<int64_t>(image.size()));
  return ReadBinary(manager, stream, parent, target, handOverManager, &lines);
}

BaseObject* AppletOfParent(BaseObject* parent) { return parent ? parent->applet() : nullptr; }

// ---- the two paths ----------------------------------------------------------------------

BaseObject* LoadFromText(TResourceMan* manager, const WideString& text, const WideString& twin, BaseObject* parent,
                         bool useCache, BaseObject* target, bool handOverManager) {
  AppletServices* services = GetAppletServices();
  BaseObject* applet = AppletOfParent(parent);
  if (useCache && services && applet) {
    if (StreamPtr cached{services->cachedObjectImage(applet, manager, text)}) {
      return ReadBinary(manager, *cached, parent, target, handOverManager);
    }
  }
  StreamPtr source = Open(manager, text, fmOpenRead);
  if (!source) return nullptr;
  // Converted in memory first, so a failed conversion never leaves a broken twin.
  const uint64_t errorsBefore = LogErrorCount();
  const bool sourceEmpty = source->Size() == 0;
  SourceLines lines;
  std::vector<uint8_t> image = ConvertText(*source, text, &lines);
  source.reset();
  if (useCache && services && applet && !image.empty()) services->cacheObjectImage(applet, manager, text, image);
  BaseObject* result = ReadImage(manager, image, lines, parent, target, handOverManager, text, sourceEmpty);
  // A file whose conversion or reading logged errors keeps no twin: the next
  // run converts it again and reports the same lines, until it is mended.
  const bool faulty = LogErrorCount() != errorsBefore;
  if (!image.empty() && !faulty && !NoBinaryCache && !WriteWhole(manager, twin, image) && KeepsFiles(manager)) {
    LogInfo(u"Binary cache " + twin + u" not written");
  }
  return result;
}

BaseObject* LoadFromBinary(TResourceMan* manager, const WideString& text, const WideString& twin, BaseObject* parent,
                           bool useCache, BaseObject* target, bool handOverManager) {
  AppletServices* services = GetAppletServices();
  BaseObject* applet = AppletOfParent(parent);
  if (useCache && services && applet) {
    if (StreamPtr cached{services->cachedObjectImage(applet, manager, text)}) {
      return ReadBinary(manager, *cached, parent, target, handOverManager);
    }
  }
  StreamPtr source = Open(manager, twin, fmOpenRead);
  if (!source) return nullptr;
  if (useCache && services && applet) {
    TMemoryStream copy;
    copy.CopyFrom(*source);
    services->cacheObjectImage(applet, manager, text, copy.Bytes());
    copy.SetPosition(0);
    return ReadBinary(manager, copy, parent, target, handOverManager);
  }
  return ReadBinary(manager, *source, parent, target, handOverManager);
}

BaseObject* LoadObjectFileImpl(TResourceMan* manager, const WideString& name, BaseObject* parent, bool useCache,
                               BaseObject* target, bool handOverManager) {
  if (!manager) return nullptr;
  currentFileName = WideToUtf8(name);
  const WideString text = StripExtensionW(name) + u".qxml";
  const WideString twin = StripExtensionW(name) + u".qbin";
  BaseObject* result = nullptr;
  try {
    const bool textExists = manager->streamExists(text);
    const bool twinExists = manager->streamExists(twin);
    const bool useText = (textExists && !twinExists) || (twinExists && TwinIsOutdated(manager, text, twin));
    result = useText ? LoadFromText(manager, text, twin, parent, useCache, target, handOverManager)
                     : LoadFromBinary(manager, text, twin, parent, useCache, target, handOverManager);
  } catch (const std::exception& e) {
    // A load that fails gives what was built so far; the reader has logged why.
    LogError(Utf8ToWide(e.what()) + u" in file " + name);
  }
  // Nested loads overwrite the name; the outermost load clears it at its end.
  currentFileName.clear();
  return result;
}

TGComponent* NoGlobalComponent(std::string_view) { return nullptr; }
}  // namespace

// ---- the reader of object files -------------------------------------------------------------

TSomeReader::TSomeReader(TStream* stream, const std::string& fileName, BaseObject* root)
    : TGReader(stream, kBufferSize), fileName_(fileName), root_(root) {
  events().onError = [this](const WideString& message) {
    LogError(message + whereAmI());
    return true;
  };
  events().onFindClass = [this](const std::string& className, const ClassInfo*& cls) {
    if (IsTreeClass(cls)) return;
    if (cls) {
      LogError(u"Can't found class " + AnsiToWide(className) + InFile(fileName_));
    } else if (!sourceLines_) {
      LogError(u"Class " + AnsiToWide(className) + u" not found." + InFile(fileName_));
    }
    cls = &StandInClass();
  };
  events().onCreateComponent = [this](const ClassInfo& cls) -> TGComponent* {
    auto* object = dynamic_cast<BaseObject*>(cls.allocate());
    if (!object) return nullptr;
    if (root_ && root_->applet()) object->setApplet(root_->applet());
    object->Create(root_);
    if (root_) root_->loadingProgress(position(), position() + bytesLeft());
    return object;
  };
  events().onFindComponentInstance = [this](TGComponent*, const std::string& name) -> TObject* {
    // Any named object of the applet; a tree outside an applet searches itself.
    BaseObject* scope = root_ && root_->applet() ? root_->applet() : root_;
    return scope ? scope->findByName(AnsiToWide(name)) : nullptr;
  };
}

WideString TSomeReader::whereAmI() const {
  const int line = sourceLines_ ? SourceLineAt(*sourceLines_, position()) : 0;
  return u" in file " + Utf8ToWide(fileName_) + (line > 0 ? u" line " + AnsiToWide(std::to_string(line)) : u"");
}

// ---- public operations ------------------------------------------------------------------------

BaseObject* LoadObjectFile(TResourceMan* manager, const WideString& name, BaseObject* parent, bool useCache,
                           BaseObject* target) {
  return LoadObjectFileImpl(manager, name, parent, useCache, target, false);
}

BaseObject* LoadAppletObjectFile(TResourceMan* manager, const WideString& fileName, BaseObject* parent) {
  managerAdopted = false;
  BaseObject* applet = LoadObjectFileImpl(manager, fileName, parent, false, nullptr, true);
  // Only an applet takes the manager over; otherwise nobody owns it.
  if (!managerAdopted) manager->Free();
  managerAdopted = false;
  return applet;
}

BaseObject* LoadObjectFromStream(TResourceMan* manager, TStream& binary, BaseObject* parent, BaseObject* target) {
  try {
    return ReadBinary(manager, binary, parent, target, false);
  } catch (const std::exception& e) {
    LogError(Utf8ToWide(e.what()));
    return nullptr;
  }
}

void SaveObjectToStream(TMemoryStream& stream, TGComponent* root) {
  TGWriter writer(&stream, kBufferSize);
  writer.emitRoot(root);
}

bool StoreObjectFile(TResourceMan* manager, const WideString& name, BaseObject* root) {
  if (!manager || !root) return false;
  TMemoryStream binary;
  root->dropAutoNames();
  try {
    SaveObjectToStream(binary, root);
  } catch (const Exception& e) {
    // Nothing was written: the old file stays as it was.
    root->giveAutoNames();
    LogError(u"Can't store " + name + u": " + e.wideMessage());
    return false;
  } catch (...) {
    root->giveAutoNames();
    throw;
  }
  root->giveAutoNames();
  binary.SetPosition(0);
  TMemoryStream xml;
  if (!binaryToXml(binary, xml)) {
    LogError(u"Can't store " + name + u": the tree can't be written as XML");
    return false;
  }
  StreamPtr out = Open(manager, name, fmCreate);
  if (!out) {
    LogError(u"Can't store " + name + u": the file can't be created there (read-only folder or archive)");
    return false;
  }
  bool ok = out->Write(xml.Memory(), xml.Size()) == xml.Size();
  if (auto* file = dynamic_cast<TFileStream*>(out.get())) ok = file->Close() && ok;
  if (!ok) LogError(u"Can't store " + name + u": writing the file failed");
  return ok;
}

bool CompileObjectFile(TResourceMan* manager, const WideString& name) {
  if (!manager) return false;
  // Given the twin's own name, compile from its text: never truncate the source.
  const WideString text = SameTextAsciiW(WideString(u".qbin"), AnsiToWide(ExtractFileExt(WideToUtf8(name))))
                              ? StripExtensionW(name) + u".qxml"
                              : name;
  StreamPtr source = Open(manager, text, fmOpenRead);
  if (!source) return false;
  std::vector<uint8_t> image = ConvertText(*source, text);
  if (image.empty()) return false;
  return WriteWhole(manager, StripExtensionW(text) + u".qbin", image);
}

BaseObject* NewObjectFromFile(const WideString& name, BaseObject* parent, bool useCache, TResourceMan* manager) {
  AppletServices* services = GetAppletServices();
  BaseObject* applet = AppletOfParent(parent);
  if (!manager && services && applet) manager = services->resourceManager(applet);
  if (name.find(u"main.qxml") == WideString::npos && IsAbsoluteResourceName(name)) {
    if (SomeEngine* engine = Engine()) manager = reinterpret_cast<TResourceMan*>(engine->externalResourceManager());
    LogInfo(u"Use external resource for file " + name);
  }
  if (!manager) {
    LogError(u"Application's resource manager not exists");
    return nullptr;
  }
  const WideString base = StripExtensionW(name);
  if (!manager->streamExists(base + u".qxml") && !manager->streamExists(base + u".qbin")) {
    LogError(u"file " + name + u" file not exists");
    return nullptr;
  }
  BaseObject* result = LoadObjectFile(manager, name, parent, useCache, nullptr);
  if (result) result->setComponentStyle(csExternal);
  return result;
}

BaseObject* CreateObjectByClassName(const std::string& className, BaseObject* owner) {
  const ClassInfo* cls = FindClass(className);
  if (!IsTreeClass(cls)) {
    LogError(u"Can't found class " + AnsiToWide(className));
    return nullptr;
  }
  auto* object = dynamic_cast<BaseObject*>(cls->create(owner));
  if (object) object->setComponentStyle(csExternal);
  return object;
}

void RegisterObjectFiles() {
  BaseObject::readPendingObject = ReadPendingRoot;
  BaseObject::loadObjectFile = [](TResourceMan* manager, const WideString& name, BaseObject* parent,
                                  BaseObject* target) { return LoadObjectFile(manager, name, parent, false, target); };
  AddFindGlobalComponent(NoGlobalComponent);
}
