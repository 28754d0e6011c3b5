#include "core/reports/note_text.h"

#include <gtest/gtest.h>
#include <vector>

#include "core/platform/text_filters.h"
#include "core/reports/data_file.h"

namespace orvanta {
namespace {

TEST(NoteText, StoredFormCodesLineBreaksAndCommas) {
  struct Case {
    QString typed;
    QString stored;
  } cases[] = {
      {"ab\r\ncd", "ab∨∧cd"},  // a typed line break
      {"ab\ncd", "ab∧cd"},    {"ab\rcd", "ab∨cd"}, {"a,b，c、d", "a、b、c、d"}, {"\r\n\r\n", "∨∧∨∧"}, {"", ""},
      {"針\"先 ", "針\"先 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NoteForStorage(c.typed), c.stored) << c.typed.toStdString();
  }
  // Back to the typed text, except that commas stay "、".
  EXPECT_EQ(NoteForDisplay("ab∨∧cd"), "ab\r\ncd");
  EXPECT_EQ(NoteForDisplay("∧x∨"), "\nx\r");
  EXPECT_EQ(NoteForDisplay("a、b"), "a、b");
}

// Single-line answers lose their commas as they are typed; notes keep them
// as "、" (above).
TEST(NoteText, SingleLineTextsDropBothCommas) {
  struct Case {
    QString typed;
    QString kept;
  } cases[] = {
      {"a,b，c", "abc"},           {"abc", "abc"}, {",，,，", ""}, {"", ""},
      {"a、b､c", "a、b､c"},  // other commas are no commas here
      {" \"x\", y ", " \"x\" y "},
  };
  for (const Case& c : cases) EXPECT_EQ(RemoveCommas(c.typed), c.kept) << c.typed.toStdString();
}

TEST(NoteText, EditorLineBreaksAreStoredAsTypedLineBreaks) {
  struct Case {
    QString editor;
    QString stored;
  } cases[] = {
      {"ab\ncd", "ab∨∧cd"}, {QStringLiteral("ab\u2029cd"), "ab∨∧cd"}, {"ab\r\ncd\n", "ab∨∧cd∨∧"}, {"ab\rcd", "ab∨∧cd"},
      {"x,y", "x、y"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NoteFromEditor(c.editor), c.stored) << c.editor.toStdString();
  }
  EXPECT_EQ(NoteToEditor("ab∨∧cd∨∧"), "ab\ncd\n");
  EXPECT_EQ(NoteToEditor("a∧b∨c∧∨d"), "a\nb\nc\n\nd");
}

TEST(NoteText, TwoLineNoteSurvivesTheDataFileAsOneLine) {
  std::vector<ReportRecord> table(1);
  table[0].Notes[1] = NoteFromEditor("ab\ncd");
  const QByteArray bytes = DataFileBytes(table);
  EXPECT_TRUE(
      bytes.contains("\r\nab\x81\xc9\x81\xc8"
                     "cd\r\n"));
  std::vector<ReportRecord> back;
  ASSERT_TRUE(ReadDataFileBytes(bytes, back).ok());
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(NoteToEditor(back[0].Notes[1]), "ab\ncd");
}

}  // namespace
}  // namespace orvanta
