#include "mbus/UMeter_Bus_Form.h"
#include "mbus/UNewIDNode.h"

#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/ExPageControl.h"
#include "widgets/LbButton.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>

TFMeter_Bus* FMeter_Bus = nullptr;

using namespace platform;

namespace {

QString L(int n) { return Language_List.value(n); }

// The look of the page control: tabs on the left, the window's colours.
constexpr TColor kPanel = 0x00EDF7F8;

// Where the pages place their rows.
constexpr int kNodeLabel = 8;
constexpr int kNodeControl = 200;
constexpr int kVarLabel = 8;
constexpr int kVarControl = 128;

TLabel* Make_Label(QWidget* parent, int left, int top)
{
    auto* l = new TLabel(parent);
    l->SetLeft(left);
    l->SetTop(top + 3);
    l->SetTransparent(true);
    return l;
}

TEdit* Make_Edit(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* e = new TEdit(parent);
    e->SetName(QString::fromLatin1(name));
    e->SetBounds(left, top, width, 21);
    return e;
}

TComboBox* Make_List(QWidget* parent, const char* name, int left, int top, int width, const QStringList& items)
{
    auto* c = new TComboBox(parent);
    c->SetName(QString::fromLatin1(name));
    c->SetStyle(csDropDownList);
    c->SetBounds(left, top, width, 21);
    c->SetItems(items);
    c->SetDropDownCount(16);
    return c;
}

TCheckBox* Make_Check(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* c = new TCheckBox(parent);
    c->SetName(QString::fromLatin1(name));
    c->SetBounds(left, top, width, 21);
    return c;
}

QString Num(int64_t v) { return QString::number(v); }

// Places the dropped list of a combo box so that its right edge meets the
// box's right edge, the list growing to the left.
class Right_Aligned_Popup : public QObject
{
public:
    Right_Aligned_Popup(QComboBox* box) : QObject(box), box_(box) { box->view()->window()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* popup = static_cast<QWidget*>(watched);
            const QPoint right = box_->mapToGlobal(QPoint(box_->width(), 0));
            popup->move(right.x() - popup->width(), popup->y());
        }
        return false;
    }

private:
    QComboBox* box_;
};

} // namespace

