#pragma once

// The edit with a button at its right (the button and F4 raise OnClickBtn),
// and its variant with a unit drawn between the text and the button, chosen
// from a list of units through a popup menu on the button.

#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <QPixmap>
#include <QStringList>
#include <QToolButton>

#include <functional>

// The button of the edit: custom colours (which force the flat look),
// themed, flat, or the platform's push-button frame; then the glyph and the
// caption, both shifted one pixel while pressed.
class TExSpeedButton : public QToolButton
{
public:
    explicit TExSpeedButton(QWidget* parent = nullptr);

    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Hot() const { return FHot; }
    const QPixmap& Glyph() const { return FGlyph; }
    void SetGlyph(const QPixmap& v);

    // None (clNone) unless set. The text colours are kept only.
    platform::TColor ButtonColor = platform::clNone;
    platform::TColor ButtonColorHot = platform::clNone;
    platform::TColor ButtonColorDown = platform::clNone;
    platform::TColor ButtonBorderColor = platform::clNone;
    platform::TColor ButtonTextColor = platform::clNone;
    platform::TColor ButtonTextColorHot = platform::clNone;
    platform::TColor ButtonTextColorDown = platform::clNone;

protected:
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    bool FIsWinXP = false;
    bool FFlat = false;
    bool FHot = false;
    QPixmap FGlyph;
};

class TEsgEditBtn : public platform::TEdit
{
public:
    explicit TEsgEditBtn(QWidget* parent = nullptr);

    TExSpeedButton* Button() const { return FButton; }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    QString ButtonCaption() const { return FButton->text(); }
    void SetButtonCaption(const QString& v) { FButton->setText(v); }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);
    bool IsWinXP() const { return FButton->IsWinXP(); }
    void SetIsWinXP(bool v) { FButton->SetIsWinXP(v); }
    const QPixmap& Glyph() const { return FButton->Glyph(); }
    void SetGlyph(const QPixmap& v) { FButton->SetGlyph(v); }
    // In the platform's mask language (platform/EditMask.h); empty: none.
    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString& mask);
    // The text as the mask gives it (literals only when the mask keeps them).
    QString Text() const;

    platform::TNotifyEvent OnClickBtn;

    virtual void DoClickBtn(QObject* sender);

    // Lookup completion: the text up to the caret is completed from the first
    // item that begins with it (letter case ignored unless caseSensitive; at
    // most 255 more characters) and the completed tail is selected. Nothing
    // happens with an empty prefix or text selected; false when nothing matched.
    bool CompleteFromList(const QStringList& items, bool caseSensitive);

protected:
    // Pastes the clipboard's text, from the paste keys and the menu; reached
    // only while typing is allowed and the edit is not read-only.
    virtual void DoPaste() { paste(); }

    // Width kept free for the unit text (0 in the plain edit).
    int FUnitSize = 0;

    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void LayoutButton();

private:
    TExSpeedButton* FButton;
    QString FEditMask;
    int FButtonWidth = 18;
    bool FEditorEnabled = true;
    bool FRightAlign = false;
};

class TEsgUnitEditBtn : public TEsgEditBtn
{
public:
    explicit TEsgUnitEditBtn(QWidget* parent = nullptr);

    QString UnitID() const { return FUnitID; }
    void SetUnitID(const QString& v);
    int UnitSpace() const { return FUnitSize; }
    void SetUnitSpace(int v);
    const QStringList& Units() const { return FUnits; }
    void SetUnits(const QStringList& v) { FUnits = v; }
    // The text immediately followed by the unit. Writing: the first unit, in
    // list order, whose first occurrence stands at the very end splits the
    // text; with no such unit nothing changes.
    QString TextAndUnit() const { return Text() + FUnitID; }
    void SetTextAndUnit(const QString& v);
    // The k-th unit (from 1) was chosen from the menu.
    void ChooseUnit(int k);

    std::function<void(QObject* sender, const QString& newUnit)> OnUnitChanged;

    void DoClickBtn(QObject* sender) override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString FUnitID;
    QStringList FUnits;
};
