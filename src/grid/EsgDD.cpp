#include "grid/EsgDD.h"

#include <QMimeData>
#include <QUrl>
#include <QtEndian>

#include <stdexcept>

QString GridCellsClipboardFormat();

using namespace platform;

namespace {

bool g_rtfSwitch = false;

constexpr int CellsBlockHeader = 8; // 32-bit length, four zero bytes

// Ctrl copies; otherwise a move when the source allows it.
DropEffect ChooseEffect(Qt::KeyboardModifiers keys, bool allowMove)
{
    if (keys & Qt::ControlModifier)
        return DropEffect::Copy;
    return allowMove ? DropEffect::Move : DropEffect::Copy;
}

} // namespace

QString RichTextFormatName() { return QStringLiteral("Rich Text Format"); }
QString GridColumnFormatName() { return QStringLiteral("Grid Column"); }
QString UrlFormatName() { return QStringLiteral("UniformResourceLocator"); }

bool OleDropRTFSwitch() { return g_rtfSwitch; }
void SetOleDropRTFSwitch(bool on) { g_rtfSwitch = on; }

// ---------------------------------------------------------------- reading

TEnumFormats::TEnumFormats(const QMimeData* data) : FDataObject(data)
{
    if (!data)
        throw std::logic_error("Cannot get the format enumerator (EsgDD)");
}

bool TEnumFormats::HasFormat(const QString& mimeType) const { return FDataObject->hasFormat(mimeType); }
// Only real text: Qt would also count a file list as text.
bool TEnumFormats::HasText() const { return FDataObject->hasFormat(QStringLiteral("text/plain")); }
bool TEnumFormats::HasRTF() const { return HasFormat(RichTextFormatName()); }
bool TEnumFormats::HasCol() const { return HasFormat(GridColumnFormatName()); }
bool TEnumFormats::HasURL() const { return HasFormat(UrlFormatName()); }
bool TEnumFormats::HasGridCells() const { return HasFormat(GridCellsClipboardFormat()); }

bool TEnumFormats::HasFile() const
{
    if (!FDataObject->hasUrls())
        return false;
    for (const QUrl& u : FDataObject->urls())
        if (u.isLocalFile())
            return true;
    return false;
}

QString TEnumFormats::Text() const { return HasText() ? FDataObject->text() : QString(); }

QString TEnumFormats::RTF() const
{
    QByteArray b = FDataObject->data(RichTextFormatName());
    const qsizetype zero = b.indexOf('\0');
    if (zero >= 0)
        b.truncate(zero);
    return QString::fromLatin1(b);
}

int TEnumFormats::Col() const
{
    const QByteArray b = FDataObject->data(GridColumnFormatName());
    if (b.size() < 4)
        return -1;
    return qFromLittleEndian<qint32>(b.constData());
}

QByteArray TEnumFormats::Stream() const
{
    const QByteArray b = FDataObject->data(GridCellsClipboardFormat());
    if (b.size() < CellsBlockHeader)
        return {};
    const quint32 n = qFromLittleEndian<quint32>(b.constData());
    if (n > static_cast<quint64>(b.size() - CellsBlockHeader))
        return {};
    return b.mid(CellsBlockHeader, static_cast<qsizetype>(n));
}

bool TEnumFormats::ReadFiles()
{
    FFiles.clear();
    if (FDataObject->hasUrls())
        for (const QUrl& u : FDataObject->urls())
            if (u.isLocalFile())
                FFiles << u.toLocalFile();
    return !FFiles.isEmpty();
}

// ---------------------------------------------------------------- drop target

void TESGDropTarget::DragEnter(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen,
                               bool allowMove, DropEffect& effect)
{
    Q_UNUSED(screen);
    {
        const TEnumFormats f(&data);
        const bool text = f.HasText(), files = f.HasFile(), rtf = f.HasRTF(), col = f.HasCol(), url = f.HasURL(),
                   cells = f.HasGridCells();
        FOk = (text && FAcceptText) || (files && FAcceptFiles) || (rtf && g_rtfSwitch && FAcceptText) ||
              (col && FAcceptCols) || (url && FAcceptURLs) || cells;
        FDropFormats = (text ? DropFormatBit(dfText) : 0) | (files ? DropFormatBit(dfFile) : 0) |
                       (rtf ? DropFormatBit(dfRTF) : 0) | (col ? DropFormatBit(dfCol) : 0) |
                       (url ? DropFormatBit(dfURL) : 0) | (cells ? DropFormatBit(dfGridCells) : 0);
    }
    effect = FOk ? ChooseEffect(keys, allowMove) : DropEffect::None;
    DragMouseEnter();
}

