// A cell checker with both switches on: the marks go on the corrected text.
#include "grid/EsgCheck.h"
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

namespace {

// Corrects "teh" to "the" and marks the text "bad".
class WordChecker : public TExStringGridCheck
{
public:
    QString MarkError(int, int, const QString& text) override { return TExStringGrid::MarkText(true, text, "bad"); }
    QString Correct(int, int, const QString& text) override { return QString(text).replace("teh", "the"); }
};

TEST(CellCheckBoth, MarksGoOnTheCorrectedTextWhichIsKept)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    WordChecker checker;
    checker.SetUseCorrect(true);
    checker.SetUseMarkError(true);
    g.SetCellChecker(&checker);
    g.SetCellEx(1, 1, "teh bad end");
    EXPECT_FALSE(g.CheckCell(1, 1));
    EXPECT_EQ(g.GetCellEx(1, 1), "the <e>bad</e> end");
    // Checked again, the mark is not doubled and the text stays corrected.
    EXPECT_FALSE(g.CheckCell(1, 1));
    EXPECT_EQ(g.GetCellEx(1, 1), "the <e>bad</e> end");
    g.SetCellEx(1, 2, "teh end");
    EXPECT_FALSE(g.CheckCell(1, 2)) << "a correction counts as an error";
    EXPECT_EQ(g.GetCellEx(1, 2), "the end");
    g.SetCellChecker(nullptr);
}

} // namespace
