// Coordinate objects: change events, vector operations with their w rule,
// rotations in degrees, reflection, stored rules and their nested form in
// object streams.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "core/geometry/coordinates.h"
#include "core/objects/class_builder.h"
#include "core/objects/class_registry.h"
#include "core/resources/stream.h"
#include "core/streams/object_reader.h"
#include "core/streams/object_writer.h"
#include "core/streams/object_xml.h"

namespace {
void ExpectVector(const TVector4F& v, float x, float y, float z, float w, float tolerance = 1e-6f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
  EXPECT_EQ(v.w, w);
}

// Counts change events and checks they name the coordinate.
template <typename T>
struct ChangeCounter {
  int count = 0;
  T* seen = nullptr;
  void attach(T* object) {
    object->setOnChange([this](T* changed) {
      ++count;
      seen = changed;
    });
  }
};

struct OwnedSpaceCoord {
  TSpaceCoord* coord;
  explicit OwnedSpaceCoord(TVector4F v) : coord(TSpaceCoord::Make(v)) {}
  ~OwnedSpaceCoord() { coord->Free(); }
  TSpaceCoord* operator->() const { return coord; }
};

template <typename T>
struct Owned {
  T* object = New<T>();
  ~Owned() { object->Free(); }
  T* operator->() const { return object; }
};

float Random01() { return static_cast<float>(std::rand() / (static_cast<double>(RAND_MAX) + 1.0)); }

TEST(SpaceCoordTest, EverySetterTellsTheHolderEvenWithoutAChange) {
  OwnedSpaceCoord c(MakeVector4F(1, 2, 3, 1));
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(c.coord);
  c->setX(1);  // the same value
  EXPECT_EQ(changes.count, 1);
  EXPECT_EQ(changes.seen, c.coord);
  const ClassInfo& cls = c->classInfo();
  SetFloatProp(c.coord, *cls.findProperty("y"), 5);
  SetFloatProp(c.coord, *cls.findProperty("Z"), 6);
  EXPECT_EQ(changes.count, 3);
  ExpectVector(c->vector(), 1, 5, 6, 1);
  c->setXYZQuiet(MakeVector4F(7, 8, 9, 0));  // quiet, and w kept
  ExpectVector(c->vector(), 7, 8, 9, 1);
  OwnedSpaceCoord other(MakeVector4F(-1, -2, -3, 0));
  c->Assign(*other.coord);  // all four, quiet
  ExpectVector(c->vector(), -1, -2, -3, 0);
  EXPECT_EQ(changes.count, 3);
  c->setVector(MakeVector4F(1, 1, 1, 0.5f));
  ExpectVector(c->vector(), 1, 1, 1, 0.5f);
  c->addScaled(MakeVector4F(2, 0, -2, 7), 0.5f);
  ExpectVector(c->vector(), 2, 1, 0, 1);
  EXPECT_EQ(changes.count, 5);
}

TEST(SpaceCoordTest, OperationsFollowTheWRule) {
  OwnedSpaceCoord c(MakeVector4F(3, 0, 4, 1));
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(c.coord);
  c->normalize();
  ExpectVector(c->vector(), 0.6f, 0, 0.8f, 0);
  c->scale(10);
  ExpectVector(c->vector(), 6, 0, 8, 1);
  c->setToZero();
  ExpectVector(c->vector(), 0, 0, 0, 0);
  c->setXYZ(1, 2, 3);
  ExpectVector(c->vector(), 1, 2, 3, 1);
  c->invert();  // tells the holder and leaves the vector
  ExpectVector(c->vector(), 1, 2, 3, 1);
  EXPECT_EQ(changes.count, 5);
}

TEST(SpaceCoordTest, LengthReadsTheVectorAndIgnoresWrites) {
  OwnedSpaceCoord c(MakeVector4F(2, 3, 6, 1));
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(c.coord);
  const PropInfo* length = c->classInfo().findProperty("length");
  ASSERT_NE(length, nullptr);
  EXPECT_FLOAT_EQ(GetFloatProp(c.coord, *length), 7.0f);
  SetFloatProp(c.coord, *length, 1.0f);
  ExpectVector(c->vector(), 2, 3, 6, 1);
  EXPECT_EQ(changes.count, 0);
  EXPECT_FALSE(IsStoredProp(c.coord, *length));
}

TEST(SpaceCoordTest, RotationsTakeDegreesAboutTheMainAxes) {
  // Row vectors: a rotation by a about z takes (1, 0, 0) to (cos a, -sin a, 0).
  OwnedSpaceCoord c(MakeVector4F(2, 0, 0, 0));
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(c.coord);
  c->rotateZ(30);
  ExpectVector(c->vector(), 1.7320508f, -1.0f, 0, 1);
  c->setXYZ(1, 0, 0);
  c->rotateZ(90);
  ExpectVector(c->vector(), 0, -1, 0, 1);
  c->setXYZ(0, 1, 0);
  c->rotateX(90);
  ExpectVector(c->vector(), 0, 0, -1, 1);
  c->setXYZ(0, 0, 1);
  c->rotateY(90);
  ExpectVector(c->vector(), -1, 0, 0, 1);
  c->setXYZ(1, 0, 0);
  c->rotateZ(-90);
  ExpectVector(c->vector(), 0, 1, 0, 1);
  // A whole turn more gives the same direction (degrees become radians first).
  c->setXYZ(2, 0, 0);
  c->rotateZ(390);
  ExpectVector(c->vector(), 1.7320508f, -1.0f, 0, 1, 2e-5f);
  c->setXYZ(0, 0, 1);
  c->rotateAxis(MakeVector4F(0, 0, 5, 1), 45);  // the axis is made unit length
  ExpectVector(c->vector(), 0, 0, 1, 1);
  EXPECT_EQ(changes.count, 13);
  // The script methods reach the same operations.
  c->setXYZ(1, 0, 0);
  c->classInfo().findMethod("rotatez")->invoke(c.coord, std::vector<Variant>{Variant(90.0)});
  ExpectVector(c->vector(), 0, -1, 0, 1);
}

TEST(SpaceCoordTest, ReflectMirrorsOffTheNormalAsGiven) {
  OwnedSpaceCoord v(MakeVector4F(0, 0, -2, 1));
  OwnedSpaceCoord n(MakeVector4F(0, 0, 1, 1));
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(v.coord);
  v->reflect(*n.coord);
  ExpectVector(v->vector(), 0, 0, 2, 1, 0);
  EXPECT_EQ(changes.count, 1);
  v->setXYZ(1, 0, -1);
  v->reflect(*n.coord);
  ExpectVector(v->vector(), 1, 0, 1, 1, 0);
  // A normal that is not unit length is used as given: v - 2 (v . n) n.
  OwnedSpaceCoord longNormal(MakeVector4F(0, 0, 2, 1));
  v->setXYZ(0, 0, -1);
  v->reflect(*longNormal.coord);
  ExpectVector(v->vector(), 0, 0, 7, 1, 0);
}

TEST(SpaceCoordTest, AVectorIntoTheNormalsSideLeavesAlongTheJitteredNormal) {
  OwnedSpaceCoord v(MakeVector4F(0, 0, 2, 1));
  OwnedSpaceCoord n(MakeVector4F(0, 0, 5, 1));
  std::srand(1234);
  const float jx = Random01() * 0.01f - 0.005f;
  const float jy = Random01() * 0.01f - 0.005f;
  const float jz = Random01() * 0.01f - 0.005f;
  std::srand(1234);
  v->reflect(*n.coord);
  ExpectVector(v->vector(), 2 * jx, 2 * jy, 2 * (1 + jz), 1, 1e-6f);
  EXPECT_GE(v->x(), -0.01f);
  EXPECT_LT(v->x(), 0.01f);
  EXPECT_NEAR(v->length(), 2.0f, 0.011f);
  // Along the surface counts as into it.
  v->setXYZ(3, 0, 0);
  v->reflect(*n.coord);
  EXPECT_NEAR(v->z(), 3.0f, 0.016f);
  EXPECT_NEAR(v->x(), 0.0f, 0.016f);
}

TEST(SpaceCoordTest, ScriptCopyAndReflectIgnoreAnythingButACoordinate) {
  OwnedSpaceCoord v(MakeVector4F(1, 2, 3, 1));
  OwnedSpaceCoord source(MakeVector4F(4, 5, 6, 0));
  Owned<TRectPersistent> rect;
  ChangeCounter<TSpaceCoord> changes;
  changes.attach(v.coord);
  const MethodInfo* copy = v->classInfo().findMethod("copy");
  const MethodInfo* reflect = v->classInfo().findMethod("reflect");
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(reflect, nullptr);
  for (const MethodInfo* m : {copy, reflect}) {
    m->invoke(v.coord, std::vector<Variant>{Variant(static_cast<TObject*>(rect.object))});
    m->invoke(v.coord, std::vector<Variant>{Variant(static_cast<TObject*>(nullptr))});
  }
  ExpectVector(v->vector(), 1, 2, 3, 1);
  EXPECT_EQ(changes.count, 0);
  copy->invoke(v.coord, std::vector<Variant>{Variant(static_cast<TObject*>(source.coord))});
  ExpectVector(v->vector(), 4, 5, 6, 0);
  EXPECT_EQ(changes.count, 1);
}

TEST(SpaceCoordTest, StoredTestsCompareWithTheDeclaredDefault) {
  OwnedSpaceCoord c(MakeVector4F(0, 1, 0, 1));
  const ClassInfo& cls = c->classInfo();
  const PropInfo& x = *cls.findProperty("x");
  const PropInfo& y = *cls.findProperty("y");
  const PropInfo& z = *cls.findProperty("z");
  ExpectVector(c->defaultVector(), 0, 0, 0, 1);
  EXPECT_FALSE(IsStoredProp(c.coord, x));
  EXPECT_TRUE(IsStoredProp(c.coord, y));
  EXPECT_FALSE(IsStoredProp(c.coord, z));
  EXPECT_EQ(GetPropText(c.coord, y), u"1.000000000000000");
  c->setDefaultVector(MakeVector4F(1, 1, 1, 1));  // a scale, say
  c->setToZero();
  EXPECT_TRUE(IsStoredProp(c.coord, x));
  EXPECT_TRUE(IsStoredProp(c.coord, y));
  c->setStored(false);
  EXPECT_FALSE(IsStoredProp(c.coord, x));
  EXPECT_FALSE(IsStoredProp(c.coord, y));
}

// ---- the flat coordinates -------------------------------------------------------------

TEST(PlaneCoordTest, SettersAlwaysTellTheHolderAndAssignIsQuiet) {
  Owned<TPlaneCoord> a;
  ChangeCounter<TPlaneCoord> changes;
  changes.attach(a.object);
  a->setX(0);
  a->setY(2);
  EXPECT_EQ(changes.count, 2);
  EXPECT_EQ(changes.seen, a.object);
  Owned<TPlaneCoord> b;
  b->setX(7);
  b->setY(8);
  b->setExtra(42);
  a->Assign(*b.object);
  EXPECT_EQ(changes.count, 2);
  EXPECT_EQ(a->x(), 7);
  EXPECT_EQ(a->y(), 8);
  EXPECT_EQ(a->extra(), 42);
  EXPECT_EQ(a->classInfo().findProperty("extra"), nullptr);
}

TEST(PointPersistentTest, PointsReadAndWriteBothValuesDirectly) {
  Owned<TPointPersistent> p;
  p->setPoint(MakePointF(3, -4));
  EXPECT_EQ(p->getPoint(), MakePointF(3, -4));
  SetFloatProp(p.object, *p->classInfo().findProperty("x"), 9);
  EXPECT_EQ(p->x(), 9);
  Owned<TPointPersistent> q;
  q->Assign(*p.object);
  EXPECT_EQ(q->getPoint(), MakePointF(9, -4));
}

TEST(RectPersistentTest, OnlyRealChangesReachTheHolder) {
  Owned<TRectPersistent> r;
  ChangeCounter<TRectPersistent> changes;
  changes.attach(r.object);
  r->setLeft(0);  // unchanged
  EXPECT_EQ(changes.count, 0);
  r->setRight(10);
  r->setBottom(5);
  EXPECT_EQ(changes.count, 2);
  EXPECT_EQ(changes.seen, r.object);
  r->setRect(MakeRectF(0, 0, 10, 5));  // all equal
  EXPECT_EQ(changes.count, 2);
  r->setRect(MakeRectF(1, 2, 11, 7));  // one event for four values
  EXPECT_EQ(changes.count, 3);
  EXPECT_EQ(r->getRect(), MakeRectF(1, 2, 11, 7));
  EXPECT_EQ(r->width(), 10);
  EXPECT_EQ(r->height(), 5);
  Owned<TRectPersistent> same;
  same->setRect(r->getRect());
  r->Assign(*same.object);
  EXPECT_EQ(changes.count, 3);
  same->setTop(0);
  r->Assign(*same.object);
  EXPECT_EQ(changes.count, 4);
}

TEST(RectPersistentTest, MarginsShrinkARectAndEmptinessFollowsTheRules) {
  Owned<TRectPersistent> m;
  EXPECT_TRUE(m->marginEmpty());
  EXPECT_TRUE(m->empty());  // left 0, right 0
  m->setBottom(0.5f);
  EXPECT_FALSE(m->marginEmpty());
  m->setRect(MakeRectF(1, 2, 3, 4));
  EXPECT_EQ(m->shrinkRect(MakeRectF(0, 0, 100, 50)), MakeRectF(1, 2, 97, 46));
  EXPECT_FALSE(m->empty());
  const MethodInfo* empty = m->classInfo().findMethod("empty");
  const MethodInfo* marginEmpty = m->classInfo().findMethod("marginEmpty");
  EXPECT_FALSE(empty->invoke(m.object, {}).toBool());
  EXPECT_FALSE(marginEmpty->invoke(m.object, {}).toBool());
  m->setRight(1);  // width 0
  EXPECT_TRUE(empty->invoke(m.object, {}).toBool());
}
}  // namespace

