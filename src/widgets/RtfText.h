#pragma once

// A small reader of rich text (RTF) for the grid's rich-text cells: the text
// with its paragraphs and the character formatting cells show (bold, italic,
// underline, strike-out, font, size, colour), and its painting into a
// rectangle. Anything else in the document is skipped. Any input is read
// safely: a document that breaks off keeps what was read up to there.

#include "platform/Graphics.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct TRtfRun
{
    QString Text;
    platform::TFontStyles Style = 0;
    int FontSize = 12;                   // points
    QString FontName;                    // empty: the canvas's font
    platform::TColor Color = platform::clNone; // clNone: the automatic colour
    bool operator==(const TRtfRun&) const = default;
};

struct TRtfParagraph
{
    std::vector<TRtfRun> Runs;
    int Alignment = 0; // 0 left, 1 right, 2 centred (justified reads as left)
};

struct TRtfDocument
{
    std::vector<TRtfParagraph> Paragraphs;
    std::vector<QString> Fonts;            // by font number, empty where none is defined
    std::vector<platform::TColor> Colors;  // the colour table, clNone for "automatic"
    // Paragraphs joined by CR LF.
    QString PlainText() const;
};

// False (and an empty document) when the text does not start with "{\rtf".
bool ReadRtf(const QByteArray& rtf, TRtfDocument& document, QString* error = nullptr);
// RTF kept one byte per character, as cells keep it.
bool ReadRtf(const QString& rtf, TRtfDocument& document, QString* error = nullptr);
// The plain text of an RTF text; the text itself when it is no RTF.
QString RtfToPlainText(const QString& rtf);

// Paints the document into rect (or only measures it) and returns the size
// it takes: the widest line and the total height. With wordWrap, lines break
// at blanks to fit the rectangle's width. textColor, when not clNone, takes
// the place of every run's colour (selected cells). The canvas's font name
// and colour are used where the document has none; pen, brush and font are
// as they were afterwards.
platform::TSize DrawRtfText(platform::TCanvas& canvas, const TRtfDocument& document, const platform::TRect& rect,
                            bool wordWrap, bool measureOnly, platform::TColor textColor = platform::clNone);
