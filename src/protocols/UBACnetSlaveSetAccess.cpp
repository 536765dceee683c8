#include "protocols/UBACnetSlaveSetAccess.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "protocols/UBACnet_Eng_Unit.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

#include <memory>

using namespace bacnet_slave;

TFBACnetSlaveSetAccess* FBACnetSlaveSetAccess = nullptr;

namespace {

constexpr int kRows = 2000;
constexpr int kShortRows = 1000;

QString Text(int entry) { return Language_List.value(entry); }

QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

const QStringList kReadTypes = {"Analog Input",       "Analog Value",  "Binary Input",      "Binary Value",
                                "Positive Integer Value", "Large Analog Value", "Integer Value", "Multi State Input",
                                "Multi State Value",  "Life Safety Point", "Life Safety Zone", "Access Door",
                                "Accumulator"};
const QStringList kWriteTypes = {"Analog Out",         "Analog Value",  "Binary Out",        "Binary Value",
                                 "Positive Integer Value", "Large Analog Value", "Integer Value", "Multi State Output",
                                 "Multi State Value",  "Access Door"};
const QStringList kStartBits = {"0", "1", "2", "3", "4", "5", "6", "7"};

// A Length rule: the Data Types (exact) it holds for, the range, the message.
struct Length_Rule
{
    QStringList types;
    int low, high, message;
};

TRule_Grid Grid(bool write)
{
    const int h = write ? 1524 : 1516;
    TRule_Grid g;
    g.name = write ? QStringLiteral("ECG_BACnet_in_Write") : QStringLiteral("ECG_BACnet_in_Read");
    g.list = write ? QStringLiteral("BACnet_in_Write") : QStringLiteral("BACnet_in_Read");
    g.tab = write ? 1509 : 1508;
    g.rows = kRows;
    g.key = cDataType;
    g.capacity = kArea;
    g.columns = {
        {.header = h, .width = 40},
        {.attribute = "Data_Type", .header = h + 1, .editor = edComboList, .width = 150, .mandatory = true,
         .choices = write ? kWriteTypes : kReadTypes},
        {.attribute = "Eng_Unit", .header = h + 2, .width = 70, .mandatory = true},
        {.attribute = "Position", .header = h + 3, .editor = edComboList, .width = 70, .mandatory = true,
         .fill = TRule_Choices::Positions},
        {.attribute = "Bit", .header = h + 4, .editor = edComboList, .width = 60, .mandatory = true,
         .choices = kStartBits},
        {.attribute = "Length", .header = h + 5, .width = 60, .mandatory = true},
        {.attribute = "Swap", .header = h + 6, .editor = edDataCheckBox, .width = 50, .fallback = "N", .hidden = true},
        {.attribute = "Mnemonic", .header = h + 7, .width = 200, .mandatory = true},
    };
    using K = TRule_Check_Kind;
    std::vector<TRule_Check>& c = g.checks;
    c.push_back({.kind = K::Range, .column = cEngUnit, .low = 0, .high = 65535, .message = write ? 1547 : 1533});
    c.push_back({.kind = K::Range, .column = cPosition, .low = 0, .high = kRule_Capacity_Last,
                 .message = write ? 1548 : 1534, .bound = true});
    const std::vector<Length_Rule> lengths =
        write ? std::vector<Length_Rule>{{{"Analog Out"}, 1, 4, 1549},         {{"Analog Value"}, 1, 4, 1550},
                                         {{"Positive Integer Value"}, 1, 4, 1551}, {{"Large Analog Value"}, 1, 8, 1552},
                                         {{"Integer Value"}, 1, 4, 1553},      {{"Multi State Output"}, 1, 4, 1554},
                                         {{"Multi State Value"}, 1, 4, 1555},  {{"Access Door"}, 1, 1, 1556}}
              : std::vector<Length_Rule>{{{"Analog Input"}, 1, 4, 1535},       {{"Positive Integer Value"}, 1, 4, 1536},
                                         {{"Large Analog Value"}, 1, 8, 1537}, {{"Analog Value"}, 1, 4, 1538},
                                         {{"Multi State Input"}, 1, 4, 1539},  {{"Multi State Value"}, 1, 4, 1540},
                                         {{"Life Safety Point"}, 1, 2, 1541},  {{"Life Safety Zone"}, 1, 2, 1542},
                                         {{"Access Door"}, 1, 1, 1543},        {{"Accumulator"}, 1, 4, 1544}};
    for (const Length_Rule& l : lengths)
        c.push_back({.kind = K::Range, .column = cLength, .low = l.low, .high = l.high, .message = l.message,
                     .when = {.column = cDataType, .texts = l.types, .exact = true}});
    const QStringList binary = write ? QStringList{"Binary Out", "Binary Value"}
                                     : QStringList{"Binary Input", "Binary Value"};
    // The message names the bit's range: a bit outside it (typed into the
    // file) is refused as well as an empty one.
    c.push_back({.kind = K::Range, .column = cStartBit, .low = 0, .high = 7, .message = write ? 1557 : 1545,
                 .when = {.column = cDataType, .texts = binary, .exact = true}});
    c.push_back({.kind = K::Test, .column = cLength, .message = write ? 1558 : 1546,
                 .test = [binary](const QStringList& r, int capacity) {
                     const int64_t position = rules::Rule_Number(Cell(r, cPosition));
                     const int64_t last = binary.contains(Cell(r, cDataType))
                                              ? position
                                              : position + platform::NumberOr(Cell(r, cLength), 0) - 1;
                     return last < capacity;
                 }});
    return g;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FBACnetSlaveSetAccess");
    f.root = QStringLiteral("BACnet_to_Modbus");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_BACnet_Slave_SetAccess;
    f.caption = 1500;
    f.title = 1501;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 1502 + i;
        f.button_hints[i] = 1510 + i;
    }
    f.error_prefix = 1532;
    f.delete_question = 1560;
    f.width = 764;
    f.height = 337;
    f.grids = {Grid(false), Grid(true)};
    return f;
}

} // namespace

