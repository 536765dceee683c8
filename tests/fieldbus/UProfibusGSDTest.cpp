// The PROFIBUS GSD: one realistic station byte for byte, every module's
// identifier decoded back to its length, lengths a DP slave cannot have
// refused, and the button's questions.
#include "fieldbus/UProfibus_GSD.h"

#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// 100 bytes the master reads (two input modules, 64 + 36) and 20 it writes
// (one output module). Worked out line by line from the file's layout, not
// from the writer.
const QByteArray kGolden =
    ";\r\n"
    ";********************* PROFIBUS Slave / LoRaWAN - Converter *************************\r\n"
    ";* ================================================================================ *\r\n"
    ";*                                                                                  *\r\n"
    ";* Vendor:   Rizova                                                                 *\r\n"
    ";*           Via dell'Industria 12                                                  *\r\n"
    ";*           35127 Padova (PD)                                                      *\r\n"
    ";*           Padova - Italy                                                         *\r\n"
    ";*           Tel.:   +39 049 000 0000                                               *\r\n"
    ";*           Fax:    +39 049 000 0001                                               *\r\n"
    ";*           E-mail: info@rizova.example                                            *\r\n"
    ";*                                                                                  *\r\n"
    ";* ================================================================================ *\r\n"
    ";*                                                                                  *\r\n"
    ";* Function:       PROFIBUS Slave / LoRaWAN - Converter                             *\r\n"
    ";*                                                                                  *\r\n"
    ";*                                                                                  *\r\n"
    ";* Order Number : ZIZ5E31                                                           *\r\n"
    ";*                                                                                  *\r\n"
    ";*                                                                                  *\r\n"
    ";************************************************************************************\r\n"
    "\r\n"
    "\r\n"
    "#Profibus_DP\r\n"
    "\r\n"
    "\r\n"
    ";====================================================================================\r\n"
    ";==== Prm-Text-Def-List =============================================================\r\n"
    ";====================================================================================\r\n"
    "\r\n"
    "PrmText=1\r\n"
    "Text(0)=\"disable\"\r\n"
    "Text(1)=\"enable\"\r\n"
    "EndPrmText\r\n"
    "\r\n"
    "PrmText  = 2\r\n"
    "Text(0)  = \"clock up\"\r\n"
    "Text(1)  = \"clock down\"\r\n"
    "EndPrmText\r\n"
    "\r\n"
    "PrmText  = 3\r\n"
    "Text(1)  = \"10\"\r\n"
    "Text(2)  = \"20\"\r\n"
    "Text(3)  = \"30\"\r\n"
    "Text(4)  = \"40\"\r\n"
    "Text(5)  = \"50\"\r\n"
    "EndPrmText\r\n"
    "\r\n"
    "\r\n"
    ";=====================================================================================\r\n"
    ";==== Ext-User-Prm-Data-Def-List =====================================================\r\n"
    ";=====================================================================================\r\n"
    "\r\n"
    "ExtUserPrmData=1 \"[SlotNumber]\"\r\n"
    "Unsigned8 0 0-32\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=2 \"Diagnostic Alarm\"\r\n"
    "Bit(0) 0 0-1\r\n"
    "Prm_Text_Ref=1\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=3 \"Process Alarm\"\r\n"
    "Bit(1) 0 0-1\r\n"
    "Prm_Text_Ref=1\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=4 \"Counter mode\"\r\n"
    "Unsigned8 0 0-1\r\n"
    "Prm_Text_Ref=2\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=5 \"Counter timebase (ms)\"\r\n"
    "Unsigned8 1 1-5\r\n"
    "Prm_Text_Ref=3\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=6 \"Counter high-limit\"\r\n"
    "Unsigned16 65535 0-65535\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "ExtUserPrmData=7 \"Counter low-limit\"\r\n"
    "Unsigned16 0 0-65535\r\n"
    "EndExtUserPrmData\r\n"
    "\r\n"
    "\r\n"
    ";=====================================================================================\r\n"
    ";==== General DP Keywords ============================================================\r\n"
    ";=====================================================================================\r\n"
    "\r\n"
    "GSD_Revision = 5\r\n"
    "Vendor_Name = \"Rizova\"\r\n"
    "Model_Name = \"ZIZ5E31\"\r\n"
    "Revision = \"1.00\"\r\n"
    "Ident_Number = 0xB7D2\r\n"
    "Protocol_Ident = 0\r\n"
    "Station_Type = 0\r\n"
    "FMS_supp = 0\r\n"
    "Hardware_Release = \"V1.00\"\r\n"
    "Software_Release = \"V1.00\"\r\n"
    "Redundancy = 0\r\n"
    "Repeater_Ctrl_Sig = 2\r\n"
    "24V_Pins = 0\r\n"
    "\r\n"
    "\r\n"
    ";==============================================================================\r\n"
    ";==== Supported baudrates =====================================================\r\n"
    ";==============================================================================\r\n"
    "\r\n"
    "9.6_supp = 1\r\n"
    "19.2_supp = 1\r\n"
    "45.45_supp = 1\r\n"
    "93.75_supp = 1\r\n"
    "187.5_supp = 1\r\n"
    "500_supp = 1\r\n"
    "1.5M_supp = 1\r\n"
    "3M_supp = 1\r\n"
    "6M_supp = 1\r\n"
    "12M_supp = 1\r\n"
    "\r\n"
    "MaxTsdr_9.6=15\r\n"
    "MaxTsdr_19.2=15\r\n"
    "MaxTsdr_45.45=15\r\n"
    "MaxTsdr_93.75=15\r\n"
    "MaxTsdr_187.5=15\r\n"
    "MaxTsdr_500=15\r\n"
    "MaxTsdr_1.5M=20\r\n"
    "MaxTsdr_3M=35\r\n"
    "MaxTsdr_6M=50\r\n"
    "MaxTsdr_12M=95\r\n"
    "\r\n"
    "\r\n"
    ";==============================================================================\r\n"
    ";==== Slave specific values ===================================================\r\n"
    ";==============================================================================\r\n"
    "\r\n"
    "OrderNumber=\"ZIZ5E31\"\r\n"
    "Slave_Family = 9@Rizova@ZIZ5E31\r\n"
    "Implementation_Type = \"VPC3+\"\r\n"
    "Info_Text=\"Rizova: PROFIBUS Slave / LoRaWAN - Converter\"\r\n"
    "Bitmap_Device = \"DPV0_1N\"\r\n"
    "Bitmap_SF=\"DPV0_1S\"\r\n"
    "\r\n"
    "Freeze_Mode_supp=1\r\n"
    "Sync_Mode_supp=1\r\n"
    "Fail_Safe=1\r\n"
    "Auto_Baud_supp=1\r\n"
    "Set_Slave_Add_supp=0\r\n"
    "\r\n"
    "Min_Slave_Intervall=6\r\n"
    "\r\n"
    "Modular_Station=1\r\n"
    "Max_Module=3\r\n"
    "Modul_Offset=1\r\n"
    "Max_Input_Len=100\r\n"
    "Max_Output_Len=20\r\n"
    "Max_Data_Len=120\r\n"
    "Max_Diag_Data_Len=15\r\n"
    "\r\n"
    "WD_Base_1ms_supp = 1\r\n"
    "Publisher_supp = 1\r\n"
    "\r\n"
    ";==============================================================================\r\n"
    ";==== User-Prm-Data ===========================================================\r\n"
    ";==============================================================================\r\n"
    "\r\n"
    "Max_User_Prm_Data_Len = 12\r\n"
    "Ext_User_Prm_Data_Const(0)= 0x00,0x00,0x00\r\n"
    "\r\n"
    ";==============================================================================\r\n"
    ";==== Modulstatus =============================================================\r\n"
    ";==============================================================================\r\n"
    "\r\n"
    "Unit_Diag_Area = 24 - 25\r\n"
    "Value(1)= \"Slot 1: Module error\"\r\n"
    "Value(2)= \"Slot 1: Wrong module\"\r\n"
    "Value(3)= \"Slot 1: No module\"\r\n"
    "Unit_Diag_Area_End\r\n"
    "Unit_Diag_Area = 26 - 27\r\n"
    "Value(1)= \"Slot 2: Module error\"\r\n"
    "Value(2)= \"Slot 2: Wrong module\"\r\n"
    "Value(3)= \"Slot 2: No module\"\r\n"
    "Unit_Diag_Area_End\r\n"
    "\r\n"
    "\r\n"
    ";==============================================================================\r\n"
    ";==== Module-Definition-List ==================================================\r\n"
    ";==============================================================================\r\n"
    "\r\n"
    "Module=\"DI  (PORT1)    \" 0x42,0x3F,0x00,0x01\r\n"
    "1\r\n"
    "EndModule\r\n"
    "Module=\"DI  (PORT2)    \" 0x42,0x23,0x00,0x02\r\n"
    "2\r\n"
    "EndModule\r\n"
    "Module=\"DO  (PORT3)    \" 0x82,0x13,0x00,0x03\r\n"
    "3\r\n"
    "EndModule\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "SlotDefinition\r\n"
    "Slot(1) = \"Slot 1\" 1 1\r\n"
    "Slot(2) = \"Slot 2\" 2 2\r\n"
    "Slot(3) = \"Slot 3\" 3 3\r\n"
    "EndSlotDefinition\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "\r\n";

