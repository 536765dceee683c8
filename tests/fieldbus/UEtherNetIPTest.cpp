// EtherNet/IP: the EDS connection decoder as tables of entries and of whole
// files (hand-made, damaged ones too), the picker dialog, and the scanner
// rules with their checks, totals, one key for checking and saving, the file
// byte for byte and the import of a connection into a free row.
#include "fieldbus/UEtherNetIP_EDS.h"
#include "fieldbus/UEtherNetIP_EDS_Decode.h"
#include "fieldbus/UEtherNetIP_Master_Access.h"

#include "RuleMemberTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

using namespace membertest;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// An entry's field list: trigger, parameters, ten fields of sizes and
// formats, name, help string, path.
QString Entry(const QString& params, const QString& name, const QString& help, const QString& path)
{
    return "0x04030002, " + params + ", 10000, 32, Assem100, 10000, 32, Assem101, , , , , " + name + ", " + help +
           ", " + path;
}

struct Conn
{
    uint32_t instOT;
    int cpOT;
    uint32_t instTO;
    int cpTO;
};

} // namespace

TEST(EDSDecode, EntryPathsTable)
{
    const QString p = "0x04000400";  // headers: both defaults
    const struct {
        QString entry;
        bool usable;
        Conn c;
        const char* why;
    } cases[] = {
        {Entry(p, "\"A\"", "\"\"", "\"20 04 24 01 2C 65 2C 64\";"), true, {1, 101, 1, 100}, "8-bit instance"},
        {Entry(p, "\"A\"", "\"\"", "\"20 04 24 97 2C 96 24 98 2C 64\";"), true, {151, 150, 152, 100},
         "own T>O instance"},
        {Entry(p, "", "", "\"20 04 25 00 64 00 2C 65 2C 64\";"), true, {100, 101, 100, 100}, "16-bit instance"},
        // The fault was: only the low byte of a wider instance (0x164 read as 100).
        {Entry(p, "", "", "\"20 04 25 00 64 01 2C 65 2C 64\";"), true, {356, 101, 356, 100}, "16-bit above 255"},
        {Entry(p, "", "", "\"20 04 26 00 64 01 00 00 2C 65 2C 64\";"), true, {356, 101, 356, 100}, "32-bit"},
        {Entry(p, "", "", "\"20 04 26 00 01 2C 65\";"), false, {}, "32-bit instance cut short"},
        {Entry(p, "", "", "\"20 04 2C 65 2C 64\";"), true, {1, 101, 1, 100}, "no instance segment: 1"},
        {Entry(p, "", "", "\"20 04 zz 24 01 100 2C 65 -1 2C 64\";"), true, {1, 101, 1, 100}, "bad parts skipped"},
        {Entry(p, "", "", "\"20 04 24 01 2C 65 2C 64\", \"more\";"), true, {1, 101, 1, 100}, "path ends at a comma"},
        {Entry(p, "", "", "\"20 04 24 01 2C 65 2C 64\""), false, {}, "no closing ;"},
        {Entry(p, "", "", "\"21 00 04 00 24 01 2C 65 2C 64\";"), false, {}, "16-bit class"},
        {Entry(p, "", "", "\"20 04 24 01 2C\";"), false, {}, "under six bytes"},
        {Entry(p, "", "", "\"20 04 24 01 2C 65\";"), false, {}, "no T>O point"},
        {Entry(p, "", "", "\"20 04 24 01 2C 65 24 02\";"), false, {}, "T>O instance without point"},
        {Entry(p, "", "", "\"20 04 24 01 24 02 24 03\";"), false, {}, "no connection point at all"},
        {Entry(p, "", "", ";"), false, {}, "empty path"},
        {"", false, {}, "empty entry"},
        {";;;,,,", false, {}, "separators only"},
    };
    for (const auto& c : cases) {
        std::vector<TConnData> list;
        EXPECT_EQ(eds::Decode_Connection(c.entry, list), c.usable) << c.why;
        ASSERT_EQ(list.size(), c.usable ? 1u : 0u) << c.why;
        if (!c.usable)
            continue;
        EXPECT_EQ(list[0].InstanceOT, c.c.instOT) << c.why;
        EXPECT_EQ(list[0].ConnPointOT, c.c.cpOT) << c.why;
        EXPECT_EQ(list[0].InstanceTO, c.c.instTO) << c.why;
        EXPECT_EQ(list[0].ConnPointTO, c.c.cpTO) << c.why;
        EXPECT_EQ(list[0].ConnIndex, 1) << c.why;
    }
}

