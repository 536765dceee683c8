// The CANopen EDS: one realistic configuration byte for byte, the layout
// parsed back for its inner consistency, and bad project files refused.
#include "fieldbus/UEds.h"

#include "platform/Dialogs.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <set>

using testsupport::ReadAll;
using testsupport::WriteAll;

namespace {

const QDateTime kStamp(QDate(2024, 3, 5), QTime(14, 7));

// One PDO each way and objects under two indexes: every kind of section, still readable.
const QByteArray kPdo = "<PDO_CANopen><Receive_PDO>"
                        "<row COB-ID=\"0x201\" Dimension=\"2\" Address_B1=\"0\" Address_B2=\"1\" TimeOut=\"0\"/>"
                        "</Receive_PDO><Transmit_PDO>"
                        "<row COB-ID=\"$181\" Dimension=\"1\" Address_B1=\"10\" Send_Time=\"100\"/>"
                        "</Transmit_PDO></PDO_CANopen>\n<!--SW_VERSION = 1.000-->\n";
const QByteArray kSdo = "<SDO_Server_CANopen><SDO_Read>"
                        "<row Index=\"0x2000\" SubIndex=\"1\" NByte=\"4\"/>"
                        "</SDO_Read><SDO_Write>"
                        "<row Index=\"0x2000\" SubIndex=\"2\" NByte=\"2\"/>"
                        "<row Index=\"$2100\" SubIndex=\"0\" NByte=\"1\"/>"
                        "</SDO_Write></SDO_Server_CANopen>";

// Worked out line by line from the file's layout, not from the writer.
const QByteArray kGolden =
    "[FileInfo]\r\n"
    "FileName=NMEA_Send_Frames_CANopen.eds\r\n"
    "FileVersion=1\r\n"
    "FileRevision=0\r\n"
    "EDSVersion=4.0\r\n"
    "Description=NMEA_Send_Frames / CANopen - Converter\r\n"
    "CreationTime=02:07PM\r\n"
    "CreationDate=03-05-2024\r\n"
    "\r\n"
    "ModificationTime=02:07PM\r\n"
    "ModificationDate=03-05-2024\r\n"
    "\r\n"
    "\r\n"
    "[DeviceInfo]\r\n"
    "\r\n"
    "VendorNumber=0x00\r\n"
    "ProductName=NMEA_Send_Frames / CANopen - Converter\r\n"
    "ProductNumber=K20\r\n"
    "RevisionNumber=0x0\r\n"
    "OrderCode=VAR5U20\r\n"
    "BaudRate_10=1\r\n"
    "BaudRate_20=1\r\n"
    "BaudRate_50=1\r\n"
    "BaudRate_125=1\r\n"
    "BaudRate_250=1\r\n"
    "BaudRate_500=1\r\n"
    "BaudRate_800=0\r\n"
    "BaudRate_1000=1\r\n"
    "DynamicChannelsSupported=0\r\n"
    "GroupMessaging=0\r\n"
    "LSS_Supported=0\r\n"
    "Granularity=0\r\n"
    "SimpleBootUpSlave=1\r\n"
    "SimpleBootUpMaster=0\r\n"
    "NrOfRXPDO=1\r\n"
    "NrOfTXPDO=1\r\n"
    "\r\n"
    "[Comments]\r\n"
    "Lines=0\r\n"
    "\r\n"
    "[DummyUsage]\r\n"
    "Dummy0001=0\r\n"
    "Dummy0002=0\r\n"
    "Dummy0003=0\r\n"
    "Dummy0004=0\r\n"
    "Dummy0005=0\r\n"
    "Dummy0006=0\r\n"
    "Dummy0007=0\r\n"
    "\r\n"
    "[MandatoryObjects]\r\n"
    "SupportedObjects=3\r\n"
    "1=0x1000\r\n"
    "2=0x1001\r\n"
    "3=0x1018\r\n"
    "\r\n"
    "[OptionalObjects]\r\n"
    "SupportedObjects=14\r\n"
    "1=0x1005\r\n"
    "2=0x1006\r\n"
    "3=0x1008\r\n"
    "4=0x1014\r\n"
    "5=0x1016\r\n"
    "6=0x1017\r\n"
    "7=0x1029\r\n"
    "8=0x1280\r\n"
    "9=0x1400\r\n"
    "10=0x1600\r\n"
    "11=0x1800\r\n"
    "12=0x1A00\r\n"
    "13=0x7000\r\n"
    "14=0x7050\r\n"
    "\r\n"
    "[ManufacturerObjects]\r\n"
    "SupportedObjects=2\r\n"
    "1=0x2000\r\n"
    "2=0x2100\r\n"
    "\r\n"
    "[1000]\r\n"
    "ParameterName=Device Type\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=const\r\n"
    "DefaultValue=0x000101A4\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1001]\r\n"
    "ParameterName=Error Register\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x00\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1005]\r\n"
    "ParameterName=COB-ID SYNC\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x80000080\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1006]\r\n"
    "ParameterName=Communication Cycle Period\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x00000000\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1008]\r\n"
    "ParameterName=Manufacturer Device Name\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0009\r\n"
    "AccessType=const\r\n"
    "DefaultValue=s1\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1014]\r\n"
    "ParameterName=COB-ID EMCY\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=$NODEID+0x80\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1016]\r\n"
    "SubNumber=3\r\n"
    "ParameterName=Heartbeat Consumer Entries\r\n"
    "ObjectType=0x08\r\n"
    "\r\n"
    "[1016sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x02\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1016sub1]\r\n"
    "ParameterName=Consumer Heartbeat Time 1\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x00000000\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1016sub2]\r\n"
    "ParameterName=Consumer Heartbeat Time 2\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x00000000\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1017]\r\n"
    "ParameterName=Producer Heartbeat Time\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0006\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x000003E8\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1018]\r\n"
    "SubNumber=5\r\n"
    "ParameterName=Identity Object\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1018sub0]\r\n"
    "ParameterName=number of entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x4\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1018sub1]\r\n"
    "ParameterName=Vendor Id\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1018sub2]\r\n"
    "ParameterName=Product Code\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1018sub3]\r\n"
    "ParameterName=Revision number\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1018sub4]\r\n"
    "ParameterName=Serial number\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1029]\r\n"
    "SubNumber=2\r\n"
    "ParameterName=Error Behaviour\r\n"
    "ObjectType=0x08\r\n"
    "\r\n"
    "[1029sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=1\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1029sub1]\r\n"
    "ParameterName=Communication Error\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x0\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1280]\r\n"
    "SubNumber=4\r\n"
    "ParameterName=Client SDO Parameter 1\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1280sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x03\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1280sub1]\r\n"
    "ParameterName=COB-ID Client -> Server\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1280sub2]\r\n"
    "ParameterName=COB-ID Server -> Client\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1280sub3]\r\n"
    "ParameterName=Node ID of the SDO Server\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rw\r\n"
    "PDOMapping=0\r\n"
    "[1400]\r\n"
    "SubNumber=4\r\n"
    "ParameterName=Receive PDO Communication Parameter 1\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1400sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x03\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1400sub1]\r\n"
    "ParameterName=COB-ID\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x00000201\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1400sub2]\r\n"
    "ParameterName=Transmission Type\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0xFE\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1400sub3]\r\n"
    "ParameterName=Inhibit Time\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0006\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x0\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1600]\r\n"
    "SubNumber=3\r\n"
    "ParameterName=Receive PDO Mapping Parameter\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1600sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x02\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1600sub1]\r\n"
    "ParameterName=Mapping Entry 1\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x70000108\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1600sub2]\r\n"
    "ParameterName=Mapping Entry 2\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x70000208\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1800]\r\n"
    "SubNumber=4\r\n"
    "ParameterName=Transmit PDO Communication Parameter 1\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1800sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x03\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1800sub1]\r\n"
    "ParameterName=COB-ID\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x00000181\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1800sub2]\r\n"
    "ParameterName=Transmission Type\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0xFE\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1800sub3]\r\n"
    "ParameterName=Inhibit Time\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0006\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x0\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1A00]\r\n"
    "SubNumber=2\r\n"
    "ParameterName=Transmit PDO Mapping Parameter 1\r\n"
    "ObjectType=0x09\r\n"
    "\r\n"
    "[1A00sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x01\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[1A00sub1]\r\n"
    "ParameterName=Mapping Entry 1\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0007\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x70500108\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[7000]\r\n"
    "SubNumber=3\r\n"
    "ParameterName=RPDO1\r\n"
    "ObjectType=0x08\r\n"
    "\r\n"
    "[7000sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x02\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[7000sub1]\r\n"
    "ParameterName=b1\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rww\r\n"
    "DefaultValue=0x00\r\n"
    "PDOMapping=1\r\n"
    "\r\n"
    "[7000sub2]\r\n"
    "ParameterName=b2\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rww\r\n"
    "DefaultValue=0x00\r\n"
    "PDOMapping=1\r\n"
    "\r\n"
    "[7050]\r\n"
    "SubNumber=2\r\n"
    "ParameterName=TPDO1\r\n"
    "ObjectType=0x08\r\n"
    "\r\n"
    "[7050sub0]\r\n"
    "ParameterName=Number of Entries\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rw\r\n"
    "DefaultValue=0x01\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[7050sub1]\r\n"
    "ParameterName=l1\r\n"
    "ObjectType=0x07\r\n"
    "DataType=0x0005\r\n"
    "AccessType=rwr\r\n"
    "DefaultValue=0x00\r\n"
    "PDOMapping=1\r\n"
    "\r\n"
    "[2000]\r\n"
    "SubNumber=3\r\n"
    "ParameterName=App Vars\r\n"
    "ObjectType=0x9\r\n"
    "\r\n"
    "[2000sub0]\r\n"
    "ParameterName=Largest Sub-Index supported\r\n"
    "ObjectType=0x7\r\n"
    "DataType=0x0005\r\n"
    "AccessType=ro\r\n"
    "DefaultValue=0x02\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[2000sub1]\r\n"
    "ParameterName=Application Variable\r\n"
    "ObjectType=0x7\r\n"
    "DataType=0x0007\r\n"
    "LowLimit=0x00000000\r\n"
    "HighLimit=0xFFFFFFFF\r\n"
    "DefaultValue=0x00000000\r\n"
    "AccessType=ro\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[2000sub2]\r\n"
    "ParameterName=Application Variable\r\n"
    "ObjectType=0x7\r\n"
    "DataType=0x0006\r\n"
    "LowLimit=0x0000\r\n"
    "HighLimit=0xFFFF\r\n"
    "DefaultValue=0x0000\r\n"
    "AccessType=rw\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "[2100]\r\n"
    "SubNumber=1\r\n"
    "ParameterName=App Vars\r\n"
    "ObjectType=0x9\r\n"
    "\r\n"
    "[2100sub0]\r\n"
    "ParameterName=Application Variable\r\n"
    "ObjectType=0x7\r\n"
    "DataType=0x0005\r\n"
    "LowLimit=0x00\r\n"
    "HighLimit=0xFF\r\n"
    "DefaultValue=0x00\r\n"
    "AccessType=rw\r\n"
    "PDOMapping=0\r\n"
    "\r\n"
    "\r\n"
    ;

struct Section
{
    QString name;
    std::vector<std::pair<QString, QString>> keys;
    QString Value(const QString& key) const
    {
        for (const auto& [k, v] : keys)
            if (k == key)
                return v;
        return {};
    }
    bool Has(const QString& key) const
    {
        for (const auto& kv : keys)
            if (kv.first == key)
                return true;
        return false;
    }
};

std::vector<Section> Parse(const QByteArray& bytes, QStringList* problems)
{
    std::vector<Section> sections;
    if (!bytes.endsWith("\r\n"))
        *problems << "the last line has no CR LF";
    QStringList lines = QString::fromLatin1(bytes).split("\r\n");
    lines.removeLast();
    for (const QString& line : lines) {
        if (line.contains('\r') || line.contains('\n'))
            *problems << "a line break other than CR LF: " + line;
        if (line.isEmpty())
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            sections.push_back({line.mid(1, line.size() - 2), {}});
            continue;
        }
        const int eq = line.indexOf('=');
        if (eq <= 0 || sections.empty()) {
            *problems << "not a key line: " + line;
            continue;
        }
        sections.back().keys.emplace_back(line.left(eq), line.mid(eq + 1));
    }
    return sections;
}

