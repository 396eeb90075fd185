#pragma once
// File names read one at a time from a list of NUL-separated names (a file,
// a pipe or standard input), as find -print0 writes them: the list is never
// held whole, so a batch of any length starts at once.
#include <QByteArray>
#include <QString>
#include <functional>

class TNameList {
 public:
  // "-" is standard input. A list that cannot be opened leaves Error set.
  explicit TNameList(const QByteArray& path);
  ~TNameList();
  TNameList(const TNameList&) = delete;
  TNameList& operator=(const TNameList&) = delete;

  // The next name (empty names included: the caller refuses them); false at
  // the end of the list, on a read error (Error set) or once stop() answers
  // true while waiting for more. A name longer than kLongestName is skipped
  // whole, however long, and answered empty with tooLong set: a hostile list
  // cannot make the program hold more than that.
  bool Next(QByteArray& name, bool& tooLong, const std::function<bool()>& stop);
  static constexpr qsizetype kLongestName = 4096;  // PATH_MAX, the terminating NUL included
  const QString& Error() const { return Failure; }
  const QString& Shown() const { return ShownList; }
  qint64 Count() const { return Names; }  // names answered so far

 private:
  bool Fill(const std::function<bool()>& stop);
  int Fd = -1;
  bool Owned = false;
  bool Ended = false;
  QByteArray Buffer;
  qsizetype Start = 0;
  qint64 Names = 0;
  QString ShownList;
  QString Failure;
};
