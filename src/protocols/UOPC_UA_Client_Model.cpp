// The OPC UA client's model: variables' text conversions, the project file,
// the checks and the automatic positions.
#include "protocols/UOPC_UA_Client_Access.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/TextCodec.h"
#include "platform/XmlDocument.h"

#include <algorithm>

using namespace platform;

namespace {

struct Data_Type
{
    const char* name;
    int bytes;
};
const Data_Type kDataTypes[15] = {{"Boolean", 1}, {"Int8", 1},   {"UInt8", 1},    {"Int16", 2},    {"UInt16", 2},
                                  {"Int32", 4},   {"UInt32", 4}, {"Int64", 8},    {"UInt64", 8},   {"Float", 4},
                                  {"Double", 8},  {"String", 20}, {"DateTime", 8}, {"Guid", 16}, {"ByteString", 20}};

QString Hex_Digits(uint64_t value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

uint32_t Hex_Value(const QString& text)
{
    return static_cast<uint32_t>(NumberOr(QStringLiteral("0x") + text, 0));
}

} // namespace

int GetLenVarType(const QString& name)
{
    const QString upper = name.toUpper();
    for (const Data_Type& t : kDataTypes)
        if (upper == QString::fromLatin1(t.name).toUpper())
            return t.bytes;
    return 0;
}

QString TOPC_UA_Variable::NodeType() const { return OPCUA_NodeType_Name(identifierType); }

void TOPC_UA_Variable::SetNodeType(const QString& text) { identifierType = OPCUA_NodeType_Code(text); }

QString TOPC_UA_Variable::NodeID() const
{
    switch (identifierType) {
    case 0:
        return QString::number(numeric);
    case 3:
        return stringname;
    case 4: {
        QString s = Hex_Digits(guide1, 8) + u'-' + Hex_Digits(guide2, 4) + u'-' + Hex_Digits(guide3, 4) + u'-'
                    + Hex_Digits(guide4[0], 2) + Hex_Digits(guide4[1], 2) + u'-';
        for (int i = 2; i < 8; ++i)
            s += Hex_Digits(guide4[i], 2);
        return s;
    }
    case 5:
        return byteString;
    default:
        return QString();
    }
}

void TOPC_UA_Variable::SetNodeID(const QString& text)
{
    switch (identifierType) {
    case 0:
        numeric = static_cast<uint32_t>(ParseNumber64(text).value_or(0));
        break;
    case 3:
        stringname = text;
        break;
    case 4: {
        QString rest = text.trimmed();
        const auto part = [&rest] {
            const qsizetype dash = rest.indexOf(u'-');
            QString p;
            if (dash >= 0) {
                p = rest.left(dash);
                rest = rest.mid(dash + 1);
            } else {
                p = rest;
                rest.clear();
            }
            return Hex_Value(p);
        };
        guide1 = part();
        guide2 = static_cast<uint16_t>(part());
        guide3 = static_cast<uint16_t>(part());
        for (int i = 0; i < 8; ++i) {
            if (rest.size() >= 3) {
                guide4[i] = static_cast<uint8_t>(Hex_Value(rest.left(2)));
                rest = rest.mid(i == 1 ? 3 : 2);
            } else {
                guide4[i] = static_cast<uint8_t>(Hex_Value(rest));
                rest.clear();
            }
        }
        break;
    }
    case 5:
        byteString = text;
        break;
    default:
        break;
    }
}

QString TOPC_UA_Variable::VarType() const
{
    return QString::fromLatin1(kDataTypes[dataType >= 1 && dataType <= 14 ? dataType : 0].name);
}

void TOPC_UA_Variable::SetVarType(const QString& text)
{
    dataType = 0;
    for (int i = 0; i < 15; ++i)
        if (text.toUpper() == QString::fromLatin1(kDataTypes[i].name).toUpper())
            dataType = i;
}

QString TOPC_UA_Variable::NameSpaceText() const
{
    return NameSpace_Out_Of_Range.isEmpty() ? QString::number(nameSpaceIndex) : NameSpace_Out_Of_Range;
}

void TOPC_UA_Variable::SetNameSpaceText(const QString& text)
{
    const std::optional<int64_t> value = ParseNumber64(text);
    NameSpace_Out_Of_Range.clear();
    if (value && (*value < 0 || *value > 65535)) {
        NameSpace_Out_Of_Range = text;
        nameSpaceIndex = 0;
        return;
    }
    nameSpaceIndex = static_cast<uint16_t>(value.value_or(0));
}

void TOPC_UA_Variable::Take_Found(const opcua_structure& found)
{
    const auto text = [](const char* t) { return t ? DecodeWindows1252(QByteArray(t)) : QString(); };
    Enable = true;
    nameSpaceIndex = found.nameSpaceIndex;
    identifierType = found.identifierType;
    numeric = found.numeric;
    guide1 = found.guide1;
    guide2 = found.guide2;
    guide3 = found.guide3;
    std::copy(std::begin(found.guide4), std::end(found.guide4), guide4);
    dataType = found.dataType;
    DispalyName = text(found.displayName);
    stringname = text(found.stringname);
    byteString = text(found.byteString);
}

// ---- the file ----------------------------------------------------------------

namespace {

QString Flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

void Write_Variables(XmlNode list, const std::vector<std::unique_ptr<TOPC_UA_Variable>>& variables)
{
    for (const auto& v : variables) {
        XmlNode e = list.AddChild(QStringLiteral("Variable"));
        e.SetAttribute(QStringLiteral("Enable"), Flag(v->Enable));
        e.SetAttribute(QStringLiteral("DisplayName"), v->DispalyName);
        e.SetAttribute(QStringLiteral("NodeType"), v->NodeType());
        e.SetAttribute(QStringLiteral("NodeID"), v->NodeID());
        e.SetAttribute(QStringLiteral("VarType"), v->VarType());
        e.SetAttribute(QStringLiteral("NameSpaceIndex"), v->NameSpaceText());
        e.SetAttribute(QStringLiteral("OnChange"), Flag(v->OnChange == QLatin1String("Y")));
        e.SetAttribute(QStringLiteral("OnCMD"), Flag(v->OnCMD == QLatin1String("Y")));
        e.SetAttribute(QStringLiteral("OnTimer"), Flag(v->OnTimer == QLatin1String("Y")));
        e.SetAttribute(QStringLiteral("Time"), v->Time);
        e.SetAttribute(QStringLiteral("Position"), v->Position);
        e.SetAttribute(QStringLiteral("Mnemonic"), v->Mnemonic);
    }
}

void Read_Variables(const XmlNode& list, std::vector<std::unique_ptr<TOPC_UA_Variable>>& variables)
{
    for (const XmlNode& e : list.Children()) {
        if (!e.IsElement())
            continue;
        const auto get = [&e](const char* name) { return e.Attribute(QString::fromLatin1(name)).value_or(QString()); };
        const auto yn = [&](const char* name) { return get(name) == QLatin1String("1") ? "Y" : "N"; };
        auto v = std::make_unique<TOPC_UA_Variable>();
        v->Enable = get("Enable") == QLatin1String("1");
        v->DispalyName = get("DisplayName");
        v->SetNodeType(get("NodeType"));
        v->SetNodeID(get("NodeID"));
        v->SetVarType(get("VarType"));
        v->SetNameSpaceText(get("NameSpaceIndex"));
        v->OnChange = QString::fromLatin1(yn("OnChange"));
        v->OnCMD = QString::fromLatin1(yn("OnCMD"));
        v->OnTimer = QString::fromLatin1(yn("OnTimer"));
        v->Time = get("Time");
        v->Position = get("Position");
        v->Mnemonic = get("Mnemonic");
        variables.push_back(std::move(v));
    }
}

} // namespace

QByteArray OPC_UA_Client_File_Bytes(const TOPC_UA_Server_List& servers)
{
    XmlDocument doc;
    XmlNode list = doc.AddChild(QStringLiteral("OPC_UA_Client")).AddChild(QStringLiteral("OPC_UA_Server_List"));
    for (const auto& s : servers) {
        XmlNode e = list.AddChild(QStringLiteral("OPC_UA_Server"));
        e.SetAttribute(QStringLiteral("Enable"), Flag(s->Enable));
        e.SetAttribute(QStringLiteral("ServerAddress"), s->ServerAddress);
        e.SetAttribute(QStringLiteral("Authorization"), s->Authorization);
        e.SetAttribute(QStringLiteral("UserName"), s->UserName);
        e.SetAttribute(QStringLiteral("Password"), s->Password);
        e.SetAttribute(QStringLiteral("Certificate"), s->Certificate);
        e.SetAttribute(QStringLiteral("PrivateKey"), s->PrivateKey);
        e.SetAttribute(QStringLiteral("SecurityType"), s->SecurityType);
        e.SetAttribute(QStringLiteral("SecurityPolicy"), s->SecurityPolicy);
        e.SetAttribute(QStringLiteral("Mnemonic"), s->Mnemonic);
        XmlNode vars = e.AddChild(QStringLiteral("OPC_UA_Variables"));
        Write_Variables(vars.AddChild(QStringLiteral("OPC_UA_Read_Var")), s->Var_List_R);
        Write_Variables(vars.AddChild(QStringLiteral("OPC_UA_Write_Var")), s->Var_List_W);
    }
    return doc.ToBytes();
}

bool Load_OPC_UA_Client_File(const QString& path, TOPC_UA_Server_List& servers, QString* error,
                             QString* foreign)
{
    servers.clear();
    if (foreign)
        foreign->clear();
    XmlDocument doc;
    if (!doc.Load(path, error))
        return false;
    const QString root = doc.DocumentElement().Name();
    if (foreign && root != QLatin1String("OPC_UA_Client"))
        *foreign = QStringLiteral("The root element is \"%1\", not \"OPC_UA_Client\"").arg(root);
    const XmlNode list = doc.DocumentElement().FindChild(QStringLiteral("OPC_UA_Server_List"));
    for (const XmlNode& e : list.Children()) {
        if (!e.IsElement())
            continue;
        const auto get = [&e](const char* name) { return e.Attribute(QString::fromLatin1(name)).value_or(QString()); };
        auto s = std::make_unique<TOPC_UA_Server>();
        s->Enable = get("Enable") == QLatin1String("1");
        s->ServerAddress = get("ServerAddress");
        s->Authorization = get("Authorization");
        s->UserName = get("UserName");
        s->Password = get("Password");
        s->Certificate = get("Certificate");
        s->PrivateKey = get("PrivateKey");
        s->SecurityType = get("SecurityType");
        s->SecurityPolicy = get("SecurityPolicy");
        s->Mnemonic = get("Mnemonic");
        const XmlNode vars = e.FindChild(QStringLiteral("OPC_UA_Variables"));
        Read_Variables(vars.FindChild(QStringLiteral("OPC_UA_Read_Var")), s->Var_List_R);
        Read_Variables(vars.FindChild(QStringLiteral("OPC_UA_Write_Var")), s->Var_List_W);
        servers.push_back(std::move(s));
    }
    return true;
}

// ---- checks and positions ----------------------------------------------------

QString Check_OPC_UA_Client(const TOPC_UA_Server_List& servers)
{
    const auto fault = [](int entry, int n, int m, bool bound = false) {
        QVariantList values{n, m};
        if (bound)
            values << 1499;
        return rules::Format_Message(Language_List.value(entry), values);
    };
    for (size_t s = 0; s < servers.size(); ++s) {
        const int n = static_cast<int>(s) + 1;
        for (const bool write : {false, true}) {
            const auto& list = write ? servers[s]->Var_List_W : servers[s]->Var_List_R;
            const int base = write ? 5501 : 5497;
            for (size_t i = 0; i < list.size(); ++i) {
                const TOPC_UA_Variable& v = *list[i];
                const int m = static_cast<int>(i) + 1;
                if (!v.Enable)
                    continue;
                if (!write || v.OnTimer == QLatin1String("Y")) {
                    if (v.Time.trimmed().isEmpty())
                        return fault(base, n, m);
                    if (rules::Rule_Number(v.Time) < 1)
                        return fault(base + 1, n, m);
                }
                if (v.Position.trimmed().isEmpty())
                    return fault(base + 2, n, m);
                if (!rules::In_Range(v.Position, 0, 1499))
                    return fault(base + 3, n, m, true);
                if (!v.NameSpace_Out_Of_Range.isEmpty())
                    return QStringLiteral("Error in Server Number %1 in %2 Variable %3!! Name Space Index must be "
                                          "between 0 and 65535")
                        .arg(n)
                        .arg(write ? QStringLiteral("Write") : QStringLiteral("Read"))
                        .arg(m);
            }
        }
    }
    return QString();
}

void Auto_Position(TOPC_UA_Server_List& servers, int index)
{
    if (index < 0 || index >= static_cast<int>(servers.size()))
        return;
    // Every server above ends somewhere: start after the furthest, so no
    // two servers share a position.
    int64_t start[2] = {0, 0};
    for (int s = 0; s < index; ++s)
        for (const bool write : {false, true})
            for (const auto& v : write ? servers[s]->Var_List_W : servers[s]->Var_List_R) {
                const int64_t position = std::max(rules::Rule_Number(v->Position), 0);
                start[write] = std::max(start[write], position + GetLenVarType(v->VarType()));
            }
    for (const bool write : {false, true})
        for (auto& v : write ? servers[index]->Var_List_W : servers[index]->Var_List_R) {
            v->Position = QString::number(start[write]);
            start[write] += GetLenVarType(v->VarType());
        }
}
