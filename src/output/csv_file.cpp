#include "output/csv_file.h"

#include <QFileInfo>

#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/safe_save.h"
#include "shell/app_state.h"

namespace orvanta {

QByteArray CsvFileBytes(const QString& text) { return cp932::Encode(text) + "\r\n"; }

bool WriteCsvFile(AppState& state, const std::function<QString()>& buildText) {
  Prompts& prompts = state.prompts();
  QString path;
  for (;;) {
    path = prompts.saveFileName(QStringLiteral("名前を付けて保存"), state.MyDocumentPath(), kCsvFilter);
    if (path.isEmpty()) {
      prompts.setBusy(false);
      return false;
    }
    if (!QFileInfo::exists(path)) break;
    if (prompts.message(kCsvOverwriteQuestion, kCsvOverwriteTitle, PromptIcon::Question, PromptButtons::YesNo) ==
        PromptAnswer::Yes)
      break;
  }
  prompts.setBusy(true);
  const QByteArray bytes = CsvFileBytes(buildText());
  const bool ok = !QFileInfo(path).isDir() && SaveFileAtomically(path, bytes, FileAccess::Normal);
  prompts.setBusy(false);
  prompts.message(ok ? kCsvSuccess : kCsvFailure);
  return ok;
}

}  // namespace orvanta
