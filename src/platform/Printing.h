#pragma once

// The printer and the low-metric mapping mode that printing draws in.
//
// Low metric: one logical unit is 0.1 mm and y grows upward, so everything
// below the top edge of a page has a negative y. TLowMetricCanvas maps those
// units onto any canvas (printer, picture, screen) by the canvas's resolution;
// text is measured at 254 dots per inch, where a pixel is one logical unit,
// so measuring gives the same sizes whatever the canvas is.

#include "platform/Graphics.h"

#include <QString>

#include <memory>

class QPrinter;
class QPainter;

namespace platform {

// Dots per inch of the surface under a canvas (96 when it has none).
int CanvasResolutionX(TCanvas& canvas);
int CanvasResolutionY(TCanvas& canvas);

class TLowMetricCanvas
{
public:
    // The logical origin (0, 0) sits at `origin`, in the canvas's pixels.
    TLowMetricCanvas(TCanvas& canvas, TPoint origin = {0, 0});

    TCanvas& Canvas() { return canvas_; }
    int ResolutionX() const { return dpiX_; }
    int ResolutionY() const { return dpiY_; }

    // Conversions between logical units and the canvas's pixels.
    int ToDeviceX(int x) const;
    int ToDeviceY(int y) const;
    TRect ToDevice(const TRect& r) const; // normalised: Top above Bottom on the device
    int ToLogicalX(int deviceX) const;
    int ToLogicalY(int deviceY) const;
    int DeviceLength(int units) const;

    // Size of a text in logical units, in a font whose height is logical
    // (negative: character height without leading).
    TSize TextExtent(const TFont& font, const QString& text);

    // Drawing in logical units. The pen width is logical.
    void Line(int x1, int y1, int x2, int y2, TColor color, int width, TPenStyle style);
    void FillRect(const TRect& r, TColor color);
    // Top-left of the text at (x, y); the text is cut at `clip` when given.
    void TextOut(int x, int y, const QString& text, const TFont& font, const TRect* clip = nullptr);
    // Several lines laid out by the canvas's DrawText (DT_ flags) in r.
    void DrawText(const QString& text, const TRect& r, unsigned format, const TFont& font);
    // Word-wrapped height of a text in a width, in logical units.
    int WrappedHeight(const TFont& font, const QString& text, int width);

private:
    void SelectFont(const TFont& font);

    TCanvas& canvas_;
    TCanvas measure_;
    TPoint origin_;
    int dpiX_;
    int dpiY_;
};

// The platform's printer. Without a printer queue it writes a PDF file;
// SetOutputFileName chooses that file (tests print there).
class TPrinter
{
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    void SetOutputFileName(const QString& path);
    QString OutputFileName() const;
    bool Landscape() const;
    void SetLandscape(bool landscape);
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }

    // Throws std::runtime_error when the job cannot begin.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return painter_ != nullptr; }
    // The page's canvas while printing (pixels of the printer).
    TCanvas& Canvas() { return canvas_; }

    int PageWidth() const;
    int PageHeight() const;
    int ResolutionX() const;
    int ResolutionY() const;
    // Rotation the printer applies for landscape pages (90 or 270), as the
    // printer's description tells it; a PDF file's pages turn by 90.
    int LandscapeRotation() const;
    // The rotation a printer description (PPD text) declares; 90 when it
    // declares none.
    static int LandscapeRotationOf(const QByteArray& ppd);
    int PageNumber() const { return pageNumber_; }

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    TCanvas canvas_;
    QString title_;
    int pageNumber_ = 0;
};

// The process's printer.
TPrinter& Printer();

} // namespace platform
