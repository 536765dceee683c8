#include "shell/UAbout.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class About : public ::testing::Test
{
protected:
    void TearDown() override { Destroy_All_Windows(); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(About, ShowsTheBuildInEveryLanguage)
{
    ASSERT_TRUE(ForceFolders(dir.filePath("LANGUAGE")));
    ASSERT_TRUE(testsupport::WriteAll(dir.filePath("LANGUAGE/Italiano.lng"), "STR12 = Informazioni\nSTR313 = Annulla\n"));
    ASSERT_TRUE(testsupport::WriteAll(dir.filePath("Vudidid.xml"),
                                      "<Conf_Settings><lastlang><language>Italiano</language></lastlang></Conf_Settings>"));
    Create_All_Windows(dir.path());
    ASSERT_EQ(FRorudizezFirmWare->Btn_Info->Hint(), "Informazioni");

    // Works without a configuration, and OK closes it.
    DialogScript script;
    script.AnswerForm([&](QWidget& form) {
        EXPECT_EQ(&form, FAbout);
        EXPECT_EQ(FAbout->ClientWidth(), 425);
        EXPECT_EQ(FAbout->ClientHeight(), 148);
        EXPECT_EQ(FAbout->BorderStyle(), bsSingle);
        EXPECT_EQ(FAbout->BorderIcons(), biSystemMenu);
        const std::pair<TLabel*, const char*> texts[] = {
            {FAbout->Label1, "Software Vudidid "}, {FAbout->Label2, "M-Bus Master / LoRaWAN - Converter"},
            {FAbout->Label3, "Software Code : "},  {FAbout->Label9, "DIZ5U15"},
            {FAbout->Label5, "Version :"},         {FAbout->Label10, "1.002"},
            {FAbout->Label11, "Document Code :"},  {FAbout->Label12, "RIR5I15"},
        };
        for (const auto& [label, text] : texts)
            EXPECT_EQ(label->Caption(), QString::fromLatin1(text));
        EXPECT_EQ(FAbout->LbButton1->Caption(), "OK");
        EXPECT_FALSE(FAbout->Image2->Picture().Empty());
        testsupport::Click(FAbout->LbButton1);
    });
    FRorudizezFirmWare->Btn_Click(FRorudizezFirmWare->Btn_Info);
    EXPECT_EQ(script.Unanswered(), 0);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, "FAbout");
    EXPECT_EQ(FAbout->ModalResult(), mrOk);
    EXPECT_EQ(TFAbout::Home_Page_Address(), "http://www.rizova.com/HOME/default.asp?frompg=DIZ5U15");
}
