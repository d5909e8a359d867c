// Published class descriptions: lookups, ordering, kinds, defaults, conversions
// and method calls, on a test class declared the way every system class is.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/objects/component.h"

namespace {

enum TestShade { tsLight, tsMedium, tsDark };
}  // namespace
Q_DECLARE_ENUM(TestShade)
Q_DEFINE_ENUM(TestShade, "tsLight", "tsMedium", "tsDark")

namespace {
using TestShades = SetOf<TestShade>;

class TestPart : public TSomePersistent {
  Q_OBJECT(TestPart, TSomePersistent)
};

class TestWidget : public TGComponent {
  Q_OBJECT(TestWidget, TGComponent)

 public:
  int32_t count = 7;
  float ratio = 0;
  TestShade shade = tsMedium;
  TestShades shades;
  WideString caption;
  AnsiString sound;
  TestPart* part = nullptr;
  bool flag = false;

  int32_t width() const { return width_; }
  void setWidth(int32_t w) { width_ = w < 0 ? 0 : w; }
  WideString describe(int32_t times, const WideString& text) {
    WideString out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
  }
  float half(float value) const { return value / 2; }
  void keep(const WideString& text) {
    kept = text;
    keptAddress = &text;
  }
  WideString kept;
  const WideString* keptAddress = nullptr;
  bool captionStored() const { return caption != u"skip"; }

 private:
  int32_t width_ = 0;
};

class TestWideWidget : public TestWidget {
  Q_OBJECT(TestWideWidget, TestWidget)

 public:
  float width2 = 0;
};
}  // namespace

const ClassInfo& TestPart::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TestPart>("TestPart").build();
  return info;
}

const ClassInfo& TestWidget::staticClassInfo() {
  using T = TestWidget;
  static const ClassInfo info = ClassBuilder<T>("TestWidget")
                                    .property("count", &T::count).defaultValue(7)
                                    .property("ratio", &T::ratio)
                                    .property("shade", &T::shade).defaultValue(tsMedium)
                                    .property("shades", &T::shades).defaultValue(0)
                                    .property("caption", &T::caption).storedWhen(&T::captionStored)
                                    .property("sound", &T::sound)
                                    .property("part", &T::part)
                                    .property("width", &T::width, &T::setWidth)
                                    .property("flag", &T::flag).stored(false)
                                    .method("describe", &T::describe)
                                    .method("half", &T::half)
                                    .method("keep", &T::keep)
                                    .build();
  return info;
}

const ClassInfo& TestWideWidget::staticClassInfo() {
  static const ClassInfo info =
      ClassBuilder<TestWideWidget>("TestWideWidget").property("Width", &TestWideWidget::width2).build();
  return info;
}

namespace {
struct WidgetDeleter {
  void operator()(TObject* o) const { o->Free(); }
};

TEST(ClassInfo, ListsPropertiesAncestorsFirstInDeclarationOrder) {
  const auto& props = TestWidget::staticClassInfo().properties();
  std::vector<std::string> names;
  for (const PropInfo* p : props) names.push_back(p->name);
  EXPECT_EQ(names, (std::vector<std::string>{"Name", "Tag", "count", "ratio", "shade", "shades", "caption",
                                              "sound", "part", "width", "flag"}));
  for (size_t i = 0; i < props.size(); ++i) EXPECT_EQ(props[i]->position, static_cast<int>(i));
}

TEST(ClassInfo, FindsPropertiesInAnyCaseThroughAncestors) {
  const ClassInfo& cls = TestWidget::staticClassInfo();
  ASSERT_NE(cls.findProperty("WIDTH"), nullptr);
  EXPECT_EQ(cls.findProperty("WIDTH")->name, "width");
  EXPECT_EQ(cls.findProperty("name")->declaredBy, &TGComponent::staticClassInfo());
  EXPECT_EQ(cls.findProperty("nosuch"), nullptr);
  EXPECT_EQ(cls.findProperty("count", {TypeKind::Float}), nullptr);
  EXPECT_NE(cls.findProperty("ratio", {TypeKind::Float}), nullptr);
}

TEST(ClassInfo, DescendantPropertyHidesAncestorsOfSameName) {
  const ClassInfo& cls = TestWideWidget::staticClassInfo();
  const PropInfo* width = cls.findProperty("width");
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->kind(), TypeKind::Float);
  EXPECT_EQ(cls.properties().size(), TestWidget::staticClassInfo().properties().size());
  EXPECT_EQ(width->position, TestWidget::staticClassInfo().findProperty("width")->position);
}

