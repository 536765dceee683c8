// The spin button pair: its keys, the focus mark, the repeat of a held
// button, its two layouts and glyphs; and how the spin edit carries it
// (minimum height, placement, alignment, flat and transparent buttons).
#include "grid/EsgSpin.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

void Mouse(QWidget* w, QEvent::Type type)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, p, w->mapToGlobal(p), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
void Press(QWidget* w) { Mouse(w, QEvent::MouseButtonPress); }
void Release(QWidget* w) { Mouse(w, QEvent::MouseButtonRelease); }

// A shown pair that counts its clicks by button.
struct PairHost
{
    PairHost()
    {
        form.resize(200, 100);
        pair = new TEsgSpinButton(&form);
        pair->setGeometry(10, 10, 15, 30);
        pair->OnUpClick = [this](QObject* s) { clicks.push_back(s == pair->UpButton() ? 'u' : '?'); };
        pair->OnDownClick = [this](QObject* s) { clicks.push_back(s == pair->DownButton() ? 'd' : '?'); };
        form.show();
        QApplication::setActiveWindow(&form);
        Settle();
    }
    std::string Clicks() const { return std::string(clicks.begin(), clicks.end()); }

    TForm form;
    TEsgSpinButton* pair;
    std::vector<char> clicks;
};

struct KeyCase
{
    const char* name;
    std::vector<Qt::Key> keys;
    const char* clicks;
    bool downMarked; // the focus mark ends on the down button
};

TEST(SpinButtonPair, KeysClickTheMarkedButtonAndMoveTheMark)
{
    const KeyCase cases[] = {
        {"space clicks the up button marked at creation", {Qt::Key_Space}, "u", false},
        {"down clicks and marks the down button", {Qt::Key_Down}, "d", true},
        {"space then clicks the newly marked one", {Qt::Key_Down, Qt::Key_Space}, "dd", true},
        {"up takes the mark back", {Qt::Key_Down, Qt::Key_Up, Qt::Key_Space}, "duu", false},
        {"other keys do nothing", {Qt::Key_Left, Qt::Key_A}, "", false},
    };
    for (const KeyCase& k : cases) {
        PairHost h;
        h.pair->SetTabStop(true);
        h.pair->setFocus(Qt::TabFocusReason);
        Settle();
        ASSERT_TRUE(h.pair->hasFocus()) << k.name;
        for (Qt::Key key : k.keys)
            testsupport::KeyClick(key);
        EXPECT_EQ(h.Clicks(), k.clicks) << k.name;
        EXPECT_EQ(h.pair->FocusedButton(), k.downMarked ? h.pair->DownButton() : h.pair->UpButton()) << k.name;
        EXPECT_EQ(h.pair->DownButton()->FocusRect(), k.downMarked) << k.name;
        EXPECT_EQ(h.pair->UpButton()->FocusRect(), !k.downMarked) << k.name;
    }
}

TEST(SpinButtonPair, ArrowKeysAreThePairsNotTheFormsShortcuts)
{
    PairHost h;
    h.pair->SetTabStop(true);
    h.pair->setFocus(Qt::TabFocusReason);
    Settle();
    // An accepted shortcut override keeps a form's shortcut from the key.
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right}) {
        QKeyEvent e(QEvent::ShortcutOverride, key, Qt::NoModifier);
        e.ignore();
        QCoreApplication::sendEvent(h.pair, &e);
        EXPECT_TRUE(e.isAccepted()) << key;
    }
    QKeyEvent other(QEvent::ShortcutOverride, Qt::Key_F5, Qt::NoModifier);
    other.ignore();
    QCoreApplication::sendEvent(h.pair, &other);
    EXPECT_FALSE(other.isAccepted());
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(h.Clicks(), "d");
}

TEST(SpinButtonPair, FocusShowsAndHidesTheMark)
{
    PairHost h;
    auto* other = new QWidget(&h.form);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(100, 10, 20, 20);
    other->show();
    h.pair->SetTabStop(true);
    EXPECT_FALSE(h.pair->UpButton()->FocusRect());
    h.pair->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_TRUE(h.pair->UpButton()->FocusRect());
    other->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_FALSE(h.pair->UpButton()->FocusRect());
}

TEST(SpinButtonPair, APressMovesTheFocusToTheFocusControlOrThePair)
{
    {
        // A focus control that can take the focus gets it; the pair marks the
        // pressed button only while it has the focus itself.
        PairHost h;
        auto* edit = new QLineEdit(&h.form);
        edit->setGeometry(40, 10, 60, 20);
        edit->show();
        h.pair->SetFocusControl(edit);
        h.pair->SetTabStop(true);
        Press(h.pair->DownButton());
        Release(h.pair->DownButton());
        Settle();
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_EQ(h.pair->FocusedButton(), h.pair->DownButton());
        EXPECT_EQ(h.Clicks(), "d");
    }
    {
        // Without one, a pair that is a tab stop takes the focus.
        PairHost h;
        h.pair->SetTabStop(true);
        Press(h.pair->DownButton());
        Release(h.pair->DownButton());
        Settle();
        EXPECT_TRUE(h.pair->hasFocus());
        EXPECT_TRUE(h.pair->DownButton()->FocusRect());
        EXPECT_FALSE(h.pair->UpButton()->FocusRect());
    }
    {
        // Neither: the focus stays where it is.
        PairHost h;
        Press(h.pair->UpButton());
        Release(h.pair->UpButton());
        EXPECT_FALSE(h.pair->hasFocus());
        EXPECT_EQ(h.Clicks(), "u");
    }
}

