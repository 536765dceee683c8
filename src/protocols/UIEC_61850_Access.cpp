#include "protocols/UIEC_61850_Access.h"
#include "protocols/UIEC_Client_Decode.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "widgets/LbButton.h"

#include <QBrush>
#include <QFileInfo>

using namespace platform;

TFIEC_61850_Access* FIEC_61850_Access = nullptr;

QString TDataSet_DA::bType() const { return Select_DA ? Select_DA->fbType : Stored_bType; }
QString TDataSet_DA::Reference() const { return Select_DA ? Select_DA->fReference : Stored_Reference; }

namespace {

QString Text(int entry) { return Language_List.value(entry); }

const QStringList kStartBits = {"0", "1", "2", "3", "4", "5", "6", "7"};
const QStringList kConversions = {"None", "ItoF/FtoI"};

void Headers(VOruVizizaZezo* grid, const QStringList& headers)
{
    for (int c = 0; c < headers.size(); ++c)
        grid->Columns().GetItem(c)->SetHeader(headers[c]);
}

TLbButton* Button(QWidget* parent, int left, int top, int width)
{
    auto* b = new TLbButton(parent);
    b->SetBounds(left, top, width, 28);
    return b;
}

// Whether the text is a row's device index n, by the number rule.
bool Is_Index(const QString& text, int n) { return rules::Rule_Number(text) == n; }

} // namespace