// What a master's import relies on, whatever the configuration.
QStringList Structure_Problems(const QByteArray& bytes)
{
    QStringList p;
    const std::vector<Section> sections = Parse(bytes, &p);
    std::map<QString, const Section*> byName;
    for (const Section& s : sections)
        if (!byName.emplace(s.name, &s).second)
            p << "section twice: " + s.name;
    const QRegularExpression object("^[0-9A-F]{4}$"), sub("^([0-9A-F]{4})sub([0-9A-F]+)$");

    // Sub-numbers equal the sub-sections; sub-indexes written without leading zeros.
    std::map<QString, int> subCount;
    for (const Section& s : sections) {
        const auto m = sub.match(s.name);
        if (!m.hasMatch())
            continue;
        if (m.captured(2).size() > 1 && m.captured(2).startsWith('0'))
            p << "leading zero: " + s.name;
        if (!byName.count(m.captured(1)))
            p << "sub-section without its object: " + s.name;
        ++subCount[m.captured(1)];
    }
    std::set<QString> objects;
    for (const Section& s : sections) {
        if (!object.match(s.name).hasMatch())
            continue;
        objects.insert(s.name);
        const int subs = subCount.count(s.name) ? subCount[s.name] : 0;
        if (s.Has("SubNumber") ? s.Value("SubNumber").toInt() != subs : subs != 0)
            p << QStringLiteral("%1: SubNumber=%2 but %3 sub-sections").arg(s.name, s.Value("SubNumber")).arg(subs);
    }

    // The object lists name every object section once, and only those.
    std::set<QString> listed;
    for (const char* list : {"MandatoryObjects", "OptionalObjects", "ManufacturerObjects"}) {
        if (!byName.count(list)) {
            p << QStringLiteral("no [%1]").arg(list);
            continue;
        }
        const Section& s = *byName[list];
        const int count = s.Value("SupportedObjects").toInt();
        if (static_cast<int>(s.keys.size()) != count + 1)
            p << QStringLiteral("[%1] counts %2 of %3").arg(list).arg(count).arg(s.keys.size() - 1);
        for (int k = 1; k <= count; ++k) {
            const QString v = s.Value(QString::number(k));
            if (!v.startsWith("0x") || !listed.insert(v.mid(2)).second)
                p << QStringLiteral("[%1] entry %2 bad or listed twice: %3").arg(list).arg(k).arg(v);
        }
    }
    if (listed != objects)
        p << "object lists and object sections differ";

    // Mapping entries point at mappable byte objects, at most 64 bits per PDO.
    for (const Section& s : sections) {
        if (!object.match(s.name).hasMatch() || !(s.name.startsWith("16") || s.name.startsWith("1A")))
            continue;
        int bits = 0;
        for (int j = 1; j < s.Value("SubNumber").toInt(); ++j) {
            const QString name = s.name + "sub" + QString::number(j, 16).toUpper();
            const QString v = byName.count(name) ? byName[name]->Value("DefaultValue") : QString();
            if (v.size() != 10) {
                p << "bad mapping entry " + name + ": " + v;
                continue;
            }
            const QString target = v.mid(2, 4) + "sub" + QString::number(v.mid(6, 2).toInt(nullptr, 16), 16).toUpper();
            bits += v.mid(8, 2).toInt(nullptr, 16);
            if (!byName.count(target) || byName[target]->Value("PDOMapping") != "1")
                p << name + " maps a missing or unmappable " + target;
        }
        if (bits > 64)
            p << QStringLiteral("%1 maps %2 bits").arg(s.name).arg(bits);
    }
    return p;
}