QByteArray ParGen(const QByteArray& in, const QByteArray& out)
{
    return "<Par_Gen>\n\t<PROFINET_NB_IN>" + in + "</PROFINET_NB_IN>\n\t<PROFINET_NB_OUT>" + out +
           "</PROFINET_NB_OUT>\n</Par_Gen>\n";
}

// What a master's configuration tool checks: the module list against the
// station's lengths and slots, each identifier decoded as the special
// identifier format (0x42 inputs, 0x82 outputs, length byte, 0x00, module
// number). Empty when the file holds together.
QStringList Structure_Problems(const QByteArray& bytes)
{
    QStringList p;
    if (QByteArray(bytes).replace("\r\n", "").contains('\n'))
        p << "a line break other than CR LF";
    if (!bytes.endsWith("\r\n"))
        p << "the last line has no CR LF";
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            p << "a byte outside ASCII";
            break;
        }
    QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    lines.removeLast();
    auto keyword = [&](const QString& name) {
        const QStringList found = lines.filter(QRegularExpression("^" + QRegularExpression::escape(name) + "=\\d+$"));
        if (found.size() != 1) {
            p << name + " not given once";
            return -1;
        }
        return found[0].mid(name.size() + 1).toInt();
    };
    const int maxModule = keyword("Max_Module");
    const int maxIn = keyword("Max_Input_Len");
    const int maxOut = keyword("Max_Output_Len");
    const int maxData = keyword("Max_Data_Len");
    if (maxData != maxIn + maxOut)
        p << "Max_Data_Len is not the sum of the lengths";
    if (maxIn > 244 || maxOut > 244)
        p << "a length beyond what a DP slave exchanges";

    static const QRegularExpression module(
        R"(^Module="(DI|DO)  \(PORT(\d+)\)    " 0x(42|82),0x([0-9A-F]{2}),0x00,0x([0-9A-F]{2})$)");
    int sum[2] = {0, 0};
    int count = 0;
    bool outputs = false;
    QList<int> lastLength[2];
    const int start = lines.indexOf(";==== Module-Definition-List " + QString(50, '='));
    if (start < 0)
        p << "no module list";
    int i = start + 3;
    for (; start >= 0 && i < lines.size() && lines[i] != "SlotDefinition"; ++i) {
        if (lines[i].isEmpty())
            continue;
        const auto m = module.match(lines[i]);
        if (!m.hasMatch()) {
            p << "not a module line: " + lines[i];
            break;
        }
        ++count;
        const bool isOutput = m.captured(1) == "DO";
        if (isOutput != (m.captured(3) == "82"))
            p << QStringLiteral("module %1: identifier of the other kind").arg(count);
        if (outputs && !isOutput)
            p << QStringLiteral("module %1: an input after the outputs").arg(count);
        outputs = isOutput;
        const int lengthByte = m.captured(4).toInt(nullptr, 16);
        if (lengthByte & 0xC0)
            p << QStringLiteral("module %1: length byte %2 is not a byte count").arg(count).arg(lengthByte, 0, 16);
        const int length = (lengthByte & 0x3F) + 1;
        sum[isOutput] += length;
        lastLength[isOutput] << length;
        if (m.captured(2).toInt() != count || m.captured(5).toInt(nullptr, 16) != count)
            p << QStringLiteral("module %1: numbered %2 / 0x%3").arg(count).arg(m.captured(2), m.captured(5));
        if (i + 2 >= lines.size() || lines[i + 1] != QString::number(count) || lines[i + 2] != "EndModule")
            p << QStringLiteral("module %1: not closed by its number and EndModule").arg(count);
        i += 2;
    }
    for (const QList<int>& kind : lastLength)
        for (int k = 0; k + 1 < kind.size(); ++k)
            if (kind[k] != 64)
                p << "a module short of 64 bytes before the last of its kind";
    if (sum[0] != maxIn)
        p << QStringLiteral("input modules hold %1 bytes, Max_Input_Len %2").arg(sum[0]).arg(maxIn);
    if (sum[1] != maxOut)
        p << QStringLiteral("output modules hold %1 bytes, Max_Output_Len %2").arg(sum[1]).arg(maxOut);
    if (count != maxModule)
        p << QStringLiteral("%1 modules, Max_Module %2").arg(count).arg(maxModule);
    int slotCount = 0;
    for (++i; i < lines.size() && lines[i] != "EndSlotDefinition"; ++i) {
        ++slotCount;
        if (lines[i] != QStringLiteral("Slot(%1) = \"Slot %1\" %1 %1").arg(slotCount))
            p << "slot line: " + lines[i];
    }
    if (i >= lines.size())
        p << "no EndSlotDefinition";
    if (slotCount != count)
        p << QStringLiteral("%1 slots for %2 modules").arg(slotCount).arg(count);
    return p;
}

