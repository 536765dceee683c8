#include "protocols/USNMP_MIB.h"

#include "rules/UText_File_Writer.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/XmlDocument.h"

bool MIB_Read_Type_Int[kMIB_Max_Objects] = {};
bool MIB_Write_Type_Int[kMIB_Max_Objects] = {};

namespace {

// The maker's contact data in the module identity.
const char* const kMaker_Street = "Industrial Street 1";
const char* const kMaker_Town = "00000 Town";
const char* const kMaker_Country = "Country";
const char* const kMaker_Mail = "info@rizova.com";

// Not in the language table, whose entries are fixed. The flag tables and
// the agent's own tables stop at 256 objects a list.
const char* const kTooMany = "Error!! The SNMP agent file holds more than %1 enabled objects in one list: "
                             "the MIB is not written";

// The enabled rows of one list: descriptions into the list, types into the flags.
bool Load_List(const platform::XmlNode& list, QStringList& descriptions, bool* isInt)
{
    for (platform::XmlNode n = list.FirstChild(); !n.IsNull(); n = n.NextSibling()) {
        if (!n.IsElement() || n.Attribute(QStringLiteral("Enable")).value_or(QString()).toUpper() != "Y")
            continue;
        if (descriptions.size() >= kMIB_Max_Objects)
            return false;
        isInt[descriptions.size()] =
            n.Attribute(QStringLiteral("Type")).value_or(QString()).toUpper() == QLatin1String("INT");
        descriptions << n.Attribute(QStringLiteral("Description")).value_or(QString());
    }
    return true;
}

QString Syntax(bool isInt) { return isInt ? QStringLiteral("INTEGER") : QStringLiteral("OCTET STRING"); }

// One object or trap line.
QString Object_Line(const QString& name, const QString& kind, bool isInt, const QString& access,
                    const QString& description, const QString& parent, int index)
{
    return name + " " + kind + " SYNTAX " + Syntax(isInt) + " MAX-ACCESS " + access + " STATUS current DESCRIPTION \""
           + description + "\" ::= { " + parent + " " + QString::number(index) + " }";
}

// The objects of one side with their data blocks before them.
void Side(QStringList& l, bool write)
{
    const QString side = write ? QStringLiteral("bufferout") : QStringLiteral("bufferin");
    const QString access = write ? QStringLiteral("read-write") : QStringLiteral("read-only");
    l << side + " OBJECT IDENTIFIER::= { data " + (write ? "5" : "4") + " }";
    for (int n = 1; n <= 8; ++n) {
        const QString k = QString::number(n);
        l << side + "blk" + k + " OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS " + access
                 + " STATUS current DESCRIPTION \"data block n." + k + "\" ::= { " + side + " " + k + " }";
    }
    l << " " + side + "val OBJECT IDENTIFIER::= { " + side + " 9 }";
    const QStringList& list = write ? List_MIB_Write_Desc : List_MIB_Read_Desc;
    const bool* isInt = write ? MIB_Write_Type_Int : MIB_Read_Type_Int;
    for (int i = 0; i < list.size() && i < kMIB_Max_Objects; ++i) {
        const QString name = list[i].isEmpty() ? side + "val" + QString::number(i + 1) : list[i];
        l << Object_Line(name, QStringLiteral("OBJECT-TYPE"), isInt[i], access, list[i], side + "val", i + 1);
    }
}

} // namespace

bool Load_SNMP_MIB_Var(QString* error)
{
    List_MIB_Read_Desc.clear();
    List_MIB_Write_Desc.clear();
    if (!platform::FileExists(FileName_SNMP_Trap))
        return true;
    platform::XmlDocument doc;
    QString why;
    bool ok = doc.Load(FileName_SNMP_Trap, &why);
    if (ok) {
        const platform::XmlNode root = doc.DocumentElement();
        ok = Load_List(root.FindChild(QStringLiteral("SNMP_Trap_Read")), List_MIB_Read_Desc, MIB_Read_Type_Int)
             && Load_List(root.FindChild(QStringLiteral("SNMP_Trap_Write")), List_MIB_Write_Desc, MIB_Write_Type_Int);
        if (!ok)
            why = QString::fromLatin1(kTooMany).arg(kMIB_Max_Objects);
    }
    if (!ok) {
        List_MIB_Read_Desc.clear();
        List_MIB_Write_Desc.clear();
        if (error)
            *error = why;
    }
    return ok;
}

QStringList MIB_Lines()
{
    QStringList l;
    l << "GATEWAY DEFINITIONS ::= BEGIN"
      << "IMPORTS"
      << "       MODULE-IDENTITY,OBJECT-TYPE"
      << "         FROM SNMPv2-SMI"
      << "         DisplayString, TimeStamp"
      << "         FROM SNMPv2-TC"
      << "         enterprises"
      << "         FROM RFC1155-SMI;"
      << ""
      << "identity MODULE-IDENTITY"
      << "    LAST-UPDATED \"201701310000Z\""
      << "    ORGANIZATION \"" + Maker_Host + "\""
      << "    CONTACT-INFO"
      << QStringLiteral("\t \"") + kMaker_Street
      << QStringLiteral("    ") + kMaker_Town
      << QStringLiteral("    ") + kMaker_Country
      << QStringLiteral("    email:    ") + kMaker_Mail + "\""
      << "    DESCRIPTION"
      << "\t\"MIB objects for agent module \""
      << "    REVISION     \"201701310000Z\""
      << "    DESCRIPTION"
      << "\t\"Corrected notification \""
      << "    REVISION     \"200202060000Z\""
      << "    DESCRIPTION"
      << "\t\"First draft\""
      << "    ::= { rizova 2 }"
      << "rizova          OBJECT IDENTIFIER ::= { enterprises 58207 }"
      << "gateway OBJECT IDENTIFIER::= { rizova 1 }"
      << "application OBJECT IDENTIFIER::= { gateway 1 }"
      << "data OBJECT IDENTIFIER::= { application 1 }"
      << "hellostring OBJECT-TYPE SYNTAX OCTET STRING MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= "
         "{ data 1}"
      << "countin  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-only  STATUS current  DESCRIPTION \"\" ::= "
         "{ data 2}"
      << "countout  OBJECT-TYPE SYNTAX INTEGER       MAX-ACCESS read-write STATUS current  DESCRIPTION \"\" ::= "
         "{ data 3}";
    Side(l, false);
    Side(l, true);
    l << "traps OBJECT IDENTIFIER::= { application 2 }"
      << " trapsval OBJECT IDENTIFIER::= { traps 1 }";
    for (int i = 0; i < List_MIB_Read_Desc.size() && i < kMIB_Max_Objects; ++i)
        l << Object_Line("trapval" + QString::number(i + 1), QStringLiteral("NOTIFICATION-TYPE"),
                         MIB_Read_Type_Int[i], QStringLiteral("read-only"), List_MIB_Read_Desc[i],
                         QStringLiteral("trapsval"), i + 1);
    l << "END";
    return l;
}

bool Create_MIB_File(const QString& fileName) { return Save_Text_File(fileName, MIB_Lines(), Text_Format_8Bit); }

void SNMP_MIB_File()
{
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Management Information Base (*.mib)");
    request.initialFolder = Project_Folder;
    request.defaultSuffix = QStringLiteral("mib");
    const QString path = platform::AskSaveFileName(request);
    if (path.isEmpty())
        return;
    if (!Confirm_Overwrite(path, Language_List.value(1105)))
        return;
    QString error;
    if (!Load_SNMP_MIB_Var(&error)) {
        platform::ShowErrorBox(error);
        return;
    }
    Create_MIB_File(path);
}
