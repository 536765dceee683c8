// DeviceNet network and byte offsets: the slave table's checks and file, the
// offsets' checks, their file byte for byte, and the offset window showing
// one slave's bytes at a time, driven by mouse clicks on the slave list.
#include "fieldbus/UDNet.h"
#include "fieldbus/UDefOffset.h"

#include "RuleMemberTest.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

using DNet = Member<TFDNet>;

namespace {

const QByteArray kNet = "<DNET_Net>\n"
                        "\t<row ID=\"3\" NB_IN=\"2\" NB_OUT=\"1\" Mnemonic=\"Drive\" />\n"
                        "\t<row ID=\"$10\" NB_IN=\"0\" NB_OUT=\"3\" Mnemonic=\"Valve island\" />\n"
                        "</DNET_Net>\n"
                        "<!--SW_VERSION = 1.000-->\n";

const QByteArray kOffsets = "<Define_Offset>\n"
                            "\t<Nodo_DNET>\n"
                            "\t\t<ByteIN>\n"
                            "\t\t\t<row Offset=\"10\" Mnemonic=\"Speed low\" />\n"
                            "\t\t\t<row Offset=\"None\" Mnemonic=\"\" />\n"
                            "\t\t</ByteIN>\n"
                            "\t\t<ByteOUT>\n"
                            "\t\t\t<row Offset=\"1439\" Mnemonic=\"Command\" />\n"
                            "\t\t</ByteOUT>\n"
                            "\t</Nodo_DNET>\n"
                            "\t<Nodo_DNET>\n"
                            "\t\t<ByteIN />\n"
                            "\t\t<ByteOUT>\n"
                            "\t\t\t<row Offset=\"0\" Mnemonic=\"Coil 1\" />\n"
                            "\t\t\t<row Offset=\"None\" Mnemonic=\"\" />\n"
                            "\t\t\t<row Offset=\"10\" Mnemonic=\"Coil 3\" />\n"
                            "\t\t</ByteOUT>\n"
                            "\t</Nodo_DNET>\n"
                            "</Define_Offset>\n"
                            "<!--SW_VERSION = 1.000-->\n";

TSlave_DN Slave(int id, QStringList in, QStringList out)
{
    TSlave_DN s;
    s.ID = static_cast<uint8_t>(id);
    s.ByteIN = static_cast<uint16_t>(in.size());
    s.ByteOUT = static_cast<uint16_t>(out.size());
    s.SL_ByteIN = in;
    s.SL_ByteOUT = out;
    for (int i = 0; i < in.size(); ++i)
        s.SL_ByteIN_M << QString();
    for (int i = 0; i < out.size(); ++i)
        s.SL_ByteOUT_M << QString();
    return s;
}

} // namespace

// ---------------------------------------------------------------------------
// The slave table.

TEST_F(DNet, Checks)
{
    const QString id = "Error in row 1!! ID must be 0 or 63";
    const QString in = "Error in row 1!! Number Byte IN must be 0 or 65535";
    const QString out = "Error in row 1!! Number Byte OUT must be 0 or 65535";
    Run_Checks({
        {0, {"0", "0", "0", ""}, "", "lower bounds"},
        {0, {"63", "65535", "65535", "x"}, "", "upper bounds"},
        {0, {"$3F", "0x10", " 5", ""}, "", "hexadecimal and a leading blank"},
        {0, {"64", "0", "0", ""}, id, "ID above 63"},
        {0, {"-1", "0", "0", ""}, id, "negative ID"},
        {0, {"abc", "0", "0", ""}, id, "ID not a number"},
        {0, {" ", "0", "0", ""}, id, "a blank ID is not empty: the row is checked"},
        {0, {"1", "65536", "0", ""}, in, "too many input bytes"},
        {0, {"1", "", "0", ""}, in, "input count missing"},
        {0, {"64", "65536", "0", ""}, id, "the ID is checked first"},
        {0, {"1", "0", "-1", ""}, out, "negative output count"},
        {0, {"1", "0", "7x", ""}, out, "output count not a number"},
    });
}

