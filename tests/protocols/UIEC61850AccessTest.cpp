// The IEC 61850 client window: devices added to the catalogue, attributes and
// data sets picked from the tree into rows, the checks on OK, and the project
// file written and read back with its catalogue.
#include "protocols/UIEC_61850_Access.h"
#include "protocols/UIEC_Client_Decode.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::DialogScript;
using platform::MessageAnswer;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

// One IED: LD0 with LLN0 (data set "Measures" of two members, published by
// "gcb1") and MMXU1 (TotW.mag.f, TotW.q, a string name plate).
const QByteArray kScl = R"(<SCL>
 <IED name="Relay"><AccessPoint name="AP"><Server>
  <LDevice inst="LD0">
   <LN0 lnClass="LLN0" lnType="LLN0_T" inst="">
    <DataSet name="Measures">
     <FCDA ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="mag.f" fc="MX"/>
     <FCDA ldInst="LD0" lnClass="MMXU" lnInst="1" doName="TotW" daName="q" fc="MX"/>
    </DataSet>
    <GSEControl name="gcb1" datSet="Measures"/>
   </LN0>
   <LN lnClass="MMXU" lnType="MMXU_T" inst="1"/>
  </LDevice>
 </Server></AccessPoint></IED>
 <DataTypeTemplates>
  <LNodeType id="LLN0_T" lnClass="LLN0"/>
  <LNodeType id="MMXU_T" lnClass="MMXU"><DO name="TotW" type="MV_T"/><DO name="NamPlt" type="LPL_T"/></LNodeType>
  <DOType id="MV_T"><DA name="mag" bType="Struct" type="AV_T" fc="MX"/><DA name="q" bType="Quality" fc="MX"/></DOType>
  <DOType id="LPL_T"><DA name="vendor" bType="VisString255" fc="DC"/></DOType>
  <DAType id="AV_T"><BDA name="f" bType="FLOAT32"/></DAType>
 </DataTypeTemplates>
</SCL>)";

class IEC61850Client : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid() && source.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        for (const Project_File& f : Project_Files())
            *f.path = dir.filePath(QString::fromLatin1(f.name));
        w = std::make_unique<TFIEC_61850_Access>();
    }
    void TearDown() override
    {
        w.reset();
        Project_Folder.clear();
        for (const Project_File& f : Project_Files())
            f.path->clear();
    }

    // Adds a device from a file of this content, answering the catalogue question when asked.
    std::vector<platform::ShownDialog> Add_Device(const QString& name, const QByteArray& content,
                                                  MessageAnswer answer = MessageAnswer::Yes)
    {
        const QString path = source.filePath(name);
        EXPECT_TRUE(WriteAll(path, content));
        DialogScript script;
        script.AnswerFile(path);
        script.AnswerMessage(answer);
        w->Btn_Add_IEC_DeviceClick(nullptr);
        return script.Shown();
    }
    void Choose_Device(int n)
    {
        w->LB_IEC_Devices->SetItemIndex(n);
        w->LB_IEC_DevicesClick(nullptr);
    }
    TIEC_LN& Node(int device, int ln) { return *w->List_IEC_Dev[device]->List_LDevice[0]->List_LN[ln]; }
    void Pick(platform::TTreeNode* node)
    {
        w->TV_IEC_DeviceClick(node);
        w->Btn_AddVarClick(nullptr);
    }
    QString Ok()
    {
        DialogScript script;
        w->SetModalResult(platform::mrNone);
        w->Btn_OKClick(nullptr);
        return script.Shown().empty() ? QString() : script.Shown()[0].text;
    }
    std::vector<platform::ShownDialog> Show()
    {
        DialogScript script;
        w->FormShow();
        return script.Shown();
    }
    QString File() const { return FileName_IEC_61850_Client; }
    QStringList Row(VOruVizizaZezo* g, int r)
    {
        QStringList out;
        for (int c = 0; c < g->ColCount(); ++c)
            out << g->GetCellEx(c, r);
        return out;
    }
    void Set_Member(int dataSetRow, int memberRow, int col, const QString& text)
    {
        w->ECG_DataSet->SetRow(dataSetRow);
        w->Show_DataSet_DAs();
        w->DataSet_Row_Select = dataSetRow;
        w->ECG_DS_Vars->SetCellEx(col, memberRow, text);
        w->Member_Edit_Done(col, memberRow);
    }

    QTemporaryDir dir, source;
    std::unique_ptr<TFIEC_61850_Access> w;
};