TEST(SpinButtonPair, AHeldButtonClicksOnPressThenAfter400ThenEvery100)
{
    PairHost h;
    TExTimerSpeedButton* up = h.pair->UpButton();
    EXPECT_EQ(up->RepeatTimer(), nullptr) << "the timer comes with the first press";
    Press(up);
    EXPECT_EQ(h.Clicks(), "u") << "the press clicks at once";
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_TRUE(up->RepeatTimer()->isActive());
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    up->TimerExpired();
    EXPECT_EQ(h.Clicks(), "uu");
    EXPECT_EQ(up->RepeatTimer()->interval(), 100);
    up->TimerExpired();
    EXPECT_EQ(h.Clicks(), "uuu");
    Release(up);
    EXPECT_EQ(h.Clicks(), "uuu") << "the release adds no click";
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    up->TimerExpired();
    EXPECT_EQ(h.Clicks(), "uuu") << "a late tick after the release clicks no more";
    // The next press starts at 400 again.
    Press(up);
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    Release(up);
}

TEST(SpinButtonPair, AFailingClickStopsTheRepeat)
{
    PairHost h;
    TExTimerSpeedButton* up = h.pair->UpButton();
    Press(up);
    h.pair->OnUpClick = [](QObject*) { throw std::runtime_error("refused"); };
    EXPECT_THROW(up->TimerExpired(), std::runtime_error);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
    h.pair->OnUpClick = nullptr;
    Release(up);
}

struct DirectionCase
{
    TSpinDirection direction;
    int width;
    TButtonDirection up, down;
    bool upRight; // up right of down (else above it)
};

TEST(SpinButtonPair, DirectionLaysOutTheButtons)
{
    const DirectionCase cases[] = {
        {spHorizontal, 20, bdRight, bdLeft, true},
        {spVertical, 15, bdUp, bdDown, false},
    };
    PairHost h;
    for (const DirectionCase& k : cases) {
        h.pair->SetDirection(k.direction);
        EXPECT_EQ(h.pair->width(), k.width);
        EXPECT_EQ(h.pair->UpButton()->ButtonDirection(), k.up);
        EXPECT_EQ(h.pair->DownButton()->ButtonDirection(), k.down);
        const QRect u = h.pair->UpButton()->geometry(), d = h.pair->DownButton()->geometry();
        if (k.upRight) {
            EXPECT_EQ(d.left(), 0);
            EXPECT_EQ(u.left(), k.width / 2 + 1);
            EXPECT_EQ(u.right(), k.width - 1);
            EXPECT_EQ(u.height(), h.pair->height());
        } else {
            EXPECT_EQ(u.top(), 0);
            EXPECT_EQ(d.top(), u.bottom()) << "the down button starts a pixel above the up button's end";
            EXPECT_EQ(d.bottom(), h.pair->height() - 1);
            EXPECT_EQ(u.width(), k.width);
        }
    }
    // Narrower than its layout allows: the pair keeps its least width.
    h.pair->resize(5, 30);
    EXPECT_EQ(h.pair->width(), 15);
}

TEST(SpinButtonPair, GlyphsDefaultToTheTrianglesAndTakeOthers)
{
    PairHost h;
    const TBitmap& up = h.pair->UpGlyph();
    ASSERT_EQ(up.Width(), 9);
    ASSERT_EQ(up.Height(), 6);
    // The up triangle: a tip on top, a base of 7 pixels four rows down.
    EXPECT_EQ(up.Image().pixel(4, 1) & 0xFFFFFF, 0u);
    EXPECT_NE(up.Image().pixel(3, 1) & 0xFFFFFF, 0u);
    for (int x = 1; x <= 7; ++x)
        EXPECT_EQ(up.Image().pixel(x, 4) & 0xFFFFFF, 0u) << x;
    EXPECT_NE(up.Image().pixel(0, 4) & 0xFFFFFF, 0u);
    const TBitmap& down = h.pair->DownGlyph();
    EXPECT_EQ(down.Image().pixel(4, 4) & 0xFFFFFF, 0u) << "the down triangle's tip is at the bottom";
    EXPECT_EQ(down.Image().pixel(1, 1) & 0xFFFFFF, 0u);

    TBitmap own(20, 10);
    own.Canvas().Brush().SetColor(clRed);
    own.Canvas().FillRect(Rect(0, 0, 20, 10));
    h.pair->SetUpGlyph(own);
    h.pair->SetUpNumGlyphs(2);
    EXPECT_EQ(h.pair->UpGlyph().Width(), 20);
    EXPECT_EQ(h.pair->UpNumGlyphs(), 2);
    // Written empty: the default again, one picture.
    h.pair->SetUpGlyph(TBitmap());
    EXPECT_EQ(h.pair->UpGlyph().Width(), 9);
    EXPECT_EQ(h.pair->UpNumGlyphs(), 1);
}