TEST(EDSDecode, HeaderCodesNamesAndIndex)
{
    const QString path = "\"20 04 24 01 2C 65 2C 64\";";
    const struct {
        const char* params;
        int ot, to;
        const char* otText;
        const char* toText;
    } cases[] = {
        {"0x00000300", 3, 0, "3", "Default"},
        {"0x00000400", 4, 0, "Default", "Default"},
        {"0x00003300", 3, 3, "3", "3"},
        {"$4640", 6, 4, "6", "4"},
        {"17408", 4, 4, "Default", "4"},       // 0x4400 in decimal
        {"junk", 7, 7, "7", "7"},             // does not convert: -1
        {"0xFFFFFFFF", 7, 7, "7", "7"},
    };
    std::vector<TConnData> list;
    for (const auto& c : cases) {
        ASSERT_TRUE(eds::Decode_Connection(Entry(c.params, " \"Name\" ", "\"Help\"", path), list)) << c.params;
        const TConnData& d = list.back();
        EXPECT_EQ(d.DimHeaderOT, c.ot) << c.params;
        EXPECT_EQ(d.DimHeaderTO, c.to) << c.params;
        EXPECT_EQ(eds::Dim_Header_Text(d.DimHeaderOT, true), c.otText) << c.params;
        EXPECT_EQ(eds::Dim_Header_Text(d.DimHeaderTO, false), c.toText) << c.params;
        EXPECT_EQ(d.ConnName, "\"Name\"");
        EXPECT_EQ(d.HelpStr, "\"Help\"");
        EXPECT_EQ(d.ConnIndex, static_cast<int>(list.size()));
    }
}

TEST(EDSDecode, PathLongerThanTheBuffer)
{
    // The fault was: values beyond the 1001-byte buffer written past it.
    QString filler;
    for (int i = 0; i < 3000; ++i)
        filler += "00 ";
    std::vector<TConnData> list;
    EXPECT_FALSE(eds::Decode_Connection(Entry("0", "", "", "\"20 04 24 01 " + filler + "2C 65 2C 64\";"), list));
    EXPECT_EQ(eds::Path_Bytes("\"" + filler + "\"").size(), size_t(eds::kPath_Capacity));
    // The last byte that fits still counts.
    QString fits = "20 04 24 07 2C 65 ";
    for (int i = 6; i < eds::kPath_Capacity - 2; ++i)
        fits += "00 ";
    fits += "2C 64 2C 01";
    ASSERT_TRUE(eds::Decode_Connection(Entry("0", "", "", "\"" + fits + "\";"), list));
    EXPECT_EQ(list.back().ConnPointTO, 0x64);
}

TEST(EDSDecode, LineRules)
{
    const struct {
        const char* line;
        const char* stripped;
    } comments[] = {
        {"  Connection1 = 0x1, $ comment", "Connection1 = 0x1,"},
        {"$ whole line", ""},
        // The fault was: a "$" inside a quoted text cut the line.
        {"\"costs $5\", \"20 04\"; $ note", "\"costs $5\", \"20 04\";"},
        {"\"unclosed $ text", "\"unclosed $ text"},
    };
    for (const auto& c : comments)
        EXPECT_EQ(eds::Strip_Comment(c.line), c.stripped) << c.line;

    const struct {
        const char* line;
        bool key;
    } keys[] = {
        {"Connection1 = 0x1,", true},       {"Connection12=0x1,", true}, {"Connection3\t =", true},
        {"\"Input Only Connection\",", false}, {"ConnectionX = 1", false}, {"Connections = 2", false},
        {"Connection1", false},              {"connection1 = 1", false}, {"Object_Name = \"Connection\";", false},
    };
    for (const auto& k : keys)
        EXPECT_EQ(eds::Is_Connection_Key(k.line), k.key) << k.line;
}

