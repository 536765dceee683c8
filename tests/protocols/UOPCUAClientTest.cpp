// The OPC UA client: the variables' text conversions, the project file, the
// checks and automatic positions, the server dialog, the browse through a
// stand-in discovery library, and the window's scan merge and grid copies.
#include "protocols/UOPC_UA_Add_Server.h"
#include "protocols/UOPC_UA_Client_Access.h"
#include "protocols/UOPC_UA_Scan_Server.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::DialogScript;
using platform::MessageAnswer;
using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

std::unique_ptr<TOPC_UA_Variable> Var(const QString& name, const QString& type, const QString& position,
                                      const QString& time = "100")
{
    auto v = std::make_unique<TOPC_UA_Variable>();
    v->Enable = true;
    v->DispalyName = name;
    v->SetVarType(type);
    v->Position = position;
    v->Time = time;
    v->OnChange = v->OnCMD = v->OnTimer = "N";
    return v;
}

std::unique_ptr<TOPC_UA_Server> Server(const QString& address)
{
    auto s = std::make_unique<TOPC_UA_Server>();
    s->Enable = true;
    s->ServerAddress = address;
    s->Authorization = "Anonymous";
    s->SecurityType = "None";
    s->SecurityPolicy = "None";
    return s;
}

const QString kStubs = QStringLiteral(OPCUA_STUB_DIR);

} // namespace

TEST(OPCUAVariable, TextConversions)
{
    struct Case
    {
        QString nodeType, nodeId, varType, nameSpace;
        QString shownType, shownId, shownVar, shownSpace;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"numeric", "$10", "double", "2", "Numeric", "16", "Double", "2", "any case, the number rule"},
        {"Numeric", "abc", "Int8", "x", "Numeric", "0", "Int8", "0", "texts that do not convert give 0"},
        {"Other", "5", "Nothing", "1", "Numeric", "5", "Boolean", "1", "unknown names fall back"},
        {"String", "ns.a", "String", "0", "String", "ns.a", "String", "0", "string identifier"},
        {"Guid", "1234", "Guid", "0", "Guid", "00001234-0000-0000-0000-000000000000", "Guid", "0", "short GUID"},
        {"GUID", "12345678-9abc-def0-0111-2233445566ff", "Guid", "0", "Guid",
         "12345678-9ABC-DEF0-0111-2233445566FF", "Guid", "0", "whole GUID"},
        {"ByteString", "QUJD", "ByteString", "65535", "ByteString", "QUJD", "ByteString", "65535", "largest index"},
        {"Numeric", "1", "UInt64", "70000", "Numeric", "1", "UInt64", "70000", "an index over 16 bits stays as typed"},
    };
    for (const Case& c : cases) {
        TOPC_UA_Variable v;
        v.SetNodeType(c.nodeType);
        v.SetNodeID(c.nodeId);
        v.SetVarType(c.varType);
        v.SetNameSpaceText(c.nameSpace);
        EXPECT_EQ(v.NodeType(), c.shownType) << c.why;
        EXPECT_EQ(v.NodeID(), c.shownId) << c.why;
        EXPECT_EQ(v.VarType(), c.shownVar) << c.why;
        EXPECT_EQ(v.NameSpaceText(), c.shownSpace) << c.why;
    }
    EXPECT_EQ(GetLenVarType("datetime"), 8);
    EXPECT_EQ(GetLenVarType("String"), 20);
    EXPECT_EQ(GetLenVarType("Quad"), 0);
}