const QByteArray kSaved =
    "<IEC_68850_Client>\n"
    "\t<List_ICD_Files>\n"
    "\t\t<ICD_File Name=\"Relay\" FileName=\"relay.icd\" />\n"
    "\t</List_ICD_Files>\n"
    "\t<List_DA_Selected>\n"
    "\t\t<DA_Item Index=\"0\" bType=\"FLOAT32\" fc=\"MX\" Reference=\"RelayLD0/MMXU1.TotW.mag.f\" StartByte=\"0\" "
    "NumByte=\"4\" IPAddress=\"192.168.1.20\" Port=\"102\" OnChange=\"N\" OnCMD=\"N\" OnTimer=\"Y\" Time=\"1000\" "
    "Position=\"10\" StartBit=\"0\" ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"1,5\" Mnemonic=\"Power\" />\n"
    "\t\t<DA_Item Index=\"0\" bType=\"VisString255\" fc=\"DC\" Reference=\"RelayLD0/MMXU1.NamPlt.vendor\" "
    "StartByte=\"2\" NumByte=\"8\" IPAddress=\"192.168.1.20\" Port=\"102\" OnChange=\"N\" OnCMD=\"Y\" OnTimer=\"N\" "
    "Time=\"\" Position=\"20\" StartBit=\"\" ReadWrite=\"Read\" Convertion=\"\" MoltFact=\"None\" Mnemonic=\"\" />\n"
    "\t</List_DA_Selected>\n"
    "\t<List_DataSet_Selected>\n"
    "\t\t<DataSet_Item Index=\"0\" Reference=\"RelayLD0/LLN0.Measures\" GooseName=\"gcb1\" EnGoose=\"Y\" "
    "IPAddress=\"192.168.1.20\" Port=\"102\" Time=\"\" Mnemonic=\"Set\">\n"
    "\t\t\t<DataSet_List_DAs>\n"
    "\t\t\t\t<DataSet_DA_Item bType=\"FLOAT32\" Reference=\"RelayLD0/MMXU1.TotW.mag.f\" Position=\"100\" "
    "StartBit=\"\" Convertion=\"ItoF/FtoI\" MoltFact=\"None\" Mnemonic=\"\" />\n"
    "\t\t\t\t<DataSet_DA_Item bType=\"Quality\" Reference=\"RelayLD0/MMXU1.TotW.q\" Position=\"104\" "
    "StartBit=\"\" Convertion=\"\" MoltFact=\"2.5\" Mnemonic=\"Quality\" />\n"
    "\t\t\t</DataSet_List_DAs>\n"
    "\t\t</DataSet_Item>\n"
    "\t</List_DataSet_Selected>\n"
    "</IEC_68850_Client>\n"
    "<!--SW_VERSION = 1.000-->\n";

} // namespace

