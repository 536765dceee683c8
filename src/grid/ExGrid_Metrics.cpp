// Small text metrics of the grid: line counts of rows and columns and the
// placement of rotated text.
#include "grid/ExGrid.h"

#include <cmath>

using namespace platform;

int TExStringGrid::MaxLinesInRow(int aRow)
{
    if (ColCount() <= 0 || !FMultilineCells || aRow < 0 || aRow >= RowCount())
        return 1;
    int most = 1;
    for (int c = 0; c < ColCount(); ++c)
        most = std::max(most, GetLinesInCell(RealColIndex(c), aRow));
    return most;
}

int TExStringGrid::MaxLineLengthInColumn(int aCol)
{
    int longest = 0;
    for (int r = 0; r < RowCount(); ++r) {
        QString text = GetCellEx(aCol, r);
        QuerySaveCellText(aCol, r, text);
        qsizetype start = 0;
        while (true) {
            const qsizetype cr = text.indexOf(QLatin1Char('\r'), start);
            const qsizetype end = cr < 0 ? text.size() : cr;
            longest = std::max(longest, static_cast<int>(end - start));
            if (cr < 0 || !FMultilineCells)
                break;
            start = cr + 1;
            if (start < text.size() && text[start] == QLatin1Char('\n'))
                ++start;
        }
    }
    return longest;
}

void TExStringGrid::AlignRotatedText(TCanvas& canvas, TRect& r, int angle, int vAlign, int hAlign,
                                     const QString& text)
{
    const TSize ext = canvas.TextExtent(text);
    r.Left += 2;
    r.Top += 2;
    r.Right -= 2;
    r.Bottom -= 2;
    const double a = angle * M_PI / 180.0;
    const int w1 = static_cast<int>(std::fabs(std::cos(a) * ext.cx));
    const int h1 = static_cast<int>(std::fabs(std::sin(a) * ext.cy));
    const int w2 = static_cast<int>(std::fabs(std::sin(a) * ext.cx));
    const int h2 = static_cast<int>(std::fabs(std::cos(a) * ext.cy));
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    int x = L, y = T;
    const int band = angle <= 90 ? 0 : (angle <= 180 ? 1 : (angle <= 270 ? 2 : 3));
    switch (band) {
    case 0:
        x = hAlign == 0 ? L : (hAlign == 1 ? R - w1 - h1 : L + (R - L - h1 - w1) / 2);
        y = vAlign == 0 ? T + w2 : (vAlign == 2 ? B - h2 : T + w2 - (w2 + T + h2 - B) / 2);
        break;
    case 1:
        x = hAlign == 0 ? L + w1 : (hAlign == 1 ? R - h1 : R - (h1 + R - L - w1) / 2);
        y = vAlign == 0 ? T + h2 + w2 : (vAlign == 2 ? B : T + h2 + w2 - (w2 + T + h2 - B) / 2);
        break;
    case 2:
        x = hAlign == 0 ? L + h1 + w1 : (hAlign == 1 ? R : R - (R - L - h1 - w1) / 2);
        y = vAlign == 0 ? T + h2 : (vAlign == 2 ? B - w2 : T + h2 - (w2 + T + h2 - B) / 2);
        break;
    default:
        x = hAlign == 0 ? L + h1 : (hAlign == 1 ? R - w1 : L + (h1 + R - L - w1) / 2);
        y = vAlign == 0 ? T : (vAlign == 2 ? B - h2 - w2 : T - (w2 + T + h2 - B) / 2);
        break;
    }
    r.Left = x;
    r.Top = y;
}
