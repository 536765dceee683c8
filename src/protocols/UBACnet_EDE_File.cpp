#include "protocols/UBACnet_EDE_File.h"

#include "rules/UText_File_Writer.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

#include <array>
#include <vector>

using namespace platform;

namespace {

struct Type_Number
{
    const char* name;
    int number;
};
const Type_Number kTypes[] = {
    {"ANALOG INPUT", 0},        {"ANALOG OUT", 1},          {"ANALOG VALUE", 2},        {"BINARY INPUT", 3},
    {"BINARY OUT", 4},          {"BINARY VALUE", 5},        {"MULTI STATE INPUT", 13},  {"MULTI STATE OUTPUT", 14},
    {"MULTI STATE VALUE", 19},  {"LIFE SAFETY POINT", 21},  {"LIFE SAFETY ZONE", 22},   {"ACCUMULATOR", 23},
    {"ACCESS DOOR", 30},        {"CHARACTERSTRING VALUE", 40}, {"DATETIME VALUE", 44}, {"INTEGER VALUE", 45},
    {"LARGE ANALOG VALUE", 46}, {"POSITIVE INTEGER VALUE", 48}};

QString Two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QString Child_Text(const XmlNode& root, const char* name)
{
    const XmlNode n = root.FindChild(QString::fromLatin1(name));
    return n ? n.Text() : QString();
}

// A field may hold neither the separator nor a line break.
bool Breaks_Columns(const QString& text)
{
    return text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

int EDE_Object_Type(const QString& dataType)
{
    const QString upper = dataType.trimmed().toUpper();
    for (const Type_Number& t : kTypes)
        if (upper == QLatin1String(t.name))
            return t.number;
    return 0;
}

bool Build_EDE_Lines(const QString& parGenPath, const QString& slavePath, const QDateTime& now, QStringList* lines,
                     QString* error)
{
    QString device;
    bool longNames = false;
    if (FileExists(parGenPath)) {
        XmlDocument doc;
        if (!doc.Load(parGenPath, error))
            return false;
        const XmlNode root = doc.DocumentElement();
        const bool serial = NumberOr(Child_Text(root, "BACnet_Type"), 0) == 1;
        device = Child_Text(root, serial ? "BACnet_Ser_DEV_IDE" : "BACnet_DEV_IDE");
        longNames = Child_Text(root, "BACnet_Desc_Chars_Limit") == QLatin1String("1");
    }

    std::vector<TBACnet_EDE_Obj> objects;
    if (FileExists(slavePath)) {
        XmlDocument doc;
        if (!doc.Load(slavePath, error))
            return false;
        const XmlNode root = doc.DocumentElement();
        std::array<int, 49> counters{};  // by object type number
        for (const char* list : {"BACnet_in_Read", "BACnet_in_Write"}) {
            const XmlNode l = root.FindChild(QString::fromLatin1(list));
            if (!l) {
                *error = QStringLiteral("%1: the list \"%2\" is missing").arg(slavePath, QLatin1String(list));
                return false;
            }
            int row = 0;
            for (const XmlNode& e : l.Children()) {
                if (!e.IsElement())
                    continue;
                ++row;
                const auto type = e.Attribute(QStringLiteral("Data_Type"));
                const auto unit = e.Attribute(QStringLiteral("Eng_Unit"));
                const auto mnemonic = e.Attribute(QStringLiteral("Mnemonic"));
                if (!type || !unit || !mnemonic) {
                    *error = QStringLiteral("%1: row %2 of \"%3\" lacks Data_Type, Eng_Unit or Mnemonic")
                                 .arg(slavePath)
                                 .arg(row)
                                 .arg(QLatin1String(list));
                    return false;
                }
                // The file has no quoting: a ";" would shift every column after it.
                for (const QString* field : {&*unit, &*mnemonic, static_cast<const QString*>(&device)})
                    if (Breaks_Columns(*field)) {
                        *error = QStringLiteral("Error!! \"%1\" (row %2 of %3) holds a \";\" or a line break, which "
                                                "the EDE file cannot hold. Change it in the BACnet tables.")
                                     .arg(*field)
                                     .arg(row)
                                     .arg(QLatin1String(list));
                        return false;
                    }
                const int number = EDE_Object_Type(*type);
                TBACnet_EDE_Obj o;
                o.DevObjInstance = device;
                o.ObjectType = QString::number(number);
                o.ObjectInstance = QString::number(counters[number]++);
                o.Keyname = device + QLatin1Char('_') + *mnemonic + QLatin1Char('_') + o.ObjectInstance;
                o.ObjectName = mnemonic->left(longNames ? 32 : 16);
                o.Description = o.ObjectName;
                o.UnitCode = *unit;
                objects.push_back(o);
            }
        }
    }

    const QDate d = now.date();
    const QTime t = now.time();
    *lines = {QString(),
              QStringLiteral("VERSION_OF_REFERENCEFILE;1.0;;;;;;"),
              QStringLiteral("TIMESTAMP_OF_LAST_CHANGE;") + Two(t.hour()) + ':' + Two(t.minute()) + ':'
                  + Two(t.second()) + ' ' + Two(d.day()) + '/' + Two(d.month()) + '/' + Two(d.year())
                  + QStringLiteral(";;;;;;"),
              QString(),
              QStringLiteral("VERSION_OF_LAYOUT;2;;;;;;"),
              QStringLiteral("# mandatory;mandatory;mandatory;mandatory;mandatory;optional;optional;"),
              QStringLiteral("# keyname;device obj.-instance;object-name;object-type;object-instance;description;"
                             "unit-code;")};
    for (const TBACnet_EDE_Obj& o : objects)
        *lines << QStringList{o.Keyname, o.DevObjInstance, o.ObjectName, o.ObjectType, o.ObjectInstance,
                              o.Description, o.UnitCode}
                          .join(QLatin1Char(';'))
                      + QLatin1Char(';');
    return true;
}

bool Export_EDE_File(const QString& path)
{
    QStringList lines;
    QString error;
    if (!Build_EDE_Lines(FileName_ParGen, FileName_BACnet_Slave_SetAccess, QDateTime::currentDateTime(), &lines,
                         &error)) {
        ShowMessage(MessageKind::Error, error);
        return false;
    }
    return Save_Text_File(path, lines, Text_Format_8Bit);
}

void Save_EDE_File()
{
    FileDialogRequest request;
    request.filter = QStringLiteral("CSV (MS-DOS) (*.csv)");
    request.initialFolder = Project_Folder;
    const QString chosen = AskSaveFileName(request);
    if (chosen.isEmpty())
        return;
    const QString path = With_File_Extension(chosen, QStringLiteral(".csv"));
    // Only Yes replaces the file; No and Cancel both leave it.
    if (!Confirm_Overwrite(path, Language_List.value(1103), true))
        return;
    Export_EDE_File(path);
}