TFIEC_61850_Access::TFIEC_61850_Access()
{
    SetName(QStringLiteral("FIEC_61850_Access"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(1200);
    SetClientHeight(550);
    SetCaption(Text(4900));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(40);
        P_Button->SetBevelOuter(bvNone);
        Btn_OK = Button(P_Button, 8, 6, 110);
        Btn_Cancel = Button(P_Button, 126, 6, 110);
        Btn_AddVar = Button(P_Button, 244, 6, 110);
        Btn_RemoveVar = Button(P_Button, 362, 6, 110);
        Btn_MoveUp = Button(P_Button, 480, 6, 110);
        Btn_ModeDown = Button(P_Button, 598, 6, 110);
        Btn_MoveUp->SetVisible(false);
        Btn_ModeDown->SetVisible(false);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_OK->OnClick = [this](QObject* s) { Btn_OKClick(s); };
        Btn_AddVar->OnClick = [this](QObject* s) { Btn_AddVarClick(s); };
        Btn_RemoveVar->OnClick = [this](QObject* s) { Btn_RemoveVarClick(s); };

        P_Devices = new TPanel(this);
        P_Devices->SetAlign(alLeft);
        P_Devices->SetWidth(300);
        P_Devices->SetBevelOuter(bvNone);
        Btn_Add_IEC_Device = Button(P_Devices, 6, 4, 140);
        Btn_Remove_IEC_Device = Button(P_Devices, 152, 4, 140);
        Btn_Add_IEC_Device->OnClick = [this](QObject* s) { Btn_Add_IEC_DeviceClick(s); };
        Btn_Remove_IEC_Device->OnClick = [this](QObject* s) { Btn_Remove_IEC_DeviceClick(s); };
        LB_IEC_Devices = new TListBox(P_Devices);
        LB_IEC_Devices->SetBounds(6, 38, 286, 110);
        LB_IEC_Devices->OnClick = [this](QObject* s) { LB_IEC_DevicesClick(s); };
        TV_IEC_Device = new TTreeView(P_Devices);
        TV_IEC_Device->SetBounds(6, 154, 286, 300);
        TV_IEC_Device->setEditTriggers(QAbstractItemView::NoEditTriggers);
        TV_IEC_Device->OnClick = [this](QObject*) { TV_IEC_DeviceClick(TV_IEC_Device->Selected()); };
        // The tree takes the panel's height below the list.
        auto* fill = new TPanel(P_Devices);
        fill->SetAlign(alClient);
        fill->SetBevelOuter(bvNone);
        fill->lower();
        TV_IEC_Device->setParent(fill);
        TV_IEC_Device->SetAlign(alClient);
        auto* top = new TPanel(P_Devices);
        top->SetAlign(alTop);
        top->SetHeight(152);
        top->SetBevelOuter(bvNone);
        Btn_Add_IEC_Device->setParent(top);
        Btn_Remove_IEC_Device->setParent(top);
        LB_IEC_Devices->setParent(top);

        PC_DA_DataSet = new TPageControl(this);
        PC_DA_DataSet->SetAlign(alClient);
        TS_DA = PC_DA_DataSet->AddPage(QStringLiteral("Variables"));
        TS_DataSet = PC_DA_DataSet->AddPage(QStringLiteral("DataSet"));

        ECG_DA = Make_Column_Grid(TS_DA, QStringLiteral("ECG_DA"), cdaCount, 1);
        ECG_DA->SetAlign(alClient);
        Set_Grid_Column(ECG_DA, cdaIndex, 40, edNormal);
        Set_Grid_Column(ECG_DA, cdabType, 80, edNormal, {}, true);
        Set_Grid_Column(ECG_DA, cdaFC, 30, edNormal, {}, true);
        Set_Grid_Column(ECG_DA, cdaReference, 220, edNormal, {}, true);
        Set_Grid_Column(ECG_DA, cdaStartByte, 60, edNormal);
        Set_Grid_Column(ECG_DA, cdaNumByte, 60, edNormal);
        Set_Grid_Column(ECG_DA, cdaIPAddress, 95, edNormal);
        Set_Grid_Column(ECG_DA, cdaPort, 45, edNormal);
        for (int c : {cdaOnChange, cdaOnCMD, cdaOnTimer})
            Set_Grid_Column(ECG_DA, c, 55, edDataCheckBox);
        Set_Grid_Column(ECG_DA, cdaTime, 60, edNormal);
        Set_Grid_Column(ECG_DA, cdaPosition, 55, edNormal);
        Set_Grid_Column(ECG_DA, cdaStartBit, 55, edComboList, kStartBits);
        Set_Grid_Column(ECG_DA, cdaReadWrite, 55, edComboList, {"Read", "Write"});
        Set_Grid_Column(ECG_DA, cdaConvertion, 80, edComboList, kConversions);
        Set_Grid_Column(ECG_DA, cdaMoltFact, 60, edNormal);
        Set_Grid_Column(ECG_DA, cdaMnemonic, 120, edNormal);
        ECG_DA->SetShowHint(true);
        ECG_DA->OnGridHint = [this](QObject*, int row, int col, QString& hint) {
            hint = row == 0 && col >= 1 && col < Hint.size() ? Hint[col] : QString();
        };

        ECG_DataSet = Make_Column_Grid(TS_DataSet, QStringLiteral("ECG_DataSet"), cdsCount, 1);
        ECG_DataSet->SetAlign(alTop);
        ECG_DataSet->SetHeight(180);
        Headers(ECG_DataSet, {"N", "Index", "Reference", "Goose Name", "En. Goose", "IP Address", "Port", "Time (ms)",
                              "Mnemonic"});
        Set_Grid_Column(ECG_DataSet, cdsIndex, 40, edNormal);
        Set_Grid_Column(ECG_DataSet, cdsReference, 220, edNormal, {}, true);
        Set_Grid_Column(ECG_DataSet, cdsGooseName, 100, edNormal, {}, true);
        Set_Grid_Column(ECG_DataSet, cdsEnGoose, 60, edDataCheckBox);
        Set_Grid_Column(ECG_DataSet, cdsIPAddress, 95, edNormal);
        Set_Grid_Column(ECG_DataSet, cdsPort, 45, edNormal);
        Set_Grid_Column(ECG_DataSet, cdsTime, 60, edNormal);
        Set_Grid_Column(ECG_DataSet, cdsMnemonic, 120, edNormal);

        ECG_DS_Vars = Make_Column_Grid(TS_DataSet, QStringLiteral("ECG_DS_Vars"), cmCount, 1);
        ECG_DS_Vars->SetAlign(alClient);
        Headers(ECG_DS_Vars, {"N", "bType", "Reference", "Position", "Start Bit", "Convertion", "Mult Fact", "Mnemonic"});
        Set_Grid_Column(ECG_DS_Vars, cmbType, 80, edNormal, {}, true);
        Set_Grid_Column(ECG_DS_Vars, cmReference, 260, edNormal, {}, true);
        Set_Grid_Column(ECG_DS_Vars, cmPosition, 55, edNormal);
        Set_Grid_Column(ECG_DS_Vars, cmStartBit, 55, edComboList, kStartBits);
        Set_Grid_Column(ECG_DS_Vars, cmConvertion, 80, edComboList, kConversions);
        Set_Grid_Column(ECG_DS_Vars, cmMultFact, 60, edNormal);
        Set_Grid_Column(ECG_DS_Vars, cmMnemonic, 120, edNormal);

        for (VOruVizizaZezo* grid : {ECG_DA, ECG_DataSet, ECG_DS_Vars}) {
            grid->OnClickCell = [this, grid](QObject* s, int row, int col) {
                if (col == 0 && row >= 1)
                    grid->SetRowSelect(row, true);
                if (grid == ECG_DataSet)
                    Show_DataSet_DAs();
            };
            grid->OnDblClickCell = [](QObject* s, int row, int col) { Grid_DblClick_AutoSize(s, row, col); };
            grid->OnKeyPress = [](QObject* s, QChar& key) { Grid_Enter_Next_Cell(s, key); };
        }
        ECG_DS_Vars->OnSelectCell = [this](QObject*, int, int, bool&) { DataSet_Row_Select = ECG_DataSet->Row(); };
        ECG_DS_Vars->OnEditCellDone = [this](QObject*, int col, int row) { Member_Edit_Done(col, row); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
        Reset();
    });
}

TFIEC_61850_Access::~TFIEC_61850_Access()
{
    // Members point into the devices: the data sets go first.
    List_DataSet.clear();
    while (!List_IEC_Dev.empty())
        List_IEC_Dev.pop_back();
    if (FIEC_61850_Access == this)
        FIEC_61850_Access = nullptr;
}

void TFIEC_61850_Access::Set_Lang()
{
    SetCaption(Text(4900));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(4901));
    TLbButton* const buttons[] = {Btn_OK,        Btn_Cancel, Btn_AddVar,         Btn_RemoveVar,
                                  Btn_MoveUp,    Btn_ModeDown, Btn_Add_IEC_Device, Btn_Remove_IEC_Device};
    for (int i = 0; i < 8; ++i) {
        buttons[i]->SetCaption(Text(4902 + i));
        buttons[i]->SetHint(Text(4910 + i));
    }
    const int headers[cdaCount] = {4918, 4919, 4920, 4921, 4922, 4958, 4959, 4923, 4924, 4925,
                                   4926, 4927, 4928, 4929, 4930, 4931, 4932, 4933, 4934};
    for (int c = 0; c < cdaCount; ++c)
        ECG_DA->Columns().GetItem(c)->SetHeader(Text(headers[c]));
    Hint.clear();
    for (int e = 4935; e <= 4939; ++e)
        Hint << Text(e);
    Hint << Text(4960) << Text(4961);
    for (int e = 4940; e <= 4951; ++e)
        Hint << Text(e);
}