TEST(EDSDecode, FilesTable)
{
    const QByteArray good = "$ EDS of a test device\r\n"
                            "[File]\r\n"
                            "        DescText = \"Connection test\";\r\n"
                            "[Connection Manager]\r\n"
                            "        Object_Name = \"Connection Manager Object\";\r\n"
                            "        Connection1 =\r\n"
                            "                0x04030002,             $ trigger and transport\r\n"
                            "                0x44640405,             $ parameters\r\n"
                            "                ,0x0008,Assem150,       $ O->T\r\n"
                            "                ,0x0010,Assem100,       $ T->O\r\n"
                            "                ,,                      $ proxy\r\n"
                            "                ,,                      $ target\r\n"
                            "                \"Exclusive Owner\",\r\n"
                            "                \"Exclusive Owner Connection $ with run/idle\",\r\n"
                            "                \"20 04 24 97 2C 96 2C 64\";\r\n"
                            "        Connection2 = 0x02030002,0x33000305,,0x0000,,,0x0010,Assem100,,,,,\r\n"
                            "                \"Input Only\",\"Input Only Connection\",\"20 04 24 01 2C FE 2C 64\";\r\n"
                            "        Connection3 = 0x02030002,0x33000305,,,,,,,,,,,\"Bad\",\"\",\"21 00 04 00\";\r\n"
                            "[Capacity]\r\n"
                            "        Connection4 = 0x0,0x0,,,,,,,,,,,\"Outside\",\"\",\"20 04 24 01 2C 01 2C 02\";\r\n";
    const struct {
        QByteArray file;
        std::vector<Conn> conns;
        const char* why;
    } cases[] = {
        {good, {{151, 150, 151, 100}, {1, 254, 1, 100}}, "two good entries, a bad one, one outside the section"},
        {"[Connection Manager]\nConnection1 = 0,0,,,,,,,,,,,\"a\",\"b\",\n\"20 04 24 01 2C 65 2C 64\";\n"
         "[Other]\n[Connection Manager]\nConnection2 = 0,0,,,,,,,,,,,\"c\",\"d\",\"20 04 24 02 2C 66 2C 67\";",
         {{1, 101, 1, 100}, {2, 102, 2, 103}}, "the section again later"},
        // UTF-8 with a byte-order mark and LF only.
        {"\xEF\xBB\xBF[Connection Manager]\nConnection1=0,0,,,,,,,,,,,\"\xC3\xA9\",\"\",\"20 04 24 05 2C 06 2C 07\";",
         {{5, 6, 5, 7}}, "byte-order mark"},
        {"", {}, "empty file"},
        {"[Connection Manager]\n", {}, "empty section"},
        {"[Params]\nConnection1 = 0,0,,,,,,,,,,,\"a\",\"b\",\"20 04 24 01 2C 65 2C 64\";", {}, "no section"},
        {"[Connection Manager]\nConnection1 = 0,0,,,,,,,,,,,\"a\",\"b\",\"20 04 24 01 2C 65 2C 64\"", {},
         "the entry's ; missing at the end of the file"},
        {"[Connection Manager]\nConnection1 = \"\x01\x02\xFF\xFE$\"\n\n\r\r=,,;;[\n\"20 2C 2C 2C 2C 2C\";", {},
         "damaged bytes"},
        {"[Connection Manager\nConnection1 = 0,0,,,,,,,,,,,\"a\",\"b\",\"20 04 24 01 2C 65 2C 64\";", {},
         "section name not closed"},
    };
    for (const auto& c : cases) {
        const std::vector<TConnData> got = eds::Decode_Connections(c.file);
        ASSERT_EQ(got.size(), c.conns.size()) << c.why;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].ConnIndex, int(i) + 1) << c.why;
            EXPECT_EQ(got[i].InstanceOT, c.conns[i].instOT) << c.why << " " << i;
            EXPECT_EQ(got[i].ConnPointOT, c.conns[i].cpOT) << c.why << " " << i;
            EXPECT_EQ(got[i].InstanceTO, c.conns[i].instTO) << c.why << " " << i;
            EXPECT_EQ(got[i].ConnPointTO, c.conns[i].cpTO) << c.why << " " << i;
        }
    }
    // A help text that holds the word and a "$" stays whole (the fault was:
    // the help line started a new entry and the "$" cut it).
    const std::vector<TConnData> conns = eds::Decode_Connections(good);
    ASSERT_EQ(conns.size(), 2u);
    EXPECT_EQ(conns[0].ConnName, "\"Exclusive Owner\"");
    EXPECT_EQ(conns[0].HelpStr, "\"Exclusive Owner Connection $ with run/idle\"");
    EXPECT_EQ(conns[0].DimHeaderOT, 4);
    EXPECT_EQ(conns[0].DimHeaderTO, 0);
    EXPECT_EQ(conns[1].HelpStr, "\"Input Only Connection\"");
    EXPECT_EQ(conns[1].DimHeaderOT, 3);
    EXPECT_EQ(conns[1].DimHeaderTO, 0);
    // Windows-1252 without a byte-order mark.
    const auto latin = eds::Decode_Connections(
        QByteArray("[Connection Manager]\nConnection1=0,0,,,,,,,,,,,\"\xE9\x80\",\"\",\"20 04 24 05 2C 06 2C 07\";"));
    ASSERT_EQ(latin.size(), 1u);
    EXPECT_EQ(latin[0].ConnName, QString::fromUtf8("\"\xC3\xA9\xE2\x82\xAC\""));
}