class EdsWriter : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString pdo = dir.filePath("PDO_CANopen.xml");
    QString sdo = dir.filePath("SDO_Server_CANopen.xml");
    QString eds = dir.filePath("device.eds");

    // Writes the file from the given project files (null: the file is absent).
    QByteArray Write(const QByteArray& pdoXml, const QByteArray& sdoXml, QString* error = nullptr)
    {
        QFile::remove(pdo);
        QFile::remove(sdo);
        if (!pdoXml.isNull()) {
            EXPECT_TRUE(WriteAll(pdo, pdoXml));
        }
        if (!sdoXml.isNull()) {
            EXPECT_TRUE(WriteAll(sdo, sdoXml));
        }
        QFile::remove(eds);
        QString why;
        if (!Write_EDS_File(eds, pdo, sdo, kStamp, &why)) {
            if (error)
                *error = why;
            else
                ADD_FAILURE() << why.toStdString();
            return {};
        }
        return ReadAll(eds);
    }
    static QByteArray Rows(const char* list, const QByteArray& rows)
    {
        return "<PDO_CANopen><" + QByteArray(list) + ">" + rows + "</" + list + "></PDO_CANopen>";
    }
};

// The lines of one section, as written.
QStringList Section_Of(const QByteArray& bytes, const QString& name)
{
    QStringList p;
    for (const Section& s : Parse(bytes, &p))
        if (s.name == name) {
            QStringList out;
            for (const auto& [k, v] : s.keys)
                out << k + "=" + v;
            return out;
        }
    return {"(no section " + name + ")"};
}

} // namespace