TEST_F(DNet, LastRowAndEmptyIdEndTheTable)
{
    Show();
    for (int r = 1; r <= 64; ++r)
        Put(*w->ESG, r, {QString::number(r - 1), "1", "1", ""});
    Put(*w->ESG, 64, {"99", "1", "1", ""});
    auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error in row 64!! ID must be 0 or 63");
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_FALSE(QFile::exists(File()));

    // An empty ID in row 5: rows 6 to 64 are neither checked nor saved.
    w->ESG->SetCellEx(1, 5, "");
    EXPECT_TRUE(Ok().empty());
    const QByteArray saved = ReadAll(File());
    EXPECT_EQ(saved.count("<row "), 4);
    EXPECT_FALSE(saved.contains("99"));
}

TEST_F(DNet, SavesByteForByteAndCancelKeepsTheFile)
{
    Show();
    EXPECT_EQ(w->ESG->GetCellEx(1, 0), "ID Slave");
    Put(*w->ESG, 1, {"3", "2", "1", "Drive"});
    Put(*w->ESG, 2, {"$10", "0", "3", "Valve island"});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), kNet);

    // Edits then Cancel: the next showing shows the file only.
    Show();
    Put(*w->ESG, 3, {"7", "1", "1", "typed"});
    Show();
    EXPECT_EQ(Row(*w->ESG, 2), (QStringList{"2", "$10", "0", "3", "Valve island"}));
    EXPECT_EQ(Row(*w->ESG, 3), (QStringList{"3", "", "", "", ""}));
    Ok();
    EXPECT_EQ(ReadAll(File()), kNet);

    // Every attribute is mandatory.
    ASSERT_TRUE(WriteAll(File(), "<DNET_Net><row ID=\"1\" NB_IN=\"2\" NB_OUT=\"3\" Mnemonic=\"a\"/>"
                                 "<row ID=\"2\" NB_IN=\"2\"/></DNET_Net>"));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, Rule_Missing_Attribute_Message() + "\nFile \"" + File() + "\", row 2, attribute \"NB_OUT\"");
    EXPECT_EQ(Row(*w->ESG, 1), (QStringList{"1", "1", "2", "3", "a"}));
    // What was read before the missing one stays.
    EXPECT_EQ(Row(*w->ESG, 2), (QStringList{"2", "2", "2", "", ""}));
}

TEST_F(DNet, InsertPutsNothingAndHintsByColumn)
{
    Show();
    Put(*w->ESG, 1, {"1", "2", "3", "m"});
    w->ESG->SetRow(1);
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(Row(*w->ESG, 1), (QStringList{"1", "", "", "", ""}));
    EXPECT_EQ(Row(*w->ESG, 2), (QStringList{"2", "1", "2", "3", "m"}));
    QString hint;
    w->GridHint(w->ESG, 0, 1, hint);
    EXPECT_EQ(hint, "Insert the MAC ID of the DeviceNet Slave (0-63)");
    w->GridHint(w->ESG, 2, 1, hint);
    EXPECT_TRUE(hint.isEmpty());
}

// ---------------------------------------------------------------------------
// The offsets' checks.

