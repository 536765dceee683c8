// The editor controls' own looks and their remaining input rules: the
// edit-with-button's button in each state, its clipboard while typing is off
// and its lookup completion; the spin buttons in each state; the date
// picker moving on to the next field as digits are typed.
#include "grid/EsgDateTimePicker.h"
#include "grid/EsgEdit.h"
#include "grid/EsgSpin.h"

#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QImage Render(QWidget* w) { return w->grab().toImage(); }

QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

void Enter(QWidget* w)
{
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(w, &e);
}

void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

void MouseDown(QWidget* w)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

void MouseUp(QWidget* w)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QCoreApplication::sendEvent(w, &up);
}

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const Qt::Key key = c.isDigit() ? static_cast<Qt::Key>(Qt::Key_0 + c.digitValue()) : Qt::Key_unknown;
        Key(w, key, Qt::NoModifier, QString(c));
    }
}

enum class State { Normal, Hot, Down };

void Into(QWidget* w, State s)
{
    if (s == State::Hot)
        Enter(w);
    else if (s == State::Down)
        MouseDown(w);
}

void OutOf(QWidget* w, State s)
{
    if (s == State::Hot)
        Leave(w);
    else if (s == State::Down)
        MouseUp(w);
}

constexpr TColor kPlain = 0x00C08040, kHot = 0x0040C080, kDown = 0x008040C0;

// ---------------------------------------------------------------------------
// The edit-with-button's button
// ---------------------------------------------------------------------------

struct ButtonCase
{
    const char* name;
    State state;
    TColor hot, down; // the state colours set (clNone: not set)
    TColor expected;
};

TEST(EditBtnPaint, CustomColoursFollowTheState)
{
    const ButtonCase cases[] = {
        {"normal", State::Normal, kHot, kDown, kPlain},
        {"hot", State::Hot, kHot, kDown, kHot},
        {"pressed", State::Down, kHot, kDown, kDown},
        // A state without its own colour keeps the plain one, never "none".
        {"hot without its colour", State::Hot, clNone, kDown, kPlain},
        {"pressed without its colour", State::Down, kHot, clNone, kPlain},
    };
    for (const ButtonCase& k : cases) {
        TEsgEditBtn e;
        e.resize(120, 24);
        e.SetButtonCaption(QString()); // the face alone
        TExSpeedButton* b = e.Button();
        b->ButtonColor = kPlain;
        b->ButtonColorHot = k.hot;
        b->ButtonColorDown = k.down;
        e.show();
        Settle();
        Into(b, k.state);
        const QImage img = Render(b);
        OutOf(b, k.state);
        EXPECT_TRUE(b->Flat()) << k.name << ": a custom colour draws flat";
        for (QPoint p : {QPoint(1, 1), QPoint(img.width() / 2, img.height() / 2), QPoint(img.width() - 2, img.height() - 2)})
            EXPECT_EQ(At(img, p.x(), p.y()), Rgb(k.expected)) << k.name << " at " << p.x() << "," << p.y();
    }
}

TEST(EditBtnPaint, CaptionIsBlackAndMovesWhilePressed)
{
    TEsgEditBtn e;
    e.resize(120, 24);
    e.SetButtonWidth(30);
    e.SetButtonCaption(QStringLiteral("..."));
    TExSpeedButton* b = e.Button();
    b->ButtonColor = clWhite;
    e.show();
    Settle();
    auto darkBox = [](const QImage& img) {
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qGray(img.pixel(x, y)) < 100)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect up = darkBox(Render(b));
    ASSERT_TRUE(up.isValid()) << "the caption is drawn";
    MouseDown(b);
    const QRect pressed = darkBox(Render(b));
    MouseUp(b);
    EXPECT_EQ(pressed.topLeft(), up.topLeft() + QPoint(1, 1));
    // The caption stays centred in the button.
    EXPECT_NEAR(up.center().x(), b->width() / 2, 2);
}