TEST_F(EdsWriter, RealisticConfigurationByteForByte)
{
    const QByteArray written = Write(kPdo, kSdo);
    EXPECT_EQ(written, kGolden);
    EXPECT_EQ(Structure_Problems(written), QStringList());
}

TEST(EdsStructureCheck, CatchesBrokenFiles)
{
    // The check itself must see each fault it stands for.
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
        {broken("[2100sub0]", "[2000sub1]"), "section twice: 2000sub1"},
        {broken("[2000]\r\nSubNumber=3", "[2000]\r\nSubNumber=2"), "2000: SubNumber=2 but 3 sub-sections"},
        {broken("2=0x2100\r\n", ""), "[ManufacturerObjects] counts 2 of 1"},
        {broken("2=0x2100", "2=0x2200"), "object lists and object sections differ"},
        {broken("DefaultValue=0x70000208", "DefaultValue=0x70000308"), "1600sub2 maps a missing or unmappable 7000sub3"},
        {broken("DefaultValue=0x70000208", "DefaultValue=0x70000240"), "1600 maps 72 bits"},
        {broken("[7000sub2]\r\nParameterName=b2\r\nObjectType=0x07\r\nDataType=0x0005\r\nAccessType=rww\r\n"
                "DefaultValue=0x00\r\nPDOMapping=1",
                "[7000sub2]\r\nParameterName=b2\r\nObjectType=0x07\r\nDataType=0x0005\r\nAccessType=rww\r\n"
                "DefaultValue=0x00\r\nPDOMapping=0"),
         "1600sub2 maps a missing or unmappable 7000sub2"},
        {broken("[1A00sub1]", "[1A00sub01]"), "leading zero: 1A00sub01"},
        {broken("Lines=0\r\n", "Lines=0\n"), "a line break other than CR LF"},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(Structure_Problems(c.bytes).filter(c.expected).isEmpty())
            << c.expected << " not in: " << Structure_Problems(c.bytes).join(" | ").toStdString();
}