TFMeter_Bus::TFMeter_Bus()
{
    SetName(QStringLiteral("FMeter_Bus"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    // Creation: both copy buffers empty, the client area, the pages, the texts.
    SetClientWidth(834);
    SetClientHeight(700);
    SetCaption(L(1700));
    // The pages are built when the window is first needed.
    Build_When_Needed(this, [this] {
        Create_Controls();
        Select_Width_ComboBox(CB_Var_ToD, 30);
        Select_Width_ComboBox(CB_VIFE, 65);
        L_SW_Code->SetCaption(SW_Code);
        Nodes_Move_Elements();
        Sposta_Oggetti_Var(0);
        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFMeter_Bus::~TFMeter_Bus()
{
    treeQuiet_ = true;
    if (FMeter_Bus == this)
        FMeter_Bus = nullptr;
}

void TFMeter_Bus::Create_Controls()
{
    const Title_Panel title = Make_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;

    P_Button = new TPanel(this);
    P_Button->SetAlign(alBottom);
    P_Button->SetHeight(48);
    P_Button->SetBevelOuter(bvNone);
    Btn_ImportNet = new TLbButton(P_Button);
    Btn_ImportNet->SetName(QStringLiteral("Btn_ImportNet"));
    Btn_ImportNet->SetBounds(8, 10, 150, 28);
    Btn_OK = new TLbButton(P_Button);
    Btn_OK->SetName(QStringLiteral("Btn_OK"));
    Btn_OK->SetBounds(ClientWidth() - 200, 10, 90, 28);
    Btn_Cancel = new TLbButton(P_Button);
    Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));
    Btn_Cancel->SetBounds(ClientWidth() - 102, 10, 90, 28);
    // Cancel asks first when something changed: it has no modal result of its own.
    Btn_Cancel->SetCancel(true);
    Btn_OK->OnClick = [this](QObject*) { LbButton2Click(); };
    Btn_Cancel->OnClick = [this](QObject*) { LbButton4Click(); };
    Btn_ImportNet->OnClick = [this](QObject*) { Btn_ImportNetClick(); };

    TW = new TTreeView(this);
    TW->SetName(QStringLiteral("TW"));
    TW->SetBounds(8, 60, 290, 584);
    TW->SetRowSelect(true);
    TW->SetHideSelection(false);
    TW->SetShowRoot(false);
    // A long label scrolls sideways instead of being cut short.
    TW->header()->setStretchLastSection(false);
    TW->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    TW->OnChange = [this](QObject*, TTreeNode*) {
        if (!treeQuiet_)
            TWChange();
    };
    TW->OnClick = [this](QObject*) {
        if (!treeQuiet_)
            TWClick();
    };

    PopupMenu1 = new TPopupMenu(this);
    CopyVariable1 = PopupMenu1->Add(QString(), [this](QObject*) { CopyVariable1Click(); });
    PasteVariable1 = PopupMenu1->Add(QString(), [this](QObject*) { PasteVariable1Click(); });
    PopupMenu1->Add(QStringLiteral("-"));
    CopyNode1 = PopupMenu1->Add(QString(), [this](QObject*) { CopyNode1Click(); });
    PasteNode1 = PopupMenu1->Add(QString(), [this](QObject*) { PasteNode1Click(); });
    PopupMenu1->Add(QStringLiteral("-"));
    DeleteItem1 = PopupMenu1->Add(QString(), [this](QObject*) { DeleteItem1Click(); });
    TW->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(TW, &QWidget::customContextMenuRequested, TW, [this](const QPoint& at) {
        const QPoint global = TW->viewport()->mapToGlobal(at);
        PopupMenu1->Popup(global.x(), global.y());
    });

    ExPageControl1 = new TExPageControl(this);
    ExPageControl1->SetName(QStringLiteral("ExPageControl1"));
    ExPageControl1->SetBounds(306, 60, 520, 584);
    ExPageControl1->SetTabPosition(tpLeft);
    ExPageControl1->SetTabStyle(tsDotNet);
    ExPageControl1->SetMultiLine(true);
    TFont tabs;
    tabs.SetName(QStringLiteral("Verdana"));
    tabs.SetHeight(-13);
    ExPageControl1->SetFont(tabs);
    ExPageControl1->SetActiveFont(tabs);
    ExPageControl1->SetDefaultTabColor(kPanel);
    ExPageControl1->SetTabBackGroundColor(kPanel);
    ExPageControl1->SetActiveColor(clSkyBlue);
    ExPageControl1->TabMargin().SetTopMargin(10);
    ExPageControl1->TabMargin().SetRightMargin(20);
    ExPageControl1->SetTabOverlap(0);
    ExPageControl1->SetLowerActive(0);
    ExTabSheet1 = new TExTabSheet(ExPageControl1);
    ExTabSheet1->SetName(QStringLiteral("ExTabSheet1"));
    ExTabSheet2 = new TExTabSheet(ExPageControl1);
    ExTabSheet2->SetName(QStringLiteral("ExTabSheet2"));
    ExPageControl1->SetActivePage(ExTabSheet1);
    // The tabs are drawn larger; the pages' controls keep the window's font.
    ExTabSheet1->SetFont(Font());
    ExTabSheet2->SetFont(Font());

    Create_Node_Page();
    Create_Var_Page();
}

void TFMeter_Bus::Create_Node_Page()
{
    QWidget* page = ExTabSheet1;
    CB_Node_En = Make_Check(page, "CB_Node_En", kNodeLabel, 8, 250);
    L_Node_Desc = Make_Label(page, kNodeLabel, 30);
    E_New_Node_Desc = Make_Edit(page, "E_New_Node_Desc", kNodeControl - 80, 30, 270);
    L_MBus_Type = Make_Label(page, kNodeLabel, 53);
    CB_MBus_Type = Make_List(page, "CB_MBus_Type", kNodeControl, 53, 150, {});
    CB_MBus_Type->OnChange = [this](QObject*) { CB_MBus_TypeChange(); };

    RB_ID_Primary = new TRadioButton(page);
    RB_ID_Primary->SetName(QStringLiteral("RB_ID_Primary"));
    RB_ID_Primary->SetBounds(kNodeLabel, 77, 180, 21);
    RB_ID_Primary->SetChecked(true);
    E_New_Node_ID_Pri = Make_Edit(page, "E_New_Node_ID_Pri", kNodeControl, 77, 100);
    RB_ID_Secondary = new TRadioButton(page);
    RB_ID_Secondary->SetName(QStringLiteral("RB_ID_Secondary"));
    RB_ID_Secondary->SetBounds(kNodeLabel, 101, 180, 21);
    E_New_Node_ID_Sec = Make_Edit(page, "E_New_Node_ID_Sec", kNodeControl, 101, 100);
    E_New_Node_ID_Pri->SetText(QStringLiteral("1"));
    E_New_Node_ID_Sec->SetText(QStringLiteral("1"));
    CB_Node_State = Make_Check(page, "CB_Node_State", kNodeLabel, 125, 180);
    E_Node_State = Make_Edit(page, "E_Node_State", kNodeControl, 125, 100);
    CB_Ident_Num = Make_Check(page, "CB_Ident_Num", kNodeLabel, 149, 180);
    E_Iden = Make_Edit(page, "E_Iden", kNodeControl, 149, 100);
    CB_BCDtoINT_IN = Make_Check(page, "CB_BCDtoINT_IN", kNodeLabel, 173, 320);
    L_Swap_IN = Make_Label(page, kNodeLabel, 197);
    CB_Swap_IN = Make_List(page, "CB_Swap_IN", kNodeControl, 197, 100, MBus_Swap_Ident_List());
    CB_SND_NKE = Make_Check(page, "CB_SND_NKE", kNodeLabel, 221, 250);
    CB_Reset_App = Make_Check(page, "CB_Reset_App", kNodeLabel, 245, 250);
    L_Var_Type = Make_Label(page, kNodeLabel, 269);
    CB_Var_Type = Make_List(page, "CB_Var_Type", kNodeControl, 269, 100, MBus_Var_List_Type_List());
    L_Cut_After = Make_Label(page, kNodeLabel, 293);
    CB_Cut_After = Make_List(page, "CB_Cut_After", kNodeControl, 293, 60, {});
    L_Frames = Make_Label(page, kNodeControl + 66, 293);
    CB_Manu_Spec_Data = Make_Check(page, "CB_Manu_Spec_Data", kNodeLabel, 317, 190);
    E_Manu_Spec_Data = Make_Edit(page, "E_Manu_Spec_Data", kNodeControl, 317, 100);
    L_MSD_Length = Make_Label(page, kNodeLabel + 18, 341);
    E_MSD_Length = Make_Edit(page, "E_MSD_Length", kNodeControl, 341, 100);
    L_MSD_Offset = Make_Label(page, kNodeLabel + 18, 365);
    E_MSD_Offset = Make_Edit(page, "E_MSD_Offset", kNodeControl, 365, 100);
    CB_Access_Number = Make_Check(page, "CB_Access_Number", kNodeLabel, 392, 180);
    E_Access_Number = Make_Edit(page, "E_Access_Number", kNodeControl, 392, 100);
    for (TEdit* e : {E_Node_State, E_Iden, E_Manu_Spec_Data, E_MSD_Length, E_MSD_Offset, E_Access_Number})
        e->SetText(QStringLiteral("0"));

    // The wireless rows, shown in place of the wired ones.
    P_wMBus_Node = new TPanel(page);
    P_wMBus_Node->SetName(QStringLiteral("P_wMBus_Node"));
    P_wMBus_Node->SetBevelOuter(bvNone);
    P_wMBus_Node->SetBounds(0, 77, 400, 384);
    QWidget* w = P_wMBus_Node;
    L_wMBus_ManID = Make_Label(w, kNodeLabel, 0);
    E_wMBus_ManID = Make_Edit(w, "E_wMBus_ManID", kNodeControl, 0, 100);
    L_wMBus_Add = Make_Label(w, kNodeLabel, 24);
    E_wMBus_Add = Make_Edit(w, "E_wMBus_Add", kNodeControl, 24, 100);
    L_wMBus_Ver = Make_Label(w, kNodeLabel, 48);
    E_wMBus_Ver = Make_Edit(w, "E_wMBus_Ver", kNodeControl, 48, 100);
    L_wMBus_DevType = Make_Label(w, kNodeLabel, 72);
    E_wMBus_DevType = Make_Edit(w, "E_wMBus_DevType", kNodeControl, 72, 100);
    CB_wMBus_EnKey = Make_Check(w, "CB_wMBus_EnKey", kNodeLabel, 96, 180);
    for (int k = 0; k < 16; ++k) {
        const int left = kNodeLabel + (k % 4) * 96;
        const int top = 120 + (k / 4) * 24;
        L_wMBus_K[static_cast<size_t>(k)] = Make_Label(w, left, top);
        E_wMBus_K[static_cast<size_t>(k)] = Make_Edit(w, "", left + 48, top, 40);
        E_wMBus_K[static_cast<size_t>(k)]->SetName(QStringLiteral("E_wMBus_K%1").arg(k + 1));
    }
    CB_wMBus_Node_State = Make_Check(w, "CB_wMBus_Node_State", kNodeLabel, 216, 180);
    E_wMBus_NodeState = Make_Edit(w, "E_wMBus_NodeState", kNodeControl, 216, 100);
    CB_wMBus_Ident_Num = Make_Check(w, "CB_wMBus_Ident_Num", kNodeLabel, 240, 180);
    E_wMBus_Ident = Make_Edit(w, "E_wMBus_Ident", kNodeControl, 240, 100);
    CB_wMBus_RSSI = Make_Check(w, "CB_wMBus_RSSI", kNodeLabel, 264, 180);
    E_wMBus_RSSI = Make_Edit(w, "E_wMBus_RSSI", kNodeControl, 264, 100);
    CB_wMBus_Access_Number = Make_Check(w, "CB_wMBus_Access_Number", kNodeLabel, 288, 180);
    E_wMBus_Access_Number = Make_Edit(w, "E_wMBus_Access_Number", kNodeControl, 288, 100);
    CB_wMBus_Conv_BCD = Make_Check(w, "CB_wMBus_Conv_BCD", kNodeLabel, 312, 320);
    L_wMBus_Swap_Ident = Make_Label(w, kNodeLabel, 336);
    CB_wMBus_Swap_Ident = Make_List(w, "CB_wMBus_Swap_Ident", kNodeControl, 336, 100, MBus_Swap_Ident_List());
    L_wMBus_VarList = Make_Label(w, kNodeLabel, 360);
    CB_wMBus_VarList = Make_List(w, "CB_wMBus_VarList", kNodeControl, 360, 100, MBus_Var_List_Type_List());
    for (TEdit* e : {E_wMBus_NodeState, E_wMBus_Ident, E_wMBus_RSSI, E_wMBus_Access_Number})
        e->SetText(QStringLiteral("0"));
    for (TComboBox* c : {CB_Swap_IN, CB_Var_Type, CB_wMBus_Swap_Ident, CB_wMBus_VarList})
        c->SetItemIndex(0);

    btn_Add_Node = new TLbButton(page);
    btn_Add_Node->SetName(QStringLiteral("btn_Add_Node"));
    btn_Add_Node->SetBounds(kNodeControl, 415, 150, 28);
    btn_Add_Node->OnClick = [this](QObject*) { btn_Add_NodeClick(); };
}

void TFMeter_Bus::Create_Var_Page()
{
    QWidget* page = ExTabSheet2;
    CB_Var_En = Make_Check(page, "CB_Var_En", kVarLabel, 8, 250);
    CB_Var_En->SetChecked(true);
    L_Var_Desc = Make_Label(page, kVarLabel, 30);
    E_New_Var_Desc = Make_Edit(page, "E_New_Var_Desc", kVarControl, 30, 250);
    L_Var_ToD = Make_Label(page, kVarLabel, 56);
    CB_Var_ToD = Make_List(page, "CB_Var_ToD", kVarControl, 56, 250, MBus_Type_Of_Data_List());
    L_VIF_ASCII = Make_Label(page, kVarLabel, 80);
    E_VIF_ASCII = Make_Edit(page, "E_VIF_ASCII", kVarControl, 80, 250);
    L_Var_FF = Make_Label(page, kVarLabel, 104);
    CB_Var_FF = Make_List(page, "CB_Var_FF", kVarControl, 104, 250, MBus_Function_List());
    L_Var_Dim = Make_Label(page, kVarLabel, 128);
    CB_Var_Dim = Make_List(page, "CB_Var_Dim", kVarControl, 128, 150, MBus_Dimension_List());
    L_Length = Make_Label(page, kVarLabel, 152);
    E_Length = Make_Edit(page, "E_Length", kVarControl, 152, 100);
    L_Var_Unit = Make_Label(page, kVarLabel, 176);
    CB_Var_Unit = Make_List(page, "CB_Var_Unit", kVarControl, 176, 100, MBus_Unit_List());
    L_Sto_Num = Make_Label(page, kVarLabel, 200);
    E_Sto_Num = Make_Edit(page, "E_Sto_Num", kVarControl, 200, 100);
    L_Tariff = Make_Label(page, kVarLabel, 224);
    E_Tariff = Make_Edit(page, "E_Tariff", kVarControl, 224, 100);
    L_VIFE = Make_Label(page, kVarLabel, 248);
    CB_VIFE = Make_List(page, "CB_VIFE", kVarControl, 248, 250, MBus_VIFE_List());
    L_Var_MR = Make_Label(page, kVarLabel, 272);
    E_Var_MR = Make_Edit(page, "E_Var_MR", kVarControl, 272, 100);

    GroupBox4 = new TGroupBox(page);
    GroupBox4->SetName(QStringLiteral("GroupBox4"));
    GroupBox4->SetBounds(kVarLabel, 304, 370, 88);
    CB_TP_MR = Make_Check(GroupBox4, "CB_TP_MR", 8, 18, 300);
    TLabel** heads[] = {&L_TP_Year, &L_TP_Month, &L_TP_Day, &L_TP_Hour, &L_TP_Min, &L_TP_Sec};
    TLabel** values[] = {nullptr, &ST_TP_Month, &ST_TP_Day, &ST_TP_Hour, &ST_TP_Min, &ST_TP_Sec};
    for (int k = 0; k < 6; ++k) {
        const int left = 8 + k * 58;
        *heads[k] = Make_Label(GroupBox4, left, 40);
        if (values[k]) {
            *values[k] = Make_Label(GroupBox4, left + 4, 58);
            (*values[k])->SetTransparent(false);
        }
    }
    E_TP_Year = Make_Edit(GroupBox4, "E_TP_Year", 8, 58, 52);
    E_TP_Year->OnChange = [this](QObject*) { E_TP_YearChange(); };

    CB_BCDtoINT = Make_Check(page, "CB_BCDtoINT", kVarLabel, 400, 250);
    CB_Float = Make_Check(page, "CB_Float", kVarLabel, 424, 160);
    CB_Force_Int32 = Make_Check(page, "CB_Force_Int32", kVarControl + 60, 424, 160);
    L_PostOpe = Make_Label(page, kVarLabel, 448);
    CB_PostOpe = Make_List(page, "CB_PostOpe", kVarControl, 448, 150, MBus_Post_Operation_List());
    L_Position = Make_Label(page, kVarLabel, 304);
    E_Position = Make_Edit(page, "E_Position", kVarControl, 304, 100);
    btn_Add_Var = new TLbButton(page);
    btn_Add_Var->SetName(QStringLiteral("btn_Add_Var"));
    btn_Add_Var->SetBounds(kVarControl, 471, 150, 28);
    btn_Add_Var->OnClick = [this](QObject*) { btn_Add_VarClick(); };

    CB_Var_ToD->OnChange = [this](QObject*) { CB_Var_ToDChange(); };
    CB_VIFE->OnChange = [this](QObject*) { CB_Var_ToDChange(); };
    CB_Var_Dim->OnChange = [this](QObject*) { CB_Var_DimChange(); };
    Reset_Var_Page();
}

// ---------------------------------------------------------------- choices

void TFMeter_Bus::Show_Choice(TComboBox* box, int value)
{
    Show_Choice(box, value, (value >= 0 && value < box->ItemCount()) ? value : -1);
}

void TFMeter_Bus::Show_Choice(TComboBox* box, int value, int shown)
{
    box->SetItemIndex(shown);
    box->setProperty("heldValue", value);
    box->setProperty("heldIndex", box->ItemIndex());
}

int TFMeter_Bus::Take_Choice(const TComboBox* box)
{
    const QVariant held = box->property("heldValue");
    if (held.isValid() && box->property("heldIndex").toInt() == box->ItemIndex())
        return held.toInt();
    return box->ItemIndex();
}

int TFMeter_Bus::Dropped_Width(const TComboBox* box, int extra)
{
    const QFontMetrics fm(box->view()->font());
    int widest = 0;
    for (const QString& item : box->Items())
        widest = std::max(widest, fm.horizontalAdvance(item));
    int width = widest + 12 + extra;
    if (box->ItemCount() > box->DropDownCount())
        width += box->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return width;
}

void TFMeter_Bus::Select_Width_ComboBox(TComboBox* box, int extra)
{
    const int width = Dropped_Width(box, extra);
    const int scroll = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (width > box->Width() - scroll)
        box->view()->setMinimumWidth(width);
    new Right_Aligned_Popup(box);  // owned by the box
}

// ---------------------------------------------------------------- texts

void TFMeter_Bus::Set_Lang()
{
    SetCaption(L(1700));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(L(1701));
    Btn_OK->SetCaption(L(1702));
    Btn_Cancel->SetCaption(L(1703));
    Btn_ImportNet->SetCaption(L(1704));
    ExTabSheet1->SetCaption(L(1705));
    ExTabSheet2->SetCaption(L(1706));
    CB_Node_En->SetCaption(L(1707));
    L_Node_Desc->SetCaption(L(1708));
    RB_ID_Primary->SetCaption(L(1709));
    RB_ID_Secondary->SetCaption(L(1710));
    CB_Node_State->SetCaption(L(1711));
    CB_Ident_Num->SetCaption(L(1712));
    CB_BCDtoINT_IN->SetCaption(L(1713));
    L_Swap_IN->SetCaption(L(1714));
    CB_SND_NKE->SetCaption(L(1715));
    CB_Reset_App->SetCaption(L(1716));
    L_Var_Type->SetCaption(L(1717));
    L_Cut_After->SetCaption(L(1718));
    L_Frames->SetCaption(L(1719));
    CB_Manu_Spec_Data->SetCaption(L(1720));
    L_MSD_Length->SetCaption(L(1721));
    L_MSD_Offset->SetCaption(L(1722));
    btn_Add_Node->SetCaption(L(1723));
    CB_Var_En->SetCaption(L(1725));
    L_Var_Desc->SetCaption(L(1726));
    L_Var_ToD->SetCaption(L(1727));
    L_VIF_ASCII->SetCaption(L(1728));
    L_Var_FF->SetCaption(L(1729));
    L_Var_Dim->SetCaption(L(1730));
    L_Length->SetCaption(L(1731));
    L_Var_Unit->SetCaption(L(1732));
    L_Var_MR->SetCaption(L(1733));
    L_Sto_Num->SetCaption(L(1735));
    L_Tariff->SetCaption(L(1736));
    L_VIFE->SetCaption(L(1737));
    GroupBox4->SetCaption(L(1738));
    CB_TP_MR->SetCaption(L(1739));
    L_TP_Year->SetCaption(L(1740));
    L_TP_Month->SetCaption(L(1741));
    L_TP_Day->SetCaption(L(1742));
    L_TP_Hour->SetCaption(L(1743));
    L_TP_Min->SetCaption(L(1744));
    L_TP_Sec->SetCaption(QStringLiteral("SS"));
    CB_BCDtoINT->SetCaption(L(1745));
    CB_Float->SetCaption(L(1746));
    CB_Force_Int32->SetCaption(QStringLiteral("Force Integer 32"));
    L_Position->SetCaption(L(1747));
    btn_Add_Var->SetCaption(L(1748));
    L_MBus_Type->SetCaption(L(1750));
    L_wMBus_ManID->SetCaption(L(1753));
    L_wMBus_Add->SetCaption(L(1754));
    L_wMBus_Ver->SetCaption(L(1755));
    L_wMBus_DevType->SetCaption(L(1756));
    CB_wMBus_EnKey->SetCaption(L(1757));
    for (int k = 0; k < 16; ++k)
        L_wMBus_K[static_cast<size_t>(k)]->SetCaption(L(1758 + k));
    CB_wMBus_Node_State->SetCaption(L(1774));
    CB_wMBus_Ident_Num->SetCaption(L(1775));
    CB_wMBus_RSSI->SetCaption(QStringLiteral("RSSI"));
    CB_wMBus_Conv_BCD->SetCaption(L(1776));
    L_wMBus_Swap_Ident->SetCaption(L(1777));
    L_wMBus_VarList->SetCaption(L(1778));
    L_PostOpe->SetCaption(L(1779));
    CopyVariable1->SetCaption(L(1780));
    PasteVariable1->SetCaption(L(1781));
    CopyNode1->SetCaption(L(1782));
    PasteNode1->SetCaption(L(1783));
    DeleteItem1->SetCaption(L(1784));
    CB_Access_Number->SetCaption(L(1785));
    CB_wMBus_Access_Number->SetCaption(L(1786));
    CB_MBus_Type->SetItems({L(1751), L(1752)});
    Show_Choice(CB_MBus_Type, MBus_Type_Wired);
}

// ---------------------------------------------------------------- layout

void TFMeter_Bus::Nodes_Move_Elements()
{
    CB_MBus_TypeChange();
}

void TFMeter_Bus::CB_MBus_TypeChange()
{
    const bool wired = Take_Choice(CB_MBus_Type) == MBus_Type_Wired;
    QWidget* const wiredRows[] = {RB_ID_Primary, E_New_Node_ID_Pri, RB_ID_Secondary, E_New_Node_ID_Sec, CB_Node_State,
                                  E_Node_State, CB_Ident_Num, E_Iden, CB_BCDtoINT_IN, L_Swap_IN, CB_Swap_IN, CB_SND_NKE,
                                  CB_Reset_App, L_Var_Type, CB_Var_Type, L_Cut_After, CB_Cut_After, L_Frames,
                                  CB_Access_Number, E_Access_Number};
    for (QWidget* w : wiredRows)
        w->setVisible(wired);
    P_wMBus_Node->SetVisible(!wired);
    // The manufacturer-specific rows follow the kind's own rows.
    const int msTop = wired ? 317 : 466;
    CB_Manu_Spec_Data->SetTop(msTop);
    E_Manu_Spec_Data->SetTop(msTop);
    L_MSD_Length->SetTop(msTop + 24 + 3);
    E_MSD_Length->SetTop(msTop + 24);
    L_MSD_Offset->SetTop(msTop + 48 + 3);
    E_MSD_Offset->SetTop(msTop + 48);
    btn_Add_Node->SetTop(wired ? 415 : 537);
}

void TFMeter_Bus::Sposta_Oggetti_Var(int listType)
{
    const bool byPosition = listType == MBus_Var_List_By_Position;
    QWidget* const byTypeOnly[] = {L_Var_ToD, CB_Var_ToD, L_VIF_ASCII, E_VIF_ASCII, L_Var_FF, CB_Var_FF,
                                   L_Var_Unit, CB_Var_Unit, L_Sto_Num, E_Sto_Num, L_Tariff, E_Tariff, L_VIFE, CB_VIFE};
    for (QWidget* w : byTypeOnly)
        w->setVisible(!byPosition);
    L_Position->setVisible(byPosition);
    E_Position->setVisible(byPosition);
    auto row = [](TLabel* label, QWidget* control, int top) {
        if (label)
            label->SetTop(top + 3);
        control->move(control->x(), top);
    };
    if (!byPosition) {
        row(L_Var_Dim, CB_Var_Dim, 128);
        row(L_Length, E_Length, 152);
        row(L_Var_MR, E_Var_MR, 272);
        GroupBox4->SetTop(304);
        CB_BCDtoINT->SetTop(400);
        CB_Float->SetTop(424);
        CB_Force_Int32->SetTop(424);
        row(L_PostOpe, CB_PostOpe, 448);
        btn_Add_Var->SetTop(471);
    } else {
        row(L_Var_Dim, CB_Var_Dim, 56);
        row(L_Length, E_Length, 80);
        row(L_Var_MR, E_Var_MR, 104);
        GroupBox4->SetTop(136);
        CB_BCDtoINT->SetTop(232);
        CB_Float->SetTop(256);
        CB_Force_Int32->SetTop(256);
        row(L_PostOpe, CB_PostOpe, 280);
        row(L_Position, E_Position, 304);
        btn_Add_Var->SetTop(327);
    }
}

void TFMeter_Bus::CB_Var_ToDChange()
{
    E_VIF_ASCII->SetEnabled(Take_Choice(CB_Var_ToD) == MBus_ToD_VIF_ASCII);
    if (IND_NODO >= 0)
        GroupBox4->SetEnabled(Node_Selected_List_By_Position() || Take_Choice(CB_Var_ToD) == MBus_ToD_Time_Point);
}

void TFMeter_Bus::CB_Var_DimChange()
{
    if (Take_Choice(CB_Var_Dim) == MBus_Dim_Variable_Length) {
        E_Length->SetEnabled(true);
        CB_Float->SetChecked(false);
        CB_Float->SetEnabled(false);
    } else {
        E_Length->SetEnabled(false);
        CB_Float->SetEnabled(true);
    }
}

void TFMeter_Bus::E_TP_YearChange()
{
    const int a = NumberOr(E_TP_Year->Text(), -1);
    TLabel* const texts[] = {ST_TP_Month, ST_TP_Day, ST_TP_Hour, ST_TP_Min, ST_TP_Sec};
    for (int k = 0; k < 5; ++k)
        texts[k]->SetCaption(a <= 0 ? QStringLiteral("0") : Num(int64_t(a) + k + 1));
}

bool TFMeter_Bus::Node_Selected_List_By_Position() const
{
    return IND_NODO >= 0 && IND_NODO < static_cast<int>(Nodi_List.size())
           && Nodi_List[static_cast<size_t>(IND_NODO)].Var_List_Type == MBus_Var_List_By_Position;
}

// ---------------------------------------------------------------- showing

void TFMeter_Bus::Clear_Tree()
{
    treeQuiet_ = true;
    TW->Clear();
    NODE_ORIG = TW->AddChild(nullptr, QStringLiteral("M-Bus Network"));
    treeQuiet_ = false;
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
}

void TFMeter_Bus::Add_Node_Item(const TNodo& n)
{
    TTreeNode* item = TW->AddChild(NODE_ORIG, Node_Label(n));
    for (const TVariabile& v : n.Var_List)
        TW->AddChild(item, Variable_Label(v));
}

void TFMeter_Bus::Read_Network()
{
    Clear_Tree();
    MBus_Read_Result read = Read_MBus_Network(FileName_M_Bus);
    Load_Failed = !read.Ok;
    if (!read.Ok)
        ShowMessage(MessageKind::Error, read.Error);
    Nodi_List = std::move(read.Nodes);
    treeQuiet_ = true;
    for (const TNodo& n : Nodi_List)
        Add_Node_Item(n);
    NODE_ORIG->SetExpanded(true);
    TW->SetSelected(nullptr);
    treeQuiet_ = false;
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
}

void TFMeter_Bus::FormShow()
{
    CB_Cut_After->SetItems(MBus_Cut_After_List());
    Show_Choice(CB_Cut_After, 0);
    Read_Network();
    // Nothing is selected now: the page buttons say so ("ADD NODE").
    Aggiorna_Label();
    Sposta_Oggetti_Var(0);
    PasteVariable1->SetEnabled(Copy_Var != nullptr);
    PasteNode1->SetEnabled(Copy_Node != nullptr);
    CB_MBus_TypeChange();
    Is_Change = false;
}

// ---------------------------------------------------------------- selection

void TFMeter_Bus::TWChange() { TWClick(); }

void TFMeter_Bus::TWClick()
{
    NODE_ID = SELECT_NODE = nullptr;
    IND_NODO = IND_VAR = -1;
    TTreeNode* sel = TW->Selected();
    if (sel && NODE_ORIG && sel != NODE_ORIG) {
        // The item's place gives the indexes; one the list does not have is no selection.
        if (sel->Parent() == NODE_ORIG) {
            const int n = sel->Index();
            if (n >= 0 && n < static_cast<int>(Nodi_List.size())) {
                NODE_ID = SELECT_NODE = sel;
                IND_NODO = n;
            }
        } else if (sel->Parent() && sel->Parent()->Parent() == NODE_ORIG) {
            const int n = sel->Parent()->Index();
            const int v = sel->Index();
            if (n >= 0 && n < static_cast<int>(Nodi_List.size()) && v >= 0
                && v < static_cast<int>(Nodi_List[static_cast<size_t>(n)].Var_List.size())) {
                NODE_ID = sel->Parent();
                SELECT_NODE = sel;
                IND_NODO = n;
                IND_VAR = v;
            }
        }
    }
    Aggiorna_Label();
    CB_Var_ToDChange();
    CB_Var_DimChange();
    if (IND_VAR >= 0)
        ExPageControl1->SetActivePage(ExTabSheet2);
    else if (IND_NODO >= 0)
        ExPageControl1->SetActivePage(ExTabSheet1);
    // The tabs are drawn larger; the pages' controls keep the window's font.
    ExTabSheet1->SetFont(Font());
    ExTabSheet2->SetFont(Font());
}

void TFMeter_Bus::Show_Node(const TNodo& n)
{
    CB_Node_En->SetChecked(n.Enable == 1);
    E_New_Node_Desc->SetText(n.Description);
    Show_Choice(CB_MBus_Type, n.MBus_Type);
    RB_ID_Primary->SetChecked(!n.By_Secondary());
    RB_ID_Secondary->SetChecked(n.By_Secondary());
    E_New_Node_ID_Pri->SetText(Num(n.Node_Pri));
    E_New_Node_ID_Sec->SetText(n.Secondary_Text());
    CB_Node_State->SetChecked(n.Enable_NS == 1);
    CB_wMBus_Node_State->SetChecked(n.Enable_NS == 1);
    E_Node_State->SetText(Num(n.Node_State));
    E_wMBus_NodeState->SetText(Num(n.Node_State));
    CB_Ident_Num->SetChecked(n.Enable_IN == 1);
    CB_wMBus_Ident_Num->SetChecked(n.Enable_IN == 1);
    E_Iden->SetText(Num(n.Ident_Num));
    E_wMBus_Ident->SetText(Num(n.Ident_Num));
    CB_BCDtoINT_IN->SetChecked(n.BCDtoINT_IN == 1);
    CB_wMBus_Conv_BCD->SetChecked(n.BCDtoINT_IN == 1);
    Show_Choice(CB_Swap_IN, n.Swap_Ident);
    Show_Choice(CB_wMBus_Swap_Ident, n.Swap_Ident);
    CB_SND_NKE->SetChecked(n.Send_SNK == 1);
    CB_Reset_App->SetChecked(n.Reset_App == 1);
    Show_Choice(CB_Var_Type, n.Var_List_Type);
    Show_Choice(CB_wMBus_VarList, n.Var_List_Type);
    Show_Choice(CB_Cut_After, n.Cut_After);
    CB_Manu_Spec_Data->SetChecked(n.Enable_MS == 1);
    E_Manu_Spec_Data->SetText(Num(n.Manufacturer_Spec));
    E_MSD_Length->SetText(Num(n.MSD_Length));
    E_MSD_Offset->SetText(Num(n.MSD_Offset));
    CB_Access_Number->SetChecked(n.Enable_AN == 1);
    CB_wMBus_Access_Number->SetChecked(n.Enable_AN == 1);
    E_Access_Number->SetText(Num(n.Access_Number));
    E_wMBus_Access_Number->SetText(Num(n.Access_Number));
    E_wMBus_ManID->SetText(n.wMBus_ManID);
    E_wMBus_Add->SetText(n.wMBus_Add);
    E_wMBus_Ver->SetText(n.wMBus_Ver);
    E_wMBus_DevType->SetText(n.wMBus_DevType);
    CB_wMBus_EnKey->SetChecked(n.wMBus_En_Key == 1);
    for (size_t k = 0; k < 16; ++k)
        E_wMBus_K[k]->SetText(n.wMBus_Key[k]);
    CB_wMBus_RSSI->SetChecked(n.Enable_RSSI == 1);
    E_wMBus_RSSI->SetText(Num(n.RSSI));
}

void TFMeter_Bus::Reset_Var_Page()
{
    CB_Var_En->SetChecked(true);
    E_New_Var_Desc->SetText(QString());
    for (TComboBox* c : {CB_Var_ToD, CB_Var_FF, CB_Var_Dim, CB_Var_Unit, CB_VIFE, CB_PostOpe})
        Show_Choice(c, 0);
    E_Var_MR->SetText(QString());
    E_Sto_Num->SetText(QStringLiteral("0"));
    E_Tariff->SetText(QStringLiteral("0"));
    E_Length->SetText(QStringLiteral("0"));
    E_VIF_ASCII->SetText(QString());
    for (TCheckBox* c : {CB_TP_MR, CB_BCDtoINT, CB_Float, CB_Force_Int32})
        c->SetChecked(false);
    E_TP_Year->SetText(QStringLiteral("1"));
    E_TP_YearChange();
    E_Position->SetText(QStringLiteral("1"));
}

void TFMeter_Bus::Show_Variable(const TVariabile& v)
{
    CB_Var_En->SetChecked(v.Enable);
    E_New_Var_Desc->SetText(v.Description);
    Show_Choice(CB_Var_ToD, v.Type_Of_Data);
    Show_Choice(CB_Var_FF, v.Function_Field);
    Show_Choice(CB_Var_Dim, v.Dimension);
    Show_Choice(CB_Var_Unit, v.Unita);
    // 255 means "Not Selected" too.
    Show_Choice(CB_VIFE, v.VIFE, v.VIFE == MBus_VIFE_None ? 0 : (v.VIFE < CB_VIFE->ItemCount() ? v.VIFE : -1));
    Show_Choice(CB_PostOpe, v.Post_Operation);
    E_Var_MR->SetText(Num(v.PositionData));
    E_Sto_Num->SetText(Num(v.Storage_Number));
    E_Tariff->SetText(Num(v.Tariff));
    E_Length->SetText(Num(v.Length));
    E_VIF_ASCII->SetText(v.VIF_ASCII);
    CB_TP_MR->SetChecked(v.TP_Mod_Regs);
    CB_BCDtoINT->SetChecked(v.BCDtoINT);
    CB_Float->SetChecked(v.Conv_Float);
    CB_Force_Int32->SetChecked(v.Force_Int32);
    E_TP_Year->SetText(Num(v.TP_Mod_Year));
    E_TP_YearChange();
    E_Position->SetText(Num(v.Position));
}

void TFMeter_Bus::Aggiorna_Label()
{
    if (IND_NODO < 0) {
        btn_Add_Node->SetCaption(L(1723));
        btn_Add_Var->SetCaption(L(1748));
    } else {
        const TNodo& n = Nodi_List[static_cast<size_t>(IND_NODO)];
        Show_Node(n);
        if (IND_VAR < 0) {
            btn_Add_Node->SetCaption(L(1724));
            btn_Add_Var->SetCaption(L(1748));
            Reset_Var_Page();
        } else {
            btn_Add_Node->SetCaption(L(1723));
            btn_Add_Var->SetCaption(L(1749));
            Show_Variable(n.Var_List[static_cast<size_t>(IND_VAR)]);
        }
        Sposta_Oggetti_Var(n.Var_List_Type);
    }
    CB_MBus_TypeChange();
}

// ---------------------------------------------------------------- pages

TNode_Page TFMeter_Bus::Node_Page() const
{
    TNode_Page p;
    p.Enable = CB_Node_En->Checked();
    p.Description = E_New_Node_Desc->Text();
    p.MBus_Type = Take_Choice(CB_MBus_Type);
    p.ID_Primary = RB_ID_Primary->Checked();
    p.ID_Pri = E_New_Node_ID_Pri->Text();
    p.ID_Sec = E_New_Node_ID_Sec->Text();
    p.Node_State_On = CB_Node_State->Checked();
    p.Node_State = E_Node_State->Text();
    p.Ident_Num_On = CB_Ident_Num->Checked();
    p.Ident_Num = E_Iden->Text();
    p.BCDtoINT_IN = CB_BCDtoINT_IN->Checked();
    p.Swap_IN = Take_Choice(CB_Swap_IN);
    p.SND_NKE = CB_SND_NKE->Checked();
    p.Reset_App = CB_Reset_App->Checked();
    p.Var_List_Type = Take_Choice(CB_Var_Type);
    p.Cut_After = Take_Choice(CB_Cut_After);
    p.Access_Number_On = CB_Access_Number->Checked();
    p.Access_Number = E_Access_Number->Text();
    p.MS_On = CB_Manu_Spec_Data->Checked();
    p.MS = E_Manu_Spec_Data->Text();
    p.MSD_Length = E_MSD_Length->Text();
    p.MSD_Offset = E_MSD_Offset->Text();
    p.wMBus_ManID = E_wMBus_ManID->Text();
    p.wMBus_Add = E_wMBus_Add->Text();
    p.wMBus_Ver = E_wMBus_Ver->Text();
    p.wMBus_DevType = E_wMBus_DevType->Text();
    p.wMBus_En_Key = CB_wMBus_EnKey->Checked();
    for (size_t k = 0; k < 16; ++k)
        p.wMBus_Key[k] = E_wMBus_K[k]->Text();
    p.wNode_State_On = CB_wMBus_Node_State->Checked();
    p.wNode_State = E_wMBus_NodeState->Text();
    p.wIdent_Num_On = CB_wMBus_Ident_Num->Checked();
    p.wIdent_Num = E_wMBus_Ident->Text();
    p.RSSI_On = CB_wMBus_RSSI->Checked();
    p.RSSI = E_wMBus_RSSI->Text();
    p.wAccess_Number_On = CB_wMBus_Access_Number->Checked();
    p.wAccess_Number = E_wMBus_Access_Number->Text();
    p.wBCDtoINT_IN = CB_wMBus_Conv_BCD->Checked();
    p.wSwap_IN = Take_Choice(CB_wMBus_Swap_Ident);
    p.wVar_List_Type = Take_Choice(CB_wMBus_VarList);
    return p;
}

TVar_Page TFMeter_Bus::Var_Page() const
{
    TVar_Page p;
    p.Enable = CB_Var_En->Checked();
    p.Description = E_New_Var_Desc->Text();
    p.Type_Of_Data = Take_Choice(CB_Var_ToD);
    p.Function_Field = Take_Choice(CB_Var_FF);
    p.Dimension = Take_Choice(CB_Var_Dim);
    p.Unita = Take_Choice(CB_Var_Unit);
    p.VIFE = Take_Choice(CB_VIFE);
    p.Post_Operation = Take_Choice(CB_PostOpe);
    p.PositionData = E_Var_MR->Text();
    p.Storage_Number = E_Sto_Num->Text();
    p.Tariff = E_Tariff->Text();
    p.Length = E_Length->Text();
    p.VIF_ASCII = E_VIF_ASCII->Text();
    p.BCDtoINT = CB_BCDtoINT->Checked();
    p.Conv_Float = CB_Float->Checked();
    p.Force_Int32 = CB_Force_Int32->Checked();
    p.TP_Mod_Regs = CB_TP_MR->Checked();
    p.TP_Mod_Year = E_TP_Year->Text();
    p.Position = E_Position->Text();
    return p;
}

static TMBus_Selection Selection_Of(int node, int var) { return TMBus_Selection{node, var}; }

bool TFMeter_Bus::Controllo_Dati_New_Nodo()
{
    return ::Controllo_Dati_New_Nodo(Nodi_List, Selection_Of(IND_NODO, IND_VAR), Node_Page());
}

bool TFMeter_Bus::Controllo_Dati_New_Var(bool isNew)
{
    return ::Controllo_Dati_New_Var(Nodi_List, Selection_Of(IND_NODO, IND_VAR), Var_Page(), isNew);
}

bool TFMeter_Bus::Check_Node_ID(int address, int type)
{
    return ::Check_Node_ID(Nodi_List, Selection_Of(IND_NODO, IND_VAR), address, type);
}

bool TFMeter_Bus::Check_Node_ID2(int address, int type) { return ::Check_Node_ID2(Nodi_List, address, type); }

bool TFMeter_Bus::Check_Registers(int P, int S, bool isNew, int Y)
{
    return ::Check_Registers(Nodi_List, Selection_Of(IND_NODO, IND_VAR), P, S, isNew, Y);
}

// ---------------------------------------------------------------- page buttons

void TFMeter_Bus::btn_Add_NodeClick()
{
    const bool adding = btn_Add_Node->Caption() == L(1723);
    const bool changing = !adding && NODE_ID && IND_NODO >= 0 && IND_NODO < static_cast<int>(Nodi_List.size());
    if ((adding || changing) && Controllo_Dati_New_Nodo()) {
        try {
            // The node is built whole before the list or the tree see it.
            const TNodo base = changing ? Nodi_List[static_cast<size_t>(IND_NODO)] : TNodo();
            const TNodo node = Take_Node(Node_Page(), base);
            if (adding) {
                Nodi_List.push_back(node);
                TW->AddChild(NODE_ORIG, Node_Label(node));
            } else {
                Nodi_List[static_cast<size_t>(IND_NODO)] = node;
                NODE_ID->SetText(Node_Label(node));
            }
        } catch (const TConversion_Error& e) {
            ShowErrorBox(e.Text());
        }
    }
    NODE_ORIG->SetExpanded(true);
    Is_Change = true;
}

void TFMeter_Bus::btn_Add_VarClick()
{
    const bool adding = btn_Add_Var->Caption() == L(1748);
    const bool nodeOk = NODE_ID && IND_NODO >= 0 && IND_NODO < static_cast<int>(Nodi_List.size());
    const bool varOk = nodeOk && SELECT_NODE && IND_VAR >= 0
                       && IND_VAR < static_cast<int>(Nodi_List[static_cast<size_t>(IND_NODO)].Var_List.size());
    if ((adding ? nodeOk : varOk) && Controllo_Dati_New_Var(adding)) {
        try {
            const TVariabile var = Take_Variable(Var_Page());
            auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
            if (adding) {
                vars.push_back(var);
                TW->AddChild(NODE_ID, Variable_Label(var));
            } else {
                vars[static_cast<size_t>(IND_VAR)] = var;
                SELECT_NODE->SetText(Variable_Label(var));
            }
        } catch (const TConversion_Error& e) {
            ShowErrorBox(e.Text());
        }
    }
    NODE_ORIG->SetExpanded(true);
    Is_Change = true;
}

void TFMeter_Bus::btn_Delete_ItemClick()
{
    auto ask = [](int message) {
        return ShowMessage(MessageKind::Confirmation, L(message), MessageButtons::YesNo) == MessageAnswer::Yes;
    };
    if (IND_NODO < 0) {
        if (ask(1893)) {
            Clear_Tree();
            Nodi_List.clear();
            Is_Change = true;
            TWClick();
        }
    } else if (IND_VAR < 0) {
        if (ask(1894)) {
            const int n = IND_NODO;
            TTreeNode* item = NODE_ID;
            treeQuiet_ = true;
            Nodi_List.erase(Nodi_List.begin() + n);
            TW->DeleteNode(item);
            treeQuiet_ = false;
            TWClick();
            Is_Change = true;
        }
    } else {
        if (ask(1895)) {
            auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
            TTreeNode* item = SELECT_NODE;
            treeQuiet_ = true;
            vars.erase(vars.begin() + IND_VAR);
            TW->DeleteNode(item);
            treeQuiet_ = false;
            TWClick();
            Is_Change = true;
        }
    }
    TW->Invalidate();
}

// ---------------------------------------------------------------- copy and paste

void TFMeter_Bus::CopyVariable1Click()
{
    if (IND_NODO < 0 || IND_NODO >= static_cast<int>(Nodi_List.size())) {
        MBus_Error(1898);
        return;
    }
    const auto& vars = Nodi_List[static_cast<size_t>(IND_NODO)].Var_List;
    if (IND_VAR < 0 || IND_VAR >= static_cast<int>(vars.size())) {
        MBus_Error(1897);
        return;
    }
    Copy_Var = std::make_unique<TVariabile>(vars[static_cast<size_t>(IND_VAR)]);
    PasteVariable1->SetEnabled(true);
}

void TFMeter_Bus::PasteVariable1Click()
{
    if (!Copy_Var) {
        MBus_Error(1901);
        return;
    }
    if (IND_NODO < 0 || IND_NODO >= static_cast<int>(Nodi_List.size()) || !NODE_ID) {
        MBus_Error(1905);
        return;
    }
    if (!FNewIDNode)
        return;
    FNewIDNode->BuildNow();   // its fields are filled before it is shown
    FNewIDNode->Form_Type = 2;
    FNewIDNode->Pasted_Node = TNodo();
    FNewIDNode->Fill_Grid({*Copy_Var});
    if (FNewIDNode->ShowModal() != mrOk)
        return;
    const TPaste_Request r = FNewIDNode->Request();
    if (r.Vars.empty())
        return;
    TVariabile var = *Copy_Var;
    var.PositionData = NumberOr(r.Vars[0].P, var.PositionData);
    var.TP_Mod_Year = NumberOr(r.Vars[0].Y, var.TP_Mod_Year);
    Nodi_List[static_cast<size_t>(IND_NODO)].Var_List.push_back(var);
    TW->AddChild(NODE_ID, Variable_Label(var));
    Is_Change = true;
}

void TFMeter_Bus::CopyNode1Click()
{
    if (IND_NODO < 0) {
        MBus_Error(1899);
        return;
    }
    if (IND_NODO >= static_cast<int>(Nodi_List.size())) {
        MBus_Error(1900);
        return;
    }
    const TNodo& n = Nodi_List[static_cast<size_t>(IND_NODO)];
    TNodo copy = n;
    // The positions are copied; whether they are used is not.
    copy.Enable_NS = copy.Enable_IN = copy.Enable_MS = copy.Enable_AN = copy.Enable_RSSI = 0;
    Copy_Node = std::make_unique<TNodo>(std::move(copy));
    PasteNode1->SetEnabled(true);
}

void TFMeter_Bus::PasteNode1Click()
{
    if (!Copy_Node || !FNewIDNode)
        return;
    const TNodo& buffer = *Copy_Node;
    TFNewIDNode& d = *FNewIDNode;
    d.BuildNow();   // its fields are filled before it is shown
    d.Form_Type = buffer.Is_Wired() ? 1 : 3;
    d.Pasted_Node = buffer;
    d.RB_ID_Primary->SetChecked(!buffer.By_Secondary());
    d.RB_ID_Secondary->SetChecked(buffer.By_Secondary());
    d.E_New_Node_ID_Pri->SetText(Num(buffer.Node_Pri));
    d.E_New_Node_ID_Sec->SetText(buffer.Secondary_Text());
    d.E_wMBus_Add->SetText(buffer.wMBus_Add);
    d.E_MR_NodeState->SetText(Num(buffer.Node_State));
    d.E_MR_IdentNum->SetText(Num(buffer.Ident_Num));
    d.E_wMBus_RSSI->SetText(Num(buffer.RSSI));
    d.Fill_Grid(buffer.Var_List);
    if (d.ShowModal() != mrOk)
        return;
    const TPaste_Request r = d.Request();

    // Built whole first: the tree gets its item only with its node.
    TNodo node = buffer;
    if (buffer.Is_Wired()) {
        node.Node_Pri = NumberOr(r.ID_Pri, buffer.Node_Pri);
        if (const std::optional<int> sec = ParseNumber(r.ID_Sec)) {
            node.Node_Sec = *sec;
            node.Node_Sec_Text.clear();
        }
    } else {
        node.wMBus_Add = r.wMBus_Add;
    }
    node.Node_State = NumberOr(r.Node_State, buffer.Node_State);
    node.Ident_Num = NumberOr(r.Ident_Num, buffer.Ident_Num);
    node.RSSI = NumberOr(r.RSSI, buffer.RSSI);
    node.Node_ID_Type = r.ID_Primary ? 0 : 1;
    node.Enable_NS = node.Enable_IN = node.Enable_MS = node.Enable_AN = node.Enable_RSSI = 0;
    for (size_t k = 0; k < node.Var_List.size() && k < r.Vars.size(); ++k) {
        node.Var_List[k].PositionData = NumberOr(r.Vars[k].P, node.Var_List[k].PositionData);
        node.Var_List[k].TP_Mod_Year = NumberOr(r.Vars[k].Y, node.Var_List[k].TP_Mod_Year);
    }
    // The label shows the address the dialog gave, as the file will hold it.
    QString label;
    if (buffer.Is_Wired())
        label = QStringLiteral("ID ") + (r.ID_Primary ? Num(node.Node_Pri) : node.Secondary_Text());
    else
        label = QStringLiteral("wM-Bus Node - Address ") + node.wMBus_Add;
    label += QStringLiteral(" - ") + buffer.Description;
    treeQuiet_ = true;
    TTreeNode* item = TW->AddChild(NODE_ORIG, label);
    for (const TVariabile& v : node.Var_List)
        TW->AddChild(item, Variable_Label(v));
    treeQuiet_ = false;
    Nodi_List.push_back(std::move(node));
    Is_Change = true;
}

// ---------------------------------------------------------------- import, OK, Cancel

void TFMeter_Bus::Btn_ImportNetClick()
{
    FileDialogRequest request;
    request.filter = QStringLiteral("XML File (*.xml)");
    request.initialFolder = Project_Folder;
    const QString chosen = AskOpenFileName(request);
    if (chosen.isEmpty())
        return;
    // A file that cannot be read as a network changes nothing, on disk or here.
    const MBus_Read_Result read = Read_MBus_Network(chosen);
    if (!read.Ok) {
        ShowMessage(MessageKind::Error, read.Error);
        return;
    }
    if (FileExists(FileName_M_Bus)
        && ShowMessage(MessageKind::Confirmation, L(1906), MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (QFileInfo(chosen).canonicalFilePath() != QFileInfo(FileName_M_Bus).canonicalFilePath()) {
        QString error;
        if (!CopyFileTo(chosen, FileName_M_Bus, false, &error)) {
            ShowErrorBox(error);
            return;
        }
    }
    FormShow();
}

void TFMeter_Bus::LbButton2Click()
{
    // A file that could not be read stays as it is unless the user changed
    // the network shown in its place.
    if (!(Load_Failed && !Is_Change)) {
        // Whatever wrote the file: the whole network is checked before it is
        // written, and a fault keeps the window open.
        if (!Check_Network(Nodi_List))
            return;
        QString error;
        if (!Write_MBus_Network(Nodi_List, FileName_M_Bus, &error)) {
            ShowErrorBox(error);
            return;
        }
    }
    Clear_Tree();
    Nodi_List.clear();
    SetModalResult(mrOk);
}

void TFMeter_Bus::LbButton4Click()
{
    if (Is_Change
        && ShowMessage(MessageKind::Confirmation, L(1896), MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    SetModalResult(mrCancel);
}
