#pragma once
// The access log as a table for the log window: the entries passing a filter,
// newest first, read a page at a time as the view asks for rows, so that a
// log of a million entries opens at once. Columns: 番号, 日時, ユーザー,
// ホスト, 種類, 記録番号, 内容.

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <cstdint>
#include <map>
#include <vector>

#include "core/store/access_log.h"

namespace orvanta {

class LogTableModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kPageRows = 200;
  enum Column { Seq, At, User, Host, Kind, Report, Summary, ColumnCount };

  explicit LogTableModel(QObject* parent = nullptr);

  // Shows the entries of db passing filter (the view is reset). False with
  // the reason when the log cannot be read.
  bool show(const QSqlDatabase& db, const LogFilter& filter, QString* error = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

  // The entry of a row; null when out of range or unreadable.
  const LogEntry* entryAt(int row) const;
  // The cell texts of an entry, in column order (for the CSV and the print).
  static QStringList CellTexts(const LogEntry& entry);
  static QStringList Headings();
  const LogFilter& filter() const { return filter_; }
  // Pages read so far (a view shows a few; a test checks that).
  int pagesRead() const { return pagesRead_; }

 private:
  QSqlDatabase db_;
  LogFilter filter_;
  std::int64_t rows_ = 0;
  mutable std::map<std::int64_t, std::vector<LogEntry>> pages_;  // by page number; a few kept
  mutable int pagesRead_ = 0;
};

// Every entry passing the filter, newest first, handed over a page at a
// time (the CSV file and the print of the log go through them all).
void ForEachLogEntry(const QSqlDatabase& db, const LogFilter& filter,
                     const std::function<bool(const LogEntry&)>& visit);

}  // namespace orvanta