TEST(ClassInfo, KindsFollowTheDeclaredTypes) {
  const ClassInfo& cls = TestWidget::staticClassInfo();
  EXPECT_EQ(cls.findProperty("count")->kind(), TypeKind::Integer);
  EXPECT_EQ(cls.findProperty("shade")->kind(), TypeKind::Enumeration);
  EXPECT_EQ(cls.findProperty("shades")->kind(), TypeKind::Set);
  EXPECT_EQ(cls.findProperty("caption")->kind(), TypeKind::WideText);
  EXPECT_EQ(cls.findProperty("sound")->kind(), TypeKind::AnsiText);
  EXPECT_EQ(cls.findProperty("part")->kind(), TypeKind::Object);
  EXPECT_EQ(cls.findProperty("part")->type.objectClass(), &TestPart::staticClassInfo());
  EXPECT_EQ(cls.findProperty("flag")->type.enumInfo, &BooleanEnumInfo());
  EXPECT_EQ(cls.properties({TypeKind::WideText, TypeKind::AnsiText}).size(), 3u);
}

TEST(ClassInfo, EnumerationNamesConvertBothWays) {
  const EnumInfo& shade = EnumTraits<TestShade>::info();
  EXPECT_EQ(shade.nameOf(2), "tsDark");
  EXPECT_EQ(shade.valueOf("TSMEDIUM"), 1);
  EXPECT_EQ(shade.valueOf("tsBright"), -1);
  EXPECT_EQ(shade.nameOf(3), "");
  uint32_t bits = 0;
  ASSERT_TRUE(TextToSet(shade, u"[tsLight, TSDARK]", bits));
  EXPECT_EQ(bits, 0b101u);
  EXPECT_EQ(SetToText(shade, bits), u"[tsLight,tsDark]");
  EXPECT_FALSE(TextToSet(shade, u"[tsLight,tsNone]", bits));
}

TEST(ClassInfo, StoredAndDefaultRulesFollowTheWritersTable) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const ClassInfo& cls = w->classInfo();
  EXPECT_TRUE(IsDefaultPropValue(w.get(), *cls.findProperty("count")));
  w->count = 8;
  EXPECT_FALSE(IsDefaultPropValue(w.get(), *cls.findProperty("count")));
  // An ordinal without a declared default is always written.
  EXPECT_FALSE(IsDefaultPropValue(w.get(), *cls.findProperty("width")));
  EXPECT_TRUE(IsDefaultPropValue(w.get(), *cls.findProperty("ratio")));
  EXPECT_TRUE(IsDefaultPropValue(w.get(), *cls.findProperty("caption")));
  EXPECT_TRUE(IsDefaultPropValue(w.get(), *cls.findProperty("part")));
  EXPECT_FALSE(IsStoredProp(w.get(), *cls.findProperty("flag")));
  w->caption = u"skip";
  EXPECT_FALSE(IsStoredProp(w.get(), *cls.findProperty("caption")));
  w->caption = u"keep";
  EXPECT_TRUE(IsStoredProp(w.get(), *cls.findProperty("caption")));
}