namespace bacnet_slave {

QString Length_Of_Choice(const QString& dataType)
{
    const QString t = dataType.toUpper();
    for (const char* four : {"ANALOG OUT", "ANALOG VALUE", "POSITIVE INTEGER VALUE", "INTEGER VALUE",
                             "MULTI STATE OUTPUT", "MULTI STATE VALUE"})
        if (t == QLatin1String(four))
            return QStringLiteral("4");
    if (t == QLatin1String("LARGE ANALOG VALUE"))
        return QStringLiteral("8");
    for (const char* one : {"BINARY OUT", "BINARY VALUE", "ACCESS DOOR"})
        if (t == QLatin1String(one))
            return QStringLiteral("1");
    return QString();
}

int Total_Limit(bool descLength) { return descLength ? kShortRows : kRows; }

bool Read_Desc_Length(const QString& parGenPath)
{
    if (parGenPath.isEmpty() || !platform::FileExists(parGenPath))
        return false;
    platform::XmlDocument doc;
    QString error;
    if (!doc.Load(parGenPath, &error))
        return false;
    const platform::XmlNode e = doc.DocumentElement().FindChild(QStringLiteral("BACnet_Desc_Chars_Limit"));
    return !e.IsNull() && e.Text() == QLatin1String("1");
}

} // namespace bacnet_slave

const TRule_Form& BACnet_Slave_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFBACnetSlaveSetAccess::TFBACnetSlaveSetAccess()
    : TSet_Access_Form(BACnet_Slave_Form()), NByte_IN(Capacity[0]), NByte_OUT(Capacity[1])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        TS_BACnet_in_Read = Tabs[0];
        TS_BACnet_in_Write = Tabs[1];
        ECG_BACnet_in_Read = Grids[0];
        ECG_BACnet_in_Write = Grids[1];
        ECG_BACnet_in_Read->OnDblClickCell = [this](QObject* s, int row, int col) {
            ECG_BACnet_in_ReadDblClickCell(s, row, col);
        };
        ECG_BACnet_in_Write->OnDblClickCell = [this](QObject* s, int row, int col) {
            ECG_BACnet_in_WriteDblClickCell(s, row, col);
        };
        ECG_BACnet_in_Write->OnComboChange = [this](QObject* s, int col, int row, int index, const QString& text) {
            ECG_BACnet_in_WriteComboChange(s, col, row, index, text);
        };
    });
}

TFBACnetSlaveSetAccess::~TFBACnetSlaveSetAccess()
{
    if (FBACnetSlaveSetAccess == this)
        FBACnetSlaveSetAccess = nullptr;
}

bool TFBACnetSlaveSetAccess::Prepare_Show()
{
    NByte_IN = kArea;
    NByte_OUT = kArea;
    Desc_Lenght = Read_Desc_Length(FileName_ParGen);
    for (VOruVizizaZezo* g : Grids)
        g->SetRowCount(Total_Limit(Desc_Lenght) + 1);
    return true;
}

QString TFBACnetSlaveSetAccess::Extra_Check(int grid, const TRule_Rows& rows)
{
    if (grid != 1)
        return QString();
    const int total = Rule_Check_Count(Form().grids[0], Grid_Rows(0)) + Rule_Check_Count(Form().grids[1], rows);
    const int limit = Total_Limit(Desc_Lenght);
    if (total > limit)
        return Text(1559) + QString::number(limit);
    return QString();
}

void TFBACnetSlaveSetAccess::Pick_Eng_Unit(int g, int row, int col)
{
    if (row < 1 || row >= Grids[g]->RowCount() || Grids[g]->RealColIndex(col) != cEngUnit)
        return;
    std::unique_ptr<TFBACnet_Eng_Unit> own;
    TFBACnet_Eng_Unit* picker = FBACnet_Eng_Unit;
    if (!picker) {
        own = std::make_unique<TFBACnet_Eng_Unit>();
        picker = own.get();
    }
    const QString cell = Get_Cell(g, cEngUnit, row);
    picker->BuildNow();   // its fields are filled before it is shown
    picker->E_Selected_EU->SetText(cell);
    picker->Label5->SetCaption(QStringLiteral("-> ") + Desc_Unit(platform::NumberOr(cell, -1)));
    if (picker->ShowModal() == platform::mrOk)
        Set_Cell(g, cEngUnit, row, picker->E_Selected_EU->Text());
}

void TFBACnetSlaveSetAccess::ECG_BACnet_in_ReadDblClickCell(QObject* sender, int row, int col)
{
    Pick_Eng_Unit(0, row, col);
    Grid_DblClick_AutoSize(sender, row, col);
}

void TFBACnetSlaveSetAccess::ECG_BACnet_in_WriteDblClickCell(QObject* sender, int row, int col)
{
    Pick_Eng_Unit(1, row, col);
    Grid_DblClick_AutoSize(sender, row, col);
}

void TFBACnetSlaveSetAccess::ECG_BACnet_in_WriteComboChange(QObject*, int col, int row, int, const QString& selection)
{
    if (col != cDataType || row < 1 || row >= ECG_BACnet_in_Write->RowCount())
        return;
    const QString length = Length_Of_Choice(selection);
    if (!length.isEmpty())
        Set_Cell(1, cLength, row, length);
}