TEST_F(IEC61850Client, PicksFromTheTreeAndSavesByteForByte)
{
    Show();
    const auto shown = Add_Device("relay.icd", kScl);
    ASSERT_EQ(shown.size(), 1u) << "the file dialog, no question";
    EXPECT_EQ(shown[0].type, platform::ShownDialog::Type::OpenFile);
    EXPECT_TRUE(QFile::exists(dir.filePath("ICD_Catalog/relay.icd")));
    ASSERT_EQ(w->LB_IEC_Devices->Items(), QStringList({"Relay"}));
    Choose_Device(0);
    TIEC_LN& mmxu = Node(0, 1);
    TIEC_DO& totW = *mmxu.List_DO[0];

    // Only leaf attributes and data sets are picked.
    for (platform::TTreeNode* node : {totW.TreeNode, totW.List_DA[0]->TreeNode, mmxu.TreeNode}) {
        Pick(node);
        EXPECT_TRUE(w->ECG_DA->GetCellEx(cdaIndex, 1).isEmpty());
    }
    Pick(totW.List_DA[0]->List_DA[0]->TreeNode);  // mag.f
    Pick(mmxu.List_DO[1]->List_DA[0]->TreeNode);  // NamPlt.vendor
    ASSERT_EQ(w->ECG_DA->RowCount(), 3);
    EXPECT_EQ(Row(w->ECG_DA, 1).mid(0, 12), QStringList({"1", "0", "FLOAT32", "MX", "RelayLD0/MMXU1.TotW.mag.f", "0",
                                                         "4", "", "", "N", "N", "N"}));
    EXPECT_TRUE(w->ECG_DA->GetCellProperties(cdaNumByte, 1)->ReadOnly()) << "a fixed-size type";
    EXPECT_FALSE(w->ECG_DA->GetCellProperties(cdaNumByte, 2)->ReadOnly()) << "a string takes a part";

    Pick(Node(0, 0).List_DataSet[0]->TreeNode);
    EXPECT_EQ(w->PC_DA_DataSet->ActivePage(), w->TS_DataSet);
    EXPECT_EQ(Row(w->ECG_DataSet, 1).mid(0, 5), QStringList({"1", "0", "RelayLD0/LLN0.Measures", "gcb1", "Y"}));
    ASSERT_EQ(w->List_DataSet.size(), 1u);
    ASSERT_EQ(w->List_DataSet[0]->List_DAs.size(), 2u);

    const QStringList first = {"0", "FLOAT32", "MX", "RelayLD0/MMXU1.TotW.mag.f", "0", "4", "192.168.1.20", "102",
                               "N", "N", "Y", "1000", "10", "0", "Read", "None", "1,5", "Power"};
    for (int c = cdaIPAddress; c < cdaCount; ++c)
        w->ECG_DA->SetCellEx(c, 1, first[c - 1]);
    const QStringList second = {"2", "8", "192.168.1.20", "102", "N", "Y", "N", "", "20", "", "Read", "", "None", ""};
    for (int c = cdaStartByte; c < cdaCount; ++c)
        w->ECG_DA->SetCellEx(c, 2, second[c - cdaStartByte]);
    w->ECG_DataSet->SetCellEx(cdsIPAddress, 1, "192.168.1.20");
    w->ECG_DataSet->SetCellEx(cdsPort, 1, "102");
    w->ECG_DataSet->SetCellEx(cdsMnemonic, 1, "Set");
    Set_Member(1, 1, cmPosition, "100");
    Set_Member(1, 1, cmConvertion, "ItoF/FtoI");
    Set_Member(1, 1, cmMultFact, "None");
    Set_Member(1, 2, cmPosition, "104");
    Set_Member(1, 2, cmMultFact, "2.5");
    Set_Member(1, 2, cmMnemonic, "Quality");

    EXPECT_EQ(Ok(), "");
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), kSaved);

    // Shown again: everything comes back from the file and the catalogue.
    w->ECG_DA->SetCellEx(cdaMnemonic, 1, "lost edit");
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->LB_IEC_Devices->Items(), QStringList({"Relay"}));
    EXPECT_EQ(w->ECG_DA->GetCellEx(cdaMnemonic, 1), "Power");
    w->ECG_DataSet->SetRow(1);
    w->Show_DataSet_DAs();
    EXPECT_EQ(Row(w->ECG_DS_Vars, 2), QStringList({"2", "Quality", "RelayLD0/MMXU1.TotW.q", "104", "", "", "2.5",
                                                   "Quality"}));
    EXPECT_EQ(Ok(), "");
    EXPECT_EQ(ReadAll(File()), kSaved);
}

TEST_F(IEC61850Client, EmptyWindowWritesEmptyListsAndReadsThemBack)
{
    Show();
    w->ECG_DA->SetCellEx(cdaMnemonic, 1, "no device index: not written");
    EXPECT_EQ(Ok(), "");
    const QByteArray empty = "<IEC_68850_Client>\n\t<List_ICD_Files />\n\t<List_DA_Selected />\n"
                             "\t<List_DataSet_Selected />\n</IEC_68850_Client>\n<!--SW_VERSION = 1.000-->\n";
    EXPECT_EQ(ReadAll(File()), empty);
    EXPECT_TRUE(Show().empty());
    EXPECT_EQ(w->ECG_DA->RowCount(), 2);
    EXPECT_EQ(w->ECG_DataSet->RowCount(), 2);
    EXPECT_EQ(w->LB_IEC_Devices->Count(), 0);
}

