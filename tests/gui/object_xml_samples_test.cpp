// Converting XML object text to binary gives, for every object file the
// project ships (samples, fuzz seeds) and for a table of awkward texts, the
// same image, line table and log lines as the converter that built a whole
// document did. Its results were captured once as fingerprints; a file
// edited since then (its text's fingerprint differs) is not compared.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_xml.h"
#include "core/text/exceptions.h"
#include "gui/gui_registration.h"
#include "support/log_capture.h"
#include "tests/core/object_test_classes.h"

namespace {

namespace fs = std::filesystem;

uint64_t Fingerprint(std::string_view bytes, uint64_t hash = 14695981039346656037ull) {
  for (char c : bytes) hash = (hash ^ static_cast<uint8_t>(c)) * 1099511628211ull;
  return hash;
}

// Everything a conversion gives: the image, where its entries came from, the
// log lines and whether the text gave no document.
uint64_t ConversionFingerprint(const std::string& text, const std::string& name) {
  TMemoryStream source;
  source.Write(text.data(), static_cast<int64_t>(text.size()));
  source.SetPosition(0);
  TMemoryStream target;
  target.Write("pre", 3);  // entries' offsets count from the target's start
  SourceLines lines;
  LogCapture log;
  std::string result;
  try {
    xmlToBinary(source, target, Utf8ToWide(name), &lines);
  } catch (const EReadError& error) {
    result = std::string("no document: ") + error.what();
  }
  result.append(target.Bytes().begin(), target.Bytes().end());
  for (const SourceLine& line : lines) result += "|" + std::to_string(line.offset) + ":" + std::to_string(line.line);
  for (const std::string& message : log.messages()) result += "\n" + message;
  return Fingerprint(result);
}

std::string Nested(int levels, const std::string& innermost) {
  std::string text = "<?xml version=\"1.0\"?>\n";
  for (int i = 0; i < levels; ++i) text += "<TTestNode number=\"" + std::to_string(i) + "\">\n";
  text += innermost;
  for (int i = 0; i < levels; ++i) text += "</TTestNode>\n";
  return text;
}

// Texts no sample holds: markup around the objects, code-page bytes in every
// place, broken documents, entities, namespaces, nesting past the bound.
std::map<std::string, std::string> AwkwardTexts() {
  return {
      {"late_collection",
       "<TTestList name=\"R\"><TTestNode name=\"A\" number=\"1\"/>\n<items><item value=\"1\" caption=\"x\"/>"
       "<item bogus=\"2\"/></items><TTestNode name=\"B\" bogus=\"3\"/><items><item value=\"4\"/></items></TTestList>"},
      {"entities",
       "<!DOCTYPE TTestNode [<!ENTITY e \"v&#233;&amp;w\"><!ENTITY f \"&e;!\">]>\n"
       "<TTestNode caption=\"a&e;b&amp;&#x41;&lt;&f;\" fileName=\"&f;\"/>"},
      {"entity_in_content",
       "<!DOCTYPE TTestNode [<!ENTITY kid \"<TTestNode number='5'/>\"><!ENTITY t \"text\">]>"
       "<TTestNode number=\"1\">&kid;<TTestNode number=\"2\" caption=\"&t;\"/>&kid;&t;</TTestNode>"},
      {"namespaces",
       "<a:TTestNode xmlns:a=\"urn:x\" a:number=\"3\" b:caption=\"q\" xmlns=\"urn:y\">"
       "<b:TTestNode/></a:TTestNode>"},
      {"code_page_attribute", "<TTestNode caption=\"caf\xE9 \x80\"/>"},
      {"code_page_comment", "<TTestNode number=\"1\"><!-- \xE9 --></TTestNode>"},
      {"code_page_after_root", "<TTestNode number=\"1\"/>\n<!-- \xFF -->\n"},
      {"code_page_text", "<TTestNode number=\"1\">\xE9</TTestNode>"},
      {"code_page_name", "<TTestNode n\xE9=\"1\" number=\"2\"/>"},
      {"surrogate_bytes", "<TTestNode caption=\"\xED\xA0\x80\"/>"},
      {"malformed", "<?xml version=\"1.0\"?>\n<TTestNode bogus=\"1\">\n</Other>"},
      {"malformed_code_page", "<TTestNode caption=\"\xE9\">\n<Nothing/></Other>"},
      {"empty", ""},
      {"blanks", " \r\n "},
      {"bom", "\xEF\xBB\xBF<TTestNode caption=\"caf\xC3\xA9\"/>"},
      {"declared_latin1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<TTestNode caption=\"\xE9\"/>"},
      {"declared_utf16", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<TTestNode caption=\"x\"/>"},
      {"declared_unknown", "<?xml version=\"1.0\" encoding=\"no-such\"?>\n<TTestNode caption=\"x\"/>"},
      {"utf16_start", std::string("<\0T\0/\0>\0", 8)},
      {"deep", Nested(kMaxStreamNesting + 3, "<Unknown/><TTestList><items><item value=\"1\"/></items></TTestList>\n")},
      {"at_bound", Nested(kMaxStreamNesting + 1, "")},
      {"unknown_nested",
       "<TTestNode>\r\n<Foo bar=\"1\">\r\n<TTestNode bogus=\"2\"/><items/><Baz/></Foo>\r\n"
       "<items><item/></items></TTestNode>"},
      {"items_with_children",
       "<TTestList><items a=\"1\"><item value=\"1\"><TTestNode bogus=\"1\"/></item>text<!--c--></items><items/>"
       "</TTestList>"},
      {"blank_values",
       "<TTestNode caption=\"a&#10;b\n\tc\" colors=\" tcRed,&#x20;tcBlue\" number=\" 7 \" weight=\"&#49;.5\"/>"},
      {"cdata_and_pi", "<?pi x?><TTestNode><![CDATA[<TTestNode/>]]><?p q?><TTestNode/></TTestNode><?after?>"},
      {"defaulted_attribute", "<!DOCTYPE TTestNode [<!ATTLIST TTestNode number CDATA \"7\">]><TTestNode/>"},
      {"external_subset", "<!DOCTYPE TTestNode SYSTEM \"none.dtd\"><TTestNode caption=\"a&u;b\"/>"},
      {"type_and_order",
       "<TTestNode type=\"inline\" order=\"x\">\n<TTestNode order=\"3\" type=\"inherited\"/></TTestNode>"},
      {"duplicate_attribute", "<TTestNode number=\"1\" number=\"2\"/>"},
      {"two_roots", "<TTestNode/><TTestNode/>"},
      {"control_reference", "<TTestNode caption=\"&#1;\"/>"},
  };
}

// Fingerprints of the text and of its conversion, by file or case.
struct Captured {
  uint64_t text;
  uint64_t conversion;
};
const std::map<std::string, Captured> kCaptured = {
    {"at_bound", {2151553334003525202ull, 9437019271070910380ull}},
    {"blank_values", {1787050065209156473ull, 8017106559457403922ull}},
    {"blanks", {15945269859368021948ull, 15046956142095878834ull}},
    {"bom", {11922509558922548852ull, 9191674153695377987ull}},
    {"cdata_and_pi", {11032161959289096688ull, 8809090338954960173ull}},
    {"code_page_after_root", {9941861625163340539ull, 12694597937214494727ull}},
    {"code_page_attribute", {15248028563358344288ull, 2502508711098545147ull}},
    {"code_page_comment", {8061695341141057477ull, 12694597937214494727ull}},
    {"code_page_name", {14475730680961780049ull, 17374152435268164997ull}},
    {"code_page_text", {15247698322395737436ull, 12694597937214494727ull}},
    {"control_reference", {17436589241966659766ull, 599543528986169540ull}},
    {"declared_latin1", {8207462788121051379ull, 6304775833691914364ull}},
    {"declared_unknown", {8289266054474325233ull, 9590938401065540533ull}},
    {"declared_utf16", {1910782243398641577ull, 15152560617569786903ull}},
    {"deep", {2904395678427508301ull, 16497332185917378029ull}},
    {"defaulted_attribute", {9536258292623344604ull, 2434361895834390509ull}},
    {"duplicate_attribute", {16762967853292074801ull, 656223395694354116ull}},
    {"empty", {14695981039346656037ull, 9673976192807575813ull}},
    {"entities", {5738646036014025404ull, 6342140830904341359ull}},
    {"entity_in_content", {11440115808051066299ull, 16413086373502189678ull}},
    {"examples/coin_catch/main.qxml", {11007841987730049075ull, 16749958883535602032ull}},
    {"examples/coin_catch/round.qxml", {12218871225603125710ull, 5432686415760476242ull}},
    {"examples/first_game/main.qxml", {8676454534343321459ull, 3889103879141775409ull}},
    {"examples/gui_layout/main.qxml", {3956267932243710482ull, 10674162782998733873ull}},
    {"examples/hello/main.qxml", {10709134373974740124ull, 13994431872098225379ull}},
    {"examples/input_sprite/main.qxml", {14093424725379531770ull, 7922179012202945754ull}},
    {"examples/missions/level.qxml", {11714962067535905969ull, 100888628020010904ull}},
    {"examples/missions/main.qxml", {3192506901892866017ull, 6988857205355008940ull}},
    {"examples/particles/main.qxml", {2418569878915080894ull, 15875175447825535799ull}},
    {"examples/physics/main.qxml", {9441669558001884166ull, 18244073931741834094ull}},
    {"examples/scene3d/main.qxml", {15210247500824351685ull, 11874927781722198300ull}},
    {"examples/sound/main.qxml", {14476362394397453135ull, 12292618413840045233ull}},
    {"examples/space_scene/main.qxml", {5012934117594435787ull, 3359842754867105874ull}},
    {"external_subset", {4191483939201015276ull, 382025809887581630ull}},
    {"fuzz/corpus/applet_info/applet.qxml", {8605135818221541934ull, 10383090629672989775ull}},
    {"fuzz/corpus/applet_info/odd.qxml", {13364604777521981711ull, 4972588546922786438ull}},
    {"fuzz/corpus/engine_tree/hello.qxml", {16371857385957913479ull, 4357132983524278867ull}},
    {"fuzz/corpus/engine_tree/particles.qxml", {3643158700972313169ull, 4245330251587918529ull}},
    {"fuzz/corpus/engine_tree/scene.qxml", {3047985995776575555ull, 14773457616635166765ull}},
    {"fuzz/corpus/object_xml/attributes.qxml", {1493232964033710832ull, 4079674405976707578ull}},
    {"fuzz/corpus/object_xml/base_objects.qxml", {10729842718333199280ull, 3620243347974512152ull}},
    {"fuzz/corpus/object_xml/hand_made.qxml", {9923411994258560868ull, 7766895588222183856ull}},
    {"fuzz/corpus/object_xml/tree.qxml", {17340067872658388366ull, 15540886630394392707ull}},
    {"items_with_children", {17952764262721832267ull, 16060921198033665724ull}},
    {"late_collection", {17261423115543965027ull, 6286074803815422813ull}},
    {"malformed", {4275541566338444517ull, 7060433859711571254ull}},
    {"malformed_code_page", {12312771024843385910ull, 11243349757216605221ull}},
    {"namespaces", {140093575603528883ull, 8582150106783680741ull}},
    {"surrogate_bytes", {16232697298117715782ull, 4448108015578515148ull}},
    {"two_roots", {4653307109275695193ull, 4035005429513737966ull}},
    {"type_and_order", {6837423616910861407ull, 7439598226890527435ull}},
    {"unknown_nested", {14566241303161211215ull, 6744745162637767548ull}},
    {"utf16_start", {13165355602207554076ull, 16618826401631868915ull}},
};

TEST(ObjectXmlSamples, EveryShippedFileAndAwkwardTextConvertsAsTheWholeDocumentConverterDid) {
  RegisterGuiClasses();
  RegisterObjectTestClasses();
  std::map<std::string, std::string> texts = AwkwardTexts();
  for (const char* folder : {"examples", "fuzz/corpus"}) {
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(Q_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".qxml") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      texts[fs::relative(entry.path(), Q_SOURCE_DIR).generic_string()] = text.str();
    }
  }
  int compared = 0;
  std::string capture;
  for (const auto& [name, text] : texts) {
    const uint64_t conversion = ConversionFingerprint(text, fs::path(name).filename().string());
    capture += "    {\"" + name + "\", {" + std::to_string(Fingerprint(text)) + "ull, " + std::to_string(conversion) +
               "ull}},\n";
    auto captured = kCaptured.find(name);
    if (captured == kCaptured.end() || captured->second.text != Fingerprint(text)) continue;
    ++compared;
    EXPECT_EQ(captured->second.conversion, conversion) << name;
  }
  // The awkward texts never change; most samples stay as they were.
  EXPECT_GE(compared, static_cast<int>(AwkwardTexts().size()) + 10) << "captured today:\n" << capture;
}

}  // namespace
