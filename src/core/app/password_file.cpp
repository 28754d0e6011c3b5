#include "core/app/password_file.h"

#include <QDir>

#include "core/platform/codepage.h"
#include "core/platform/safe_save.h"

namespace orvanta {

ReadResult ReadPasswordBytes(QByteArrayView bytes, QString& password) {
  ValueReader r(bytes);
  QString text;
  if (!r.readText(text)) return r.result();
  password = text;
  return ReadResult{};
}

ReadResult ReadPasswordFile(const QString& path, QString& password) {
  QByteArray bytes;
  if (!ReadWholeFile(path, bytes)) return ReadResult{ReadError::CannotOpen, 0};
  return ReadPasswordBytes(bytes, password);
}

bool PasswordFileBytes(const QString& password, QByteArray& bytes) {
  if (password.contains(QLatin1Char('\r')) || password.contains(QLatin1Char('\n')) || !cp932::CanEncode(password))
    return false;
  ValueWriter w;
  w.writeText(password);
  bytes = w.bytes();
  return true;
}

bool WritePasswordFile(const QString& path, const QString& password, QString* error) {
  QByteArray bytes;
  if (!PasswordFileBytes(password, bytes)) {
    if (error) {
      *error = QStringLiteral("ファイル「%1」を書き込めませんでした。\n(パスワードに使えない文字が含まれています)")
                   .arg(QDir::toNativeSeparators(path));
    }
    return false;
  }
  return SaveFileAtomically(path, bytes, FileAccess::OwnerOnly, error);
}

}  // namespace orvanta