// ---- nested in object streams -----------------------------------------------------------

// A holder as the scene classes hold coordinates: created in its construction
// with a start value it declares as default, assigned by its setters.
class CoordHolder : public TGComponent {
  Q_OBJECT(CoordHolder, TGComponent)

 public:
  void Create(TObject* owner) override {
    inherited::Create(owner);
    position_ = TSpaceCoord::Make(MakeVector4F(0, 0, 0, 1));
    position_->setOnChange([this](TSpaceCoord*) { ++positionChanges; });
    direction_ = TSpaceCoord::Make(MakeVector4F(0, 1, 0, 1));
    direction_->setDefaultVector(direction_->vector());
    scale_ = TSpaceCoord::Make(MakeVector4F(1, 1, 1, 1));
    scale_->setDefaultVector(scale_->vector());
    hidden_ = TSpaceCoord::Make(MakeVector4F(0, 0, 0, 1));
    hidden_->setStored(false);
    margins_ = New<TRectPersistent>();
    margins_->setRect(MakeRectF(2, 2, 2, 2));
    margins_->setDefaultRect(margins_->getRect());
    offset_ = New<TPointPersistent>();
    plane_ = New<TPlaneCoord>();
  }
  void Destroy() override {
    FreeAndNil(position_);
    FreeAndNil(direction_);
    FreeAndNil(scale_);
    FreeAndNil(hidden_);
    FreeAndNil(margins_);
    FreeAndNil(offset_);
    FreeAndNil(plane_);
    inherited::Destroy();
  }

