// Wide-string lists: sorting, searching, names and values, events, the
// hashed lookups, and the two list file forms in real files.
#include "core/objects/wide_strings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/objects/class_info.h"
#include "core/objects/variant.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"

namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "wide_strings_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class LogCapture {
 public:
  LogCapture() {
    saved_ = LogHandler();
    LogHandler() = [this](const WideString& line) { lines_.push_back(WideToUtf8(line).substr(9)); };
  }
  ~LogCapture() { LogHandler() = saved_; }
  // The lines without their time stamp: "(e) text" or "(i) text".
  const std::vector<std::string>& lines() const { return lines_; }
  void clear() { lines_.clear(); }

 private:
  LogHandlerProc saved_;
  std::vector<std::string> lines_;
};

// Lists are freed with Free(), never deleted.
template <typename T>
struct Owned {
  T* list = New<T>();
  ~Owned() { list->Free(); }
  T* operator->() const { return list; }
  T& operator*() const { return *list; }
};

std::vector<std::string> Items(const TWideStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.count(); ++i) out.push_back(WideToUtf8(list.get(i)));
  return out;
}

using Lines = std::vector<std::string>;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::vector<uint8_t> FileBytes(const std::string& name) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(name, bytes)) << name;
  return bytes;
}

}  // namespace

// ---- sorting and duplicates -----------------------------------------------------------

TEST(WideStringList, SortedListWithDupIgnoreKeepsOneOfEqualStrings) {
  Owned<TWideStringList> list;
  list->setSorted(true);
  EXPECT_EQ(list->add(u"Apple"), 0);
  EXPECT_EQ(list->add(u"apple"), 0);
  EXPECT_EQ(Items(*list), Lines{"Apple"});
  // Sorted adds go to their place.
  EXPECT_EQ(list->add(u"cherry"), 1);
  EXPECT_EQ(list->add(u"Banana"), 1);
  EXPECT_EQ(Items(*list), (Lines{"Apple", "Banana", "cherry"}));
  EXPECT_EQ(list->indexOf(u"BANANA"), 1);
  EXPECT_EQ(list->indexOf(u"date"), -1);
}

TEST(WideStringList, DuplicatesAcceptAndErrorBothInsert) {
  LogCapture log;
  Owned<TWideStringList> accept;
  accept->setSorted(true);
  accept->setDuplicates(dupAccept);
  accept->add(u"b");
  accept->add(u"a");
  accept->add(u"B");
  EXPECT_EQ(accept->count(), 3);
  EXPECT_EQ(accept->get(0), u"a");
  // With dupAccept the search ends on the first of equal items.
  accept->add(u"b");
  int index = -1;
  EXPECT_TRUE(accept->find(u"b", index));
  EXPECT_EQ(index, 1);
  EXPECT_TRUE(log.lines().empty());

  Owned<TWideStringList> error;
  error->setSorted(true);
  error->setDuplicates(dupError);
  error->add(u"x");
  EXPECT_EQ(error->add(u"X"), 0);
  EXPECT_EQ(error->count(), 2);
  EXPECT_EQ(log.lines(), Lines{"(e) Doublicate string"});
}

TEST(WideStringList, SortFlagGovernsSort) {
  Owned<TWideStringList> list;
  list->setCommaText(u"pear,Apple,fig");
  list->sort();
  EXPECT_EQ(Items(*list), (Lines{"Apple", "fig", "pear"}));

  // With the flag set, sort does nothing: an item put out of place stays.
  list->setSorted(true);
  LogCapture log;
  list->put(0, u"zebra");
  EXPECT_EQ(log.lines(), Lines{"(e) sorted list error"});  // reported, yet replaced
  list->sort();
  EXPECT_EQ(Items(*list), (Lines{"zebra", "fig", "pear"}));

  // Switching the flag off and on again sorts.
  list->setSorted(false);
  list->setSorted(true);
  EXPECT_EQ(Items(*list), (Lines{"fig", "pear", "zebra"}));
  EXPECT_TRUE(list->sorted());
}