// ---------------------------------------------------------------------------
// The picker.

namespace {

const QByteArray kTwoConnections =
    "[Connection Manager]\r\n"
    "Connection1 = 0x04030002,0x44644305,,,,,,,,,,,\"Exclusive Owner\",\"Owner\",\"20 04 24 97 2C 96 24 98 2C 64\";\r\n"
    "Connection2 = 0x02030002,0x03000405,,,,,,,,,,,\"Input Only\",\"\",\"20 04 24 00 2C 01 2C 03\";\r\n";

class EDSPicker : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = "DIZ5U15";
        picker = std::make_unique<TFEtherNEtIP_EDS>();
    }
    QString Write(const QByteArray& bytes)
    {
        const QString path = dir.filePath("device.eds");
        EXPECT_TRUE(WriteAll(path, bytes));
        return path;
    }
    // Shown modally; the dialog left to itself for up to a second.
    platform::TModalResult Show_And_Wait(platform::DialogScript& script)
    {
        script.AnswerForm([](QWidget& form) {
            auto& p = dynamic_cast<TFEtherNEtIP_EDS&>(form);
            QElapsedTimer t;
            t.start();
            while (p.ModalResult() == platform::mrNone && t.elapsed() < 1000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        });
        return picker->ShowModal();
    }
    QTemporaryDir dir;
    std::unique_ptr<TFEtherNEtIP_EDS> picker;
};

} // namespace

TEST_F(EDSPicker, ListsTheConnections)
{
    picker->EDS_FileName = Write(kTwoConnections);
    platform::DialogScript script;
    script.AnswerForm([](QWidget& form) {
        auto& p = dynamic_cast<TFEtherNEtIP_EDS&>(form);
        EXPECT_EQ(p.ECG->Row(), 1);
        p.ECG->SetRow(2);
        p.SetModalResult(p.Btn_OK->ModalResult());
    });
    EXPECT_EQ(picker->ShowModal(), platform::mrOk);
    EXPECT_EQ(script.Unanswered(), 0);
    ASSERT_EQ(picker->ECG->RowCount(), 3);
    EXPECT_EQ(picker->ECG->Row(), 2);
    auto row = [&](int r) {
        QStringList out;
        for (int c = 0; c < TFEtherNEtIP_EDS::cColumns; ++c)
            out << picker->ECG->GetCellEx(c, r);
        return out;
    };
    EXPECT_EQ(row(0), QStringList({"Connection", "Connection Name", "Help String", "Instance O > T",
                                   "Conn. Point O > T", "Instance T > O", "Conn. Point T > O", "Dim Header O > T",
                                   "Dim Header T > O"}));
    EXPECT_EQ(row(1), QStringList({"Connection1", "\"Exclusive Owner\"", "\"Owner\"", "151", "150", "152", "100",
                                   "3", "4"}));
    EXPECT_EQ(row(2), QStringList({"Connection2", "\"Input Only\"", "\"\"", "0", "1", "0", "3", "Default",
                                   "Default"}));
    EXPECT_EQ(picker->Caption(), "EtherNet/IP EDS Decode - Select the Connection to use");

    // Each showing starts over from the file.
    picker->EDS_FileName = Write(kTwoConnections.left(kTwoConnections.indexOf("Connection2")));
    platform::DialogScript again;
    again.AnswerForm([](QWidget& form) { dynamic_cast<TFEtherNEtIP_EDS&>(form).SetModalResult(platform::mrOk); });
    picker->ShowModal();
    EXPECT_EQ(picker->ECG->RowCount(), 2);
    EXPECT_EQ(picker->List_Conn.size(), 1u);
}

