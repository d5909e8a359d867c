#include "engine/player/preferences.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/objects/class_builder.h"
#include "core/objects/wide_strings.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet_numbers.h"
#include "engine/player/user_list_file.h"

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

namespace {
// Names compare with ASCII letters folded.
WideString FoldedName(std::u16string_view name) {
  WideString folded(name);
  for (char16_t& unit : folded) {
    if (unit >= u'a' && unit <= u'z') unit = static_cast<char16_t>(unit - u'a' + u'A');
  }
  return folded;
}
}  // namespace

const Preferences::LineIndex& Preferences::index() const {
  if (indexValid_) return index_;
  index_ = LineIndex{};
  for (int i = 1; i < list_->count(); ++i) {
    const WideString& line = list_->get(i);
    const size_t equals = line.find(u'=');
    if (equals == WideString::npos) continue;
    const std::u16string_view name = std::u16string_view(line).substr(0, equals);
    index_.lineOfName.try_emplace(FoldedName(name), i);
  }
  // Players by number; where two lines give one number ("user2", "user02"),
  // the earlier line names the player.
  std::vector<std::pair<int32_t, int>> players;
  for (const auto& [name, line] : index_.lineOfName) {
    if (int32_t n = NumberInLineName(name, false)) players.emplace_back(n, line);
  }
  std::sort(players.begin(), players.end());
  for (const auto& [n, line] : players) {
    if (index_.nameOfNumber.count(n)) continue;
    WideString name = UnescapeListText(list_->getValueAt(line));
    index_.playerNumbers.push_back(n);
    index_.firstNumberOfName.try_emplace(name, n);
    index_.nameOfNumber.emplace(n, std::move(name));
  }
  indexValid_ = true;
  return index_;
}

int Preferences::lineOf(const WideString& name) const {
  const auto& lines = index().lineOfName;
  auto found = lines.find(FoldedName(name));
  return found == lines.end() ? -1 : found->second;
}

WideString Preferences::valueOf(const WideString& name) const {
  const int line = lineOf(name);
  return line < 0 ? WideString() : list_->getValueAt(line);
}

void Preferences::putLine(const WideString& name, const WideString& value) {
  const int line = lineOf(name);
  if (value.empty()) {
    if (line < 0) return;
    list_->Delete(line);
  } else if (line >= 0) {
    list_->put(line, name + u"=" + value);
    // A player's name line changes the players' names.
    if (NumberInLineName(name, false) == 0) return;
  } else {
    list_->add(name + u"=" + value);
  }
  linesMoved();
}

bool Preferences::roomFor(int64_t addedBytes) const {
  return ListFileFits(kFileName, ListFileBytes(*list_) + addedBytes);
}

void Preferences::load() {
  if (ReadUserListFile(kFileName, *list_, IsPreferenceLine) != ListFileRead::Read) return;
  linesMoved();
  // The count is the first line; when it could not be read, the players
  // the file lists are counted instead.
  if (list_->count() == 0 || list_->get(0).find(u'=') != WideString::npos) {
    list_->insert(0, u"0");
    linesMoved();
    setFirstLine(static_cast<int32_t>(playerNumbers().size()));
  }
  user_ = UnescapeListText(valueOf(kCurrentUser));
}

void Preferences::store() { WriteUserListFile(kFileName, *list_); }

WideString Preferences::settingName(const WideString& key) const {
  return PlayerLineName(userNumber(user_)) + u"." + EscapeListText(key);
}

WideString Preferences::getValue(const WideString& key) { return UnescapeListText(valueOf(settingName(key))); }

void Preferences::setValue(const WideString& key, const WideString& value) {
  if (!ListTextFits(kFileName, u"the key " + LogSafeText(key.substr(0, 40)), key) ||
      !ListTextFits(kFileName, u"the value of " + LogSafeText(key.substr(0, 40)), value)) {
    return;
  }
  const WideString name = settingName(key);
  const WideString escaped = EscapeListText(value);
  const int line = lineOf(name);
  const int64_t oldBytes = line < 0 ? 0 : ListLineBytes(list_->get(line));
  const int64_t newBytes = value.empty() ? 0 : ListLineBytes(name + u"=" + escaped);
  if (!roomFor(newBytes - oldBytes)) return;
  putLine(name, escaped);
  store();
}

