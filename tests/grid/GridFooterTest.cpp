// The floating footer: totals in the last row, the template of the preview
// style, and the panel along the grid's bottom edge.
#include "grid/ExGrid.h"
#include "grid/ExGridFilter.h"
#include "grid/ExGridFooter.h"

#include <gtest/gtest.h>

#include <QApplication>

using namespace platform;

namespace {

// One fixed row, data rows 1..5 holding 1..5 in column 1, footer row 6.
struct FooterFixture : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        TRegionalSettings r;
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QChar();
        r.DateSeparator = QLatin1Char('/');
        r.TimeSeparator = QLatin1Char(':');
        r.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(r);
        grid.resize(300, 200);
        grid.SetColCount(3);
        grid.SetRowCount(7);
        grid.SetFloatFormat(QStringLiteral("%g"));
        for (int r = 1; r <= 5; ++r) {
            grid.SetCellEx(1, r, QString::number(r));
            grid.SetCellEx(2, r, QStringLiteral("t%1").arg(r));
        }
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
    QString Footer(int c) { return grid.GetGridCell(c, grid.RowCount() - 1); }
};

} // namespace

TEST_F(FooterFixture, TotalsOfEveryKind)
{
    grid.FloatingFooter().SetVisible(true);
    EXPECT_EQ(grid.FixedFooters(), 1);
    EXPECT_TRUE(grid.HideLastRow());
    struct Case
    {
        TColumnCalcType kind;
        QString total;
    };
    for (const Case& c : {Case{acSUM, "15"}, Case{acAVG, "3"}, Case{acCOUNT, "5"}, Case{acMIN, "1"},
                          Case{acMAX, "5"}, Case{acDISTINCT, "5"}}) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        grid.SetColumnCalc(1, c.kind);
        EXPECT_EQ(grid.GetColumnCalc(1), c.kind);
        EXPECT_EQ(Footer(1), c.total);
    }
    grid.SetColumnCalc(1, acSTDDEV);
    EXPECT_FALSE(Footer(1).isEmpty());
    EXPECT_EQ(grid.GetColumnCalc(2), acNONE);
}

TEST_F(FooterFixture, CountWithAndWithoutHiddenRows)
{
    // 3 data rows shown, 2 hidden.
    grid.FloatingFooter().SetVisible(true);
    grid.HideRows(2, 3);
    grid.SetColumnCalc(1, acCOUNT);
    EXPECT_EQ(Footer(1), "5");
    grid.FloatingFooter().SetCalculateHiddenRows(false);
    grid.CalcFooter(-1);
    EXPECT_EQ(Footer(1), "3");
}

TEST_F(FooterFixture, NothingIsWrittenUnlessShownInTheLastRowStyleAndEnabled)
{
    grid.SetColumnCalc(1, acSUM); // hidden footer
    EXPECT_EQ(Footer(1), "");
    grid.FloatingFooter().SetVisible(true);
    grid.FloatingFooter().SetEnableCalculation(false);
    grid.CalcFooter(1);
    EXPECT_EQ(Footer(1), "");
    grid.FloatingFooter().SetEnableCalculation(true);
    grid.FloatingFooter().SetFooterStyle(fsColumnPreview);
    grid.CalcFooter(1);
    EXPECT_EQ(Footer(1), "");
    grid.FloatingFooter().SetFooterStyle(fsFixedLastRow);
    grid.CalcFooter(1);
    EXPECT_EQ(Footer(1), "15");
}

TEST_F(FooterFixture, CustomTotals)
{
    grid.FloatingFooter().SetVisible(true);
    grid.SetGridCell(2, 6, "old");
    grid.SetColumnCalc(2, acCUSTOM); // no handler: emptied
    EXPECT_EQ(Footer(2), "");
    int footerEvent = 0;
    grid.FloatingFooter().OnCalcFooter = [&](QObject*, int, int, QString& v) {
        ++footerEvent;
        v = "footer";
    };
    grid.CalcFooter(2);
    EXPECT_EQ(Footer(2), "footer");
    grid.OnFooterCalc = [](QObject*, int aCol, int aRow, QString& v) { v = QStringLiteral("%1/%2").arg(aCol).arg(aRow); };
    grid.CalcFooter(2);
    EXPECT_EQ(Footer(2), "2/6"); // the grid's event comes first
    EXPECT_EQ(footerEvent, 1);
}

TEST_F(FooterFixture, TemplatePlaceholders)
{
    struct Case
    {
        QString text;
        QString shown;
        const char* why;
    };
    for (const Case& c : {
             Case{"Total: <#2>", "Total: t3", "a column's text"},
             Case{"<#1>+<#$2>", "3+t3", "hexadecimal column"},
             Case{"no placeholders", "no placeholders", "text as it stands"},
             Case{"a<#xy>b", "ab", "letters: the placeholder vanishes"},
             Case{"a<#7>b<#-1>c", "abc", "columns the grid lacks give nothing"},
             Case{"a<#99999999999>b", "ab", "a number too large gives nothing"},
             Case{"x <#1", "x <#1", "unclosed: shown as written"},
             Case{"<#1><#", "3<#", "unclosed after a placeholder"},
             Case{"", "", "empty"},
         }) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(grid.ExpandFooterTemplate(c.text, 3), c.shown);
    }
    EXPECT_EQ(grid.ExpandFooterTemplate("<#1>", 40), ""); // a row the grid lacks
}

