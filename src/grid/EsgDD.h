#pragma once

// The grid's bridge to drag and drop. It knows nothing of the grid: it reads
// the formats of data dropped from anywhere, turns the platform's drop calls
// into a few hooks, and builds the data of an outgoing drag: text, rich text,
// a column index or the binary cell stream.
//
// Formats travel as mime types: the platform's text, its file list, and
// "Rich Text Format" (ANSI, one zero byte after it), "Grid Column" (a 32-bit
// little-endian column index), "TExStringGrid Cells" (32-bit length N, four
// zero bytes, N bytes of cell stream) and "UniformResourceLocator" (only its
// presence counts; the link is the text).

#include "platform/DragDrop.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

class QMimeData;

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells };
using TDropFormats = unsigned;
constexpr TDropFormats DropFormatBit(TDropFormat f) { return 1u << static_cast<unsigned>(f); }

QString RichTextFormatName();
QString GridColumnFormatName();
QString UrlFormatName();

// Whether rich text is offered and taken; one switch for every grid.
bool OleDropRTFSwitch();
void SetOleDropRTFSwitch(bool on);

// Reads data dropped from anywhere. Missing formats read as empty text, -1
// or an empty stream.
class TEnumFormats
{
public:
    explicit TEnumFormats(const QMimeData* data);

    bool HasFormat(const QString& mimeType) const;
    bool HasText() const;
    bool HasRTF() const;
    bool HasCol() const;
    bool HasFile() const;
    bool HasURL() const;
    bool HasGridCells() const;

    QString Text() const;
    QString RTF() const;
    int Col() const;
    // The cell stream's bytes; empty when absent or when the block's length
    // does not fit the block.
    QByteArray Stream() const;
    // The dropped local files; false when there is none.
    bool ReadFiles();
    const QStringList& Files() const { return FFiles; }

private:
    const QMimeData* FDataObject;
    QStringList FFiles;
};

class TESGDropTarget : public platform::DropHandler
{
public:
    bool AcceptText() const { return FAcceptText; }
    void SetAcceptText(bool v) { FAcceptText = v; }
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool v) { FAcceptFiles = v; }
    bool AcceptCols() const { return FAcceptCols; }
    void SetAcceptCols(bool v) { FAcceptCols = v; }
    bool AcceptURLs() const { return FAcceptURLs; }
    void SetAcceptURLs(bool v) { FAcceptURLs = v; }
    TDropFormats DropFormats() const { return FDropFormats; }

    void DragEnter(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
                   platform::DropEffect& effect) override;
    void DragOver(Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
                  platform::DropEffect& effect) override;
    void DragLeave() override;
    void Drop(const QMimeData& data, Qt::KeyboardModifiers keys, const QPoint& screen, bool allowMove,
              platform::DropEffect& effect) override;

protected:
    // The drop hooks answer whether the data was taken: a drop that took
    // nothing reports no effect, so that a move never removes its source
    // for nothing. Points are screen points.
    virtual bool DropText(const QPoint&, const QString&) { return false; }
    // The text comes along for a target that takes no cell stream.
    virtual bool DropStream(const QPoint&, const QByteArray&, const QString&) { return false; }
    virtual bool DropCol(const QPoint&, int) { return false; }
    virtual bool DropRTF(const QPoint&, const QString&) { return false; }
    virtual bool DropFiles(const QPoint&, const QStringList&) { return false; }
    virtual bool DropURL(const QPoint&, const QString&) { return false; }
    virtual void DragMouseMove(const QPoint&, bool&, TDropFormats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}

private:
    bool FOk = false;
    bool FAcceptText = true;
    bool FAcceptFiles = true;
    bool FAcceptCols = false;
    bool FAcceptURLs = true;
    TDropFormats FDropFormats = 0;
};

class TESGDropSource : public platform::DragSourceHandler
{
public:
    platform::DragQuery QueryContinueDrag(bool escapePressed, bool leftButtonDown) override;
    void GiveFeedback(platform::DropEffect effect) override;
    bool NoAccept() const { return FNoAccept; }

protected:
    virtual void DragEnded() {}
    virtual void CurrentEffect(platform::DropEffect) {}
    virtual void QueryDrag() {}

private:
    bool FNoAccept = false;
};

// The data of an outgoing drag: text (when not empty), rich text (while the
// switch is on), the column (other than -1) and the cell stream (when given).
QMimeData* SourceDataObject(const QString& text, const QByteArray* stream, int colIdx, const QString& rtf);

// Run a whole drag; Cancelled also when the last feedback was no effect.
platform::DragResult BeginOleTextDrag(QWidget* window, TESGDropSource& source, const QString& text,
                                      const QString& rtf, platform::DropEffect& effect, bool allowMove,
                                      const QByteArray* stream);
platform::DragResult BeginOleColumnDrag(QWidget* window, TESGDropSource& source, int col, bool allowMove,
                                        platform::DropEffect& effect);
