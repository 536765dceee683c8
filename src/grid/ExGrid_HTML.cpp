// HTML export: one CSS class per distinct cell look, merged cells as spans,
// links for URL and mail cells. Texts are always escaped; link targets are
// quoted; with XHTML the output is well-formed XML (lower-case tags, quoted
// attributes, character references in place of HTML-only entities); the
// bytes written are those the document declares. Picture cells are written
// as their text.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"

#include "widgets/ExUtil.h"

#include <QFile>

#include <map>

using namespace exgrid_exchange;

namespace {

QString Hex6(platform::TColor c)
{
    const unsigned v = static_cast<unsigned>(c);
    return QStringLiteral("%1%2%3")
        .arg(v & 0xFF, 2, 16, QChar(u'0'))
        .arg((v >> 8) & 0xFF, 2, 16, QChar(u'0'))
        .arg((v >> 16) & 0xFF, 2, 16, QChar(u'0'))
        .toUpper();
}

QString EscapeText(const QString& t)
{
    QString s;
    s.reserve(t.size());
    for (QChar c : t) {
        switch (c.unicode()) {
        case u'&': s += QStringLiteral("&amp;"); break;
        case u'"': s += QStringLiteral("&quot;"); break;
        case u'<': s += QStringLiteral("&lt;"); break;
        case u'>': s += QStringLiteral("&gt;"); break;
        default: s += c; break;
        }
    }
    return s;
}

struct HtmlWriter
{
    TExStringGrid& g;
    const THTMLSettings& hs;
    bool x; // XHTML
    std::map<QString, int> classes;
    std::vector<QString> classOrder;

    QString Tag(const char* upper) const
    {
        const QString t = QString::fromLatin1(upper);
        return x ? t.toLower() : t;
    }
    QString Nbsp() const { return x ? QStringLiteral("&#160;") : QStringLiteral("&nbsp;"); }

    QString CellText(int realCol, int row, bool body)
    {
        QString raw;
        g.QuerySaveCellText(realCol, row, raw);
        if (raw.trimmed().isEmpty())
            return Nbsp();
        QString t = EscapeText(raw);
        if (body && hs.NonBreakingText)
            t.replace(u' ', Nbsp());
        // Every line break, whatever its form, becomes one break tag.
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
        t.replace(u'\n', u'\r');
        t.replace(u'\r', x ? QStringLiteral("<br/>") : QStringLiteral("<br>"));
        if (g.URLShow() && !raw.contains(QStringLiteral("</"))) {
            QString shown;
            qsizetype at = raw.indexOf(QStringLiteral("mailto:"));
            if (at >= 0) {
                shown = raw.mid(at + 7);
            } else if ((at = raw.indexOf(QStringLiteral("://"))) >= 0) {
                shown = g.URLFull() ? raw : raw.mid(at + 3).left(255);
            }
            if (at >= 0)
                t = QStringLiteral("<a href=\"") + EscapeText(raw) + QStringLiteral("\">") + EscapeText(shown) +
                    QStringLiteral("</a>");
        }
        return t;
    }

    int ClassOf(int realCol, int row, bool fixed)
    {
        QStringList parts;
        const TCellProperties* p = g.CellPropsAt(realCol, row);
        platform::TColor brush = fixed ? g.FixedColor() : (p ? p->BrushColor() : platform::clNone);
        platform::TColor fontColor = p ? p->FontColor() : platform::clNone;
        // System colours are given as the colour they stand for now.
        if (hs.SaveColor && brush != platform::clNone)
            parts << QStringLiteral("background-color: #") + Hex6(platform::ColorToRGB(brush));
        if (hs.SaveColor && fontColor != platform::clNone)
            parts << QStringLiteral("color: #") + Hex6(platform::ColorToRGB(fontColor));
        const platform::TFont& f = g.GetCellFont(realCol, row);
        parts << QStringLiteral("font-size:") + QString::number(f.Size()) + QStringLiteral("pt");
        if (f.Style() & platform::fsItalic)
            parts << QStringLiteral("font-style: italic");
        if (f.Style() & platform::fsBold)
            parts << QStringLiteral("font-weight: bold");
        parts << QStringLiteral("font-family: ") + f.Name();
        platform::TAlignment ha = platform::taLeftJustify;
        TVAlignment va = vtaTop;
        g.ResolveCellAlignment(realCol, row, ha, va);
        if (ha == platform::taRightJustify)
            parts << QStringLiteral("text-align: right");
        else if (ha == platform::taCenter)
            parts << QStringLiteral("text-align: center");
        parts << (va == vtaTop      ? QStringLiteral("vertical-align: top")
                  : va == vtaCenter ? QStringLiteral("vertical-align: middle")
                                    : QStringLiteral("vertical-align: bottom"));
        const QString style = parts.join(u';');
        auto it = classes.find(style);
        if (it != classes.end())
            return it->second;
        const int n = static_cast<int>(classOrder.size());
        classes.emplace(style, n);
        classOrder.push_back(style);
        return n;
    }

