#pragma once
// The wide-string list family: `TWideStrings` (the abstract list of UTF-16
// strings, each with an object slot), `TWideStringList` (the stored list:
// sorting, duplicates, change events) and `THashedStringList` (a list whose
// lookups go through two hashes). They serve name=value stores, sorted
// lists, text files, the cache's name indexes and the preferences and score
// files.
//
// Two file forms belong to the lists:
// - WideTextList: the byte-order mark FF FE, then the list's text (every item
//   followed by CR LF) as UTF-16LE code units.
// - ScrambledTextList: the same text with no mark, every code unit XORed with
//   kScrambleKey.
//
// Misuse (a bad index, an insert into a sorted list, a refused duplicate) is
// written to the engine's error log and the list stays consistent; nothing
// here throws.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/objects/component.h"
#include "core/text/string_hash.h"
#include "core/text/text.h"

class TStream;

// The code-unit key of the scrambled list files (also the preferences and
// score files).
constexpr uint16_t kScrambleKey = 0xC7E1;

// What an item carries beside its text: an object pointer or a whole number
// (the score table keeps scores there). The list never owns it.
class ItemObject {
 public:
  constexpr ItemObject() = default;
  constexpr ItemObject(std::nullptr_t) {}
  constexpr ItemObject(int32_t number) : bits_(number) {}
  template <typename T>
  ItemObject(T* pointer) : bits_(reinterpret_cast<intptr_t>(pointer)) {}

  // The slot as a signed 32-bit number, the way sorting by object and
  // findObject compare it.
  int32_t asInt() const { return static_cast<int32_t>(bits_); }
  template <typename T = TObject>
  T* as() const {
    return reinterpret_cast<T*>(bits_);
  }
  intptr_t bits() const { return bits_; }
  explicit operator bool() const { return bits_ != 0; }
  bool operator==(const ItemObject&) const = default;

 private:
  intptr_t bits_ = 0;
};

// One item of an 8-bit string list, for exchanges with 8-bit text.
struct AnsiStringItem {
  AnsiString string;
  ItemObject object;
};
using AnsiStringItems = std::vector<AnsiStringItem>;

class TWideStrings : public TSomePersistent {
  Q_OBJECT(TWideStrings, TSomePersistent)

 public:
  // ---- virtual operations ---------------------------------------------------
  virtual int compareStrings(const WideString& a, const WideString& b) const;
  virtual WideString get(int index) const = 0;
  virtual int getCapacity() const { return getCount(); }
  virtual int getCount() const = 0;
  virtual ItemObject getObject(int index) const;
  // Every item followed by CR LF.
  virtual WideString getText() const;
  virtual void put(int index, const WideString& s);
  virtual void putObject(int index, ItemObject object);
  virtual void setCapacity(int capacity);
  // Clears, then adds every line of `s` (see the line rules in the .cpp).
  virtual void setText(const WideString& s);
  virtual void setUpdateState(bool updating);
  virtual int addObject(const WideString& s, ItemObject object);
  virtual void addAnsiStrings(const AnsiStringItems& list);
  virtual void addStrings(const TWideStrings& list);
  virtual void exchange(int index1, int index2);
  // The first index whose string equals s by CompareTextW; -1 when none.
  virtual int indexOf(const WideString& s);
  // The first index whose name part (before the first "=") equals name by
  // CompareTextW; items without "=" are skipped; -1 when none.
  virtual int indexOfName(const WideString& name);
  virtual void insert(int index, const WideString& s) = 0;
  // Reads a WideTextList file; a missing or unreadable file leaves the list
  // as it is.
  virtual void loadFromFile(const std::string& path);
  virtual void loadFromStream(TStream& stream);
  virtual void loadScrambled(TStream& stream);
  virtual void move(int fromIndex, int toIndex);
  // Writes a WideTextList file through a temporary file renamed into place;
  // false when the file could not be written (the old file then stays).
  virtual bool saveToFile(const std::string& path);
  virtual void saveToStream(TStream& stream);
  virtual void saveScrambled(TStream& stream);
  // setText of a NUL-terminated buffer (nil clears the list).
  virtual void setTextBuffer(const WideChar* text);
  virtual void sort() {}
  // insert(count, s); answers the index.
  virtual int add(const WideString& s);
  virtual void Delete(int index) = 0;
  virtual void clear() {}

  // ---- the rest ---------------------------------------------------------------
  void beginUpdate();
  void endUpdate();
  int updateCount() const { return updateCount_; }

  int count() const { return getCount(); }
  WideString items(int index) const { return get(index); }
  void setItem(int index, const WideString& s) { put(index, s); }
  WideString text() const { return getText(); }

