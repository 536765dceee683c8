#include "fieldbus/UEds.h"

#include "rules/UText_File_Writer.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include <algorithm>
#include <optional>

namespace {

const QString EDS_File_Name = QStringLiteral("NMEA_Send_Frames_CANopen.eds");
const QString EDS_Product_Name = QStringLiteral("NMEA_Send_Frames / CANopen - Converter");
const QString EDS_Product_Number = QStringLiteral("K20");
const QString EDS_Order_Code = QStringLiteral("VAR5U20");

const char* const RPDO_Var_Names[EDS_Max_PDO] = {
    "b",  "c",  "d",  "e",  "f",  "g",  "h",  "j",  "k",  "i",  "aa", "ab", "ac", "ad", "ae",
    "af", "ag", "ah", "ai", "al", "am", "an", "ao", "ap", "aq", "ar", "as", "at", "au", "av"};
const char* const TPDO_Var_Names[EDS_Max_PDO] = {
    "l",  "m",  "n",  "o",  "p",  "q",  "r",  "s",  "t",  "u",  "ca", "cb", "cc", "cd", "ce",
    "cf", "cg", "ch", "ci", "cl", "cm", "cn", "co", "cp", "cq", "cr", "cs", "ct", "cu", "cv"};

QString Hex(uint32_t value, int width)
{
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

// Section names: the index in four digits, a sub-index without leading zeros.
QString Section(uint32_t index)
{
    return QStringLiteral("[%1]").arg(Hex(index, 4));
}
QString Section(uint32_t index, uint32_t sub)
{
    return QStringLiteral("[%1sub%2]").arg(Hex(index, 4), QString::number(sub, 16).toUpper());
}

QString Row_Place(const QString& path, const QString& list, int row)
{
    return QStringLiteral("\"%1\", %2 row %3").arg(path, list).arg(row);
}

// The children of a list element that are rows (comments are not).
std::vector<platform::XmlNode> Rows_Of(const platform::XmlDocument& doc, const QString& list)
{
    std::vector<platform::XmlNode> rows;
    const platform::XmlNode root = doc.FirstChild();
    if (!root)
        return rows;
    const platform::XmlNode node = root.FindChild(list);
    if (!node)
        return rows;
    for (const platform::XmlNode& child : node.Children())
        if (child.IsElement())
            rows.push_back(child);
    return rows;
}

bool Load_PDO_Rows(const platform::XmlDocument& doc, const QString& path, const QString& list, PDO_Entry* entries,
                   int* count, QString* error)
{
    const std::vector<platform::XmlNode> rows = Rows_Of(doc, list);
    const int taken = std::min<int>(static_cast<int>(rows.size()), EDS_Max_PDO);
    for (int r = 0; r < taken; ++r) {
        const std::optional<QString> cob = rows[r].Attribute(QStringLiteral("COB-ID"));
        const std::optional<QString> dim = rows[r].Attribute(QStringLiteral("Dimension"));
        if (!cob || !dim) {
            *error = QStringLiteral("%1: the attribute \"%2\" is missing.")
                         .arg(Row_Place(path, list, r + 1), cob ? QStringLiteral("Dimension") : QStringLiteral("COB-ID"));
            return false;
        }
        entries[r].COB_ID = platform::NumberOr(*cob, 0);
        // A PDO carries 1 to 8 bytes; more would map beyond the 64 bits of a frame.
        entries[r].Dimension = std::clamp(platform::NumberOr(*dim, 8), 1, 8);
    }
    *count = taken;
    return true;
}

std::optional<int> Read_Number(const platform::XmlNode& row, const QString& name, int high, const QString& place,
                               QString* error)
{
    const std::optional<QString> text = row.Attribute(name);
    if (!text) {
        *error = QStringLiteral("%1: the attribute \"%2\" is missing.").arg(place, name);
        return std::nullopt;
    }
    const std::optional<int> value = platform::ParseNumber(*text);
    if (!value || *value < 0 || *value > high) {
        *error = QStringLiteral("%1: \"%2\" is not a valid %3 (0 to %4).").arg(place, *text, name).arg(high);
        return std::nullopt;
    }
    return value;
}

void Add(QStringList& lines, std::initializer_list<const char*> texts)
{
    for (const char* t : texts)
        lines << QString::fromLatin1(t);
}

// A simple variable of the fixed objects: name, data type, access, default (none when null).
void Var(QStringList& lines, const QString& section, const char* name, const char* type, const char* access,
         const char* value)
{
    lines << section << QStringLiteral("ParameterName=%1").arg(QLatin1String(name)) << QStringLiteral("ObjectType=0x07")
          << QStringLiteral("DataType=%1").arg(QLatin1String(type))
          << QStringLiteral("AccessType=%1").arg(QLatin1String(access));
    if (value)
        lines << QStringLiteral("DefaultValue=%1").arg(QLatin1String(value));
    lines << QStringLiteral("PDOMapping=0");
}

void Record(QStringList& lines, const QString& section, int subNumber, const QString& name, const char* type)
{
    lines << section << QStringLiteral("SubNumber=%1").arg(subNumber) << QStringLiteral("ParameterName=") + name
          << QStringLiteral("ObjectType=%1").arg(QLatin1String(type));
}

// The fixed objects, in file order. A record has its sub-number; for it
// `type` is the object type, for a variable the data type.
struct Fixed_Object
{
    const char* section;
    const char* name;
    const char* type;
    const char* access;
    const char* value;  // none when null
    int subNumber;      // 0 for a variable
};

void Fixed_Objects(QStringList& l)
{
    static const Fixed_Object objects[] = {
        {"[1000]", "Device Type", "0x0007", "const", "0x000101A4", 0},
        {"[1001]", "Error Register", "0x0005", "ro", "0x00", 0},
        {"[1005]", "COB-ID SYNC", "0x0007", "rw", "0x80000080", 0},
        {"[1006]", "Communication Cycle Period", "0x0007", "rw", "0x00000000", 0},
        {"[1008]", "Manufacturer Device Name", "0x0009", "const", "s1", 0},
        {"[1014]", "COB-ID EMCY", "0x0007", "ro", "$NODEID+0x80", 0},
        {"[1016]", "Heartbeat Consumer Entries", "0x08", nullptr, nullptr, 3},
        {"[1016sub0]", "Number of Entries", "0x0005", "ro", "0x02", 0},
        {"[1016sub1]", "Consumer Heartbeat Time 1", "0x0007", "rw", "0x00000000", 0},
        {"[1016sub2]", "Consumer Heartbeat Time 2", "0x0007", "rw", "0x00000000", 0},
        {"[1017]", "Producer Heartbeat Time", "0x0006", "rw", "0x000003E8", 0},
        {"[1018]", "Identity Object", "0x09", nullptr, nullptr, 5},
        {"[1018sub0]", "number of entries", "0x0005", "ro", "0x4", 0},
        {"[1018sub1]", "Vendor Id", "0x0007", "ro", nullptr, 0},
        {"[1018sub2]", "Product Code", "0x0007", "ro", nullptr, 0},
        {"[1018sub3]", "Revision number", "0x0007", "ro", nullptr, 0},
        {"[1018sub4]", "Serial number", "0x0007", "ro", nullptr, 0},
        {"[1029]", "Error Behaviour", "0x08", nullptr, nullptr, 2},
        {"[1029sub0]", "Number of Entries", "0x0005", "ro", "1", 0},
        {"[1029sub1]", "Communication Error", "0x0005", "rw", "0x0", 0},
        {"[1280]", "Client SDO Parameter 1", "0x09", nullptr, nullptr, 4},
        {"[1280sub0]", "Number of Entries", "0x0005", "ro", "0x03", 0},
        {"[1280sub1]", "COB-ID Client -> Server", "0x0007", "rw", nullptr, 0},
        {"[1280sub2]", "COB-ID Server -> Client", "0x0007", "rw", nullptr, 0},
        {"[1280sub3]", "Node ID of the SDO Server", "0x0005", "rw", nullptr, 0},
    };
    bool first = true;
    for (const Fixed_Object& o : objects) {
        // An empty line between sections; none after the last fixed one.
        if (!first)
            l << "";
        first = false;
        if (o.subNumber > 0)
            Record(l, QLatin1String(o.section), o.subNumber, QLatin1String(o.name), o.type);
        else
            Var(l, QLatin1String(o.section), o.name, o.type, o.access, o.value);
    }
}

void Communication(QStringList& l, uint32_t index, int n, bool receive, int32_t cobId)
{
    Record(l, Section(index), 4,
           QStringLiteral("%1 PDO Communication Parameter %2").arg(receive ? "Receive" : "Transmit").arg(n), "0x09");
    l << "";
    Var(l, Section(index, 0), "Number of Entries", "0x0005", "ro", "0x03");
    l << "";
    l << Section(index, 1) << "ParameterName=COB-ID" << "ObjectType=0x07" << "DataType=0x0007" << "AccessType=rw"
      << "DefaultValue=0x" + Hex(static_cast<uint32_t>(cobId), 8) << "PDOMapping=0" << "";
    Var(l, Section(index, 2), "Transmission Type", "0x0005", "rw", "0xFE");
    l << "";
    Var(l, Section(index, 3), "Inhibit Time", "0x0006", "rw", "0x0");
    l << "";
}

void Mapping(QStringList& l, uint32_t index, int n, bool receive, int dim, uint32_t dataIndex)
{
    Record(l, Section(index), dim + 1,
           receive ? QStringLiteral("Receive PDO Mapping Parameter")
                   : QStringLiteral("Transmit PDO Mapping Parameter %1").arg(n),
           "0x09");
    l << "";
    l << Section(index, 0) << "ParameterName=Number of Entries" << "ObjectType=0x07" << "DataType=0x0005"
      << "AccessType=ro" << "DefaultValue=0x" + Hex(dim, 2) << "PDOMapping=0" << "";
    for (int j = 1; j <= dim; ++j)
        l << Section(index, j) << QStringLiteral("ParameterName=Mapping Entry %1").arg(j) << "ObjectType=0x07"
          << "DataType=0x0007" << "AccessType=ro"
          << "DefaultValue=0x" + Hex(dataIndex, 4) + Hex(j, 2) + "08" << "PDOMapping=0" << "";
}

void Data_Object(QStringList& l, uint32_t index, int n, bool receive, int dim, const char* name)
{
    Record(l, Section(index), dim + 1, QStringLiteral("%1PDO%2").arg(receive ? "R" : "T").arg(n), "0x08");
    l << "";
    l << Section(index, 0) << "ParameterName=Number of Entries" << "ObjectType=0x07" << "DataType=0x0005"
      << (receive ? "AccessType=ro" : "AccessType=rw") << "DefaultValue=0x" + Hex(dim, 2) << "PDOMapping=0" << "";
    for (int j = 1; j <= dim; ++j)
        l << Section(index, j) << QStringLiteral("ParameterName=%1%2").arg(QLatin1String(name)).arg(j)
          << "ObjectType=0x07" << "DataType=0x0005" << (receive ? "AccessType=rww" : "AccessType=rwr")
          << "DefaultValue=0x00" << "PDOMapping=1" << "";
}

void Manufacturer_Object(QStringList& l, const SDO_Index& entry)
{
    const auto& subs = entry.Sub_Indexs;
    const int c = static_cast<int>(subs.size());
    const bool ownSub0 = subs.front().Sub == 0;
    l << Section(entry.Index) << QStringLiteral("SubNumber=%1").arg(ownSub0 ? c : c + 1) << "ParameterName=App Vars"
      << "ObjectType=0x9" << "";
    if (!ownSub0)
        l << Section(entry.Index, 0) << "ParameterName=Largest Sub-Index supported" << "ObjectType=0x7"
          << "DataType=0x0005" << "AccessType=ro" << "DefaultValue=0x" + Hex(subs.back().Sub, 2) << "PDOMapping=0"
          << "";
    for (const SDO_Sub_Type& s : subs) {
        l << Section(entry.Index, s.Sub) << "ParameterName=Application Variable" << "ObjectType=0x7";
        if (s.Quantity == 1)
            Add(l, {"DataType=0x0005", "LowLimit=0x00", "HighLimit=0xFF", "DefaultValue=0x00"});
        else if (s.Quantity == 2)
            Add(l, {"DataType=0x0006", "LowLimit=0x0000", "HighLimit=0xFFFF", "DefaultValue=0x0000"});
        else
            Add(l, {"DataType=0x0007", "LowLimit=0x00000000", "HighLimit=0xFFFFFFFF", "DefaultValue=0x00000000"});
        l << (s.Readonly ? "AccessType=ro" : "AccessType=rw") << "PDOMapping=0" << "";
    }
}

} // namespace

bool Load_PDO_List(const QString& path, TEds_Data& data, QString* error)
{
    data.Num_RPDO = 0;
    data.Num_TPDO = 0;
    if (!platform::FileExists(path))
        return true;
    platform::XmlDocument doc;
    if (!doc.Load(path, error))
        return false;
    return Load_PDO_Rows(doc, path, QStringLiteral("Receive_PDO"), data.RPDO_List, &data.Num_RPDO, error) &&
           Load_PDO_Rows(doc, path, QStringLiteral("Transmit_PDO"), data.TPDO_List, &data.Num_TPDO, error);
}

bool Load_SDO_Server_List(const QString& path, TEds_Data& data, QString* error)
{
    if (!platform::FileExists(path))
        return true;
    platform::XmlDocument doc;
    if (!doc.Load(path, error))
        return false;
    for (const bool readonly : {true, false}) {
        const QString list = readonly ? QStringLiteral("SDO_Read") : QStringLiteral("SDO_Write");
        const std::vector<platform::XmlNode> rows = Rows_Of(doc, list);
        for (size_t r = 0; r < rows.size(); ++r) {
            const QString place = Row_Place(path, list, static_cast<int>(r) + 1);
            const auto index = Read_Number(rows[r], QStringLiteral("Index"), 0xFFFF, place, error);
            if (!index)
                return false;
            const auto sub = Read_Number(rows[r], QStringLiteral("SubIndex"), 0xFF, place, error);
            if (!sub)
                return false;
            const auto quantity = Read_Number(rows[r], QStringLiteral("NByte"), 0xFF, place, error);
            if (!quantity)
                return false;
            const SDO_Sub_Type entry{static_cast<uint8_t>(*sub), static_cast<uint8_t>(*quantity), readonly, {}};
            const int at = Find_SDO_Index(data, static_cast<uint16_t>(*index));
            if (at < 0) {
                data.SDO_Index_List.push_back({static_cast<uint16_t>(*index), {entry}});
                continue;
            }
            auto& subs = data.SDO_Index_List[at].Sub_Indexs;
            // One object, one section: a second one of the same name would
            // make the file ambiguous for every tool that reads it.
            if (std::any_of(subs.begin(), subs.end(), [&](const SDO_Sub_Type& s) { return s.Sub == entry.Sub; })) {
                *error = QStringLiteral("%1: index 0x%2 sub-index %3 is given twice.")
                             .arg(place, Hex(*index, 4))
                             .arg(*sub);
                return false;
            }
            subs.push_back(entry);
        }
    }
    return true;
}

int Find_SDO_Index(const TEds_Data& data, uint16_t index)
{
    for (size_t i = 0; i < data.SDO_Index_List.size(); ++i)
        if (data.SDO_Index_List[i].Index == index)
            return static_cast<int>(i);
    return -1;
}

void Sort_SDO_Sub_Indexes(TEds_Data& data)
{
    for (SDO_Index& entry : data.SDO_Index_List)
        std::stable_sort(entry.Sub_Indexs.begin(), entry.Sub_Indexs.end(),
                         [](const SDO_Sub_Type& a, const SDO_Sub_Type& b) { return a.Sub < b.Sub; });
}

QString EDS_Time_Text(int hour, int minute)
{
    // 12-hour clock: midnight is 12 AM, noon 12 PM.
    const int shown = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("%1:%2%3")
        .arg(shown, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'))
        .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString EDS_Date_Text(const QDate& date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year());
}

bool Build_EDS_Lines(const QString& pdoPath, const QString& sdoServerPath, const QDateTime& stamp,
                     QStringList* lines, QString* error)
{
    TEds_Data d;
    if (!Load_PDO_List(pdoPath, d, error) || !Load_SDO_Server_List(sdoServerPath, d, error))
        return false;
    Sort_SDO_Sub_Indexes(d);

    const QString time = EDS_Time_Text(stamp.time().hour(), stamp.time().minute());
    const QString date = EDS_Date_Text(stamp.date());
    QStringList& l = *lines;
    l.clear();
    l << "[FileInfo]" << "FileName=" + EDS_File_Name << "FileVersion=1" << "FileRevision=0" << "EDSVersion=4.0"
      << "Description=" + EDS_Product_Name << "CreationTime=" + time << "CreationDate=" + date << ""
      << "ModificationTime=" + time << "ModificationDate=" + date << "" << "";

    l << "[DeviceInfo]" << "" << "VendorNumber=0x00" << "ProductName=" + EDS_Product_Name
      << "ProductNumber=" + EDS_Product_Number << "RevisionNumber=0x0" << "OrderCode=" + EDS_Order_Code;
    Add(l, {"BaudRate_10=1", "BaudRate_20=1", "BaudRate_50=1", "BaudRate_125=1", "BaudRate_250=1", "BaudRate_500=1",
            "BaudRate_800=0", "BaudRate_1000=1", "DynamicChannelsSupported=0", "GroupMessaging=0", "LSS_Supported=0",
            "Granularity=0", "SimpleBootUpSlave=1", "SimpleBootUpMaster=0"});
    l << QStringLiteral("NrOfRXPDO=%1").arg(d.Num_RPDO) << QStringLiteral("NrOfTXPDO=%1").arg(d.Num_TPDO) << "";

    Add(l, {"[Comments]", "Lines=0", ""});
    l << "[DummyUsage]";
    for (int i = 1; i <= 7; ++i)
        l << QStringLiteral("Dummy%1=0").arg(i, 4, 10, QLatin1Char('0'));
    l << "";
    Add(l, {"[MandatoryObjects]", "SupportedObjects=3", "1=0x1000", "2=0x1001", "3=0x1018", ""});

    l << "[OptionalObjects]" << QStringLiteral("SupportedObjects=%1").arg(3 * d.Num_RPDO + 3 * d.Num_TPDO + 8);
    Add(l, {"1=0x1005", "2=0x1006", "3=0x1008", "4=0x1014", "5=0x1016", "6=0x1017", "7=0x1029", "8=0x1280"});
    int k = 9;
    auto list = [&](uint32_t base, int count) {
        for (int i = 0; i < count; ++i)
            l << QStringLiteral("%1=0x%2").arg(k++).arg(Hex(base + i, 4));
    };
    list(0x1400, d.Num_RPDO);
    list(0x1600, d.Num_RPDO);
    list(0x1800, d.Num_TPDO);
    list(0x1A00, d.Num_TPDO);
    list(0x7000, d.Num_RPDO);
    list(0x7050, d.Num_TPDO);
    l << "";

    l << "[ManufacturerObjects]" << QStringLiteral("SupportedObjects=%1").arg(d.SDO_Index_List.size());
    for (size_t i = 0; i < d.SDO_Index_List.size(); ++i)
        l << QStringLiteral("%1=0x%2").arg(i + 1).arg(Hex(d.SDO_Index_List[i].Index, 4));
    l << "";

    Fixed_Objects(l);
    for (int i = 0; i < d.Num_RPDO; ++i)
        Communication(l, 0x1400 + i, i + 1, true, d.RPDO_List[i].COB_ID);
    for (int i = 0; i < d.Num_RPDO; ++i)
        Mapping(l, 0x1600 + i, i + 1, true, d.RPDO_List[i].Dimension, 0x7000 + i);
    for (int i = 0; i < d.Num_TPDO; ++i)
        Communication(l, 0x1800 + i, i + 1, false, d.TPDO_List[i].COB_ID);
    for (int i = 0; i < d.Num_TPDO; ++i)
        Mapping(l, 0x1A00 + i, i + 1, false, d.TPDO_List[i].Dimension, 0x7050 + i);
    for (int i = 0; i < d.Num_RPDO; ++i)
        Data_Object(l, 0x7000 + i, i + 1, true, d.RPDO_List[i].Dimension, RPDO_Var_Names[i]);
    for (int i = 0; i < d.Num_TPDO; ++i)
        Data_Object(l, 0x7050 + i, i + 1, false, d.TPDO_List[i].Dimension, TPDO_Var_Names[i]);
    for (const SDO_Index& entry : d.SDO_Index_List)
        Manufacturer_Object(l, entry);
    l << "";
    return true;
}

bool Write_EDS_File(const QString& path, const QString& pdoPath, const QString& sdoServerPath,
                    const QDateTime& stamp, QString* error)
{
    QStringList lines;
    return Build_EDS_Lines(pdoPath, sdoServerPath, stamp, &lines, error) &&
           platform::WriteFileAtomically(path, Text_File_Bytes(lines, Text_Format_8Bit), error);
}

void Create_EDS_File(const QString& fileName)
{
    QString error;
    if (!Write_EDS_File(fileName, FileName_PDO_CANopen, FileName_SDO_Server_CANopen, QDateTime::currentDateTime(),
                        &error))
        platform::ShowMessage(platform::MessageKind::Error, error);
}

void Save_EDS_File()
{
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Electronic Data Sheet (*.eds)");
    request.initialFolder = Project_Folder;
    request.defaultSuffix = QStringLiteral("eds");
    const QString chosen = platform::AskSaveFileName(request);
    if (chosen.isEmpty())
        return;
    const QString path = With_File_Extension(chosen, QStringLiteral(".eds"));
    if (!Confirm_Overwrite(path, Language_List.value(1103)))
        return;
    Create_EDS_File(path);
}
