#include "protocols/UBACnetAccess.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "protocols/UImportEDEFile.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"
#include "widgets/LbButton.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <memory>

using namespace bacnet;

TFBACnetAccess* FBACnetAccess = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

const QString kPresentValue = QStringLiteral("Present Value (85)");

// Object types by code: name, read hint size of the Present Value (0: none).
struct Object_Type
{
    int code;
    const char* name;
    int present_size;
};
const Object_Type kObjectTypes[] = {
    {1, "ACCUMULATOR", 4},        {2, "MULTI-STATE INPUT", 4},  {3, "MULTI-STATE OUTPUT", 4},
    {4, "ANALOG INPUT", 4},       {5, "ANALOG OUTPUT", 4},      {6, "BINARY INPUT", 1},
    {7, "BINARY OUTPUT", 1},      {8, "INTEGER VALUE", 4},      {9, "LARGE ANALOG VALUE", 8},
    {10, "POSITIVE INTEGER VALUE", 4}, {11, "MULTI-STATE VALUE", 0}, {12, "ANALOG VALUE", 0},
    {13, "BINARY VALUE", 0},      {14, "LIFE SAFETY POINT", 0}, {15, "LIFE SAFETY ZONE", 0},
};
bool Proprietary_Object(int code) { return code >= 128 && code <= 1023; }

// Fixed properties of the read grid: text, size, and the object codes that
// may have it (none listed: any), or those that may not.
struct Property
{
    const char* name;
    int size;
    std::vector<int> only;
    std::vector<int> never;
};
const Property kProperties[] = {
    {"OBJECT IDENTIFIER (75)", 4, {}, {}},
    {"UNITS (117)", 4, {}, {2, 3, 6, 7, 11, 13}},
    {"SCALE (187)", 1, {1}, {}},
    {"PRESCALE (185)", 5, {1}, {}},
    {"POLARITY (84)", 1, {6, 7, 13}, {}},
    {"EVENT STATE (36)", 4, {}, {}},
    {"STATUS FLAGS (111)", 1, {}, {}},
    {"OBJECT TYPE (79)", 2, {}, {}},
    {"NUMBER OF STATES (74)", 4, {2, 3, 11}, {}},
};
bool Has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

// Present Value data types by object code: text, size, name shown.
struct Present_Type
{
    const char* upper;
    const char* name;
    int size;
    std::vector<int> codes;
};
const Present_Type kPresentTypes[] = {
    {"UNSIGNED INT", "Unsigned Int", 4, {3, 10, 11}}, {"SIGNED INT", "Signed Int", 4, {8}},
    {"REAL", "Real", 4, {5, 12}},                     {"DOUBLE", "Double", 8, {9}},
    {"ENUMERATED", "Enumerated", 1, {7, 13}},
};

int64_t Number64(const QString& text)
{
    const std::optional<int64_t> v = platform::ParseNumber64(text);
    return v ? *v : -1;
}

// D Len: a number, or "M1".."M8" (the bytes of a MAC address list), or neither.
struct Dest_Len
{
    bool number = false;
    int value = 0;      // the number, or n of "Mn" (0: neither)
};
Dest_Len Dest_Length(const QString& text)
{
    if (const std::optional<int> n = platform::ParseNumber(text))
        return {true, *n};
    const QString t = text.trimmed().toUpper();
    if (t.size() == 2 && t[0] == QLatin1Char('M') && t[1] >= QLatin1Char('1') && t[1] <= QLatin1Char('8'))
        return {false, t[1].unicode() - '0'};
    return {};
}
bool Is_Number(const QString& len, int n)
{
    const Dest_Len d = Dest_Length(len);
    return d.number && d.value == n;
}