TEST_F(IEC61850Client, ChecksOnOk)
{
    struct Case
    {
        QStringList cells;  // from Start Byte (column 5) on
        QString type;
        QString message;
        const char* why;
    };
    const QStringList good = {"", "", "10.0.0.1", "102", "N", "N", "N", "", "0", "0", "Read", "None", "None", ""};
    const auto with = [&](std::initializer_list<std::pair<int, QString>> changes) {
        QStringList cells = good;
        for (const auto& [col, text] : changes)
            cells[col - cdaStartByte] = text;
        return cells;
    };
    const QString row = "Error row 1";
    const std::vector<Case> cases = {
        {good, "INT32", "", "a valid row"},
        {with({{cdaStartByte, "250"}, {cdaNumByte, "5"}}), "VisString255", "", "string: sum 255"},
        {with({{cdaStartByte, "250"}, {cdaNumByte, "6"}}), "VisString255",
         row + "!! Start Byte plus Num Byte must be minor of 255", "string: sum 256"},
        {with({{cdaStartByte, "255"}, {cdaNumByte, "1"}}), "VisString255", row + "!! Start Byte must be between 0 and 254",
         "string: start"},
        {with({{cdaStartByte, "0"}, {cdaNumByte, "64"}}), "Octet64", "", "octets: all"},
        {with({{cdaStartByte, "1"}, {cdaNumByte, "64"}}), "Octet64",
         row + "!! Start Byte plus Num Byte must be minor of 64", "octets: one too many"},
        {with({{cdaIPAddress, "10.0.0.256"}}), "INT32",
         row + "!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)", "address"},
        {with({{cdaPort, "65536"}}), "INT32", row + "!! Port must be between 0 and 65535", "port"},
        {with({{cdaOnTimer, "Y"}}), "INT32", row + "!! Time must be between 1 and 100000000 ms", "timer without time"},
        {with({{cdaPosition, "1400"}}), "INT32", row + "!! Position must be between 0 and 1399", "position"},
        {with({{cdaMoltFact, " none "}}), "INT32", "", "factor None in any case"},
        {with({{cdaMoltFact, "1,5"}}), "INT32", "", "factor with a comma"},
        {with({{cdaMoltFact, "1.5"}}), "INT32", "", "factor with a point"},
        {with({{cdaMoltFact, ""}}), "INT32", row + "!! Mult. Factor must be a valid Float", "empty factor"},
        {with({{cdaPosition, "x"}}), "", "", "a row without a type is skipped"},
    };
    for (const Case& c : cases) {
        Show();
        w->ECG_DA->SetCellEx(cdaIndex, 1, "0");
        w->ECG_DA->SetCellEx(cdabType, 1, c.type);
        for (int i = 0; i < c.cells.size(); ++i)
            w->ECG_DA->SetCellEx(cdaStartByte + i, 1, c.cells[i]);
        DialogScript script;
        EXPECT_EQ(w->Controllo_dati(), c.message.isEmpty()) << c.why;
        EXPECT_EQ(script.Shown().empty() ? QString() : script.Shown()[0].text, c.message) << c.why;
    }
}