TEST(DNetOffsets, Checks)
{
    const QString dup = "Error in ByteOUT! The same byte of LoRaWAN is used in two bytes DeviceNet.\n\r( ";
    const struct
    {
        std::vector<TSlave_DN> slaves;
        QString fault;
        const char* why;
    } cases[] = {
        {{}, "", "no slave"},
        {{Slave(1, {"0", "None"}, {"0", "1439"})}, "", "an input and an output byte may share a position"},
        {{Slave(1, {"5"}, {}), Slave(2, {"5"}, {})}, "", "two input bytes on one position pass"},
        {{Slave(1, {}, {"None", "None"})}, "", "bytes not passed take no position"},
        {{Slave(4, {}, {"3", "10"}), Slave(9, {}, {"None", "10"})},
         dup + "First ID = 4 Byte = 1, Second ID = 9 Byte = 1)", "two slaves on position 10"},
        {{Slave(4, {}, {"7", "$7"})}, dup + "First ID = 4 Byte = 0, Second ID = 4 Byte = 1)",
         "one slave twice, once in hexadecimal"},
        // The fault mended: these indexed outside the table of positions.
        {{Slave(4, {}, {"1440"})},
         "Error in ByteOUT! The offset 1440 is outside the LoRaWAN data array (0 to 1439).\n\r( First ID = 4 Byte = 0)",
         "output offset one beyond the array"},
        {{Slave(4, {}, {"None", "-1"})},
         "Error in ByteOUT! The offset -1 is outside the LoRaWAN data array (0 to 1439).\n\r( First ID = 4 Byte = 1)",
         "negative output offset"},
        {{Slave(6, {"None", "99999999999"}, {})},
         "Error in ByteIN! The offset 99999999999 is outside the LoRaWAN data array (0 to 1439).\n\r( First ID = 6 "
         "Byte = 1)",
         "input offset far beyond the array"},
        {{Slave(6, {"abc"}, {"x1"})}, "", "text that is no number is not passed, as None"},
    };
    for (const auto& c : cases) {
        dnet::TByte_Check check;
        EXPECT_EQ(dnet::Offset_Fault(c.slaves, kDN_Max_Byte, kDN_Max_Byte, check), c.fault) << c.why;
        EXPECT_EQ(check.size(), size_t(kDN_Max_Byte)) << c.why;
    }
}

// ---------------------------------------------------------------------------
// The offset window.

class DefOffset : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = "DIZ5U15";
        Project_Folder = dir.path();
        FileName_DNETM_Net = dir.filePath("DNETM_Net.xml");
        FileName_DNETM_DefOff = dir.filePath("DNETM_DefOff.xml");
        w = std::make_unique<TFDefOffset>();
    }
    void TearDown() override
    {
        if (w && w->isVisible())
            w->Hide();
        w.reset();
        Project_Folder.clear();
        FileName_DNETM_Net.clear();
        FileName_DNETM_DefOff.clear();
    }
    std::vector<platform::ShownDialog> Show()
    {
        platform::DialogScript script;
        w->FormShow();
        return script.Shown();
    }
    std::vector<platform::ShownDialog> Ok()
    {
        platform::DialogScript script;
        w->SetModalResult(platform::mrNone);
        w->bitbtn1Click(w->Btn_OK);
        return script.Shown();
    }
    // A real click on a row of the slave list.
    void Click_Slave(int row)
    {
        const platform::TRect r = w->ECG_DN_Slaves->CellRect(1, row);
        ASSERT_FALSE(r.Right <= r.Left) << "row " << row << " not in view";
        testsupport::Click(w->ECG_DN_Slaves->ClientSurface(),
                           QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        QCoreApplication::processEvents();
    }
    QStringList Bytes(VOruVizizaZezo* g)
    {
        QStringList out;
        for (int r = 1; r < g->RowCount(); ++r)
            out << g->GetCellEx(0, r) + ":" + g->GetCellEx(1, r) + ":" + g->GetCellEx(2, r);
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<TFDefOffset> w;
};

TEST_F(DefOffset, NoNetworkGivesAnEmptyFile)
{
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->ECG_DN_Slaves->RowCount(), 1);
    EXPECT_EQ(w->ECG_ByteIN->RowCount(), 1);
    EXPECT_EQ(w->ECG_ByteOUT->RowCount(), 1);
    EXPECT_EQ(w->ECG_ByteIN->GetCellEx(1, 0), "Offset");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(FileName_DNETM_DefOff), "<Define_Offset />\n<!--SW_VERSION = 1.000-->\n");
    EXPECT_FALSE(QFile::exists(FileName_DNETM_Net));  // never written here
}

TEST_F(DefOffset, ReadsAndWritesByteForByte)
{
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, kNet));
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, kOffsets));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->ECG_DN_Slaves->GetCellEx(0, 2), "$10");
    EXPECT_EQ(w->List_Slaves_DN[1].ID, 16);
    EXPECT_EQ(w->Slave_Before_Select, 0);
    EXPECT_EQ(Bytes(w->ECG_ByteIN), (QStringList{"0:10:Speed low", "1:None:"}));
    EXPECT_EQ(Bytes(w->ECG_ByteOUT), (QStringList{"0:1439:Command"}));
    // "None" then every position.
    const QStringList& items = w->ECG_ByteOUT->Columns().GetItem(1)->ComboItems();
    ASSERT_EQ(items.size(), kDN_Max_Byte + 1);
    EXPECT_EQ(items.front(), "None");
    EXPECT_EQ(items.back(), "1439");
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(FileName_DNETM_DefOff), kOffsets);
    EXPECT_EQ(ReadAll(FileName_DNETM_Net), kNet);
}