QString TFIEC_61850_Access::Catalog_Folder() { return JoinPath(Project_Folder, QStringLiteral("ICD_Catalog")); }

void TFIEC_61850_Access::FormShow()
{
    Load_File(FileName_IEC_61850_Client);
}

// ---- devices -----------------------------------------------------------------

int TFIEC_61850_Access::Selected_Device() const
{
    const int n = LB_IEC_Devices->ItemIndex();
    return n >= 0 && n < static_cast<int>(List_IEC_Dev.size()) ? n : -1;
}

void TFIEC_61850_Access::Refill_Device_List()
{
    QStringList names;
    for (const auto& device : List_IEC_Dev)
        // A catalogue file that is gone keeps its place, under its file name.
        names << (device->fMissing ? device->fFileName + QStringLiteral(" (missing)") : device->fName);
    LB_IEC_Devices->SetItems(names);
}

void TFIEC_61850_Access::Btn_Add_IEC_DeviceClick(QObject*)
{
    FileDialogRequest request;
    request.filter = QStringLiteral("SCL Files (*.scd *.ssd *.sed *.icd *.iid *.cid);;Any File (*)");
    const QString chosen = AskOpenFileName(request);
    if (chosen.isEmpty())
        return;
    const QString folder = Catalog_Folder();
    QString error;
    if (!DirectoryExists(folder) && !ForceFolders(folder, &error)) {
        ShowMessage(MessageKind::Error, error);
        return;
    }
    const QString target = JoinPath(folder, QFileInfo(chosen).fileName());
    bool copy = true;
    if (FileExists(target)) {
        const MessageAnswer answer =
            ShowMessage(MessageKind::Confirmation,
                        QStringLiteral("File already exists in catalog directory. Do you want to overwrite file?"),
                        MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel)
            return;
        copy = answer == MessageAnswer::Yes;
    }
    // The same file picked from the catalogue itself needs no copy.
    if (copy && QFileInfo(chosen).canonicalFilePath() != QFileInfo(target).canonicalFilePath()
        && !CopyFileTo(chosen, target, false, &error)) {
        ShowMessage(MessageKind::Error, QStringLiteral("The file could not be copied into the catalog directory: ")
                                            + error);
        return;
    }
    auto device = TIEC_Device::Create(target, &error);
    if (!device) {
        ShowMessage(MessageKind::Error, error);
        return;
    }
    List_IEC_Dev.push_back(std::move(device));
    Refill_Device_List();
}