void TESGDropTarget::DragOver(Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove, DropEffect& effect)
{
    effect = FOk ? ChooseEffect(keys, allowMove) : DropEffect::None;
    bool allow = effect != DropEffect::None;
    DragMouseMove(screen, allow, FDropFormats);
    if (!allow)
        effect = DropEffect::None;
}

void TESGDropTarget::DragLeave() { DragMouseLeave(); }

void TESGDropTarget::Drop(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
                          DropEffect& effect)
{
    effect = DropEffect::None;
    if (!FOk)
        return;
    TEnumFormats f(&data);
    bool taken = false;
    if (f.HasCol()) {
        taken = DropCol(screen, f.Col());
    } else {
        if (f.HasGridCells())
            taken = DropStream(screen, f.Stream(), f.Text());
        else if (f.HasRTF() && g_rtfSwitch)
            taken = DropRTF(screen, f.RTF());
        else if (f.HasText())
            taken = DropText(screen, f.Text());
        if (f.HasFile() && f.ReadFiles())
            taken = DropFiles(screen, f.Files()) || taken;
        if (f.HasURL())
            taken = DropURL(screen, f.Text()) || taken;
    }
    if (taken)
        effect = ChooseEffect(keys, allowMove);
}

// ---------------------------------------------------------------- drop source

DragQuery TESGDropSource::QueryContinueDrag(bool escapePressed, bool leftButtonDown)
{
    DragQuery q = DragQuery::Continue;
    if (escapePressed) {
        DragEnded();
        q = DragQuery::Cancel;
    } else if (!leftButtonDown) {
        DragEnded();
        q = DragQuery::Drop;
    }
    QueryDrag();
    return q;
}

void TESGDropSource::GiveFeedback(DropEffect effect)
{
    FNoAccept = effect == DropEffect::None;
    CurrentEffect(effect);
}

// ---------------------------------------------------------------- outgoing data

QMimeData* SourceDataObject(const QString& text, const QByteArray* stream, int colIdx, const QString& rtf)
{
    auto* data = new QMimeData;
    if (!text.isEmpty()) {
        data->setText(text);
        if (g_rtfSwitch)
            data->setData(RichTextFormatName(), rtf.toLatin1() + QByteArray(1, '\0'));
    }
    if (colIdx != -1) {
        QByteArray b(4, '\0');
        qToLittleEndian<qint32>(colIdx, b.data());
        data->setData(GridColumnFormatName(), b);
        // A column drag lists the text format too (with nothing in it), so a
        // target that takes text takes the column.
        if (text.isEmpty())
            data->setText(QString());
    }
    if (stream) {
        QByteArray b(CellsBlockHeader, '\0');
        qToLittleEndian<quint32>(static_cast<quint32>(stream->size()), b.data());
        data->setData(GridCellsClipboardFormat(), b + *stream);
    }
    return data;
}

DragResult BeginOleTextDrag(QWidget* window, TESGDropSource& source, const QString& text, const QString& rtf,
                            DropEffect& effect, bool allowMove, const QByteArray* stream)
{
    const DragResult r = DoDragDrop(window, SourceDataObject(text, stream, -1, rtf), source, allowMove, effect);
    return source.NoAccept() ? DragResult::Cancelled : r;
}

DragResult BeginOleColumnDrag(QWidget* window, TESGDropSource& source, int col, bool allowMove, DropEffect& effect)
{
    const DragResult r = DoDragDrop(window, SourceDataObject(QString(), nullptr, col, QString()), source, allowMove,
                                    effect);
    return source.NoAccept() ? DragResult::Cancelled : r;
}
