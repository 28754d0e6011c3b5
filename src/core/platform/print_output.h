#pragma once
// Page devices whose output takes effect only when the print job is done.

#include <QPageLayout>
#include <QPdfWriter>
#include <QString>
#include <memory>

class QSaveFile;

namespace orvanta {

// A page device that puts its output in place only when the job commits it,
// after its document has ended. Destroyed without a commit, it discards what
// was drawn: a print that was stopped or that failed leaves nothing behind.
class PrintOutput {
 public:
  virtual ~PrintOutput() = default;
  // Puts the output in place. False when it could not be written whole (the
  // output is then discarded).
  virtual bool commit() = 0;
  // What the user is told when the output failed, in place of the print's
  // own message (about the printer); empty to keep that one.
  virtual QString failureMessage() const { return {}; }
};

// A PDF file, written under a temporary name beside its final place and put
// there by commit(): a file of the same name stays as it was until then, and
// a write that fails on the way (a full disk) makes commit() fail. A file
// that cannot be created makes the device fail as soon as drawing begins.
// A failure is told as the file that could not be written, with the
// system's reason.
class PdfFileOutput final : public QPdfWriter, public PrintOutput {
 public:
  // The pages have the layout given (size, orientation, margins) and 600
  // dots per inch.
  static std::unique_ptr<PdfFileOutput> Create(const QString& path, const QPageLayout& layout);
  // A4 in the orientation asked for, with margins of 5 mm all round, as a
  // printer leaves them.
  static QPageLayout A4Layout(bool landscape);

  ~PdfFileOutput() override;
  const QString& path() const { return path_; }
  bool commit() override;
  QString failureMessage() const override;

 private:
  PdfFileOutput(const QString& path, std::unique_ptr<QSaveFile> file, bool opened);

  QString path_;
  std::unique_ptr<QSaveFile> file_;
  QString failure_;  // the system's reason, once known
  bool committed_ = false;
};

}  // namespace orvanta
