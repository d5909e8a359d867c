#include "engine/preferences.h"

#include <algorithm>
#include <climits>

#include "core/class_builder.h"
#include "core/log.h"
#include "core/text_helpers.h"
#include "core/wide_strings.h"
#include "engine/applet_numbers.h"
#include "engine/user_list_file.h"

namespace {
constexpr char16_t kFileName[] = u"prefs.dat";
constexpr char16_t kCurrentUser[] = u"currentuser";
constexpr std::u16string_view kUserPrefix = u"user";

// The N of a line named "user<N>" (a player's name line) or "user<N>.<key>"
// (a setting, when `settings` is set); 0 for any other line.
int32_t NumberInLineName(const WideString& name, bool settings) {
  if (name.size() <= kUserPrefix.size() || !SameTextAsciiW(name.substr(0, kUserPrefix.size()), kUserPrefix)) {
    return 0;
  }
  size_t end = name.find(u'.', kUserPrefix.size());
  if (end != WideString::npos && !settings) return 0;
  std::optional<int32_t> n = ParseWholeNumber(name.substr(kUserPrefix.size(), end - kUserPrefix.size()));
  bool digitsOnly = n && name[kUserPrefix.size()] >= u'0' && name[kUserPrefix.size()] <= u'9';
  return digitsOnly && *n > 0 ? *n : 0;
}

WideString PlayerLineName(int32_t number) { return kUserPrefix.data() + DecimalText(number); }

// The first line holds the number of players; every other line is name=value.
bool IsPreferenceLine(const WideString& line, int index) {
  if (index == 0) return ParseWholeNumber(line).value_or(-1) >= 0;
  return line.find(u'=') != WideString::npos && line.front() != u'=';
}
}  // namespace

const ClassInfo& Preferences::staticClassInfo() {
  using P = Preferences;
  static const ClassInfo info = ClassBuilder<P>("Preferences")
                                    .property("user", &P::user, &P::setUser).stored(false)
                                    .property("userCount", &P::userCount, &P::ignoreCount).stored(false)
                                    .method("load", &P::load)
                                    .method("store", &P::store)
                                    .method("getValue", &P::getValue)
                                    .method("setValue", &P::setValue)
                                    .method("getBoolValue", &P::getBoolValue)
                                    .method("getIntValue", &P::getIntValue)
                                    .method("getFloatValue", &P::getFloatValue)
                                    .method("users", &P::users)
                                    .method("addUser", &P::addUser)
                                    .method("renameUser", &P::renameUser)
                                    .method("deleteUser", &P::deleteUser)
                                    .method("userNumber", &P::userNumber)
                                    .build();
  return info;
}

void Preferences::Create(TObject* owner) {
  inherited::Create(owner);
  list_ = New<TWideStringList>();
  list_->add(u"0");
}

void Preferences::Destroy() {
  FreeAndNil(list_);
  inherited::Destroy();
}

void Preferences::load() {
  if (ReadUserListFile(kFileName, *list_, IsPreferenceLine, 1) != ListFileRead::Read) return;
  user_ = UnescapeListText(list_->getValue(kCurrentUser));
}

void Preferences::store() { WriteUserListFile(kFileName, *list_); }

WideString Preferences::settingName(const WideString& key) const {
  return PlayerLineName(userNumber(user_)) + u"." + EscapeListText(key);
}

WideString Preferences::getValue(const WideString& key) {
  return UnescapeListText(list_->getValue(settingName(key)));
}

void Preferences::setValue(const WideString& key, const WideString& value) {
  list_->setValue(settingName(key), EscapeListText(value));
  store();
}

bool Preferences::getBoolValue(const WideString& key) {
  WideString value = getValue(key);
  return value == u"1" || value == u"true" || value == u"-1" || value == u"on";
}

int32_t Preferences::getIntValue(const WideString& key) { return ParseWholeNumber(getValue(key)).value_or(0); }

float Preferences::getFloatValue(const WideString& key) {
  WideString value = getValue(key);
  try {
    return value.empty() ? 0.0f : static_cast<float>(WideStrToFloat(value));
  } catch (const EConvertError&) {
    return 0.0f;
  }
}

std::vector<int32_t> Preferences::playerNumbers() const {
  std::vector<int32_t> numbers;
  for (int i = 1; i < list_->count(); ++i) {
    if (int32_t n = NumberInLineName(list_->getName(i), false)) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

int32_t Preferences::highestNumberUsed() const {
  int32_t highest = 0;
  for (int i = 1; i < list_->count(); ++i) highest = std::max(highest, NumberInLineName(list_->getName(i), true));
  return highest;
}

WideString Preferences::playerName(int32_t number) const {
  return UnescapeListText(list_->getValue(PlayerLineName(number)));
}

WideString Preferences::users(int32_t index) {
  std::vector<int32_t> numbers = playerNumbers();
  if (index < 0 || index >= static_cast<int32_t>(numbers.size())) return WideString();
  return playerName(numbers[static_cast<size_t>(index)]);
}

int32_t Preferences::userCount() const {
  return list_->count() > 0 ? std::max(0, ParseWholeNumber(list_->get(0)).value_or(0)) : 0;
}

int32_t Preferences::userNumber(const WideString& name) const {
  for (int32_t n : playerNumbers()) {
    if (playerName(n) == name) return n;
  }
  return 1;
}

void Preferences::setFirstLine(int32_t count) { list_->put(0, DecimalText(count)); }

void Preferences::addUser(const WideString& name) {
  if (list_->count() == 0) return;
  const int32_t count = userCount();
  const int32_t highest = std::max(count, highestNumberUsed());
  if (highest == INT32_MAX) {
    LogError(u"No player number left for " + name);
    return;
  }
  setFirstLine(count + 1);
  list_->insert(1, PlayerLineName(highest + 1) + u"=" + EscapeListText(name));
  setUser(name);
}

void Preferences::renameUser(const WideString& oldName, const WideString& newName) {
  for (int32_t n : playerNumbers()) {
    if (playerName(n) != oldName) continue;
    list_->put(list_->indexOfName(PlayerLineName(n)), PlayerLineName(n) + u"=" + EscapeListText(newName));
    LogInfo(u"ok! user name chaged from " + oldName + u" to " + newName);
    return;
  }
}

void Preferences::deleteUser(const WideString& name) {
  for (int32_t n : playerNumbers()) {
    if (playerName(n) != name) continue;
    if (int32_t count = userCount(); count > 0) setFirstLine(count - 1);
    list_->Delete(list_->indexOfName(PlayerLineName(n)));
    return;
  }
}

void Preferences::setUser(const WideString& name) {
  user_ = name;
  list_->setValue(kCurrentUser, EscapeListText(name));
}