// Data-set rows are requests too: their address, port and time, and each
// member's position and factor, are checked before anything is written.
TEST_F(IEC61850Client, DataSetRowsAreChecked)
{
    Show();
    Add_Device("relay.icd", kScl);
    Choose_Device(0);
    Pick(Node(0, 0).List_DataSet[0]->TreeNode);
    const auto fault = [&] {
        DialogScript script;
        const bool ok = w->Controllo_dati();
        return ok ? QString() : script.Shown().at(0).text;
    };
    EXPECT_EQ(fault(), "Error in DataSet row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    w->ECG_DataSet->SetCellEx(cdsIPAddress, 1, "10.0.0.2");
    w->ECG_DataSet->SetCellEx(cdsPort, 1, "102");
    w->ECG_DataSet->SetCellEx(cdsTime, 1, "0");
    EXPECT_EQ(fault(), "Error in DataSet row 1!! Time must be between 1 and 100000000 ms");
    w->ECG_DataSet->SetCellEx(cdsTime, 1, "");
    EXPECT_EQ(fault(), "Error in DataSet row 1, member 1!! Position must be between 0 and 1399");
    Set_Member(1, 1, cmPosition, "0");
    Set_Member(1, 1, cmMultFact, "None");
    Set_Member(1, 2, cmPosition, "4");
    EXPECT_EQ(fault(), "Error in DataSet row 1, member 2!! Mult. Factor must be a valid Float");
    Set_Member(1, 2, cmMultFact, "1");
    EXPECT_EQ(fault(), "");
    EXPECT_FALSE(QFile::exists(File())) << "checks alone write nothing";
}

// After "Remove Var" on the data-set page the member grid shows the row now
// current, and edits reach that row's records, not the removed one's.
TEST_F(IEC61850Client, RemovingADataSetRowRefreshesItsMembers)
{
    Show();
    Add_Device("relay.icd", kScl);
    Choose_Device(0);
    TIEC_DataSet* set = Node(0, 0).List_DataSet[0].get();
    Pick(set->TreeNode);
    Pick(set->TreeNode);
    ASSERT_EQ(w->List_DataSet.size(), 2u);
    Set_Member(2, 1, cmPosition, "200");
    Set_Member(1, 1, cmPosition, "100");  // the member grid now edits row 1

    w->ECG_DataSet->SetRow(1);
    w->Btn_RemoveVarClick(nullptr);
    ASSERT_EQ(w->List_DataSet.size(), 1u);
    EXPECT_EQ(w->ECG_DataSet->RowCount(), 2);
    EXPECT_EQ(w->ECG_DS_Vars->GetCellEx(cmPosition, 1), "200") << "the remaining row's members are shown";
    EXPECT_EQ(w->DataSet_Row_Select, 0);
    w->ECG_DS_Vars->SetCellEx(cmPosition, 1, "stale");
    w->Member_Edit_Done(cmPosition, 1);  // no row chosen since: nothing stored
    EXPECT_EQ(w->List_DataSet[0]->List_DAs[0]->Position, "200");

    // The last row: its cells are cleared, one empty row stays.
    w->Btn_RemoveVarClick(nullptr);
    EXPECT_TRUE(w->List_DataSet.empty());
    EXPECT_EQ(w->ECG_DataSet->RowCount(), 2);
    EXPECT_TRUE(w->ECG_DataSet->GetCellEx(cdsReference, 1).isEmpty());
    EXPECT_TRUE(w->ECG_DS_Vars->GetCellEx(cmReference, 1).isEmpty());

    // The variables page: the only, empty row stays one empty row.
    w->PC_DA_DataSet->SetActivePage(w->TS_DA);
    w->ECG_DA->SetRow(1);
    w->Btn_RemoveVarClick(nullptr);
    EXPECT_EQ(w->ECG_DA->RowCount(), 2);
}

TEST_F(IEC61850Client, RemovingDevicesKeepsRowsPointingAtTheirDevices)
{
    Show();
    Add_Device("a.icd", kScl);
    Add_Device("b.icd", kScl);
    ASSERT_EQ(w->List_IEC_Dev.size(), 2u);
    w->ECG_DA->SetCellEx(cdaIndex, 1, "1");
    w->ECG_DataSet->SetCellEx(cdsIndex, 1, "1");

    w->LB_IEC_Devices->SetItemIndex(1);
    w->Btn_Remove_IEC_DeviceClick(nullptr);
    EXPECT_EQ(w->List_IEC_Dev.size(), 2u) << "device 1 is in use";

    w->LB_IEC_Devices->SetItemIndex(0);
    w->Btn_Remove_IEC_DeviceClick(nullptr);
    ASSERT_EQ(w->List_IEC_Dev.size(), 1u);
    EXPECT_EQ(w->List_IEC_Dev[0]->fFileName, "b.icd");
    EXPECT_EQ(w->ECG_DA->GetCellEx(cdaIndex, 1), "0");
    EXPECT_EQ(w->ECG_DataSet->GetCellEx(cdsIndex, 1), "0");
    EXPECT_TRUE(QFile::exists(dir.filePath("ICD_Catalog/a.icd"))) << "the catalogue keeps its files";
}

// A data-set row holds its data set and members, whatever its Index cell
// says: the device stays as long as such a row does (under ASan a removal
// would show as a use after free below).
TEST_F(IEC61850Client, ADeviceStaysWhileADataSetRowHoldsItsModel)
{
    Show();
    Add_Device("a.icd", kScl);
    Add_Device("b.icd", kScl);
    Choose_Device(0);
    Pick(Node(0, 0).List_DataSet[0]->TreeNode);
    ASSERT_EQ(w->List_DataSet.size(), 1u);
    for (const char* typed : {"1", "x", ""}) {
        w->ECG_DataSet->SetCellEx(cdsIndex, 1, typed);
        w->LB_IEC_Devices->SetItemIndex(0);
        w->Btn_Remove_IEC_DeviceClick(nullptr);
        EXPECT_EQ(w->List_IEC_Dev.size(), 2u) << "Index typed over with \"" << typed << "\"";
    }
    // A click on the data-set grid shows the members, and OK writes them.
    w->ECG_DataSet->SetCellEx(cdsIndex, 1, "1");
    w->ECG_DataSet->OnClickCell(w->ECG_DataSet, 1, cdsReference);
    EXPECT_EQ(w->ECG_DS_Vars->GetCellEx(cmReference, 2), "RelayLD0/MMXU1.TotW.q");
    w->ECG_DataSet->SetCellEx(cdsIPAddress, 1, "1.2.3.4");
    w->ECG_DataSet->SetCellEx(cdsPort, 1, "102");
    for (int m = 1; m <= 2; ++m) {
        Set_Member(1, m, cmPosition, "0");
        Set_Member(1, m, cmMultFact, "None");
    }
    EXPECT_EQ(Ok(), "");
    EXPECT_TRUE(ReadAll(File()).contains("<DataSet_DA_Item bType=\"Quality\" Reference=\"RelayLD0/MMXU1.TotW.q\""));

    // Once the row is gone, so may the device go.
    w->PC_DA_DataSet->SetActivePage(w->TS_DataSet);
    w->ECG_DataSet->SetRow(1);
    w->Btn_RemoveVarClick(nullptr);
    w->LB_IEC_Devices->SetItemIndex(0);
    w->Btn_Remove_IEC_DeviceClick(nullptr);
    EXPECT_EQ(w->List_IEC_Dev.size(), 1u);
}

// A catalogue file that is gone: the device keeps its name and its data-set
// rows their members, so OK (once the user agreed) writes the file as it was.
TEST_F(IEC61850Client, AMissingCatalogueFileLosesNothing)
{
    ASSERT_TRUE(WriteAll(File(), kSaved));
    EXPECT_TRUE(Show().empty()) << "a missing catalogue file is not said at the showing";
    EXPECT_EQ(w->LB_IEC_Devices->Items(), QStringList({"relay.icd (missing)"}));
    w->ECG_DataSet->OnClickCell(w->ECG_DataSet, 1, cdsReference);
    EXPECT_EQ(Row(w->ECG_DS_Vars, 2), QStringList({"2", "Quality", "RelayLD0/MMXU1.TotW.q", "104", "", "", "2.5",
                                                   "Quality"}));
    DialogScript script;
    script.AnswerMessage(MessageAnswer::Yes);
    w->Btn_OKClick(nullptr);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Confirmation);
    EXPECT_TRUE(script.Shown()[0].text.contains("ICD_Catalog/relay.icd\" is missing"));
    EXPECT_EQ(w->ModalResult(), platform::mrOk);
    EXPECT_EQ(ReadAll(File()), kSaved);
}