TEST_F(EDSPicker, NoConnectionReportsAndCancels)
{
    const QString missing = dir.filePath("missing.eds");
    for (const QString& file : {Write("[Device]\nConnection1 = 1;\n"), missing, Write("\x00\xFF[Connection Manager]")}) {
        picker->EDS_FileName = file;
        platform::DialogScript script;
        EXPECT_EQ(Show_And_Wait(script), platform::mrCancel) << file.toStdString();
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].kind, platform::MessageKind::Error);
        EXPECT_EQ(script.Shown()[1].text, "Error!! No Valid Connection found");
        EXPECT_FALSE(picker->TClose->Enabled());
        EXPECT_EQ(picker->ECG->RowCount(), 2);
        EXPECT_EQ(picker->ECG->GetCellEx(1, 1), "");
    }
}

// ---------------------------------------------------------------------------
// The scanner rules.

namespace {

class EtherNetIPAccess : public Member<TFEtherNetIP_Master_Access>
{
protected:
    void SetUp() override
    {
        Member::SetUp();
        picker = std::make_unique<TFEtherNEtIP_EDS>();
        FEtherNEtIP_EDS = picker.get();
    }
    void TearDown() override
    {
        picker.reset();
        Member::TearDown();
    }
    std::unique_ptr<TFEtherNEtIP_EDS> picker;
};

// A passing row from column 1 on, with some cells replaced.
QStringList Rule(std::initializer_list<std::pair<int, QString>> changes)
{
    // Enable, IP, Start In, Num In, Start Out, Num Out, Poll, Inst T>O, CP T>O, Inst O>T, CP O>T, Hdr T>O,
    // Hdr O>T, Mnemonic.
    QStringList r = {"Y", "192.168.1.10", "0", "10", "0", "10", "100", "1", "100", "1", "101", "Default", "Default",
                     "Drive"};
    for (const auto& [col, text] : changes)
        r[col - 1] = text;
    return r;
}

const QString kPre = "Error row 1";

} // namespace

