#pragma once
// `ObjectXmlForm`: the editable XML text form of an object tree (".qxml").
//
// It is never read into objects directly: the XML is converted into an
// `ObjectBinaryStream`, which the object reader then reads; and a tree is
// stored as XML by writing its binary image first and converting that. Both
// directions work stream to stream. Writing needs no class descriptions (it
// walks the binary image); reading types every attribute through the
// description of the class its element names.
//
// Layout written (d = nesting depth, every line ends with CRLF):
//
//   <?xml version="1.0"?>
//   <Form                          2d spaces, "<", class, " "
//      name="F1"                   (named only) 2d + 3 spaces
//      left="10"                   2(d+1) + 1 spaces per simple property
//     >                            2(d+1) spaces
//     <items>                      collections, then child elements
//       <item
//        value="1"
//       />
//     </items>
//   </Form>
//
// Text values are escaped so that every file is well-formed: & < > " ' and
// every character outside 32..128 become numeric character references.
#include <cstdint>
#include <vector>

#include "core/text/text.h"

class TStream;

// Where the entries of a converted image came from: the image offset at
// which an object's record or a property entry begins, and the line of the
// text it was written on. Errors found while the image is read (a setter
// refusing its value) can then name the line.
struct SourceLine {
  int64_t offset = 0;
  int line = 0;
};
using SourceLines = std::vector<SourceLine>;

// The line of the entry that holds the image offset; 0 when none does.
int SourceLineAt(const SourceLines& lines, int64_t offset);

// Converts the binary object stream at the source's position into XML text
// written at the target's position. False when the binary data was bad (the
// reader has logged why); the target then holds what was converted so far.
bool binaryToXml(TStream& source, TStream& target);

// Converts the XML document in the source (from its position to its end)
// into a complete binary object stream at the target's position. The
// parser's errors, fatal errors and warnings go to the engine log; so do
// elements of unknown classes (which the reader replaces with stand-ins),
// unknown properties and bad values, with the file and line when the source
// is named. Raises EReadError when the text gives no document. `lines`, when
// given, receives where each record and entry of the image came from.
void xmlToBinary(TStream& source, TStream& target, const WideString& sourceName = {},
                 SourceLines* lines = nullptr);

// The escaped form of a text for an attribute value.
std::string EscapeXmlText(std::u16string_view text);
std::string EscapeXmlAnsiText(std::string_view text);