TEST(OPCUAClientFile, WrittenAndReadByteForByte)
{
    TOPC_UA_Server_List servers;
    servers.push_back(Server("opc.tcp://10.0.0.5:4840"));
    servers[0]->Authorization = "Username and Password";
    servers[0]->UserName = "op";
    servers[0]->Password = "p&w";
    servers[0]->Mnemonic = "Line 1";
    servers[0]->Var_List_R.push_back(Var("Temp", "Float", "0", "500"));
    servers[0]->Var_List_R[0]->SetNameSpaceText("2");
    servers[0]->Var_List_R[0]->SetNodeType("String");
    servers[0]->Var_List_R[0]->SetNodeID("Line1.Temp");
    servers[0]->Var_List_W.push_back(Var("Cmd", "Boolean", "10", ""));
    servers[0]->Var_List_W[0]->OnChange = "Y";
    servers[0]->Var_List_W[0]->Enable = false;
    servers.push_back(Server("opc.tcp://10.0.0.6:4840"));
    servers[1]->Enable = false;

    const QByteArray expected =
        "<OPC_UA_Client>\n"
        "\t<OPC_UA_Server_List>\n"
        "\t\t<OPC_UA_Server Enable=\"1\" ServerAddress=\"opc.tcp://10.0.0.5:4840\" Authorization=\"Username and "
        "Password\" UserName=\"op\" Password=\"p&amp;w\" Certificate=\"\" PrivateKey=\"\" SecurityType=\"None\" "
        "SecurityPolicy=\"None\" Mnemonic=\"Line 1\">\n"
        "\t\t\t<OPC_UA_Variables>\n"
        "\t\t\t\t<OPC_UA_Read_Var>\n"
        "\t\t\t\t\t<Variable Enable=\"1\" DisplayName=\"Temp\" NodeType=\"String\" NodeID=\"Line1.Temp\" "
        "VarType=\"Float\" NameSpaceIndex=\"2\" OnChange=\"0\" OnCMD=\"0\" OnTimer=\"0\" Time=\"500\" Position=\"0\" "
        "Mnemonic=\"\" />\n"
        "\t\t\t\t</OPC_UA_Read_Var>\n"
        "\t\t\t\t<OPC_UA_Write_Var>\n"
        "\t\t\t\t\t<Variable Enable=\"0\" DisplayName=\"Cmd\" NodeType=\"Numeric\" NodeID=\"0\" VarType=\"Boolean\" "
        "NameSpaceIndex=\"0\" OnChange=\"1\" OnCMD=\"0\" OnTimer=\"0\" Time=\"\" Position=\"10\" Mnemonic=\"\" />\n"
        "\t\t\t\t</OPC_UA_Write_Var>\n"
        "\t\t\t</OPC_UA_Variables>\n"
        "\t\t</OPC_UA_Server>\n"
        "\t\t<OPC_UA_Server Enable=\"0\" ServerAddress=\"opc.tcp://10.0.0.6:4840\" Authorization=\"Anonymous\" "
        "UserName=\"\" Password=\"\" Certificate=\"\" PrivateKey=\"\" SecurityType=\"None\" SecurityPolicy=\"None\" "
        "Mnemonic=\"\">\n"
        "\t\t\t<OPC_UA_Variables>\n"
        "\t\t\t\t<OPC_UA_Read_Var />\n"
        "\t\t\t\t<OPC_UA_Write_Var />\n"
        "\t\t\t</OPC_UA_Variables>\n"
        "\t\t</OPC_UA_Server>\n"
        "\t</OPC_UA_Server_List>\n"
        "</OPC_UA_Client>\n";
    EXPECT_EQ(OPC_UA_Client_File_Bytes(servers), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath("OPC_UA_Client.xml");
    ASSERT_TRUE(WriteAll(path, expected));
    TOPC_UA_Server_List read;
    QString error;
    ASSERT_TRUE(Load_OPC_UA_Client_File(path, read, &error)) << error.toStdString();
    EXPECT_EQ(OPC_UA_Client_File_Bytes(read), expected);

    // "Y" is not "1"; a damaged file gives the parser's message.
    ASSERT_TRUE(WriteAll(path, "<OPC_UA_Client><OPC_UA_Server_List><S Enable=\"Y\"/></OPC_UA_Server_List>"
                               "</OPC_UA_Client>"));
    ASSERT_TRUE(Load_OPC_UA_Client_File(path, read, &error));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_FALSE(read[0]->Enable);
    ASSERT_TRUE(WriteAll(path, "<OPC_UA_Client><OPC_UA_Server_List>"));
    EXPECT_FALSE(Load_OPC_UA_Client_File(path, read, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(OPCUAClientChecks, FirstFaultOfTheEnabledVariables)
{
    Load_English_Table();
    struct Case
    {
        bool write;
        QString time, position, onTimer, nameSpace;
        QString message;
        const char* why;
    };
    const std::vector<Case> cases = {
        {false, "100", "0", "N", "0", "", "valid read"},
        {false, " ", "0", "N", "0", "Error in Server Number 1 in Read Variable 2!! Time cannot be empty", "no time"},
        {false, "0", "0", "N", "0", "Error in Server Number 1 in Read Variable 2!! Time must be major to 0", "time 0"},
        {false, "1", "", "N", "0", "Error in Server Number 1 in Read Variable 2!! Position cannot be empty",
         "no position"},
        {false, "1", "1500", "N", "0",
         "Error in Server Number 1 in Read Variable 2!! Position must be between 0 and 1499", "position 1500"},
        {true, "", "1499", "N", "0", "", "write without timer needs no time"},
        {true, "", "0", "Y", "0", "Error in Server Number 1 in Write Variable 2!! Time cannot be empty",
         "write on timer"},
        {false, "1", "0", "N", "70000",
         "Error in Server Number 1 in Read Variable 2!! Name Space Index must be between 0 and 65535",
         "name-space index over 16 bits"},
    };
    for (const Case& c : cases) {
        TOPC_UA_Server_List servers;
        servers.push_back(Server("a"));
        auto& list = c.write ? servers[0]->Var_List_W : servers[0]->Var_List_R;
        list.push_back(Var("ok", "Int32", "0"));
        list.push_back(Var("x", "Int32", c.position, c.time));
        list.back()->OnTimer = c.onTimer;
        list.back()->SetNameSpaceText(c.nameSpace);
        list.push_back(Var("disabled", "Int32", "bad", "bad"));
        list.back()->Enable = false;
        EXPECT_EQ(Check_OPC_UA_Client(servers), c.message) << c.why;
    }
}

// Each server's positions start after every server above it ends, so no two
// servers share a position whatever their order.
TEST(OPCUAClientAutoPosition, StartsAfterEveryServerAbove)
{
    TOPC_UA_Server_List servers;
    servers.push_back(Server("a"));
    servers[0]->Var_List_R.push_back(Var("big", "Double", "100"));
    servers.push_back(Server("b"));
    servers[1]->Var_List_R.push_back(Var("i", "Int32", "0"));
    servers[1]->Var_List_R.push_back(Var("d", "Double", "10"));
    servers.push_back(Server("c"));
    servers[2]->Var_List_R.push_back(Var("t", "DateTime", "x"));
    servers[2]->Var_List_R.push_back(Var("s", "String", "x"));
    servers[2]->Var_List_W.push_back(Var("w", "Guid", "x"));
    servers[2]->Var_List_W.push_back(Var("v", "Int8", "x"));

    Auto_Position(servers, 0);
    EXPECT_EQ(servers[0]->Var_List_R[0]->Position, "0") << "the first server starts at 0";
    servers[0]->Var_List_R[0]->Position = "100";
    Auto_Position(servers, 2);
    EXPECT_EQ(servers[2]->Var_List_R[0]->Position, "108") << "after the first server, not only the one above";
    EXPECT_EQ(servers[2]->Var_List_R[1]->Position, "116") << "a date takes 8 bytes";
    EXPECT_EQ(servers[2]->Var_List_W[0]->Position, "0");
    EXPECT_EQ(servers[2]->Var_List_W[1]->Position, "16");
    Auto_Position(servers, 5);  // no such server: nothing
}

class OPCUAServerDialog : public ::testing::Test
{
protected:
    void SetUp() override { Load_English_Table(); }
    QString Ok()
    {
        DialogScript script;
        d.SetModalResult(platform::mrNone);
        d.Btn_OKClick(nullptr);
        return script.Shown().empty() ? QString() : script.Shown()[0].text;
    }
    TFOPC_UA_Add_Server d;
};

TEST_F(OPCUAServerDialog, AddModeStartsClean)
{
    d.FormType = 1;
    d.CB_OPC_UA_Server_Enable->SetChecked(false);
    d.E_Server_Add->SetText("left over");
    d.CB_Auth->SetItemIndex(2);
    d.CB_Sec_Type->SetItemIndex(2);
    d.CB_Sec_Policy->SetItemIndex(3);
    d.FormShow();
    EXPECT_TRUE(d.CB_OPC_UA_Server_Enable->Checked());
    EXPECT_TRUE(d.E_Server_Add->Text().isEmpty());
    EXPECT_EQ(d.CB_Auth->ItemIndex(), 0);
    EXPECT_EQ(d.CB_Sec_Type->ItemIndex(), 0);
    EXPECT_EQ(d.CB_Sec_Policy->ItemIndex(), 0);
    EXPECT_FALSE(d.CB_Sec_Policy->isEnabled());
    EXPECT_FALSE(d.E_User->isVisibleTo(&d));
    EXPECT_EQ(d.E_Pass->echoMode(), QLineEdit::Password) << "the password is not shown as typed";

    d.FormType = 2;
    d.E_Server_Add->SetText("kept");
    d.CB_Sec_Type->SetItemIndex(1);
    d.CB_Sec_Policy->SetItemIndex(2);
    d.FormShow();
    EXPECT_EQ(d.E_Server_Add->Text(), "kept");
    EXPECT_EQ(d.CB_Sec_Policy->ItemIndex(), 2);
    EXPECT_TRUE(d.CB_Sec_Policy->isEnabled());
    d.CB_Sec_Type->SetItemIndex(0);
    d.Check_Authorization();
    EXPECT_EQ(d.CB_Sec_Policy->ItemIndex(), 0) << "no security, no policy";
}

TEST_F(OPCUAServerDialog, ChecksTheCredentialsOfTheAuthorization)
{
    struct Case
    {
        int auth;            // -1: a typed text that selects no entry
        QString address, user, pass, cert, key;
        QString message;
        const char* why;
    };
    const std::vector<Case> cases = {
        {0, "opc.tcp://a", "", "", "", "", "", "anonymous"},
        {0, " ", "", "", "", "", "Error!! The Server Address cannot be empty", "no address"},
        {1, "a", "", "", "", "", "Error!! The Username cannot be empty", "no user"},
        {1, "a", "u", " ", "", "", "Error!! The Password cannot be empty", "no password"},
        {1, "a", "u", "p", "", "", "", "user and password"},
        {2, "a", "", "", "", "k", "Error!! The Certificate cannot be empty", "no certificate"},
        {2, "a", "", "", "c", "", "Error!! The Private Key cannot be empty", "no key"},
        {-1, "a", "", "", "", "", "Error!! The Certificate cannot be empty",
         "a typed choice is stored as Certificate, and checked as one"},
        {0, "a", "typed before", "", "", "", "", "a hidden user name is not checked"},
    };
    for (const Case& c : cases) {
        d.FormType = 2;
        d.CB_Auth->SetItemIndex(c.auth);
        if (c.auth < 0)
            d.CB_Auth->setEditText("Kerberos");
        d.E_Server_Add->SetText(c.address);
        d.E_User->SetText(c.user);
        d.E_Pass->SetText(c.pass);
        d.RE_Certificate->SetText(c.cert);
        d.RE_Priv_Key->SetText(c.key);
        EXPECT_EQ(d.CB_Auth->ItemIndex(), c.auth) << c.why;
        EXPECT_EQ(Ok(), c.message) << c.why;
        EXPECT_EQ(d.ModalResult(), c.message.isEmpty() ? platform::mrOk : platform::mrNone) << c.why;
    }
}

// The browse through the stand-in library: every kind of answer, and the
// texts of every record readable after the library is gone.
TEST(OPCUABrowse, EveryAnswerOfTheLibrary)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("record.txt");
    qputenv("OPCUA_STUB_LOG", log.toLocal8Bit());
    opcua_server_to_discover server;
    server.user_pass_auth_flag = 1;
    server.username = "op";
    server.password = "secret";
    server.security_type = 2;
    server.security_policy = 5;

    server.server_address = "opc.tcp://all";
    TOPC_UA_Browse all = Browse_OPC_UA_Server(kStubs + "/full", server);
    EXPECT_EQ(all.Error_Message, 0) << all.Error.toStdString();
    ASSERT_EQ(all.List_Var.size(), 5u);
    EXPECT_EQ(ReadAll(log), "opc.tcp://all|1|op|secret|||2|5") << "the record as the library received it";
    // Read after the library has been released: these are our own copies.
    EXPECT_STREQ(all.List_Var[0].displayName, "Temperature");
    EXPECT_STREQ(all.List_Var[1].stringname, "Plant.Pressure");
    EXPECT_STREQ(all.List_Var[3].byteString, "QUJD");
    EXPECT_EQ(OPCUA_NodeId_Text(all.List_Var[0]), "1001");
    EXPECT_EQ(OPCUA_NodeId_Text(all.List_Var[2]), "12345678-9ABC-DEF0-0011-223344556677");

    struct Case
    {
        const char* address;
        const char* folder;
        size_t count;
        int message;
        const char* why;
    };
    const std::vector<Case> cases = {
        {"opc.tcp://none", "full", 0, 0, "nothing found"},
        {"opc.tcp://negative", "full", 0, 0, "a negative count is none"},
        {"opc.tcp://many", "full", 1100, 0, "more than a table holds"},
        {"opc.tcp://all", "partial", 0, 5731, "the second entry point is missing"},
        {"opc.tcp://all", "nowhere", 0, 5730, "no library in the program's folder"},
    };
    for (const Case& c : cases) {
        server.server_address = c.address;
        const TOPC_UA_Browse b = Browse_OPC_UA_Server(kStubs + "/" + c.folder, server);
        EXPECT_EQ(b.List_Var.size(), c.count) << c.why;
        EXPECT_EQ(b.Error_Message, c.message) << c.why;
        EXPECT_EQ(b.Error.isEmpty(), c.message == 0) << c.why;
    }
    qunsetenv("OPCUA_STUB_LOG");
}

class OPCUAClientWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        Project_Folder = dir.path();
        FileName_OPC_UA_Client = dir.filePath("OPC_UA_Client.xml");
        Program_Folder = kStubs + "/full";
        w = std::make_unique<TFOPC_UA_Client_Access>();
    }
    void TearDown() override
    {
        w.reset();
        delete FOPC_UA_Scan_Server;
        delete FOPC_UA_Add_Server;
        Project_Folder.clear();
        FileName_OPC_UA_Client.clear();
        Program_Folder.clear();
    }
    void Show(const QByteArray& file)
    {
        ASSERT_TRUE(WriteAll(FileName_OPC_UA_Client, file));
        DialogScript script;
        w->FormShow();
    }
    // A scan whose browse dialog ticks what `tick` leaves and closes with OK.
    std::vector<platform::ShownDialog> Scan(std::function<void(TFOPC_UA_Scan_Server&)> tick,
                                            std::vector<MessageAnswer> answers = {})
    {
        DialogScript script;
        script.AnswerForm([tick](QWidget& form) {
            auto& d = static_cast<TFOPC_UA_Scan_Server&>(form);
            if (d.Timer_Scan->Enabled())  // the tick, without waiting for it
                d.Timer_ScanTimer(nullptr);
            if (tick)
                tick(d);
            d.SetModalResult(platform::mrOk);
        });
        for (MessageAnswer a : answers)
            script.AnswerMessage(a);
        w->Scan_Server();
        return script.Shown();
    }
    QTemporaryDir dir;
    std::unique_ptr<TFOPC_UA_Client_Access> w;
};

const QByteArray kTwoServers =
    "<OPC_UA_Client><OPC_UA_Server_List>"
    "<OPC_UA_Server Enable=\"1\" ServerAddress=\"opc.tcp://all\" Authorization=\"Anonymous\" SecurityType=\"None\" "
    "SecurityPolicy=\"None\"><OPC_UA_Variables><OPC_UA_Read_Var>"
    "<Variable Enable=\"1\" DisplayName=\"Old\" NodeType=\"Numeric\" NodeID=\"7\" VarType=\"Int16\" "
    "NameSpaceIndex=\"1\" Time=\"100\" Position=\"0\"/>"
    "</OPC_UA_Read_Var><OPC_UA_Write_Var/></OPC_UA_Variables></OPC_UA_Server>"
    "<OPC_UA_Server Enable=\"1\" ServerAddress=\"\" Authorization=\"Anonymous\"><OPC_UA_Variables>"
    "<OPC_UA_Read_Var/><OPC_UA_Write_Var/></OPC_UA_Variables></OPC_UA_Server>"
    "</OPC_UA_Server_List></OPC_UA_Client>";

TEST_F(OPCUAClientWindow, ScanMergesTheTickedVariables)
{
    Show(kTwoServers);
    ASSERT_EQ(w->OPC_UA_Server_List.size(), 2u);
    EXPECT_EQ(w->ECG_OPC_UA_Server->GetCellEx(2, 1), "opc.tcp://all");

    w->ECG_OPC_UA_Server->SetRow(0);
    auto shown = Scan({});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Error!! Select one Server OPC UA before use the Scan operation");

    w->ECG_OPC_UA_Server->SetRow(1);
    w->Show_OPC_UA_Var_List();
    // Read: appended after "Old" (Yes); write list empty: no question.
    shown = Scan({}, {MessageAnswer::Yes});
    TOPC_UA_Server& s = *w->OPC_UA_Server_List[0];
    ASSERT_EQ(s.Var_List_R.size(), 5u) << "Old, then the four readable (levels 1, 3, 0 and 5)";
    EXPECT_EQ(s.Var_List_R[1]->DispalyName, "Temperature");
    EXPECT_EQ(s.Var_List_R[2]->NodeID(), "12345678-9ABC-DEF0-0011-223344556677");
    EXPECT_EQ(s.Var_List_R[4]->DispalyName, "Odd");
    ASSERT_EQ(s.Var_List_W.size(), 3u) << "levels 2, 3 and 0";
    EXPECT_EQ(s.Var_List_W[0]->NodeID(), "Plant.Pressure");
    EXPECT_EQ(s.Var_List_W[0]->VarType(), "Double");
    EXPECT_TRUE(s.Var_List_W[0]->Enable);
    EXPECT_TRUE(s.Var_List_W[0]->Position.isEmpty());
    EXPECT_EQ(w->ECG_OPC_UA_Var_W->GetCellEx(2, 3), "Blob");

    // No: the lists are replaced; Cancel: left as they are.
    Scan([](TFOPC_UA_Scan_Server& d) { d.Set_Column(2, "N"); }, {MessageAnswer::No, MessageAnswer::Cancel});
    EXPECT_EQ(s.Var_List_R.size(), 4u);
    EXPECT_EQ(s.Var_List_W.size(), 3u);
}

// A server without an address browses nothing, and the previous server's
// variables are not offered to it.
TEST_F(OPCUAClientWindow, AServerWithoutAddressGetsNoOtherServersVariables)
{
    Show(kTwoServers);
    w->ECG_OPC_UA_Server->SetRow(1);
    Scan({}, {MessageAnswer::Yes});
    w->ECG_OPC_UA_Server->SetRow(2);
    Scan({});
    EXPECT_TRUE(w->OPC_UA_Server_List[1]->Var_List_R.empty());
    EXPECT_TRUE(w->OPC_UA_Server_List[1]->Var_List_W.empty());
}

TEST_F(OPCUAClientWindow, GridEditsReachTheModelOfTheirServer)
{
    Show(kTwoServers);
    w->ECG_OPC_UA_Server->SetRow(1);
    w->Show_OPC_UA_Var_List();
    EXPECT_EQ(w->ECG_OPC_UA_Var_R->GetCellEx(2, 1), "Old");
    EXPECT_EQ(w->ECG_OPC_UA_Var_R->GetCellEx(1, 2), "Y") << "empty rows show Enable ticked";

    w->ECG_OPC_UA_Var_Enter(w->ECG_OPC_UA_Var_R);
    EXPECT_EQ(w->Ind_Server, 0);
    const QStringList row = {"Y", "New", "String", "S.1", "Float", "70000", "250", "4", "typed"};
    for (int c = 1; c <= row.size(); ++c)
        w->ECG_OPC_UA_Var_R->SetCellEx(c, 2, row[c - 1]);
    w->ECG_OPC_UA_Var_R->SetCellEx(2, 4, "after a blank row: dropped");
    w->ECG_OPC_UA_Var_Exit(w->ECG_OPC_UA_Var_R);
    EXPECT_EQ(w->Ind_Server, -1);
    const TOPC_UA_Server& s = *w->OPC_UA_Server_List[0];
    ASSERT_EQ(s.Var_List_R.size(), 2u);
    EXPECT_EQ(s.Var_List_R[1]->NodeID(), "S.1");
    EXPECT_EQ(s.Var_List_R[1]->OnChange, "N");

    // OK names the index typed over 16 bits, and writes nothing.
    DialogScript script;
    w->Btn_OKClick(nullptr);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text,
              "Error in Server Number 1 in Read Variable 2!! Name Space Index must be between 0 and 65535");
    EXPECT_EQ(ReadAll(FileName_OPC_UA_Client), kTwoServers);
}

// RULES_SCREENSHOT_DIR=<dir> saves the window with two servers and a scanned
// server's variables, to be looked at.
TEST_F(OPCUAClientWindow, Screenshot)
{
    const QString out = qEnvironmentVariable("RULES_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "set RULES_SCREENSHOT_DIR to save the window";
    Show(kTwoServers);
    w->ECG_OPC_UA_Server->SetRow(1);
    Scan({}, {MessageAnswer::Yes});
    Auto_Position(w->OPC_UA_Server_List, 0);
    ASSERT_TRUE(WriteAll(FileName_OPC_UA_Client, OPC_UA_Client_File_Bytes(w->OPC_UA_Server_List)));
    DialogScript script;
    w->Show();
    w->ECG_OPC_UA_Server->SetRow(1);
    w->Show_OPC_UA_Var_List();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QDir(out).filePath("opcua_client.png")));
    w->Hide();
}