// The destination checks of one grid, after D Net; `first` is the message of
// the "1 or 2 or 6" fault, the others follow as the table numbers them.
void Add_Destination_Checks(std::vector<TRule_Check>& checks, int enDest, int dLen, int dAdd, bool write)
{
    using K = TRule_Check_Kind;
    const TRule_When on{.column = enDest, .texts = {"Y"}, .upper = true};
    const int w = write ? 1 : 0;
    const auto add = [&](int message, std::function<bool(const QString& len, const QString& add)> ok) {
        checks.push_back({.kind = K::Test, .column = dAdd, .message = message, .when = on,
                          .test = [ok, dLen, dAdd](const QStringList& r, int) { return ok(Cell(r, dLen), Cell(r, dAdd)); }});
    };
    add(1372 + 5 * w, [](const QString& l, const QString& a) { return !Is_Number(l, 1) || rules::In_Range(a, 0, 255); });
    add(1373 + 5 * w,
        [](const QString& l, const QString& a) { return !Is_Number(l, 2) || rules::In_Range(a, 1, 65535); });
    add(1374 + 5 * w, [](const QString& l, const QString& a) {
        uint8_t b[4];
        uint16_t port;
        return !Is_Number(l, 6) || Split_IP_Port(a, b[0], b[1], b[2], b[3], port);
    });
    add(1371 + 5 * w, [](const QString& l, const QString&) {
        const Dest_Len d = Dest_Length(l);
        return !d.number || d.value == 1 || d.value == 2 || d.value == 6;
    });
    add(1386 + w, [](const QString& l, const QString&) {
        const Dest_Len d = Dest_Length(l);
        return d.number || d.value > 0;
    });
    for (int fault = 1; fault <= 3; ++fault) {
        const int message = (fault == 1 ? 1382 : fault == 2 ? 1384 : 1388) + w;
        add(message, [fault](const QString& l, const QString& a) {
            const Dest_Len d = Dest_Length(l);
            return d.number || d.value == 0 || Dest_Add_Fault(a, d.value) != fault;
        });
    }
}

// The value must lie inside the data area, as the Modbus windows require.
void Add_Span_Checks(std::vector<TRule_Check>& checks, int position, int nbyte, int startBit)
{
    using K = TRule_Check_Kind;
    checks.push_back({.kind = K::Range, .column = position, .low = 0, .high = kRule_Capacity_Last, 
                      .message = spare_text::BACnet_Position,
                      .text = QStringLiteral("!! Position must be between 0 and "), .bound = true});
    checks.push_back({.kind = K::Test, .column = startBit, .message = spare_text::BACnet_Start_Bit,
                      .text = QStringLiteral("!! Start Bit must be between 0 and 7"),
                      .test = [startBit](const QStringList& r, int) {
                          const QString bit = Cell(r, startBit);
                          return bit.trimmed().isEmpty() || rules::In_Range(bit, 0, 7);
                      }});
    checks.push_back(
        {.kind = K::Test, .column = nbyte, .message = spare_text::BACnet_Span,
         .text = QStringLiteral("!! Position plus NByte must be minor or equal to "), .bound = true,
         .test =
             [position, nbyte](const QStringList& r, int capacity) {
                 return int64_t(rules::Rule_Number(Cell(r, position))) + rules::Rule_Number(Cell(r, nbyte))
                        <= capacity;
             },
         .bound_of = [](const QStringList&, int capacity) { return int64_t(capacity); }});
}

void Add_Address_Check(std::vector<TRule_Check>& checks, int type, int ipMessage, int idMessage)
{
    using K = TRule_Check_Kind;
    if (type == 0)
        checks.push_back({.kind = K::Test, .column = 2, .message = ipMessage, .test = [](const QStringList& r, int) {
                              uint8_t b[4];
                              return !IP_Text_To_Bytes(Cell(r, 2), b[0], b[1], b[2], b[3]);
                          }});
    else if (type == 1)
        checks.push_back({.kind = K::Range, .column = 2, .low = 0, .high = 254, .message = idMessage});
}

TRule_Column Text_Column(const char* attribute, int header, int width = 70)
{
    return {.attribute = attribute, .header = header, .width = width};
}
TRule_Column Box_Column(const char* attribute, int header, const char* fallback)
{
    TRule_Column c{.attribute = attribute, .header = header, .editor = edDataCheckBox, .width = 50,
                   .fallback = fallback};
    if (QLatin1String(attribute) == QLatin1String("Enable"))
        c.reset = QStringLiteral("Y");
    return c;
}
TRule_Column Choice_Column(const char* attribute, int header, TEditorType editor, const QStringList& choices,
                           int width = 110)
{
    return {.attribute = attribute, .header = header, .editor = editor, .width = width, .choices = choices};
}
const QStringList kStartBits = {"0", "1", "2", "3", "4", "5", "6", "7"};

