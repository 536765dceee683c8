#include "platform/Printing.h"

#include <QCoreApplication>
#include <QFile>
#include <QPageLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <stdexcept>

namespace platform {

namespace {

constexpr int UnitsPerInch = 254; // tenths of a millimetre

int DeviceDpi(TCanvas& canvas, bool horizontal)
{
    if (QPainter* p = canvas.Painter(); p && p->device()) {
        const int dpi = horizontal ? p->device()->logicalDpiX() : p->device()->logicalDpiY();
        if (dpi > 0)
            return dpi;
    }
    return PixelsPerInch;
}

int Scale(int v, int num, int den) { return static_cast<int>(std::lround(static_cast<double>(v) * num / den)); }

} // namespace

int CanvasResolutionX(TCanvas& canvas) { return DeviceDpi(canvas, true); }
int CanvasResolutionY(TCanvas& canvas) { return DeviceDpi(canvas, false); }

// ---------------------------------------------------------------- TLowMetricCanvas

TLowMetricCanvas::TLowMetricCanvas(TCanvas& canvas, TPoint origin)
    : canvas_(canvas), origin_(origin), dpiX_(CanvasResolutionX(canvas)), dpiY_(CanvasResolutionY(canvas))
{
}

int TLowMetricCanvas::ToDeviceX(int x) const { return origin_.X + Scale(x, dpiX_, UnitsPerInch); }
int TLowMetricCanvas::ToDeviceY(int y) const { return origin_.Y - Scale(y, dpiY_, UnitsPerInch); }

TRect TLowMetricCanvas::ToDevice(const TRect& r) const
{
    int l = ToDeviceX(r.Left), rt = ToDeviceX(r.Right), t = ToDeviceY(r.Top), b = ToDeviceY(r.Bottom);
    if (rt < l)
        std::swap(l, rt);
    if (b < t)
        std::swap(t, b);
    return TRect{l, t, rt, b};
}

int TLowMetricCanvas::ToLogicalX(int deviceX) const { return Scale(deviceX - origin_.X, UnitsPerInch, dpiX_); }
int TLowMetricCanvas::ToLogicalY(int deviceY) const { return -Scale(deviceY - origin_.Y, UnitsPerInch, dpiY_); }

int TLowMetricCanvas::DeviceLength(int units) const { return std::max(1, Scale(units, dpiX_, UnitsPerInch)); }

TSize TLowMetricCanvas::TextExtent(const TFont& font, const QString& text)
{
    // At 254 dpi a pixel is a logical unit: the font's logical height is its pixel height.
    measure_.SetFont(font);
    measure_.Font().SetOrientation(0);
    return measure_.TextExtent(text);
}

int TLowMetricCanvas::WrappedHeight(const TFont& font, const QString& text, int width)
{
    measure_.SetFont(font);
    TRect r{0, 0, std::max(1, width), 0};
    return measure_.DrawText(text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
}

void TLowMetricCanvas::SelectFont(const TFont& font)
{
    canvas_.SetFont(font);
    const int h = font.Height();
    canvas_.Font().SetHeight(h < 0 ? -DeviceLength(-h) : DeviceLength(h));
}

void TLowMetricCanvas::Line(int x1, int y1, int x2, int y2, TColor color, int width, TPenStyle style)
{
    TPen& pen = canvas_.Pen();
    const TPen saved = pen;
    pen.SetColor(color);
    pen.SetStyle(style);
    pen.SetMode(pmCopy);
    pen.SetWidth(width <= 1 ? 1 : DeviceLength(width));
    canvas_.MoveTo(ToDeviceX(x1), ToDeviceY(y1));
    canvas_.LineTo(ToDeviceX(x2), ToDeviceY(y2));
    pen = saved;
}

void TLowMetricCanvas::FillRect(const TRect& r, TColor color)
{
    if (color == clNone)
        return;
    TBrush& brush = canvas_.Brush();
    const TBrush saved = brush;
    brush.SetColor(color);
    brush.SetStyle(bsSolid);
    canvas_.FillRect(ToDevice(r));
    brush = saved;
}

void TLowMetricCanvas::TextOut(int x, int y, const QString& text, const TFont& font, const TRect* clip)
{
    TBrush& brush = canvas_.Brush();
    const TBrush saved = brush;
    brush.SetStyle(bsClear);
    SelectFont(font);
    if (clip)
        canvas_.TextRect(ToDevice(*clip), ToDeviceX(x), ToDeviceY(y), text);
    else
        canvas_.TextOut(ToDeviceX(x), ToDeviceY(y), text);
    brush = saved;
}

void TLowMetricCanvas::DrawText(const QString& text, const TRect& r, unsigned format, const TFont& font)
{
    TBrush& brush = canvas_.Brush();
    const TBrush saved = brush;
    brush.SetStyle(bsClear);
    SelectFont(font);
    TRect d = ToDevice(r);
    canvas_.DrawText(text, d, format);
    brush = saved;
}

// ---------------------------------------------------------------- TPrinter

TPrinter::TPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    printer_->setOutputFormat(QPrinter::PdfFormat);
}

TPrinter::~TPrinter()
{
    if (painter_)
        Abort();
}

void TPrinter::SetOutputFileName(const QString& path) { printer_->setOutputFileName(path); }
QString TPrinter::OutputFileName() const { return printer_->outputFileName(); }
bool TPrinter::Landscape() const { return printer_->pageLayout().orientation() == QPageLayout::Landscape; }
void TPrinter::SetLandscape(bool landscape)
{
    printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::LandscapeRotationOf(const QByteArray& ppd)
{
    static const QByteArray key("*LandscapeOrientation:");
    for (const QByteArray& line : ppd.split('\n')) {
        const QByteArray l = line.trimmed();
        if (l.startsWith(key))
            return l.mid(key.size()).trimmed() == "Minus90" ? 270 : 90;
    }
    return 90;
}

int TPrinter::LandscapeRotation() const
{
    const QString name = printer_->printerName();
    if (printer_->outputFormat() != QPrinter::NativeFormat || name.isEmpty() || name.contains(u'/'))
        return 90;
    QFile ppd(QStringLiteral("/etc/cups/ppd/") + name + QStringLiteral(".ppd"));
    if (!ppd.open(QIODevice::ReadOnly))
        return 90;
    return LandscapeRotationOf(ppd.read(1 << 20));
}

void TPrinter::BeginDoc()
{
    if (painter_)
        throw std::runtime_error("Printing in progress");
    if (printer_->outputFormat() == QPrinter::PdfFormat && printer_->outputFileName().isEmpty())
        throw std::runtime_error("There is no default printer currently selected");
    printer_->setDocName(title_);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get()))
        throw std::runtime_error("Printer is not ready");
    painter_ = std::move(painter);
    canvas_.BindPainter(painter_.get(), PageWidth(), PageHeight());
    pageNumber_ = 1;
}

void TPrinter::NewPage()
{
    if (!painter_)
        throw std::runtime_error("Printer is not printing");
    printer_->newPage();
    ++pageNumber_;
}

void TPrinter::EndDoc()
{
    if (!painter_)
        return;
    canvas_.Unbind();
    painter_->end();
    painter_.reset();
    pageNumber_ = 0;
}

void TPrinter::Abort()
{
    if (!painter_)
        return;
    canvas_.Unbind();
    printer_->abort();
    painter_->end();
    painter_.reset();
    pageNumber_ = 0;
}

int TPrinter::PageWidth() const { return printer_->width(); }
int TPrinter::PageHeight() const { return printer_->height(); }
int TPrinter::ResolutionX() const { return printer_->logicalDpiX(); }
int TPrinter::ResolutionY() const { return printer_->logicalDpiY(); }

TPrinter& Printer()
{
    // Freed with the application, before Qt's printing support goes.
    static TPrinter* printer = nullptr;
    if (!printer) {
        printer = new TPrinter;
        qAddPostRoutine([] {
            delete printer;
            printer = nullptr;
        });
    }
    return *printer;
}

} // namespace platform