class GsdWriter : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString target = dir.filePath("station.gsd");

    void SetUp() override
    {
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_ParGen = dir.filePath("ParGen.xml");
    }
    void TearDown() override
    {
        Project_Folder.clear();
        FileName_ParGen.clear();
    }
    // The whole button: the lengths given, the target chosen, the file read back.
    QByteArray Save(const QByteArray& in, const QByteArray& out)
    {
        EXPECT_TRUE(WriteAll(FileName_ParGen, ParGen(in, out)));
        QFile::remove(target);
        platform::DialogScript script;
        script.AnswerFile(target);
        Save_GSD_File();
        EXPECT_EQ(script.Shown().size(), 1u) << in.constData() << "/" << out.constData();
        return ReadAll(target);
    }
    static QStringList Lines(const QByteArray& bytes) { return QString::fromLatin1(bytes).split("\r\n"); }
};

} // namespace

TEST_F(GsdWriter, RealisticStationByteForByte)
{
    const QByteArray written = Save("20", "100");
    EXPECT_EQ(written, kGolden);
    EXPECT_EQ(Structure_Problems(written), QStringList());
    EXPECT_EQ(GSD_Byte_In, 20);
    EXPECT_EQ(GSD_Byte_Out, 100);
}

TEST(GsdStructureCheck, CatchesBrokenFiles)
{
    auto broken = [](const QByteArray& from, const QByteArray& to) {
        QByteArray b = kGolden;
        EXPECT_TRUE(b.contains(from)) << from.constData();
        return b.replace(from, to);
    };
    const struct
    {
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {broken("0x42,0x23,0x00,0x02", "0x42,0x24,0x00,0x02"), "input modules hold 101 bytes"},
        {broken("0x82,0x13,0x00,0x03", "0x82,0x53,0x00,0x03"), "length byte 53 is not a byte count"},
        {broken("0x82,0x13,0x00,0x03", "0x82,0x13,0x00,0x103"), "not a module line"},
        {broken("0x82,0x13,0x00,0x03", "0x42,0x13,0x00,0x03"), "identifier of the other kind"},
        {broken("Max_Module=3", "Max_Module=4"), "3 modules, Max_Module 4"},
        {broken("Slot(3) = \"Slot 3\" 3 3\r\n", ""), "2 slots for 3 modules"},
        {broken("Max_Data_Len=120", "Max_Data_Len=121"), "not the sum"},
        {broken("#Profibus_DP\r\n", "#Profibus_DP\n"), "other than CR LF"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Structure_Problems(c.bytes).filter(c.expected).isEmpty())
            << c.expected << " not in: " << Structure_Problems(c.bytes).join(" | ").toStdString();
}

TEST_F(GsdWriter, ModulesForEveryShapeOfLengths)
{
    const struct
    {
        const char *in, *out;
        QStringList modules;   // the identifier lines' tails, in order
        const char* why;
    } cases[] = {
        {"0", "0", {}, "no data: no module, no slot"},
        {"", "x", {}, "texts that are no number count as 0"},
        {"0", "64", {"0x42,0x3F,0x00,0x01"}, "one full input module"},
        {"0", "65", {"0x42,0x3F,0x00,0x01", "0x42,0x00,0x00,0x02"}, "one byte left over: length byte 00"},
        {"1", "0", {"0x82,0x00,0x00,0x01"}, "an output module alone is number 1"},
        {"$40", "0x41", {"0x42,0x3F,0x00,0x01", "0x42,0x00,0x00,0x02", "0x82,0x3F,0x00,0x03"},
         "hexadecimal lengths"},
        {"244", "244",
         {"0x42,0x3F,0x00,0x01", "0x42,0x3F,0x00,0x02", "0x42,0x3F,0x00,0x03", "0x42,0x33,0x00,0x04",
          "0x82,0x3F,0x00,0x05", "0x82,0x3F,0x00,0x06", "0x82,0x3F,0x00,0x07", "0x82,0x33,0x00,0x08"},
         "the most a DP slave exchanges: 52 bytes in each last module"},
    };
    for (const auto& c : cases) {
        const QByteArray written = Save(c.in, c.out);
        EXPECT_EQ(Structure_Problems(written), QStringList()) << c.why;
        QStringList tails;
        for (const QString& line : Lines(written))
            if (line.startsWith("Module="))
                tails << line.section(' ', -1);
        EXPECT_EQ(tails, c.modules) << c.why;
        if (c.modules.isEmpty()) {
            EXPECT_TRUE(written.endsWith("\r\n\r\n\r\nSlotDefinition\r\nEndSlotDefinition\r\n\r\n\r\n\r\n\r\n"))
                << c.why;
        }
    }
    // Without the two elements every length is 0.
    ASSERT_TRUE(WriteAll(FileName_ParGen, "<Par_Gen><Other>5</Other></Par_Gen>"));
    QFile::remove(target);
    platform::DialogScript script;
    script.AnswerFile(target);
    Save_GSD_File();
    const QStringList lines = Lines(ReadAll(target));
    for (const char* line : {"Max_Module=0", "Max_Input_Len=0", "Max_Output_Len=0", "Max_Data_Len=0"})
        EXPECT_TRUE(lines.contains(line)) << line;
}

TEST_F(GsdWriter, LengthsBeyondAStationAreRefused)
{
    // 1438 is the converter's area; 16384 would need module numbers past
    // 0xFF, which the identifier's one byte cannot hold.
    const struct
    {
        const char *in, *out;
        const char* message;
    } cases[] = {
        {"20", "245", "The input length of the PROFIBUS station (PROFINET_NB_OUT = 245) must be 0 to 244 bytes."},
        {"1438", "1438", "The input length of the PROFIBUS station (PROFINET_NB_OUT = 1438) must be 0 to 244 bytes."},
        {"16384", "0", "The output length of the PROFIBUS station (PROFINET_NB_IN = 16384) must be 0 to 244 bytes."},
        {"-1", "10", "The output length of the PROFIBUS station (PROFINET_NB_IN = -1) must be 0 to 244 bytes."},
    };
    ASSERT_TRUE(WriteAll(target, "keep"));
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen(c.in, c.out)));
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(platform::MessageAnswer::Yes);
        Save_GSD_File();
        ASSERT_EQ(script.Shown().size(), 1u) << "no file asked for: " << c.message;
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
        EXPECT_EQ(script.Shown()[0].text, QString("Error! ") + c.message);
        EXPECT_EQ(ReadAll(target), "keep");
    }
    // Called directly with such lengths, the writer refuses as well.
    GSD_Byte_In = 300;
    GSD_Byte_Out = 0;
    platform::DialogScript script;
    EXPECT_FALSE(Create_GSD_File(target));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(ReadAll(target), "keep");
}

