#include "mbus/UScanDecode_Export.h"

#include "platform/XmlDocument.h"

using platform::XmlDocument;
using platform::XmlNode;

// Here rather than beside the windows' saving, so that the scan worker's
// export needs nothing of it.
QString Scan_Xml_Text(const QString& Text)
{
    QString out;
    out.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < Text.size() && Text[i + 1].isLowSurrogate()) {
            out += c;
            out += Text[++i];
            continue;
        }
        const bool allowed = u == 0x09 || u == 0x0A || u == 0x0D || (u >= 0x20 && !c.isSurrogate() && u != 0xFFFE && u != 0xFFFF);
        out += allowed ? c : QChar(u'?');
    }
    return out;
}

namespace {

QString Hex(uint32_t v, int digits) { return QStringLiteral("%1").arg(v, digits, 16, QChar(u'0')).toUpper(); }

void Text_Child(XmlNode& parent, const char* name, const QString& text)
{
    parent.AddChild(QString::fromLatin1(name)).SetText(Scan_Xml_Text(text));
}

// One "Variable" per record, fillers included.
void Add_Variables(XmlNode& node, const TVariable_MBus_List& records)
{
    for (const auto& p : records) {
        const TVariable_MBus& v = *p;
        const QString ust = QStringLiteral("(U%1S%2T%3)").arg(v.device).arg(v.storage_number).arg(v.tarif);
        XmlNode e = node.AddChild(QStringLiteral("Variable"));
        e.SetAttribute(QStringLiteral("Value"), Scan_Xml_Text(v.ValueStr));
        e.SetAttribute(QStringLiteral("Type"), Scan_Xml_Text(v.Desc_Type_Data));
        e.SetAttribute(QStringLiteral("UST"), ust);
        Text_Child(e, "Storage_Number", QString::number(v.storage_number));
        Text_Child(e, "Tariff", QString::number(v.tarif));
        Text_Child(e, "Unit", QString::number(v.device));
        Text_Child(e, "Data_Field", v.DataFieldStr);
        Text_Child(e, "Function_Field", v.FunctionFieldStr);
        Text_Child(e, "Type", v.Desc_Type_Data);
        Text_Child(e, "Value", v.ValueStr);
        Text_Child(e, "DIF", v.DIF);
        Text_Child(e, "VIF", QStringLiteral("$") + Hex(v.VIF, 2));
        Text_Child(e, "DIFE", v.DIFE);
        Text_Child(e, "VIFE", v.VIFE);
        Text_Child(e, "DATA", QStringLiteral("$") + v.totdati);
    }
}

TSaveConfResult Save(const XmlDocument& doc, const QString& File_Name)
{
    TSaveConfResult result;
    result.Written = doc.Save(File_Name, &result.Error);
    return result;
}

} // namespace

TSaveConfResult Save_XML_File_DLL(const TList_Slave_MBus& List, const QString& File_Name)
{
    auto guard = List.Lock();
    XmlDocument doc;
    XmlNode root = doc.AddChild(QStringLiteral("SCAN_M-Bus_Wired"));
    for (int i = 0; i < List.Count(); ++i) {
        const TSlave_MBus& m = *List.Items(i);
        XmlNode n = root.AddChild(QStringLiteral("Node"));
        n.SetAttribute(QStringLiteral("Primary_Address"), QString::number(m.Primary_Addresss));
        n.SetAttribute(QStringLiteral("Secondary_Address"), Scan_Xml_Text(m.Secondary_Addresss));
        n.SetAttribute(QStringLiteral("Manufacturer"),
                       Scan_Xml_Text(m.descManufacture) + QStringLiteral(" (%1)").arg(m.Manufacture));
        n.SetAttribute(QStringLiteral("Version"), QString::number(m.Version));
        n.SetAttribute(QStringLiteral("Type"), QString::number(m.Medium));
        Add_Variables(n, m.List_Var);
    }
    return Save(doc, File_Name);
}

TSaveConfResult Save_Wireless_XML_File_DLL(const TList_Slave_wMBus& List, const QString& File_Name)
{
    auto guard = List.Lock();
    XmlDocument doc;
    XmlNode root = doc.AddChild(QStringLiteral("SCAN_M-Bus_Wireless"));
    for (int i = 0; i < List.Count(); ++i) {
        const TSlave_wMBus& m = *List.Items(i);
        XmlNode n = root.AddChild(QStringLiteral("Node"));
        n.SetAttribute(QStringLiteral("Manufacturer"), Scan_Xml_Text(m.ALA_Manu_str));
        n.SetAttribute(QStringLiteral("Address"), Hex(static_cast<uint32_t>(m.ALA_Address), 8));
        n.SetAttribute(QStringLiteral("Version"), QString::number(m.ALA_Version));
        n.SetAttribute(QStringLiteral("Device_Type"), QString::number(m.ALA_DeviceType));
        n.SetAttribute(QStringLiteral("Cripted"), m.Cripted ? QStringLiteral("True") : QStringLiteral("False"));
        Add_Variables(n, m.List_Var);
    }
    return Save(doc, File_Name);
}
