#pragma once

// Filter conditions of the string grid, the look of its filter drop-down,
// the two drop-down lists and the options of its find engine.

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "widgets/ExObj.h" // TPersistent

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TExStringGrid;

enum class TFilterCells { fcVirtual, fcNormal, fcStripHTML, fcCalculated, fcRow };
using enum TFilterCells;
enum class TFilterMethod { fmExpression, fmLiteral };
using enum TFilterMethod;
enum class TFilterOperation { foSHORT, foNONE, foAND, foXOR, foOR };
using enum TFilterOperation;

class TFilter;

// One condition on one column.
class TFilterData
{
public:
    explicit TFilterData(TFilter* collection = nullptr) : FCollection(collection) {}
    // Copies everything but Method.
    void Assign(const TFilterData& source);

    int Column() const { return FColumn; }
    void SetColumn(int v) { FColumn = static_cast<qint16>(v); }
    QString Condition() const { return FCondition; }
    void SetCondition(const QString& v) { FCondition = v; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool v) { FCaseSensitive = v; }
    QString Prefix() const { return FPrefix; }
    void SetPrefix(const QString& v) { FPrefix = v; }
    QString Suffix() const { return FSuffix; }
    void SetSuffix(const QString& v) { FSuffix = v; }
    TFilterCells Data() const { return FData; }
    void SetData(TFilterCells v) { FData = v; }
    TFilterMethod Method() const { return FMethod; }
    void SetMethod(TFilterMethod v) { FMethod = v; }
    TFilterOperation Operation() const { return FOperation; }
    void SetOperation(TFilterOperation v) { FOperation = v; }

private:
    TFilter* FCollection;
    qint16 FColumn = 0;
    QString FCondition;
    bool FCaseSensitive = true;
    QString FPrefix;
    QString FSuffix;
    TFilterCells FData = fcVirtual;
    TFilterMethod FMethod = fmExpression;
    TFilterOperation FOperation = foSHORT;
};

// The grid's list of filter conditions, evaluated in order.
class TFilter
{
public:
    explicit TFilter(TExStringGrid* owner = nullptr) : FOwner(owner) {}
    TExStringGrid* GetOwner() const { return FOwner; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // foNONE for the only condition, foAND for the others.
    TFilterData* Add();
    // Appends (the index is not used) and leaves the operation at foSHORT.
    TFilterData* Insert(int index);
    void Delete(int index);
    void Clear() { FItems.clear(); }
    TFilterData* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    void SetItems(int index, const TFilterData& v) { Items(index)->Assign(v); }
    // The first condition of the column; a new one (Add) when there is none.
    TFilterData* ColFilter(int column);
    bool HasFilter(int column) const;
    // Deletes every condition of the column and repaints its header cell.
    void RemoveColumnFilter(int column);

private:
    TExStringGrid* FOwner;
    std::vector<std::unique_ptr<TFilterData>> FItems;
};

// The look of the filter drop-down list.
class TFilterDropDown : public TPersistent
{
public:
    TFilterDropDown();
    void Assign(const TPersistent* source) override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }
    platform::TFont& Font() { return FFont; }
    void SetFont(const platform::TFont& v) { FFont.Assign(v); }
    const platform::TBitmap& Glyph() const { return FGlyph; }
    void SetGlyph(const platform::TBitmap& v);
    const platform::TBitmap& GlyphActive() const { return FGlyphActive; }
    void SetGlyphActive(const platform::TBitmap& v);
    bool ColumnWidth() const { return FColumnWidth; }
    void SetColumnWidth(bool v) { FColumnWidth = v; }

    platform::TNotifyEvent OnChange;

private:
    bool FAutoSize = false;
    int FHeight = 150;
    int FWidth = 150;
    platform::TColor FColor = platform::clWindow;
    platform::TFont FFont;
    platform::TBitmap FGlyph;
    platform::TBitmap FGlyphActive;
    bool FColumnWidth = false;
};

using TDropSelectEvent = std::function<void(QObject* sender, int itemIndex)>;

// The plain drop-down: Enter or a mouse release hides it and reports the
// selected entry.
class TDropList : public platform::TListBox
{
public:
    explicit TDropList(TExStringGrid* grid);
    TDropSelectEvent OnSelect;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExStringGrid* FGrid;
};

// The check-list drop-down: each change of a check mark is reported with
// index -1; the list stays open.
class TDropCheckList : public platform::TCheckListBox
{
public:
    explicit TDropCheckList(TExStringGrid* grid);
    TDropSelectEvent OnSelect;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    TExStringGrid* FGrid;
};

// Options of the find engine (a set; bit = value).
enum TFindParameters : unsigned {
    fnMatchCase = 1u << 0,
    fnMatchFull = 1u << 1,
    fnMatchRegular = 1u << 2,
    fnDirectionLeftRight = 1u << 3,
    fnMatchStart = 1u << 4,
    fnFindInCurrentRow = 1u << 5,
    fnFindInCurrentCol = 1u << 6,
    fnIncludeFixed = 1u << 7,
    fnAutoGoto = 1u << 8,
    fnIgnoreHTMLTags = 1u << 9,
    fnBackward = 1u << 10,
    fnIncludeHiddenColumns = 1u << 11,
    fnFindInPresetCol = 1u << 12,
    fnFindInPresetRow = 1u << 13,
    fnSelectedCells = 1u << 14,
    fnIncludeHiddenRows = 1u << 15,
};
using TFindParams = unsigned;

using TFilterCustomEvent = std::function<void(QObject* sender, int aRow, bool& acceptRow)>;
using TFilterProgressEvent = std::function<void(QObject* sender, int progress)>;
using TFilterCheckEvent = std::function<void(QObject* sender, int column, int itemIndex, const QString& friendlyName,
                                             QString& filterCondition, platform::TCheckListBox* checkList)>;
using TSearchEditChangeEvent = std::function<void(QObject* sender, const QString& value, bool& defaultSearch)>;
