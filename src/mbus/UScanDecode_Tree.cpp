#include "mbus/UScanDecode_Tree.h"

#include <QImage>
#include <QPainter>

using namespace platform;

namespace {

QString Hex(quint64 v, int digits)
{
    return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper();
}

// The level pictures: meter, record, detail.
TBitmap Level_Picture(QColor fill, bool round)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(fill.darker(160));
    p.setBrush(fill);
    if (round)
        p.drawEllipse(4, 4, 7, 7);
    else
        p.drawRect(2, 3, 11, 9);
    p.end();
    TBitmap b;
    b.SetImage(img);
    return b;
}

} // namespace

TScanTree::TScanTree(QWidget* parent) : TTreeView(parent), IL_Tree1(std::make_unique<TImageList>(16, 16))
{
    IL_Tree1->AddMasked(Level_Picture(QColor(0x30, 0x70, 0xC0), false), clWhite);
    IL_Tree1->AddMasked(Level_Picture(QColor(0x40, 0xA0, 0x40), false), clWhite);
    IL_Tree1->AddMasked(Level_Picture(QColor(0x90, 0x90, 0x90), true), clWhite);
    SetImages(IL_Tree1.get());
}

TScanTree::~TScanTree()
{
    // The nodes go before the pictures they show.
    Clear();
}

TTreeNode* TScanTree::Add_Node(TTreeNode* parent, const QString& text, bool check_box, bool checked)
{
    // The check box comes with the node, so making it is no tick of the user's.
    SetCheckBoxes(check_box);
    TTreeNode* n = AddChild(parent, text);
    SetCheckBoxes(false);
    n->SetImageIndex(n->Level());
    if (check_box)
        n->SetChecked(checked);
    return n;
}

TTreeNode* TScanTree::Add_Record(TTreeNode* meter, const QString& text, const TVariable_MBus& v, bool checked)
{
    TTreeNode* r = Add_Node(meter, text, true, checked);
    for (const QString& d : Scan_Record_Details(v))
        Add_Node(r, d, false, false);
    return r;
}

QString Scan_Record_Text(const TVariable_MBus& v)
{
    return QStringLiteral("Value = ") + v.ValueStr + QStringLiteral(" - Type = ") + v.Desc_Type_Data
           + QStringLiteral(" (U%1S%2T%3)").arg(v.device).arg(v.storage_number).arg(v.tarif);
}

QStringList Scan_Record_Details(const TVariable_MBus& v)
{
    return {
        QStringLiteral("Storage Number = %1").arg(v.storage_number),
        QStringLiteral("Tariff = %1").arg(v.tarif),
        QStringLiteral("Unit = %1").arg(v.device),
        QStringLiteral("Data Field = ") + v.DataFieldStr,
        QStringLiteral("Function Field = ") + v.FunctionFieldStr,
        QStringLiteral("Type = ") + v.Desc_Type_Data,
        QStringLiteral("Value = ") + v.ValueStr,
        QStringLiteral("DIF = ") + v.DIF,
        QStringLiteral("VIF = $") + Hex(v.VIF, 2),
        QStringLiteral("DIFE = ") + v.DIFE,
        QStringLiteral("VIFE = ") + v.VIFE,
        QStringLiteral("DATA = $") + v.totdati,
    };
}

QString Scan_Wired_Meter_Text(const TSlave_MBus& m)
{
    QString t = QStringLiteral("Primary Address = %1 - Secondary Address = ").arg(m.Primary_Addresss) + m.Secondary_Addresss
                + QStringLiteral(" - Manufacturer = ") + m.descManufacture + QStringLiteral("(%1) - Version = %2 - Type = %3")
                                                                                .arg(m.Manufacture)
                                                                                .arg(m.Version)
                                                                                .arg(m.Medium);
    // A meter read in a layout that is not decoded has no records: say why.
    if (!m.description.isEmpty())
        t += QStringLiteral(" - ") + m.description;
    return t;
}

QString Scan_Wireless_Meter_Text(const TSlave_wMBus& m)
{
    return QStringLiteral("Manufacturer = ") + m.ALA_Manu_str + QStringLiteral(" - Address = ")
           + Hex(static_cast<uint32_t>(m.ALA_Address), 8)
           + QStringLiteral(" - Version = %1 - Device Type = %2 - ").arg(m.ALA_Version).arg(m.ALA_DeviceType)
           + (m.Cripted ? QStringLiteral("CRIPTED!!") : QString());
}
