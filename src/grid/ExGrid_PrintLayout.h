#pragma once

// The page layout engine behind the grid's printing and preview (one run per
// count or drawing of the pages). Units are tenths of a millimetre, y upward.

#include "grid/ExGrid.h"

namespace platform {
class TLowMetricCanvas;
}
struct THTMLDrawOptions;

class TGridPrintLayout
{
public:
    // Counting modes lay out without drawing or raising page events.
    enum class Mode { Preview, Print, CountPrint, CountPreview };

    // pageHeight is negative (y upward); totalPages 0 when not counted.
    TGridPrintLayout(TExStringGrid& grid, platform::TLowMetricCanvas* canvas, Mode mode, bool selectionFilter,
                     int pageWidth, int pageHeight, int totalPages);
    // Lays out (and draws) the pages of the grid's print rectangle; the
    // number of pages laid out.
    int Run();

    static void PrintJob(TExStringGrid& g, const platform::TGridRect& gridRect, bool selectionFilter);
    static void PreviewJob(TExStringGrid& g, platform::TCanvas& canvas, const platform::TRect& displayRect,
                           const platform::TGridRect& gridRect, bool selectionFilter);

private:
    bool Drawing() const;
    bool PageInRange(int page) const;
    bool PastRange() const;
    bool RowPasses(int row) const;
    bool ColPasses(int col) const;
    bool RepeatCols() const;
    platform::TFont MappedFont(const platform::TFont& f) const;
    void BeginNextPage();
    void LayoutBand(int first);
    void LayoutPages();
    QString PageNumberText(int pageInBand);
    void DrawHeaderFooter(int pageInBand);
    void DrawFrame();
    int PrintBandRow(int y, int row);

    // Cells (ExGrid_PrintCells.cpp).
    platform::TSize MeasureCell(int col, int row);
    void MeasureColumns();
    int RowHeight(int row);
    int PrintRow(int y, int c1, int c2, int row);
    // points: the print font size before its height is mapped.
    void CellLook(int col, int row, platform::TBrush& brush, platform::TColor& colorTo, platform::TFont& font,
                  bool& wordWrap, int* points = nullptr);
    // Cell graphics with PrintGraphics: the size in print units (0 x 0
    // without one), and its placement and drawing in a printed cell.
    platform::TSize GraphicSize(int realCol, int row);
    platform::TSize RadioGroupSize(int realCol, int row, const TCellGraphic& graphic);
    // The measured size as OnCustomCellSize leaves it.
    platform::TSize CustomSize(int realCol, int row, platform::TSize size);
    platform::TRect PlaceGraphic(int realCol, int row, const platform::TSize& size, platform::TAlignment ha,
                                 bool hasText, platform::TRect& text);
    void PrintGraphic(int realCol, int row, const platform::TRect& graphic, const platform::TRect& cell,
                      platform::TColor background, const platform::TFont& font);
    // The HTML renderer's options for a cell of the grid.
    THTMLDrawOptions HTMLOptions(int realCol, int row);
    // A logical font's height in the canvas's pixels.
    platform::TFont DeviceFont(const platform::TFont& font) const;
    // Orientation (tenths of a degree) of a font turned by angle degrees.
    int TurnedOrientation(int angle) const;
    // A title of HTML lines: its height in print units, and its drawing.
    THTMLDrawOptions TitleHTMLOptions() const;
    void MeasureHTMLTitle();
    void DrawHTMLTitle();

    TExStringGrid& g;
    TPrintSettings& ps;
    platform::TLowMetricCanvas* lm;
    Mode mode;
    bool filter;
    int W;
    int H;
    int total;

    platform::TGridRect rect;
    int* widths = nullptr;
    int* indents = nullptr;
    platform::TPen framePen;
    int frameWidth = 2;
    platform::TFont headerFont;
    platform::TFont footerFont;
    int headerLineH = 0;
    int footerLineH = 0;
    int gap = 0;
    double L = 1.0;
    int S = 0;
    double fitScale = 1.0;
    bool leftOutRows = false;
    int page = 1;
    int band = 0;
    bool split = false;
    bool cancelled = false;
    int bandFirst = 0;
    int bandEnd = 0;
    bool repeatCols = false;
    int frameLeft = 0;
    int frameRight = 0;
    int E = 0;
    int F = 0;
    // A title of HTML lines, drawn by the HTML renderer with its own height.
    QString htmlTitle;
    int htmlTitleH = 0;
    int gridTop = 0;
    int lastRowBottom = 0;
    int cachedRow = -1;
    int cachedHeight = 0;
};