    QString CellLine(int col, int row, bool header, int c0, bool hadHeader)
    {
        const int real = g.RealColIndex(col);
        const bool fixed = header || col < g.FixedCols() || row < g.FixedRows();
        const int cls = ClassOf(real, row, fixed);
        QString line = u'<' + Tag("TD") + QStringLiteral(" class=\"c") + QString::number(cls) + u'"';
        const platform::TPoint span = g.CellSpan(real, row);
        if (span.X > 0)
            line += u' ' + Tag("COLSPAN") + QStringLiteral("=\"") + QString::number(span.X + 1) + u'"';
        if (span.Y > 0)
            line += u' ' + Tag("ROWSPAN") + QStringLiteral("=\"") + QString::number(span.Y + 1) + u'"';
        const TCellProperties* p = g.CellPropsAt(real, row);
        if (!(p ? p->WordWrap() : g.WordWrap()))
            line += x ? QStringLiteral(" nowrap=\"nowrap\"") : QStringLiteral(" nowrap");
        const int entry = header ? col : col - c0;
        if ((header || !hadHeader) && entry >= 0 && entry < hs.ColWidths.Count()) {
            const QString w = QString::number(hs.ColWidths[entry]);
            line += header ? (x ? QStringLiteral(" width=\"") + w + u'"' : QStringLiteral(" WIDTH=") + w)
                           : (x ? QStringLiteral(" width=\"") + w + u'"' : QStringLiteral(" width=") + w);
        }
        line += u'>';
        if (g.GetCellType(real, row) == ctNode)
            line += u'+';
        line += CellText(real, row, !header);
        line += QStringLiteral("</") + (x ? QStringLiteral("td") : QStringLiteral("td")) + u'>';
        return line;
    }
};

} // namespace

QString TExStringGrid::SaveToHTMLString(const QString& dir)
{
    Q_UNUSED(dir);
    const THTMLSettings& hs = HTMLSettings();
    HtmlWriter w{*this, hs, hs.XHTML, {}, {}};
    QString prologue;
    if (hs.XHTML) {
        prologue = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                  "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\"\r\n"
                                  "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd\">\r\n"
                                  "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n");
    }
    prologue += hs.PrefixTag;
    QStringList table;
    QString open = u'<' + w.Tag("TABLE") + u' ' + w.Tag("BORDER") + QStringLiteral("=\"") + QString::number(hs.BorderSize) +
                   QStringLiteral("\" ") + w.Tag("CELLSPACING") + QStringLiteral("=\"") + QString::number(hs.CellSpacing) +
                   QStringLiteral("\" ") + w.Tag("CELLPADDING") + QStringLiteral("=\"") + QString::number(hs.CellPadding) +
                   QStringLiteral("\" ");
    if (!hs.Summary.isEmpty())
        open += w.Tag("SUMMARY") + QStringLiteral("=\"") + EscapeText(hs.Summary) + QStringLiteral("\" ");
    if (!hs.TableStyle.isEmpty())
        open += u' ' + hs.TableStyle + u' ';
    open += w.Tag("WIDTH") + QStringLiteral("=\"") + QString::number(hs.Width) + QStringLiteral("%\">");
    table << open;
    const int c0 = SaveFixedCells() || SaveFixedCols() ? 0 : FixedCols();
    const int r0 = SaveFixedCells() || SaveFixedRows() ? 0 : FixedRows();
    const bool header = FixedRows() > 0 && (SaveFixedCells() || SaveFixedRows());
    const auto row = [&](int r, bool isHeader) {
        table << u'<' + w.Tag("TR") + u'>';
        for (int c = c0; c < ColCount(); ++c) {
            const int real = RealColIndex(c);
            if (!IsBaseCell(real, r))
                continue;
            table << w.CellLine(c, r, isHeader, c0, header);
        }
        table << QStringLiteral("</") + w.Tag("TR") + u'>';
    };
    if (header)
        row(0, true);
    const int first = header ? 1 : r0;
    ExportNotification(esExportStart, first);
    for (int r = first; r < RowCount(); ++r) {
        ExportNotification(esExportNextRow, r);
        row(r, false);
    }
    ExportNotification(esExportDone, -1);
    table << QStringLiteral("</") + w.Tag("TABLE") + u'>';
    if (!hs.SuffixTag.isEmpty())
        table << hs.SuffixTag;
    if (hs.XHTML)
        table << QStringLiteral("</html>");
    QString style = QStringLiteral("<style>\r\n");
    for (size_t i = 0; i < w.classOrder.size(); ++i)
        style += QStringLiteral(".c") + QString::number(i) + QStringLiteral(" {") + w.classOrder[i] + QStringLiteral("}\r\n");
    style += QStringLiteral("</style>\r\n");
    QString out = prologue + style;
    for (const QString& l : table)
        out += l + QStringLiteral("\r\n");
    return out;
}

namespace {

void WriteHTML(TExStringGrid& g, const QString& fileName, bool unicode, bool append)
{
    QStringList lines;
    if (append) {
        try {
            lines = ReadFileLines(fileName);
        } catch (const REruVidaZuvez&) {
            lines.clear();
        }
    }
    const THTMLSettings& hs = g.HTMLSettings();
    if (!hs.HeaderFile.isEmpty())
        lines += ReadFileLines(hs.HeaderFile);
    QString dir = fileName;
    dir.replace(u'\\', u'/');
    dir = dir.left(dir.lastIndexOf(u'/') + 1);
    QString body = g.SaveToHTMLString(dir);
    if (body.endsWith(QStringLiteral("\r\n")))
        body.chop(2);
    if (unicode)
        body.replace(QStringLiteral("encoding=\"utf-8\""), QStringLiteral("encoding=\"utf-16\""));
    lines << body;
    if (!hs.FooterFile.isEmpty())
        lines += ReadFileLines(hs.FooterFile);
    // The bytes are the ones the document declares: UTF-16 with its mark, or UTF-8.
    WriteFileBytes(fileName, unicode ? EncodeLines(lines, TextEncoding::Utf16LeBom)
                                     : EncodeLines(lines, TextEncoding::Utf8Bom).mid(3));
}

} // namespace

void TExStringGrid::SaveToHTML(const QString& fileName, bool show, bool unicode)
{
    Q_UNUSED(show);
    WriteHTML(*this, fileName, unicode, false);
}

void TExStringGrid::AppendToHTML(const QString& fileName, bool show, bool unicode)
{
    Q_UNUSED(show);
    WriteHTML(*this, fileName, unicode, true);
}