TEST_F(IEC61850Client, CatalogueCopies)
{
    Show();
    Add_Device("relay.icd", kScl);
    QByteArray other = kScl;
    other.replace("Relay", "Other");

    // No: the catalogue's copy is read, not the chosen file.
    auto shown = Add_Device("relay.icd", other, MessageAnswer::No);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "File already exists in catalog directory. Do you want to overwrite file?");
    EXPECT_EQ(w->LB_IEC_Devices->Items(), QStringList({"Relay", "Relay"}));
    // Cancel: nothing.
    Add_Device("relay.icd", other, MessageAnswer::Cancel);
    EXPECT_EQ(w->List_IEC_Dev.size(), 2u);
    // Yes: copied over.
    Add_Device("relay.icd", other, MessageAnswer::Yes);
    EXPECT_EQ(w->LB_IEC_Devices->Items(), QStringList({"Relay", "Relay", "Other"}));

    // A copy that fails is said, and adds nothing.
    ASSERT_TRUE(QDir(dir.filePath("ICD_Catalog")).mkdir("blocked.icd"));
    shown = Add_Device("blocked.icd", kScl);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown.back().text.startsWith("The file could not be copied into the catalog directory"));
    EXPECT_EQ(w->List_IEC_Dev.size(), 3u);

    // A file that is not XML: the parser's message; the copy stays.
    shown = Add_Device("broken.icd", "<SCL><IED");
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().kind, platform::MessageKind::Error);
    EXPECT_EQ(w->List_IEC_Dev.size(), 3u);
    EXPECT_TRUE(QFile::exists(dir.filePath("ICD_Catalog/broken.icd")));
}

