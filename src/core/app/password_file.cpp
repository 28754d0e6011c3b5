#include "core/app/password_file.h"

#include <QDir>

#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"

namespace orvanta {

ReadResult ReadPasswordFile(const QString& path, QString& password) {
  QByteArray bytes;
  if (!ReadWholeFile(path, bytes)) return ReadResult{ReadError::CannotOpen, 0};
  ValueReader r(bytes);
  QString text;
  if (!r.readText(text)) return r.result();
  password = text;
  return ReadResult{};
}

bool WritePasswordFile(const QString& path, const QString& password, QString* error) {
  if (password.contains(QLatin1Char('\r')) || password.contains(QLatin1Char('\n')) ||
      !cp932::CanEncode(password)) {
    if (error) {
      *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(パスワードに使えない文字が含まれています)")
                   .arg(QDir::toNativeSeparators(path));
    }
    return false;
  }
  ValueWriter w;
  w.writeText(password);
  return SaveFileAtomically(path, w.bytes(), FileAccess::OwnerOnly, error);
}

}  // namespace orvanta