  TSpaceCoord* position() const { return position_; }
  void setPosition(TSpaceCoord* v) {
    if (v) position_->copy(*v);
  }
  TSpaceCoord* direction() const { return direction_; }
  void setDirection(TSpaceCoord* v) {
    if (v) direction_->copy(*v);
  }
  TSpaceCoord* scale() const { return scale_; }
  void setScale(TSpaceCoord* v) {
    if (v) scale_->copy(*v);
  }
  TSpaceCoord* hidden() const { return hidden_; }
  void setHidden(TSpaceCoord* v) {
    if (v) hidden_->copy(*v);
  }
  TRectPersistent* margins() const { return margins_; }
  void setMargins(TRectPersistent* v) {
    if (v) margins_->Assign(*v);
  }
  TPointPersistent* offset() const { return offset_; }
  void setOffset(TPointPersistent* v) {
    if (v) offset_->Assign(*v);
  }
  TPlaneCoord* plane() const { return plane_; }
  void setPlane(TPlaneCoord* v) {
    if (v) plane_->Assign(*v);
  }

  int positionChanges = 0;

 private:
  TSpaceCoord* position_ = nullptr;
  TSpaceCoord* direction_ = nullptr;
  TSpaceCoord* scale_ = nullptr;
  TSpaceCoord* hidden_ = nullptr;
  TRectPersistent* margins_ = nullptr;
  TPointPersistent* offset_ = nullptr;
  TPlaneCoord* plane_ = nullptr;
};

