#include "core/output/print_job.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>

#include "core/output/surface.h"
#include "core/platform/print_progress.h"
#include "support/pdf_pages.h"
#include "support/scripted_prompts.h"
#include "support/temp_drive.h"

namespace orvanta {
namespace {

using testing::ScriptedPrompts;

// A drawing of `pages` pages, each saying its number, that counts how many
// pages it drew and stops when the job is to stop.
struct NumberedPages {
  int pages = 3;
  int drawn = 0;
  bool called = false;

  PrintDrawing drawing() {
    return [this](Surface& surface, PrintProgress& progress) {
      called = true;
      progress.setPageCount(pages);
      surface.SetScale(0, 0, 2000, 3700);
      surface.SetFontSize(9);
      for (int page = 1; page <= pages; ++page) {
        if (page > 1) surface.NewPage();
        surface.SetPosition(150, 350);
        surface.PrintText(QStringLiteral("ページ%1").arg(page));
        surface.DrawLine(100, 400, 1900, 400);
        ++drawn;
        if (!PageFinished(surface, progress, page)) return false;
      }
      return true;
    };
  }
};

class PrintJobTest : public ::testing::Test {
 protected:
  QString pdf(const QString& name = QStringLiteral("out.pdf")) const { return dir.filePath(name); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  NumberedPages job;
};

TEST_F(PrintJobTest, PrintsThePagesToThePdfFileChosenWithTheOrientationOpenedInTheDialog) {
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf());
  EXPECT_EQ(RunPrint(prompts, PrintSetup{false, kPortraitMessage}, job.drawing()), PrintResult::Printed);

