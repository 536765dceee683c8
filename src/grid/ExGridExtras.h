#pragma once

// The grid's extras as the data model sees them: floating footer, sort and
// drag-and-drop settings with their defaults. Tree nodes, grouping, filter,
// footer calculation, sorting and exchange are not built yet; their entry
// points on the grid (ExGridExtras.cpp) give neutral answers meanwhile: no
// node, no footer, nothing filtered or sorted.

#include "platform/Graphics.h"
#include "widgets/ExObj.h" // TPersistent

class TExStringGrid;

enum class TFooterStyle { fsFixedLastRow, fsColumnPreview, fsCustomPreview, fsCustomPaint };
using enum TFooterStyle;

enum class TSortDirection { sdAscending, sdDescending };
using enum TSortDirection;

// The footer panel is never shown yet: Visible stays false.
class TFloatingFooter : public TPersistent
{
public:
    explicit TFloatingFooter(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    bool Visible() const { return FVisible; }
    TFooterStyle FooterStyle() const { return FFooterStyle; }
    void SetFooterStyle(TFooterStyle v) { FFooterStyle = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }

private:
    TExStringGrid* FOwner;
    bool FVisible = false;
    TFooterStyle FFooterStyle = fsFixedLastRow;
    int FHeight = 22;
    platform::TColor FColor = platform::clBtnFace;
};

class TSortSettings : public TPersistent
{
public:
    explicit TSortSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    int Column() const { return FColumn; }
    void SetColumn(int v) { FColumn = v; }
    TSortDirection Direction() const { return FDirection; }
    void SetDirection(TSortDirection v) { FDirection = v; }
    bool Show() const { return FShow; }
    void SetShow(bool v) { FShow = v; }
    bool IndexShow() const { return FIndexShow; }
    void SetIndexShow(bool v) { FIndexShow = v; }
    int Row() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int v) { FFixedCols = v; }
    // The header of the sorted column; a write repaints the last fixed row.
    platform::TColor HeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(platform::TColor v);
    platform::TColor HeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(platform::TColor v);
    platform::TColor HeaderMirrorColor() const { return FHeaderMirrorColor; }
    void SetHeaderMirrorColor(platform::TColor v);
    platform::TColor HeaderMirrorColorTo() const { return FHeaderMirrorColorTo; }
    void SetHeaderMirrorColorTo(platform::TColor v);
    platform::TColor IndexColor() const { return FIndexColor; }
    void SetIndexColor(platform::TColor v) { FIndexColor = v; }
    // Sort glyphs; empty ones are drawn as lines.
    const platform::TBitmap& UpGlyph() const { return FUpGlyph; }
    void SetUpGlyph(const platform::TBitmap& v) { FUpGlyph.Assign(v); }
    const platform::TBitmap& DownGlyph() const { return FDownGlyph; }
    void SetDownGlyph(const platform::TBitmap& v) { FDownGlyph.Assign(v); }
    const platform::TBitmap& IndexUpGlyph() const { return FIndexUpGlyph; }
    void SetIndexUpGlyph(const platform::TBitmap& v) { FIndexUpGlyph.Assign(v); }
    const platform::TBitmap& IndexDownGlyph() const { return FIndexDownGlyph; }
    void SetIndexDownGlyph(const platform::TBitmap& v) { FIndexDownGlyph.Assign(v); }

private:
    void RepaintHeader();

    TExStringGrid* FOwner;
    platform::TColor FHeaderColor = platform::clNone;
    platform::TColor FHeaderColorTo = platform::clNone;
    platform::TColor FHeaderMirrorColor = platform::clNone;
    platform::TColor FHeaderMirrorColorTo = platform::clNone;
    platform::TColor FIndexColor = platform::clYellow;
    platform::TBitmap FUpGlyph;
    platform::TBitmap FDownGlyph;
    platform::TBitmap FIndexUpGlyph;
    platform::TBitmap FIndexDownGlyph;
    int FColumn = 0;
    TSortDirection FDirection = sdAscending;
    bool FShow = false;
    bool FIndexShow = false;
    int FRow = 0;
    int FFixedCols = 0;
};

class TDragDropSettings : public TPersistent
{
public:
    explicit TDragDropSettings(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    void Assign(const TPersistent* source) override;

    bool OleEntireRows() const { return FOleEntireRows; }
    void SetOleEntireRows(bool v) { FOleEntireRows = v; }
    bool OleAcceptText() const { return FOleAcceptText; }
    void SetOleAcceptText(bool v) { FOleAcceptText = v; }
    bool OleAcceptFiles() const { return FOleAcceptFiles; }
    void SetOleAcceptFiles(bool v) { FOleAcceptFiles = v; }
    bool OleAcceptURLs() const { return FOleAcceptURLs; }
    void SetOleAcceptURLs(bool v) { FOleAcceptURLs = v; }

private:
    TExStringGrid* FOwner;
    bool FOleEntireRows = false;
    bool FOleAcceptText = true;
    bool FOleAcceptFiles = true;
    bool FOleAcceptURLs = true;
};
