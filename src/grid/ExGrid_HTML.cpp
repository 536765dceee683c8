// HTML export: one CSS class per distinct cell look, merged cells as spans,
// links for URL and mail cells. Texts are always escaped; link targets are
// quoted; with XHTML the output is well-formed XML (lower-case tags, quoted
// attributes, character references in place of HTML-only entities); the
// bytes written are those the document declares. The pictures of picture
// cells are written as JPEG files into the images folder beside the page,
// under names no earlier export uses; an export without a folder (the
// clipboard's) writes no files and leaves the pictures out.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Exchange.h"
#include "platform/Process.h"

#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"
#include "widgets/PictureContainer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <csetjmp>
#include <cstdio>
#include <map>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

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

// ---- JPEG through libjpeg (its classic interface: our own destination)

struct JpegSinkError
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void JpegSinkErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegSinkError*>(info->err)->jump, 1);
}

void JpegSinkSilent(j_common_ptr) {}

// Compressed bytes collect in a vector that the caller owns.
struct JpegVectorDest
{
    jpeg_destination_mgr pub;
    std::vector<unsigned char>* out;
    unsigned char buffer[4096];
};

void JpegDestInit(j_compress_ptr info)
{
    auto* d = reinterpret_cast<JpegVectorDest*>(info->dest);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof d->buffer;
}

boolean JpegDestEmpty(j_compress_ptr info)
{
    auto* d = reinterpret_cast<JpegVectorDest*>(info->dest);
    d->out->insert(d->out->end(), d->buffer, d->buffer + sizeof d->buffer);
    d->pub.next_output_byte = d->buffer;
    d->pub.free_in_buffer = sizeof d->buffer;
    return TRUE;
}

void JpegDestTerm(j_compress_ptr info)
{
    auto* d = reinterpret_cast<JpegVectorDest*>(info->dest);
    d->out->insert(d->out->end(), d->buffer, d->buffer + (sizeof d->buffer - d->pub.free_in_buffer));
}

// RGB rows of width x height, 3 bytes a pixel, compressed at the library's
// default quality. Only plain data lives in this frame, which longjmp may leave.
bool CompressJpeg(const unsigned char* rgb, int width, int height, std::vector<unsigned char>* out)
{
    jpeg_compress_struct info{};
    JpegSinkError error;
    JpegVectorDest dest;
    info.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = JpegSinkErrorExit;
    error.pub.output_message = JpegSinkSilent;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    dest.out = out;
    dest.pub.init_destination = JpegDestInit;
    dest.pub.empty_output_buffer = JpegDestEmpty;
    dest.pub.term_destination = JpegDestTerm;
    info.dest = &dest.pub;
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

// The picture on a white ground (JPEG has no transparency) as JPEG bytes;
// empty when there is nothing to write.
QByteArray JpegOf(const QImage& image)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return {};
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, image);
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(flat.width()) * flat.height() * 3);
    for (int y = 0; y < flat.height(); ++y)
        std::memcpy(rgb.data() + static_cast<size_t>(y) * flat.width() * 3, flat.constScanLine(y),
                    static_cast<size_t>(flat.width()) * 3);
    std::vector<unsigned char> out;
    if (!CompressJpeg(rgb.data(), flat.width(), flat.height(), &out))
        return {};
    return QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<qsizetype>(out.size()));
}

bool IsJpeg(const QByteArray& d)
{
    return d.size() >= 3 && static_cast<unsigned char>(d[0]) == 0xFF && static_cast<unsigned char>(d[1]) == 0xD8 &&
           static_cast<unsigned char>(d[2]) == 0xFF;
}

struct HtmlWriter
{
    TExStringGrid& g;
    const THTMLSettings& hs;
    bool x; // XHTML
    std::map<QString, int> classes;
    std::vector<QString> classOrder;
    // Folder prefix of the pictures; empty: no picture files.
    QString dir = {};
    int nextImage = 0;
    bool folderReady = false;

