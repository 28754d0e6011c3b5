#include "core/output/csv_file.h"

#include <QDir>
#include <QFileInfo>

#include "core/analysis/result_grid_model.h"
#include "core/platform/codepage.h"
#include "core/platform/drive_paths.h"
#include "core/platform/prompts.h"
#include "core/platform/safe_save.h"

namespace orvanta {
namespace {

// The path with the extension added when its file name has none.
QString WithExtension(const QString& path, const QString& extension) {
  if (!QFileInfo(path).suffix().isEmpty()) return path;
  return path + (path.endsWith(u'.') ? extension : u'.' + extension);
}

}  // namespace

QByteArray CsvFileBytes(const QString& text) { return cp932::Encode(text) + "\r\n"; }

QString CsvField(const QString& text) {
  if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n')) return text;
  QString quoted = text;
  quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString CsvPeriodText(const QString& fromYear, const QString& fromMonth, const QString& fromDay, const QString& toYear,
                      const QString& toMonth, const QString& toDay) {
  return fromYear + QStringLiteral("年") + fromMonth + QStringLiteral("月") + fromDay + QStringLiteral("日～") +
         toYear + QStringLiteral("年") + toMonth + QStringLiteral("月") + toDay;
}

QString CsvGridRows(const ResultGridModel& grid) {
  QString text;
  for (int r = 0; r < grid.rows(); ++r) {
    for (int c = 0; c < grid.cols(); ++c) {
      if (c > 0) text += u',';
      text += grid.cell(r, c);
    }
    text += QStringLiteral("\r\n");
  }
  return text;
}

bool WriteCsvGridRows(const ResultGridModel& grid, const BytePieces& write) {
  // Blocks end at a row's end, so no character is ever cut in two and the
  // bytes are those of the whole text encoded at once.
  constexpr qsizetype kBlock = 1 << 16;
  QString block;
  block.reserve(kBlock + 1024);
  for (int r = 0; r < grid.rows(); ++r) {
    for (int c = 0; c < grid.cols(); ++c) {
      if (c > 0) block += u',';
      block += grid.cell(r, c);
    }
    block += QStringLiteral("\r\n");
    if (block.size() >= kBlock) {
      if (!write(cp932::Encode(block))) return false;
      block.resize(0);
    }
  }
  return block.isEmpty() || write(cp932::Encode(block));
}

bool WriteCsvFile(Prompts& prompts, const DrivePaths& paths, const QString& fileName,
                  const std::function<QString()>& buildText) {
  return WriteCsvFileInPieces(prompts, paths, fileName,
                              [&buildText](const BytePieces& write) { write(CsvFileBytes(buildText())); });
}

bool WriteCsvFileBytes(Prompts& prompts, const DrivePaths& paths, const QString& fileName, const QByteArray& bytes) {
  return WriteCsvFileInPieces(prompts, paths, fileName, [&bytes](const BytePieces& write) { write(bytes); });
}

QString AskSavePath(Prompts& prompts, const DrivePaths& paths, const QString& fileName, const QString& filter,
                    const QString& extension) {
  // Without the folder the dialog would offer its name as the file's.
  const QString folder = paths.MyDocumentPath();
  const bool folderThere = QFileInfo(folder).isDir() || MakeOwnerOnlyFolder(folder);
  const QString proposed = QDir(folderThere ? folder : paths.DriveRoot()).filePath(fileName);
  for (;;) {
    QString path = prompts.saveFileName(QStringLiteral("名前を付けて保存"), proposed, filter);
    if (path.isEmpty()) return {};
    path = WithExtension(path, extension);
    if (!QFileInfo::exists(path)) return path;
    if (prompts.message(kCsvOverwriteQuestion, kCsvOverwriteTitle, PromptIcon::Question, PromptButtons::YesNo) ==
        PromptAnswer::Yes)
      return path;
  }
}

bool WriteCsvFileInPieces(Prompts& prompts, const DrivePaths& paths, const QString& fileName,
                          const std::function<void(const BytePieces&)>& produce) {
  const QString path = AskSavePath(prompts, paths, fileName, kCsvFilter, QStringLiteral("csv"));
  if (path.isEmpty()) {
    prompts.setBusy(false);
    return false;
  }
  prompts.setBusy(true);
  const bool ok = !QFileInfo(path).isDir() && SaveFileAtomically(path, produce, FileAccess::Normal);
  prompts.setBusy(false);
  prompts.message(ok ? kCsvSuccess : kCsvFailure);
  return ok;
}

}  // namespace orvanta
