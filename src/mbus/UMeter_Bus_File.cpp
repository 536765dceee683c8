#include "mbus/UMeter_Bus.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
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

// A text that is a number by the program's rule, whatever its size: what
// does not fit in 64 bits is a number too large for any field.
std::optional<int64_t> Number_Text(const QString& text)
{
    if (const std::optional<int64_t> n = platform::ParseNumber64(text))
        return n;
    static const QRegularExpression digits(QStringLiteral("^\\s*[+-]?(\\d+|(\\$|0?[xX])[0-9A-Fa-f]+)$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.contains(u'-') ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

// Whether a number's text fits the field it is read into; a missing
// attribute or a text that is no number takes the field's default, as the
// file's rule says, and is no fault of range.
struct Range
{
    int64_t low, high;
};
constexpr Range Range_Byte{0, 0xFF};
constexpr Range Range_Word{0, 0xFFFF};
constexpr Range Range_Number{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()};
// "-1" and "4294967295" are the same 32 bits of a storage number.
constexpr Range Range_Low32{std::numeric_limits<int32_t>::min(), 0xFFFFFFFFLL};

void Note_Range(std::vector<TOut_Of_Range>& out, const QString& name, const Text& t, Range range)
{
    if (!t)
        return;
    const std::optional<int64_t> n = Number_Text(*t);
    // A 32-bit field also takes up to eight hexadecimal digits as a bit pattern.
    const bool fits = n && ((*n >= range.low && *n <= range.high)
                            || (range.high == Range_Number.high && platform::ParseNumber(*t)));
    if (n && !fits)
        out.push_back({name, *t, range.low, range.high});
}

QString Dec(int64_t v) { return QString::number(v); }
QString Bit(bool v) { return v ? QStringLiteral("1") : QStringLiteral("0"); }

// A number field also has the range of values it can hold; text fields none.
struct Node_Attribute
{
    QString name;
    QString (*write)(const TNodo&);
    void (*read)(TNodo&, const Text&);
    std::optional<Range> range;
};

struct Variable_Attribute
{
    QString name;
    QString (*write)(const TVariabile&);
    void (*read)(TVariabile&, const Text&);
    std::optional<Range> range;
};

#define NODE_NUMBER(attr, field, fallback, conv)                                                  \
    Node_Attribute{QStringLiteral(attr), [](const TNodo& n) { return Dec(n.field); },            \
                   [](TNodo& n, const Text& t) { n.field = conv(t, fallback); }, Range_##conv}
#define NODE_TEXT(attr, field)                                                                    \
    Node_Attribute{QStringLiteral(attr), [](const TNodo& n) { return n.field; },                 \
                   [](TNodo& n, const Text& t) { n.field = t.value_or(QString()); }, std::nullopt}
#define NODE_KEY(i)                                                                               \
    Node_Attribute{QStringLiteral("wMBus_Key_" #i), [](const TNodo& n) { return n.wMBus_Key[i - 1]; }, \
                   [](TNodo& n, const Text& t) { n.wMBus_Key[i - 1] = t.value_or(QString()); }, std::nullopt}

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
                       },
                       std::nullopt},
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
                       [](TVariabile& v, const Text& t) { v.field = conv(t, fallback); }, Range_##conv}
#define VAR_FLAG(attr, field)                                                                         \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return Bit(v.field); },        \
                       [](TVariabile& v, const Text& t) { v.field = Flag(t); }, std::nullopt}
#define VAR_TEXT(attr, field)                                                                         \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return v.field; },             \
                       [](TVariabile& v, const Text& t) { v.field = t.value_or(QString()); }, std::nullopt}
// Required: read apart (Required_Numbers), so the read of the table skips them.
#define VAR_REQUIRED(attr, field)                                                                     \
    Variable_Attribute{QStringLiteral(attr), [](const TVariabile& v) { return Dec(v.field); }, nullptr, Range_Number}

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
                           },
                           Range_Low32},
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

MBus_Read_Result Read_Document(const XmlDocument& doc)
{
    MBus_Read_Result result;
    for (const XmlNode& e : MBus_Network_Elements(MBus_Network_Root(doc))) {
        TNodo node;
        for (const Node_Attribute& a : Node_Layout()) {
            const Text t = e.Attribute(a.name);
            a.read(node, t);
            if (a.range)
                Note_Range(node.Out_Of_Range, a.name, t, *a.range);
        }
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
        for (const XmlNode& ve : MBus_Network_Elements(e)) {
            TVariabile var;
            for (const Variable_Attribute& a : Variable_Layout()) {
                const Text t = ve.Attribute(a.name);
                if (a.read)
                    a.read(var, t);
                if (a.range)
                    Note_Range(var.Out_Of_Range, a.name, t, *a.range);
            }
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

std::optional<uint32_t> MBus_Secondary_Identifier(const QString& text)
{
    QString digits;
    if (const std::optional<int> n = platform::ParseNumber(text))
        digits = QStringLiteral("%1").arg(static_cast<uint32_t>(*n) % 100000000u, 8, 10, QLatin1Char('0'));
    else if (text.size() == 8 && std::all_of(text.begin(), text.end(), [](QChar c) {
                 const char16_t u = c.unicode();
                 return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
             }))
        digits = text;
    else
        return std::nullopt;
    return digits.toUInt(nullptr, 16);
}

XmlNode MBus_Network_Root(const XmlDocument& doc) { return doc.DocumentElement(); }

std::vector<XmlNode> MBus_Network_Elements(const XmlNode& parent)
{
    // A comment or a stray text between them is no meter and no value.
    std::vector<XmlNode> out;
    for (const XmlNode& c : parent.Children())
        if (c.IsElement())
            out.push_back(c);
    return out;
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
    return Read_Document(doc);
}

MBus_Read_Result Read_MBus_Network_Bytes(const QByteArray& bytes)
{
    XmlDocument doc;
    MBus_Read_Result result;
    if (!doc.LoadFromBytes(bytes, &result.Error)) {
        result.Ok = false;
        return result;
    }
    return Read_Document(doc);
}

MBus_Read_Result Read_MBus_Network_Document(const XmlDocument& doc) { return Read_Document(doc); }

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