TEST_F(EdsWriter, StructureHoldsForManyShapes)
{
    QByteArray full, over;
    for (int i = 0; i < 31; ++i) {
        const QByteArray row = "<row COB-ID=\"" + QByteArray::number(0x200 + i) + "\" Dimension=\"8\"/>";
        over += row;
        if (i < 30)
            full += row;
    }
    QByteArray manySubs;
    for (int s = 0; s < 40; ++s)
        manySubs += "<row Index=\"0x2100\" SubIndex=\"" + QByteArray::number(39 - s) + "\" NByte=\"" +
                    QByteArray::number(s % 3 + 1) + "\"/>";
    const struct
    {
        QByteArray pdo, sdo;
        const char* why;
    } cases[] = {
        {QByteArray(), QByteArray(), "no project files"},
        {kPdo, kSdo, "the realistic one"},
        {"<PDO_CANopen><Receive_PDO>" + full + "</Receive_PDO><Transmit_PDO>" + full + "</Transmit_PDO></PDO_CANopen>",
         QByteArray(), "thirty full PDOs each way"},
        {"<PDO_CANopen><Receive_PDO>" + over + "</Receive_PDO></PDO_CANopen>", QByteArray(),
         "31 rows: the 31st is not read"},
        {QByteArray(), "<S><SDO_Write>" + manySubs + "</SDO_Write></S>", "sub-indexes past 0xF, unsorted"},
        {"<PDO_CANopen/>", "<S/>", "roots without their lists"},
    };
    for (const auto& c : cases) {
        const QByteArray written = Write(c.pdo, c.sdo);
        EXPECT_EQ(Structure_Problems(written), QStringList()) << c.why;
    }
}