bool TFIEC_61850_Access::Rows_Use_Device(const TIEC_Device& device) const
{
    for (const auto& row : List_DataSet) {
        if (!row->Select_DataSet)
            continue;
        for (const auto& ld : device.List_LDevice)
            for (const auto& ln : ld->List_LN)
                for (const auto& set : ln->List_DataSet)
                    if (set.get() == row->Select_DataSet)
                        return true;
    }
    return false;
}

void TFIEC_61850_Access::Btn_Remove_IEC_DeviceClick(QObject*)
{
    const int n = Selected_Device();
    if (n < 0)
        return;
    for (VOruVizizaZezo* grid : {ECG_DA, ECG_DataSet})
        for (int r = 1; r < grid->RowCount(); ++r)
            if (Is_Index(grid->GetCellEx(1, r), n))
                return;
    // A data-set row holds its data set and members, whatever its Index
    // cell says since: they must outlive the row.
    if (Rows_Use_Device(*List_IEC_Dev[n]))
        return;
    for (VOruVizizaZezo* grid : {ECG_DA, ECG_DataSet})
        for (int r = 1; r < grid->RowCount(); ++r) {
            const int index = rules::Rule_Number(grid->GetCellEx(1, r));
            if (index > n)
                grid->SetCellEx(1, r, QString::number(index - 1));
        }
    if (shown_ == List_IEC_Dev[n].get()) {
        // Its tree nodes stay until another device is chosen; the model goes.
        shown_ = nullptr;
    }
    List_IEC_Dev.erase(List_IEC_Dev.begin() + n);
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    Refill_Device_List();
}

void TFIEC_61850_Access::LB_IEC_DevicesClick(QObject*)
{
    const int n = Selected_Device();
    if (n < 0)
        return;
    TV_IEC_Device->Clear();
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    Show_Tree_IEC_Device(*List_IEC_Dev[n]);
}