TRule_Grid Read_Grid(int type)
{
    TRule_Grid g;
    g.name = QStringLiteral("ECG1");
    g.list = QStringLiteral("BACnet_Read");
    g.tab = 1306;
    g.rows = kMaster_Rows;
    g.key = Key_Column(type);
    g.enable = rEnable;
    g.capacity = kMaster_Area;
    g.error_prefix = 1337;
    g.columns = {
        {.header = 1308, .width = 40},
        Box_Column("Enable", 1390, "Y"),
        Text_Column("IP_Address_Slave_ID", 1309, 110),
        Choice_Column("Object_Type", 1311, edComboEdit, Read_Object_Types(), 150),
        Text_Column("Instance", 1312),
        Choice_Column("Property", 1313, edComboEdit, Read_Properties(), 150),
        Text_Column("NumByte", 1314, 55),
        Box_Column("Enable_Destination", 1362, "N"),
        Text_Column("Destination_Network", 1363, 55),
        Choice_Column("Destination_Length", 1364, edComboList, Destination_Lengths(), 55),
        Text_Column("Destination_Address", 1365, 110),
        Text_Column("PollTime", 1315),
        Text_Column("MaxError", 1316, 60),
        {.attribute = "Position", .header = 1317, .editor = edComboList, .width = 60, .fill = TRule_Choices::Positions},
        Choice_Column("StartBit", 1318, edComboList, kStartBits, 55),
        Text_Column("Mnemonic", 1319, 150),
    };
    using K = TRule_Check_Kind;
    std::vector<TRule_Check>& c = g.checks;
    Add_Address_Check(c, type, 1338, 1339);
    c.push_back({.kind = K::Test, .column = rObjectType, .message = 1340, .test = [](const QStringList& r, int) {
                     return Check_Object_Type(Cell(r, rObjectType), false) != -1;
                 }});
    c.push_back({.kind = K::Test, .column = rInstance, .message = 1341, .test = [](const QStringList& r, int) {
                     const int64_t v = Number64(Cell(r, rInstance));
                     return v >= 0 && v <= 4294967295LL;
                 }});
    c.push_back({.kind = K::Test, .column = rProperty, .message = 1342, .test = [](const QStringList& r, int) {
                     return Check_Property(Cell(r, rProperty), false, Check_Object_Type(Cell(r, rObjectType), false))
                            != -1;
                 }});
    c.push_back({.kind = K::Range, .column = rNByte, .low = 0, .high = 255, .message = 1343});
    c.push_back({.kind = K::Range, .column = rDNet, .low = 1, .high = 65535, .message = 1370,
                 .when = {.column = rEnDest, .texts = {"Y"}, .upper = true}});
    Add_Destination_Checks(c, rEnDest, rDLen, rDAdd, false);
    c.push_back({.kind = K::Range, .column = rPollTime, .low = 0, .high = 100000000, .message = 1344});
    c.push_back({.kind = K::Range, .column = rMaxErr, .low = 0, .high = 65535, .message = 1345});
    Add_Span_Checks(c, rPosition, rNByte, rStartBit);
    return g;
}

