// The class reference in docs/ is what the program publishes: it is written
// from the class descriptions, and the committed file must be the current one.
#include <gtest/gtest.h>

#include <sstream>

#include "core/objects/base_object.h"
#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "program/program_classes.h"
#include "support/temp_dir.h"
#include "tools/class_reference/class_reference.h"
#include "tools/class_reference/descriptions.h"
#include "tools/class_reference/new_object_values.h"

namespace {
enum class ProbeMood { calm, eager };
}
Q_DECLARE_ENUM(ProbeMood)
Q_DEFINE_ENUM(ProbeMood, "pmCalm", "pmEager")

namespace {
class ReferenceProbe : public BaseObject {
  Q_OBJECT(ReferenceProbe, BaseObject)

 public:
  int32_t level() const { return level_; }
  void jump(float height, const WideString&) { height_ = height; }
  BaseObject* partner(int32_t) const { return nullptr; }

  int32_t level_ = 3;
  float height_ = 1.5f;
  ProbeMood mood_ = ProbeMood::eager;
  WideString onJump_;
};

const ClassInfo& ReferenceProbe::staticClassInfo() {
  using P = ReferenceProbe;
  static const ClassInfo info = ClassBuilder<P>("ReferenceProbe")
                                    .readOnly("level", &P::level)
                                    .property("height", &P::height_).floatDefault(1.5f)
                                    .property("mood", &P::mood_).defaultValue(1)
                                    .property("onJump", &P::onJump_)
                                    .property("secret", &P::level_).stored(false)
                                    .method("jump", &P::jump)
                                    .method("partner", &P::partner)
                                    .build();
  return info;
}

// The first line where the two texts part, for the failure message.
std::string FirstDifference(const std::string& committed, const std::string& current) {
  size_t at = 0;
  while (at < committed.size() && at < current.size() && committed[at] == current[at]) ++at;
  const size_t start = current.rfind('\n', at == 0 ? 0 : at - 1);
  const size_t from = start == std::string::npos ? 0 : start + 1;
  return current.substr(from, current.find('\n', from) - from);
}

TEST(ClassReference, TheCommittedReferenceIsTheOneTheProgramsClassesGive) {
  RegisterProgramClasses();
  const std::string committed = TempDir::readFile(Q_SOURCE_DIR "/docs/reference/classes.md");
  const std::string current = ClassReferenceMarkdown();
  EXPECT_TRUE(committed == current)
      << "docs/reference/classes.md is stale: a published class, property or method changed. Run\n  "
      << kRegenerateClassReference << "\nand commit docs/reference/classes.md. The program now gives\n  "
      << FirstDifference(committed, current);
  for (const ClassInfo* cls : ReferenceClasses()) {
    EXPECT_NE(committed.find("\n### " + cls->name() + "\n"), std::string::npos) << cls->name();
  }
  EXPECT_NE(committed.find("\n### TSoundEngine\n"), std::string::npos) << "scripts reach it as soundEngine";
}

TEST(ClassReference, EveryPublishedClassPropertyAndMethodIsDescribedWithItsParameterNames) {
  RegisterProgramClasses();
  std::vector<std::string> problems;
  const Descriptions descriptions = Descriptions::Parse(DescriptionsFileText(), &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  for (const std::string& name : descriptions.missing(ReferenceClasses())) {
    ADD_FAILURE() << name << " has no line in tools/class_reference/descriptions.txt";
  }
}

TEST(ClassReference, AClassShowsItsAncestorsPropertiesMethodsAndEnumerations) {
  const std::vector<const ClassInfo*> classes{&ReferenceProbe::staticClassInfo(), &BaseObject::staticClassInfo()};
  const Descriptions described = Descriptions::Parse(
      "ReferenceProbe = Jumps.\nReferenceProbe.level = How high.\nReferenceProbe.jump(height, cheer) = Jumps so high.\n");
  EXPECT_EQ(described.missing({&ReferenceProbe::staticClassInfo()}),
            (std::vector<std::string>{"ReferenceProbe.height", "ReferenceProbe.mood", "ReferenceProbe.onJump",
                                      "ReferenceProbe.secret", "ReferenceProbe.partner(1 parameters)"}));
  const std::string text = ClassReferenceMarkdown(classes, described, NewObjectValues(classes));
  for (const char* expected : {
           "- [ReferenceProbe](#referenceprobe)\n",
           "### ReferenceProbe\n\nJumps.\n\nAncestors: [BaseObject](#baseobject) → `TGComponent` → `TPersistent` → `TObject`.\n",
           "| `level` | Integer | 3 | yes | read-only | How high. |\n",
           "| `height` | Single | 1.5 | yes | read/write | (not described yet) |\n",
           "| `mood` | [ProbeMood](#enum-probemood) | pmEager | yes | read/write |",
           "| `onJump` | WideString | empty | yes | read/write |",
           "| `secret` | Integer | 3 | no | read/write |",
           "| `jump(height, cheer)` | height: Single, cheer: WideString | none | Jumps so high. |\n",
           "| `partner(arg1)` | Integer | [BaseObject](#baseobject) |",
           "### enum ProbeMood\n\n| Value | Name |\n|---|---|\n| 0 | `pmCalm` |\n| 1 | `pmEager` |\n",
           "| `VK_ESCAPE` | 27 |\n",
       }) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}
}  // namespace

namespace {
TEST(ClassReference, EveryGlobalOfTheScriptingPageLinksToItsClassInTheReference) {
  const std::string page = TempDir::readFile(Q_SOURCE_DIR "/docs/scripting.md");
  const std::string reference = TempDir::readFile(Q_SOURCE_DIR "/docs/reference/classes.md");
  const size_t table = page.find("| Global | Class |");
  ASSERT_NE(table, std::string::npos);
  std::istringstream rows(page.substr(table));
  std::string row;
  int globals = 0;
  for (std::getline(rows, row); std::getline(rows, row) && row.rfind("|", 0) == 0;) {
    if (row.rfind("|---", 0) == 0) continue;
    ++globals;
    const size_t link = row.find("](reference/classes.md#");
    ASSERT_NE(link, std::string::npos) << row;
    const std::string className = row.substr(row.rfind('[', link) + 1, link - row.rfind('[', link) - 1);
    EXPECT_NE(reference.find("\n### " + className + "\n"), std::string::npos) << row;
  }
  EXPECT_EQ(globals, 11) << "the table lists every global";
}
}  // namespace