namespace {

TTreeNode* Node(TTreeView* tree, TTreeNode* parent, const QString& text, int image, bool expanded,
                Qt::GlobalColor colour = Qt::black)
{
    TTreeNode* node = tree->AddChild(parent, text);
    node->SetImageIndex(image);
    node->setForeground(0, QBrush(colour));
    node->SetExpanded(expanded);
    return node;
}

void Show_Tree_IEC_DA(TTreeView* tree, TTreeNode* parent, TIEC_DA& da)
{
    da.TreeNode = Node(tree, parent, da.fName, 4, false);
    for (const auto& inner : da.List_DA)
        Show_Tree_IEC_DA(tree, da.TreeNode, *inner);
}

void Show_Tree_IEC_DO(TTreeView* tree, TTreeNode* parent, TIEC_DO& object)
{
    object.TreeNode = Node(tree, parent, object.fName, 3, false, Qt::blue);
    for (const auto& sdo : object.List_DO)
        Show_Tree_IEC_DO(tree, object.TreeNode, *sdo);
    for (const auto& da : object.List_DA)
        Show_Tree_IEC_DA(tree, object.TreeNode, *da);
}

void Show_Tree_IEC_DataSet(TTreeView* tree, TTreeNode* parent, TIEC_DataSet& set)
{
    set.TreeNode = Node(tree, parent, set.fName, 5, false, Qt::darkGreen);
}

void Show_Tree_IEC_LN(TTreeView* tree, TTreeNode* parent, TIEC_LN& ln)
{
    ln.TreeNode = Node(tree, parent, ln.Name(), 2, false);
    for (const auto& object : ln.List_DO)
        Show_Tree_IEC_DO(tree, ln.TreeNode, *object);
    for (const auto& set : ln.List_DataSet)
        Show_Tree_IEC_DataSet(tree, ln.TreeNode, *set);
    ln.TreeNode->SetExpanded(true);
}

void Show_Tree_IEC_LDevice(TTreeView* tree, TTreeNode* parent, TIEC_LDevice& ld)
{
    ld.TreeNode = Node(tree, parent, ld.fName, 1, false);
    for (const auto& ln : ld.List_LN)
        Show_Tree_IEC_LN(tree, ld.TreeNode, *ln);
    ld.TreeNode->SetExpanded(true);
}

TIEC_DA* Leaf_Of(const TIEC_DA& da, const TTreeNode* node)
{
    if (da.TreeNode == node)
        return da.List_DA.empty() ? const_cast<TIEC_DA*>(&da) : nullptr;
    for (const auto& inner : da.List_DA)
        if (TIEC_DA* found = Leaf_Of(*inner, node))
            return found;
    return nullptr;
}

TIEC_DA* Leaf_Of(const TIEC_DO& object, const TTreeNode* node)
{
    for (const auto& sdo : object.List_DO)
        if (TIEC_DA* found = Leaf_Of(*sdo, node))
            return found;
    for (const auto& da : object.List_DA)
        if (TIEC_DA* found = Leaf_Of(*da, node))
            return found;
    return nullptr;
}

} // namespace

void TFIEC_61850_Access::Show_Tree_IEC_Device(TIEC_Device& device)
{
    shown_ = &device;
    device.TreeNode = Node(TV_IEC_Device, nullptr, device.fName, 0, false);
    for (const auto& ld : device.List_LDevice)
        Show_Tree_IEC_LDevice(TV_IEC_Device, device.TreeNode, *ld);
    device.TreeNode->SetExpanded(true);
}

void TFIEC_61850_Access::TV_IEC_DeviceClick(TTreeNode* node)
{
    Selected_IEC_DA = nullptr;
    Selected_IEC_DS = nullptr;
    const int n = Selected_Device();
    if (!node || n < 0 || List_IEC_Dev[n].get() != shown_)
        return;
    for (const auto& ld : shown_->List_LDevice)
        for (const auto& ln : ld->List_LN) {
            for (const auto& object : ln->List_DO)
                if ((Selected_IEC_DA = Leaf_Of(*object, node)))
                    return;
            for (const auto& set : ln->List_DataSet)
                if (set->TreeNode == node) {
                    Selected_IEC_DS = set.get();
                    return;
                }
        }
}

// ---- rows --------------------------------------------------------------------

void TFIEC_61850_Access::Clear_Grid(VOruVizizaZezo* grid)
{
    grid->SetRowCount(2);
    grid->SetCellEx(0, 1, QStringLiteral("1"));
    for (int c = 1; c < grid->ColCount(); ++c) {
        grid->SetCellEx(c, 1, QString());
        grid->GetCellProperties(c, 1)->SetReadOnly(false);
    }
}

void TFIEC_61850_Access::Renumber(VOruVizizaZezo* grid)
{
    for (int r = 1; r < grid->RowCount(); ++r)
        grid->SetCellEx(0, r, QString::number(r));
}

