// Atoms and how they name window properties.
#include <gtest/gtest.h>

#include "compat/win32/atoms.h"

namespace {
TEST(compatAtoms, NamesAreFoundIgnoringCaseAndCountedByUse) {
  ATOM atom = GlobalAddAtomA("SomeTestName");
  ASSERT_GE(atom, 0xC000);
  EXPECT_EQ(GlobalAddAtomA("sometestname"), atom);
  EXPECT_EQ(GlobalFindAtomA("SOMETESTNAME"), atom);
  char name[32];
  EXPECT_EQ(GlobalGetAtomNameA(atom, name, sizeof(name)), 12u);
  EXPECT_STREQ(name, "SomeTestName");
  GlobalDeleteAtom(atom);
  EXPECT_EQ(GlobalFindAtomA("SomeTestName"), atom);  // one use left
  GlobalDeleteAtom(atom);
  EXPECT_EQ(GlobalFindAtomA("SomeTestName"), 0);
}

TEST(compatAtoms, DifferentNamesGetDifferentAtoms) {
  ATOM a = GlobalAddAtomA("AtomA");
  ATOM b = GlobalAddAtomA("AtomB");
  EXPECT_NE(a, b);
  GlobalDeleteAtom(a);
  GlobalDeleteAtom(b);
}

TEST(compatAtoms, IntegerAtomsStandForThemselves) {
  EXPECT_EQ(GlobalAddAtomA(MAKEINTATOM(42)), 42);
  EXPECT_EQ(GlobalAddAtomA("#42"), 42);
  EXPECT_EQ(GlobalFindAtomA("#42"), 42);
}

TEST(compatAtoms, EmptyAndOverlongNamesAreRefused) {
  EXPECT_EQ(GlobalAddAtomA(""), 0);
  EXPECT_EQ(GlobalAddAtomA(std::string(256, 'x').c_str()), 0);
  EXPECT_NE(GlobalAddAtomA(std::string(255, 'x').c_str()), 0);
}

TEST(compatAtoms, PropertiesNeedALiveWindow) {
  EXPECT_FALSE(SetPropA(reinterpret_cast<HWND>(0x123456), "x", reinterpret_cast<HANDLE>(1)));
  EXPECT_EQ(GetPropA(nullptr, "x"), nullptr);
}
}  // namespace
