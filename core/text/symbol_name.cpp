#include "core/text/symbol_name.h"

#include <cstring>

namespace {
struct OperatorName {
  const char code[3];
  const char* text;
};

constexpr OperatorName kOperators[] = {
    {"nw", "new"},   {"na", "new[]"}, {"dl", "delete"}, {"da", "delete[]"}, {"ps", "+"},  {"ng", "-"},
    {"ad", "&"},     {"de", "*"},     {"co", "~"},      {"pl", "+"},        {"mi", "-"},  {"ml", "*"},
    {"dv", "/"},     {"rm", "%"},     {"an", "&"},      {"or", "|"},        {"eo", "^"},  {"aS", "="},
    {"pL", "+="},    {"mI", "-="},    {"mL", "*="},     {"dV", "/="},       {"rM", "%="}, {"aN", "&="},
    {"oR", "|="},    {"eO", "^="},    {"ls", "<<"},     {"rs", ">>"},       {"lS", "<<="}, {"rS", ">>="},
    {"eq", "=="},    {"ne", "!="},    {"lt", "<"},      {"gt", ">"},        {"le", "<="}, {"ge", ">="},
    {"ss", "<=>"},   {"nt", "!"},     {"aa", "&&"},     {"oo", "||"},       {"pp", "++"}, {"mm", "--"},
    {"cm", ","},     {"pm", "->*"},   {"pt", "->"},     {"cl", "()"},       {"ix", "[]"},
};

// A bounded reader of the mangled text and writer of the readable one; any
// form it does not know makes it fail rather than guess.
class Reader {
 public:
  Reader(const char* text, char* out, size_t capacity) : p_(text), out_(out), capacity_(capacity) {}

  bool failed() const { return failed_; }
  size_t length() const { return length_; }

  void fail() { failed_ = true; }
  bool at(char c) const { return !failed_ && *p_ == c; }
  bool take(char c) {
    if (!at(c)) return false;
    ++p_;
    return true;
  }
  bool take(const char* prefix) {
    size_t n = std::strlen(prefix);
    if (failed_ || std::strncmp(p_, prefix, n) != 0) return false;
    p_ += n;
    return true;
  }

  void write(const char* text, size_t n) {
    if (length_ + n + 1 > capacity_) {
      fail();
      return;
    }
    std::memcpy(out_ + length_, text, n);
    length_ += n;
    out_[length_] = 0;
  }
  void write(const char* text) { write(text, std::strlen(text)); }

  // <number>
  bool number(size_t& value) {
    if (failed_ || *p_ < '0' || *p_ > '9') return false;
    value = 0;
    while (*p_ >= '0' && *p_ <= '9') {
      value = value * 10 + static_cast<size_t>(*p_ - '0');
      if (value > 4096) {
        fail();
        return false;
      }
      ++p_;
    }
    return true;
  }

  // <source-name>; remembers it for constructors and destructors.
  bool sourceName() {
    size_t n = 0;
    if (!number(n)) return false;
    if (std::strlen(p_) < n) {
      fail();
      return false;
    }
    if (n >= 10 && std::strncmp(p_, "_GLOBAL__N", 10) == 0) {
      write("(anonymous namespace)");
    } else {
      write(p_, n);
      last_ = p_;
      lastLength_ = n;
    }
    p_ += n;
    return true;
  }

  // Template arguments are shown as "<...>": their grammar is large and the
  // function's own name is what a reader of the stack needs.
  bool templateArgs() {
    if (!take('I')) return false;
    write("<...>");
    int depth = 1;
    while (!failed_ && depth > 0) {
      char c = *p_;
      if (c == 0) {
        fail();
        break;
      }
      if (c >= '0' && c <= '9') {
        size_t n = 0;
        number(n);
        if (std::strlen(p_) < n) fail();
        else p_ += n;
        continue;
      }
      if (c == 'U' && p_[1] == 'l') {  // a lambda's type: Ul <parameters> E
        ++depth;
        p_ += 2;
        continue;
      }
      if (c == 'I' || c == 'N' || c == 'Z' || c == 'L' || c == 'X' || c == 'J' || c == 'F') ++depth;
      if (c == 'E') --depth;
      ++p_;
    }
    return !failed_;
  }