namespace {

// Row 1 when it is the grid's only row and has no device yet, else a new row.
int Take_Row(VOruVizizaZezo* grid)
{
    if (grid->RowCount() == 2 && grid->GetCellEx(1, 1).isEmpty())
        return 1;
    grid->SetRowCount(grid->RowCount() + 1);
    return grid->RowCount() - 1;
}

// Moves the rows below `row` up by one and drops the last.
void Drop_Row(VOruVizizaZezo* grid, int row)
{
    for (int r = row; r < grid->RowCount() - 1; ++r)
        for (int c = 1; c < grid->ColCount(); ++c) {
            grid->SetCellEx(c, r, grid->GetCellEx(c, r + 1));
            grid->GetCellProperties(c, r)->SetReadOnly(grid->GetCellProperties(c, r + 1)->ReadOnly());
        }
    grid->SetRowCount(grid->RowCount() - 1);
}

} // namespace

void TFIEC_61850_Access::Set_Start_Num_Byte()
{
    for (int r = 1; r < ECG_DA->RowCount(); ++r) {
        const QString type = ECG_DA->GetCellEx(cdabType, r).toUpper();
        QString size;
        if (type == "FLOAT32" || type == "INT32U" || type == "INT32" || type == "QUALITY")
            size = "4";
        else if (type == "FLOAT64" || type == "INT64")
            size = "8";
        else if (type == "INT8U" || type == "INT8" || type == "BOOLEAN" || type == "TIMESTAMP" || type == "ENUM")
            size = "1";
        else if (type == "INT16U" || type == "INT16")
            size = "2";
        const bool fixed = !size.isEmpty();
        if (fixed) {
            ECG_DA->SetCellEx(cdaStartByte, r, QStringLiteral("0"));
            ECG_DA->SetCellEx(cdaNumByte, r, size);
        }
        // A cell without properties of its own is editable: only a lock needs them.
        for (int c : {cdaStartByte, cdaNumByte}) {
            if (fixed)
                ECG_DA->GetCellProperties(c, r)->SetReadOnly(true);
            else if (TCellProperties* props = ECG_DA->CellPropsAt(c, r))
                props->SetReadOnly(false);
        }
    }
}

void TFIEC_61850_Access::Btn_AddVarClick(QObject*)
{
    const int device = Selected_Device();
    if (Selected_IEC_DA) {
        PC_DA_DataSet->SetActivePage(TS_DA);
        const int r = Take_Row(ECG_DA);
        ECG_DA->SetCellEx(0, r, QString::number(r));
        for (int c = 1; c < cdaCount; ++c)
            ECG_DA->SetCellEx(c, r, QString());
        ECG_DA->SetCellEx(cdaIndex, r, QString::number(device));
        ECG_DA->SetCellEx(cdabType, r, Selected_IEC_DA->fbType);
        ECG_DA->SetCellEx(cdaFC, r, Selected_IEC_DA->fFC);
        ECG_DA->SetCellEx(cdaReference, r, Selected_IEC_DA->fReference);
        for (int c : {cdaOnChange, cdaOnCMD, cdaOnTimer})
            ECG_DA->SetCellEx(c, r, QStringLiteral("N"));
        Set_Start_Num_Byte();
    } else if (Selected_IEC_DS) {
        PC_DA_DataSet->SetActivePage(TS_DataSet);
        const int r = Take_Row(ECG_DataSet);
        ECG_DataSet->SetCellEx(0, r, QString::number(r));
        for (int c = 1; c < cdsCount; ++c)
            ECG_DataSet->SetCellEx(c, r, QString());
        ECG_DataSet->SetCellEx(cdsIndex, r, QString::number(device));
        ECG_DataSet->SetCellEx(cdsReference, r, Selected_IEC_DS->fReference);
        ECG_DataSet->SetCellEx(cdsGooseName, r, Selected_IEC_DS->fGooseName);
        ECG_DataSet->SetCellEx(cdsEnGoose, r, Selected_IEC_DS->fGooseName.isEmpty() ? "N" : "Y");
        auto set = std::make_unique<TDataSet>();
        set->Select_DataSet = Selected_IEC_DS;
        for (TIEC_DA* member : Selected_IEC_DS->List_DA) {
            auto record = std::make_unique<TDataSet_DA>();
            record->Select_DA = member;
            set->List_DAs.push_back(std::move(record));
        }
        // The rows and the records stay paired: row r is record r - 1.
        List_DataSet.resize(static_cast<size_t>(r - 1));
        List_DataSet.push_back(std::move(set));
    }
}