// Catalogue files that are gone, or named outside the catalogue, keep their
// place in the device list so the rows still find their devices.
TEST_F(IEC61850Client, LoadingKeepsDevicePositions)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("ICD_Catalog"));
    ASSERT_TRUE(WriteAll(dir.filePath("ICD_Catalog/a.icd"), kScl));
    QByteArray c = kScl;
    c.replace("Relay", "Third");
    ASSERT_TRUE(WriteAll(dir.filePath("ICD_Catalog/c.icd"), c));
    ASSERT_TRUE(WriteAll(dir.filePath("outside.icd"), kScl));
    const QByteArray file =
        "<IEC_68850_Client><List_ICD_Files>"
        "<ICD_File Name=\"Relay\" FileName=\"a.icd\"/><ICD_File Name=\"Gone\" FileName=\"b.icd\"/>"
        "<ICD_File Name=\"Third\" FileName=\"c.icd\"/><ICD_File Name=\"Out\" FileName=\"../outside.icd\"/>"
        "</List_ICD_Files><List_DA_Selected>"
        "<DA_Item Index=\"2\" bType=\"INT32\" fc=\"MX\" Reference=\"r\" StartByte=\"7\" IPAddress=\"1.2.3.4\" "
        "Port=\"102\" OnChange=\"N\" OnCMD=\"N\" OnTimer=\"N\" Time=\"\" Position=\"1\" StartBit=\"0\" "
        "ReadWrite=\"Read\" Convertion=\"None\" MoltFact=\"None\" Mnemonic=\"\"/>"
        "</List_DA_Selected><List_DataSet_Selected>"
        "<DataSet_Item Index=\"2\" Reference=\"ThirdLD0/LLN0.Measures\" GooseName=\"gcb1\" EnGoose=\"Y\" "
        "IPAddress=\"\" Port=\"\" Time=\"\" Mnemonic=\"\"><DataSet_List_DAs>"
        "<DataSet_DA_Item bType=\"FLOAT32\" Reference=\"elsewhere\" Position=\"1\"/>"
        "<DataSet_DA_Item bType=\"Quality\" Reference=\"ThirdLD0/MMXU1.TotW.q\" Position=\"5\"/>"
        "</DataSet_List_DAs></DataSet_Item></List_DataSet_Selected></IEC_68850_Client>";
    ASSERT_TRUE(WriteAll(File(), file));
    EXPECT_TRUE(Show().empty());
    ASSERT_EQ(w->List_IEC_Dev.size(), 4u);
    EXPECT_EQ(w->LB_IEC_Devices->Items(),
              QStringList({"Relay", "b.icd (missing)", "Third", "../outside.icd (missing)"}));
    EXPECT_TRUE(w->List_IEC_Dev[3]->List_LDevice.empty()) << "not read from outside the catalogue";
    EXPECT_EQ(w->ECG_DA->GetCellEx(cdaStartByte, 1), "0") << "a fixed-size type's bytes are set again";
    EXPECT_EQ(w->ECG_DA->GetCellEx(cdaNumByte, 1), "4");

    // The data set of device 2 is still found; a record whose member moved is dropped.
    ASSERT_EQ(w->List_DataSet.size(), 1u);
    ASSERT_NE(w->List_DataSet[0]->Select_DataSet, nullptr);
    ASSERT_EQ(w->List_DataSet[0]->List_DAs.size(), 1u);
    EXPECT_EQ(w->List_DataSet[0]->List_DAs[0]->Position, "5");

    // Written back (once the user agreed to replace what was not read whole),
    // the missing files keep their entries and names.
    EXPECT_EQ(Ok(), "Error in DataSet row 1!! IP Address must be a valid TCP IP Address (Ex. 192.168.1.125)");
    w->ECG_DataSet->SetCellEx(cdsIPAddress, 1, "1.2.3.4");
    w->ECG_DataSet->SetCellEx(cdsPort, 1, "102");
    w->List_DataSet[0]->List_DAs[0]->multFactor = "None";
    const QString question = Ok();
    EXPECT_TRUE(question.contains("b.icd\" is missing")) << question.toStdString();
    EXPECT_TRUE(question.contains("the member \"elsewhere\" is no longer in its data set")) << question.toStdString();
    EXPECT_EQ(ReadAll(File()), file) << "not replaced without a Yes";
    DialogScript yes;
    yes.AnswerMessage(MessageAnswer::Yes);
    w->Btn_OKClick(nullptr);
    const QByteArray saved = ReadAll(File());
    EXPECT_TRUE(saved.contains("<ICD_File Name=\"Gone\" FileName=\"b.icd\" />"));
    EXPECT_TRUE(saved.contains("<ICD_File Name=\"Out\" FileName=\"../outside.icd\" />"));
}