TRule_Grid Write_Grid(int type)
{
    TRule_Grid g;
    g.name = QStringLiteral("ECG2");
    g.list = QStringLiteral("BACnet_Write");
    g.tab = 1307;
    g.rows = kMaster_Rows;
    g.key = Key_Column(type);
    g.enable = wEnable;
    g.capacity = kMaster_Area;
    g.error_prefix = 1346;
    g.columns = {
        {.header = 1320, .width = 40},
        Box_Column("Enable", 1391, "Y"),
        Text_Column("IP_Address_Slave_ID", 1321, 110),
        Choice_Column("Object_Type", 1323, edComboEdit, Write_Object_Types(), 150),
        Choice_Column("Data_Type", 1324, edComboList, Write_Data_Types(), 100),
        Text_Column("Instance", 1325),
        Choice_Column("Property", 1326, edComboEdit, {kPresentValue}, 130),
        Text_Column("Priority", 1327, 55),
        Text_Column("NumByte", 1328, 55),
        Box_Column("Enable_Destination", 1366, "N"),
        Text_Column("Destination_Network", 1367, 55),
        Choice_Column("Destination_Length", 1368, edComboList, Destination_Lengths(), 55),
        Text_Column("Destination_Address", 1369, 110),
        Box_Column("OnChange", 1329, "N"),
        Box_Column("OnTimer", 1330, "N"),
        Text_Column("PollTime", 1331),
        Text_Column("MaxError", 1332, 60),
        {.attribute = "Position", .header = 1333, .editor = edComboList, .width = 60, .fill = TRule_Choices::Positions},
        Choice_Column("StartBit", 1334, edComboList, kStartBits, 55),
        Text_Column("Mnemonic", 1335, 150),
    };
    using K = TRule_Check_Kind;
    std::vector<TRule_Check>& c = g.checks;
    Add_Address_Check(c, type, 1347, 1348);
    const auto code = [](const QStringList& r) { return Check_Object_Type(Cell(r, wObjectType), true); };
    const auto property = [code](const QStringList& r) { return Check_Property(Cell(r, wProperty), true, code(r)); };
    c.push_back({.kind = K::Test, .column = wObjectType, .message = 1349,
                 .test = [code](const QStringList& r, int) { return code(r) != -1; }});
    c.push_back({.kind = K::Test, .column = wInstance, .message = 1350, .test = [](const QStringList& r, int) {
                     const int64_t v = Number64(Cell(r, wInstance));
                     return v >= 0 && v <= 4294967295LL;
                 }});
    c.push_back({.kind = K::Test, .column = wProperty, .message = 1351,
                 .test = [property](const QStringList& r, int) { return property(r) != -1; }});
    const auto dataType_ok = [code, property](const QStringList& r) {
        return Check_Data_Type(Cell(r, wDataType), code(r), property(r)) != -1;
    };
    const auto expected = [code, property](const QStringList& r) { return Aspected_Data_Type_Value(code(r), property(r)); };
    c.push_back({.kind = K::Test, .column = wDataType, .message = 1358,
                 .test = [dataType_ok, expected](const QStringList& r, int) {
                     return dataType_ok(r) || expected(r).isEmpty();
                 },
                 .suffix_of = expected});
    c.push_back({.kind = K::Test, .column = wDataType, .message = 1352,
                 .test = [dataType_ok](const QStringList& r, int) { return dataType_ok(r); }});
    c.push_back({.kind = K::Range, .column = wPriority, .low = 0, .high = 16, .message = 1353});
    c.push_back({.kind = K::Range, .column = wNByte, .low = 0, .message = 1354, .bound = true,
                 .bound_of = [](const QStringList& r, int) { return int64_t(Check_Num_Byte_Max(Cell(r, wDataType))); }});
    c.push_back({.kind = K::Range, .column = wDNet, .low = 1, .high = 65535, .message = 1375,
                 .when = {.column = wEnDest, .texts = {"Y"}, .upper = true}});
    Add_Destination_Checks(c, wEnDest, wDLen, wDAdd, true);
    c.push_back({.kind = K::Range, .column = wPollTime, .low = 0, .high = 100000000, .message = 1355,
                 .when = {.column = wTimer, .texts = {"Y"}, .upper = true}});
    c.push_back({.kind = K::Range, .column = wMaxErr, .low = 0, .high = 65535, .message = 1356});
    Add_Span_Checks(c, wPosition, wNByte, wStartBit);
    return g;
}

} // namespace

// ---------------------------------------------------------------------------
// Tables and checks.