TEST(WideStringList, SortByObjectPutsTheLargestFirstAndAddAppends) {
  Owned<TWideStringList> list;
  list->setSortByObject(true);
  list->addObject(u"five", 5);
  list->addObject(u"ten", 10);
  list->addObject(u"seven", 7);
  list->addObject(u"minus", -3);
  list->sort();
  EXPECT_EQ(Items(*list), (Lines{"ten", "seven", "five", "minus"}));
  EXPECT_EQ(list->getObject(0).asInt(), 10);
  EXPECT_EQ(list->getObject(3).asInt(), -3);

  list->setSorted(true);
  EXPECT_EQ(list->add(u"apple"), 4);  // appended, not placed by its text
  EXPECT_EQ(list->get(4), u"apple");
  // The strings are not in text order, so indexOf must not binary-search them.
  EXPECT_EQ(list->indexOf(u"five"), 2);
  EXPECT_EQ(list->indexOf(u"apple"), 4);
}

TEST(WideStringList, FindObjectSearchesADescendingList) {
  Owned<TWideStringList> list;
  for (int v : {30, 20, 20, 10}) list->addObject(u"x", v);
  int index = -1;
  EXPECT_TRUE(list->findObject(10, index));
  EXPECT_EQ(index, 3);
  EXPECT_FALSE(list->findObject(25, index));
  EXPECT_EQ(index, 1);  // where 25 would go
  EXPECT_FALSE(list->findObject(40, index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list->findObject(5, index));
  EXPECT_EQ(index, 4);
  list->setDuplicates(dupAccept);
  EXPECT_TRUE(list->findObject(20, index));
  EXPECT_EQ(index, 1);
}

TEST(WideStringList, SortComparesWithCompareTextW) {
  Owned<TWideStringList> list;
  // Units above 255 compare equal to each other and above every Latin-1 unit;
  // only ASCII letters fold.
  list->add(u"\u0431");   // Cyrillic small be
  list->add(u"\u00E9");   // e acute
  list->add(u"E");
  list->add(u"e");
  list->add(u"a");
  list->sort();
  EXPECT_EQ(list->get(0), u"a");
  EXPECT_EQ(CompareTextW(list->get(1), u"E"), 0);
  EXPECT_EQ(CompareTextW(list->get(2), u"e"), 0);
  EXPECT_EQ(list->get(3), u"\u00E9");
  EXPECT_EQ(list->get(4), u"\u0431");
}

TEST(WideStringList, SortsLargeListsInAnyStartingOrder) {
  // Already sorted, reversed and all-equal inputs: the classic bad cases.
  for (int pattern = 0; pattern < 3; ++pattern) {
    Owned<TWideStringList> list;
    const int n = 20000;
    list->beginUpdate();
    for (int i = 0; i < n; ++i) {
      int key = pattern == 0 ? i : pattern == 1 ? n - i : 7;
      char buffer[16];
      std::snprintf(buffer, sizeof(buffer), "%08d", key);
      list->addObject(W(buffer), key);
    }
    list->endUpdate();
    list->sort();
    ASSERT_EQ(list->count(), n);
    for (int i = 1; i < n; ++i) ASSERT_LE(CompareTextW(list->get(i - 1), list->get(i)), 0) << pattern << " " << i;
    list->setSortByObject(true);
    list->sort();
    for (int i = 1; i < n; ++i) ASSERT_GE(list->getObject(i - 1).asInt(), list->getObject(i).asInt());
  }
}

TEST(WideStringList, CaseSensitiveChangesOnlyCompareStrings) {
  Owned<TWideStringList> list;
  EXPECT_EQ(list->compareStrings(u"abc", u"ABC"), 0);
  EXPECT_LT(list->compareStrings(u"abc", u"abd"), 0);
  list->setCaseSensitive(true);
  EXPECT_GT(list->compareStrings(u"abc", u"ABC"), 0);
  EXPECT_EQ(list->compareStrings(u"abc", u"abc"), 0);
  // Lookups and sorting still go by CompareTextW.
  list->add(u"Key");
  EXPECT_EQ(list->indexOf(u"KEY"), 0);
}

// ---- errors ------------------------------------------------------------------------------

TEST(WideStringList, BadIndexesAreLoggedAndChangeNothing) {
  LogCapture log;
  Owned<TWideStringList> list;
  list->add(u"a");
  list->add(u"b");
  EXPECT_EQ(list->get(2), u"");
  EXPECT_EQ(list->get(-1), u"");
  EXPECT_FALSE(list->getObject(5));
  list->put(2, u"x");
  list->putObject(-1, 3);
  list->Delete(2);
  list->exchange(0, 2);
  list->insert(3, u"x");
  list->insert(-1, u"x");
  list->move(0, 2);
  list->setCapacity(1);
  EXPECT_EQ(log.lines().size(), 11u);
  for (const std::string& line : log.lines()) EXPECT_EQ(line, "(e) list index error");
  EXPECT_EQ(Items(*list), (Lines{"a", "b"}));
  EXPECT_EQ(list->getCapacity(), 4);
}

TEST(WideStringList, InsertIntoASortedListIsReportedAndGoesOn) {
  LogCapture log;
  Owned<TWideStringList> list;
  list->setSorted(true);
  list->add(u"b");
  list->insert(0, u"z");
  EXPECT_EQ(Items(*list), (Lines{"z", "b"}));
  list->insert(5, u"y");  // both errors; nothing inserted
  EXPECT_EQ(log.lines(), (Lines{"(e) sorted list error", "(e) sorted list error", "(e) list index error"}));
  EXPECT_EQ(list->count(), 2);
}

TEST(WideStringList, CapacityGrowsByFourThenSixteenThenAQuarter) {
  Owned<TWideStringList> list;
  EXPECT_EQ(list->getCapacity(), 0);
  std::vector<std::pair<int, int>> afterAdds = {{1, 4}, {5, 8}, {9, 12}, {13, 28}, {29, 44},
                                                {45, 60}, {61, 76}, {77, 95}};
  int added = 0;
  for (auto [adds, capacity] : afterAdds) {
    while (added < adds) list->add(u"x"), ++added;
    EXPECT_EQ(list->getCapacity(), capacity) << adds;
  }
  list->setCapacity(200);
  EXPECT_EQ(list->getCapacity(), 200);
  list->clear();
  EXPECT_EQ(list->getCapacity(), 0);
  EXPECT_EQ(list->count(), 0);
}

// ---- editing -----------------------------------------------------------------------------

TEST(WideStringList, ExchangeMoveAndObjectsTravelTogether) {
  Owned<TWideStringList> list;
  TObject* marker = New<TObject>();
  list->addObject(u"a", 1);
  list->addObject(u"b", marker);
  list->addObject(u"c", 3);
  list->exchange(0, 2);
  EXPECT_EQ(Items(*list), (Lines{"c", "b", "a"}));
  EXPECT_EQ(list->getObject(0).asInt(), 3);
  list->exchange(1, 1);
  EXPECT_EQ(list->get(1), u"b");
  list->move(0, 2);
  EXPECT_EQ(Items(*list), (Lines{"b", "a", "c"}));
  EXPECT_EQ(list->getObject(0).as<TObject>(), marker);
  EXPECT_EQ(list->indexOfObject(marker), 0);
  EXPECT_EQ(list->indexOfObject(3), 2);
  EXPECT_EQ(list->indexOfObject(99), -1);
  list->insertObject(1, u"new", 42);
  EXPECT_EQ(list->getObject(1).asInt(), 42);
  list->Delete(0);
  EXPECT_EQ(Items(*list), (Lines{"new", "a", "c"}));
  marker->Free();
}

TEST(WideStringList, RefusedInsertObjectLeavesTheItemThere) {
  LogCapture log;
  Owned<TWideStringList> list;
  list->addObject(u"a", 1);
  list->insertObject(5, u"b", 2);
  EXPECT_EQ(list->count(), 1);
  EXPECT_EQ(list->getObject(0).asInt(), 1);
}

TEST(WideStringList, AssignCopiesStringsAndObjects) {
  Owned<TWideStringList> source;
  source->addObject(u"one", 1);
  source->addObject(u"\u00FCber", 2);
  Owned<TWideStringList> copy;
  copy->add(u"old");
  copy->Assign(*source);
  EXPECT_EQ(Items(*copy), (Lines{"one", "über"}));
  EXPECT_EQ(copy->getObject(1).asInt(), 2);
  copy->Assign(*copy);  // assigning a list to itself keeps it
  EXPECT_EQ(copy->count(), 2);

  AnsiStringItems ansi;
  copy->AssignTo(ansi);
  ASSERT_EQ(ansi.size(), 2u);
  EXPECT_EQ(ansi[1].string, "\xFC" "ber");  // Windows-1252
  EXPECT_EQ(ansi[1].object.asInt(), 2);

  Owned<TWideStringList> fromAnsi;
  fromAnsi->Assign(AnsiStringItems{{"caf\xE9", 7}});
  EXPECT_EQ(fromAnsi->get(0), u"caf\u00E9");
  EXPECT_EQ(fromAnsi->getObject(0).asInt(), 7);

  // Adding a list to itself doubles it once.
  copy->addStrings(*copy);
  EXPECT_EQ(Items(*copy), (Lines{"one", "über", "one", "über"}));
}

// ---- text and comma text -----------------------------------------------------------------

TEST(WideStrings, TextEndsEveryItemWithCrLfAndSplitsBack) {
  Owned<TWideStringList> list;
  list->add(u"a");
  list->add(u"");
  list->add(u"b");
  EXPECT_EQ(list->text(), (WideString{u'a', 13, 10, 13, 10, u'b', 13, 10}));
  Owned<TWideStringList> back;
  back->setText(list->text());
  EXPECT_EQ(Items(*back), (Lines{"a", "", "b"}));

  back->setText(WideString{u'a', 10, 13, u'b'});
  EXPECT_EQ(Items(*back), (Lines{"a", "", "b"}));
}

TEST(WideStrings, SetTextKnowsEveryLineBreakAndStopsAtNul) {
  Owned<TWideStringList> list;
  list->setText(WideString{u'1', 0x0B, u'2', 0x0C, u'3', 0x2028, u'4', 0x2029, u'5', 13, 13, 10, u'6'});
  EXPECT_EQ(Items(*list), (Lines{"1", "2", "3", "4", "5", "", "6"}));
  list->setText(WideString{u'x', 10, u'y', 0, u'z', 10});
  EXPECT_EQ(Items(*list), (Lines{"x", "y"}));
  list->setText(u"");
  EXPECT_EQ(list->count(), 0);
  list->setText(u"\r\n");
  EXPECT_EQ(Items(*list), Lines{""});
  const char16_t buffer[] = u"p\r\nq";
  list->setTextBuffer(buffer);
  EXPECT_EQ(Items(*list), (Lines{"p", "q"}));
  list->setTextBuffer(nullptr);
  EXPECT_EQ(list->count(), 0);
}

TEST(WideStrings, CommaTextSplitsAtCommasAndWhiteSpace) {
  Owned<TWideStringList> list;
  list->add(u"a b");
  list->add(u"c");
  EXPECT_EQ(list->commaText(), u"a b,c");
  list->setCommaText(list->commaText());
  EXPECT_EQ(Items(*list), (Lines{"a", "b", "c"}));

  list->setCommaText(u"  x , y,,z,");
  EXPECT_EQ(Items(*list), (Lines{"x", "y", "", "z"}));
  list->setCommaText(u",a");
  EXPECT_EQ(Items(*list), (Lines{"", "a"}));
  // Quotes have no meaning and never stall the parse.
  list->setCommaText(u"\"x y\",\"");
  EXPECT_EQ(Items(*list), (Lines{"\"x", "y\"", "\""}));
  list->setCommaText(WideString{u'a', 0, u'b'});
  EXPECT_EQ(Items(*list), Lines{"a"});

  Owned<TWideStringList> single;
  single->add(u"");
  EXPECT_EQ(single->commaText(), u"");
}

// ---- names and values --------------------------------------------------------------------

TEST(WideStrings, NamesAndValues) {
  LogCapture log;
  Owned<TWideStringList> list;
  list->add(u"plain");
  list->add(u"k=");
  list->add(u"Lang=english=uk");
  EXPECT_EQ(list->getName(0), u"");
  EXPECT_EQ(list->getName(2), u"Lang");
  EXPECT_EQ(list->getValue(u"k"), u"");
  EXPECT_EQ(list->getValue(u"LANG"), u"english=uk");
  EXPECT_EQ(list->getValue(u"plain"), u"");  // an item without "=" has no name
  EXPECT_EQ(list->indexOfName(u"plain"), -1);
  EXPECT_EQ(list->getValueAt(2), u"english=uk");
  EXPECT_EQ(list->getValueAt(0), u"");
  EXPECT_EQ(list->getValueAt(-1), u"");
  EXPECT_TRUE(log.lines().empty());

  list->setValue(u"volume", u"5");
  EXPECT_EQ(list->get(3), u"volume=5");
  list->setValue(u"VOLUME", u"7");
  EXPECT_EQ(list->get(3), u"VOLUME=7");
  EXPECT_EQ(list->count(), 4);

  list->setValue(u"k", u"");
  EXPECT_EQ(Items(*list), (Lines{"plain", "Lang=english=uk", "VOLUME=7"}));
  list->setValue(u"absent", u"");
  EXPECT_EQ(list->count(), 3);
}

// ---- events ------------------------------------------------------------------------------

TEST(WideStringList, EventsFireAroundChangesAndOnceAroundUpdates) {
  Owned<TWideStringList> list;
  std::vector<std::string> events;
  list->OnChanging = [&](TWideStringList* sender) {
    EXPECT_EQ(sender, list.list);
    events.push_back("changing " + std::to_string(sender->count()));
  };
  list->OnChange = [&](TWideStringList* sender) { events.push_back("change " + std::to_string(sender->count())); };

  list->add(u"a");
  EXPECT_EQ(events, (Lines{"changing 0", "change 1"}));
  events.clear();

  list->beginUpdate();
  list->beginUpdate();
  list->add(u"b");
  list->Delete(0);
  list->endUpdate();
  EXPECT_EQ(events, Lines{"changing 1"});
  list->endUpdate();
  EXPECT_EQ(events, (Lines{"changing 1", "change 1"}));
  events.clear();

  // setText runs inside one update.
  list->setText(u"x\r\ny\r\nz");
  EXPECT_EQ(events, (Lines{"changing 1", "change 3"}));
  events.clear();

  // An extra endUpdate does not silence the list for good.
  list->endUpdate();
  list->putObject(0, 1);
  EXPECT_EQ(events, (Lines{"changing 3", "change 3"}));
  events.clear();

  Owned<TWideStringList> empty;
  int fired = 0;
  empty->OnChange = [&](TWideStringList*) { ++fired; };
  empty->clear();  // nothing at all when already empty
  EXPECT_EQ(fired, 0);
}

TEST(WideStringList, DestroyFiresNoEvents) {
  TWideStringList* list = New<TWideStringList>();
  int fired = 0;
  list->OnChange = [&](TWideStringList*) { ++fired; };
  list->OnChanging = [&](TWideStringList*) { ++fired; };
  list->add(u"a");
  fired = 0;
  list->Free();
  EXPECT_EQ(fired, 0);
}

// ---- hashed lists ------------------------------------------------------------------------

TEST(HashedStringList, FindsNonAsciiNamesInEitherCase) {
  Owned<THashedStringList> hashed;
  hashed->add(u"\u00E4=1");        // a umlaut
  hashed->add(u"\u0434\u0430=2");  // Cyrillic "da"
  EXPECT_EQ(hashed->indexOfName(u"\u00E4"), 0);
  EXPECT_EQ(hashed->indexOfName(u"\u00C4"), 0);
  EXPECT_EQ(hashed->indexOfName(u"\u0414\u0410"), 1);
  EXPECT_EQ(hashed->getValue(u"\u00C4"), u"1");
  EXPECT_EQ(hashed->indexOf(u"\u00C4=1"), 0);

  // The plain list compares with CompareTextW, which folds ASCII letters only.
  Owned<TWideStringList> plain;
  plain->add(u"\u00E4=1");
  EXPECT_EQ(plain->indexOfName(u"\u00E4"), 0);
  EXPECT_EQ(plain->indexOfName(u"\u00C4"), -1);
}

TEST(HashedStringList, IndexStaysCurrentAfterEveryChange) {
  Owned<THashedStringList> list;
  list->setText(u"a=1\r\nb=2\r\nc=3");
  EXPECT_EQ(list->indexOfName(u"C"), 2);
  EXPECT_EQ(list->indexOf(u"B=2"), 1);
  list->Delete(0);
  EXPECT_EQ(list->indexOfName(u"c"), 1);
  EXPECT_EQ(list->indexOfName(u"a"), -1);
  list->put(0, u"z=9");
  EXPECT_EQ(list->indexOfName(u"b"), -1);
  EXPECT_EQ(list->indexOfName(u"z"), 0);
  list->exchange(0, 1);
  EXPECT_EQ(list->indexOfName(u"z"), 1);
  list->insert(0, u"first");
  EXPECT_EQ(list->indexOf(u"FIRST"), 0);
  EXPECT_EQ(list->indexOfName(u"z"), 2);
  list->beginUpdate();
  list->add(u"inside=1");
  EXPECT_EQ(list->indexOfName(u"inside"), 3);  // current even while an update is open
  list->endUpdate();
  list->setSorted(true);
  EXPECT_EQ(list->indexOfName(u"c"), 0);
  list->clear();
  EXPECT_EQ(list->indexOfName(u"c"), -1);
  EXPECT_EQ(list->indexOf(u""), -1);

  // A change handler that looks up already sees the new content.
  int seen = -2;
  list->OnChange = [&](TWideStringList* sender) { seen = sender->indexOf(u"new"); };
  list->add(u"new");
  EXPECT_EQ(seen, 0);
}

TEST(HashedStringList, EqualKeysGiveTheLastItem) {
  Owned<THashedStringList> list;
  list->add(u"x=1");
  list->add(u"X=2");
  list->add(u"x=1");
  EXPECT_EQ(list->indexOfName(u"x"), 2);
  EXPECT_EQ(list->indexOf(u"X=1"), 2);
}

TEST(StringHash, HashLookupAndRepeatedKeys) {
  // "ab": h = 0x61, then ((0x61 shl 2) or 0) xor 0x62 = 0x1E6.
  EXPECT_EQ(TStringHash::HashOf(u"ab"), 0x1E6u);
  EXPECT_EQ(TStringHash::HashOf(u""), 0u);
  // The rotation keeps the top bits: 17 units of 0xFFFF.
  uint32_t h = 0;
  for (int i = 0; i < 17; ++i) h = ((h << 2) | (h >> 30)) ^ 0xFFFFu;
  EXPECT_EQ(TStringHash::HashOf(WideString(17, 0xFFFF)), h);

  TStringHash hash(256);
  EXPECT_EQ(hash.Lookup(u"key"), -1);
  hash.Insert(u"key", 1);
  hash.Insert(u"key", 2);
  EXPECT_EQ(hash.Lookup(u"key"), 2);
  EXPECT_EQ(hash.Lookup(u"KEY"), -1);  // keys compare exactly
  // Keys of one bucket: 0x100 apart in their single unit.
  hash.Insert(WideString(1, 0x101), 7);
  hash.Insert(WideString(1, 0x001), 8);
  EXPECT_EQ(hash.Lookup(WideString(1, 0x101)), 7);
  EXPECT_EQ(hash.Lookup(WideString(1, 0x001)), 8);
  hash.RemoveAll();
  EXPECT_EQ(hash.Lookup(u"key"), -1);

  TStringHash one(0);  // a bucket count below one still works
  one.Insert(u"a", 3);
  EXPECT_EQ(one.bucketCount(), 1);
  EXPECT_EQ(one.Lookup(u"a"), 3);

  // A long chain of equal keys is freed without recursion.
  TStringHash chain(1);
  for (int i = 0; i < 200000; ++i) chain.Insert(u"same", i);
  EXPECT_EQ(chain.Lookup(u"same"), 199999);
}

// ---- file forms --------------------------------------------------------------------------

TEST(WideTextList, SavesMarkAndUtf16LeAndReadsBack) {
  TempFolder folder;
  const std::string name = folder.file("list.txt");
  Owned<TWideStringList> list;
  list->add(u"a");
  list->add(u"");
  list->add(u"b");
  ASSERT_TRUE(list->saveToFile(name));
  EXPECT_EQ(FileBytes(name), Bytes({0xFF, 0xFE, 0x61, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x0D, 0x00, 0x0A, 0x00,
                                    0x62, 0x00, 0x0D, 0x00, 0x0A, 0x00}));
  Owned<TWideStringList> back;
  back->add(u"old");
  back->loadFromFile(name);
  EXPECT_EQ(Items(*back), (Lines{"a", "", "b"}));

  // Non-ASCII text keeps every unit; overwriting leaves no temporary file.
  list->setText(u"\u20AC\U0001F600");
  ASSERT_TRUE(list->saveToFile(name));
  EXPECT_EQ(FileBytes(name), Bytes({0xFF, 0xFE, 0xAC, 0x20, 0x3D, 0xD8, 0x00, 0xDE, 0x0D, 0x00, 0x0A, 0x00}));
  back->loadFromFile(name);
  EXPECT_EQ(back->get(0), u"\u20AC\U0001F600");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(WideTextList, EitherMarkIsReadAsLittleEndian) {
  Owned<TWideStringList> list;
  TMemoryStream swapped(Bytes({0xFE, 0xFF, 0x61, 0x00, 0x0A, 0x00, 0x62, 0x00}));
  list->loadFromStream(swapped);
  EXPECT_EQ(Items(*list), (Lines{"a", "b"}));
  // An odd last byte is not a unit.
  TMemoryStream odd(Bytes({0xFF, 0xFE, 0x63, 0x00, 0x64}));
  list->loadFromStream(odd);
  EXPECT_EQ(Items(*list), Lines{"c"});
  // A mark alone gives an empty list.
  TMemoryStream markOnly(Bytes({0xFF, 0xFE}));
  list->loadFromStream(markOnly);
  EXPECT_EQ(list->count(), 0);
}

TEST(WideTextList, AnyOtherStartLeavesTheListUnchanged) {
  Owned<TWideStringList> list;
  list->add(u"keep");
  for (auto bytes : {Bytes({0x61, 0x00, 0x0D, 0x00}), Bytes({0xEF, 0xBB, 0xBF, 0x61}), Bytes({0xFF}),
                     Bytes({0xFE, 0xFE, 0x61, 0x00}), Bytes({})}) {
    TMemoryStream stream(bytes);
    list->loadFromStream(stream);
    EXPECT_EQ(Items(*list), Lines{"keep"});
  }
}

TEST(WideTextList, ReadsFromTheStreamPosition) {
  TMemoryStream stream(Bytes({'x', 'y', 0xFF, 0xFE, 0x71, 0x00}));
  stream.SetPosition(2);
  Owned<TWideStringList> list;
  list->loadFromStream(stream);
  EXPECT_EQ(Items(*list), Lines{"q"});
}

TEST(WideTextList, MissingOrUnwritableFiles) {
  TempFolder folder;
  Owned<TWideStringList> list;
  list->add(u"keep");
  list->loadFromFile(folder.file("absent.txt"));
  list->loadFromFile(folder.path());  // a folder is no list file
  EXPECT_EQ(Items(*list), Lines{"keep"});
  EXPECT_FALSE(list->saveToFile(folder.file("no/such/folder/list.txt")));
}

TEST(ScrambledTextList, XorsEveryUnitWithTheKey) {
  TempFolder folder;
  const std::string name = folder.file("prefs.dat");
  Owned<TWideStringList> list;
  list->add(u"0");
  {
    TFileStream out(name, FileMode::Create);
    ASSERT_TRUE(out.IsOpen());
    list->saveScrambled(out);
    ASSERT_TRUE(out.Close());
  }
  EXPECT_EQ(FileBytes(name), Bytes({0xD1, 0xC7, 0xEC, 0xC7, 0xEB, 0xC7}));

  list->setText(u"user1.lang=english\r\n\u00E9");
  {
    TFileStream out(name, FileMode::Create);
    list->saveScrambled(out);
    ASSERT_TRUE(out.Close());
  }
  std::vector<uint8_t> bytes = FileBytes(name);
  ASSERT_EQ(bytes.size(), 2 * list->text().size());
  EXPECT_EQ(bytes[0], 0x75 ^ 0xE1);  // "u"
  EXPECT_EQ(bytes[1], 0xC7);

  Owned<TWideStringList> back;
  TFileStream in(name, FileMode::OpenRead);
  back->loadScrambled(in);
  EXPECT_EQ(Items(*back), (Lines{"user1.lang=english", "é"}));

  // A unit equal to the key reads as NUL, which ends the text.
  TMemoryStream withNul(Bytes({0xD1, 0xC7, 0xE1, 0xC7, 0xD1, 0xC7}));
  back->loadScrambled(withNul);
  EXPECT_EQ(Items(*back), Lines{"0"});
  // An empty stream gives an empty list.
  TMemoryStream empty;
  back->loadScrambled(empty);
  EXPECT_EQ(back->count(), 0);
}

// ---- published description ---------------------------------------------------------------

TEST(WideStrings, PublishedPropertiesAndMethodsReachTheList) {
  Owned<TWideStringList> list;
  const ClassInfo& info = list->classInfo();
  EXPECT_EQ(info.name(), "TWideStringList");
  EXPECT_EQ(THashedStringList::staticClassInfo().parent(), &TWideStringList::staticClassInfo());
  EXPECT_TRUE(TWideStrings::staticClassInfo().isAbstract());

  std::vector<std::string> names;
  for (const PropInfo* p : info.properties()) names.push_back(p->name);
  EXPECT_EQ(names, (Lines{"count", "commaText", "caseSensitive", "text", "sorted", "sortByObject"}));

  SetWideStrProp(list.list, *info.findProperty("commaText"), u"b,a");
  EXPECT_EQ(GetOrdProp(list.list, *info.findProperty("count")), 2);
  EXPECT_TRUE(info.findProperty("count")->readOnly());
  SetOrdProp(list.list, *info.findProperty("sorted"), 1);
  EXPECT_EQ(GetWideStrProp(list.list, *info.findProperty("text")), u"a\r\nb\r\n");

  const MethodInfo* add = info.findMethod("add");
  ASSERT_NE(add, nullptr);
  EXPECT_FALSE(add->hasResult);
  std::vector<Variant> args{Variant(WideString(u"c"))};
  add->invoke(list.list, args);
  EXPECT_EQ(list->count(), 3);

  std::vector<Variant> index{Variant(int32_t(2))};
  EXPECT_EQ(info.findMethod("items")->invoke(list.list, index).toText(), u"c");
  std::vector<Variant> setArgs{Variant(int32_t(0)), Variant(WideString(u"z"))};
  info.findMethod("setItem")->invoke(list.list, setArgs);
  EXPECT_EQ(list->get(0), u"z");
  info.findMethod("delete")->invoke(list.list, index);
  EXPECT_EQ(list->count(), 2);
  info.findMethod("clear")->invoke(list.list, {});
  EXPECT_EQ(list->count(), 0);

  TObject* made = THashedStringList::staticClassInfo().create(nullptr);
  ASSERT_NE(dynamic_cast<THashedStringList*>(made), nullptr);
  made->Free();
}
