#pragma once

#include "platform/ControlBase.h"
#include "platform/Messages.h"

#include <exception>
#include <functional>
#include <vector>

class QEventLoop;

namespace platform {

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
                       mrNo = 7, mrClose = 8, mrHelp = 9, mrTryAgain = 10, mrContinue = 11, mrAll = 12,
                       mrNoToAll = 13, mrYesToAll = 14;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
using enum TPosition;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4;

using TCloseEvent = std::function<void(QObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(QObject* sender, bool& canClose)>;

// A window of the program. Shown modally it returns its modal result; setting
// a non-zero modal result closes it (after its close query and close event).
// Enter and Escape that the focused control does not take go to the form's
// controls as dialog keys, letters as accelerators.
class TForm : public TControlOf<QWidget>, public MessageReceiver
{
public:
    explicit TForm(QWidget* owner = nullptr);
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& c) { setWindowTitle(c); }

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }

    int ClientWidth() const override { return width(); }
    int ClientHeight() const override { return height(); }
    void SetClientWidth(int w);
    void SetClientHeight(int h);
    void SetBounds(int left, int top, int width, int height) override;

    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    QWidget* ActiveControl() const;
    void SetActiveControl(QWidget* control);

    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r);
    bool Modal() const { return modal_; }

    // A window may build its controls when first needed: steps queued here
    // run, in order, before its first showing (modal or not), or at BuildNow.
    void BuildLater(std::function<void()> step) { pendingBuild_.push_back(std::move(step)); }
    void BuildNow();
    bool Built() const { return pendingBuild_.empty(); }

    TModalResult ShowModal();
    void Show();
    void Hide() { hide(); }
    // The close box: a modal form ends with Cancel; a form that is not modal
    // asks its close query and close event and then hides (or is freed).
    void Close();

    // Dialog keys and accelerator characters for the form's controls; true
    // when one took it.
    bool DispatchDialogKey(int key, TShiftState shift);
    bool DispatchDialogChar(QChar ch);
    // True when the focused control is a button other than a radio button.
    bool ButtonHasFocus() const;

    void MessageReceived(TMessage& message) override;

    TNotifyEvent OnShow, OnHide, OnResize, OnActivate, OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

protected:
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction& action);
    virtual void WndProc(TMessage& message) {}

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ApplyWindowFlags();
    void ApplyFixedSize();
    void ApplyPosition();
    bool CloseModal();

    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = poDesigned;
    bool keyPreview_ = false;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    QEventLoop* loop_ = nullptr;
    std::vector<std::function<void()>> pendingBuild_;
};

// The form that holds `control` (the control itself when it is a form).
TForm* GetParentForm(QWidget* control);

// The application object: main form, message loop and the last-resort error
// handling of event handlers.
class TApplication
{
public:
    TForm* MainForm() const;
    // The first form set becomes the main form; closing it ends the loop.
    void SetMainForm(TForm* form);
    // Shows the main form and runs the loop until it closes; the loop's code.
    int Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    void HandleException(std::exception_ptr error) { ShowException(error); }

private:
    friend TApplication& Application();
    TApplication() = default;
    bool terminated_ = false;
};

TApplication& Application();

} // namespace platform
