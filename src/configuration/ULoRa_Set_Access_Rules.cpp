// "LoRaWAN_SetAccess.xml": its layout, its reading defaults and the checks of
// the two rule tables, apart from the window that edits them.
#include "configuration/ULoRa_Set_Access.h"

#include "shell/ULanguage.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

using namespace platform;

namespace {

const QString kRoot = QStringLiteral("LoRaWAN_Set_Access");
const QString kVersion = QStringLiteral("SW_VERSION = 1.002");
const QString kRow = QStringLiteral("row");

// Not in the language table, whose entries are fixed: the table has no text
// for these faults, which the program now reports instead of losing rules.
const char* const kGapFault = "!! %1 Start Byte is empty: this row and the rows below it would not be saved. "
                              "Fill it in or delete the row";
const char* const kDataAreaFault = "!! %1 Start Byte %2 and Number Byte %3 pass the end of the data area (%4 bytes)";
const char* const kTooManyWarning = "Warning!! The file holds %1 LoRaWAN Uplink rules, but the table holds %2: "
                                    "the rules from number %2 on are not shown";
const char* const kTooManyQuestion = "The file holds %1 LoRaWAN Uplink rules, but the table holds %2: saving "
                                     "removes the rules from number %2 on. Do you want to save?";

QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

bool Start_Byte_Blank(const TLoRa_Table_Layout& layout, const QStringList& row)
{
    return Cell(row, layout.start_byte).trimmed().isEmpty();
}

// Text other than blanks in a column that is not a check box.
bool Row_In_Use(const TLoRa_Table_Layout& layout, const QStringList& row)
{
    for (int i = 0; i < layout.attributes.size() && i < row.size(); ++i)
        if (!layout.check_boxes.contains(layout.attributes[i]) && !row[i].trimmed().isEmpty())
            return true;
    return false;
}

bool In_Range(const QString& text, int low, int high)
{
    const int v = NumberOr(text, -1);
    return v >= low && v <= high;
}

TLoRa_Rows Read_List(const XmlNode& root, const TLoRa_Table_Layout& layout)
{
    TLoRa_Rows rows;
    const XmlNode list = root.FindChild(layout.list);
    // Comments among the rows are no rules.
    for (XmlNode n = list.FirstChild(); !n.IsNull(); n = n.NextSibling()) {
        if (!n.IsElement())
            continue;
        QStringList rule;
        for (const QString& a : layout.attributes)
            rule << n.Attribute(a).value_or(LoRa_Attribute_Default(a));
        rows.push_back(rule);
    }
    return rows;
}

void Write_List(XmlNode root, const TLoRa_Table_Layout& layout, const TLoRa_Rows& rows)
{
    XmlNode list = root.AddChild(layout.list);
    for (const QStringList& rule : rows) {
        XmlNode row = list.AddChild(kRow);
        for (int i = 0; i < layout.attributes.size(); ++i)
            row.SetAttribute(layout.attributes[i], i < rule.size() ? rule[i] : QString());
    }
}

} // namespace

const TLoRa_Table_Layout& LoRa_Layout(TLoRa_Table table)
{
    static const TLoRa_Table_Layout uplink{
        QStringLiteral("LoRaWAN_Uplink"),
        {"Enable", "StartByte", "NumByte", "OnChange", "OnCMD", "OnTimer", "Time", "FPort", "Mnemonic"},
        {"Enable", "OnChange", "OnCMD", "OnTimer"},
        1, 2, 3, 6, 7, 8,
        1244, 1245, 1246, 1254,
        QStringLiteral("[LoraWAN Uplink]"),
    };
    static const TLoRa_Table_Layout downlink{
        QStringLiteral("LoRaWAN_Downlink"),
        {"Enable", "StartByte", "NumByte", "FPort", "Mnemonic"},
        {"Enable"},
        1, 2, 3, 0, 0, 4,
        1247, 1248, 0, 1255,
        QStringLiteral("[LoraWAN Downlink]"),
    };
    return table == TLoRa_Table::Uplink ? uplink : downlink;
}

QString LoRa_Attribute_Default(const QString& attribute)
{
    if (attribute == QLatin1String("Enable"))
        return QStringLiteral("Y");
    if (attribute == QLatin1String("OnChange") || attribute == QLatin1String("OnCMD")
        || attribute == QLatin1String("OnTimer"))
        return QStringLiteral("N");
    return QString();
}

bool LoRa_Flag_Set(const QString& text) { return text == QLatin1String("Y"); }

