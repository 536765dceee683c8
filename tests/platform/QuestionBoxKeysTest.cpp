// The real question boxes and file dialogs, shown over a form and answered
// with key events: their keys are theirs alone, never the form's below.
#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A form's dialog button, as the component library's push button: Enter for
// the default one, Escape for the cancel one, and its caption's letter.
class FormButton : public TCustomControl
{
public:
    FormButton(QWidget* parent, const QString& caption, TModalResult result)
        : TCustomControl(parent), caption(caption), result(result)
    {
    }
    QString caption;
    TModalResult result;
    bool Default = false;
    bool Cancel = false;
    int clicks = 0;

    bool IsButtonControl() const override { return true; }
    void Click() override
    {
        ++clicks;
        if (TForm* f = GetParentForm(this))
            f->SetModalResult(result);
    }
    bool DialogKey(int key, TShiftState) override
    {
        if ((key == VK_RETURN && Default) || (key == VK_ESCAPE && Cancel)) {
            Click();
            return true;
        }
        return false;
    }
    bool DialogChar(QChar ch) override
    {
        if (AcceleratorOf(caption) != ch.toUpper())
            return false;
        Click();
        return true;
    }
};

// A window with unsaved work: OK (Enter), Cancel (Escape), a "&No save"
// button (N, as the box's No), an edit, and a key preview that sees every key.
class WorkForm : public TForm
{
public:
    WorkForm()
    {
        ok = new FormButton(this, QStringLiteral("OK"), mrOk);
        ok->Default = true;
        ok->setGeometry(10, 10, 75, 25);
        cancel = new FormButton(this, QStringLiteral("Cancel"), mrCancel);
        cancel->Cancel = true;
        cancel->setGeometry(90, 10, 75, 25);
        noSave = new FormButton(this, QStringLiteral("&No save"), mrNo);
        noSave->setGeometry(170, 10, 75, 25);
        edit = new TEdit(this);
        edit->setGeometry(10, 50, 200, 21);
        edit->SetText(QStringLiteral("unsaved rule"));
        SetKeyPreview(true);
        OnKeyDown = [this](QObject*, int&, TShiftState) { ++previewed; };
        OnKeyPress = [this](QObject*, QChar&) { ++previewed; };
    }
    int Clicks() const { return ok->clicks + cancel->clicks + noSave->clicks; }

    FormButton* ok;
    FormButton* cancel;
    FormButton* noSave;
    TEdit* edit;
    int previewed = 0;
};

class QuestionBoxKeys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetCaption(QStringLiteral("Rules"));
        form.Show();
        form.activateWindow();
        form.edit->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { form.hide(); }
    void ExpectFormUntouched()
    {
        EXPECT_EQ(form.Clicks(), 0) << "a button of the window below was pressed";
        EXPECT_EQ(form.previewed, 0) << "the window below saw the key";
        EXPECT_EQ(form.ModalResult(), mrNone);
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.edit->Text(), QStringLiteral("unsaved rule"));
    }

    ShowRealDialogs real;
    WorkForm form;
};

} // namespace

TEST_F(QuestionBoxKeys, EachKeyAnswersTheBoxAndNeverTheWindowBelow)
{
    struct Case
    {
        const char* why;
        MessageButtons buttons;
        int key;
        QString text;
        MessageAnswer answer;
    };
    const QString esc(QChar(27));
    const Case cases[] = {
        {"Escape is No for a Yes/No question", MessageButtons::YesNo, Qt::Key_Escape, esc, MessageAnswer::No},
        {"Escape is Cancel where there is one", MessageButtons::OkCancel, Qt::Key_Escape, esc, MessageAnswer::Cancel},
        {"... also beside Yes and No", MessageButtons::YesNoCancel, Qt::Key_Escape, esc, MessageAnswer::Cancel},
        {"Escape closes a notice with OK", MessageButtons::Ok, Qt::Key_Escape, esc, MessageAnswer::Ok},
        {"Enter takes the box's default, not the window's OK", MessageButtons::YesNo, Qt::Key_Return,
         QStringLiteral("\r"), MessageAnswer::Yes},
        {"a letter is the box's button, not the window's accelerator", MessageButtons::YesNo, Qt::Key_N,
         QStringLiteral("n"), MessageAnswer::No},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QString caption;
        testsupport::PressInNextDialog(c.key, c.text, &caption);
        const MessageAnswer answer =
            ShowMessage(MessageKind::Confirmation, QStringLiteral("Paste over row 3?"), c.buttons);
        EXPECT_EQ(caption, QStringLiteral("Confirm")) << "the real box was shown";
        EXPECT_EQ(answer, c.answer);
        ExpectFormUntouched();
    }
}

TEST_F(QuestionBoxKeys, EscapeCancelsAFileDialogAndStaysInIt)
{
    QString caption;
    testsupport::PressInNextDialog(Qt::Key_Escape, QString(QChar(27)), &caption);
    FileDialogRequest request;
    request.title = QStringLiteral("Import Network");
    request.filter = QStringLiteral("XML File (*.xml)");
    EXPECT_EQ(AskOpenFileName(request), QString());
    EXPECT_EQ(caption, QStringLiteral("Import Network"));
    ExpectFormUntouched();
}

// Without the guard nothing waits on the offscreen platform: the cautious
// answer, counted.
TEST(QuestionBoxHeadless, WithoutAScreenTheBoxIsNotShown)
{
    const int before = UnscriptedDialogCount();
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, QStringLiteral("?"), MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(UnscriptedDialogCount(), before + 1);
}