void TFIEC_61850_Access::Btn_RemoveVarClick(QObject*)
{
    if (PC_DA_DataSet->ActivePage() == TS_DA) {
        const int r = ECG_DA->Row();
        if (r < 1)
            return;
        if (ECG_DA->RowCount() == 2) {
            for (int c = 1; c < cdaCount; ++c)
                ECG_DA->SetCellEx(c, 1, QString());
        } else {
            Drop_Row(ECG_DA, r);
            Renumber(ECG_DA);
        }
        Set_Start_Num_Byte();
        return;
    }
    const int r = ECG_DataSet->Row();
    if (r < 1)
        return;
    if (static_cast<size_t>(r - 1) < List_DataSet.size())
        List_DataSet.erase(List_DataSet.begin() + (r - 1));
    if (ECG_DataSet->RowCount() > 2) {
        Drop_Row(ECG_DataSet, r);
        Renumber(ECG_DataSet);
    } else {
        for (int c = 1; c < cdsCount; ++c)
            ECG_DataSet->SetCellEx(c, 1, QString());
    }
    // The member grid showed the removed row (or one that has moved): show
    // the row now current, so no edit reaches another data set's records.
    DataSet_Row_Select = 0;
    Show_DataSet_DAs();
}

void TFIEC_61850_Access::Show_DataSet_DAs()
{
    const int r = ECG_DataSet->Row();
    const TDataSet* set = r >= 1 && static_cast<size_t>(r - 1) < List_DataSet.size() ? List_DataSet[r - 1].get()
                                                                                       : nullptr;
    const int records = set ? static_cast<int>(set->List_DAs.size()) : 0;
    ECG_DS_Vars->SetRowCount(std::max(records, 1) + 1);
    for (int c = 0; c < cmCount; ++c)
        ECG_DS_Vars->SetCellEx(c, 1, QString());
    for (int i = 0; i < records; ++i) {
        const TDataSet_DA& record = *set->List_DAs[i];
        const int row = i + 1;
        ECG_DS_Vars->SetCellEx(0, row, QString::number(row));
        ECG_DS_Vars->SetCellEx(cmbType, row, record.bType());
        ECG_DS_Vars->SetCellEx(cmReference, row, record.Reference());
        ECG_DS_Vars->SetCellEx(cmPosition, row, record.Position);
        ECG_DS_Vars->SetCellEx(cmStartBit, row, record.bitAddress);
        ECG_DS_Vars->SetCellEx(cmConvertion, row, record.conversion);
        ECG_DS_Vars->SetCellEx(cmMultFact, row, record.multFactor);
        ECG_DS_Vars->SetCellEx(cmMnemonic, row, record.Mnemonic);
    }
}

void TFIEC_61850_Access::Member_Edit_Done(int col, int row)
{
    const int r = DataSet_Row_Select;
    if (r < 1 || static_cast<size_t>(r - 1) >= List_DataSet.size())
        return;
    TDataSet& set = *List_DataSet[r - 1];
    if (row < 1 || static_cast<size_t>(row - 1) >= set.List_DAs.size())
        return;
    TDataSet_DA& record = *set.List_DAs[row - 1];
    const QString text = ECG_DS_Vars->GetCellEx(col, row);
    switch (col) {
    case cmPosition: record.Position = text; break;
    case cmStartBit: record.bitAddress = text; break;
    case cmConvertion: record.conversion = text; break;
    case cmMultFact: record.multFactor = text; break;
    case cmMnemonic: record.Mnemonic = text; break;
    default: break;
    }
}

// ---- checks ------------------------------------------------------------------

