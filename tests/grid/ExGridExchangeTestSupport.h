#pragma once

// Cell texts that exchange files find hard to carry, and small helpers for
// the exchange tests.

#include "grid/ExGrid.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace exchange_test {

// A cell rectangle as the grid's binary cell stream, and such a stream loaded
// at a point.
inline QByteArray SaveRect(TExStringGrid& g, platform::TRect r)
{
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    g.SaveRectToBinStream(r, b);
    return b.data();
}

inline void LoadAt(TExStringGrid& g, platform::TPoint p, const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    g.LoadAtPointFromBinStream(p, b);
}

struct AwkwardText
{
    const char* why;
    QString text;
};

inline std::vector<AwkwardText> AwkwardTexts()
{
    return {
        {"blank at the start", QStringLiteral("  lead")},
        {"blank at the end", QStringLiteral("trail  ")},
        {"blanks only", QStringLiteral("   ")},
        {"comma", QStringLiteral("a,b,c")},
        {"semicolon and bar", QStringLiteral("a;b|c")},
        {"double quotes", QStringLiteral("say \"hi\"")},
        {"lone quote", QStringLiteral("\"")},
        {"CR LF", QStringLiteral("x\r\ny")},
        {"lone LF", QStringLiteral("x\ny")},
        {"lone CR", QStringLiteral("x\ry")},
        {"CR LF at the end", QStringLiteral("end\r\n")},
        {"tab", QStringLiteral("tab\there")},
        {"tab with line break", QStringLiteral("t\tx\r\ny")},
        {"control characters with line break", QStringLiteral("c\x01\x08\x1B[I\r\nz")},
        {"quotes and line break", QStringLiteral("\"q\"\r\n\"r\"")},
        {"non-Latin", QStringLiteral("Ωμέγα 漢字 Ж")},
        {"negative number", QStringLiteral("-12.5")},
        {"ISO date", QStringLiteral("2024-01-02")},
        {"plus sign", QStringLiteral("+49 30 1234")},
        {"looks like a width line", QStringLiteral("cw 1,20")},
        {"very long", QString(5000, QChar(u'w')) + QStringLiteral(",\r\n") + QString(3000, QChar(u'v'))},
    };
}

// One awkward text per row in column 1, its row number in column 0, column 2
// empty, on a grid without fixed cells.
inline void FillAwkward(TExStringGrid& g)
{
    const auto texts = AwkwardTexts();
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(static_cast<int>(texts.size()));
    g.SetMultilinecells(true);
    for (int r = 0; r < static_cast<int>(texts.size()); ++r) {
        g.SetGridCell(0, r, QString::number(r));
        g.SetGridCell(1, r, texts[r].text);
    }
}

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

inline QByteArray Utf16Le(const QString& s)
{
    QByteArray out;
    for (QChar c : s) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

// A snapshot of a grid's size and texts, to see that a failed load changed nothing.
inline QStringList Snapshot(TExStringGrid& g)
{
    QStringList s{QString::number(g.ColCount()), QString::number(g.RowCount())};
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c)
            s << g.GetGridCell(c, r);
    return s;
}

} // namespace exchange_test
