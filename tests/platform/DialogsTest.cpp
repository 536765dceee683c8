#include "platform/Dialogs.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(DialogScript, AnswersInOrderAndRecordsWhatWasShown)
{
    DialogScript script;
    script.AnswerMessage(MessageAnswer::Yes);
    script.AnswerMessage(MessageAnswer::Cancel);
    script.AnswerFile("/tmp/out.eds");

    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "Row Already used. Do you want to overwrite the values?",
                          MessageButtons::YesNo),
              MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "File XML already exists. Do you want to add to this file?",
                          MessageButtons::YesNoCancel),
              MessageAnswer::Cancel);
    FileDialogRequest request;
    request.title = "Save EDS";
    request.filter = "EDS files (*.eds)";
    EXPECT_EQ(AskSaveFileName(request), "/tmp/out.eds");
    ShowErrorBox("Error! Project not Valid");

    ASSERT_EQ(script.Shown().size(), 4u);
    const ShownDialog& first = script.Shown()[0];
    EXPECT_EQ(first.type, ShownDialog::Type::Message);
    EXPECT_EQ(first.kind, MessageKind::Confirmation);
    EXPECT_EQ(first.buttons, MessageButtons::YesNo);
    EXPECT_EQ(first.caption, "Confirm");
    EXPECT_EQ(script.Shown()[2].type, ShownDialog::Type::SaveFile);
    EXPECT_EQ(script.Shown()[2].request.filter, "EDS files (*.eds)");
    const ShownDialog& error = script.Shown()[3];
    EXPECT_EQ(error.kind, MessageKind::Error);
    EXPECT_EQ(error.caption, "Error");
    EXPECT_EQ(error.text, "Error! Project not Valid");
    // The error box was not scripted: an OK-only notice needs no answer,
    // but it still counts, so a test sees every dialog it did not plan for.
    EXPECT_EQ(script.Unanswered(), 1);
    EXPECT_EQ(script.AnswersLeft(), 0);
}

TEST(DialogScript, MissingOrUnfittingAnswersGetTheCautiousOne)
{
    struct Case
    {
        MessageButtons buttons;
        MessageAnswer cautious;
    };
    const Case cases[] = {
        {MessageButtons::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, MessageAnswer::Cancel},
        {MessageButtons::YesNo, MessageAnswer::No},
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
    };
    for (const Case& c : cases) {
        DialogScript script;
        EXPECT_EQ(ShowMessage(MessageKind::Warning, "q", c.buttons), c.cautious);
        EXPECT_EQ(script.Unanswered(), 1);
    }

    DialogScript script;
    script.AnswerFile("/x");
    // A Yes/No question meets a file answer: it is not consumed.
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(script.AnswersLeft(), 1);
    script.AnswerMessage(MessageAnswer::Ok);
    EXPECT_EQ(AskOpenFileName({}), "/x");
    // OK does not fit a Yes/No question.
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(script.Unanswered(), 2);
    EXPECT_TRUE(AskOpenFileName({}).isEmpty()) << "no answer left: cancelled";
}

TEST(DialogScript, NestedScriptsAnswerNewestFirst)
{
    DialogScript outer;
    outer.AnswerMessage(MessageAnswer::Yes);
    {
        DialogScript inner;
        inner.AnswerMessage(MessageAnswer::No);
        EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageAnswer::No);
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "q", MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(outer.Shown().size(), 1u);
}

TEST(DialogScript, WithoutAScriptNothingWaitsOnTheOffscreenPlatform)
{
    const int before = UnscriptedDialogCount();
    EXPECT_EQ(ShowMessage(MessageKind::Confirmation, "Delete?", MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_TRUE(AskOpenFileName({}).isEmpty());
    EXPECT_EQ(UnscriptedDialogCount(), before + 2);
}