TEST_F(DefOffset, NetworkGrownOrShrunkSinceTheOffsets)
{
    // The first slave now has one input byte, a third slave came.
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net,
                         "<DNET_Net><row ID=\"3\" NB_IN=\"1\" NB_OUT=\"1\" Mnemonic=\"\"/>"
                         "<row ID=\"16\" NB_IN=\"0\" NB_OUT=\"3\" Mnemonic=\"\"/>"
                         "<row ID=\"20\" NB_IN=\"1\" NB_OUT=\"0\" Mnemonic=\"new\"/></DNET_Net>"));
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, kOffsets));
    Show();
    ASSERT_EQ(w->List_Slaves_DN.size(), 3u);
    EXPECT_EQ(w->List_Slaves_DN[0].SL_ByteIN, QStringList{"10"});
    EXPECT_EQ(w->List_Slaves_DN[2].SL_ByteIN, QStringList{"None"});
    EXPECT_TRUE(Ok().empty());
    const QByteArray saved = ReadAll(FileName_DNETM_DefOff);
    EXPECT_EQ(saved.count("<Nodo_DNET>"), 3);
    EXPECT_TRUE(saved.contains("\t\t<ByteIN>\n\t\t\t<row Offset=\"None\" Mnemonic=\"\" />\n\t\t</ByteIN>\n"
                               "\t\t<ByteOUT />\n\t</Nodo_DNET>\n</Define_Offset>"));
}

TEST_F(DefOffset, ANetworkFileNotWellFormedIsReported)
{
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, "<DNET_Net><row ID=\"3\""));
    const auto shown = Show();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_FALSE(shown[0].text.isEmpty());
    EXPECT_TRUE(w->List_Slaves_DN.empty());
    EXPECT_EQ(w->ECG_DN_Slaves->RowCount(), 1);
    EXPECT_EQ(w->Slave_Before_Select, -1);
}

TEST_F(DefOffset, ABrokenCountGivesNoBytes)
{
    // A count that is no number must not become 65535 bytes by the 16-bit cut.
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, "<DNET_Net><row ID=\"3\" NB_IN=\"x\" NB_OUT=\"70000\"/></DNET_Net>"));
    EXPECT_TRUE(Show().empty());
    ASSERT_EQ(w->List_Slaves_DN.size(), 1u);
    EXPECT_EQ(w->List_Slaves_DN[0].ByteIN, 0);
    EXPECT_EQ(w->List_Slaves_DN[0].ByteOUT, 0);
    EXPECT_EQ(w->ECG_DN_Slaves->GetCellEx(1, 1), "x");
    EXPECT_EQ(w->ECG_DN_Slaves->GetCellEx(3, 1), "");
}

TEST_F(DefOffset, OutOfRangeOffsetIsRefusedAndNothingSaved)
{
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, kNet));
    QByteArray edited = kOffsets;
    edited.replace("Offset=\"1439\"", "Offset=\"5000\"");
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, edited));
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Bytes(w->ECG_ByteOUT), (QStringList{"0:5000:Command"}));  // shown, to be mended
    const auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(shown[0].text, "Error in ByteOUT! The offset 5000 is outside the LoRaWAN data array (0 to 1439).\n\r"
                             "( First ID = 3 Byte = 0)");
    EXPECT_NE(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(FileName_DNETM_DefOff), edited);
}

TEST_F(DefOffset, DuplicateOutputAcrossSlavesIsRefused)
{
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, kNet));
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, kOffsets));
    Show();
    w->ECG_ByteOUT->SetCellEx(1, 1, "10");  // slave 3's only output byte, as slave 16's third
    const auto shown = Ok();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error in ByteOUT! The same byte of LoRaWAN is used in two bytes DeviceNet.\n\r"
                             "( First ID = 3 Byte = 0, Second ID = 16 Byte = 2)");
    EXPECT_EQ(ReadAll(FileName_DNETM_DefOff), kOffsets);
}