TEST_F(IEC61850Client, DamagedFilesStopTheLoadingAndSayWhy)
{
    struct Case
    {
        QByteArray file;
        QString message;
        int rows;  // variables rows read before the stop
        const char* why;
    };
    const QByteArray item = "<DA_Item Index=\"0\" bType=\"INT32\" fc=\"MX\" Reference=\"r\" IPAddress=\"\" Port=\"\" "
                            "OnChange=\"N\" OnCMD=\"N\" OnTimer=\"N\" Time=\"\" Position=\"\" StartBit=\"\" "
                            "ReadWrite=\"\" Convertion=\"\" MoltFact=\"\" Mnemonic=\"m\"/>";
    const std::vector<Case> cases = {
        {"<IEC_68850_Client><List_DA_Selected>" + item + "<DA_Item Index=\"0\"/>" + item +
             "</List_DA_Selected></IEC_68850_Client>",
         "Could not convert variant of type (Null) into type (OleStr)\nFile \"" + File()
             + "\", list \"List_DA_Selected\", row 2, attribute \"bType\"",
         1, "an attribute missing"},
        {"<IEC_68850_Client><List_DataSet_Selected><DataSet_Item Index=\"x\" Reference=\"\" GooseName=\"\" "
         "EnGoose=\"\" IPAddress=\"\" Port=\"\" Time=\"\" Mnemonic=\"\"/></List_DataSet_Selected></IEC_68850_Client>",
         "'x' is not a valid integer value\nFile \"" + File()
             + "\", list \"List_DataSet_Selected\", row 1, attribute \"Index\"",
         0, "an index that is no number"},
        {"<IEC_68850_Client><List_DA_Selected>" + item, "", 0, "not well-formed"},
        {"<Other/>", "", 0, "another root"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteAll(File(), c.file));
        const auto shown = Show();
        ASSERT_EQ(shown.size(), 1u) << c.why;
        EXPECT_EQ(shown[0].kind, platform::MessageKind::Error) << c.why;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(shown[0].text, c.message) << c.why;
        }
        EXPECT_EQ(w->ECG_DA->GetCellEx(cdaMnemonic, 1), c.rows ? "m" : "") << c.why;
        EXPECT_EQ(w->ECG_DA->RowCount(), 2) << c.why;
    }
}

// RULES_SCREENSHOT_DIR=<dir> saves the window with a catalogue loaded, a
// device's tree open and a variable picked, to be looked at.
TEST_F(IEC61850Client, Screenshot)
{
    const QString out = qEnvironmentVariable("RULES_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set RULES_SCREENSHOT_DIR to save the window";
    QDir().mkpath(out);
    Show();
    Add_Device("relay.icd", kScl);
    QByteArray other = kScl;
    other.replace("Relay", "Feeder_2");
    Add_Device("feeder.icd", other);
    Choose_Device(0);
    Pick(Node(0, 1).List_DO[0]->List_DA[0]->List_DA[0]->TreeNode);
    const QStringList cells = {"192.168.1.20", "102", "N", "N", "Y", "1000", "10", "0", "Read", "None", "1", "Power"};
    for (int c = cdaIPAddress; c < cdaCount; ++c)
        w->ECG_DA->SetCellEx(c, 1, cells[c - cdaIPAddress]);
    ASSERT_EQ(Ok(), "");
    // Shown, the window reads the file back; then a device is chosen.
    DialogScript script;
    w->Show();
    Choose_Device(0);
    Node(0, 1).List_DO[0]->TreeNode->SetExpanded(true);
    Node(0, 1).List_DO[0]->List_DA[0]->TreeNode->SetExpanded(true);
    w->TV_IEC_Device->SetSelected(Node(0, 1).List_DO[0]->List_DA[0]->List_DA[0]->TreeNode);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("iec61850_client.png")));
    w->Hide();
}
