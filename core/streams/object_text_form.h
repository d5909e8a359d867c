#pragma once
// `ObjectTextForm`: the keyword text form of an object tree, read only.
//
//   object Form1: Form
//     left = 10
//     caption = 'it''s' + #8364
//     items = < item [0] value = 1 end >
//     object Button1: Button [3]
//     end
//   end
//
// It is converted into an `ObjectBinaryStream` and never written. This file
// holds the tokenizer `TParser`, that conversion, and the form dispatcher
// `convertTextForm` that every text object file passes through.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/streams/object_xml.h"
#include "core/text/text.h"

class TStream;

class TParser {
 public:
  // Token kinds; any other character is a token whose kind is its code.
  enum : int { toEOF = 0, toSymbol = 1, toString = 2, toInteger = 3, toFloat = 4, toWString = 5 };
  static constexpr int kBufferSize = 4096;

  // Receives an error message; answers true when it handled it (then
  // nothing is logged).
  using ErrorProc = std::function<bool(const std::string& message)>;

  // Reads the first token.
  explicit TParser(TStream* stream, ErrorProc onError = nullptr);
  // Steps the stream back over the text not consumed, so that it stands
  // right after the last token read.
  ~TParser();
  TParser(const TParser&) = delete;
  TParser& operator=(const TParser&) = delete;

  // Reads the next token; answers its kind.
  int advance();
  int token() const { return token_; }
  // Report when the current token is not of that kind / keyword.
  bool requireKind(int kind);
  bool requireKeyword(std::string_view keyword);
  bool isKeyword(std::string_view keyword) const;

  // The token's source characters; for an 8-bit string its value.
  std::string currentText() const;
  WideString currentWideText() const;
  // The number of a float token (without its suffix); false when it does
  // not convert.
  bool currentFloat(double& value) const;
  bool currentInt64(int64_t& value) const;
  // The suffix letter of a float token ('S', 'C', 'D') or 0.
  char floatSuffix() const { return floatSuffix_; }
  // An identifier and any ".identifier" parts that follow; advances past them.
  std::string currentDottedName();
  // Reads the hexadecimal digits of a "{...}" block (the current token is
  // the "{") and the closing brace; then reads the next token.
  std::vector<uint8_t> readHexBlock();

  int lineNumber() const { return line_; }
  int errorCount() const { return errorCount_; }
  // Reports a message: to the error event, else to the engine error log as
  // "Parse error " + message + line number.
  void error(const std::string& message);

 private:
  void readBuffer();
  void skipBlanks();
  void scanString(size_t& p);
  char at(size_t p) const { return buffer_[p]; }

  TStream* stream_;
  ErrorProc onError_;
  std::vector<char> buffer_;
  size_t bufEnd_ = 0;     // end of the bytes read into the buffer
  size_t sourceEnd_ = 0;  // the cut: end of the valid text
  size_t sourcePtr_ = 0;  // current position
  size_t tokenPtr_ = 0;   // start of the current token
  size_t tokenEnd_ = 0;   // end of the current token's text (suffix excluded)
  char saveChar_ = 0;     // the character saved where the valid text was cut
  bool ended_ = false;    // the text ran out; no more refills
  int line_ = 1;
  int errorCount_ = 0;
  int64_t origin_ = 0;  // source bytes consumed before the buffer's start
  int token_ = toEOF;
  char floatSuffix_ = 0;
  std::string string_;     // the value of a string token (8-bit)
  WideString wideString_;  // the value of a string token (wide)
};

// Converts keyword text at the source's position into a binary object stream.
void objectTextToBinary(TStream& source, TStream& target);

// The form dispatcher: text with "xml" within its first ten bytes, or whose
// first character after blanks is "<", is the XML form, anything else the
// keyword form. `sourceName` names the file in the lines that point at a
// place in it. May raise EReadError (an XML text that gives no document).
void convertTextForm(TStream& source, TStream& target, const WideString& sourceName = {},
                     SourceLines* lines = nullptr);
