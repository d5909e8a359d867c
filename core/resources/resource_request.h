#pragma once
// Who asks for a file. The object reader sets a request around every property
// it reads, and an object around its own call to the cache, so that a file that is not there is reported with the object and the
// property that named it ("File gmae.js not found, named by Script1.fileName"),
// not only through what goes wrong later.
#include "core/text/text.h"

class TObject;

class ResourceRequest {
 public:
  // The property text must outlive the request.
  ResourceRequest(const TObject* object, const char* property);
  ~ResourceRequest();
  ResourceRequest(const ResourceRequest&) = delete;
  ResourceRequest& operator=(const ResourceRequest&) = delete;

  // "Script1.fileName" for the innermost request (the class name stands for
  // an object without a name); empty outside any request.
  static WideString current();

 private:
  const TObject* object_;
  const char* property_;
  ResourceRequest* outer_;
};

// The line for a file that is not there: "File <name> not found", with the
// object and property of the request in progress.
WideString MissingFileMessage(const WideString& name);
