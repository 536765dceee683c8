#include "mbus/UMeter_Bus.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

#include <optional>

// The layout of "M_Bus.xml": the root "M-Bus_Network", the comment
// "SW_VERSION = 1.002" after it, one "Nodo" per node and one "Variabile" per
// variable, every value an attribute. The two tables below are the file's
// layout: attribute names in the order they are written, how each is written
// and how it is read back, with its default.

using platform::XmlDocument;
using platform::XmlNode;

namespace {

using Text = std::optional<QString>;

const QString kRoot = QStringLiteral("M-Bus_Network");
const QString kVersionComment = QStringLiteral("SW_VERSION = 1.002");
const QString kNode = QStringLiteral("Nodo");
const QString kVariable = QStringLiteral("Variabile");

// A number by the program's rule; the default when missing or not a number.
int32_t Number(const Text& t, int32_t fallback)
{
    if (!t)
        return fallback;
    return platform::ParseNumber(*t).value_or(fallback);
}

// Narrower fields keep the low bits of the 32-bit value.
uint8_t Byte(const Text& t, int32_t fallback) { return static_cast<uint8_t>(Number(t, fallback)); }
uint16_t Word(const Text& t, int32_t fallback) { return static_cast<uint16_t>(Number(t, fallback)); }
// On only for exactly "1".
bool Flag(const Text& t) { return t && *t == QLatin1String("1"); }

QString Dec(int64_t v) { return QString::number(v); }
QString Bit(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

struct Node_Attribute
{
    QString name;
    QString (*write)(const TNodo&);
    void (*read)(TNodo&, const Text&);
};

struct Variable_Attribute
{
    QString name;
    QString (*write)(const TVariabile&);
    void (*read)(TVariabile&, const Text&);
};

#define NODE_NUMBER(attr, field, fallback, conv)                                                  \
    Node_Attribute{QStringLiteral(attr), [](const TNodo& n) { return Dec(n.field); },            \
                   [](TNodo& n, const Text& t) { n.field = conv(t, fallback); }}
#define NODE_TEXT(attr, field)                                                                    \
    Node_Attribute{QStringLiteral(attr), [](const TNodo& n) { return n.field; },                 \
                   [](TNodo& n, const Text& t) { n.field = t.value_or(QString()); }}
#define NODE_KEY(i)                                                                               \
    Node_Attribute{QStringLiteral("wMBus_Key_" #i), [](const TNodo& n) { return n.wMBus_Key[i - 1]; }, \
                   [](TNodo& n, const Text& t) { n.wMBus_Key[i - 1] = t.value_or(QString()); }}

// Written in this order, all 45 for every node.
const std::vector<Node_Attribute>& Node_Layout()
{
    static const std::vector<Node_Attribute> layout = {
        NODE_NUMBER("Node_Enable", Enable, 1, Byte),
        NODE_NUMBER("ID_Primary", Node_Pri, 1, Number),
        Node_Attribute{QStringLiteral("ID_Secondary"), [](const TNodo& n) { return n.Secondary_Text(); },
                       [](TNodo& n, const Text& t) {
                           n.Node_Sec = Number(t, 1);
                           // Kept as written when it is text that is no number.
                           n.Node_Sec_Text = (t && !t->isEmpty() && !platform::ParseNumber(*t)) ? *t : QString();
                       }},
        NODE_TEXT("Descrizione", Description),
        NODE_NUMBER("Send_SND_NKE", Send_SNK, 0, Byte),
        NODE_NUMBER("Reset_App", Reset_App, 0, Byte),
        NODE_NUMBER("Enable_Node_State", Enable_NS, 0, Byte),
        NODE_NUMBER("Node_State", Node_State, 0, Number),
        NODE_NUMBER("Enable_Ident_Num", Enable_IN, 0, Byte),
        NODE_NUMBER("Ident_Num", Ident_Num, 0, Number),
        NODE_NUMBER("BCDtoINT_IN", BCDtoINT_IN, 0, Byte),
        NODE_NUMBER("Swap_IN", Swap_Ident, 0, Number),
        NODE_NUMBER("Node_ID_Type", Node_ID_Type, 0, Byte),
        NODE_NUMBER("Var_List_Type", Var_List_Type, 0, Byte),
        NODE_NUMBER("Cut_After", Cut_After, 0, Byte),
        NODE_NUMBER("Enable_Manufacturer_Specific_Data", Enable_MS, 0, Byte),
        NODE_NUMBER("Manufacturer_Specific_Data", Manufacturer_Spec, 0, Number),
        NODE_NUMBER("MSD_Length", MSD_Length, 0, Byte),
        NODE_NUMBER("MSD_Offset", MSD_Offset, 0, Byte),
        NODE_NUMBER("Enable_Access_Number", Enable_AN, 0, Byte),
        NODE_NUMBER("Access_Number", Access_Number, 0, Number),
        NODE_NUMBER("MBus_Type", MBus_Type, MBus_Type_Wired, Byte),
        NODE_TEXT("wMBus_ManID", wMBus_ManID),
        NODE_TEXT("wMBus_Add", wMBus_Add),
        NODE_TEXT("wMBus_Ver", wMBus_Ver),
        NODE_TEXT("wMBus_DevType", wMBus_DevType),
        NODE_NUMBER("wMBus_En_Key", wMBus_En_Key, 0, Byte),
        NODE_KEY(1), NODE_KEY(2), NODE_KEY(3), NODE_KEY(4), NODE_KEY(5), NODE_KEY(6), NODE_KEY(7), NODE_KEY(8),
        NODE_KEY(9), NODE_KEY(10), NODE_KEY(11), NODE_KEY(12), NODE_KEY(13), NODE_KEY(14), NODE_KEY(15), NODE_KEY(16),
        NODE_NUMBER("wMBus_Enable_RSSI", Enable_RSSI, 0, Byte),
        NODE_NUMBER("wMBus_RSSI", RSSI, 0, Number),
    };
    return layout;
}

// Read, never written: the address of files from before the two address
// attributes. When it converts it wins over them.
const QString kLegacyId = QStringLiteral("ID");

#define VAR_NUMBER(attr, field, fallback, conv)                                                       \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return Dec(v.field); },        \
                       [](TVariabile& v, const Text& t) { v.field = conv(t, fallback); }}
#define VAR_FLAG(attr, field)                                                                         \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return Bit(v.field); },        \
                       [](TVariabile& v, const Text& t) { v.field = Flag(t); }}
#define VAR_TEXT(attr, field)                                                                         \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return v.field; },             \
                       [](TVariabile& v, const Text& t) { v.field = t.value_or(QString()); }}
