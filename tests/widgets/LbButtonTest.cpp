#include "widgets/LbButton.h"

#include "WidgetTestHelpers.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "widgets/ExUtil.h"

#include <QElapsedTimer>
#include <QPointer>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

using namespace platform;
using namespace widgettest;

namespace {

constexpr TColor kFace = 0x00EDF7F8;  // the windows' button colour
constexpr TColor kDown = 0x000080FF;

// A dialog as the windows build it: an edit, OK (default), Cancel (cancel,
// result 2), a third button and a radio button.
struct Dialog : TForm
{
    Dialog()
    {
        SetCaption(QStringLiteral("Dialog"));
        resize(400, 120);
        edit = new TEdit(this);
        edit->SetBounds(8, 8, 120, 21);
        ok = AddButton(QStringLiteral("&OK"), 8);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        cancel = AddButton(QStringLiteral("Abbrechen"), 112);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        other = AddButton(QStringLiteral("&Nodes"), 216);
        radio = new TRadioButton(this);
        radio->SetBounds(8, 90, 100, 20);
        for (TLbButton* b : {ok, cancel, other})
            b->OnClick = [this, b](QObject* sender) {
                EXPECT_EQ(sender, b);
                log.push_back(b->Caption());
            };
    }
    TLbButton* AddButton(const QString& caption, int left)
    {
        auto* b = new TLbButton(this);
        b->SetBounds(left, 50, 100, 23);
        b->SetStyle(bsEncarta);
        b->SetCaption(caption);
        return b;
    }
    int Clicks(const TLbButton* b) const { return static_cast<int>(std::count(log.begin(), log.end(), b->Caption())); }
    TEdit* edit;
    TLbButton* ok;
    TLbButton* cancel;
    TLbButton* other;
    TRadioButton* radio;
    std::vector<QString> log;
};

TLbButtonFace BaseFace(TLbButtonStyle style)
{
    TLbButtonFace f;
    f.Width = 100;
    f.Height = 23;
    f.Style = style;
    f.Color = kFace;
    f.ColorWhenDown = kDown;
    f.HotTrackColor = clYellow;
    f.LightColor = clWhite;
    f.ShadowColor = clGray;
    return f;
}

QImage Render(const TLbButtonFace& f, TColor background = clFuchsia)
{
    TBitmap b(f.Width, f.Height);
    b.Canvas().Brush().SetColor(background);
    b.Canvas().FillRect(Rect(0, 0, f.Width, f.Height));
    DrawButtonFace(b.Canvas(), f);
    return b.Image().copy();
}

// A 32 x 16 strip of two images: a red square, then a blue one, each on
// olive (see-through: the bottom-left pixel).
TBitmap TwoImageGlyph(int images = 2)
{
    const TColor colors[] = {clRed, clBlue, clLime, clAqua};
    TBitmap g(16 * images, 16);
    TCanvas& c = g.Canvas();
    c.Brush().SetColor(clOlive);
    c.FillRect(Rect(0, 0, 16 * images, 16));
    for (int i = 0; i < images; ++i) {
        c.Brush().SetColor(colors[i]);
        c.FillRect(Rect(16 * i + 4, 4, 16 * i + 12, 12));
    }
    return g;
}

bool IsInk(QColor c) { return c.red() < 100 && c.green() < 100 && c.blue() < 100; }

} // namespace

TEST(LbButtonCreate, PropertiesAfterConstruction)
{
    TForm form;
    form.Font().SetName(QStringLiteral("Verdana"));
    TLbButton b(&form);
    EXPECT_EQ(b.Alignment(), taCenter);
    EXPECT_FALSE(b.Cancel());
    EXPECT_EQ(b.Caption(), QString());
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.ColorStyle(), lcsCustom);
    EXPECT_EQ(b.ColorWhenDown(), clNone);
    EXPECT_FALSE(b.Default());
    EXPECT_FALSE(b.Flat());
    EXPECT_TRUE(b.Glyph().Empty());
    EXPECT_EQ(b.HotTrackColor(), clNone);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.Layout(), blGlyphLeft);
    EXPECT_EQ(b.LightColor(), clWhite);
    EXPECT_EQ(b.ModalResult(), mrNone);
    EXPECT_EQ(b.NumGlyphs(), 0);
    EXPECT_EQ(b.ShadowColor(), clGray);
    EXPECT_FALSE(b.SlowDecease());
    EXPECT_EQ(b.Style(), bsNormal);
    EXPECT_FALSE(b.UseHotTrackFont());
    EXPECT_FALSE(b.WordWrap());
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Height(), 23);
    EXPECT_TRUE(b.TabStop());
    EXPECT_TRUE(b.IsButtonControl());
    EXPECT_EQ(b.HotTrackFont().Name(), QStringLiteral("Verdana"));  // the owning window's font
}