TEST_F(GsdWriter, ButtonAsksNameExtensionAndOverwrite)
{
    // No "ParGen.xml": message 1104, no dialog.
    {
        platform::DialogScript script;
        Save_GSD_File();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
        EXPECT_EQ(script.Shown()[0].text,
                  "Error! Please set the Set Communication Parameter before to create the GSD file");
    }
    // A broken one: the parser's message, no dialog.
    ASSERT_TRUE(WriteAll(FileName_ParGen, "<Par_Gen><PROFINET_NB_IN>2</Par_Gen>"));
    {
        platform::DialogScript script;
        Save_GSD_File();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
        EXPECT_TRUE(script.Shown()[0].text.contains("ParGen.xml")) << script.Shown()[0].text.toStdString();
    }
    ASSERT_TRUE(WriteAll(FileName_ParGen, ParGen("20", "100")));
    // The name as chosen or with ".gsd" added; cancelling writes nothing.
    const struct
    {
        const char *chosen, *written;
    } names[] = {{"a", "a.gsd"}, {"B.GSD", "B.GSD"}, {"c.gsd.txt", "c.gsd.txt.gsd"}, {"", nullptr}};
    for (const auto& n : names) {
        platform::DialogScript script;
        script.AnswerFile(*n.chosen ? dir.filePath(n.chosen) : QString());
        Save_GSD_File();
        ASSERT_EQ(script.Shown().size(), 1u) << n.chosen;
        EXPECT_EQ(script.Shown()[0].type, platform::ShownDialog::Type::SaveFile);
        EXPECT_EQ(script.Shown()[0].request.initialFolder, dir.path());
        if (n.written) {
            EXPECT_EQ(ReadAll(dir.filePath(n.written)), kGolden) << n.chosen;
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4u) << "ParGen.xml and three files";

    // An existing file: the question; No keeps it, Yes replaces it.
    ASSERT_TRUE(WriteAll(target, "keep"));
    for (const auto answer : {platform::MessageAnswer::No, platform::MessageAnswer::Yes}) {
        platform::DialogScript script;
        script.AnswerFile(target);
        script.AnswerMessage(answer);
        Save_GSD_File();
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].text, "File already exists! Do you want to overwrite the file?");
        EXPECT_EQ(script.Shown()[1].buttons, platform::MessageButtons::YesNo);
        EXPECT_EQ(ReadAll(target), answer == platform::MessageAnswer::No ? QByteArray("keep") : kGolden);
    }

    // A target that cannot be written: an error box, nothing else changes.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.gsd"));
    platform::DialogScript script;
    script.AnswerFile(dir.filePath("folder.gsd"));
    script.AnswerMessage(platform::MessageAnswer::Yes);
    Save_GSD_File();
    ASSERT_FALSE(script.Shown().empty());
    EXPECT_EQ(script.Shown().back().kind, platform::MessageKind::Error);
    EXPECT_TRUE(script.Shown().back().text.contains("folder.gsd")) << script.Shown().back().text.toStdString();
    EXPECT_EQ(ReadAll(target), kGolden);
}