TEST(SpinButtonPair, WithoutColoursTheGlyphIsDrawnOnTheFace)
{
    PairHost h;
    h.pair->resize(15, 30);
    const QImage img = h.pair->UpButton()->grab().toImage();
    // The tip of the up triangle sits in the middle column, black.
    bool black = false;
    for (int y = 0; y < img.height(); ++y)
        black = black || (img.pixel(img.width() / 2, y) & 0xFFFFFF) == 0;
    EXPECT_TRUE(black);
}

// ---------------------------------------------------------------------------
// The spin edit with its pair
// ---------------------------------------------------------------------------

struct EditHost
{
    EditHost()
    {
        form.resize(300, 100);
        spin = new TEsgSpinEdit(&form);
        spin->setGeometry(10, 10, 120, 30);
        form.show();
        QApplication::setActiveWindow(&form);
        Settle();
    }
    TForm form;
    TEsgSpinEdit* spin;
};

TEST(SpinEditPair, NeverLowerThanItsMinimumHeight)
{
    EditHost h;
    const int own = QFontMetrics(h.spin->font()).height();
    const int system = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(h.spin->MinHeight(), own + std::min(own, system) / 4 + 2 + 4) << "the single border adds 4";
    h.spin->resize(120, 3);
    EXPECT_EQ(h.spin->height(), h.spin->MinHeight());
    h.spin->SetBorderSingle(false);
    EXPECT_EQ(h.spin->MinHeight(), own + std::min(own, system) / 4 + 2);
    h.spin->resize(120, h.spin->MinHeight());
    const int before = h.spin->MinHeight();
    QFont big = h.spin->font();
    big.setPixelSize(QFontMetrics(big).height() * 3);
    h.spin->setFont(big);
    Settle();
    EXPECT_GT(h.spin->MinHeight(), before);
    EXPECT_EQ(h.spin->height(), h.spin->MinHeight()) << "a larger font raises the edit";
    // A taller edit keeps its height.
    h.spin->resize(120, 200);
    EXPECT_EQ(h.spin->height(), 200);
}

TEST(SpinEditPair, ThePairSitsAtTheRightInsideTheBorder)
{
    EditHost h;
    h.spin->resize(120, 30);
    TEsgSpinButton* b = h.spin->Button();
    EXPECT_EQ(b->geometry(), QRect(120 - 15 - 3, 2, 15, 25)) << "with a border";
    h.spin->SetBorderSingle(false);
    EXPECT_EQ(b->geometry(), QRect(120 - 15 - 1, 0, 15, 29)) << "without one";
    h.spin->SetDirection(spHorizontal);
    EXPECT_EQ(b->geometry(), QRect(120 - 20 - 1, 0, 20, 29));
    EXPECT_EQ(h.spin->Direction(), spHorizontal);
    EXPECT_EQ(h.spin->textMargins().right(), 20 + 2 + 3) << "the text stops short of the buttons";
}

TEST(SpinEditPair, AlignFlatAndTransparentReachTheTextAndBothButtons)
{
    EditHost h;
    const std::pair<TEditAlign, Qt::Alignment> aligns[] = {
        {eaRight, Qt::AlignRight}, {eaCenter, Qt::AlignHCenter}, {eaLeft, Qt::AlignLeft}};
    for (const auto& [a, q] : aligns) {
        h.spin->SetEditAlign(a);
        EXPECT_EQ(h.spin->EditAlign(), a);
        EXPECT_EQ(h.spin->alignment() & Qt::AlignHorizontal_Mask, q);
    }
    h.spin->SetSpinFlat(true);
    h.spin->SetSpinTransparent(true);
    for (TExTimerSpeedButton* b : {h.spin->UpButton(), h.spin->DownButton()}) {
        EXPECT_TRUE(b->Flat());
        EXPECT_TRUE(b->Transparent());
    }
    h.spin->SetSpinFlat(false);
    EXPECT_FALSE(h.spin->DownButton()->Flat());
}

TEST(SpinEditPair, AHeldButtonStepsTheValueAndLeavesTheFocusInTheEdit)
{
    EditHost h;
    h.spin->SetText("5");
    TExTimerSpeedButton* up = h.spin->UpButton();
    Press(up);
    Settle();
    EXPECT_EQ(h.spin->Text(), "6");
    EXPECT_TRUE(h.spin->hasFocus()) << "the edit is the pair's focus control";
    up->TimerExpired();
    EXPECT_EQ(h.spin->Text(), "7");
    Release(up);
    EXPECT_EQ(h.spin->Text(), "7");
    TExTimerSpeedButton* down = h.spin->DownButton();
    testsupport::Click(down);
    EXPECT_EQ(h.spin->Text(), "6");
}

} // namespace
