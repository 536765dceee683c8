#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

// A custom-drawn dialog button following the platform's rules for default
// and cancel buttons, as the component library's push button does.
class DialogButton : public TCustomControl
{
public:
    explicit DialogButton(QWidget* parent, const QString& caption = {}) : TCustomControl(parent), caption(caption)
    {
        resize(75, 25);
    }
    bool Default = false;
    bool Cancel = false;
    TModalResult Result = mrNone;
    QString caption;
    int clicks = 0;

    bool IsButtonControl() const override { return true; }
    void Click() override
    {
        ++clicks;
        TCustomControl::Click();
        if (Result != mrNone)
            if (TForm* f = GetParentForm(this))
                f->SetModalResult(Result);
    }
    bool DialogKey(int key, TShiftState shift) override
    {
        const bool taken = (key == VK_RETURN && Default) ||
                           (key == VK_ESCAPE && Cancel && !(shift & (ssShift | ssCtrl | ssAlt)) && isVisible() && isEnabled());
        if (!taken)
            return false;
        if (TForm* f = GetParentForm(this); key == VK_RETURN && f && f->ButtonHasFocus())
            return false;
        Click();
        return true;
    }
    bool DialogChar(QChar ch) override
    {
        if (AcceleratorOf(caption) != ch.toUpper() || !isVisible() || !isEnabled())
            return false;
        Click();
        return true;
    }
};

void ClickAt(QWidget* w, QPoint p = QPoint(3, 3))
{
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void Key(QWidget* w, int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text)
        Key(w, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : Qt::Key_unknown, Qt::NoModifier, QString(c));
}

struct DialogForm : TForm
{
    DialogForm()
    {
        SetCaption(QStringLiteral("Dialog"));
        edit = new TEdit(this);
        edit->SetBounds(8, 8, 120, 21);
        ok = new DialogButton(this, QStringLiteral("&OK"));
        ok->SetBounds(8, 40, 75, 25);
        ok->Result = mrOk;
        ok->Default = true;
        cancel = new DialogButton(this, QStringLiteral("Cancel"));
        cancel->SetBounds(90, 40, 75, 25);
        cancel->Result = mrCancel;
        cancel->Cancel = true;
    }
    TEdit* edit;
    DialogButton* ok;
    DialogButton* cancel;
};

} // namespace

TEST(FormsModal, ButtonWithModalResultClosesTheFormAfterItsHandler)
{
    DialogForm form;
    std::vector<QString> events;
    form.OnShow = [&](QObject*) { events.push_back(QStringLiteral("show")); };
    form.OnClose = [&](QObject*, TCloseAction&) { events.push_back(QStringLiteral("close")); };
    form.ok->OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, form.ok);
        EXPECT_EQ(form.ModalResult(), mrNone);  // the handler runs before the result is set
        events.push_back(QStringLiteral("click"));
    };
    DialogScript script;
    script.AnswerForm([&](QWidget& shown) {
        EXPECT_EQ(&shown, &form);
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.Modal());
        ClickAt(form.ok);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("show"), QStringLiteral("click"), QStringLiteral("close")}));
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.Modal());
    EXPECT_EQ(form.ModalResult(), mrOk);
    EXPECT_EQ(script.Unanswered(), 0);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].type, ShownDialog::Type::Form);
    EXPECT_EQ(script.Shown()[0].caption, QStringLiteral("Dialog"));

    // Shown again it starts without a result.
    script.AnswerForm([&](QWidget&) {
        EXPECT_EQ(form.ModalResult(), mrNone);
        form.SetModalResult(mrYes);
    });
    EXPECT_EQ(form.ShowModal(), mrYes);
}

TEST(FormsModal, CloseQueryCanKeepTheFormOpen)
{
    DialogForm form;
    bool allow = false;
    int asked = 0;
    form.OnCloseQuery = [&](QObject*, bool& canClose) {
        ++asked;
        EXPECT_TRUE(canClose);  // preset
        canClose = allow;
    };
    DialogScript script;
    script.AnswerForm([&](QWidget&) { ClickAt(form.ok); });
    // Refused: the answer leaves the form open, which then ends as cancelled.
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(script.Unanswered(), 1);

    allow = true;
    script.AnswerForm([&](QWidget&) { ClickAt(form.ok); });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
}

