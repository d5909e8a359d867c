// The class registry and the component base: registration order and case,
// duplicate and invalid names, ownership and freeing order.
#include <gtest/gtest.h>

#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/objects/component.h"
#include "support/log_capture.h"

namespace {
std::vector<std::string>* freeOrder = nullptr;

class RegAlpha : public TGComponent {
  Q_OBJECT(RegAlpha, TGComponent)
 public:
  void Destroy() override {
    if (freeOrder) freeOrder->push_back(WideToUtf8(name()));
    inherited::Destroy();
  }
};
class RegBeta : public RegAlpha {
  Q_OBJECT(RegBeta, RegAlpha)
};
// A different class that claims an already registered name.
class RegAlphaTwin : public TGComponent {
  Q_OBJECT(RegAlphaTwin, TGComponent)
};
}  // namespace

const ClassInfo& RegAlpha::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<RegAlpha>("RegAlpha").build();
  return info;
}
const ClassInfo& RegBeta::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<RegBeta>("RegBeta").build();
  return info;
}
const ClassInfo& RegAlphaTwin::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<RegAlphaTwin>("REGALPHA").build();
  return info;
}

namespace {
size_t IndexOf(const ClassInfo& cls) {
  const auto& all = RegisteredClasses();
  return static_cast<size_t>(std::find(all.begin(), all.end(), &cls) - all.begin());
}

TEST(ClassRegistry, RegistersAncestorsAfterDescendantsAndFindsIgnoringCase) {
  LogCapture log;
  RegisterClass(RegBeta::staticClassInfo());
  EXPECT_LT(IndexOf(RegBeta::staticClassInfo()), IndexOf(RegAlpha::staticClassInfo()));
  EXPECT_LT(IndexOf(RegAlpha::staticClassInfo()), RegisteredClasses().size());
  EXPECT_EQ(GetClass("regbeta"), &RegBeta::staticClassInfo());
  EXPECT_EQ(GetClass("TGCOMPONENT"), &TGComponent::staticClassInfo());
  size_t before = RegisteredClasses().size();
  RegisterClass(RegBeta::staticClassInfo());  // already there: nothing
  EXPECT_EQ(RegisteredClasses().size(), before);
  EXPECT_TRUE(log.lines().empty());
}

TEST(ClassRegistry, DuplicateNameIsLoggedAndTheFirstStaysFound) {
  RegisterClass(RegAlpha::staticClassInfo());
  LogCapture log;
  RegisterClass(RegAlphaTwin::staticClassInfo());
  EXPECT_EQ(log.count("(i) Duplicate class REGALPHA"), 1);
  EXPECT_EQ(GetClass("RegAlpha"), &RegAlpha::staticClassInfo());
}

TEST(ClassRegistry, FindClassLogsAMissingClass) {
  RegisterClass(RegBeta::staticClassInfo());
  LogCapture log;
  EXPECT_EQ(GetClass("NoSuchThing"), nullptr);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(FindClass("NoSuchThing"), nullptr);
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(i) Class not found NoSuchThing"});
  EXPECT_EQ(TClassFinder(nullptr, true).GetClass("regbeta"), &RegBeta::staticClassInfo());
}

RegAlpha* globalRoot = nullptr;

TGComponent* FindGlobalNamedRoot(std::string_view name) {
  return SameTextAscii(name, "GlobalRoot") ? globalRoot : nullptr;
}

TEST(ClassRegistry, GlobalComponentHooks) {
  globalRoot = New<RegAlpha>();
  globalRoot->SetName(u"GlobalRoot");
  EXPECT_EQ(FindGlobalComponent("GlobalRoot"), nullptr);
  EXPECT_TRUE(IsUniqueGlobalComponentName("GlobalRoot"));
  AddFindGlobalComponent(FindGlobalNamedRoot);
  AddFindGlobalComponent(FindGlobalNamedRoot);  // once only
  ASSERT_NE(FindGlobalComponent("globalroot"), nullptr);
  EXPECT_FALSE(IsUniqueGlobalComponentName("GlobalRoot"));
  EXPECT_TRUE(IsUniqueGlobalComponentName("Other"));
  RemoveFindGlobalComponent(FindGlobalNamedRoot);
  FreeAndNil(globalRoot);
}

TEST(Component, InvalidNameIsLoggedButSet) {
  LogCapture log;
  RegAlpha* c = New<RegAlpha>();
  c->SetName(u"1abc");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) InvalidName 1abc"});
  EXPECT_EQ(c->name(), u"1abc");
  c->Free();
}

TEST(Component, DuplicateNameAmongSiblingsIsLoggedButKept) {
  RegAlpha* owner = New<RegAlpha>();
  RegAlpha* a = New<RegAlpha>(owner);
  RegAlpha* b = New<RegAlpha>(owner);
  a->SetName(u"Ship");
  LogCapture log;
  b->SetName(u"SHIP");
  EXPECT_EQ(log.messages(), std::vector<std::string>{"(e) DuplicateName SHIP"});
  EXPECT_EQ(b->name(), u"SHIP");
  log.clear();
  a->SetName(u"ship");  // its own name in other case is no duplicate of itself
  EXPECT_TRUE(log.lines().empty());
  EXPECT_EQ(owner->FindComponent(u"SHIP"), a);
  owner->Free();
}

TEST(Component, OwnerFreesOwnedComponentsLastToFirst) {
  std::vector<std::string> order;
  freeOrder = &order;
  RegAlpha* owner = New<RegAlpha>();
  owner->SetName(u"owner");
  for (const char16_t* n : {u"a", u"b", u"c"}) New<RegAlpha>(owner)->SetName(n);
  owner->Free();
  freeOrder = nullptr;
  EXPECT_EQ(order, (std::vector<std::string>{"owner", "c", "b", "a"}));
}

TEST(Component, IndexOutsideTheListLogsAndAnswersNil) {
  RegAlpha* owner = New<RegAlpha>();
  LogCapture log;
  EXPECT_EQ(owner->GetComponent(0), nullptr);
  New<RegAlpha>(owner);
  EXPECT_EQ(owner->GetComponent(1), nullptr);
  EXPECT_EQ(owner->GetComponent(-1), nullptr);
  EXPECT_EQ(log.messages(),
            (std::vector<std::string>{"(i) ListIndexError 0", "(i) ListIndexError 1", "(i) ListIndexError -1"}));
  EXPECT_NE(owner->GetComponent(0), nullptr);
  owner->Free();
}

TEST(Component, QuietRemovalClearsTheOwner) {
  RegAlpha* owner = New<RegAlpha>();
  RegAlpha* child = New<RegAlpha>(owner);
  owner->RemoveComponentQuietly(child);
  EXPECT_EQ(child->GetOwner(), nullptr);
  EXPECT_EQ(owner->ComponentCount(), 0);
  owner->Free();
  child->Free();
}
}  // namespace