TEST_F(EdsWriter, EdgeCasesOfTheTables)
{
    const QByteArray two = "<PDO_CANopen><Receive_PDO><row COB-ID=\"0x201\" Dimension=\"2\"/>"
                           "<row COB-ID=\"0x202\" Dimension=\"8\"/></Receive_PDO><Transmit_PDO>"
                           "<row COB-ID=\"0x181\" Dimension=\"4\"/></Transmit_PDO></PDO_CANopen>";
    QByteArray w = Write(two, QByteArray());
    EXPECT_EQ(Section_Of(w, "OptionalObjects").mid(9),
              QStringList({"9=0x1400", "10=0x1401", "11=0x1600", "12=0x1601", "13=0x1800", "14=0x1A00", "15=0x7000",
                           "16=0x7001", "17=0x7050"}));
    EXPECT_EQ(Section_Of(w, "OptionalObjects")[0], "SupportedObjects=17");
    EXPECT_EQ(Section_Of(w, "7001sub1")[0], "ParameterName=c1") << "second receive PDO takes the second name";
    EXPECT_EQ(Section_Of(w, "7050sub4").mid(0, 4),
              QStringList({"ParameterName=l4", "ObjectType=0x07", "DataType=0x0005", "AccessType=rwr"}));
    EXPECT_EQ(Section_Of(w, "ManufacturerObjects"), QStringList({"SupportedObjects=0"}));

    // An empty dimension is eight bytes; a COB-ID that is no number is 0.
    w = Write(Rows("Receive_PDO", "<row COB-ID=\"abc\" Dimension=\"\"/>"), QByteArray());
    EXPECT_EQ(Section_Of(w, "1600")[0], "SubNumber=9");
    EXPECT_EQ(Section_Of(w, "1400sub1")[4], "DefaultValue=0x00000000");

    // Sub-index 26 is written in hexadecimal.
    w = Write(QByteArray(), "<S><SDO_Read><row Index=\"0x2100\" SubIndex=\"26\" NByte=\"1\"/></SDO_Read></S>");
    EXPECT_EQ(Section_Of(w, "2100sub1A")[0], "ParameterName=Application Variable");
    EXPECT_EQ(Section_Of(w, "2100sub0")[4], "DefaultValue=0x1A");
    EXPECT_EQ(Structure_Problems(w), QStringList());
}

