#include "engine/player/score_table.h"

#include <cmath>
#include <limits>

#include "core/objects/class_builder.h"
#include "core/objects/wide_strings.h"
#include "core/text/exceptions.h"
#include "engine/applet/applet_numbers.h"
#include "engine/player/user_list_file.h"

namespace {
constexpr char16_t kFileName[] = u"scores.dat";

// The score after the first "=".
std::optional<int32_t> ScoreOfLine(const WideString& line) {
  size_t equals = line.find(u'=');
  if (equals == WideString::npos) return std::nullopt;
  return ParseWholeNumber(line.substr(equals + 1));
}

bool IsScoreLine(const WideString& line, int) { return ScoreOfLine(line).has_value(); }
}  // namespace

const ClassInfo& ScoreTable::staticClassInfo() {
  using S = ScoreTable;
  static const ClassInfo info = ClassBuilder<S>("ScoreTable")
                                    .property("count", &S::count, &S::ignoreCount).stored(false)
                                    .method("load", &S::load)
                                    .method("store", &S::store)
                                    .method("addScore", &S::addScriptScore)
                                    .method("names", &S::names)
                                    .method("scores", &S::scores)
                                    .build();
  return info;
}

void ScoreTable::Create(TObject* owner) {
  inherited::Create(owner);
  list_ = New<TWideStringList>();
  list_->setSortByObject(true);
  list_->setSorted(true);
}

void ScoreTable::Destroy() {
  FreeAndNil(list_);
  inherited::Destroy();
}

void ScoreTable::load() {
  list_->setSorted(false);
  if (ReadUserListFile(kFileName, *list_, IsScoreLine) == ListFileRead::Read) {
    for (int i = 0; i < list_->count(); ++i) list_->putObject(i, ScoreOfLine(list_->get(i)).value_or(0));
  }
  // A file from elsewhere may be out of order.
  list_->setSorted(true);
}

void ScoreTable::store() {
  if (list_->count() > 0 && HasUserListFolder()) WriteUserListFile(kFileName, *list_);
}

void ScoreTable::addScore(const WideString& name, int32_t score) {
  if (!ListTextFits(kFileName, u"a player's name", name)) return;
  const WideString line = EscapeListText(name) + u"=" + DecimalText(score);
  if (!ListFileFits(kFileName, ListFileBytes(*list_) + ListLineBytes(line))) return;
  list_->setSorted(false);
  list_->addObject(line, score);
  resort();
}

void ScoreTable::addScriptScore(const WideString& name, double score) {
  // A score is a whole 32-bit number; anything else is refused as a call
  // that does not fit, rather than stored rounded or wrapped.
  if (!std::isfinite(score) || std::trunc(score) != score || score < std::numeric_limits<int32_t>::min() ||
      score > std::numeric_limits<int32_t>::max()) {
    throw EConvertError(u"not a whole 32-bit score");
  }
  addScore(name, static_cast<int32_t>(score));
}

void ScoreTable::resort() {
  list_->setSorted(false);
  list_->setSorted(true);
}

WideString ScoreTable::names(int32_t index) const {
  return index >= 0 && index < count() ? UnescapeListText(list_->getName(index)) : WideString();
}

int32_t ScoreTable::scores(int32_t index) const {
  return index >= 0 && index < count() ? list_->getObject(index).asInt() : 0;
}

int32_t ScoreTable::count() const { return list_->count(); }
