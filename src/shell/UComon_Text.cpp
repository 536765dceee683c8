// Text checks and conversions of typed addresses, numbers and choice texts.
// Each is a pure function of its input (and, for the decimal separator and the
// port list, of the machine); none shows a message.

#include "shell/UComon.h"

#include "platform/NumberText.h"
#include "platform/Regional.h"
#include "platform/TextCodec.h"

#include <QLocale>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

using platform::NumberOr;

namespace {

bool In_Range(int value, int low, int high) { return value >= low && value <= high; }

// The trimmed part converted, or -1.
int Part(const QString& text) { return NumberOr(text.trimmed(), -1); }

} // namespace

bool Split_IP_Address(const QString& text, QString& p1, QString& p2, QString& p3, QString& p4)
{
    QString rest = text.trimmed();
    QString* firstThree[] = {&p1, &p2, &p3};
    for (QString* part : firstThree) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0)
            return false;
        *part = rest.left(dot).trimmed();
        rest = rest.mid(dot + 1).trimmed();
    }
    p4 = rest;
    for (const QString* part : {&p1, &p2, &p3, &p4})
        if (!In_Range(NumberOr(*part, 1000), 0, 255))
            return false;
    return true;
}

bool IP_Text_To_Bytes(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4)
{
    if (text.isEmpty())
        return true;
    uint8_t* bytes[] = {&b1, &b2, &b3, &b4};
    QString rest = text;
    bool invalid = false;
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        // Without a "." the first three passes find no text at all.
        const QString piece = i == 3 ? rest : (dot < 0 ? QString() : rest.left(dot));
        const int value = NumberOr(piece, -1);
        if (In_Range(value, 0, 255)) {
            *bytes[i] = static_cast<uint8_t>(value);
        } else {
            *bytes[i] = 0;
            invalid = true;
        }
        if (dot >= 0)
            rest = rest.mid(dot + 1);
    }
    return invalid;
}

bool Split_IP_Port(const QString& text, uint8_t& b1, uint8_t& b2, uint8_t& b3, uint8_t& b4, uint16_t& port)
{
    b1 = b2 = b3 = b4 = 0;
    port = 0;
    QString rest = text;
    int values[4];
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0)
            return false;
        values[i] = Part(rest.left(dot));
        rest = rest.mid(dot + 1);
    }
    const qsizetype colon = rest.indexOf(u':');
    if (colon < 0)
        return false;
    values[3] = Part(rest.left(colon));
    const int portValue = Part(rest.mid(colon + 1));
    for (int v : values)
        if (!In_Range(v, 0, 255))
            return false;
    if (!In_Range(portValue, 0, 65535))
        return false;
    b1 = static_cast<uint8_t>(values[0]);
    b2 = static_cast<uint8_t>(values[1]);
    b3 = static_cast<uint8_t>(values[2]);
    b4 = static_cast<uint8_t>(values[3]);
    port = static_cast<uint16_t>(portValue);
    return true;
}

bool Check_KNX_Address(const QString& text, bool group, bool allowZero)
{
    const QChar sep = group ? u'/' : u'.';
    const QChar other = group ? u'.' : u'/';
    if (text.contains(other))
        return true;
    const QStringList parts = text.split(sep);
    if (parts.size() == 1)
        return !In_Range(Part(text), 1, 65535);
    if (parts.size() == 2) {
        const int x = Part(parts[0]);
        const int y = Part(parts[1]);
        // An individual "x.y" is the area, then line and device together.
        if (!group)
            return !(In_Range(x, 0, 15) && In_Range(y, 0, 4095) && (allowZero || x != 0 || y != 0));
        return !(In_Range(x, 0, 31) && In_Range(y, 0, 2047) && (x != 0 || y != 0));
    }
    if (parts.size() > 3)
        return true;
    const int x = Part(parts[0]);
    const int y = Part(parts[1]);
    const int z = Part(parts[2]);
    if (group)
        return !(In_Range(x, 0, 31) && In_Range(y, 0, 7) && In_Range(z, 0, 255) && (x != 0 || y != 0 || z != 0));
    if (!(In_Range(x, 0, 15) && In_Range(y, 0, 15) && In_Range(z, 0, 255)))
        return true;
    return !allowZero && x == 0 && y == 0 && z == 0;
}

bool Is_KNX_Group_Address(const QString& text) { return !text.contains(u'.'); }

QChar Get_Decimal_Separator() { return platform::DecimalSeparator(); }

bool Str_To_Float_Any_Sep(const QString& text, QChar separator, float& value)
{
    return Str_To_Float_Any_Sep(text, separator, platform::DecimalSeparator(), value);
}

bool Str_To_Float_Any_Sep(const QString& text, QChar separator, QChar regionalSeparator, float& value)
{
    QString s = text;
    if (separator == u'.')
        s.replace(u',', u'.');
    else
        s.replace(u'.', u',');
    // The regional format knows one decimal separator and no grouping here.
    const QChar foreign = regionalSeparator == u'.' ? u',' : u'.';
    bool ok = !s.contains(foreign);
    double d = 0;
    if (ok) {
        s.replace(regionalSeparator, u'.');
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        d = c.toDouble(s.trimmed(), &ok);
    }
    // A value beyond single precision is no value either.
    if (!ok || !std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
        value = 1.0f;
        return false;
    }
    value = static_cast<float>(d);
    return true;
}

std::unique_ptr<QStringList> Get_COM_Port_List(const std::function<int(int port)>& probe, int lastPort)
{
    auto list = std::make_unique<QStringList>();
    for (int i = 1; i <= lastPort; ++i)
        if (probe(i) >= 0)
            list->append(QString::number(i));
    return list;
}

