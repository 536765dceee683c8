// Step 4 of the main window opens the network editor, which the start-up
// creates with the paste dialog in their places among the windows.
#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"
#include "support/TestSupport.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "widgets/LbButton.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class MeterBusStep : public ::testing::Test
{
protected:
    void SetUp() override { Create_All_Windows(dir.path()); }
    void TearDown() override
    {
        Destroy_All_Windows();
        EXPECT_EQ(FMeter_Bus, nullptr);
        EXPECT_EQ(FNewIDNode, nullptr);
    }
    void Open(const QString& name)
    {
        ASSERT_TRUE(ForceFolders(JoinPath(Projects_Folder, name)));
        Project_Name = name;
        Project_Folder = JoinPath(Projects_Folder, name);
        FRorudizezFirmWare->Set_Files();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(MeterBusStep, TheStepShowsTheEditorForTheOpenConfiguration)
{
    ASSERT_NE(FMeter_Bus, nullptr);
    ASSERT_NE(FNewIDNode, nullptr);
    FMeter_Bus->BuildNow();   // as its first showing does
    EXPECT_EQ(FMeter_Bus->L_SW_Code->Caption(), "DIZ5U15");
    EXPECT_EQ(FRorudizezFirmWare->Btn_MBus->Caption(), "M-Bus");

    // Without a configuration the step is refused.
    {
        DialogScript script;
        FRorudizezFirmWare->Btn_Click(FRorudizezFirmWare->Btn_MBus);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Error! Project not Valid");
    }

    Open("Plant");
    DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& w = static_cast<TFMeter_Bus&>(form);
        w.E_New_Node_Desc->SetText("Heat");
        w.E_New_Node_ID_Pri->SetText("5");
        w.btn_Add_NodeClick();
        w.LbButton2Click();
    });
    FRorudizezFirmWare->Btn_Click(FRorudizezFirmWare->Btn_MBus);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].type, ShownDialog::Type::Form);
    EXPECT_EQ(script.Unanswered(), 0);
    const MBus_Read_Result saved = Read_MBus_Network(JoinPath(Project_Folder, "M_Bus.xml"));
    ASSERT_EQ(saved.Nodes.size(), 1u);
    EXPECT_EQ(saved.Nodes[0].Description, "Heat");
}

TEST_F(MeterBusStep, ALanguageChangeRetextsTheEditorAndTheDialog)
{
    // The editor shown once before the change, the dialog not yet.
    FMeter_Bus->BuildNow();
    Language_List[1704] = "Importa rete";
    Language_List[2000] = "Nuovo nodo";
    FRorudizezFirmWare->Change_Language();
    EXPECT_EQ(FMeter_Bus->Btn_ImportNet->Caption(), "Importa rete");
    EXPECT_EQ(FNewIDNode->Caption(), "Nuovo nodo");
    EXPECT_FALSE(FNewIDNode->Built());
}