namespace bacnet {

const QStringList& Read_Object_Types()
{
    static const QStringList l = {"Accumulator",   "Multi-State Input", "Multi-State Output", "Multi-State Value",
                                  "Analog Input",  "Analog Output",     "Analog Value",       "Binary Input",
                                  "Binary Output", "Binary Value",      "Integer Value",      "Large Analog Value",
                                  "Positive Integer Value", "Life Safety Point", "Life Safety Zone"};
    return l;
}

const QStringList& Write_Object_Types()
{
    static const QStringList l = {"Multi-State Output", "Multi-State Value", "Analog Output",
                                  "Analog Value",       "Binary Output",     "Binary Value",
                                  "Integer Value",      "Large Analog Value", "Positive Integer Value"};
    return l;
}

const QStringList& Read_Properties()
{
    static const QStringList l = {"Present Value (85)", "Object Identifier (75)", "Units (117)",
                                  "Scale (187)",        "PreScale (185)",         "Polarity (84)",
                                  "Event State (36)",   "Status Flags (111)",     "Object Type (79)",
                                  "Number of States (74)"};
    return l;
}

const QStringList& Write_Data_Types()
{
    static const QStringList l = {"Null",         "Boolean",          "Unsigned Int", "Signed Int", "Real",
                                  "Double",       "Octet String",     "Character String", "Bit String",
                                  "Enumerated",   "Date",             "Time",         "Object ID"};
    return l;
}

const QStringList& Destination_Lengths()
{
    static const QStringList l = {"1", "2", "6", "M1", "M2", "M3", "M4", "M5", "M6", "M7", "M8"};
    return l;
}

int Key_Column(int bacnetType) { return bacnetType == 0 || bacnetType == 1 ? 2 : 3; }

int Dest_Add_Fault(const QString& text, int count)
{
    const QString t = text.trimmed();
    int parts = 0;
    qsizetype from = 0;
    while (from < t.size()) {
        const qsizetype comma = t.indexOf(QLatin1Char(','), from);
        const QString part = t.mid(from, comma < 0 ? -1 : comma - from).trimmed();
        if (parts >= count)
            return 2;
        if (!rules::In_Range(part, 0, 255))
            return 1;
        ++parts;
        if (comma < 0)
            break;
        from = comma + 1;   // a comma at the end adds no part
    }
    return parts < count ? 3 : 0;
}

QString Str_Hint_Read(const QString& objectType, const QString& property)
{
    if (objectType.trimmed().isEmpty() || property.trimmed().isEmpty())
        return QString();
    const int code = Check_Object_Type(objectType, false);
    const int size = Check_Property(property, false, code);
    if (size >= 1 && size <= 49)
        return QString::number(size);
    if (size == 100)
        for (const Object_Type& t : kObjectTypes)
            if (t.code == code && t.present_size > 0)
                return QString::number(t.present_size);
    return QString();
}

bool Read_Master_Type(const QString& parGenPath, int* type)
{
    *type = 0;
    if (parGenPath.isEmpty() || !platform::FileExists(parGenPath))
        return false;
    platform::XmlDocument doc;
    QString error;
    if (!doc.Load(parGenPath, &error))
        return false;
    const platform::XmlNode e = doc.DocumentElement().FindChild(QStringLiteral("BACnet_Master_Type"));
    if (e.IsNull())
        return false;
    *type = platform::NumberOr(e.Text(), 0);
    return true;
}

Import_Place Import_Start(const TRule_Rows& rows, int key, bool write)
{
    // The rules end at the first blank key: imported rows follow them, so
    // they are kept by the next OK, and no rule is overwritten.
    Import_Place p;
    const int position = write ? int(wPosition) : int(rPosition);
    const int nbyte = write ? int(wNByte) : int(rNByte);
    int64_t next = 0;
    while (p.row < static_cast<int>(rows.size()) && !Cell(rows[p.row], key).trimmed().isEmpty()) {
        const std::optional<int> pos = platform::ParseNumber(Cell(rows[p.row], position));
        const std::optional<int> n = platform::ParseNumber(Cell(rows[p.row], nbyte));
        if (pos && n && *pos >= 0 && *n >= 0)
            next = std::max<int64_t>(next, int64_t(*pos) + *n);
        ++p.row;
    }
    p.position = static_cast<int>(std::min<int64_t>(next, INT32_MAX));
    return p;
}

int Import_EDE_Rows(TRule_Rows& rows, int key, bool write, const std::vector<const TBACnet_Var*>& vars,
                    const QString& address)
{
    Import_Place p = Import_Start(rows, key, write);
    int dropped = 0;
    for (const TBACnet_Var* v : vars) {
        if (p.row >= static_cast<int>(rows.size())) {
            ++dropped;
            continue;
        }
        const int nbyte = Get_NumByte_EDE(v->object_type);
        const QString mnemonic = v->object_name + QStringLiteral(" - ") + v->description;
        const QString n = QString::number(nbyte);
        const QString instance = QString::number(v->object_instance);
        const QString position = QString::number(p.position);
        const QString type = Get_ObjType_EDE(v->object_type);
        if (write)
            rows[p.row] = {"Y", address, type, Get_DataType_EDE(v->object_type), instance, kPresentValue, "0", n,
                           "N", "", "", "", "N", "N", "1000", "0", position, "0", mnemonic};
        else
            rows[p.row] = {"Y", address, type, instance, kPresentValue, n, "N", "", "", "", "1000", "0", position,
                           "0", mnemonic};
        p.position += nbyte;
        ++p.row;
    }
    return dropped;
}

QString Import_Overflow_Message(const QString& tab, int dropped, int rows)
{
    // Not in the language table, whose entries are fixed.
    return QStringLiteral("Warning!! The table \"%1\" holds %2 rows: %3 of the chosen objects did not fit and "
                          "were not imported")
        .arg(tab)
        .arg(rows)
        .arg(dropped);
}

} // namespace bacnet