bool Preferences::getBoolValue(const WideString& key) {
  WideString value = getValue(key);
  return value == u"1" || value == u"true" || value == u"-1" || value == u"on";
}

int32_t Preferences::getIntValue(const WideString& key) { return ParseWholeNumber(getValue(key)).value_or(0); }

float Preferences::getFloatValue(const WideString& key) {
  const double value = ParseDecimalNumber(getValue(key)).value_or(0.0);
  // A value past float's range would read as infinite.
  const float narrowed = static_cast<float>(value);
  return std::isfinite(narrowed) ? narrowed : 0.0f;
}

WideString Preferences::playerName(int32_t number) const {
  const auto& names = index().nameOfNumber;
  auto found = names.find(number);
  return found == names.end() ? WideString() : found->second;
}

WideString Preferences::users(int32_t index) {
  const std::vector<int32_t>& numbers = playerNumbers();
  if (index < 0 || index >= static_cast<int32_t>(numbers.size())) return WideString();
  return playerName(numbers[static_cast<size_t>(index)]);
}

int32_t Preferences::userCount() const {
  return list_->count() > 0 ? std::max(0, ParseWholeNumber(list_->get(0)).value_or(0)) : 0;
}

int32_t Preferences::userNumber(const WideString& name) const {
  const auto& numbers = index().firstNumberOfName;
  auto found = numbers.find(name);
  return found == numbers.end() ? 1 : found->second;
}

void Preferences::setFirstLine(int32_t count) { list_->put(0, DecimalText(count)); }

void Preferences::addUser(const WideString& name) {
  if (list_->count() == 0) return;
  if (!ListTextFits(kFileName, u"a player's name", name)) return;
  const int32_t count = userCount();
  const std::vector<int32_t>& numbers = playerNumbers();
  const int32_t highest = std::max(count, numbers.empty() ? 0 : numbers.back());
  if (highest == INT32_MAX) {
    LogError(u"No player number left for " + LogSafeText(name));
    return;
  }
  const WideString line = PlayerLineName(highest + 1) + u"=" + EscapeListText(name);
  const int current = lineOf(kCurrentUser);
  const int64_t currentGrows = ListLineBytes(kCurrentUser + (u"=" + EscapeListText(name))) -
                               (current < 0 ? 0 : ListLineBytes(list_->get(current)));
  if (!roomFor(ListLineBytes(line) + currentGrows)) return;
  setFirstLine(count + 1);
  list_->insert(1, line);
  linesMoved();
  setUser(name);
}

void Preferences::renameUser(const WideString& oldName, const WideString& newName) {
  if (!ListTextFits(kFileName, u"a player's name", newName)) return;
  for (int32_t n : playerNumbers()) {
    if (playerName(n) != oldName) continue;
    const int64_t grows =
        (static_cast<int64_t>(EscapeListText(newName).size()) - static_cast<int64_t>(EscapeListText(oldName).size())) * 2;
    if (!roomFor(grows)) return;
    putLine(PlayerLineName(n), EscapeListText(newName));
    LogInfo(u"ok! user name chaged from " + LogSafeText(oldName) + u" to " + LogSafeText(newName));
    return;
  }
}

void Preferences::deleteUser(const WideString& name) {
  for (int32_t n : playerNumbers()) {
    if (playerName(n) != name) continue;
    if (int32_t count = userCount(); count > 0) setFirstLine(count - 1);
    putLine(PlayerLineName(n), WideString());
    return;
  }
}

void Preferences::setUser(const WideString& name) {
  user_ = name;
  putLine(kCurrentUser, EscapeListText(name));
}
