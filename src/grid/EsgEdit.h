#pragma once

// The edit with a button at its right (the button and F4 raise OnClickBtn),
// and its variant with a unit drawn between the text and the button, chosen
// from a list of units through a popup menu on the button.

#include "platform/Controls.h"

#include <QStringList>
#include <QToolButton>

#include <functional>

class TEsgEditBtn : public platform::TEdit
{
public:
    explicit TEsgEditBtn(QWidget* parent = nullptr);

    QToolButton* Button() const { return FButton; }
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    QString ButtonCaption() const { return FButton->text(); }
    void SetButtonCaption(const QString& v) { FButton->setText(v); }
    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool v) { FEditorEnabled = v; }
    bool RightAlign() const { return FRightAlign; }
    void SetRightAlign(bool v);

    platform::TNotifyEvent OnClickBtn;

    virtual void DoClickBtn(QObject* sender);

protected:
    // Width kept free for the unit text (0 in the plain edit).
    int FUnitSize = 0;

    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void LayoutButton();

private:
    QToolButton* FButton;
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
