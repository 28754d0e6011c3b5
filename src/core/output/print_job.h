#pragma once
// The steps every print command shares: the message that says which
// orientation to choose, the printer dialog, the pages drawn on a surface
// over the chosen printer (or PDF file), the end of the document, and the
// message when the printer fails.
//
//   RunPrint(prompts, PrintSetup{true, kLandscapeMessage},
//            [&](Surface& surface, PrintProgress& progress) {
//              surface.SetFontSize(8);
//              surface.SetScale(0, 0, 3450, 4000);
//              ... draw page 1 ...
//              if (!PageFinished(surface, progress, 1)) return false;
//              surface.NewPage();
//              ... draw page 2 ...
//              return PageFinished(surface, progress, 2);
//            });
//
// The drawing must not end the document itself: RunPrint ends it after the
// drawing returns true.

#include <QString>
#include <functional>

namespace orvanta {

class PrintProgress;
class Prompts;
class Surface;

inline const QString kLandscapeMessage = QStringLiteral("A4用紙で印刷の向きを横に指定してください");
inline const QString kPortraitMessage = QStringLiteral("A4用紙で印刷の向きを縦に指定してください");
inline const QString kPrinterNotConnected = QStringLiteral("プリンターが接続されていません");

// What a window does around the drawing of the pages: before runs when the
// printer is ready and the first page is about to be drawn, after once the
// drawing has ended, however it ended. The table views hide their grid in
// between.
struct WhileDrawing {
  std::function<void()> before;
  std::function<void()> after;
};

struct PrintSetup {
  // The orientation the printer dialog opens with (the user may change it).
  bool landscape = false;
  // Shown first, OK button only, without title; none when empty.
  QString orientationMessage;
  // Shown when the printer cannot be opened or fails (OK button only,
  // without title). A PDF file that cannot be written is told as such
  // instead: its path and the system's reason.
  QString failureMessage = kPrinterNotConnected;
  WhileDrawing whileDrawing{};
  // For the access log: which print ("集計表") and how many reports it
  // holds (-1: none, or not counted). A print that is done is recorded
  // through core/platform/export_record.h.
  QString what{};
  int reports = -1;
};

enum class PrintResult {
  Printed,    // every page drawn and the document ended
  Cancelled,  // the printer dialog was cancelled (or could not be shown): nothing printed, no message
  Stopped,    // the user stopped the job while it was drawn: abandoned, no message
  Failed,     // the printer failed: the failure message was shown, nothing reported as printed
};

// Draws the pages of a print. Returns false to abandon the job (when the
// progress answers that the user wants it stopped, or when the surface has
// failed); true when every page is drawn.
using PrintDrawing = std::function<bool(Surface& surface, PrintProgress& progress)>;

// Runs one print job: the orientation message, the printer dialog, the
// drawing with the busy pointer and the progress of the prompts, the end of
// the document. A PDF file is put in place only when the whole job has
// worked; a stopped or failed job leaves no file behind and an existing file
// of that name as it was.
PrintResult RunPrint(Prompts& prompts, const PrintSetup& setup, const PrintDrawing& draw);

// Ends a page of a drawing: tells the progress that pagesDone pages are
// finished. False when the job should stop (the user asked to, or the
// surface has failed); the drawing then returns false.
bool PageFinished(const Surface& surface, PrintProgress& progress, int pagesDone);

}  // namespace orvanta
