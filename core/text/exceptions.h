#pragma once
// The program's exception family. Most failures are logged and answered with
// nil; these are raised where a caller is expected to catch (a bad number in
// text, an index outside a list), and the main program logs any that escape.
#include <stdexcept>
#include <string>

#include "core/text/text.h"

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  explicit Exception(const WideString& message) : std::runtime_error(WideToUtf8(message)) {}
  WideString wideMessage() const { return Utf8ToWide(what()); }
};

class EConvertError : public Exception {
  using Exception::Exception;
};

class EListError : public Exception {
  using Exception::Exception;
};

class EReadError : public Exception {
  using Exception::Exception;
};

// Raised by the object writer for a tree it must not write (nested deeper
// than any reader follows); the old file stays.
class EWriteError : public Exception {
  using Exception::Exception;
};
