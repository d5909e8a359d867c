#pragma once
// The players and their settings, kept in "prefs.dat" and seen by scripts as
// "preferences". The file is a list of lines: the number of players first,
// then "user<N>=<name>" per player (the newest right after the first line),
// "currentuser=<name>", and "user<N>.<key>=<value>" per setting. A player's
// settings are keyed by the number under which the player was added; a
// current player who is unknown (or none) uses number 1.
//
// A new player gets the number above the count and above every player line
// in the file, so the number of a player that is still listed is never handed
// out again; setting lines (the applet writes "user1.*" at every exit) do not
// count, so the first player added to a fresh file is number 1 and finds
// the settings made before. Lookups by name search every numbered player.
//
// Lookups go through an index of the lines (names, players), built again
// only after a change that adds or removes lines, so a file with thousands
// of players answers each lookup at once.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/objects/base_object.h"

class TWideStringList;

class Preferences : public BaseObject {
  Q_OBJECT(Preferences, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // Reads "prefs.dat"; a missing or damaged file changes nothing.
  void load();
  // Writes "prefs.dat" (through the engine's external manager).
  void store();

  // The current player's setting; empty when absent.
  WideString getValue(const WideString& key);
  // Sets (or, for an empty value, removes) the current player's setting and
  // stores the file. A key or value longer than the list file allows, or one
  // that would make the file too large, is refused with an error line and
  // changes nothing.
  void setValue(const WideString& key, const WideString& value);
  // True for "1", "true", "-1" and "on" exactly.
  bool getBoolValue(const WideString& key);
  // The value as a whole or a decimal number; 0 when it is not exactly one
  // (blanks included) or is not finite.
  int32_t getIntValue(const WideString& key);
  float getFloatValue(const WideString& key);

  // The name of the player at that index, counting players by number.
  WideString users(int32_t index);
  void addUser(const WideString& name);
  // Logs "ok! user name chaged from <old> to <new>" when a player is renamed.
  void renameUser(const WideString& oldName, const WideString& newName);
  // Removes the player's name line (the settings stay); an absent name
  // changes nothing.
  void deleteUser(const WideString& name);

  const WideString& user() const { return user_; }
  void setUser(const WideString& name);
  int32_t userCount() const;
  // The number of the first player with that exact name; 1 when none.
  int32_t userNumber(const WideString& name) const;

  // The whole content of the file, line by line.
  const TWideStringList& lines() const { return *list_; }

 private:
  // Where the lines stand, by name (ASCII letters folded, as names compare),
  // and the players by number.
  struct LineIndex {
    std::unordered_map<WideString, int> lineOfName;
    std::vector<int32_t> playerNumbers;  // ascending
    std::unordered_map<WideString, int32_t> firstNumberOfName;
    std::unordered_map<int32_t, WideString> nameOfNumber;
  };

  void ignoreCount(int32_t) {}
  WideString settingName(const WideString& key) const;
  const LineIndex& index() const;
  void linesMoved() { indexValid_ = false; }
  int lineOf(const WideString& name) const;
  WideString valueOf(const WideString& name) const;
  // Sets or (for an empty value) removes the named line.
  void putLine(const WideString& name, const WideString& value);
  const std::vector<int32_t>& playerNumbers() const { return index().playerNumbers; }
  WideString playerName(int32_t number) const;
  void setFirstLine(int32_t count);
  // False (logged) when one more line of that text would pass the file's limit.
  bool roomFor(int64_t addedBytes) const;

  TWideStringList* list_ = nullptr;
  WideString user_;
  mutable LineIndex index_;
  mutable bool indexValid_ = false;
};