TEST(FormsModal, CloseBoxEndsWithCancelAndOnCloseMayRefuse)
{
    DialogForm form;
    DialogScript script;
    script.AnswerForm([&](QWidget&) { form.close(); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(script.Unanswered(), 0);

    form.OnClose = [](QObject*, TCloseAction& action) { action = caNone; };
    script.AnswerForm([&](QWidget&) { form.SetModalResult(mrOk); });
    EXPECT_EQ(form.ShowModal(), mrCancel);   // refused, so left open and cancelled
    EXPECT_EQ(script.Unanswered(), 1);
}

TEST(FormsModal, WithoutScriptOrScreenTheFormDoesNotWait)
{
    DialogForm form;
    int shown = 0;
    form.OnShow = [&](QObject*) { ++shown; };
    const int before = UnscriptedDialogCount();
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(UnscriptedDialogCount(), before + 1);
    EXPECT_FALSE(form.isVisible());
}

TEST(FormsModal, NestedModalFormsTakeTheNextAnswer)
{
    DialogForm outer, inner;
    inner.SetCaption(QStringLiteral("Inner"));
    TModalResult innerResult = mrNone;
    outer.ok->OnClick = [&](QObject*) { innerResult = inner.ShowModal(); };
    DialogScript script;
    script.AnswerForm([&](QWidget&) { ClickAt(outer.ok); });
    script.AnswerForm([&](QWidget&) { ClickAt(inner.cancel); });
    EXPECT_EQ(outer.ShowModal(), mrOk);
    EXPECT_EQ(innerResult, mrCancel);
    EXPECT_EQ(script.AnswersLeft(), 0);
}

TEST(FormsKeys, EnterAndEscapeReachTheDefaultAndCancelButtons)
{
    DialogForm form;
    form.show();
    form.edit->setFocus();
    Key(form.edit, Qt::Key_Return);
    EXPECT_EQ(form.ok->clicks, 1);
    EXPECT_EQ(form.cancel->clicks, 0);
    Key(form.edit, Qt::Key_Escape);
    EXPECT_EQ(form.cancel->clicks, 1);
    Key(form.edit, Qt::Key_Escape, Qt::ShiftModifier);   // not with Shift, Ctrl or Alt
    Key(form.edit, Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(form.cancel->clicks, 1);
    form.hide();
}

TEST(FormsKeys, EnterIsLeftToAFocusedButtonButNotToARadioButton)
{
    DialogForm form;
    auto* other = new DialogButton(&form, QStringLiteral("Other"));
    auto* radio = new TRadioButton(&form);
    auto* memo = new TMemo(&form);
    form.show();

    other->setFocus();
    ASSERT_EQ(form.ActiveControl(), other);
    Key(other, Qt::Key_Return);
    EXPECT_EQ(form.ok->clicks, 0);
    Key(other, Qt::Key_Escape);      // Escape still cancels
    EXPECT_EQ(form.cancel->clicks, 1);

    radio->setFocus();
    Key(radio, Qt::Key_Return);
    EXPECT_EQ(form.ok->clicks, 1);

    memo->setFocus();                 // a memo takes Enter as a new line
    Key(memo, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(form.ok->clicks, 1);
    EXPECT_EQ(memo->Lines().size(), 2);
    form.hide();
}

TEST(FormsKeys, EnterClosesAModalFormThroughItsDefaultButton)
{
    DialogForm form;
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        form.edit->setFocus();
        Type(form.edit, QStringLiteral("abc"));
        Key(form.edit, Qt::Key_Return);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.edit->Text(), QStringLiteral("abc"));
}

TEST(FormsKeys, AcceleratorLettersClickTheirButton)
{
    DialogForm form;
    form.show();
    form.edit->setFocus();
    Key(form.edit, Qt::Key_O, Qt::NoModifier, QStringLiteral("o"));   // typed into the edit
    EXPECT_EQ(form.ok->clicks, 0);
    EXPECT_EQ(form.edit->Text(), QStringLiteral("o"));
    Key(form.edit, Qt::Key_O, Qt::AltModifier, QStringLiteral("o"));  // Alt+O is the accelerator
    EXPECT_EQ(form.ok->clicks, 1);
    form.cancel->setFocus();                                          // a button takes no characters
    Key(form.cancel, Qt::Key_O, Qt::NoModifier, QStringLiteral("O"));
    EXPECT_EQ(form.ok->clicks, 2);
    form.hide();
}

TEST(FormsKeys, KeyPreviewSeesKeysFirstAndCanSwallowOrChangeThem)
{
    DialogForm form;
    form.SetKeyPreview(true);
    form.OnKeyPress = [](QObject*, QChar& key) {
        if (key == QLatin1Char('x'))
            key = QChar();
        else if (key == QLatin1Char('a'))
            key = QLatin1Char('b');
    };
    form.edit->OnKeyPress = [](QObject*, QChar& key) {
        if (key.isDigit())
            key = QChar();
    };
    form.show();
    form.edit->setFocus();
    Type(form.edit, QStringLiteral("axc"));
    Key(form.edit, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    EXPECT_EQ(form.edit->Text(), QStringLiteral("bc"));
    form.hide();
}

TEST(FormsErrors, AnExceptionInAHandlerIsShownAndTheProgramGoesOn)
{
    DialogForm form;
    int calls = 0;
    form.ok->OnClick = [&](QObject*) {
        ++calls;
        throw std::runtime_error("Something failed");
    };
    DialogScript script;
    form.show();
    ClickAt(form.ok);
    ClickAt(form.ok);
    EXPECT_EQ(calls, 2);
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("Something failed"));

    // The same at the other entries: keys, the form's own events.
    form.edit->OnKeyPress = [](QObject*, QChar&) { throw std::runtime_error("key"); };
    Type(form.edit, QStringLiteral("a"));
    form.OnResize = [](QObject*) { throw 42; };
    form.SetClientWidth(form.ClientWidth() + 10);
    QApplication::processEvents();
    ASSERT_GE(script.Shown().size(), 4u);
    EXPECT_EQ(script.Shown()[2].text, QStringLiteral("key"));
    EXPECT_EQ(script.Shown()[3].text, QStringLiteral("Unknown exception."));
    form.OnResize = nullptr;
    form.hide();
}

namespace {
struct FailingPaint : TCustomControl
{
    using TCustomControl::TCustomControl;
    int paints = 0;
    void Paint() override
    {
        ++paints;
        throw std::runtime_error("paint failed");
    }
};
} // namespace

TEST(FormsErrors, AnExceptionWhilePaintingIsShownAfterThePaint)
{
    DialogScript script;
    TForm form;
    auto* c = new FailingPaint(&form);
    c->resize(20, 20);
    form.show();
    (void)c->grab();
    EXPECT_GE(c->paints, 1);
    QApplication::processEvents();
    ASSERT_FALSE(script.Shown().empty());
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("paint failed"));
    form.hide();
}

TEST(FormsWindow, FixedBorderKeepsTheClientSizeAndCentresOnTheScreen)
{
    TForm form;
    form.SetBorderStyle(bsSingle);
    form.SetBorderIcons(biSystemMenu);
    form.SetPosition(poScreenCenter);
    form.SetClientWidth(331);
    form.SetClientHeight(162);
    EXPECT_EQ(form.ClientWidth(), 331);
    EXPECT_EQ(form.ClientHeight(), 162);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    form.Show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_NEAR(form.geometry().center().x(), screen.center().x(), 2);
    EXPECT_NEAR(form.geometry().center().y(), screen.center().y(), 2);
    form.hide();

    form.SetBorderStyle(bsSizeable);
    EXPECT_NE(form.minimumSize(), form.maximumSize());
}

TEST(FormsWindow, ColourFontAndAlignedPanels)
{
    TForm form;
    form.SetColor(RGB(248, 247, 237));
    EXPECT_EQ(form.Color(), RGB(248, 247, 237));
    form.Font().SetName(QStringLiteral("Verdana"));
    form.Font().SetSize(8);
    EXPECT_EQ(form.Font().Height(), -11);
    auto* label = new TLabel(&form);
    EXPECT_EQ(label->Font().Height(), -11);   // controls take the form's font

    auto* top = new TPanel(&form);
    top->SetHeight(30);
    top->SetAlign(alTop);
    auto* bottom = new TPanel(&form);
    bottom->SetHeight(40);
    bottom->SetAlign(alBottom);
    auto* client = new TPanel(&form);
    client->SetAlign(alClient);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 160, 300, 200));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 300, 160));

    auto* anchored = new TEdit(bottom);
    anchored->SetBounds(200, 5, 90, 21);
    anchored->SetAnchors(akTop | akRight);
    form.SetClientWidth(400);
    EXPECT_EQ(anchored->Left(), 300);
}

TEST(FormsWindow, ClosingTheMainFormIsNotAModalEnd)
{
    TForm form;
    bool closed = false;
    form.OnClose = [&](QObject*, TCloseAction& action) {
        closed = true;
        EXPECT_EQ(action, caHide);
    };
    form.Show();
    form.Close();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form.isVisible());
}
