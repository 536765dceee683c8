// The IEC 61850 client's project file: the catalogue's device list, the
// variables rows and the data-set rows with their members' settings.
#include "protocols/UIEC_61850_Access.h"
#include "protocols/UIEC_Client_Decode.h"

#include "rules/USet_Access_Form.h"
#include "shell/UComon.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

using namespace platform;

namespace iec61850_file {
// "68850" is the name every reader of this file looks for.
const char* const Root = "IEC_68850_Client";
const char* const DA_Attributes[cdaCount - 1] = {
    "Index", "bType",    "fc",        "Reference", "StartByte",  "NumByte",  "IPAddress", "Port",    "OnChange",
    "OnCMD", "OnTimer",  "Time",      "Position",  "StartBit",   "ReadWrite", "Convertion", "MoltFact", "Mnemonic"};
const char* const DS_Attributes[cdsCount - 1] = {"Index", "Reference", "GooseName", "EnGoose",
                                                 "IPAddress", "Port", "Time", "Mnemonic"};
} // namespace iec61850_file

namespace {

using namespace iec61850_file;

const char* const Member_Attributes[] = {"bType", "Reference", "Position", "StartBit", "Convertion", "MoltFact",
                                         "Mnemonic"};

QString L(const char* text) { return QString::fromLatin1(text); }

// Rows to write: none when row 1 is the only one and has no device index.
int Rows_To_Write(VOruVizizaZezo* grid)
{
    return grid->RowCount() == 2 && grid->GetCellEx(1, 1).isEmpty() ? 0 : grid->RowCount() - 1;
}

// A catalogue name is a plain file name: anything that reaches out of the
// catalogue folder is not read.
bool Plain_File_Name(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

} // namespace

QByteArray TFIEC_61850_Access::File_Bytes() const
{
    XmlDocument doc;
    XmlNode root = doc.AddChild(L(Root));
    doc.AddComment(QStringLiteral("SW_VERSION = 1.000"));

    XmlNode files = root.AddChild(QStringLiteral("List_ICD_Files"));
    for (const auto& device : List_IEC_Dev) {
        XmlNode item = files.AddChild(QStringLiteral("ICD_File"));
        item.SetAttribute(QStringLiteral("Name"), device->fName);
        item.SetAttribute(QStringLiteral("FileName"), device->fFileName);
    }

    XmlNode variables = root.AddChild(QStringLiteral("List_DA_Selected"));
    for (int r = 1; r <= Rows_To_Write(ECG_DA); ++r) {
        XmlNode item = variables.AddChild(QStringLiteral("DA_Item"));
        for (int c = 1; c < cdaCount; ++c)
            item.SetAttribute(L(DA_Attributes[c - 1]), ECG_DA->GetCellEx(c, r));
    }

    XmlNode sets = root.AddChild(QStringLiteral("List_DataSet_Selected"));
    for (int r = 1; r <= Rows_To_Write(ECG_DataSet); ++r) {
        XmlNode item = sets.AddChild(QStringLiteral("DataSet_Item"));
        for (int c = 1; c < cdsCount; ++c)
            item.SetAttribute(L(DS_Attributes[c - 1]), ECG_DataSet->GetCellEx(c, r));
        XmlNode members = item.AddChild(QStringLiteral("DataSet_List_DAs"));
        if (static_cast<size_t>(r - 1) >= List_DataSet.size())
            continue;
        for (const auto& record : List_DataSet[r - 1]->List_DAs) {
            XmlNode m = members.AddChild(QStringLiteral("DataSet_DA_Item"));
            const QString values[] = {record->bType(), record->Reference(), record->Position, record->bitAddress, record->conversion, record->multFactor,
                                      record->Mnemonic};
            for (int i = 0; i < 7; ++i)
                m.SetAttribute(L(Member_Attributes[i]), values[i]);
        }
    }
    return doc.ToBytes();
}

void TFIEC_61850_Access::Reset()
{
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    DataSet_Row_Select = 0;
    shown_ = nullptr;
    Unread.Clear();
    TV_IEC_Device->Clear();
    List_DataSet.clear();
    while (!List_IEC_Dev.empty())
        List_IEC_Dev.pop_back();
    LB_IEC_Devices->Clear();
    for (VOruVizizaZezo* grid : {ECG_DA, ECG_DataSet, ECG_DS_Vars})
        Clear_Grid(grid);
    PC_DA_DataSet->SetActivePage(TS_DA);
}

TIEC_DataSet* TFIEC_61850_Access::Get_DataSet(int device, const QString& reference) const
{
    if (device < 0 || device >= static_cast<int>(List_IEC_Dev.size()))
        return nullptr;
    for (const auto& ld : List_IEC_Dev[device]->List_LDevice)
        for (const auto& ln : ld->List_LN)
            for (const auto& set : ln->List_DataSet)
                if (set->fReference == reference)
                    return set.get();
    return nullptr;
}

void TFIEC_61850_Access::Load_File(const QString& path)
{
    Reset();
    if (!FileExists(path))
        return;
    XmlDocument doc;
    QString error;
    // Whatever stops the reading is said, and kept for OK's question.
    const auto stop = [&](const QString& why) {
        Unread.Add(path, why);
        ShowMessage(MessageKind::Error, why);
    };
    if (!doc.Load(path, &error)) {
        stop(error);
        return;
    }
    const XmlNode root = doc.DocumentElement();
    if (!root || root.Name() != L(Root)) {
        stop(path + QStringLiteral(": not an IEC 61850 client file (no root element \"") + L(Root)
             + QStringLiteral("\")"));
        return;
    }
    // What was read before a stop stays and shows.
    const auto finish = [this] {
        Set_Start_Num_Byte();
        Refill_Device_List();
    };

    const QString catalog = Catalog_Folder();
    for (const XmlNode& item : root.FindChild(QStringLiteral("List_ICD_Files")).Children()) {
        if (!item.IsElement())
            continue;
        const QString name = item.Attribute(QStringLiteral("FileName")).value_or(QString());
        const QString file = JoinPath(catalog, name);
        // A file that is gone (or named outside the catalogue) keeps its
        // place, so the rows' device indices still point at their devices.
        if (!Plain_File_Name(name) || !FileExists(file)) {
            List_IEC_Dev.push_back(
                TIEC_Device::Placeholder(name, item.Attribute(QStringLiteral("Name")).value_or(QString())));
            Unread.Add(path, QStringLiteral("The catalogue file \"%1\" is missing").arg(file));
            continue;
        }
        auto device = TIEC_Device::Create(file, &error);
        if (!device) {
            stop(error);
            finish();
            return;
        }
        List_IEC_Dev.push_back(std::move(device));
    }

    // The rows are read first and the grid sized once: growing it a row at a
    // time costs the grid's whole layout per row.
    std::vector<QStringList> rows;
    bool stopped = false;
    for (const XmlNode& item : root.FindChild(QStringLiteral("List_DA_Selected")).Children()) {
        if (!item.IsElement())
            continue;
        QStringList cells;
        cells.reserve(cdaCount - 1);
        for (int c = 1; c < cdaCount && !stopped; ++c) {
            const std::optional<QString> value = item.Attribute(L(DA_Attributes[c - 1]));
            if (!value && c != cdaStartByte && c != cdaNumByte) {
                stop(Rule_Missing_Attribute_Message(path, QStringLiteral("List_DA_Selected"),
                                                    static_cast<int>(rows.size()) + 1, L(DA_Attributes[c - 1])));
                stopped = true;
            }
            cells << value.value_or(QString());
        }
        if (stopped)
            break;
        rows.push_back(std::move(cells));
    }
    if (!rows.empty())
        ECG_DA->SetRowCount(static_cast<int>(rows.size()) + 1);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        ECG_DA->SetCellEx(0, i + 1, QString::number(i + 1));
        for (int c = 1; c < cdaCount; ++c)
            ECG_DA->SetCellEx(c, i + 1, rows[i][c - 1]);
    }
    rows.clear();
    if (stopped) {
        finish();
        return;
    }
    int r = 0;

