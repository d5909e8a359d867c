#pragma once
// Names with whole-number scores, highest first, kept in "scores.dat" and
// seen by scripts as "scoreTable". Each line is name=score; the score is
// also held as the line's object, by which the list sorts.
#include <cstdint>

#include "core/objects/base_object.h"

class TWideStringList;

class ScoreTable : public BaseObject {
  Q_OBJECT(ScoreTable, BaseObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;

  // Reads "scores.dat"; a missing or damaged file changes nothing.
  void load();
  // Writes "scores.dat" when there is at least one entry.
  void store();
  // A name longer than the list file allows, or an entry that would make
  // the file too large, is refused with an error line.
  void addScore(const WideString& name, int32_t score);
  // Empty (or 0) past the end.
  WideString names(int32_t index) const;
  int32_t scores(int32_t index) const;
  int32_t count() const;

  const TWideStringList& lines() const { return *list_; }

 private:
  void ignoreCount(int32_t) {}
  // Scripts' addScore: a score that is not a whole 32-bit number is refused
  // (the call is reported as invalid).
  void addScriptScore(const WideString& name, double score);
  // Sorts the whole list by score, highest first.
  void resort();

  TWideStringList* list_ = nullptr;
};