  ASSERT_EQ(prompts.shown().size(), 2u);
  EXPECT_EQ(prompts.shown()[0].kind, ScriptedPrompts::Kind::Message);
  EXPECT_EQ(prompts.shown()[0].text, QStringLiteral("A4用紙で印刷の向きを縦に指定してください"));
  EXPECT_EQ(prompts.shown()[0].title, QString());
  EXPECT_EQ(prompts.shown()[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(prompts.shown()[1].kind, ScriptedPrompts::Kind::Printer);
  EXPECT_FALSE(prompts.lastPrinterLandscape);
  EXPECT_FALSE(prompts.busy());
  EXPECT_EQ(prompts.printPageCount(), 3);
  EXPECT_EQ(prompts.printPagesDone(), 3);

  const auto pages = testing::ReadPdfPages(pdf());
  ASSERT_EQ(pages.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(pages[i].width, 595.3, 1.0);  // A4 portrait, in points
    EXPECT_NEAR(pages[i].height, 841.9, 1.0);
    EXPECT_EQ(pages[i].text(), QStringLiteral("ページ%1").arg(i + 1));
  }
}

TEST_F(PrintJobTest, LandscapePrintsOpenTheDialogInLandscapeAndTheMessageIsOptional) {
  prompts.answerPrinterPdf(pdf());
  EXPECT_EQ(RunPrint(prompts, PrintSetup{true, {}}, job.drawing()), PrintResult::Printed);
  ASSERT_EQ(prompts.shown().size(), 1u);  // no orientation message
  EXPECT_TRUE(prompts.lastPrinterLandscape);
  const auto pages = testing::ReadPdfPages(pdf());
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_NEAR(pages[0].width, 841.9, 1.0);
  EXPECT_NEAR(pages[0].height, 595.3, 1.0);
}

TEST_F(PrintJobTest, CancelInThePrinterDialogDrawsNothingAndSaysNothing) {
  prompts.answer(PromptAnswer::Ok).answerPrinterCancel();
  EXPECT_EQ(RunPrint(prompts, PrintSetup{true, kLandscapeMessage}, job.drawing()), PrintResult::Cancelled);
  EXPECT_FALSE(job.called);
  EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral("A4用紙で印刷の向きを横に指定してください"), QString()}));
  EXPECT_EQ(prompts.busyCalls(), 0);
  EXPECT_EQ(prompts.printJobs(), 0);
}

// A printer that cannot be opened, or whose output fails while the pages are
// written: the failure message, and nothing reported as printed.
TEST_F(PrintJobTest, APrinterThatFailsGivesTheMessageAndTheJobIsNotPrinted) {
  struct Case {
    const char* what;
    void (*answer)(ScriptedPrompts&);
    bool drawn;
  };
  const Case cases[] = {
      {"cannot be opened", [](ScriptedPrompts& p) { p.answerPrinterFailing(); }, false},
      {"fails while writing", [](ScriptedPrompts& p) { p.answerPrinterFailingWhileWriting(); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedPrompts p;
    NumberedPages pages;
    pages.pages = 40;
    p.answer(PromptAnswer::Ok);
    c.answer(p);
    p.answer(PromptAnswer::Ok);
    EXPECT_EQ(RunPrint(p, PrintSetup{true, kLandscapeMessage}, pages.drawing()), PrintResult::Failed);
    EXPECT_EQ(pages.called, c.drawn);
    ASSERT_EQ(p.shown().size(), 3u);
    EXPECT_EQ(p.shown()[2].text, QStringLiteral("プリンターが接続されていません"));
    EXPECT_EQ(p.shown()[2].title, QString());
    EXPECT_EQ(p.shown()[2].buttons, PromptButtons::Ok);
    EXPECT_FALSE(p.busy());
  }
}

TEST_F(PrintJobTest, TheFailureMessageIsThePrintsOwn) {
  prompts.answerPrinterFailing().answer(PromptAnswer::Ok);
  PrintSetup setup;
  setup.failureMessage = QStringLiteral("プリンターが接続されていません。");
  EXPECT_EQ(RunPrint(prompts, setup, job.drawing()), PrintResult::Failed);
  EXPECT_EQ(prompts.last().text, QStringLiteral("プリンターが接続されていません。"));
}

// Files written by this process may grow to `bytes` only while it lives:
// a disk that fills up.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
};

// A PDF file that cannot be written is told as such, with its path and the
// system's reason, not as a missing printer; no file is left behind, and a
// file of that name stays as it was.
TEST_F(PrintJobTest, APdfFileThatCannotBeWrittenIsToldWithItsPathAndTheReason) {
  // A regular file where the folder should be: nobody can create a file
  // inside it, not even the superuser.
  QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  const QString gone = dir.filePath(QStringLiteral("gone"));
  ASSERT_TRUE(QDir().mkpath(gone));
  enum class Fault { CannotBeCreated, FolderGoes, DiskFull };
  struct Case {
    const char* what;
    QString path;
    Fault fault;
  } cases[] = {
      {"cannot be created", dir.filePath(QStringLiteral("not-a-folder/out.pdf")), Fault::CannotBeCreated},
      {"its folder goes while the pages are drawn", QDir(gone).filePath(QStringLiteral("out.pdf")), Fault::FolderGoes},
      // The few pages fit the file's buffer: they reach the disk only as
      // the job ends.
      {"the disk fills up", pdf(QStringLiteral("full.pdf")), Fault::DiskFull},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.fault == Fault::DiskFull) ASSERT_TRUE(testing::WriteFileBytes(c.path, "the previous file"));
    ScriptedPrompts p;
    NumberedPages pages;
    p.answer(PromptAnswer::Ok).answerPrinterPdf(c.path).answer(PromptAnswer::Ok);
    const PrintDrawing drawing = pages.drawing();
    PrintResult result;
    {
      std::optional<FileSizeLimit> full;
      if (c.fault == Fault::DiskFull) full.emplace(1024);
      result = RunPrint(p, PrintSetup{true, kLandscapeMessage}, [&](Surface& surface, PrintProgress& progress) {
        const bool drawn = drawing(surface, progress);
        if (c.fault == Fault::FolderGoes) QDir(gone).removeRecursively();
        return drawn;
      });
    }
    EXPECT_EQ(result, PrintResult::Failed);
    EXPECT_EQ(pages.called, c.fault != Fault::CannotBeCreated);
    ASSERT_EQ(p.shown().size(), 3u);
    const QString prefix =
        QStringLiteral("ファイル「%1」を書き込めませんでした。\n(").arg(QDir::toNativeSeparators(c.path));
    EXPECT_TRUE(p.last().text.startsWith(prefix)) << p.last().text.toStdString();
    EXPECT_TRUE(p.last().text.endsWith(u')'));
    EXPECT_GT(p.last().text.size(), prefix.size() + 1);  // the system's reason
    if (c.fault == Fault::CannotBeCreated) EXPECT_EQ(p.last().text, testing::PdfCannotBeCreatedMessage(c.path));
    EXPECT_EQ(p.last().title, QString());
    EXPECT_FALSE(p.busy());
    if (c.fault == Fault::DiskFull)
      EXPECT_EQ(testing::FileBytes(c.path), QByteArray("the previous file"));
    else
      EXPECT_FALSE(QFile::exists(c.path));
  }
}

// Stopping a long job (キャンセル in the progress dialog) abandons it: no
// message, no new file, and a file of the same name stays as it was.
TEST_F(PrintJobTest, StoppingTheJobAbandonsItAndLeavesAnExistingFileAlone) {
  QFile old(pdf());
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the previous file");
  old.close();

  job.pages = 10;
  prompts.answer(PromptAnswer::Ok).answerPrinterPdf(pdf()).stopPrintAfterPages(2);
  EXPECT_EQ(RunPrint(prompts, PrintSetup{true, kLandscapeMessage}, job.drawing()), PrintResult::Stopped);
  EXPECT_EQ(job.drawn, 2);
  EXPECT_EQ(prompts.shown().size(), 2u);  // the orientation message and the dialog only
  EXPECT_FALSE(prompts.busy());

  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("the previous file"));
  old.close();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("out.pdf")}));
}

TEST_F(PrintJobTest, AnExistingFileIsReplacedWhenTheJobWorks) {
  QFile old(pdf());
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the previous file");
  old.close();
  prompts.answerPrinterPdf(pdf());
  EXPECT_EQ(RunPrint(prompts, PrintSetup{true, {}}, job.drawing()), PrintResult::Printed);
  EXPECT_EQ(testing::ReadPdfPages(pdf()).size(), 3u);
}

}  // namespace
}  // namespace orvanta