bool LoRa_Rule_Enabled(const QString& enable) { return LoRa_Flag_Set(enable); }

bool LoRa_Trigger_Set(const QString& text) { return text.toUpper() == QLatin1String("Y"); }

QString LoRa_Data_Area_Fault(TLoRa_Table table, int row, int start, int bytes)
{
    if (start >= 0 && bytes >= 0 && int64_t(start) + bytes <= LoRa_Data_Area_Size)
        return QString();
    return Language_List.value(1243) + QString::number(row)
           + QString::fromLatin1(kDataAreaFault).arg(LoRa_Layout(table).name).arg(start).arg(bytes).arg(LoRa_Data_Area_Size);
}

TLoRa_Load Load_LoRa_Rules(const QString& path, TLoRa_Rules* rules, QString* error)
{
    *rules = {};
    if (!FileExists(path))
        return TLoRa_Load::Missing;
    XmlDocument doc;
    if (!doc.Load(path, error))
        return TLoRa_Load::Not_Loaded;
    const XmlNode root = doc.DocumentElement();
    rules->uplink = Read_List(root, LoRa_Layout(TLoRa_Table::Uplink));
    rules->downlink = Read_List(root, LoRa_Layout(TLoRa_Table::Downlink));
    return TLoRa_Load::Loaded;
}

QByteArray LoRa_Rules_Bytes(const TLoRa_Rules& rules)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild(kRoot);
    doc.AddComment(kVersion);
    Write_List(root, LoRa_Layout(TLoRa_Table::Uplink), rules.uplink);
    Write_List(root, LoRa_Layout(TLoRa_Table::Downlink), rules.downlink);
    return doc.ToBytes();
}

bool Save_LoRa_Rules(const QString& path, const TLoRa_Rules& rules, QString* error)
{
    return WriteFileAtomically(path, LoRa_Rules_Bytes(rules), error);
}

int LoRa_Saved_Count(TLoRa_Table table, const TLoRa_Rows& rows)
{
    const TLoRa_Table_Layout& layout = LoRa_Layout(table);
    int n = 0;
    while (n < static_cast<int>(rows.size()) && !Start_Byte_Blank(layout, rows[n]))
        ++n;
    return n;
}

QString LoRa_Check_Table(TLoRa_Table table, const TLoRa_Rows& rows, int maxPayloadSize, bool fportShown)
{
    const TLoRa_Table_Layout& layout = LoRa_Layout(table);
    auto fault = [&](int index, const QString& what) {
        return Language_List.value(1243) + QString::number(index + 1) + what;
    };
    auto entry = [](int n) { return Language_List.value(n); };
    const int count = static_cast<int>(rows.size());
    for (int i = 0; i < count; ++i) {
        const QStringList& row = rows[i];
        if (Start_Byte_Blank(layout, row)) {
            // The table ends here: what stands at or below this row would be lost.
            for (int j = i; j < count; ++j)
                if (Row_In_Use(layout, rows[j]))
                    return fault(i, QString::fromLatin1(kGapFault).arg(layout.name));
            return QString();
        }
        if (!LoRa_Rule_Enabled(Cell(row, layout.enable)))
            continue;
        if (!In_Range(Cell(row, layout.start_byte), 0, 1536))
            return fault(i, entry(layout.msg_start_byte));
        if (!In_Range(Cell(row, layout.num_byte), 0, maxPayloadSize - 2))
            return fault(i, entry(layout.msg_num_byte) + QString::number(maxPayloadSize - 2));
        const QString range = LoRa_Data_Area_Fault(table, i + 1, NumberOr(Cell(row, layout.start_byte), -1),
                                                   NumberOr(Cell(row, layout.num_byte), -1));
        if (!range.isEmpty())
            return range;
        // The time only matters, and is only checked, for a timer the image will carry.
        if (layout.on_timer > 0 && LoRa_Trigger_Set(Cell(row, layout.on_timer))
            && !In_Range(Cell(row, layout.time), 30, 86400))
            return fault(i, entry(layout.msg_time));
        if (fportShown && !In_Range(Cell(row, layout.fport), 1, 223))
            return fault(i, entry(layout.msg_fport));
    }
    return QString();
}

QString LoRa_Too_Many_Rules_Warning(int inFile, int shown)
{
    return QString::fromLatin1(kTooManyWarning).arg(inFile).arg(shown);
}

QString LoRa_Too_Many_Rules_Question(int inFile, int shown)
{
    return QString::fromLatin1(kTooManyQuestion).arg(inFile).arg(shown);
}