TEST(ClassInfo, TypedAccessGoesThroughAccessors) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const ClassInfo& cls = w->classInfo();
  SetOrdProp(w.get(), *cls.findProperty("width"), -5);
  EXPECT_EQ(w->width(), 0);  // the setter clamps
  SetOrdProp(w.get(), *cls.findProperty("width"), 40);
  EXPECT_EQ(GetOrdProp(w.get(), *cls.findProperty("width")), 40);
  SetFloatProp(w.get(), *cls.findProperty("ratio"), 0.25f);
  EXPECT_EQ(w->ratio, 0.25f);
  SetWideStrProp(w.get(), *cls.findProperty("caption"), u"Héllo");
  EXPECT_EQ(GetStrProp(w.get(), *cls.findProperty("caption")), "H\xE9llo");
  SetStrProp(w.get(), *cls.findProperty("sound"), "boom.wav");
  EXPECT_EQ(w->sound, "boom.wav");
  // An object of the wrong class is refused.
  std::unique_ptr<TestWidget, WidgetDeleter> other(New<TestWidget>());
  SetObjectProp(w.get(), *cls.findProperty("part"), other.get());
  EXPECT_EQ(w->part, nullptr);
}

TEST(ClassInfo, TextAndVariantConversionsReportFailure) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const ClassInfo& cls = w->classInfo();
  EXPECT_TRUE(SetPropText(w.get(), *cls.findProperty("shade"), u"tsdark"));
  EXPECT_EQ(w->shade, tsDark);
  EXPECT_EQ(GetPropText(w.get(), *cls.findProperty("shade")), u"tsDark");
  EXPECT_FALSE(SetPropText(w.get(), *cls.findProperty("shade"), u"purple"));
  EXPECT_EQ(w->shade, tsDark);
  EXPECT_FALSE(SetPropText(w.get(), *cls.findProperty("count"), u"12x"));
  EXPECT_EQ(w->count, 7);
  EXPECT_TRUE(SetPropText(w.get(), *cls.findProperty("ratio"), u"1.5"));
  EXPECT_EQ(GetPropText(w.get(), *cls.findProperty("ratio")), u"1.500000000000000");
  EXPECT_TRUE(SetPropVariant(w.get(), *cls.findProperty("flag"), Variant(true)));
  EXPECT_TRUE(w->flag);
  EXPECT_EQ(GetPropVariant(w.get(), *cls.findProperty("flag")), Variant(true));
  EXPECT_TRUE(SetPropText(w.get(), *cls.findProperty("shades"), u"[tsMedium]"));
  EXPECT_EQ(w->shades.bits(), 0b010u);
}

TEST(ClassInfo, MethodsAreCalledByNameWithConvertedArguments) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const MethodInfo* describe = w->classInfo().findMethod("DESCRIBE");
  ASSERT_NE(describe, nullptr);
  ASSERT_EQ(describe->params.size(), 2u);
  EXPECT_EQ(describe->params[0].kind, TypeKind::Integer);
  std::vector<Variant> args{Variant(WideString(u"3")), Variant(WideString(u"ab"))};
  EXPECT_EQ(describe->invoke(w.get(), args), Variant(WideString(u"ababab")));
  const MethodInfo* half = w->classInfo().findMethod("half");
  std::vector<Variant> one{Variant(int32_t(5))};
  EXPECT_EQ(half->invoke(w.get(), one).toDouble(), 2.5);
  std::vector<Variant> bad{Variant(WideString(u"five"))};
  EXPECT_THROW(half->invoke(w.get(), bad), EConvertError);
  EXPECT_THROW(half->invoke(w.get(), {}), EConvertError);
}

TEST(ClassInfo, InheritanceIsKnownAtEveryLevel) {
  const ClassInfo& wide = TestWideWidget::staticClassInfo();
  const ClassInfo& widget = TestWidget::staticClassInfo();
  EXPECT_TRUE(wide.inheritsFrom(wide));
  EXPECT_TRUE(wide.inheritsFrom(widget));
  EXPECT_TRUE(wide.inheritsFrom(TGComponent::staticClassInfo()));
  EXPECT_TRUE(wide.inheritsFrom(TObject::staticClassInfo()));
  EXPECT_FALSE(widget.inheritsFrom(wide));
  // A class at the same depth in another line is no ancestor.
  EXPECT_FALSE(wide.inheritsFrom(TestPart::staticClassInfo()));
  EXPECT_FALSE(TestPart::staticClassInfo().inheritsFrom(widget));
  EXPECT_FALSE(TObject::staticClassInfo().inheritsFrom(widget));
  // Every class in the line of the parent pointers, and no other, is an ancestor.
  for (const ClassInfo* c = &wide; c; c = c->parent()) EXPECT_TRUE(wide.inheritsFrom(*c)) << c->name();
}