TEST_F(EdsWriter, TimeTextOnTheTwelveHourClock)
{
    const struct
    {
        int hour, minute;
        const char* expected;
    } cases[] = {
        {0, 5, "12:05AM"},   // midnight: not "00" nor "PM"
        {1, 0, "01:00AM"},  {11, 59, "11:59AM"},
        {12, 30, "12:30PM"},  // noon
        {13, 7, "01:07PM"}, {23, 59, "11:59PM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EDS_Time_Text(c.hour, c.minute), c.expected) << c.hour;
    EXPECT_EQ(EDS_Date_Text(QDate(2024, 3, 5)), "03-05-2024");
    EXPECT_EQ(EDS_Date_Text(QDate(2025, 12, 31)), "12-31-2025");
}

TEST_F(EdsWriter, DimensionFromTheFileIsKeptWithinOneToEight)
{
    const struct
    {
        const char* dimension;
        const char* subNumber;
    } cases[] = {
        {"1", "SubNumber=2"}, {"8", "SubNumber=9"}, {"0", "SubNumber=2"},  {"-3", "SubNumber=2"},
        {"9", "SubNumber=9"}, {"300", "SubNumber=9"}, {"$FF", "SubNumber=9"}, {"x", "SubNumber=9"},
    };
    for (const auto& c : cases) {
        const QByteArray w =
            Write(Rows("Transmit_PDO", "<row COB-ID=\"1\" Dimension=\"" + QByteArray(c.dimension) + "\"/>"),
                  QByteArray());
        EXPECT_EQ(Section_Of(w, "1A00")[0], c.subNumber) << c.dimension;
        EXPECT_EQ(Section_Of(w, "7050")[0], c.subNumber) << c.dimension;
        EXPECT_EQ(Structure_Problems(w), QStringList()) << c.dimension;
    }
}

TEST_F(EdsWriter, BadProjectFilesAreRefusedWithTheirPlace)
{
    const struct
    {
        QByteArray pdo, sdo;
        const char* expected;   // part of the message
    } cases[] = {
        {Rows("Receive_PDO", "<row Dimension=\"1\"/>"), QByteArray(), "Receive_PDO row 1: the attribute \"COB-ID\""},
        {Rows("Transmit_PDO", "<row COB-ID=\"1\"/>"), QByteArray(), "Transmit_PDO row 1: the attribute \"Dimension\""},
        {"<PDO_CANopen><Receive_PDO>", QByteArray(), "PDO_CANopen.xml"},
        {QByteArray(), "<S><SDO_Read><row SubIndex=\"1\" NByte=\"1\"/></SDO_Read></S>", "\"Index\" is missing"},
        {QByteArray(), "<S><SDO_Write><row Index=\"1\" SubIndex=\"1\" NByte=\"1\"/><row Index=\"abc\" SubIndex=\"1\" "
                       "NByte=\"1\"/></SDO_Write></S>",
         "SDO_Write row 2: \"abc\" is not a valid Index"},
        {QByteArray(), "<S><SDO_Read><row Index=\"0x12000\" SubIndex=\"1\" NByte=\"1\"/></SDO_Read></S>",
         "not a valid Index (0 to 65535)"},
        {QByteArray(), "<S><SDO_Read><row Index=\"0x2000\" SubIndex=\"256\" NByte=\"1\"/></SDO_Read></S>",
         "not a valid SubIndex"},
        {QByteArray(), "<S><SDO_Read><row Index=\"0x2000\" SubIndex=\"1\"/></SDO_Read></S>", "\"NByte\" is missing"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_TRUE(Write(c.pdo, c.sdo, &error).isNull()) << c.expected;
        EXPECT_TRUE(error.contains(c.expected)) << error.toStdString();
        EXPECT_FALSE(QFile::exists(eds)) << c.expected;
    }
}

TEST_F(EdsWriter, RefusesTheSameObjectTwice)
{
    // One section per object: the same index and sub-index in one list or in
    // both would give two sections of one name.
    const QByteArray cases[] = {
        "<S><SDO_Read><row Index=\"0x2000\" SubIndex=\"1\" NByte=\"1\"/><row Index=\"8192\" SubIndex=\"$1\" "
        "NByte=\"2\"/></SDO_Read></S>",
        "<S><SDO_Read><row Index=\"0x2000\" SubIndex=\"1\" NByte=\"1\"/></SDO_Read>"
        "<SDO_Write><row Index=\"0x2000\" SubIndex=\"1\" NByte=\"1\"/></SDO_Write></S>",
    };
    for (const QByteArray& sdoXml : cases) {
        QString error;
        EXPECT_TRUE(Write(QByteArray(), sdoXml, &error).isNull());
        EXPECT_TRUE(error.contains("index 0x2000 sub-index 1 is given twice")) << error.toStdString();
    }
    // The same sub-index under another index is fine.
    const QByteArray w = Write(QByteArray(), "<S><SDO_Read><row Index=\"0x2000\" SubIndex=\"1\" NByte=\"1\"/>"
                                             "<row Index=\"0x2001\" SubIndex=\"1\" NByte=\"1\"/></SDO_Read></S>");
    EXPECT_EQ(Structure_Problems(w), QStringList());
}

TEST_F(EdsWriter, ButtonAsksNameExtensionAndOverwrite)
{
    Load_English_Table();
    Project_Folder = dir.path();
    FileName_PDO_CANopen = pdo;
    FileName_SDO_Server_CANopen = sdo;
    ASSERT_TRUE(WriteAll(pdo, kPdo));
    ASSERT_TRUE(WriteAll(sdo, kSdo));
    const QString target = dir.filePath("device.eds");
    {
        platform::DialogScript script;
        script.AnswerFile(dir.filePath("device"));
        Save_EDS_File();
        ASSERT_EQ(script.Shown().size(), 1u) << "nothing but the dialog for a new file";
        EXPECT_EQ(script.Shown()[0].request.initialFolder, dir.path());
    }
    const QByteArray first = ReadAll(target);
    EXPECT_TRUE(first.startsWith("[FileInfo]\r\nFileName=NMEA_Send_Frames_CANopen.eds\r\n"));
    EXPECT_EQ(Structure_Problems(first), QStringList());

    ASSERT_TRUE(WriteAll(target, "keep"));
    {
        platform::DialogScript script;
        script.AnswerFile(dir.filePath("device.EDS"));   // another case of the same name on Linux
        script.AnswerFile(target);
        script.AnswerMessage(platform::MessageAnswer::No);
        Save_EDS_File();
        Save_EDS_File();
        ASSERT_EQ(script.Shown().size(), 3u);
        EXPECT_EQ(script.Shown()[2].text, "File already exists! Do you want to overwrite the file?");
        EXPECT_EQ(script.Unanswered(), 0);
    }
    EXPECT_EQ(ReadAll(target), "keep");
    QFile::remove(dir.filePath("device.EDS"));

    // A broken project file: an error box, the old file stays.
    ASSERT_TRUE(WriteAll(sdo, "<S><SDO_Read><row Index=\"1\"/></SDO_Read></S>"));
    platform::DialogScript script;
    Create_EDS_File(target);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(ReadAll(target), "keep");
    Project_Folder.clear();
    FileName_PDO_CANopen.clear();
    FileName_SDO_Server_CANopen.clear();
}