  bool operatorName() {
    for (const OperatorName& op : kOperators) {
      if (p_[0] == op.code[0] && p_[1] == op.code[1]) {
        p_ += 2;
        write("operator");
        write(op.text);
        return true;
      }
    }
    return false;
  }

  // One part of a name: a source name, a constructor or destructor, an
  // operator, an unnamed type or a lambda.
  bool unqualifiedName() {
    if (sourceName()) return true;
    if ((p_[0] == 'C' && (p_[1] >= '1' && p_[1] <= '5')) || (p_[0] == 'D' && p_[1] >= '0' && p_[1] <= '5')) {
      if (!last_) {
        fail();
        return false;
      }
      if (p_[0] == 'D') write("~");
      write(last_, lastLength_);
      p_ += 2;
      return true;
    }
    if (take("Ut")) {
      write("{unnamed type}");
      return skipTo('_');
    }
    if (take("Ul")) {
      write("{lambda}");
      return skipPast('E') && skipTo('_');
    }
    if (*p_ >= 'a' && *p_ <= 'z' && operatorName()) return true;
    fail();
    return false;
  }

  bool skipTo(char end) {
    while (*p_ && *p_ != end) ++p_;
    if (!take(end)) fail();
    return !failed_;
  }
  bool skipPast(char end) { return skipTo(end); }

  // N [qualifiers] <prefix>... E
  bool nestedName() {
    while (take('r') || take('V') || take('K')) {
    }
    if (!take('R')) take('O');
    bool first = true;
    while (!failed_ && !take('E')) {
      if (*p_ == 'I') {
        templateArgs();
        continue;
      }
      if (!first) write("::");
      if (first && take("St")) {
        write("std::");
      }
      first = false;
      take('L');  // an internal-linkage marker before a name
      if (!unqualifiedName()) return false;
    }
    return !failed_;
  }

  // <name>: nested, local (Z <encoding> E <entity>), std:: or plain.
  bool name() {
    if (take('N')) return nestedName();
    if (take('Z')) {
      if (!name()) return false;
      skipParametersToLocalEnd();
      if (failed_) return false;
      write("::");
      if (take('s')) {
        write("{string literal}");
        return true;
      }
      return name();
    }
    if (take("St")) write("std::");
    take('L');
    if (!unqualifiedName()) return false;
    if (*p_ == 'I') templateArgs();
    return !failed_;
  }

  // The parameters of the enclosing function of a local name run up to its E.
  void skipParametersToLocalEnd() {
    int depth = 1;
    while (!failed_ && depth > 0) {
      char c = *p_;
      if (c == 0) {
        fail();
        return;
      }
      if (c >= '0' && c <= '9') {
        size_t n = 0;
        number(n);
        if (std::strlen(p_) < n) fail();
        else p_ += n;
        continue;
      }
      if (c == 'U' && p_[1] == 'l') {  // a lambda's type: Ul <parameters> E
        ++depth;
        p_ += 2;
        continue;
      }
      if (c == 'I' || c == 'N' || c == 'Z' || c == 'L' || c == 'X' || c == 'J' || c == 'F') ++depth;
      if (c == 'E') --depth;
      ++p_;
    }
  }

 private:
  const char* p_;
  char* out_;
  size_t capacity_;
  size_t length_ = 0;
  bool failed_ = false;
  const char* last_ = nullptr;
  size_t lastLength_ = 0;
};
}  // namespace

size_t DemangleSymbolName(const char* mangled, char* out, size_t capacity) {
  if (!mangled || !out || capacity == 0) return 0;
  out[0] = 0;
  if (std::strncmp(mangled, "_Z", 2) != 0) return 0;
  Reader reader(mangled + 2, out, capacity);
  reader.name();
  if (reader.failed()) {
    out[0] = 0;
    return 0;
  }
  return reader.length();
}