TEST_F(EtherNetIPAccess, Checks)
{
    Run_Checks({
        {0, Rule({}), "", "a plain rule"},
        {0, Rule({{1, "y"}, {3, "-1"}}), kPre + "!! Start Input must be major or equal to 0", "y enables"},
        {0, Rule({{1, "N"}, {3, "-1"}, {12, "9"}}), "", "a disabled rule is not checked"},
        {0, Rule({{2, "192.168.1"}}), kPre + "!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "ip"},
        {0, Rule({{2, "192.168.1.256"}}), kPre + "!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)",
         "ip part"},
        {0, Rule({{3, "65536"}}), kPre + "!! Start Input must be major or equal to 0", "start input"},
        {0, Rule({{4, "x"}}), kPre + "!! Num Input must be major or equal to 0", "num input"},
        {0, Rule({{5, ""}}), kPre + "!! Start Output must be major or equal to 0", "start output"},
        {0, Rule({{6, "-2"}}), kPre + "!! Num Output must be major or equal to 0", "num output"},
        {0, Rule({{7, "0"}}), kPre + "!! Poll Time must be between 1 and 100000000", "poll 0"},
        {0, Rule({{7, "0x10"}}), "", "poll in hexadecimal"},
        {0, Rule({{7, "100000001"}}), kPre + "!! Poll Time must be between 1 and 100000000", "poll"},
        {0, Rule({{8, "65536"}}), kPre + "!! Instance T > O must be between 0 and 65535. Default Value 1", "inst"},
        {0, Rule({{9, ""}}), kPre + "!! Connection Point T > O must be between 0 and 65535. Default Value 100", "cp"},
        {0, Rule({{10, "-1"}}), kPre + "!! Instance O > T must be between 0 and 65535. Default Value 1", "inst"},
        {0, Rule({{11, "$10000"}}), kPre + "!! Connection Point O > T must be between 0 and 65535. Default Value 101",
         "cp"},
        {0, Rule({{12, "default"}, {13, " Default "}}), "", "header words"},
        {0, Rule({{12, "DEFAULT"}, {13, "7"}}), "", "header numbers"},
        {0, Rule({{12, "8"}}), kPre + "!! Dimension Header T > O must be between 0 and 7. Default Value 0", "hdr"},
        {0, Rule({{12, ""}}), kPre + "!! Dimension Header T > O must be between 0 and 7. Default Value 0", "empty"},
        {0, Rule({{13, "8"}}), kPre + "!! Dimension Header O > T must be between 0 and 7. Default Value 4", "hdr"},
        {0, Rule({{14, ""}}), "", "no mnemonic"},
    });
}

TEST_F(EtherNetIPAccess, DataTotals)
{
    const struct {
        QString in1, in2, out1, out2;
        bool disable2;
        QString message;
    } cases[] = {
        {"1000", "439", "0", "0", false, "Error!! The Total Number of Input Bytes must be between 0 and 1438"},
        {"1000", "438", "1000", "438", false, ""},
        {"1000", "439", "0", "0", true, ""},
        {"0", "0", "1438", "1", false, "Error!! The Total Number of Output Bytes must be between 0 and 1438"},
    };
    for (const auto& c : cases) {
        Show();
        Put(*w->ECG, 1, Rule({{4, c.in1}, {6, c.out1}}));
        Put(*w->ECG, 2, Rule({{1, c.disable2 ? "N" : "Y"}, {4, c.in2}, {6, c.out2}}));
        platform::DialogScript script;
        EXPECT_EQ(w->Controllo_dati(), c.message.isEmpty()) << c.message.toStdString();
        if (!c.message.isEmpty()) {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(script.Shown()[0].text, c.message);
        }
    }
}

TEST_F(EtherNetIPAccess, CheckedRowsAreTheSavedRows)
{
    // The fault was: a disabled row without an address ended the saving but
    // not the checking, so rows below it were checked, then dropped.
    Show();
    Put(*w->ECG, 1, Rule({}));
    Put(*w->ECG, 2, Rule({{1, "N"}, {2, ""}}));
    Put(*w->ECG, 3, Rule({{2, "10.0.0.2"}, {7, "0"}}));
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    Show();
    EXPECT_EQ(w->ECG->GetCellEx(2, 1), "192.168.1.10");
    EXPECT_EQ(w->ECG->GetCellEx(2, 2), "");
    EXPECT_EQ(w->ECG->GetCellEx(2, 3), "");

    // Their sizes do not count either.
    Put(*w->ECG, 1, Rule({{4, "1438"}}));
    Put(*w->ECG, 3, Rule({{4, "1"}}));
    EXPECT_TRUE(Ok().empty());
}

TEST_F(EtherNetIPAccess, SavesByteForByteAndReadsDefaults)
{
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), "<EtherNetIP_Master_Access />\n<!--SW_VERSION = 1.000-->\n");

    const QByteArray expected =
        "<EtherNetIP_Master_Access>\n"
        "\t<row Enable=\"Y\" IP_Address=\"192.168.1.10\" Start_Input=\"0\" Num_Input=\"10\" Start_Output=\"$20\" "
        "Num_Output=\"10\" Time_Poll=\"100\" Instance_T_O=\"1\" Connection_Point_T_O=\"100\" Instance_O_T=\"1\" "
        "Connection_Point_O_T=\"101\" Dim_Header_T_O=\"default\" Dim_Header_O_T=\"4\" Mnemonic=\"Drive &amp; &quot;A&quot;\" />\n"
        "\t<row Enable=\"N\" IP_Address=\"bad\" Start_Input=\"\" Num_Input=\"\" Start_Output=\"\" Num_Output=\"\" "
        "Time_Poll=\"\" Instance_T_O=\"\" Connection_Point_T_O=\"\" Instance_O_T=\"\" Connection_Point_O_T=\"\" "
        "Dim_Header_T_O=\"\" Dim_Header_O_T=\"\" Mnemonic=\"\" />\n"
        "</EtherNetIP_Master_Access>\n"
        "<!--SW_VERSION = 1.000-->\n";
    Show();
    Put(*w->ECG, 1, Rule({{5, "$20"}, {12, "default"}, {13, "4"}, {14, "Drive & \"A\""}}));
    Put(*w->ECG, 2, {"N", "bad", "", "", "", "", "", "", "", "", "", "", "", ""});
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);
    Show();
    EXPECT_TRUE(Ok().empty());
    EXPECT_EQ(ReadAll(File()), expected);

    // Enable and the header sizes have defaults; every other attribute reads empty when missing.
    WriteAll(File(), "<EtherNetIP_Master_Access><row IP_Address=\"10.0.0.1\" Time_Poll=\"50\" />"
                     "<row Enable=\"Y\" IP_Address=\"10.0.0.2\" Dim_Header_O_T=\"3\" /></EtherNetIP_Master_Access>");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(Row(*w->ECG, 1), QStringList({"1", "N", "10.0.0.1", "", "", "", "", "50", "", "", "", "", "Default",
                                            "Default", ""}));
    EXPECT_EQ(Row(*w->ECG, 2), QStringList({"2", "Y", "10.0.0.2", "", "", "", "", "", "", "", "", "", "Default", "3",
                                            ""}));
    EXPECT_EQ(Row(*w->ECG, 3), QStringList({"3", "Y", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
}

TEST_F(EtherNetIPAccess, ImportsAConnectionIntoTheFirstFreeRow)
{
    const QString eds = dir.filePath("device.eds");
    ASSERT_TRUE(WriteAll(eds, kTwoConnections));
    Show();
    Put(*w->ECG, 1, Rule({}));
    Put(*w->ECG, 2, {"N", "", "5", "6", "7", "8", "9", "", "", "", "", "", "", "Spare"});
    {
        platform::DialogScript script;
        script.AnswerFile(eds);
        script.AnswerForm([](QWidget& form) {
            auto& p = dynamic_cast<TFEtherNEtIP_EDS&>(form);
            p.ECG->SetRow(1);
            p.SetModalResult(platform::mrOk);
        });
        w->Btn_Import_EDSClick(w->Btn_Import_EDS);
        EXPECT_EQ(script.Unanswered(), 0);
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[0].type, platform::ShownDialog::Type::OpenFile);
        EXPECT_TRUE(script.Shown()[0].request.filter.contains("*.eds"));
        EXPECT_EQ(script.Shown()[1].text, "FEtherNEtIP_EDS");
        EXPECT_EQ(script.Shown()[1].caption, "EtherNet/IP EDS Decode - Select the Connection to use");
    }
    // Row 2 has neither address nor Instance T > O: only its connection columns change.
    EXPECT_EQ(Row(*w->ECG, 2),
              QStringList({"2", "N", "", "5", "6", "7", "8", "9", "152", "100", "151", "150", "4", "3", "Spare"}));
    EXPECT_EQ(Row(*w->ECG, 1)[8], "1");

    // Cancelled in the file dialog or in the picker: nothing changes.
    const QStringList before = Row(*w->ECG, 3);
    {
        platform::DialogScript script;
        script.AnswerFile("");
        w->Btn_Import_EDSClick(w->Btn_Import_EDS);
        EXPECT_EQ(script.Shown().size(), 1u);
    }
    {
        platform::DialogScript script;
        script.AnswerFile(eds);
        script.AnswerForm([](QWidget& form) { dynamic_cast<TFEtherNEtIP_EDS&>(form).SetModalResult(platform::mrCancel); });
        w->Btn_Import_EDSClick(w->Btn_Import_EDS);
    }
    EXPECT_EQ(Row(*w->ECG, 3), before);

    // Every row taken by an address or an Instance T > O.
    for (int r = 3; r <= 10; ++r)
        w->ECG->SetCellEx(r % 2 ? 2 : 8, r, "1");
    std::vector<QStringList> all;
    for (int r = 1; r <= 10; ++r)
        all.push_back(Row(*w->ECG, r));
    {
        platform::DialogScript script;
        script.AnswerFile(eds);
        script.AnswerForm([](QWidget& form) { dynamic_cast<TFEtherNEtIP_EDS&>(form).SetModalResult(platform::mrOk); });
        w->Btn_Import_EDSClick(w->Btn_Import_EDS);
    }
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(Row(*w->ECG, r), all[r - 1]) << r;
}

TEST_F(EtherNetIPAccess, TextsAndHints)
{
    EXPECT_EQ(w->Caption(), "Set EtherNet/IP Slaves Access");
    EXPECT_EQ(w->Btn_Import_EDS->Caption(), "Import EDS");
    EXPECT_EQ(w->Btn_Import_EDS->Hint(), "Import a slave EtherNet/IP from EDS File");
    EXPECT_EQ(w->ECG->RowCount(), 11);
    EXPECT_EQ(w->ECG->Columns().GetItem(13)->Header(), "Dim Header O > T");
    QString hint;
    w->GridHint(w->ECG, 0, 14, hint);
    EXPECT_EQ(hint, "Insert a description of the EtherNet/IP Slave");
    Show();
    w->ECG->SetRow(4);
    Put(*w->ECG, 4, Rule({}));
    w->Btn_InsRowClick(w->Btn_InsRow);
    EXPECT_EQ(Row(*w->ECG, 4), QStringList({"4", "Y", "", "", "", "", "", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(w->ECG->GetCellEx(2, 5), "192.168.1.10");
}

TEST(EtherNetIPDataPath, CheckTable)
{
    const struct {
        const char* path;
        int min;
        int result;
    } cases[] = {
        {"", 0, 0},         {"", 1, 2},          {"20,04,24,01", 4, 0}, {"20, 04 ,24", 4, 2},
        {"20,FF", 2, 0},    {"20,100", 1, 1},    {"20,,24", 1, 1},      {"zz", 0, 1},
        {"20,04,24,01", 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFEtherNetIP_Master_Access::Err_Check_Data_Path(c.path, c.min), c.result) << c.path << " " << c.min;
}

// EIP_SCREENSHOT_DIR=<dir> saves the scanner rules and the picker, to be looked at.
TEST_F(EtherNetIPAccess, Screenshots)
{
    const QString out = qEnvironmentVariable("EIP_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set EIP_SCREENSHOT_DIR to save the windows";
    QDir().mkpath(out);
    auto save = [&](platform::TForm& f, const char* name) {
        platform::DialogScript script;
        f.Show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        EXPECT_TRUE(f.grab().save(QDir(out).filePath(name)));
        f.Hide();
    };
    ASSERT_TRUE(WriteAll(File(), "<EtherNetIP_Master_Access><row Enable=\"Y\" IP_Address=\"192.168.1.20\" "
                                 "Start_Input=\"0\" Num_Input=\"32\" Start_Output=\"0\" Num_Output=\"16\" "
                                 "Time_Poll=\"100\" Instance_T_O=\"100\" Connection_Point_T_O=\"100\" "
                                 "Instance_O_T=\"150\" Connection_Point_O_T=\"150\" Dim_Header_T_O=\"Default\" "
                                 "Dim_Header_O_T=\"Default\" Mnemonic=\"Drive\"/></EtherNetIP_Master_Access>"));
    save(*w, "ethernetip_scanner.png");
    picker->EDS_FileName = dir.filePath("device.eds");
    ASSERT_TRUE(WriteAll(picker->EDS_FileName, kTwoConnections));
    save(*picker, "ethernetip_eds_picker.png");
}