namespace {

bool Mult_Factor_Ok(const QString& text)
{
    if (text.trimmed().toUpper() == QLatin1String("NONE"))
        return true;
    float value = 0;
    return Str_To_Float_Any_Sep(text, Get_Decimal_Separator(), value);
}

QString Fault(int row, int message) { return Text(4952) + QString::number(row) + Text(message); }

bool Ip_Ok(const QString& text)
{
    QString a, b, c, d;
    return Split_IP_Address(text, a, b, c, d);
}

} // namespace

QString TFIEC_61850_Access::Check_Variables()
{
    for (int r = 1; r < ECG_DA->RowCount(); ++r) {
        const auto cell = [&](int c) { return ECG_DA->GetCellEx(c, r); };
        const QString type = cell(cdabType).toUpper();
        if (type.isEmpty())
            continue;
        const int start = rules::Rule_Number(cell(cdaStartByte));
        const int count = rules::Rule_Number(cell(cdaNumByte));
        if (type == QLatin1String("VISSTRING255")) {
            if (start < 0 || start > 254)
                return Fault(r, 4962);
            if (count < 1 || count > 255)
                return Fault(r, 4963);
            if (start + count > 255)
                return Fault(r, 4964);
        } else if (type == QLatin1String("OCTET64")) {
            if (start < 0 || start > 63)
                return Fault(r, 4965);
            if (count < 1 || count > 64)
                return Fault(r, 4966);
            if (start + count > 64)
                return Fault(r, 4967);
        }
        if (!Ip_Ok(cell(cdaIPAddress)))
            return Fault(r, 4953);
        if (!rules::In_Range(cell(cdaPort), 0, 65535))
            return Fault(r, 4954);
        if (cell(cdaOnTimer).trimmed() == QLatin1String("Y") && !rules::In_Range(cell(cdaTime), 1, 100000000))
            return Fault(r, 4955);
        if (!rules::In_Range(cell(cdaPosition), 0, 1399))
            return Fault(r, 4956) + QStringLiteral("1399");
        if (!Mult_Factor_Ok(cell(cdaMoltFact)))
            return Fault(r, 4957);
    }
    return QString();
}

// Data-set rows reach the converter as requests too: the same checks as a
// variable's address, port and time, and each member's position and factor.
QString TFIEC_61850_Access::Check_DataSets()
{
    const QString prefix = QStringLiteral("Error in DataSet row ");
    for (int r = 1; r < ECG_DataSet->RowCount(); ++r) {
        const auto cell = [&](int c) { return ECG_DataSet->GetCellEx(c, r); };
        if (cell(cdsReference).trimmed().isEmpty())
            continue;
        const QString at = prefix + QString::number(r);
        if (!Ip_Ok(cell(cdsIPAddress)))
            return at + Text(4953);
        if (!rules::In_Range(cell(cdsPort), 0, 65535))
            return at + Text(4954);
        if (!cell(cdsTime).trimmed().isEmpty() && !rules::In_Range(cell(cdsTime), 1, 100000000))
            return at + Text(4955);
        const TDataSet* set = static_cast<size_t>(r - 1) < List_DataSet.size() ? List_DataSet[r - 1].get() : nullptr;
        if (!set)
            continue;
        for (size_t i = 0; i < set->List_DAs.size(); ++i) {
            const TDataSet_DA& record = *set->List_DAs[i];
            const QString member = at + QStringLiteral(", member ") + QString::number(i + 1);
            if (!rules::In_Range(record.Position, 0, 1399))
                return member + Text(4956) + QStringLiteral("1399");
            if (!Mult_Factor_Ok(record.multFactor))
                return member + Text(4957);
        }
    }
    return QString();
}

bool TFIEC_61850_Access::Controllo_dati()
{
    QString fault = Check_Variables();
    if (fault.isEmpty())
        fault = Check_DataSets();
    if (fault.isEmpty())
        return true;
    ShowMessage(MessageKind::Error, fault);
    return false;
}

void TFIEC_61850_Access::Btn_OKClick(QObject*)
{
    if (!Controllo_dati() || !Consent_To_Replace(Unread))
        return;
    QString error;
    if (!WriteFileAtomically(FileName_IEC_61850_Client, File_Bytes(), &error)) {
        ShowErrorBox(error);
        return;
    }
    Unread.Clear();
    SetModalResult(mrOk);
}
