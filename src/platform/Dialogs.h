#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace platform {

// Message boxes and file dialogs. Every modal question of the program goes
// through here, so tests can answer it from a script instead of a user.

enum class MessageKind { Error, Warning, Information, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// The caption defaults to the kind's name ("Error", "Warning", "Information",
// "Confirm").
MessageAnswer ShowMessage(MessageKind kind, const QString& text,
                          MessageButtons buttons = MessageButtons::Ok, const QString& caption = {});
// The platform's error box, as used for errors that escape an event handler.
void ShowErrorBox(const QString& text);

struct FileDialogRequest
{
    QString title;
    QString filter;          // Qt style: "EDS files (*.eds);;All files (*)"
    QString initialFolder;
    QString fileName;
    QString defaultSuffix;   // added to a name typed without one
    bool confirmOverwrite = false;
};

// An empty result means the user cancelled.
QString AskOpenFileName(const FileDialogRequest& request);
QString AskSaveFileName(const FileDialogRequest& request);

// What was shown, as a test reads it back.
struct ShownDialog
{
    enum class Type { Message, OpenFile, SaveFile, Form };
    Type type = Type::Message;
    MessageKind kind = MessageKind::Information;
    MessageButtons buttons = MessageButtons::Ok;
    QString caption;
    QString text;            // message text, the file dialog's title, or the form's name
    FileDialogRequest request;
};

// What a script does with a form shown modally: it runs while the form shows,
// and drives it (clicks its buttons, sets its fields) until it closes.
using FormAction = std::function<void(QWidget& form)>;

// While a script lives, dialogs take their answers from it, in order, and are
// recorded instead of shown. A dialog with no fitting answer left gets the
// cautious answer (OK for a notice, otherwise No, Cancel or no file) and is
// counted as unanswered. A modal form without a fitting answer, or left open
// by its answer, closes with Cancel and counts as unanswered too. Scripts
// nest: the newest one answers.
class DialogScript
{
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    void AnswerMessage(MessageAnswer answer);
    void AnswerFile(const QString& path);  // an empty path cancels
    void AnswerForm(FormAction action);

    const std::vector<ShownDialog>& Shown() const { return shown_; }
    int Unanswered() const { return unanswered_; }
    int AnswersLeft() const { return static_cast<int>(answers_.size()); }

private:
    friend struct DialogScriptAccess;
    struct Answer
    {
        bool isFile = false;
        MessageAnswer message = MessageAnswer::Ok;
        QString path;
        bool isForm = false;
        FormAction form;
    };
    std::deque<Answer> answers_;
    std::vector<ShownDialog> shown_;
    int unanswered_ = 0;
    DialogScript* outer_ = nullptr;
};

// Dialogs asked for with no script and no screen to show them on (tests on
// the offscreen platform) are not shown; they get the cautious answer and are
// counted here, so nothing ever waits for a user who is not there.
int UnscriptedDialogCount();

// While one lives (and no script does), message boxes and file dialogs are
// shown and wait even without a screen: for tests of the boxes' own keys,
// which must then answer them with real key events.
class ShowRealDialogs
{
public:
    ShowRealDialogs();
    ~ShowRealDialogs();
    ShowRealDialogs(const ShowRealDialogs&) = delete;
    ShowRealDialogs& operator=(const ShowRealDialogs&) = delete;
};

// For the form layer. Asked before a form waits modally for a user: true when
// it must not wait (a script is installed, or there is no screen), with the
// script's action for it, if any. The form is recorded as shown (caption and
// name).
bool TakeFormAnswer(const QString& caption, const QString& name, FormAction* action);
// A form answered by a script (or by nobody) that is still open afterwards.
void ReportFormLeftOpen(const QString& caption);

} // namespace platform