TEST(EditBtnPaint, FlatEdgeTurnsSunkenWhilePressed)
{
    TEsgEditBtn e;
    e.resize(120, 24);
    e.SetButtonCaption(QString());
    TExSpeedButton* b = e.Button();
    b->SetFlat(true);
    e.show();
    Settle();
    const QImage raised = Render(b);
    MouseDown(b);
    const QImage sunken = Render(b);
    MouseUp(b);
    const int r = b->width() - 1, btm = b->height() - 1;
    EXPECT_EQ(At(raised, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(At(raised, r, btm), Rgb(clBtnShadow));
    EXPECT_EQ(At(sunken, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(At(sunken, r, btm), Rgb(clBtnHighlight));
    EXPECT_EQ(At(raised, b->width() / 2, b->height() / 2), Rgb(clBtnFace));
}

// ---------------------------------------------------------------------------
// Clipboard and typing while the editor is off
// ---------------------------------------------------------------------------

TEST(EditBtnClipboard, CutAndPasteOnlyWhileTypingIsAllowed)
{
    QApplication::clipboard()->setText(QStringLiteral("77"));
    TEsgEditBtn e;
    e.resize(120, 24);
    e.show();
    e.setFocus();
    Settle();
    e.SetText(QStringLiteral("12"));
    e.SetEditorEnabled(false);
    e.selectAll();
    Key(&e, Qt::Key_V, Qt::ControlModifier);
    Key(&e, Qt::Key_Insert, Qt::ShiftModifier);
    Key(&e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "12");
    EXPECT_EQ(QApplication::clipboard()->text(), "77") << "nothing was cut";

    // The context menu offers neither while typing is off, but still copies.
    auto menuOffers = [&e] {
        QStringList offered;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    if (a->isEnabled() && !a->isSeparator())
                        offered << a->text().remove(u'&');
                menu->close();
            }
        });
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), e.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(&e, &menuEvent);
        return offered;
    };
    const QStringList offered = menuOffers();
    ASSERT_FALSE(offered.isEmpty()) << "the menu was shown";
    EXPECT_FALSE(offered.filter("Paste").size() || offered.filter("Cut").size()) << offered.join(", ").toStdString();
    EXPECT_EQ(offered.filter("Copy").size(), 1);
    EXPECT_FALSE(e.ReadOnly()) << "the edit itself stays writable";

    e.SetEditorEnabled(true);
    EXPECT_EQ(menuOffers().filter("Paste").size(), 1) << "typing allowed: paste offered again";
    e.selectAll();
    Key(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "77");
    // Read-only refuses the paste whatever EditorEnabled says.
    e.SetReadOnly(true);
    QApplication::clipboard()->setText(QStringLiteral("5"));
    e.selectAll();
    Key(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "77");
}

// ---------------------------------------------------------------------------
// Lookup completion
// ---------------------------------------------------------------------------

struct LookupCase
{
    const char* name;
    const char* text;
    int caret;
    bool caseSensitive;
    const char* completed;
    const char* selected;
};

TEST(EditBtnLookup, CompletesFromTheFirstMatchingItem)
{
    const QStringList items{"Meter", "Metering", "Flow"};
    const LookupCase cases[] = {
        {"first match in list order", "Me", 2, false, "Meter", "ter"},
        {"case ignored, the typed part kept", "fl", 2, false, "flow", "ow"},
        {"case sensitive finds nothing", "fl", 2, true, "fl", ""},
        {"only the text up to the caret counts", "Flxx", 2, false, "Flow", "ow"},
        {"no match leaves the text", "Gas", 3, false, "Gas", ""},
        {"empty prefix completes nothing", "", 0, false, "", ""},
    };
    for (const LookupCase& k : cases) {
        TEsgEditBtn e;
        e.SetText(QString::fromLatin1(k.text));
        e.setCursorPosition(k.caret);
        e.CompleteFromList(items, k.caseSensitive);
        EXPECT_EQ(e.Text(), QString::fromLatin1(k.completed)) << k.name;
        EXPECT_EQ(e.selectedText(), QString::fromLatin1(k.selected)) << k.name;
    }
    // A long entry adds at most 255 characters.
    TEsgEditBtn e;
    e.SetText("a");
    e.setCursorPosition(1);
    EXPECT_TRUE(e.CompleteFromList({QString(400, u'a')}, true));
    EXPECT_EQ(e.Text().size(), 256);
    // With text selected nothing is completed.
    e.SetText("Me");
    e.selectAll();
    EXPECT_FALSE(e.CompleteFromList(items, false));
    EXPECT_EQ(e.Text(), "Me");
}

// ---------------------------------------------------------------------------
// Spin buttons
// ---------------------------------------------------------------------------

struct SpinPaintCase
{
    const char* name;
    State state;
    TColor expected;
};