int Check_Object_Type(const QString& text, bool write)
{
    const QString t = text.trimmed().toUpper();
    for (const Object_Type& o : kObjectTypes)
        if (t == QLatin1String(o.name)) {
            // Inputs and the accumulator are read only.
            if (write && (o.code == 1 || o.code == 2 || o.code == 4 || o.code == 6))
                return -1;
            return o.code;
        }
    if (const std::optional<int> n = platform::ParseNumber(text))
        if (Proprietary_Object(*n))
            return *n;
    return -1;
}

int Check_Property(const QString& text, bool write, int objectType)
{
    const QString t = text.trimmed().toUpper();
    if (t == QLatin1String("PRESENT VALUE (85)"))
        return 100;
    if (!write)
        for (const Property& p : kProperties)
            if (t == QLatin1String(p.name)) {
                if (!p.only.empty() && !Has(p.only, objectType))
                    return -1;
                return Has(p.never, objectType) ? -1 : p.size;
            }
    const int64_t n = Number64(text);
    return n >= 512 && n <= 4194303 ? 200 : -1;
}

int Check_Data_Type(const QString& text, int objectType, int property)
{
    if (property != 100)
        return 1000;
    if (Proprietary_Object(objectType))
        return 1;
    const QString t = text.trimmed().toUpper();
    for (const Present_Type& p : kPresentTypes)
        if (t == QLatin1String(p.upper) && Has(p.codes, objectType))
            return p.size;
    return -1;
}

QString Aspected_Data_Type_Value(int objectType, int property)
{
    if (property != 100)
        return QString();
    for (const Present_Type& p : kPresentTypes)
        if (Has(p.codes, objectType))
            return QString::fromLatin1(p.name);
    return QString();
}

int Check_Num_Byte_Max(const QString& dataType)
{
    const QString t = dataType.trimmed().toUpper();
    if (t == QLatin1String("NULL"))
        return 0;
    if (t == QLatin1String("BOOLEAN"))
        return 1;
    if (t == QLatin1String("DOUBLE"))
        return 8;
    if (t == QLatin1String("BIT STRING"))
        return 120;
    for (const char* four : {"UNSIGNED INT", "SIGNED INT", "REAL", "ENUMERATED", "DATE", "TIME", "OBJECT ID"})
        if (t == QLatin1String(four))
            return 4;
    return 255;
}

TRule_Form BACnet_Master_Form(int bacnetType)
{
    TRule_Form f;
    f.name = QStringLiteral("FBACnetAccess");
    f.root = QStringLiteral("BACnet_Master_Access");
    f.version = QStringLiteral("SW_VERSION = 1.001");
    f.path = &FileName_BACnet_Master_Access;
    f.caption = 1300;
    f.title = 1301;
    for (int i = 0; i < 4; ++i)
        f.button_captions[i] = 1302 + i;
    f.error_prefix = 1337;
    f.delete_question = 1336;
    f.width = 1305;
    f.height = 337;
    f.row_select = false;
    f.grid_events = false;   // no double-click or Enter handlers; the read hint is wired by the window
    f.grids = {Read_Grid(bacnetType), Write_Grid(bacnetType)};
    return f;
}

// ---------------------------------------------------------------------------
// The window.

TFBACnetAccess::TFBACnetAccess()
    : TBACnet_Master_Form_Holder{BACnet_Master_Form(0)}, TSet_Access_Form(Master_Form)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    SetClientWidth(screen && screen->size().width() < 1271 ? 1000 : 1305);
    OD_EDE_File.filter = QStringLiteral("BACnet EDE File (*.csv)");
    OD_EDE_File.initialFolder = Last_EDE_Folder;
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_BACnet_Read = Tabs[0];
        TS_BACnet_Write = Tabs[1];
        ECG1 = Grids[0];
        ECG2 = Grids[1];
        // No Copy Row and Paste Row here; the import takes the fifth place.
        delete Btn_CopyRow;
        delete Btn_PasteRow;
        Btn_CopyRow = Btn_PasteRow = nullptr;
        Btn_Import_CSV = new TLbButton(P_Button);
        Btn_Import_CSV->SetBounds(8 + 4 * 118, 6, 110, 28);
        Btn_Import_CSV->OnClick = [this](QObject* s) { Btn_Import_CSVClick(s); };
        for (VOruVizizaZezo* g : Grids) {
            g->SetShowHint(true);
            g->OnGridHint = [this](QObject* s, int row, int col, QString& hint) { ECG1GridHint(s, row, col, hint); };
        }
        Set_Lang();
    });
}

