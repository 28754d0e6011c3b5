#pragma once
// The blank report form (two A4 portrait pages with all seventeen questions,
// their answer boxes, write-in lines and the body-site diagram) and the table
// of causing-device codes (a third page), for filling in by hand. Nothing
// stored is printed: every text and line is fixed.
//
// Pages are drawn in units of 2000 across and 3700 down the printable area;
// texts are placed by their top-left corner.

namespace orvanta {

class Prompts;
class Surface;
enum class PrintResult;

// "Tonrixシート印刷": asks for A4 portrait, opens the printer dialog, prints
// pages 1 and 2, then asks whether the device code table is wanted too and
// prints it as page 3 on Yes. Cancel prints nothing and asks nothing; a
// failing printer is reported and the job is not finished.
PrintResult PrintReportSheet(Prompts& prompts);

// The coordinate system of the form's pages, and the text size 8.
void SetReportSheetScale(Surface& surface);

// Page 1: the header, questions 1 to 8 and the patient table.
void DrawReportSheetPage1(Surface& surface);
// Page 2: questions 9 to 17 with the body-site diagram.
void DrawReportSheetPage2(Surface& surface);
// Page 3: the causing-device codes in three groups.
void DrawDeviceCodeTable(Surface& surface);

}  // namespace orvanta
