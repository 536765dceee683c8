#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <atomic>
#include <cstdio>

namespace platform {

namespace {

DialogScript* g_script = nullptr;
std::atomic<int> g_unscripted{0};
int g_showReal = 0;

QString DefaultCaption(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error: return QStringLiteral("Error");
    case MessageKind::Warning: return QStringLiteral("Warning");
    case MessageKind::Information: return QStringLiteral("Information");
    case MessageKind::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

MessageAnswer CautiousAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return MessageAnswer::Ok;
    case MessageButtons::OkCancel: return MessageAnswer::Cancel;
    case MessageButtons::YesNo: return MessageAnswer::No;
    case MessageButtons::YesNoCancel: return MessageAnswer::Cancel;
    }
    return MessageAnswer::Cancel;
}

bool Allowed(MessageButtons buttons, MessageAnswer answer)
{
    switch (buttons) {
    case MessageButtons::Ok: return answer == MessageAnswer::Ok;
    case MessageButtons::OkCancel: return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
    case MessageButtons::YesNo: return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::YesNoCancel: return answer != MessageAnswer::Ok;
    }
    return false;
}

// Nowhere to show a window to a user.
bool NoScreen()
{
    const QString name = QGuiApplication::platformName();
    return !qApp || name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

// No script and nowhere to show a dialog: answer without waiting.
bool Headless() { return !qApp || (g_showReal == 0 && NoScreen()); }

void ReportUnscripted(const QString& what)
{
    ++g_unscripted;
    std::fprintf(stderr, "dialog not shown (no screen): %s\n", qPrintable(what));
}

QString AskFile(ShownDialog::Type type, const FileDialogRequest& request);

} // namespace

struct DialogScriptAccess
{
    static MessageAnswer Message(DialogScript& s, const ShownDialog& shown)
    {
        s.shown_.push_back(shown);
        if (!s.answers_.empty() && !s.answers_.front().isFile && !s.answers_.front().isForm &&
            Allowed(shown.buttons, s.answers_.front().message)) {
            const MessageAnswer a = s.answers_.front().message;
            s.answers_.pop_front();
            return a;
        }
        ++s.unanswered_;
        return CautiousAnswer(shown.buttons);
    }
    static QString File(DialogScript& s, const ShownDialog& shown)
    {
        s.shown_.push_back(shown);
        if (!s.answers_.empty() && s.answers_.front().isFile) {
            const QString path = s.answers_.front().path;
            s.answers_.pop_front();
            return path;
        }
        ++s.unanswered_;
        return {};
    }
    static FormAction Form(DialogScript& s, const ShownDialog& shown)
    {
        s.shown_.push_back(shown);
        if (!s.answers_.empty() && s.answers_.front().isForm) {
            FormAction action = std::move(s.answers_.front().form);
            s.answers_.pop_front();
            return action;
        }
        ++s.unanswered_;
        return {};
    }
    static void LeftOpen(DialogScript& s) { ++s.unanswered_; }
};

namespace {

QString AskFile(ShownDialog::Type type, const FileDialogRequest& request)
{
    ShownDialog shown;
    shown.type = type;
    shown.text = request.title;
    shown.request = request;
    if (g_script)
        return DialogScriptAccess::File(*g_script, shown);
    if (Headless()) {
        ReportUnscripted(request.title);
        return {};
    }
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialFolder, request.filter);
    dialog.setAcceptMode(type == ShownDialog::Type::SaveFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(type == ShownDialog::Type::SaveFile ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

MessageAnswer ShowMessage(MessageKind kind, const QString& text, MessageButtons buttons, const QString& caption)
{
    ShownDialog shown;
    shown.type = ShownDialog::Type::Message;
    shown.kind = kind;
    shown.buttons = buttons;
    shown.caption = caption.isEmpty() ? DefaultCaption(kind) : caption;
    shown.text = text;
    if (g_script)
        return DialogScriptAccess::Message(*g_script, shown);
    if (Headless()) {
        ReportUnscripted(text);
        return CautiousAnswer(buttons);
    }

    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case MessageKind::Error: icon = QMessageBox::Critical; break;
    case MessageKind::Warning: icon = QMessageBox::Warning; break;
    case MessageKind::Information: icon = QMessageBox::Information; break;
    case MessageKind::Confirmation: icon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
    case MessageButtons::Ok: standard = QMessageBox::Ok; break;
    case MessageButtons::OkCancel: standard = QMessageBox::Ok | QMessageBox::Cancel; break;
    case MessageButtons::YesNo: standard = QMessageBox::Yes | QMessageBox::No; break;
    case MessageButtons::YesNoCancel: standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    }
    QMessageBox box(icon, shown.caption, text, standard, QApplication::activeWindow());
    // Escape and the close box give the question's own cancel answer (No for
    // Yes/No), never a key of the window below.
    switch (CautiousAnswer(buttons)) {
    case MessageAnswer::Ok: box.setEscapeButton(QMessageBox::Ok); break;
    case MessageAnswer::No: box.setEscapeButton(QMessageBox::No); break;
    default: box.setEscapeButton(QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return MessageAnswer::Ok;
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return CautiousAnswer(buttons);
    }
}

void ShowErrorBox(const QString& text)
{
    ShowMessage(MessageKind::Error, text, MessageButtons::Ok);
}

QString AskOpenFileName(const FileDialogRequest& request)
{
    return AskFile(ShownDialog::Type::OpenFile, request);
}

QString AskSaveFileName(const FileDialogRequest& request)
{
    return AskFile(ShownDialog::Type::SaveFile, request);
}

DialogScript::DialogScript() : outer_(g_script) { g_script = this; }

DialogScript::~DialogScript()
{
    if (g_script == this)
        g_script = outer_;
}

void DialogScript::AnswerMessage(MessageAnswer answer)
{
    Answer a;
    a.message = answer;
    answers_.push_back(std::move(a));
}

void DialogScript::AnswerFile(const QString& path)
{
    Answer a;
    a.isFile = true;
    a.path = path;
    answers_.push_back(std::move(a));
}

void DialogScript::AnswerForm(FormAction action)
{
    Answer a;
    a.isForm = true;
    a.form = std::move(action);
    answers_.push_back(std::move(a));
}

bool TakeFormAnswer(const QString& caption, const QString& name, FormAction* action)
{
    ShownDialog shown;
    shown.type = ShownDialog::Type::Form;
    shown.caption = caption;
    shown.text = name;
    if (g_script) {
        *action = DialogScriptAccess::Form(*g_script, shown);
        return true;
    }
    if (NoScreen()) {
        ReportUnscripted(caption.isEmpty() ? name : caption);
        *action = nullptr;
        return true;
    }
    return false;
}

void ReportFormLeftOpen(const QString& caption)
{
    if (g_script) {
        DialogScriptAccess::LeftOpen(*g_script);
        return;
    }
    ReportUnscripted(caption);
}

int UnscriptedDialogCount() { return g_unscripted.load(); }

ShowRealDialogs::ShowRealDialogs() { ++g_showReal; }

ShowRealDialogs::~ShowRealDialogs() { --g_showReal; }

} // namespace platform