    // Writes one picture under the next name that no file has yet and gives
    // its tag; nothing without a folder or picture.
    QString Picture(const QByteArray& jpeg)
    {
        if (dir.isEmpty() || jpeg.isEmpty())
            return {};
        const QString folder = dir + QStringLiteral("images");
        if (!folderReady) {
            if (!QDir().mkpath(folder))
                throw std::runtime_error((QStringLiteral("Cannot create ") + folder).toStdString());
            folderReady = true;
        }
        QString path;
        QFile file;
        for (;;) {
            path = folder + QStringLiteral("/img") + QString::number(nextImage++) + QStringLiteral(".jpg");
            file.setFileName(path);
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                break;
            if (!QFileInfo::exists(path) || nextImage < 0)
                throw REruVidaZuvez(QStringLiteral("Cannot Create file ") + path);
        }
        if (file.write(jpeg) != jpeg.size() || !file.flush()) {
            file.remove();
            throw REruVidaZuvez(QStringLiteral("Cannot Create file ") + path);
        }
        file.close();
        const QString src = QStringLiteral("\"file://") + EscapeText(path) + u'"';
        return x ? QStringLiteral("<img src=") + src + QStringLiteral(" alt=\"\"/>")
                 : QStringLiteral("<img src= ") + src + u'>';
    }

    QString ImageOfList(platform::TImageList* list, int index)
    {
        if (!list || index < 0 || index >= list->Count() || !list->ImageAt(index))
            return {};
        return Picture(JpegOf(*list->ImageAt(index)));
    }

    // The cell's text with the pictures of its graphic, in the order of its kind.
    QString WithPictures(int realCol, int row, const QString& text)
    {
        const TCellGraphic* gr = g.GetCellGraphic(realCol, row);
        if (!gr)
            return text;
        switch (gr->CellType) {
        case ctBitmap:
            if (gr->Bitmap && !gr->Bitmap->Empty())
                return text + Picture(JpegOf(gr->Bitmap->Image()));
            break;
        case ctImageList: return ImageOfList(g.CellImages(realCol, row), gr->CellIndex) + text;
        case ctDataImage: {
            bool ok = false;
            const int index = g.GetGridCell(realCol, row).trimmed().toInt(&ok);
            if (ok)
                return text + ImageOfList(g.CellImages(realCol, row), index);
            break;
        }
        case ctImages:
            if (platform::TImageList* list = g.CellImages(realCol, row); list && gr->Images) {
                QString pictures;
                for (int index : gr->Images->Items())
                    pictures += ImageOfList(list, index);
                return pictures + text;
            }
            break;
        case ctPicture:
            if (gr->Picture && !gr->Picture->Empty()) {
                QByteArray raw;
                gr->Picture->SaveToStream(raw);
                if (IsJpeg(raw))
                    return text + Picture(raw);
                if (gr->Picture->Image())
                    return text + Picture(JpegOf(*gr->Picture->Image()));
            }
            break;
        case ctInterface:
            if (auto* object = dynamic_cast<ICellGraphic*>(gr->CellBitmap)) {
                const int w = object->CellGraphicWidth(), h = object->CellGraphicHeight();
                if (w > 0 && h > 0 && w <= MaxFileCols && h <= MaxFileCols) {
                    platform::TBitmap bitmap(w, h);
                    object->DrawCellGraphic(bitmap.Canvas(), platform::TRect{0, 0, w, h}, &g, false, row, realCol);
                    return text + Picture(JpegOf(bitmap.Image()));
                }
            }
            break;
        default: break;
        }
        return text;
    }

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
        // Accented letters of body cells become named entities on request.
        QString t = body && hs.ConvertSpecialChars ? EncodeHTMLEntities(raw, true) : EscapeText(raw);
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
        line += hs.ExportImages ? WithPictures(real, row, CellText(real, row, !header)) : CellText(real, row, !header);
        line += QStringLiteral("</") + (x ? QStringLiteral("td") : QStringLiteral("td")) + u'>';
        return line;
    }
};

} // namespace

QString TExStringGrid::SaveToHTMLString(const QString& dir)
{
    const THTMLSettings& hs = HTMLSettings();
    HtmlWriter w{*this, hs, hs.XHTML, {}, {}};
    w.dir = dir;
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
    // The pictures' links are absolute, also for a page named relative to
    // the working folder.
    QString dir = fileName;
    dir.replace(u'\\', u'/');
    dir = QFileInfo(dir).absolutePath() + u'/';
    if (dir.startsWith(QStringLiteral("//")))
        dir.remove(0, 1);
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
    WriteHTML(*this, fileName, unicode, false);
    if (show || HTMLSettings().AutoPreview)
        platform::OpenWithDesktop(QFileInfo(fileName).absoluteFilePath());
}

void TExStringGrid::AppendToHTML(const QString& fileName, bool show, bool unicode)
{
    WriteHTML(*this, fileName, unicode, true);
    if (show || HTMLSettings().AutoPreview)
        platform::OpenWithDesktop(QFileInfo(fileName).absoluteFilePath());
}