TEST(SpinPaint, CustomColoursAndBlackTrianglePerState)
{
    const SpinPaintCase cases[] = {
        {"normal", State::Normal, kPlain},
        {"hot", State::Hot, kHot},
        {"pressed", State::Down, kDown},
    };
    for (const SpinPaintCase& k : cases) {
        TEsgSpinEdit spin;
        spin.resize(80, 40);
        spin.ButtonColors().ButtonColor = kPlain;
        spin.ButtonColors().ButtonColorHot = kHot;
        spin.ButtonColors().ButtonColorDown = kDown;
        spin.RepaintButtons();
        spin.show();
        Settle();
        for (TExTimerSpeedButton* b : {spin.UpButton(), spin.DownButton()}) {
            Into(b, k.state);
            const QImage img = Render(b);
            OutOf(b, k.state);
            const char* which = b == spin.UpButton() ? "up" : "down";
            EXPECT_EQ(At(img, 0, 0), Rgb(k.expected)) << k.name << " " << which << ": outline";
            EXPECT_EQ(At(img, img.width() - 2, img.height() - 2), Rgb(k.expected)) << k.name << " " << which;
            // The triangle: base row and tip, black, on the face.
            EXPECT_EQ(At(img, 6, 3), 0u) << k.name << " " << which << ": triangle";
            EXPECT_EQ(At(img, 6, b == spin.UpButton() ? 5 : 1), Rgb(k.expected)) << k.name << " " << which;
        }
    }
}

TEST(SpinPaint, HorizontalTrianglesPointSideways)
{
    TEsgSpinEdit spin;
    spin.resize(80, 40);
    spin.ButtonColors().ButtonColor = kPlain;
    spin.show();
    Settle();
    TExTimerSpeedButton* b = spin.UpButton();
    b->resize(15, 15);
    b->SetButtonDirection(bdRight);
    QImage img = Render(b);
    EXPECT_EQ(At(img, 3, 7), 0u);
    EXPECT_EQ(At(img, 4, 7), 0u);
    EXPECT_EQ(At(img, 6, 7), Rgb(kPlain)) << "the tip points right and ends at x 5";
    b->SetButtonDirection(bdLeft);
    img = Render(b);
    EXPECT_EQ(At(img, 4, 7), 0u);
    EXPECT_EQ(At(img, 2, 7), Rgb(kPlain));
}

TEST(SpinPaint, WithoutColoursThePlatformButtonIsDrawn)
{
    TEsgSpinEdit spin;
    spin.resize(80, 40);
    spin.show();
    Settle();
    const QImage img = Render(spin.UpButton());
    EXPECT_NE(At(img, 0, 0), Rgb(kPlain));
    // Some arrow is drawn on the face.
    bool dark = false;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            dark = dark || qGray(img.pixel(x, y)) < 110;
    EXPECT_TRUE(dark);
}

// ---------------------------------------------------------------------------
// Date picker: digits move on to the next field
// ---------------------------------------------------------------------------

struct FieldCase
{
    const char* format;
    QDateTimeEdit::Section first;
    const char* typed[3];
    QDateTimeEdit::Section after[3];
    QDate date;
};

TEST(DatePickerFields, TypedFieldsMoveOnButTheLastStays)
{
    using S = QDateTimeEdit;
    const FieldCase cases[] = {
        {"dd.MM.yyyy", S::DaySection, {"15", "06", "2024"}, {S::MonthSection, S::YearSection, S::YearSection},
         QDate(2024, 6, 15)},
        // A format that ends with the day stays in the day.
        {"yyyy-MM-dd", S::YearSection, {"2024", "06", "15"}, {S::MonthSection, S::DaySection, S::DaySection},
         QDate(2024, 6, 15)},
    };
    for (const FieldCase& k : cases) {
        TEsgDateTimePicker p;
        p.SetFormat(QString::fromLatin1(k.format));
        p.SetDate(QDate(2020, 1, 1));
        p.show();
        p.setFocus();
        Settle();
        p.setSelectedSection(k.first);
        for (int i = 0; i < 3; ++i) {
            Type(&p, QString::fromLatin1(k.typed[i]));
            EXPECT_EQ(p.currentSection(), k.after[i]) << k.format << " after " << k.typed[i];
        }
        EXPECT_EQ(p.Date(), k.date) << k.format;
    }

    TEsgDateTimePicker t;
    t.SetKind(dtkTime);
    t.SetFormat(QStringLiteral("HH:mm:ss"));
    t.SetTime(QTime(1, 2, 3));
    t.show();
    t.setFocus();
    Settle();
    t.setSelectedSection(QDateTimeEdit::HourSection);
    Type(&t, "10");
    EXPECT_EQ(t.currentSection(), QDateTimeEdit::MinuteSection);
    Type(&t, "45");
    EXPECT_EQ(t.currentSection(), QDateTimeEdit::SecondSection);
    EXPECT_EQ(t.Time(), QTime(10, 45, 3));
}

} // namespace
