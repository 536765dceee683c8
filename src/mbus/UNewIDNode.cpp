#include "mbus/UNewIDNode.h"
#include "mbus/UMeter_Bus_Form.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/LbButton.h"

TFNewIDNode* FNewIDNode = nullptr;

using namespace platform;

namespace {

QString L(int n) { return Language_List.value(n); }

// The "Index" column, the only one the user edits, is tinted.
constexpr TColor kIndexTint = 0x00E1FFFF;
constexpr int kLabelWidth = 78;
constexpr int kIndexWidth = 64;
constexpr int kDescriptionWidth = 223;

} // namespace

TFNewIDNode::TFNewIDNode()
{
    SetName(QStringLiteral("FNewIDNode"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(432);
    SetClientHeight(536);
    SetCaption(L(2000));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;

        Panel1 = new TPanel(this);
        Panel1->SetName(QStringLiteral("Panel1"));
        Panel1->SetAlign(alTop);
        Panel1->SetBevelOuter(bvNone);
        Panel1->SetHeight(161);
        auto edit = [this](const char* name, int top) {
            auto* e = new TEdit(Panel1);
            e->SetName(QString::fromLatin1(name));
            e->SetBounds(300, top, 110, 21);
            e->SetText(QStringLiteral("1"));
            return e;
        };
        auto label = [this](int top) {
            auto* l = new TLabel(Panel1);
            l->SetLeft(16);
            l->SetTop(top + 3);
            l->SetTransparent(true);
            return l;
        };
        RB_ID_Primary = new TRadioButton(Panel1);
        RB_ID_Primary->SetName(QStringLiteral("RB_ID_Primary"));
        RB_ID_Primary->SetBounds(16, 8, 270, 21);
        RB_ID_Primary->SetChecked(true);
        E_New_Node_ID_Pri = edit("E_New_Node_ID_Pri", 8);
        RB_ID_Secondary = new TRadioButton(Panel1);
        RB_ID_Secondary->SetName(QStringLiteral("RB_ID_Secondary"));
        RB_ID_Secondary->SetBounds(16, 32, 270, 21);
        E_New_Node_ID_Sec = edit("E_New_Node_ID_Sec", 32);
        L_wMBus_Add = label(8);
        E_wMBus_Add = edit("E_wMBus_Add", 8);
        L_MR_NodeState = label(77);
        E_MR_NodeState = edit("E_MR_NodeState", 77);
        L_MR_IdentNum = label(101);
        E_MR_IdentNum = edit("E_MR_IdentNum", 101);
        L_wMBus_RSSI = label(125);
        E_wMBus_RSSI = edit("E_wMBus_RSSI", 125);

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(48);
        P_Button->SetBevelOuter(bvNone);
        Btn_OK = new TLbButton(P_Button);
        Btn_OK->SetName(QStringLiteral("Btn_OK"));
        Btn_OK->SetBounds(ClientWidth() - 200, 10, 90, 28);
        Btn_OK->OnClick = [this](QObject*) { LbButton2Click(); };
        Btn_Cancel = new TLbButton(P_Button);
        Btn_Cancel->SetName(QStringLiteral("Btn_Cancel"));
        Btn_Cancel->SetBounds(ClientWidth() - 102, 10, 90, 28);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);

        Panel3 = new TPanel(this);
        Panel3->SetName(QStringLiteral("Panel3"));
        Panel3->SetAlign(alClient);
        Panel3->SetBevelOuter(bvNone);
        L_MR_Var = new TLabel(Panel3);
        L_MR_Var->SetBounds(16, 4, 380, 14);
        L_MR_Var->SetTransparent(true);
        ESG_MR_Var = new VOruVizizaZezo(Panel3);
        ESG_MR_Var->SetName(QStringLiteral("ESG_MR_Var"));
        ESG_MR_Var->SetBounds(16, 24, 400, 240);
        ESG_MR_Var->SetAnchors(akLeft | akTop | akRight | akBottom);
        ESG_MR_Var->SetColCount(3);
        ESG_MR_Var->SetRowCount(2);
        ESG_MR_Var->SetFixedRows(1);
        ESG_MR_Var->SetFixedCols(1);
        ESG_MR_Var->SetOptions(ESG_MR_Var->Options() | goEditing);
        // Row labels longer than their column are cut, not wrapped out of sight.
        ESG_MR_Var->SetWordWrap(false);
        const struct
        {
            const char* header;
            int width;
            bool readOnly;
        } columns[] = {{"Desc. Reg.", kLabelWidth, true}, {"Index", kIndexWidth, false}, {"Description Variable", kDescriptionWidth, true}};
        for (int c = 0; c < 3; ++c) {
            TGridColumnItem* item = ESG_MR_Var->Columns().GetItem(c);
            item->SetHeader(QString::fromLatin1(columns[c].header));
            item->SetWidth(columns[c].width);
            item->SetReadOnly(columns[c].readOnly);
        }
        ESG_MR_Var->Columns().GetItem(1)->SetColor(kIndexTint);

        L_SW_Code->SetCaption(SW_Code);
        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFNewIDNode::~TFNewIDNode()
{
    if (FNewIDNode == this)
        FNewIDNode = nullptr;
}

void TFNewIDNode::Set_Lang()
{
    SetCaption(L(2000));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(L(2002));
    Btn_OK->SetCaption(L(2004));
    Btn_Cancel->SetCaption(L(2005));
    RB_ID_Primary->SetCaption(L(2006));
    RB_ID_Secondary->SetCaption(L(2007));
    L_MR_NodeState->SetCaption(L(2008));
    L_MR_IdentNum->SetCaption(L(2009));
    L_MR_Var->SetCaption(L(2010));
    L_wMBus_RSSI->SetCaption(L(2011));
    L_wMBus_Add->SetCaption(L(2012));
}

void TFNewIDNode::FormShow()
{
    for (QWidget* w : std::initializer_list<QWidget*>{RB_ID_Primary, RB_ID_Secondary, E_New_Node_ID_Pri, E_New_Node_ID_Sec})
        w->setVisible(true);
    for (QWidget* w : std::initializer_list<QWidget*>{L_wMBus_Add, E_wMBus_Add, L_wMBus_RSSI, E_wMBus_RSSI})
        w->setVisible(false);
    auto place = [](TLabel* label, TEdit* edit, int top) {
        label->SetTop(top + 3);
        edit->SetTop(top);
    };
    place(L_MR_NodeState, E_MR_NodeState, 77);
    place(L_MR_IdentNum, E_MR_IdentNum, 101);
    switch (Form_Type) {
    case 1:
        Panel1->SetHeight(161);
        SetCaption(L(2000));
        L_SW_Desc->SetCaption(L(2002));
        break;
    case 2:
        // No node field in view.
        Panel1->SetHeight(8);
        SetCaption(L(2001));
        L_SW_Desc->SetCaption(L(2003));
        break;
    case 3:
        for (QWidget* w : std::initializer_list<QWidget*>{RB_ID_Primary, RB_ID_Secondary, E_New_Node_ID_Pri, E_New_Node_ID_Sec})
            w->setVisible(false);
        for (QWidget* w : std::initializer_list<QWidget*>{L_wMBus_Add, E_wMBus_Add, L_wMBus_RSSI, E_wMBus_RSSI})
            w->setVisible(true);
        place(L_wMBus_Add, E_wMBus_Add, 8);
        place(L_MR_NodeState, E_MR_NodeState, 61);
        place(L_MR_IdentNum, E_MR_IdentNum, 85);
        place(L_wMBus_RSSI, E_wMBus_RSSI, 109);
        Panel1->SetHeight(E_wMBus_RSSI->Top() + E_wMBus_RSSI->Height() + 4);
        break;
    default:
        break;
    }
}

void TFNewIDNode::Fill_Grid(const std::vector<TVariabile>& vars)
{
    VOruVizizaZezo& g = *ESG_MR_Var;
    g.SetRowCount(vars.empty() ? 2 : static_cast<int>(vars.size()) * 3 + 1);
    for (int r = 1; r < g.RowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            g.SetCellEx(c, r, QString());
    for (size_t k = 0; k < vars.size(); ++k) {
        const int row = static_cast<int>(k) * 3 + 1;
        const TVariabile& v = vars[k];
        const QString texts[3][2] = {
            {L(1902), QString::number(v.PositionData)},
            {L(1903), QString()},
            {L(1904), QString::number(v.TP_Mod_Year)},
        };
        for (int i = 0; i < 3; ++i) {
            g.SetCellEx(0, row + i, texts[i][0]);
            g.SetCellEx(1, row + i, texts[i][1]);
            g.SetCellEx(2, row + i, v.Description);
        }
    }
    // The columns keep their widths; a row label longer than its column is cut.
    const int widths[3] = {kLabelWidth, kIndexWidth, kDescriptionWidth};
    for (int c = 0; c < 3; ++c)
        g.Columns().GetItem(c)->SetWidth(widths[c]);
}

TPaste_Request TFNewIDNode::Request() const
{
    TPaste_Request r;
    r.Form_Type = Form_Type;
    r.ID_Primary = RB_ID_Primary->Checked();
    r.ID_Pri = E_New_Node_ID_Pri->Text();
    r.ID_Sec = E_New_Node_ID_Sec->Text();
    r.wMBus_Add = E_wMBus_Add->Text();
    r.Node_State = E_MR_NodeState->Text();
    r.Ident_Num = E_MR_IdentNum->Text();
    r.RSSI = E_wMBus_RSSI->Text();
    VOruVizizaZezo& g = *ESG_MR_Var;
    const int count = (g.RowCount() - 1) / 3;
    for (int k = 0; k < count; ++k)
        r.Vars.push_back({g.GetCellEx(1, 3 * k + 1), g.GetCellEx(1, 3 * k + 2), g.GetCellEx(1, 3 * k + 3)});
    if (Form_Type != 2)
        r.Pasted = Pasted_Node;
    return r;
}

void TFNewIDNode::LbButton2Click()
{
    static const TNodi_List none;
    if (Check_Paste(FMeter_Bus ? FMeter_Bus->Nodi_List : none, Request()))
        SetModalResult(mrOk);
}