std::unique_ptr<QStringList> Get_COM_Port_List()
{
    // Port n is the n-th serial device of the system (port 1 is ttyS0).
    return Get_COM_Port_List(
        [](int port) {
            const QByteArray device = "/dev/ttyS" + QByteArray::number(port - 1);
            const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
                return 1;
            }
            return (errno == EACCES || errno == EBUSY) ? 0 : -1;
        },
        256);
}

int Check_SNMP_OID(const QString& text)
{
    if (text.size() > 128)
        return 1;
    for (QChar c : text)
        if (c != u'.' && !(c >= u'0' && c <= u'9'))
            return 2;
    if (text.startsWith(u'.'))
        return 3;
    if (text.endsWith(u'.'))
        return 4;
    if (text.contains(QStringLiteral("..")))
        return 5;
    // The empty text falls here too: its one component is no number.
    for (const QString& component : text.split(u'.')) {
        const std::optional<int64_t> v = platform::ParseNumber64(component);
        if (!v || *v < 0 || *v > 4294967295LL)
            return 6;
    }
    return 0;
}

int SNMP_Security_Level_Code(const QString& text)
{
    const QString s = text.toUpper().trimmed();
    if (s.isEmpty())
        return -1;
    if (s == QLatin1String("AUTH NOPRIV"))
        return 1;
    if (s == QLatin1String("AUTH PRIV"))
        return 3;
    return 0;
}

namespace {

struct Coded_Text
{
    int code;
    const char* text;
};

const Coded_Text NodeType_Texts[] = {{0, "Numeric"}, {3, "String"}, {4, "Guid"}, {5, "ByteString"}};
const Coded_Text Auth_Texts[] = {{0, "Anonymous"}, {1, "Username and Password"}, {2, "Certificate"}};
const Coded_Text SecType_Texts[] = {{0, "None"}, {1, "Sign"}, {2, "Sign and Encrypt"}};
const Coded_Text SecPolicy_Texts[] = {{0, "None"},
                                      {1, "Basic 128 RSA 15"},
                                      {2, "Basic 256"},
                                      {3, "Basic 256 SHA 256"},
                                      {4, "AES 128 SHA 256 RSA OAEP"},
                                      {5, "AES 256 SHA 256 RSA PSS"}};
const Coded_Text DataType_Texts[] = {{0, "Boolean"}, {1, "Int8"},      {2, "UInt8"},     {3, "Int16"},
                                     {4, "UInt16"},  {5, "Int32"},     {6, "UInt32"},    {7, "Int64"},
                                     {8, "UInt64"},  {9, "Float"},     {10, "Double"},   {11, "String"},
                                     {12, "DateTime"}, {13, "Guid"},   {14, "ByteString"}};

template <size_t N>
QString Name_Of(const Coded_Text (&table)[N], int code, const QString& otherwise)
{
    for (const Coded_Text& e : table)
        if (e.code == code)
            return QString::fromLatin1(e.text);
    return otherwise;
}

template <size_t N>
uint8_t Code_Of(const Coded_Text (&table)[N], const QString& text, uint8_t otherwise, bool upperCase = false)
{
    for (const Coded_Text& e : table) {
        const QString name = QString::fromLatin1(e.text);
        if ((upperCase ? name.toUpper() : name) == text)
            return static_cast<uint8_t>(e.code);
    }
    return otherwise;
}

QString Zero_Terminated(const char* text)
{
    return text ? platform::DecodeWindows1252(QByteArray(text)) : QString();
}

QString Hex(uint64_t value, int digits) { return QStringLiteral("%1").arg(value, digits, 16, QChar(u'0')).toUpper(); }

} // namespace

QString OPCUA_NodeType_Name(int code) { return Name_Of(NodeType_Texts, code, QString()); }
QString OPCUA_DataType_Name(int code) { return Name_Of(DataType_Texts, code, QString()); }
QString OPCUA_Auth_Name(int code) { return Name_Of(Auth_Texts, code, QStringLiteral("Certificate")); }
QString OPCUA_SecType_Name(int code) { return Name_Of(SecType_Texts, code, QStringLiteral("Sign and Encrypt")); }
QString OPCUA_SecPolicy_Name(int code)
{
    return Name_Of(SecPolicy_Texts, code, QStringLiteral("AES 256 SHA 256 RSA PSS"));
}

uint8_t OPCUA_NodeType_Code(const QString& text) { return Code_Of(NodeType_Texts, text.toUpper(), 0, true); }
uint8_t OPCUA_Auth_Code(const QString& text) { return Code_Of(Auth_Texts, text, 2); }
uint8_t OPCUA_SecType_Code(const QString& text) { return Code_Of(SecType_Texts, text, 2); }
uint8_t OPCUA_SecPolicy_Code(const QString& text) { return Code_Of(SecPolicy_Texts, text, 5); }

QString OPCUA_NodeId_Text(opcua_structure node)
{
    switch (node.identifierType) {
    case 0:
        return QString::number(node.numeric);
    case 3:
        return Zero_Terminated(node.stringname);
    case 4: {
        QString s = Hex(node.guide1, 8) + u'-' + Hex(node.guide2, 4) + u'-' + Hex(node.guide3, 4) + u'-'
                    + Hex(node.guide4[0], 2) + Hex(node.guide4[1], 2) + u'-';
        for (int i = 2; i < 8; ++i)
            s += Hex(node.guide4[i], 2);
        return s;
    }
    case 5:
        return Zero_Terminated(node.byteString);
    default:
        return QString();
    }
}

int Default_BACnet_Eng_Unit() { return 95; }
int Device_XML_Code() { return 21; }
int Scan_Form_Type() { return 1; }