const ClassInfo& CoordHolder::staticClassInfo() {
  using H = CoordHolder;
  static const ClassInfo info = ClassBuilder<H>("CoordHolder")
                                    .property("position", &H::position, &H::setPosition)
                                    .property("direction", &H::direction, &H::setDirection)
                                    .property("scale", &H::scale, &H::setScale)
                                    .property("hidden", &H::hidden, &H::setHidden)
                                    .property("margins", &H::margins, &H::setMargins)
                                    .property("offset", &H::offset, &H::setOffset)
                                    .property("plane", &H::plane, &H::setPlane)
                                    .build();
  return info;
}

namespace {
// The property entries of a written root record whose values are all floats.
std::map<std::string, float> FloatEntries(const std::vector<uint8_t>& bytes) {
  std::map<std::string, float> entries;
  size_t at = 4;  // signature
  auto shortString = [&] {
    const size_t n = bytes.at(at);
    std::string s(reinterpret_cast<const char*>(&bytes.at(at + 1)), n);
    at += 1 + n;
    return s;
  };
  shortString();  // class
  shortString();  // name
  while (bytes.at(at) != 0) {
    const std::string name = shortString();
    EXPECT_EQ(bytes.at(at), static_cast<uint8_t>(ValueTag::vaSingle)) << name;
    float value;
    std::memcpy(&value, &bytes.at(at + 1), 4);
    at += 5;
    EXPECT_EQ(entries.count(name), 0u) << name << " written twice";
    entries[name] = value;
  }
  return entries;
}

class CoordStreamTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (TObject* o : made_) o->Free();
  }
  CoordHolder* holder() {
    auto* h = New<CoordHolder>();
    made_.push_back(h);
    return h;
  }
  std::vector<uint8_t> write(CoordHolder* h) {
    TMemoryStream stream;
    {
      TGWriter writer(&stream, 4096);
      writer.emitRoot(h);
    }
    const auto* data = static_cast<const uint8_t*>(stream.Memory());
    return std::vector<uint8_t>(data, data + stream.Size());
  }
  CoordHolder* read(const std::vector<uint8_t>& bytes) {
    CoordHolder* h = holder();
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    TGReader reader(&stream, 4096);
    reader.fetchRoot(h);
    return h;
  }

 private:
  std::vector<TObject*> made_;
};

