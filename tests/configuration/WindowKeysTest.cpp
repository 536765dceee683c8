// Keys of the configuration windows driven as a user presses them: a real
// question box over the LoRaWAN rules window, and the address octets of the
// update window and of "Set Communication".
#include "configuration/UBoot.h"
#include "configuration/ULoRa_Set_Access.h"
#include "configuration/UParGen.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"
#include "widgets/LbButton.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;
using testsupport::WriteAll;

namespace {

QStringList Row(VOruVizizaZezo& grid, int row)
{
    QStringList out;
    for (int c = 1; c <= 9; ++c)
        out << grid.GetCellEx(c, row);
    return out;
}

} // namespace

// Escape in a row button's question answers No and stays in the box: the
// rules window keeps its unsaved rows and stays open, and its Cancel (the
// window's own Escape) is not pressed.
TEST(LoRaRulesQuestionKeys, EscapeInARowQuestionNeverReachesTheRulesWindow)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Load_English_Table();
    SW_Code = "DIZ5U15";
    Project_Folder = dir.path();
    FileName_ParGen = dir.filePath("ParGen.xml");
    FileName_LoRaWAN_SetAccess = dir.filePath("LoRaWAN_SetAccess.xml");
    ASSERT_TRUE(WriteAll(FileName_ParGen, "<Par_Gen>\n\t<LoRa_Payload_Size>51</LoRa_Payload_Size>\n"
                                          "\t<LoRa_FPort>Fixed</LoRa_FPort>\n</Par_Gen>\n"));
    Copy_Row_List.clear();
    Copy_Row_Check.clear();
    auto w = std::make_unique<TFLoRa_Set_Access>();
    {
        DialogScript script;
        w->Show();  // a showing reads the tables anew
        EXPECT_EQ(script.Shown().size(), 0u);
    }
    w->activateWindow();
    QApplication::processEvents();
    VOruVizizaZezo& grid = *w->ECG_LoRa_Uplink;
    // Two rules typed in this showing, not saved.
    const QStringList first = {"Y", "0", "4", "N", "N", "N", "", "1", "meter A"};
    const QStringList second = {"Y", "4", "2", "N", "N", "N", "", "1", "meter B"};
    for (int c = 1; c <= 9; ++c) {
        grid.SetCellEx(c, 1, first[c - 1]);
        grid.SetCellEx(c, 2, second[c - 1]);
    }
    ShowRealDialogs real;

    struct Case
    {
        const char* why;
        TLbButton* TFLoRa_Set_Access::*button;
        int row;
        QString question;
    };
    const Case cases[] = {
        {"Delete Row", &TFLoRa_Set_Access::Btn_DelRow, 2, "Are you sure to delete the Row number 2"},
        {"Paste Row over a filled row", &TFLoRa_Set_Access::Btn_PasteRow, 2, Language_List.value(1100)},
    };
    grid.SetRow(1);
    testsupport::Click(w->Btn_CopyRow);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        grid.SetRow(c.row);
        QString caption;
        testsupport::PressInNextDialog(Qt::Key_Escape, QString(QChar(27)), &caption);
        testsupport::Click((*w).*c.button);
        EXPECT_EQ(caption, "Confirm") << "the real box was shown";
        EXPECT_EQ(Row(grid, 1), first);
        EXPECT_EQ(Row(grid, 2), second) << "No: the row is as it was";
        EXPECT_EQ(w->ModalResult(), mrNone) << "the window's Cancel was not pressed";
        EXPECT_TRUE(w->isVisible());
    }
    EXPECT_FALSE(FileExists(FileName_LoRaWAN_SetAccess));
    w->Hide();
    w.reset();
    Project_Folder.clear();
    FileName_ParGen.clear();
    FileName_LoRaWAN_SetAccess.clear();
}

// The first part focused with its text selected, as Tab leaves it, and an
// address typed over it.
void Type_Address(TEdit* first, const char* typed)
{
    first->SetFocus();
    first->SelectAll();
    testsupport::TypeKeys(QString::fromLatin1(typed));
}

TEST(UpdateWindowOctets, TypingAnAddressOverTheLastOneReplacesEachPart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Create_All_Windows(dir.path());
    TFBoot& b = *FBoot;
    Last_IP_Address = "192.168.2.205";
    b.Form_Type = 1;
    b.FormShow();
    b.Show();
    b.activateWindow();
    QApplication::processEvents();
    struct Case
    {
        const char* typed;
        const char* address;
    };
    const Case cases[] = {
        {"127.0.0.1", "127.0.0.1"},
        {"192.168.2.10", "192.168.2.10"},
        {"10.0.0.010", "10.0.0.10"},   // never "010", which a resolver reads as 8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Type_Address(b.E_IP1, c.typed);
        EXPECT_EQ(b.IP_Text(), c.address);
    }
    b.Hide();
    Destroy_All_Windows();
}

TEST(ParGenOctets, TheEthernetChainSelectsEachNextPart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Load_English_Table();
    SW_Code = "DIZ5U15";
    Project_Folder = dir.path();
    FileName_ParGen = dir.filePath("ParGen.xml");
    auto w = std::make_unique<TFParGen>();
    DialogScript script;
    script.AnswerForm([&](QWidget&) {
        w->activateWindow();
        QApplication::processEvents();
        const char* ip[] = {"192", "168", "2", "205"};
        for (int i = 0; i < 4; ++i) {
            w->E_Ethernet_IP[i]->SetText(ip[i]);
            w->E_Ethernet_SM[i]->SetText("0");
        }
        // On from the last IP part into the mask: "127.0.0.1" then "255.255.255.0".
        Type_Address(w->E_Ethernet_IP[0], "127.0.0.1.255.255.255.00");
        QStringList typed;
        for (int i = 0; i < 4; ++i)
            typed << w->E_Ethernet_IP[i]->Text();
        for (int i = 0; i < 4; ++i)
            typed << w->E_Ethernet_SM[i]->Text();
        EXPECT_EQ(typed, QStringList({"127", "0", "0", "1", "255", "255", "255", "0"}));
        testsupport::Click(w->Btn_Cancel);
    });
    EXPECT_EQ(w->ShowModal(), mrCancel);
    w.reset();
    Project_Folder.clear();
    FileName_ParGen.clear();
}
