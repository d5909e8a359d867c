#pragma once
// The players and their settings, kept in "prefs.dat" and seen by scripts as
// "preferences". The file is a list of lines: the number of players first,
// then "user<N>=<name>" per player (the newest right after the first line),
// "currentuser=<name>", and "user<N>.<key>=<value>" per setting. A player's
// settings are keyed by the number under which the player was added; a
// current player who is unknown (or none) uses number 1.
//
// Numbers are never handed out twice: a new player gets one above every
// number the file mentions, so a removed player's leftover settings never
// pass to someone else. Lookups by name search every numbered player.
#include <cstdint>

#include "core/base_object.h"

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
  // stores the file.
  void setValue(const WideString& key, const WideString& value);
  // True for "1", "true", "-1" and "on" exactly.
  bool getBoolValue(const WideString& key);
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
  void ignoreCount(int32_t) {}
  WideString settingName(const WideString& key) const;
  // Player numbers that have a name line, in ascending order.
  std::vector<int32_t> playerNumbers() const;
  int32_t highestNumberUsed() const;
  WideString playerName(int32_t number) const;
  void setFirstLine(int32_t count);

  TWideStringList* list_ = nullptr;
  WideString user_;
};