// Required: read apart (Required_Numbers), so the read of the table skips them.
#define VAR_REQUIRED(attr, field)                                                                     \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return Dec(v.field); }, nullptr}

// Written in this order, all 19 for every variable.
const std::vector<Variable_Attribute>& Variable_Layout()
{
    static const std::vector<Variable_Attribute> layout = {
        VAR_FLAG("Enable", Enable),
        VAR_TEXT("Desc", Description),
        VAR_REQUIRED("Type", Type_Of_Data),
        VAR_REQUIRED("Fun_Field", Function_Field),
        VAR_REQUIRED("Dim", Dimension),
        VAR_NUMBER("Unit", Unita, 0, Number),
        VAR_NUMBER("PositionData", PositionData, 0, Number),
        Variable_Attribute{QStringLiteral("StoNumber"), [](const TVariabile& v) { return Dec(v.Storage_Number); },
                           [](TVariabile& v, const Text& t) {
                               // A 64-bit number of which the low 32 bits are kept: "-1" is 4294967295.
                               const std::optional<int64_t> n = t ? platform::ParseNumber64(*t) : std::nullopt;
                               v.Storage_Number = static_cast<uint32_t>(static_cast<uint64_t>(n.value_or(0)));
                           }},
        VAR_NUMBER("Tariff", Tariff, 0, Number),
        VAR_NUMBER("VIFE", VIFE, 0, Byte),
        VAR_FLAG("BCDtoINT", BCDtoINT),
        VAR_TEXT("VIF_ASCII", VIF_ASCII),
        VAR_NUMBER("Length", Length, 0, Number),
        VAR_FLAG("Conv_Float", Conv_Float),
        VAR_FLAG("Force_Int32", Force_Int32),
        VAR_FLAG("TP_Mod_Regs", TP_Mod_Regs),
        VAR_NUMBER("TP_Mod_Year", TP_Mod_Year, 0, Number),
        VAR_NUMBER("Position", Position, 1, Word),
        VAR_NUMBER("Post_Operation", Post_Operation, 0, Byte),
    };
    return layout;
}