    const QString sets = QStringLiteral("List_DataSet_Selected");
    for (const XmlNode& item : root.FindChild(sets).Children()) {
        if (!item.IsElement())
            continue;
        QStringList cells;
        for (int c = 1; c < cdsCount; ++c) {
            const std::optional<QString> value = item.Attribute(L(DS_Attributes[c - 1]));
            if (!value) {
                stop(Rule_Missing_Attribute_Message(path, sets, r + 1, L(DS_Attributes[c - 1])));
                finish();
                return;
            }
            cells << *value;
        }
        const std::optional<int> device = ParseNumber(cells[cdsIndex - 1]);
        if (!device) {
            stop(QStringLiteral("'%1' is not a valid integer value").arg(cells[cdsIndex - 1])
                 + Rule_File_Place(path, sets, r + 1, L(DS_Attributes[cdsIndex - 1])));
            finish();
            return;
        }
        r = r == 0 ? 1 : r + 1;
        if (r >= ECG_DataSet->RowCount())
            ECG_DataSet->SetRowCount(r + 1);
        ECG_DataSet->SetCellEx(0, r, QString::number(r));
        for (int c = 1; c < cdsCount; ++c)
            ECG_DataSet->SetCellEx(c, r, cells[c - 1]);

        auto set = std::make_unique<TDataSet>();
        set->Select_DataSet = Get_DataSet(*device, cells[cdsReference - 1]);
        int j = 0;
        for (const XmlNode& m : item.FindChild(QStringLiteral("DataSet_List_DAs")).Children()) {
            if (!m.IsElement())
                continue;
            const auto get = [&](const char* name) { return m.Attribute(L(name)).value_or(QString()); };
            TIEC_DA* member = set->Select_DataSet && j < static_cast<int>(set->Select_DataSet->List_DA.size())
                                  ? set->Select_DataSet->List_DA[j]
                                  : nullptr;
            ++j;
            auto record = std::make_unique<TDataSet_DA>();
            if (!set->Select_DataSet) {
                // The catalogue does not hold the data set: its members stay as the file named them.
                record->Stored_bType = get("bType");
                record->Stored_Reference = get("Reference");
            } else if (!member || member->fbType != get("bType") || member->fReference != get("Reference")) {
                // A record whose member is no longer where it was is dropped.
                Unread.Add(path, QStringLiteral("Data-set row %1: the member \"%2\" is no longer in its data set")
                                     .arg(r)
                                     .arg(get("Reference")));
                continue;
            }
            record->Select_DA = member;
            record->Position = get("Position");
            record->bitAddress = get("StartBit");
            record->conversion = get("Convertion");
            record->multFactor = get("MoltFact");
            record->Mnemonic = get("Mnemonic");
            set->List_DAs.push_back(std::move(record));
        }
        List_DataSet.push_back(std::move(set));
    }
    finish();
}