  // The item's text before its first "="; empty when it has none.
  WideString getName(int index) const;
  // The item's text after its first "="; empty for a negative index or an
  // item without "=".
  WideString getValueAt(int index) const;
  // The value of the item named `name`; empty when there is none.
  WideString getValue(const WideString& name);
  // Sets name=value (a new item when the name is absent); an empty value
  // deletes the named item.
  void setValue(const WideString& name, const WideString& value);
  int indexOfObject(ItemObject object) const;
  void insertObject(int index, const WideString& s, ItemObject object);

  // The items joined by "," with no quoting.
  WideString commaText() const;
  // Items end at white space as well as at commas: "a, b" gives two items.
  void setCommaText(const WideString& text);

  bool sorted() const { return sorted_; }
  // Switching on sorts first (with the flag still off), then stores it.
  void setSorted(bool value);
  bool caseSensitive() const { return caseSensitive_; }
  void setCaseSensitive(bool value);

  // Clears and takes every string with its object, inside begin/end update.
  void Assign(const TWideStrings& source);
  void Assign(const AnsiStringItems& source);
  void AssignTo(TWideStrings& destination) const { destination.Assign(*this); }
  void AssignTo(AnsiStringItems& destination) const;

  // Writes the message ("list index error", "sorted list error",
  // "Doublicate string") to the error log and returns.
  void listError(const WideString& message) const;

 protected:
  // The flags, for descendants that keep them in step with their content.
  void storeSorted(bool value) { sorted_ = value; }

 private:
  void addFromScript(const WideString& s) { add(s); }
  // The stream's remaining code units, read in steps so that only the bytes
  // actually there are ever held.
  static WideString readUnits(TStream& stream, uint16_t key);
  void writeUnits(TStream& stream, bool marked, uint16_t key) const;

  int32_t updateCount_ = 0;
  bool caseSensitive_ = false;
  bool sorted_ = false;
};

enum TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TWideStringList;
// Change events get the list that changed.
using ListNotifyEvent = std::function<void(TWideStringList* sender)>;

class TWideStringList : public TWideStrings {
  Q_OBJECT(TWideStringList, TWideStrings)

 public:
  // With caseSensitive the exact comparison of code units, else CompareTextW.
  int compareStrings(const WideString& a, const WideString& b) const override;
  WideString get(int index) const override;
  int getCapacity() const override { return capacity_; }
  int getCount() const override { return static_cast<int>(items_.size()); }
  ItemObject getObject(int index) const override;
  void put(int index, const WideString& s) override;
  void putObject(int index, ItemObject object) override;
  // A capacity below the count (or negative) is a list index error.
  void setCapacity(int capacity) override;
  void setUpdateState(bool updating) override;
  void exchange(int index1, int index2) override;
  int indexOf(const WideString& s) override;
  void insert(int index, const WideString& s) override;
  // Quick sort by CompareTextW, or by object (largest first) with
  // sortByObject; nothing when the sorted flag is set or count < 2.
  void sort() override;
  int add(const WideString& s) override;
  void Delete(int index) override;
  void clear() override;

  // OnChange after a change (when no update is open), OnChanging before.
  virtual void changed();
  virtual void changing();
  // Binary search by CompareTextW (whatever caseSensitive says); true when an
  // equal item exists. `index` is where s stands or would be inserted; with
  // dupAccept the first of several equal items.
  virtual bool find(const WideString& s, int& index) const;
  // The same search over the objects as signed 32-bit values in descending
  // order.
  virtual bool findObject(int32_t value, int& index) const;

  TDuplicates duplicates() const { return duplicates_; }
  void setDuplicates(TDuplicates value) { duplicates_ = value; }
  bool sortByObject() const { return sortByObject_; }
  void setSortByObject(bool value) { sortByObject_ = value; }

  ListNotifyEvent OnChange;
  ListNotifyEvent OnChanging;

 protected:
  void Destroy() override;

 private:
  struct Item {
    WideString string;
    ItemObject object;
  };
  bool validIndex(int index) const { return index >= 0 && index < getCount(); }
  void grow();
  void insertItem(int index, const WideString& s, ItemObject object);
  int compareForSort(int a, int b) const;
  void quickSort(int lo, int hi);

  std::vector<Item> items_;
  int32_t capacity_ = 0;
  TDuplicates duplicates_ = dupIgnore;
  bool sortByObject_ = false;
};

class THashedStringList : public TWideStringList {
  Q_OBJECT(THashedStringList, TWideStringList)

 public:
  // Both lookups upper-case the key and the items with UpperCaseW and go
  // through a hash rebuilt after any change; among equal keys the last item
  // is found.
  int indexOf(const WideString& s) override;
  int indexOfName(const WideString& name) override;
  void changed() override;

 protected:
  void Destroy() override;

 private:
  void updateValueHash();
  void updateNameHash();

  std::unique_ptr<TStringHash> valueHash_;
  std::unique_ptr<TStringHash> nameHash_;
  bool valueHashValid_ = false;
  bool nameHashValid_ = false;
};
