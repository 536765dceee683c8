#include "fieldbus/UProfibus_GSD.h"

#include "rules/UText_File_Writer.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

int GSD_Byte_In = 0;
int GSD_Byte_Out = 0;

namespace {

const QString Product = QStringLiteral("PROFIBUS Slave / LoRaWAN - Converter");
const QString Vendor = QStringLiteral("Rizova");
const QString Order_Number = QStringLiteral("ZIZ5E31");

constexpr int Box_Width = 85;

// A line of the header box: text after ";* ", blanks up to the closing "*".
QString Box(const QString& text)
{
    return (QStringLiteral(";* ") + text).leftJustified(Box_Width - 1, QLatin1Char(' ')) + QLatin1Char('*');
}

void Section_Header(QStringList& l, const QString& title, int width)
{
    const QString rule = QLatin1Char(';') + QString(width - 1, QLatin1Char('='));
    l << rule << (QStringLiteral(";==== ") + title + QLatin1Char(' ')).leftJustified(width, QLatin1Char('=')) << rule;
}

void Add(QStringList& l, std::initializer_list<const char*> texts)
{
    for (const char* t : texts)
        l << QString::fromLatin1(t);
}

void Blank(QStringList& l, int count)
{
    for (int i = 0; i < count; ++i)
        l << QString();
}

QString Hex2(int value)
{
    return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

int Module_Count(int bytes)
{
    return bytes <= 0 ? 0 : (bytes + GSD_Module_Bytes - 1) / GSD_Module_Bytes;
}

// One kind of modules: the special identifier 0x42 (inputs) or 0x82
// (outputs), the byte count less one, then 0x00 and the module number as the
// two manufacturer bytes.
void Modules(QStringList& l, const char* kind, const char* identifier, int bytes, int* m)
{
    const int count = Module_Count(bytes);
    for (int i = 0; i < count; ++i, ++(*m)) {
        const int length = i < count - 1 ? GSD_Module_Bytes : bytes - GSD_Module_Bytes * (count - 1);
        l << QStringLiteral("Module=\"%1  (PORT%2)    \" %3,0x%4,0x00,0x%5")
                 .arg(QLatin1String(kind))
                 .arg(*m)
                 .arg(QLatin1String(identifier), Hex2(length - 1), Hex2(*m))
          << QString::number(*m) << QStringLiteral("EndModule");
    }
}

} // namespace

bool Read_GSD_Lengths(const QString& parGenPath, int* byteIn, int* byteOut, QString* error)
{
    if (!platform::FileExists(parGenPath)) {
        *error = Language_List.value(1104);
        return false;
    }
    platform::XmlDocument doc;
    if (!doc.Load(parGenPath, error))
        return false;
    const platform::XmlNode root = doc.FirstChild();
    auto read = [&](const char* name) {
        const platform::XmlNode node = root.FindChild(QLatin1String(name));
        return node ? platform::NumberOr(node.Text(), 0) : 0;
    };
    *byteIn = read("PROFINET_NB_IN");
    *byteOut = read("PROFINET_NB_OUT");
    return true;
}

QString GSD_Length_Error(int byteIn, int byteOut)
{
    // Beyond 244 bytes a master refuses the station, and past 255 modules the
    // module number no longer fits its one identifier byte.
    const struct
    {
        int value;
        const char* element;
        const char* direction;
    } lengths[] = {{byteOut, "PROFINET_NB_OUT", "input"}, {byteIn, "PROFINET_NB_IN", "output"}};
    for (const auto& x : lengths)
        if (x.value < 0 || x.value > GSD_Max_Length)
            return QStringLiteral("Error! The %1 length of the PROFIBUS station (%2 = %3) must be 0 to %4 bytes.")
                .arg(QLatin1String(x.direction), QLatin1String(x.element))
                .arg(x.value)
                .arg(GSD_Max_Length);
    return {};
}

QStringList Build_GSD_Lines(int byteIn, int byteOut)
{
    const int modules = Module_Count(byteOut) + Module_Count(byteIn);
    QStringList l;
    const QString banner = QStringLiteral(";********************* ") + Product + QLatin1Char(' ');
    l << QStringLiteral(";") << banner.leftJustified(Box_Width, QLatin1Char('*')) << Box(QString(80, QLatin1Char('='))) << Box({});
    const QString under(10, QLatin1Char(' '));
    l << Box(QStringLiteral("Vendor:   ") + Vendor) << Box(under + "Via dell'Industria 12")
      << Box(under + "35127 Padova (PD)") << Box(under + "Padova - Italy") << Box(under + "Tel.:   +39 049 000 0000")
      << Box(under + "Fax:    +39 049 000 0001") << Box(under + "E-mail: info@rizova.example");
    l << Box({}) << Box(QString(80, QLatin1Char('='))) << Box({});
    l << Box(QStringLiteral("Function:       ") + Product) << Box({}) << Box({});
    l << Box(QStringLiteral("Order Number : ") + Order_Number) << Box({}) << Box({});
    l << QLatin1Char(';') + QString(Box_Width - 1, QLatin1Char('*'));
    Blank(l, 2);
    l << QStringLiteral("#Profibus_DP");
    Blank(l, 2);

    Section_Header(l, QStringLiteral("Prm-Text-Def-List"), 85);
    Blank(l, 1);
    Add(l, {"PrmText=1", "Text(0)=\"disable\"", "Text(1)=\"enable\"", "EndPrmText", ""});
    Add(l, {"PrmText  = 2", "Text(0)  = \"clock up\"", "Text(1)  = \"clock down\"", "EndPrmText", ""});
    Add(l, {"PrmText  = 3", "Text(1)  = \"10\"", "Text(2)  = \"20\"", "Text(3)  = \"30\"", "Text(4)  = \"40\"",
            "Text(5)  = \"50\"", "EndPrmText"});
    Blank(l, 2);

    Section_Header(l, QStringLiteral("Ext-User-Prm-Data-Def-List"), 86);
    Blank(l, 1);
    Add(l, {"ExtUserPrmData=1 \"[SlotNumber]\"", "Unsigned8 0 0-32", "EndExtUserPrmData", ""});
    Add(l, {"ExtUserPrmData=2 \"Diagnostic Alarm\"", "Bit(0) 0 0-1", "Prm_Text_Ref=1", "EndExtUserPrmData", ""});
    Add(l, {"ExtUserPrmData=3 \"Process Alarm\"", "Bit(1) 0 0-1", "Prm_Text_Ref=1", "EndExtUserPrmData", ""});
    Add(l, {"ExtUserPrmData=4 \"Counter mode\"", "Unsigned8 0 0-1", "Prm_Text_Ref=2", "EndExtUserPrmData", ""});
    Add(l, {"ExtUserPrmData=5 \"Counter timebase (ms)\"", "Unsigned8 1 1-5", "Prm_Text_Ref=3", "EndExtUserPrmData",
            ""});
    Add(l, {"ExtUserPrmData=6 \"Counter high-limit\"", "Unsigned16 65535 0-65535", "EndExtUserPrmData", ""});
    Add(l, {"ExtUserPrmData=7 \"Counter low-limit\"", "Unsigned16 0 0-65535", "EndExtUserPrmData"});
    Blank(l, 2);

    Section_Header(l, QStringLiteral("General DP Keywords"), 86);
    Blank(l, 1);
    Add(l, {"GSD_Revision = 5", "Vendor_Name = \"Rizova\"", "Model_Name = \"ZIZ5E31\"", "Revision = \"1.00\"",
            "Ident_Number = 0xB7D2", "Protocol_Ident = 0", "Station_Type = 0", "FMS_supp = 0",
            "Hardware_Release = \"V1.00\"", "Software_Release = \"V1.00\"", "Redundancy = 0",
            "Repeater_Ctrl_Sig = 2", "24V_Pins = 0"});
    Blank(l, 2);

    Section_Header(l, QStringLiteral("Supported baudrates"), 79);
    Blank(l, 1);
    Add(l, {"9.6_supp = 1", "19.2_supp = 1", "45.45_supp = 1", "93.75_supp = 1", "187.5_supp = 1", "500_supp = 1",
            "1.5M_supp = 1", "3M_supp = 1", "6M_supp = 1", "12M_supp = 1", ""});
    Add(l, {"MaxTsdr_9.6=15", "MaxTsdr_19.2=15", "MaxTsdr_45.45=15", "MaxTsdr_93.75=15", "MaxTsdr_187.5=15",
            "MaxTsdr_500=15", "MaxTsdr_1.5M=20", "MaxTsdr_3M=35", "MaxTsdr_6M=50", "MaxTsdr_12M=95"});
    Blank(l, 2);

    Section_Header(l, QStringLiteral("Slave specific values"), 79);
    Blank(l, 1);
    l << QStringLiteral("OrderNumber=\"%1\"").arg(Order_Number)
      << QStringLiteral("Slave_Family = 9@%1@%2").arg(Vendor, Order_Number);
    Add(l, {"Implementation_Type = \"VPC3+\"", "Info_Text=\"Rizova: PROFIBUS Slave / LoRaWAN - Converter\"",
            "Bitmap_Device = \"DPV0_1N\"", "Bitmap_SF=\"DPV0_1S\"", ""});
    Add(l, {"Freeze_Mode_supp=1", "Sync_Mode_supp=1", "Fail_Safe=1", "Auto_Baud_supp=1", "Set_Slave_Add_supp=0", ""});
    Add(l, {"Min_Slave_Intervall=6", ""});
    l << QStringLiteral("Modular_Station=1") << QStringLiteral("Max_Module=%1").arg(modules)
      << QStringLiteral("Modul_Offset=1") << QStringLiteral("Max_Input_Len=%1").arg(byteOut)
      << QStringLiteral("Max_Output_Len=%1").arg(byteIn) << QStringLiteral("Max_Data_Len=%1").arg(byteOut + byteIn)
      << QStringLiteral("Max_Diag_Data_Len=15");
    Blank(l, 1);
    Add(l, {"WD_Base_1ms_supp = 1", "Publisher_supp = 1"});
    Blank(l, 1);

    Section_Header(l, QStringLiteral("User-Prm-Data"), 79);
    Blank(l, 1);
    Add(l, {"Max_User_Prm_Data_Len = 12", "Ext_User_Prm_Data_Const(0)= 0x00,0x00,0x00"});
    Blank(l, 1);

    Section_Header(l, QStringLiteral("Modulstatus"), 79);
    Blank(l, 1);
    for (int slot = 1; slot <= 2; ++slot) {
        const int first = 22 + 2 * slot;
        l << QStringLiteral("Unit_Diag_Area = %1 - %2").arg(first).arg(first + 1);
        int value = 1;
        for (const char* what : {"Module error", "Wrong module", "No module"})
            l << QStringLiteral("Value(%1)= \"Slot %2: %3\"").arg(value++).arg(slot).arg(QLatin1String(what));
        l << QStringLiteral("Unit_Diag_Area_End");
    }
    Blank(l, 2);

    Section_Header(l, QStringLiteral("Module-Definition-List"), 79);
    Blank(l, 1);
    int m = 1;
    Modules(l, "DI", "0x42", byteOut, &m);
    Modules(l, "DO", "0x82", byteIn, &m);
    Blank(l, 3);
    l << QStringLiteral("SlotDefinition");
    for (int s = 1; s <= modules; ++s)
        l << QStringLiteral("Slot(%1) = \"Slot %1\" %1 %1").arg(s);
    l << QStringLiteral("EndSlotDefinition");
    Blank(l, 4);
    return l;
}

bool Create_GSD_File(const QString& path)
{
    const QString why = GSD_Length_Error(GSD_Byte_In, GSD_Byte_Out);
    if (!why.isEmpty()) {
        platform::ShowMessage(platform::MessageKind::Error, why);
        return false;
    }
    return Save_Text_File(path, Build_GSD_Lines(GSD_Byte_In, GSD_Byte_Out), Text_Format_8Bit);
}

void Save_GSD_File()
{
    QString error;
    if (!Read_GSD_Lengths(FileName_ParGen, &GSD_Byte_In, &GSD_Byte_Out, &error)) {
        platform::ShowMessage(platform::MessageKind::Error, error);
        return;
    }
    // Refused before the user picks a file that would not be written.
    const QString why = GSD_Length_Error(GSD_Byte_In, GSD_Byte_Out);
    if (!why.isEmpty()) {
        platform::ShowMessage(platform::MessageKind::Error, why);
        return;
    }
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Generic Station Description (*.gsd)");
    request.initialFolder = Project_Folder;
    const QString chosen = platform::AskSaveFileName(request);
    if (chosen.isEmpty())
        return;
    const QString path = With_File_Extension(chosen, QStringLiteral(".gsd"));
    if (!Confirm_Overwrite(path, Language_List.value(1103)))
        return;
    Create_GSD_File(path);
}
