#pragma once
// Object files: one object tree on disk, as editable text (".qxml", the XML or
// keyword form) and as its compiled binary twin (".qbin", the "GFE0" stream).
// The twin is used while it is not older than the text; otherwise the text is
// converted again and the twin rewritten by the same conversion that is then
// read. A root is built in two passes, so that its own construction already
// sees its stored properties.
#include <string>

#include "core/objects/base_object.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_xml.h"

class TMemoryStream;
class TResourceMan;
class TStream;

// The object reader of object files: unknown classes become Dummy objects,
// components are made with the root's applet, references resolve through the
// applet's findByName, and errors are logged with the file's name.
class TSomeReader : public TGReader {
 public:
  TSomeReader(TStream* stream, const std::string& fileName, BaseObject* root);

  const std::string& fileName() const { return fileName_; }
  // Given for an image just converted from text: its conversion has already
  // named unknown classes with their lines, and the errors found while
  // reading (a setter refusing its value) name the line of their entry.
  void setSourceLines(const SourceLines* lines) { sourceLines_ = lines; }

 private:
  // " in file main.qxml", with " line 7" when the entry's line is known.
  WideString whereAmI() const;

  std::string fileName_;
  BaseObject* root_;
  const SourceLines* sourceLines_ = nullptr;
};

// Loads the object file `name` through the manager: into `target` when given,
// else as a new root under `parent`. With `useCache` the binary image is
// shared through the applet's cache. Answers the root, or nil.
BaseObject* LoadObjectFile(TResourceMan* manager, const WideString& name, BaseObject* parent, bool useCache,
                           BaseObject* target);
// Reads a binary object stream without a file name.
BaseObject* LoadObjectFromStream(TResourceMan* manager, TStream& binary, BaseObject* parent, BaseObject* target);
// Writes the root in the binary form.
void SaveObjectToStream(TMemoryStream& stream, TGComponent* root);
// Writes the tree as an XML object file (through a temporary file, so a failed
// store leaves the old file). False when nothing was written.
bool StoreObjectFile(TResourceMan* manager, const WideString& name, BaseObject* root);
// Converts a text object file into its ".qbin" twin.
bool CompileObjectFile(TResourceMan* manager, const WideString& name);
// Loads an object file under `parent` through the parent's applet's manager
// (or the engine's external one for a name with a drive or absolute path);
// the result is marked external.
BaseObject* NewObjectFromFile(const WideString& name, BaseObject* parent, bool useCache, TResourceMan* manager);
// A new object of a registered tree class, marked external; nil otherwise.
BaseObject* CreateObjectByClassName(const std::string& className, BaseObject* owner);

// While set, converting a text file writes no binary twin (the applet sets it
// while it loads from the program's own folder).
extern bool NoBinaryCache;

// Installs the object files' hooks into the object core; part of the core's
// registration.
void RegisterObjectFiles();