TFBACnetAccess::~TFBACnetAccess()
{
    if (FBACnetAccess == this)
        FBACnetAccess = nullptr;
}

void TFBACnetAccess::Set_Lang_Extra()
{
    if (Btn_Import_CSV) {
        Btn_Import_CSV->SetCaption(Text(1359));
        Btn_Import_CSV->SetHint(Text(1360));
    }
    OD_EDE_File.title = Text(1361);
    if (App_BACnet_Type == 1 && ECG1 && ECG2) {
        ECG1->Columns().GetItem(2)->SetHeader(Text(1310));
        ECG2->Columns().GetItem(2)->SetHeader(Text(1322));
    }
}

bool TFBACnetAccess::Prepare_Show()
{
    if (!Read_Master_Type(FileName_ParGen, &App_BACnet_Type))
        platform::ShowMessage(platform::MessageKind::Error, Text(1357));
    // The engine reads its description by reference: tailoring it here sets
    // the key column and the address checks for this showing.
    Master_Form = BACnet_Master_Form(App_BACnet_Type);
    const bool address = App_BACnet_Type == 0 || App_BACnet_Type == 1;
    for (VOruVizizaZezo* g : Grids) {
        if (address && g->IsHiddenColumn(2))
            g->UnHideColumn(2);
        else if (!address && !g->IsHiddenColumn(2))
            g->HideColumn(2);
    }
    ECG1->Columns().GetItem(2)->SetHeader(Text(App_BACnet_Type == 1 ? 1310 : 1309));
    ECG2->Columns().GetItem(2)->SetHeader(Text(App_BACnet_Type == 1 ? 1322 : 1321));
    return true;
}

void TFBACnetAccess::ECG1GridHint(QObject* sender, int row, int col, QString& hint)
{
    hint.clear();
    if (sender != ECG1 || row < 1 || row >= ECG1->RowCount() || ECG1->RealColIndex(col) != rNByte)
        return;
    hint = Str_Hint_Read(ECG1->GetCellEx(rObjectType, row), ECG1->GetCellEx(rProperty, row));
}

void TFBACnetAccess::Btn_Import_CSVClick(QObject*)
{
    std::unique_ptr<TFImportEDEFile> own;
    TFImportEDEFile* dialog = FImportEDEFile;
    if (!dialog) {
        own = std::make_unique<TFImportEDEFile>();
        dialog = own.get();
    }
    dialog->App_BACnet_Type = App_BACnet_Type;
    OD_EDE_File.initialFolder = Last_EDE_Folder;
    const QString path = platform::AskOpenFileName(OD_EDE_File);
    if (path.isEmpty())
        return;
    bool accepted = false;
    if (platform::FileExists(path)) {
        dialog->EDE_File = path;
        accepted = dialog->ShowModal() == platform::mrOk;
    }
    Last_EDE_Folder = QFileInfo(path).absolutePath();
    OD_EDE_File.initialFolder = Last_EDE_Folder;
    if (!accepted)
        return;

    const QString address = dialog->E_ID_IP->Text();
    QStringList overflow;
    for (int g = 0; g < 2; ++g) {
        const bool write = g == 1;
        std::vector<const TBACnet_Var*> chosen;
        for (const auto& v : dialog->List_EDE_Var)
            if (v->import && (write ? v->write : v->read))
                chosen.push_back(v.get());
        if (chosen.empty())
            continue;
        const TRule_Rows before = Grid_Rows(g);
        TRule_Rows rows = before;
        const int dropped = Import_EDE_Rows(rows, Form().grids[g].key, write, chosen, address);
        for (int r = 0; r < static_cast<int>(rows.size()); ++r)
            if (rows[r] != before[r])
                for (int c = 1; c <= rows[r].size(); ++c)
                    Set_Cell(g, c, r + 1, rows[r][c - 1]);
        if (dropped > 0)
            overflow << Import_Overflow_Message(Tabs[g]->Caption(), dropped, static_cast<int>(rows.size()));
    }
    if (!overflow.isEmpty())
        platform::ShowMessage(platform::MessageKind::Warning, overflow.join(QLatin1Char('\n')));
}