TEST_F(DefOffset, SwitchingSlavesByClickKeepsEachSlavesEdits)
{
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, kNet));
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, kOffsets));
    {
        platform::DialogScript script;
        w->Show();  // runs the showing as the user's opening does
        QCoreApplication::processEvents();
        EXPECT_TRUE(script.Shown().empty());
    }
    ASSERT_EQ(w->Slave_Before_Select, 0);
    w->ECG_ByteIN->SetCellEx(1, 2, "20");
    w->ECG_ByteIN->SetCellEx(2, 2, "Speed high");

    Click_Slave(2);
    EXPECT_EQ(w->Slave_Before_Select, 1);
    EXPECT_EQ(w->ECG_DN_Slaves->Row(), 2);
    EXPECT_EQ(Bytes(w->ECG_ByteIN), QStringList{});
    EXPECT_EQ(Bytes(w->ECG_ByteOUT), (QStringList{"0:0:Coil 1", "1:None:", "2:10:Coil 3"}));
    w->ECG_ByteOUT->SetCellEx(1, 2, "11");

    Click_Slave(1);
    EXPECT_EQ(Bytes(w->ECG_ByteIN), (QStringList{"0:10:Speed low", "1:20:Speed high"}));
    Click_Slave(2);
    EXPECT_EQ(Bytes(w->ECG_ByteOUT), (QStringList{"0:0:Coil 1", "1:11:", "2:10:Coil 3"}));
    // A click on the header shows no other slave and loses nothing.
    w->ECG_ByteOUT->SetCellEx(2, 1, "Coil one");
    Click_Slave(0);
    EXPECT_EQ(w->Slave_Before_Select, 1);

    // The tab the user leaves stays for the next showing.
    w->PC_Bytes->SetActivePage(w->TS_ByteOUT);
    {
        platform::DialogScript script;
        w->SetModalResult(platform::mrNone);
        testsupport::Click(w->Btn_OK);
        EXPECT_TRUE(script.Shown().empty());
    }
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    const QByteArray saved = ReadAll(FileName_DNETM_DefOff);
    EXPECT_TRUE(saved.contains("<row Offset=\"20\" Mnemonic=\"Speed high\" />")) << saved.constData();
    EXPECT_TRUE(saved.contains("<row Offset=\"0\" Mnemonic=\"Coil one\" />")) << saved.constData();
    EXPECT_TRUE(saved.contains("<row Offset=\"11\" Mnemonic=\"\" />")) << saved.constData();
    w->Hide();

    // Cancel's edits are gone at the next showing; the tab is kept.
    w->ECG_ByteOUT->SetCellEx(1, 1, "None");
    Show();
    EXPECT_EQ(w->PC_Bytes->ActivePage(), w->TS_ByteOUT);
    EXPECT_EQ(w->Slave_Before_Select, 0);
    EXPECT_EQ(Bytes(w->ECG_ByteOUT), (QStringList{"0:1439:Command"}));
}

// DNET_SCREENSHOT_DIR=<dir> saves the offset window holding two slaves, to be looked at.
TEST_F(DefOffset, Screenshot)
{
    const QString out = qEnvironmentVariable("DNET_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set DNET_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    platform::DialogScript script;
    // No network yet: the grids keep their header rows.
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("dnet_offsets_empty.png")));
    w->Hide();
    ASSERT_TRUE(WriteAll(FileName_DNETM_Net, kNet));
    ASSERT_TRUE(WriteAll(FileName_DNETM_DefOff, kOffsets));
    w->Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("dnet_offsets.png")));
    Click_Slave(2);
    w->PC_Bytes->SetActivePage(w->TS_ByteOUT);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("dnet_offsets_out.png")));
    w->Hide();
    TFDNet net;
    net.Show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(net.grab().save(QDir(out).filePath("dnet_network.png")));
    net.Hide();
}