TEST(ClassInfo, MethodCallsFillAResultOnlyWhereOneIsWanted) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const MethodInfo* half = w->classInfo().findMethod("half");
  std::vector<Variant> one{Variant(int32_t(5))};
  Variant result(int32_t(-1));
  half->invoke.call(w.get(), one, &result);
  EXPECT_EQ(result, Variant(2.5));
  half->invoke.call(w.get(), one, nullptr);  // the result is dropped
  // A method without result leaves the caller's value alone and answers empty.
  const MethodInfo* keep = w->classInfo().findMethod("keep");
  EXPECT_FALSE(keep->hasResult);
  std::vector<Variant> text{Variant(WideString(u"abc"))};
  keep->invoke.call(w.get(), text, &result);
  EXPECT_EQ(result, Variant(2.5));
  EXPECT_TRUE(keep->invoke(w.get(), text).isEmpty());
  EXPECT_THROW(keep->invoke.call(w.get(), {}, nullptr), EConvertError);
}

TEST(ClassInfo, TextTakenByReferenceComesStraightFromTheArgument) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  const MethodInfo* keep = w->classInfo().findMethod("keep");
  std::vector<Variant> text{Variant(WideString(u"a text longer than any short-string buffer"))};
  keep->invoke(w.get(), text);
  EXPECT_EQ(w->kept, u"a text longer than any short-string buffer");
  EXPECT_EQ(w->keptAddress, &std::get<WideString>(text[0].value()));
  // Other values are converted to a text of their own.
  std::vector<Variant> number{Variant(int32_t(42))};
  keep->invoke(w.get(), number);
  EXPECT_EQ(w->kept, u"42");
  std::vector<Variant> nothing{Variant()};
  keep->invoke(w.get(), nothing);
  EXPECT_EQ(w->kept, u"");
}

TEST(MethodInvoker, HoldsAnyCallableAndSurvivesCopies) {
  std::unique_ptr<TestWidget, WidgetDeleter> w(New<TestWidget>());
  MethodInfo counting;
  // The form that answers its result.
  counting.invoke = [](TObject*, std::span<const Variant> args) { return Variant(int32_t(args.size())); };
  std::vector<Variant> two{Variant(int32_t(1)), Variant(int32_t(2))};
  EXPECT_EQ(counting.invoke(w.get(), two), Variant(int32_t(2)));
  counting.invoke.call(w.get(), two, nullptr);

  // A callable too large to keep inside lives on the heap; copies share it.
  std::optional<MethodInfo> original(std::in_place);
  WideString prefix(u"a prefix long enough to live on the heap: ");
  original->invoke = [prefix](TObject* object, std::span<const Variant> args, Variant* result) {
    auto* widget = static_cast<TestWidget*>(object);
    widget->caption = prefix + args[0].toText();
    if (result) *result = Variant(widget->caption);
  };
  MethodInfo copy = *original;
  original.reset();
  std::vector<Variant> word{Variant(WideString(u"x"))};
  EXPECT_EQ(copy.invoke(w.get(), word), Variant(WideString(u"a prefix long enough to live on the heap: x")));

  // A method that was never given a body fails the way an empty function does.
  MethodInfo empty;
  EXPECT_THROW(empty.invoke(w.get(), {}), std::bad_function_call);
}

TEST(ClassInfo, FactoryCreatesThroughTheVirtualConstructor) {
  TObject* made = TestWidget::staticClassInfo().create(nullptr);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->className(), "TestWidget");
  EXPECT_TRUE(made->inheritsFrom(TGComponent::staticClassInfo()));
  EXPECT_EQ(static_cast<TGComponent*>(made)->componentStyle() & csInheritable, csInheritable);
  made->Free();
  EXPECT_EQ(TGComponent::staticClassInfo().parent()->create(nullptr), nullptr);  // TPersistent is abstract
}

}  // namespace
