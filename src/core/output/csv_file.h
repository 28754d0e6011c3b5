#pragma once
// Writing a view's results to a CSV file: the save dialog, the overwrite
// question, the text built in memory, code page 932, and the messages.

#include <QByteArray>
#include <QString>
#include <functional>

#include "core/platform/safe_save.h"

namespace orvanta {

class DrivePaths;
class Prompts;
class ResultGridModel;

inline const QString kCsvFilter = QStringLiteral("csvﾌｧｲﾙ (*.csv)");
inline const QString kCsvOverwriteQuestion = QStringLiteral("そのファイルは存在します。書き換えますか？");
inline const QString kCsvOverwriteTitle = QStringLiteral("上書確認");
inline const QString kCsvSuccess = QStringLiteral("ﾌｧｲﾙ処理に成功しました");
inline const QString kCsvFailure = QStringLiteral("ファイルの作成に失敗しました");

// The bytes of a CSV file for a text whose lines end in CR LF: code page 932,
// with one more line end, so that the file ends in an empty line.
QByteArray CsvFileBytes(const QString& text);

// A field of a CSV line of the new tables: as it is, or in double quotes
// (with each quote doubled) when it holds a comma, a quote or a line break.
// The original views write their cells as they are.
QString CsvField(const QString& text);

// The period as the two date fields' boxes hold it: "2003年6月16日～2004年6月15"
// (the six box texts in order with "年", "月", "日～", "年", "月" between
// them; the caller adds the ending after the to-day: "日" or "日　　縦項目…").
QString CsvPeriodText(const QString& fromYear, const QString& fromMonth, const QString& fromDay, const QString& toYear,
                      const QString& toMonth, const QString& toDay);

// Every row of a grid, row 0 first: its cells joined by "," and CR LF after
// each row. Cells are written exactly as the grid holds them.
QString CsvGridRows(const ResultGridModel& grid);
// The same rows in code page 932, handed to write a block of rows at a time:
// the bytes are those of cp932::Encode(CsvGridRows(grid)), without the whole
// text ever being held. False when write failed.
bool WriteCsvGridRows(const ResultGridModel& grid, const BytePieces& write);

// Asks where to save a file, proposing fileName in "my document" under the
// drive root (made, owner-only, when it is missing) with the dialog's filter,
// adds the extension (without its dot) to a name chosen without one, and
// asks before replacing an existing file ("いいえ" shows the dialog again).
// Empty when the dialog is cancelled.
QString AskSavePath(Prompts& prompts, const DrivePaths& paths, const QString& fileName, const QString& filter,
                    const QString& extension);

// Asks for the file (AskSavePath), proposing fileName (which ends in ".csv") in "my
// document" under the drive root (made, owner-only, when it is missing), adds
// ".csv" to a name chosen without an extension, asks before replacing an
// existing file ("いいえ" shows the dialog again), then builds the text with
// buildText, writes it in one piece and says whether it worked. Cancelling
// the dialog ends without a message. Returns whether a file was written.
bool WriteCsvFile(Prompts& prompts, const DrivePaths& paths, const QString& fileName,
                  const std::function<QString()>& buildText);
// The same with the file's bytes (see CsvFileBytes) handed over a piece at a
// time by produce, straight into the file.
bool WriteCsvFileInPieces(Prompts& prompts, const DrivePaths& paths, const QString& fileName,
                          const std::function<void(const BytePieces&)>& produce);
// The same with the file's bytes exactly as given (no empty line added).
bool WriteCsvFileBytes(Prompts& prompts, const DrivePaths& paths, const QString& fileName, const QByteArray& bytes);

}  // namespace orvanta