// "Type", "Fun_Field" and "Dim" have no default: a variable without them
// cannot be read, and neither can the rest of the file.
bool Required_Numbers(const XmlNode& e, TVariabile& v, QString* error)
{
    struct Required
    {
        const char* name;
        int32_t TVariabile::*field;
    };
    static const Required required[] = {
        {"Type", &TVariabile::Type_Of_Data},
        {"Fun_Field", &TVariabile::Function_Field},
        {"Dim", &TVariabile::Dimension},
    };
    for (const Required& r : required) {
        const Text t = e.Attribute(QString::fromLatin1(r.name));
        const std::optional<int> n = t ? platform::ParseNumber(*t) : std::nullopt;
        if (!n) {
            *error = Invalid_Integer_Text(t.value_or(QString()));
            return false;
        }
        v.*r.field = *n;
    }
    return true;
}

// Only elements are nodes and variables: a comment or a stray text between
// them is no meter and no value.
std::vector<XmlNode> Elements(const XmlNode& parent)
{
    std::vector<XmlNode> out;
    for (const XmlNode& c : parent.Children())
        if (c.IsElement())
            out.push_back(c);
    return out;
}

MBus_Read_Result Read_Document(const XmlDocument& doc, const QString& path)
{
    MBus_Read_Result result;
    // The root element, also when a comment stands before it: a file so
    // edited still holds its network.
    const XmlNode root = doc.DocumentElement();
    for (const XmlNode& e : Elements(root)) {
        TNodo node;
        for (const Node_Attribute& a : Node_Layout())
            a.read(node, e.Attribute(a.name));
        if (const Text id = e.Attribute(kLegacyId); id && platform::ParseNumber(*id)) {
            const int32_t address = *platform::ParseNumber(*id);
            node.Node_Sec_Text.clear();
            if (node.Node_ID_Type == 0) {
                node.Node_Pri = address;
                node.Node_Sec = 1;
            } else {
                node.Node_Pri = 1;
                node.Node_Sec = address;
            }
        }
        for (const XmlNode& ve : Elements(e)) {
            TVariabile var;
            for (const Variable_Attribute& a : Variable_Layout())
                if (a.read)
                    a.read(var, ve.Attribute(a.name));
            if (!Required_Numbers(ve, var, &result.Error)) {
                // Nothing of a network read in part is handed out.
                result.Ok = false;
                result.Nodes.clear();
                return result;
            }
            node.Var_List.push_back(std::move(var));
        }
        result.Nodes.push_back(std::move(node));
    }
    return result;
}

void Build_Document(const TNodi_List& nodes, XmlDocument& doc)
{
    doc.Clear();
    XmlNode root = doc.AddChild(kRoot);
    doc.AddComment(kVersionComment);
    for (const TNodo& n : nodes) {
        XmlNode ne = root.AddChild(kNode);
        for (const Node_Attribute& a : Node_Layout())
            ne.SetAttribute(a.name, a.write(n));
        for (const TVariabile& v : n.Var_List) {
            XmlNode ve = ne.AddChild(kVariable);
            for (const Variable_Attribute& a : Variable_Layout())
                ve.SetAttribute(a.name, a.write(v));
        }
    }
}

} // namespace

QString TNodo::Secondary_Text() const
{
    return Node_Sec_Text.isEmpty() ? QString::number(Node_Sec) : Node_Sec_Text;
}

QString Invalid_Integer_Text(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

MBus_Read_Result Read_MBus_Network(const QString& path)
{
    if (!platform::FileExists(path))
        return {};
    XmlDocument doc;
    MBus_Read_Result result;
    if (!doc.Load(path, &result.Error)) {
        result.Ok = false;
        return result;
    }
    return Read_Document(doc, path);
}

MBus_Read_Result Read_MBus_Network_Bytes(const QByteArray& bytes)
{
    XmlDocument doc;
    MBus_Read_Result result;
    if (!doc.LoadFromBytes(bytes, &result.Error)) {
        result.Ok = false;
        return result;
    }
    return Read_Document(doc, QString());
}

QByteArray MBus_Network_Bytes(const TNodi_List& nodes)
{
    XmlDocument doc;
    Build_Document(nodes, doc);
    return doc.ToBytes();
}

bool Write_MBus_Network(const TNodi_List& nodes, const QString& path, QString* error)
{
    return platform::WriteFileAtomically(path, MBus_Network_Bytes(nodes), error);
}