TEST_F(CoordStreamTest, AVectorStoresOnlyTheComponentsThatDifferFromItsDefault) {
  CoordHolder* h = holder();
  h->position()->setXYZ(0, 1, 0);
  const auto entries = FloatEntries(write(h));
  EXPECT_EQ(entries, (std::map<std::string, float>{{"position.y", 1.0f}}));
  CoordHolder* back = read(write(h));
  ExpectVector(back->position()->vector(), 0, 1, 0, 1);
  EXPECT_EQ(back->positionChanges, 1);  // the reader sets through the published setter
}

TEST_F(CoordStreamTest, TheXmlFormCarriesTheDottedComponentAndReadsBack) {
  RegisterClass(CoordHolder::staticClassInfo());  // the XML reader types attributes by class
  CoordHolder* h = holder();
  h->position()->setXYZ(0, 1, 0);
  h->direction()->setXYZ(0, 0, 1);
  const std::vector<uint8_t> binary = write(h);
  TMemoryStream source;
  source.Write(binary.data(), static_cast<int64_t>(binary.size()));
  source.SetPosition(0);
  TMemoryStream xml;
  ASSERT_TRUE(binaryToXml(source, xml));
  const std::string text(reinterpret_cast<const char*>(xml.Memory()), static_cast<size_t>(xml.Size()));
  EXPECT_NE(text.find("position.y=\"1.000000000000000\""), std::string::npos) << text;
  EXPECT_EQ(text.find("position.x"), std::string::npos) << text;
  EXPECT_EQ(text.find("position.z"), std::string::npos) << text;
  EXPECT_NE(text.find("direction.y=\"0.000000000000000\""), std::string::npos) << text;
  xml.SetPosition(0);
  TMemoryStream again;
  xmlToBinary(xml, again);
  const auto* data = static_cast<const uint8_t*>(again.Memory());
  CoordHolder* back = read(std::vector<uint8_t>(data, data + again.Size()));
  ExpectVector(back->position()->vector(), 0, 1, 0, 1);
  ExpectVector(back->direction()->vector(), 0, 0, 1, 1);
}