TEST_F(FooterFixture, SettingsAndTheirCopy)
{
    TFloatingFooter& f = grid.FloatingFooter();
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.FooterStyle(), fsFixedLastRow);
    EXPECT_TRUE(f.CalculateHiddenRows());
    EXPECT_EQ(f.BorderColor(), clNone);
    f.SetVisible(true);
    f.SetHeight(30);
    EXPECT_EQ(f.Panel()->height(), 29);
    f.SetHeight(0); // left as it is
    EXPECT_EQ(f.Panel()->height(), 29);
    EXPECT_EQ(f.Panel()->y() + f.Panel()->height(), grid.height());

    TFloatingFooter copy;
    f.SetColumn(2);
    f.SetCustomTemplate("t");
    f.SetBorderColor(clRed);
    copy.Assign(&f);
    EXPECT_EQ(copy.Column(), 2);
    EXPECT_EQ(copy.CustomTemplate(), "t");
    EXPECT_TRUE(copy.Visible());
    EXPECT_EQ(copy.BorderColor(), clNone);
    EXPECT_EQ(copy.Height(), 22);

    f.SetVisible(false);
    EXPECT_EQ(grid.FixedFooters(), 0);
    EXPECT_FALSE(grid.HideLastRow());
}

TEST_F(FooterFixture, PanelPaintsEveryStyleAndReportsClicks)
{
    grid.show();
    TFloatingFooter& f = grid.FloatingFooter();
    f.SetVisible(true);
    f.SetBorderColor(clRed);
    grid.SetColumnCalc(1, acSUM);
    int painted = 0;
    grid.OnFooterPaint = [&](QObject*, int, TCanvas&, const TRect&) { ++painted; };
    for (TFooterStyle s : {fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint}) {
        f.SetFooterStyle(s);
        f.SetCustomTemplate("<b>Sum</b> <#1> <#");
        EXPECT_TRUE(f.Panel()->isVisible());
        f.Panel()->grab();
    }
    EXPECT_GE(painted, 3);
    int clickedRow = -1, clickedCol = -1;
    grid.OnClickCell = [&](QObject*, int aRow, int aCol) {
        clickedRow = aRow;
        clickedCol = aCol;
    };
    const int x = grid.ColWidths(0) + 5;
    EXPECT_EQ(f.Panel()->ColumnAt(x), 1);
    EXPECT_EQ(f.Panel()->ColumnAt(100000), -1);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, 3), f.Panel()->mapToGlobal(QPointF(x, 3)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.Panel(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, 3), f.Panel()->mapToGlobal(QPointF(x, 3)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.Panel(), &release);
    EXPECT_EQ(clickedRow, grid.RowCount() - 1);
    EXPECT_EQ(clickedCol, 1);
}

TEST_F(FooterFixture, TotalsFollowContractedNodes)
{
    grid.FloatingFooter().SetVisible(true);
    grid.FloatingFooter().SetCalculateHiddenRows(false);
    grid.SetColumnCalc(1, acSUM);
    grid.SetColumnCalc(2, acCOUNT);
    ASSERT_EQ(Footer(1), "15");
    // A contracted node leaves its own row: 1 + 4 + 5.
    grid.AddNode(1, 3);
    grid.ContractNode(1);
    EXPECT_EQ(Footer(1), "10");
    EXPECT_EQ(Footer(2), "3");
    grid.ExpandNode(1);
    EXPECT_EQ(Footer(1), "15");
    EXPECT_EQ(Footer(2), "5");
    // Counting hidden rows too, the totals stay whole.
    grid.FloatingFooter().SetCalculateHiddenRows(true);
    grid.ContractNode(1);
    EXPECT_EQ(Footer(1), "15");
    EXPECT_EQ(Footer(2), "5");
}

TEST_F(FooterFixture, TotalsAndTheirKindsSurviveAFilter)
{
    grid.FloatingFooter().SetVisible(true);
    grid.FloatingFooter().SetCalculateHiddenRows(false);
    grid.SetColumnCalc(1, acSUM);
    ASSERT_EQ(Footer(1), "15");
    TFilterData* f = grid.Filter().Add();
    f->SetColumn(1);
    f->SetCondition(QStringLiteral(">3"));
    grid.SetFilterActive(true);
    // Rows 4 and 5 shown: the footer row stays last with its kind.
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.GetColumnCalc(1), acSUM);
    EXPECT_EQ(Footer(1), "9");
    grid.SetFilterActive(false);
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(grid.GetColumnCalc(1), acSUM);
    EXPECT_EQ(Footer(1), "15");
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(grid.GetCellEx(1, r), QString::number(r));
}