TEST(LbButtonClick, PressAndReleaseRunOnClickOnceThenTheModalResult)
{
    struct Case
    {
        const char* name;
        TModalResult result;
        bool enabled;
        bool visible;
        QPoint release;
        Qt::MouseButton button;
        int clicks;
        TModalResult formResult;
    };
    const Case cases[] = {
        {"plain click", mrNone, true, true, QPoint(50, 10), Qt::LeftButton, 1, mrNone},
        {"cancel result", mrCancel, true, true, QPoint(50, 10), Qt::LeftButton, 1, mrCancel},
        {"ok result", mrOk, true, true, QPoint(99, 22), Qt::LeftButton, 1, mrOk},
        {"released away", mrCancel, true, true, QPoint(150, 10), Qt::LeftButton, 0, mrNone},
        {"released just outside", mrCancel, true, true, QPoint(100, 10), Qt::LeftButton, 0, mrNone},
        {"right button", mrCancel, true, true, QPoint(50, 10), Qt::RightButton, 0, mrNone},
        {"disabled", mrCancel, false, true, QPoint(50, 10), Qt::LeftButton, 0, mrNone},
        {"hidden", mrCancel, true, false, QPoint(50, 10), Qt::LeftButton, 0, mrNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TForm form;
        auto* b = new TLbButton(&form);
        b->SetModalResult(c.result);
        b->SetEnabled(c.enabled);
        b->SetVisible(c.visible);
        form.show();
        int clicks = 0;
        b->OnClick = [&](QObject* sender) {
            EXPECT_EQ(sender, b);
            EXPECT_EQ(form.ModalResult(), mrNone);  // the handler runs first
            ++clicks;
        };
        Press(b, QPoint(50, 10), c.button);
        Release(b, c.release, c.button);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(form.ModalResult(), c.formResult);
        EXPECT_FALSE(b->Down());
        form.hide();
    }
}

TEST(LbButtonClick, DoubleClickCountsAsASecondPress)
{
    TForm form;
    auto* b = new TLbButton(&form);
    form.show();
    int clicks = 0;
    b->OnClick = [&](QObject*) { ++clicks; };
    ClickAt(b, QPoint(10, 10));
    Mouse(b, QEvent::MouseButtonDblClick, QPoint(10, 10));
    Release(b, QPoint(10, 10));
    EXPECT_EQ(clicks, 2);
    form.hide();
}

TEST(LbButtonClick, CancelButtonClosesAModalWindowAfterItsHandler)
{
    Dialog dialog;
    std::vector<QString> order;
    dialog.cancel->OnClick = [&](QObject*) { order.push_back(QStringLiteral("click")); };
    dialog.OnClose = [&](QObject*, TCloseAction&) { order.push_back(QStringLiteral("close")); };
    DialogScript script;
    script.AnswerForm([&](QWidget&) { ClickAt(dialog.cancel, QPoint(20, 10)); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("click"), QStringLiteral("close")}));
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST(LbButtonKeys, EnterEscapeAndSpaceReachTheRightButton)
{
    enum Focus { OnEdit, OnOk, OnCancel, OnOther, OnRadio };
    struct Case
    {
        const char* name;
        Focus focus;
        int key;
        Qt::KeyboardModifiers mods;
        bool okEnabled;
        int ok, cancel, other;
    };
    const Case cases[] = {
        {"Enter in the edit: default", OnEdit, Qt::Key_Return, Qt::NoModifier, true, 1, 0, 0},
        {"Escape in the edit: cancel", OnEdit, Qt::Key_Escape, Qt::NoModifier, true, 0, 1, 0},
        {"Shift+Escape: nothing", OnEdit, Qt::Key_Escape, Qt::ShiftModifier, true, 0, 0, 0},
        {"Ctrl+Escape: nothing", OnEdit, Qt::Key_Escape, Qt::ControlModifier, true, 0, 0, 0},
        {"Alt+Escape: nothing", OnEdit, Qt::Key_Escape, Qt::AltModifier, true, 0, 0, 0},
        {"Enter on another button: that button", OnOther, Qt::Key_Return, Qt::NoModifier, true, 0, 0, 1},
        {"Escape on another button: cancel", OnOther, Qt::Key_Escape, Qt::NoModifier, true, 0, 1, 0},
        {"Space on another button: that button", OnOther, Qt::Key_Space, Qt::NoModifier, true, 0, 0, 1},
        {"Enter on the cancel button: itself", OnCancel, Qt::Key_Return, Qt::NoModifier, true, 0, 1, 0},
        {"Enter on the default button: once", OnOk, Qt::Key_Return, Qt::NoModifier, true, 1, 0, 0},
        {"Enter on a radio button: default", OnRadio, Qt::Key_Return, Qt::NoModifier, true, 1, 0, 0},
        {"Enter with the default disabled", OnEdit, Qt::Key_Return, Qt::NoModifier, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog d;
        d.ok->SetEnabled(c.okEnabled);
        d.show();
        QWidget* target = c.focus == OnEdit     ? static_cast<QWidget*>(d.edit)
                          : c.focus == OnOk     ? static_cast<QWidget*>(d.ok)
                          : c.focus == OnCancel ? static_cast<QWidget*>(d.cancel)
                          : c.focus == OnOther  ? static_cast<QWidget*>(d.other)
                                                : static_cast<QWidget*>(d.radio);
        target->setFocus();
        ASSERT_EQ(d.ActiveControl(), target);
        Key(target, c.key, c.mods, c.key == Qt::Key_Space ? QStringLiteral(" ") : QString());
        EXPECT_EQ(d.Clicks(d.ok), c.ok);
        EXPECT_EQ(d.Clicks(d.cancel), c.cancel);
        EXPECT_EQ(d.Clicks(d.other), c.other);
        d.hide();
    }
}

TEST(LbButtonKeys, AKeyReleasedAfterTheFocusMovedIsNoClick)
{
    // Enter goes down in the edit and clicks the default button, whose
    // handler moves the focus to another button; the release lands there.
    Dialog d;
    d.show();
    d.edit->setFocus();
    d.ok->OnClick = [&](QObject*) {
        d.log.push_back(d.ok->Caption());
        d.other->setFocus();
    };
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(d.edit, &press);
    ASSERT_EQ(d.ActiveControl(), d.other);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(d.other, &release);
    EXPECT_EQ(d.Clicks(d.ok), 1);
    EXPECT_EQ(d.Clicks(d.other), 0);
    d.hide();
}

TEST(LbButtonKeys, AcceleratorLettersClickTheirButton)
{
    struct Case
    {
        const char* name;
        QString caption;
        bool focusButton;
        QString typed;
        Qt::KeyboardModifiers mods;
        bool enabled;
        int clicks;
    };
    const Case cases[] = {
        {"Alt+letter from the edit", QStringLiteral("&Nodes"), false, QStringLiteral("n"), Qt::AltModifier, true, 1},
        {"plain letter goes into the edit", QStringLiteral("&Nodes"), false, QStringLiteral("n"), Qt::NoModifier, true, 0},
        {"plain letter while a button has the focus", QStringLiteral("&Nodes"), true, QStringLiteral("N"),
         Qt::NoModifier, true, 1},
        {"lower-case accelerator", QStringLiteral("&nodes"), true, QStringLiteral("N"), Qt::NoModifier, true, 1},
        {"a doubled & is no accelerator", QStringLiteral("Save && Exit"), true, QStringLiteral("e"), Qt::NoModifier,
         true, 0},
        {"another letter", QStringLiteral("&Nodes"), true, QStringLiteral("v"), Qt::NoModifier, true, 0},
        {"disabled", QStringLiteral("&Nodes"), true, QStringLiteral("n"), Qt::NoModifier, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dialog d;
        d.other->SetCaption(c.caption);
        d.other->SetEnabled(c.enabled);
        d.show();
        QWidget* target = c.focusButton ? static_cast<QWidget*>(d.ok) : static_cast<QWidget*>(d.edit);
        target->setFocus();
        const QChar ch = c.typed[0];
        Key(target, Qt::Key_A + (ch.toUpper().unicode() - 'A'), c.mods, c.typed);
        EXPECT_EQ(d.Clicks(d.other), c.clicks);
        EXPECT_EQ(d.Clicks(d.ok), 0);
        d.hide();
    }
}

TEST(LbButtonCaption, ReadsBackExactlyWhatWasWritten)
{
    const QString captions[] = {QString(),
                                QStringLiteral("OK"),
                                QStringLiteral("&&"),
                                QStringLiteral("Save && Exit"),
                                QStringLiteral("&Nodes"),
                                QStringLiteral("  Nodes     "),
                                QStringLiteral("Schließen"),
                                QStringLiteral("line one\nline two")};
    TLbButton b;
    for (const QString& caption : captions) {
        b.SetCaption(caption);
        EXPECT_EQ(b.Caption(), caption);
    }
}

TEST(LbButtonCaption, ADoubledAmpersandShowsAsOne)
{
    // The caption box of a face without glyph: 4 pixels in, W - 8 wide,
    // centred vertically; the text centred in it.
    const struct
    {
        QString written;
        QString shown;
    } cases[] = {
        {QStringLiteral("A && B"), QStringLiteral("A & B")},
        {QStringLiteral("&&"), QStringLiteral("&")},
        {QStringLiteral("&&&&"), QStringLiteral("&&")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        TLbButtonFace face = BaseFace(bsEncarta);
        face.Caption = c.written;
        const QImage drawn = Render(face);

        TLbButtonFace empty = face;
        empty.Caption.clear();
        TBitmap expected(face.Width, face.Height);
        expected.Canvas().Brush().SetColor(clFuchsia);
        expected.Canvas().FillRect(Rect(0, 0, face.Width, face.Height));
        DrawButtonFace(expected.Canvas(), empty);
        TCanvas& ec = expected.Canvas();
        ec.SetFont(face.Font);
        TRect measure = Rect(0, 0, face.Width - 8, 0);
        ec.DrawText(c.shown, measure, DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
        const int th = measure.Height();
        TRect box = Rect(4, (face.Height - th) / 2, 4 + face.Width - 8, (face.Height - th) / 2 + th);
        ec.Brush().SetStyle(bsClear);
        ec.DrawText(c.shown, box, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
        EXPECT_EQ(drawn, expected.Image());
    }
}

TEST(LbButtonPaint, TheControlShowsItsFace)
{
    TForm form;
    auto* b = new TLbButton(&form);
    b->SetStyle(bsEncarta);
    b->SetColor(kFace);
    b->SetLightColor(clGray);
    b->SetCaption(QStringLiteral("Hilfe"));
    const QImage shown = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    TLbButtonFace face = BaseFace(bsEncarta);
    face.LightColor = clGray;
    face.HotTrackColor = clNone;
    face.ColorWhenDown = clNone;
    face.Caption = QStringLiteral("Hilfe");
    face.Font = b->Font();
    EXPECT_EQ(shown, Render(face));
}

TEST(LbButtonPaint, FaceColourAndFrameInEachState)
{
    // Light edges left and top, shadow edges right and bottom; pressed swaps
    // them; hot takes HotTrackColor, pressed ColorWhenDown; disabled keeps
    // Color and ignores the press.
    struct Case
    {
        const char* name;
        TLbButtonStyle style;
        bool hot, pressed, enabled;
        int step;
        TColor inside, topLeft, bottomLeft, bottomRight;
    };
    const TColor dark = ColorToRGB(cl3DDkShadow);
    const Case cases[] = {
        {"encarta normal", bsEncarta, false, false, true, 0, kFace, clWhite, clWhite, clGray},
        {"encarta hot", bsEncarta, true, false, true, 8, clYellow, clWhite, clWhite, clGray},
        {"encarta half faded", bsEncarta, false, false, true, 4, RGB(251, 251, 118), clWhite, clWhite, clGray},
        {"encarta pressed", bsEncarta, true, true, true, 8, kDown, clGray, clGray, clWhite},
        {"encarta disabled", bsEncarta, true, true, false, 8, kFace, clWhite, clWhite, clGray},
        {"normal normal", bsNormal, false, false, true, 0, kFace, clWhite, clWhite, clGray},
        {"normal hot", bsNormal, true, false, true, 8, clYellow, clWhite, clWhite, clGray},
        {"normal pressed", bsNormal, false, true, true, 0, kDown, clGray, clGray, clWhite},
        {"normal disabled", bsNormal, false, false, false, 0, kFace, clWhite, clWhite, clGray},
        {"old normal", bsOld, false, false, true, 0, kFace, clWhite, dark, dark},
        {"old pressed", bsOld, false, true, true, 0, kDown, dark, clWhite, clWhite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLbButtonFace f = BaseFace(c.style);
        f.Hot = c.hot;
        f.Pressed = c.pressed;
        f.Enabled = c.enabled;
        f.HotTrackStep = c.step;
        const QImage img = Render(f);
        EXPECT_EQ(At(img, 50, 12), ColorToRGB(c.inside));
        EXPECT_EQ(At(img, 0, 0), ColorToRGB(c.topLeft));
        EXPECT_EQ(At(img, 0, 22), ColorToRGB(c.bottomLeft));
        EXPECT_EQ(At(img, 50, 0), ColorToRGB(c.topLeft));
        EXPECT_EQ(At(img, 99, 22), ColorToRGB(c.bottomRight));
        EXPECT_EQ(At(img, 99, 1), ColorToRGB(c.bottomRight));
        EXPECT_EQ(At(img, 50, 22), ColorToRGB(c.bottomRight));
    }
}

TEST(LbButtonPaint, WithoutHotOrDownColourTheFaceKeepsItsColour)
{
    TLbButtonFace f = BaseFace(bsEncarta);
    f.HotTrackColor = clNone;
    f.ColorWhenDown = clNone;
    f.Hot = true;
    f.HotTrackStep = 8;
    EXPECT_EQ(At(Render(f), 50, 12), kFace);
    f.Pressed = true;
    EXPECT_EQ(At(Render(f), 50, 12), kFace);
    f.HotTrackColor = clYellow;
    EXPECT_EQ(At(Render(f), 50, 12), ColorToRGB(clYellow));  // the hot colour stays while pressed
}

TEST(LbButtonPaint, FlatButtonsShowTheirFrameOnlyWhenHotOrPressed)
{
    const struct
    {
        const char* name;
        bool hot, pressed, enabled, framed;
    } cases[] = {
        {"normal", false, false, true, false}, {"hot (mouse or focus)", true, false, true, true},
        {"pressed", false, true, true, true},  {"disabled and hot", true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLbButtonFace f = BaseFace(bsEncarta);
        f.Flat = true;
        f.HotTrackColor = clNone;
        f.ColorWhenDown = clNone;
        f.Hot = c.hot;
        f.Pressed = c.pressed;
        f.Enabled = c.enabled;
        const QImage img = Render(f);
        EXPECT_EQ(At(img, 99, 22) == ColorToRGB(c.pressed ? clWhite : clGray), c.framed);
        EXPECT_EQ(At(img, 99, 22) == kFace, !c.framed);
    }
}

TEST(LbButtonPaint, GlyphAndCaptionPlacesPerStyleAndState)
{
    // A 16 x 16 image, empty caption: the glyph sits at (W - 16) div 2,
    // (H - 16) div 2, one pixel right and down when pressed, except for
    // bsEncarta; its red square is pixels 4 .. 11 of the cell.
    const struct
    {
        const char* name;
        TLbButtonStyle style;
        bool pressed;
        int x, y;
    } cases[] = {
        {"normal", bsNormal, false, 42, 3},   {"normal pressed", bsNormal, true, 43, 4},
        {"encarta", bsEncarta, false, 42, 3}, {"encarta pressed", bsEncarta, true, 42, 3},
        {"modern pressed", bsModern, true, 43, 4}, {"shape pressed: no offset", bsShape, true, 42, 3},
    };
    const TBitmap glyph = TwoImageGlyph(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLbButtonFace f = BaseFace(c.style);
        f.Glyph = &glyph;
        f.NumGlyphs = 1;
        f.Pressed = c.pressed;
        const QImage img = Render(f);
        EXPECT_EQ(Bounding(img, [](QColor q) { return q == QColor(255, 0, 0); }), QRect(c.x + 4, c.y + 4, 8, 8));
        EXPECT_EQ(Count(img, [](QColor q) { return q == QColor(128, 128, 0); }), 0);  // olive is see-through
    }
}

TEST(LbButtonPaint, CaptionMovesWhenPressedExceptEncartaWhichTurnsBold)
{
    TLbButtonFace f = BaseFace(bsNormal);
    f.Caption = QStringLiteral("Hilfe");
    f.ColorWhenDown = clNone;
    const QRect normal = Bounding(Render(f), IsInk);
    f.Pressed = true;
    const QRect pressed = Bounding(Render(f), IsInk);
    ASSERT_FALSE(normal.isEmpty());
    EXPECT_EQ(pressed, normal.translated(1, 1));

    f.Style = bsEncarta;
    f.Pressed = false;
    const QImage up = Render(f);
    f.Pressed = true;
    const QImage down = Render(f);
    EXPECT_EQ(Bounding(down, IsInk).top(), Bounding(up, IsInk).top());
    EXPECT_GT(Count(down, IsInk), Count(up, IsInk));  // bold
}

TEST(LbButtonPaint, ImageOfTheStripByState)
{
    // Image 0 normally, 1 disabled, 3 hot (with four or more), 2 pressed
    // (with three or more; pressed wins). A one-image strip has no disabled
    // image, so a disabled button shows none.
    const struct
    {
        const char* name;
        int images;
        bool hot, pressed, enabled;
        QColor shown;
    } cases[] = {
        {"normal", 4, false, false, true, QColor(255, 0, 0)},
        {"disabled", 2, false, false, false, QColor(0, 0, 255)},
        {"hot with four", 4, true, false, true, QColor(0, 255, 255)},
        {"hot with three", 3, true, false, true, QColor(255, 0, 0)},
        {"pressed with three", 3, true, true, true, QColor(0, 255, 0)},
        {"pressed with two", 2, false, true, true, QColor(255, 0, 0)},
        {"disabled one-image strip", 1, false, false, false, QColor()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TBitmap glyph = TwoImageGlyph(c.images);
        TLbButtonFace f = BaseFace(bsEncarta);
        f.HotTrackColor = clNone;
        f.ColorWhenDown = clNone;
        f.Glyph = &glyph;
        f.NumGlyphs = c.images;
        f.Hot = c.hot;
        f.Pressed = c.pressed;
        f.Enabled = c.enabled;
        const QImage img = Render(f);
        const QRect cell(42, 3, 16, 16);
        const int squares = Count(img, [](QColor q) { return q.saturation() == 255; }, cell);
        if (!c.shown.isValid()) {
            EXPECT_EQ(squares, 0);
        } else {
            EXPECT_EQ(squares, 64);
            EXPECT_EQ(img.pixelColor(50, 11), c.shown);
        }
    }
}

TEST(LbButtonPaint, DisabledCaptionIsGreyAndLongCaptionsAreCutOrWrapped)
{
    TLbButtonFace f = BaseFace(bsEncarta);
    f.Caption = QStringLiteral("Hilfe");
    f.Enabled = false;
    const QImage img = Render(f);
    EXPECT_EQ(Count(img, IsInk), 0);
    // Grey text: present, nothing darker than its 128 (edges blend with the face).
    EXPECT_GT(Count(img, [](QColor q) { return q.red() < 190; }, QRect(2, 2, 96, 19)), 0);
    EXPECT_EQ(Count(img, [](QColor q) { return q.red() < 127; }, QRect(2, 2, 96, 19)), 0);

    // Cut from the end to the box (W - 8 wide from x 4), or wrapped.
    f = BaseFace(bsEncarta);
    f.Width = 60;
    f.Height = 40;
    f.Caption = QStringLiteral("Wiederholen Wiederholen");
    const QRect cut = Bounding(Render(f), IsInk);
    ASSERT_FALSE(cut.isEmpty());
    EXPECT_GE(cut.left(), 4);
    EXPECT_LE(cut.right(), 4 + 52 - 1);
    f.WordWrap = true;
    const QRect wrapped = Bounding(Render(f), IsInk);
    EXPECT_GT(wrapped.height(), cut.height() + 5);  // two lines
}

TEST(LbButtonPaint, ShapedFacesLeaveTheirCornersToTheParent)
{
    // bsModern rounds its corners, bsShape draws no face at all: the control
    // shows its parent's colour there.
    for (TLbButtonStyle style : {bsModern, bsShape, bsQuicken}) {
        SCOPED_TRACE(static_cast<int>(style));
        TForm form;
        form.SetColor(clLime);
        auto* b = new TLbButton(&form);
        b->SetBounds(10, 10, 100, 23);
        b->SetStyle(style);
        b->SetColor(kFace);
        form.show();
        const QImage img = form.grab().toImage();
        EXPECT_EQ(At(img, 10, 10), ColorToRGB(clLime));
        EXPECT_NE(At(img, 10 + 50, 10 + 1) == ColorToRGB(clLime), style != bsShape);
        form.hide();
    }
}

TEST(LbButtonPaint, ShapeCaptionHasNoFringeOfTheSeeThroughColour)
{
    // Smoothed edges would mix with magenta and show as a coloured fringe.
    TLbButtonFace f = BaseFace(bsShape);
    f.Caption = QStringLiteral("&Shape");
    f.Font.SetColor(clNavy);
    const QImage img = Render(f);
    const int text = Count(img, [](QColor q) { return q == QColor(0, 0, 128); });
    const int key = Count(img, [](QColor q) { return q == QColor(255, 0, 255); });
    EXPECT_GT(text, 20);
    EXPECT_EQ(text + key, img.width() * img.height());
}

TEST(LbButtonPaint, PopupMenuArrowAtTheRight)
{
    TLbButtonFace f = BaseFace(bsEncarta);
    f.HasPopupMenu = true;
    const QImage img = Render(f);
    // The 5 x 3 arrow at W - 11, H div 2 - 1: its top row is dark, the
    // corners of its bottom row see-through.
    EXPECT_TRUE(IsInk(img.pixelColor(89, 10)));
    EXPECT_TRUE(IsInk(img.pixelColor(93, 10)));
    EXPECT_EQ(At(img, 89, 12), kFace);
    EXPECT_TRUE(IsInk(img.pixelColor(91, 12)));
}

TEST(LbButtonKinds, EachKindSetsResultCaptionAndGlyph)
{
    const struct
    {
        TLbButtonKind kind;
        TModalResult result;
        const char* caption;
        int height;
    } cases[] = {
        {bkOK, mrOk, "OK", 18},           {bkCancel, mrCancel, "Abbrechen", 18}, {bkHelp, mrNone, "Hilfe", 18},
        {bkYes, mrYes, "Ja", 18},         {bkNo, mrNo, "Nein", 18},              {bkClose, mrNone, "Schließen", 18},
        {bkAbort, mrAbort, "Abbrechen", 18}, {bkRetry, mrRetry, "Wiederholen", 18},
        {bkIgnore, mrIgnore, "Ignorieren", 18}, {bkAll, mrAll, "Alle", 19},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        TLbButton b;
        b.SetKind(c.kind);
        EXPECT_EQ(b.Kind(), c.kind);
        EXPECT_EQ(b.ModalResult(), c.result);
        EXPECT_EQ(b.Caption(), QString::fromUtf8(c.caption));
        EXPECT_EQ(b.NumGlyphs(), 2);
        EXPECT_EQ(b.Glyph().Width(), 36);
        EXPECT_EQ(b.Glyph().Height(), c.height);
        // The picture's bottom-left pixel is its see-through colour in both images.
        EXPECT_EQ(b.Glyph().Image().pixelColor(0, c.height - 1), b.Glyph().Image().pixelColor(18, c.height - 1));
    }
}

TEST(LbButtonKinds, ModalResultAndGlyphWritesResetTheKind)
{
    TLbButton b;
    b.SetKind(bkCancel);
    b.SetModalResult(mrCancel);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.Caption(), QStringLiteral("Abbrechen"));

    b.SetKind(bkOK);
    b.SetGlyph(TwoImageGlyph(3));  // 48 x 16: three square cells
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.NumGlyphs(), 3);
    b.SetGlyph(TBitmap());  // an empty picture removes the glyph
    EXPECT_EQ(b.NumGlyphs(), 0);
    EXPECT_TRUE(b.Glyph().Empty());

    b.SetKind(bkCustom);  // changes nothing else
    EXPECT_EQ(b.Caption(), QStringLiteral("OK"));
    EXPECT_EQ(b.ModalResult(), mrOk);
}

TEST(LbButtonKinds, MissingResourceIsAnError)
{
    TBitmap b(3, 3);
    RegisterLbButtonResources();
    try {
        LoadBitmapResource(b, QStringLiteral("LBNOTHERE"));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Resource LBNOTHERE not found");
    }
    EXPECT_EQ(b.Width(), 3);
    LoadBitmapResource(b, QStringLiteral("LBARROW"));
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Height(), 3);
}

TEST(LbButtonColorStyle, PresetsSetColoursAndStyleAndReadBackCustom)
{
    const struct
    {
        TLbColorStyle preset;
        TColor color, light, shadow, down, hot;
        bool flat;
        TColor font;
        TLbButtonStyle style;
    } cases[] = {
        {lcsGold, 0x0000C0C0, 0x0000FFFF, 0x00008080, clNone, 0x0000DFDF, false, clBlack, bsModern},
        {lcsUltraFlat1, clBtnFace, 0x00B59284, 0x00B59284, 0x00B59284, 0x00DED3D6, true, clBlack, bsNormal},
        {lcsUltraFlatXP, 0x00D1D8DB, 0x00B59284, 0x00B59285, 0x00B59285, 0x00D2BDB6, true, clBlack, bsNormal},
        {lcsQuicken, 0x00603000, 0x00C0C0C0, 0x00C0C0C0, 0x00AD6529, 0x00CEAE9C, false, clWhite, bsQuicken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.preset));
        TLbButton b;
        b.SetColorStyle(c.preset);
        EXPECT_EQ(b.ColorStyle(), lcsCustom);
        EXPECT_EQ(b.Color(), c.color);
        EXPECT_EQ(b.LightColor(), c.light);
        EXPECT_EQ(b.ShadowColor(), c.shadow);
        EXPECT_EQ(b.ColorWhenDown(), c.down);
        EXPECT_EQ(b.HotTrackColor(), c.hot);
        EXPECT_EQ(b.Flat(), c.flat);
        EXPECT_EQ(b.Font().Color(), c.font);
        EXPECT_EQ(b.Style(), c.style);
    }
    TLbButton b;
    b.SetColor(kFace);
    b.SetColorStyle(lcsCustom);
    EXPECT_EQ(b.Color(), kFace);
    EXPECT_EQ(b.Style(), bsNormal);
}

TEST(LbButtonHot, EnterAndLeaveTrackTheMouse)
{
    TForm form;
    auto* b = new TLbButton(&form);
    form.show();
    std::vector<QString> events;
    b->OnMouseEnter = [&](QObject*) { events.push_back(QStringLiteral("enter")); };
    b->OnMouseExit = [&](QObject*) { events.push_back(QStringLiteral("exit")); };
    Enter(b);
    EXPECT_TRUE(b->CursorOnButton());
    EXPECT_EQ(b->HotTrackStep(), 8);
    Leave(b);
    EXPECT_FALSE(b->CursorOnButton());
    EXPECT_EQ(b->HotTrackStep(), 0);
    b->SetEnabled(false);
    Enter(b);
    EXPECT_FALSE(b->CursorOnButton());
    Leave(b);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("enter"), QStringLiteral("exit")}));
    form.hide();
}

TEST(LbButtonHot, SlowDeceaseFadesInEightStepsAndStopsCleanly)
{
    TForm form;
    auto* b = new TLbButton(&form);
    b->SetHotTrackColor(clYellow);
    b->SetSlowDecease(true);
    form.show();
    Enter(b);
    Leave(b);
    EXPECT_EQ(b->HotTrackStep(), 8);  // the fade counts down from here
    std::set<int> seen;
    QElapsedTimer clock;
    clock.start();
    while (b->HotTrackStep() > 0 && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        seen.insert(b->HotTrackStep());
    }
    EXPECT_EQ(b->HotTrackStep(), 0);
    EXPECT_GE(seen.size(), 2u);
    EXPECT_TRUE(seen.count(0));
    // Stays at 0 once faded.
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(b->HotTrackStep(), 0);

    // Cleared in the middle of a fade: the step drops to 0, the ticker goes.
    Enter(b);
    Leave(b);
    b->SetSlowDecease(false);
    EXPECT_EQ(b->HotTrackStep(), 0);
    QApplication::processEvents();
    EXPECT_EQ(b->HotTrackStep(), 0);

    // Destroyed while fading: the ticker is stopped first.
    b->SetSlowDecease(true);
    Enter(b);
    Leave(b);
    delete b;
    QApplication::processEvents();
    form.hide();
}

// With WIDGETS_SCREENSHOT_DIR set this saves a picture of the buttons.
TEST(LbButtonShowcase, EveryStyleOnAWindow)
{
    TForm form;
    form.SetCaption(QStringLiteral("Push buttons"));
    form.SetColor(kFace);
    form.resize(560, 200);
    const TLbButtonStyle styles[] = {bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken};
    const char* names[] = {"&Normal", "&Encarta", "&Modern", "&Old", "&Shape", "&Quicken"};
    std::vector<TLbButton*> buttons;
    for (int i = 0; i < 6; ++i) {
        auto* b = new TLbButton(&form);
        b->SetBounds(10 + (i % 3) * 180, 10 + (i / 3) * 40, 170, 28);
        b->SetStyle(styles[i]);
        b->SetColor(kFace);
        b->SetColorWhenDown(kDown);
        b->SetHotTrackColor(clYellow);
        b->SetLightColor(i == 2 ? clWhite : clGray);
        b->SetKind(bkOK);
        b->SetCaption(QString::fromLatin1(names[i]));
        buttons.push_back(b);
    }
    auto* hot = new TLbButton(&form);
    hot->SetBounds(10, 100, 170, 28);
    hot->SetStyle(bsEncarta);
    hot->SetColor(kFace);
    hot->SetHotTrackColor(clYellow);
    hot->SetLightColor(clGray);
    hot->SetKind(bkCancel);
    auto* disabled = new TLbButton(&form);
    disabled->SetBounds(190, 100, 170, 28);
    disabled->SetStyle(bsEncarta);
    disabled->SetColor(kFace);
    disabled->SetLightColor(clGray);
    disabled->SetKind(bkRetry);
    disabled->SetEnabled(false);
    TPopupMenu menu;
    auto* popup = new TLbButton(&form);
    popup->SetBounds(370, 100, 170, 28);
    popup->SetStyle(bsEncarta);
    popup->SetColor(kFace);
    popup->SetLightColor(clGray);
    popup->SetCaption(QStringLiteral("Save && E&xit"));
    popup->SetPopupMenu(&menu);
    auto* pressed = new TLbButton(&form);
    pressed->SetBounds(10, 150, 170, 28);
    pressed->SetStyle(bsEncarta);
    pressed->SetColor(kFace);
    pressed->SetColorWhenDown(kDown);
    pressed->SetLightColor(clGray);
    pressed->SetKind(bkAll);
    form.show();
    Enter(hot);
    Press(pressed, QPoint(5, 5));
    QApplication::processEvents();
    const QImage img = form.grab().toImage();
    EXPECT_EQ(At(img, 12, 102), ColorToRGB(clYellow));
    EXPECT_EQ(At(img, 12, 152), kDown);
    SaveScreenshot(img, QStringLiteral("lbbuttons.png"));
    Release(pressed, QPoint(500, 500));
    form.hide();
}