TEST_F(CoordStreamTest, ZerosThatDifferFromADeclaredDefaultAreWrittenAndReadBack) {
  CoordHolder* h = holder();
  h->direction()->setXYZ(1, 0, 0);  // the start was (0, 1, 0)
  h->scale()->setXYZ(0, 1, 2);
  h->hidden()->setXYZ(5, 5, 5);  // never written
  h->margins()->setRect(MakeRectF(0, 2, 3, 2));
  h->offset()->setPoint(MakePointF(0, -1));
  h->plane()->setX(4);
  const std::vector<uint8_t> bytes = write(h);
  EXPECT_EQ(FloatEntries(bytes), (std::map<std::string, float>{{"direction.x", 1.0f},
                                                               {"direction.y", 0.0f},
                                                               {"scale.x", 0.0f},
                                                               {"scale.z", 2.0f},
                                                               {"margins.left", 0.0f},
                                                               {"margins.right", 3.0f},
                                                               {"offset.y", -1.0f},
                                                               {"plane.x", 4.0f}}));
  CoordHolder* back = read(bytes);
  ExpectVector(back->direction()->vector(), 1, 0, 0, 1);
  ExpectVector(back->scale()->vector(), 0, 1, 2, 1);
  ExpectVector(back->hidden()->vector(), 0, 0, 0, 1);
  EXPECT_EQ(back->margins()->getRect(), MakeRectF(0, 2, 3, 2));
  EXPECT_EQ(back->offset()->getPoint(), MakePointF(0, -1));
  EXPECT_EQ(back->plane()->x(), 4.0f);
}

TEST_F(CoordStreamTest, AFileWrittenWithTheOldRuleReadsAsItDidBefore) {
  // The old rule wrote every component that was not 0, whatever the default.
  CoordHolder* h = holder();
  h->direction()->setXYZ(1, 1, 0);
  h->scale()->setXYZ(1, 1, 1);
  std::vector<uint8_t> old = {'G', 'F', 'E', '0', 11, 'C', 'o', 'o', 'r', 'd', 'H', 'o', 'l', 'd', 'e', 'r', 0};
  auto entry = [&](const std::string& name, float value) {
    old.push_back(static_cast<uint8_t>(name.size()));
    old.insert(old.end(), name.begin(), name.end());
    old.push_back(static_cast<uint8_t>(ValueTag::vaSingle));
    uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    old.insert(old.end(), raw, raw + 4);
  };
  entry("direction.x", 1);
  entry("direction.y", 1);
  entry("scale.x", 1);
  entry("scale.y", 1);
  entry("scale.z", 1);
  old.push_back(0);
  old.push_back(0);
  CoordHolder* back = read(old);
  ExpectVector(back->direction()->vector(), 1, 1, 0, 1);
  ExpectVector(back->scale()->vector(), 1, 1, 1, 1);
  // Written again, only what differs from the declared defaults remains.
  EXPECT_EQ(FloatEntries(write(back)), (std::map<std::string, float>{{"direction.x", 1.0f}}));
}
}  // namespace
