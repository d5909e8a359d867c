// The class reference in docs/ is what the program publishes: it is written
// from the class descriptions, and the committed file must be the current one.
#include <gtest/gtest.h>

#include "core/base_object.h"
#include "core/class_builder.h"
#include "core/class_registry.h"
#include "engine/program_classes.h"
#include "support/temp_dir.h"
#include "tools/class_reference/class_reference.h"

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
  for (const ClassInfo* cls : RegisteredClasses()) {
    EXPECT_NE(committed.find("\n### " + cls->name() + "\n"), std::string::npos) << cls->name();
  }
}

TEST(ClassReference, AClassShowsItsAncestorsPropertiesMethodsAndEnumerations) {
  const std::string text = ClassReferenceMarkdown({&ReferenceProbe::staticClassInfo(), &BaseObject::staticClassInfo()});
  for (const char* expected : {
           "- [ReferenceProbe](#referenceprobe)\n",
           "### ReferenceProbe\n\nAncestors: [BaseObject](#baseobject) → `TGComponent` → `TPersistent` → `TObject`.\n",
           "| `level` | Integer | none | yes | read-only |\n",
           "| `height` | Single | 1.5 | yes | read/write |\n",
           "| `mood` | [ProbeMood](#enum-probemood) | pmEager | yes | read/write |\n",
           "| `onJump` | WideString | empty | yes | read/write |\n",
           "| `secret` | Integer | - | no | read/write |\n",
           "| `jump` | Single, WideString | none |\n",
           "| `partner` | Integer | [BaseObject](#baseobject) |\n",
           "### enum ProbeMood\n\n| Value | Name |\n|---|---|\n| 0 | `pmCalm` |\n| 1 | `pmEager` |\n",
           "| `VK_ESCAPE` | 27 |\n",
       }) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  }
}
}  // namespace
