#include "core/store/log_table_model.h"

namespace orvanta {

LogTableModel::LogTableModel(QObject* parent) : QAbstractTableModel(parent) {}

bool LogTableModel::show(const QSqlDatabase& db, const LogFilter& filter, QString* error) {
  beginResetModel();
  db_ = db;
  filter_ = filter;
  pages_.clear();
  QString why;
  rows_ = db.isOpen() ? CountLogEntries(db, filter, &why) : 0;
  endResetModel();
  if (error) *error = why;
  return why.isEmpty();
}

int LogTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::int64_t>(rows_, INT32_MAX));
}

int LogTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

const LogEntry* LogTableModel::entryAt(int row) const {
  if (row < 0 || row >= rows_) return nullptr;
  const std::int64_t page = row / kPageRows;
  auto it = pages_.find(page);
  if (it == pages_.end()) {
    // A handful of pages stay: those the view scrolls over.
    if (pages_.size() >= 8) pages_.erase(pages_.begin());
    it = pages_.emplace(page, ReadLogEntries(db_, filter_, page * kPageRows, kPageRows)).first;
    ++pagesRead_;
  }
  const std::size_t at = static_cast<std::size_t>(row % kPageRows);
  return at < it->second.size() ? &it->second[at] : nullptr;
}

QStringList LogTableModel::CellTexts(const LogEntry& e) {
  return {QString::number(e.seq),
          e.at,
          e.user,
          e.host,
          LogKindLabel(e.kind),
          e.reportId == 0 ? QString() : QString::number(e.reportId),
          e.summary};
}

QStringList LogTableModel::Headings() {
  return {QStringLiteral("番号"), QStringLiteral("日時"),     QStringLiteral("ユーザー"), QStringLiteral("ホスト"),
          QStringLiteral("種類"), QStringLiteral("記録番号"), QStringLiteral("内容")};
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole && (index.column() == Seq || index.column() == Report))
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const LogEntry* e = entryAt(index.row());
  if (!e) return {};
  return CellTexts(*e).value(index.column());
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return Headings().value(section);
}

void ForEachLogEntry(const QSqlDatabase& db, const LogFilter& filter,
                     const std::function<bool(const LogEntry&)>& visit) {
  constexpr int kBlock = 2000;
  for (std::int64_t offset = 0;; offset += kBlock) {
    const std::vector<LogEntry> block = ReadLogEntries(db, filter, offset, kBlock);
    for (const LogEntry& e : block)
      if (!visit(e)) return;
    if (static_cast<int>(block.size()) < kBlock) return;
  }
}

}  // namespace orvanta
