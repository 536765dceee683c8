// The windows made at start-up build their controls when first needed. Built
// late, a window must end up as it would have been built at once: in the
// language chosen by then (or, for the scan window, the start-up language it
// keeps), with what was set on it before kept.
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "support/TestSupport.h"

#include "configuration/UParGen.h"
#include "fieldbus/UDMXDefVal.h"
#include "fieldbus/UReceiveCAN.h"
#include "fieldbus/USetAccess.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "protocols/UOPC_UA_Add_Server.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DeferredWindows : public ::testing::Test
{
protected:
    void SetUp() override { Create_All_Windows(dir.path()); }
    void TearDown() override
    {
        Destroy_All_Windows();
        Language_Name = "English";
        Load_English_Table();
    }
    // Chooses a language file with these lines, as the options window does.
    void Choose_Language(const QByteArray& lines)
    {
        ASSERT_TRUE(platform::ForceFolders(dir.filePath("LANGUAGE")));
        ASSERT_TRUE(testsupport::WriteAll(dir.filePath("LANGUAGE/Italiano.lng"), lines));
        Language_Folder = dir.filePath("LANGUAGE");
        Language_Name = "Italiano";
        Load_Language();
        FRorudizezFirmWare->Change_Language();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(DeferredWindows, BuiltLaterInTheLanguageChosenMeanwhile)
{
    ASSERT_FALSE(FParGen->Built());
    ASSERT_FALSE(FReceiveCAN->Built());
    ASSERT_FALSE(FDMXDefVal->Built());
    // Built before the change: re-texted by it, as every window used to be.
    FSetAccess->BuildNow();
    Choose_Language("STR400 = Parametri generali\nSTR401 = Descrizione\nSTR3300 = Frame CAN ricevuti\n"
                    "STR4007 = Valore\nSTR3014 = Lettura\n");
    EXPECT_EQ(FSetAccess->TS_Modbus_Read->Caption(), "Lettura");
    // Not built yet: the caption follows at once, the rest comes with the build.
    EXPECT_EQ(FParGen->Caption(), "Parametri generali");
    EXPECT_FALSE(FParGen->Built());
    FParGen->BuildNow();
    EXPECT_EQ(FParGen->L_SW_Desc->Caption(), "Descrizione");
    FDMXDefVal->BuildNow();
    EXPECT_EQ(FDMXDefVal->ECG_DMX_Def_Val->GetCellEx(1, 0), "Valore");

    // The first modal showing builds the window before anything else sees it.
    platform::DialogScript script;
    bool built = false;
    script.AnswerForm([&](QWidget&) { built = FReceiveCAN->Built() && FReceiveCAN->ECG_CAN_Receive; });
    FReceiveCAN->ShowModal();
    EXPECT_TRUE(built);
    ASSERT_FALSE(script.Shown().empty());
    EXPECT_EQ(script.Shown().back().caption, "Frame CAN ricevuti");
}

TEST_F(DeferredWindows, ScanWindowKeepsTheStartLanguageWhenBuiltLater)
{
    const QString caption = Language_List.value(2100);
    const QString scanBy = Language_List.value(2103);
    Choose_Language("STR2100 = Scansione\nSTR2103 = Scansione per\n");
    FScanDecode->BuildNow();
    EXPECT_EQ(FScanDecode->Caption(), caption);
    EXPECT_EQ(FScanDecode->L_ScanBy->Caption(), scanBy);
    // The table itself is the chosen language again after the build.
    EXPECT_EQ(Language_List.value(2103), "Scansione per");
}

TEST_F(DeferredWindows, WhatWasSetBeforeTheBuildIsKept)
{
    // The main window and the M-Bus window set these before the first showing.
    FScanDecode->Form_Type = 1;
    FNewIDNode->Form_Type = 2;
    FOPC_UA_Add_Server->FormType = 2;
    for (platform::TForm* w : {static_cast<platform::TForm*>(FScanDecode), static_cast<platform::TForm*>(FNewIDNode),
                               static_cast<platform::TForm*>(FOPC_UA_Add_Server)})
        w->BuildNow();
    EXPECT_EQ(FScanDecode->Form_Type, 1);
    EXPECT_EQ(FNewIDNode->Form_Type, 2);
    EXPECT_EQ(FOPC_UA_Add_Server->FormType, 2);
}

TEST(DeferredWindowsElsewhere, WindowMadeOutsideTheStartIsBuiltAtOnce)
{
    TFDMXDefVal window;
    EXPECT_TRUE(window.Built());
    EXPECT_NE(window.ECG_DMX_Def_Val, nullptr);
}
