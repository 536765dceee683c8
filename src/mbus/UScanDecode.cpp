#include "mbus/UScanDecode.h"

#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UScanDecode_Tree.h"
#include "mbus/UScanModbusStart.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/OctetField.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "widgets/BaseGrid.h"
#include "widgets/LbButton.h"

#include <QCursor>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

TFScanDecode* FScanDecode = nullptr;

using namespace platform;

namespace {

QString L(int n) { return Language_List.value(n); }

QString Hex(quint64 v, int digits) { return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper(); }

constexpr int kClientWidth = 922;
constexpr int kButtonWidth = 150;
constexpr int kButtonLeft = 8;
constexpr TColor kEncrypted = 0x00B9BBFF;   // light red
constexpr TColor kPlain = 0x00A8FFA8;       // light green
constexpr TColor kProgressFound = 0x00FF0000;   // blue
constexpr TColor kProgressMissing = 0x000000FF; // red
const char* const kNotFound = "[NOT FOUND]";

// Mode codes of the radio by position in the mode list.
constexpr int kModeCodes[] = {1, 5, 15, 17, 11};

// The grid pictures: 0 encrypted (a closed lock), 1 plain.
TBitmap Lock_Picture(bool closed)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    const QColor c = closed ? QColor(0xC0, 0x20, 0x20) : QColor(0x20, 0x90, 0x20);
    p.setPen(QPen(c, 2));
    if (closed)
        p.drawArc(4, 1, 8, 9, 0, 180 * 16);
    else
        p.drawArc(7, 1, 8, 9, 0, 180 * 16);
    p.fillRect(3, 7, 10, 8, c);
    p.end();
    TBitmap b;
    b.SetImage(img);
    return b;
}

// The progress list lets any line be its top one, the last included, so that
// the newest report can stand at the top with the room below it empty.
class TProgressList : public TListBox
{
public:
    explicit TProgressList(QWidget* parent) : TListBox(parent) { setVerticalScrollMode(ScrollPerItem); }
    void Set_Top_Index(int index)
    {
        executeDelayedItemsLayout();
        verticalScrollBar()->setValue(index);
    }

protected:
    void updateGeometries() override
    {
        // The list's own range ends where the last line reaches the bottom.
        const int top = verticalScrollBar()->value();
        TListBox::updateGeometries();
        verticalScrollBar()->setMaximum(std::max(0, Count() - 1));
        verticalScrollBar()->setValue(top);
    }
};

} // namespace

TFScanDecode::TFScanDecode(std::unique_ptr<TMBusScanDecode> Worker)
{
    SetName(QStringLiteral("FScanDecode"));
    // The worker runs from now on and waits for the window to be shown.
    TR_ScanDecode = Worker ? std::move(Worker) : std::make_unique<TMBusScanDecode>(true);
    Form_Type = 0;
    SetCaption(L(2100));
    // Built when first needed, in the language the program started with,
    // which this window keeps.
    Build_When_Needed_In_Start_Language(this, [this] {
        Build_Controls();
        CB_ScanMethod->SetItemIndex(0);
        Set_Lang();
        OnShow = [this](QObject*) { FormShow(); };
        OnClose = [this](QObject*, TCloseAction&) { FormClose(); };
        Form_Style(1);
    });
}

TFScanDecode::~TFScanDecode()
{
    if (Built()) {
        T_InScan->SetEnabled(false);
        ESG_Wireless->SetGridImages(nullptr);
    }
    TR_ScanDecode->Close_Scan();
    // The meters outlive the window; their tree nodes do not.
    {
        TList_Slave_MBus& list = TR_ScanDecode->Wired_List();
        auto guard = list.Lock();
        for (int i = 0; i < list.Count(); ++i) {
            TSlave_MBus* m = list.Items(i);
            m->Node = nullptr;
            for (auto& v : m->List_Var)
                v->Node = nullptr;
        }
    }
    if (FScanDecode == this)
        FScanDecode = nullptr;
}

// The program's dialogs; a window made without them (a test) makes its own.
TFInsertKeyWireless* TFScanDecode::Key_Dialog()
{
    if (FInsertKeyWireless)
        return FInsertKeyWireless;
    if (!m_Key_Dialog)
        m_Key_Dialog = std::make_unique<TFInsertKeyWireless>();
    return m_Key_Dialog.get();
}

TFScanModbusStart* TFScanDecode::Start_Dialog()
{
    if (FScanModbusStart)
        return FScanModbusStart;
    if (!m_Start_Dialog)
        m_Start_Dialog = std::make_unique<TFScanModbusStart>();
    return m_Start_Dialog.get();
}

TFModbusStartAdd_SD* TFScanDecode::Node_Dialog()
{
    // Its rows are filled before it is shown.
    if (FModbusStartAdd_SD) {
        FModbusStartAdd_SD->BuildNow();
        return FModbusStartAdd_SD;
    }
    if (!m_Node_Dialog)
        m_Node_Dialog = std::make_unique<TFModbusStartAdd_SD>();
    return m_Node_Dialog.get();
}

void TFScanDecode::Build_Controls()
{
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(kClientWidth);
    SetClientHeight(523);

    const Title_Panel title = Make_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    P_Title->SetHeight(69);

    P_Button = new TPanel(this);
    P_Button->SetName(QStringLiteral("P_Button"));
    P_Button->SetAlign(alBottom);
    P_Button->SetHeight(40);
    P_Button->SetBevelOuter(bvNone);
    auto button = [this](const char* name) {
        auto* b = new TLbButton(P_Button);
        b->SetName(QString::fromLatin1(name));
        b->SetBounds(kButtonLeft, 6, kButtonWidth, 28);
        b->OnClick = [this, b](QObject*) { BtnClick(b); };
        return b;
    };
    Btn_StartScan = button("Btn_StartScan");
    Btn_StopScan = button("Btn_StopScan");
    Btn_AbortScan = button("Btn_AbortScan");
    Btn_NewScan = button("Btn_NewScan");
    Btn_SaveConf = button("Btn_SaveConf");
    Btn_SaveConfManual = button("Btn_SaveConfManual");

    // The settings.
    P_Main = new TPanel(this);
    P_Main->SetName(QStringLiteral("P_Main"));
    P_Main->SetAlign(alClient);
    P_Main->SetBevelOuter(bvNone);
    auto label = [this](QWidget* parent, int left) {
        auto* l = new TLabel(parent);
        l->SetLeft(left);
        l->SetWidth(150);
        l->SetTransparent(true);
        return l;
    };
    auto list = [this](const char* name, const QStringList& items, int index) {
        auto* c = new TComboBox(P_Main);
        c->SetName(QString::fromLatin1(name));
        c->SetStyle(csDropDownList);
        c->SetBounds(176, 0, 258, 21);
        c->SetItems(items);
        c->SetItemIndex(index);
        c->OnChange = [this](QObject*) { Move_Object_Type_Form(); };
        return c;
    };
    auto check = [this](const char* name) {
        auto* c = new TCheckBox(P_Main);
        c->SetName(QString::fromLatin1(name));
        c->SetBounds(32, 0, 400, 19);
        return c;
    };
    auto edit = [this](const char* name, const char* text, int left, int width) {
        auto* e = new TEdit(P_Main);
        e->SetName(QString::fromLatin1(name));
        e->SetBounds(left, 0, width, 21);
        e->SetText(QString::fromLatin1(text));
        return e;
    };
    L_ScanMethod = label(P_Main, 32);
    CB_ScanMethod = list("CB_ScanMethod", {}, -1);
    L_ScanBy = label(P_Main, 32);
    CB_ScanBy = list("CB_ScanBy", {}, -1);
    L_HardwareType = label(P_Main, 32);
    CB_HardwareType = list("CB_HardwareType", {}, -1);
    L_IP = label(P_Main, 32);
    E_IP1 = edit("E_IP1", "192", 176, 60);
    E_IP2 = edit("E_IP2", "168", 242, 60);
    E_IP3 = edit("E_IP3", "2", 308, 60);
    E_IP4 = edit("E_IP4", "205", 374, 60);
    L_IP_Dot1 = label(P_Main, 237);
    L_IP_Dot2 = label(P_Main, 303);
    L_IP_Dot3 = label(P_Main, 369);
    for (TLabel* dot : {L_IP_Dot1, L_IP_Dot2, L_IP_Dot3}) {
        dot->SetWidth(5);
        dot->SetCaption(QStringLiteral("."));
    }
    // "." is never typed into an address part; in the first three it moves on.
    const std::array<TEdit*, 4> parts = {E_IP1, E_IP2, E_IP3, E_IP4};
    for (size_t i = 0; i < parts.size(); ++i) {
        TEdit* next = i + 1 < parts.size() ? parts[i + 1] : nullptr;
        parts[i]->OnKeyPress = [field = parts[i], next](QObject*, QChar& key) { Octet_KeyPress(field, key, next); };
    }
    L_ComPort = label(P_Main, 32);
    CB_ComPort = list("CB_ComPort", {}, -1);
    CB_ComPort->SetWidth(120);
    Btn_COM_List = new TLbButton(P_Main);
    Btn_COM_List->SetName(QStringLiteral("Btn_COM_List"));
    Btn_COM_List->SetBounds(302, 0, 24, 22);
    Btn_COM_List->SetCaption(QStringLiteral("..."));
    Btn_COM_List->SetHint(QStringLiteral("Update COM Ports List"));
    Btn_COM_List->OnClick = [this](QObject*) { Update_List_of_COM_Port(); };
    L_Port = label(P_Main, 32);
    E_Port = edit("E_Port", "502", 176, 60);
    L_MBus_ParGen = label(P_Main, 16);
    L_MBus_ParGen->SetWidth(400);
    L_MBus_ParGen->Font().SetStyle(fsBold);
    L_MBus_Baud = label(P_Main, 32);
    CB_MBus_Baud = list("CB_MBus_Baud", {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"}, 3);
    L_MBus_Parity = label(P_Main, 32);
    CB_MBus_Parity = list("CB_MBus_Parity", {"NONE", "EVEN", "ODD"}, 1);
    L_wMBus_Mode = label(P_Main, 32);
    CB_wMBus_Mode = list("CB_wMBus_Mode", {"S", "T", "N1", "N2", "C"}, 0);
    L_wMBus_Radio_Channel = label(P_Main, 32);
    CB_wMBus_Radio_Channel = list("CB_wMBus_Radio_Channel",
                                  {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps", "2b @ 2400 bps", "3a @ 4800 bps",
                                   "3b @ 4800 bps", "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"},
                                  0);
    L_Option_Scan = label(P_Main, 16);
    L_Option_Scan->SetWidth(400);
    L_Option_Scan->Font().SetStyle(fsBold);
    CB_Opt_App_Reset = check("CB_Opt_App_Reset");
    CB_Opt_SND_NKE = check("CB_Opt_SND_NKE");
    L_Opt_Cut_After = label(P_Main, 32);
    E_Opt_Cut_After = edit("E_Opt_Cut_After", "3", 176, 60);
    CB_Opt_Use_Fix_C_Field = check("CB_Opt_Use_Fix_C_Field");
    CB_Opt_Use_Fix_C_Field->SetWidth(140);
    CB_Opt_Use_Fix_C_Field_Value = list("CB_Opt_Use_Fix_C_Field_Value", {"0x5X", "0x7X"}, 0);
    CB_Opt_Use_Fix_C_Field_Value->SetWidth(80);
    CB_Opt_Check_BCD_to_Int = check("CB_Opt_Check_BCD_to_Int");
    CB_Opt_Enable_Remote_Scan = check("CB_Opt_Enable_Remote_Scan");

    // Progress and result of a wired scan.
    P_TreeView = new TPanel(this);
    P_TreeView->SetName(QStringLiteral("P_TreeView"));
    P_TreeView->SetAlign(alClient);
    P_TreeView->SetBevelOuter(bvNone);
    L_ScanProgress = label(P_TreeView, 16);
    L_ScanProgress->SetTop(8);
    L_ScanProgress->SetWidth(300);
    L_ScanProgress->Font().SetStyle(fsBold);
    L_Num_Slave = label(P_TreeView, 320);
    L_Num_Slave->SetTop(8);
    L_Num_Slave->Font().SetStyle(fsBold);
    L_AvailableDevice = label(P_TreeView, 16);
    L_AvailableDevice->SetTop(32);
    LB_AvailableDevice = new TProgressList(P_TreeView);
    LB_AvailableDevice->SetName(QStringLiteral("LB_AvailableDevice"));
    LB_AvailableDevice->SetStyle(lbOwnerDrawFixed);
    LB_AvailableDevice->SetBounds(16, 52, kClientWidth - 32, 340);
    LB_AvailableDevice->SetAnchors(akLeft | akTop | akRight | akBottom);
    LB_AvailableDevice->OnDrawItem = [this](QObject*, int index, const TRect& rect, TOwnerDrawState) {
        Draw_Progress_Line(index, rect);
    };
    VST = new TScanTree(P_TreeView);
    VST->setObjectName(QStringLiteral("VST"));
    VST->SetBounds(16, 32, kClientWidth - 32, 360);
    VST->SetAnchors(akLeft | akTop | akRight | akBottom);

    // Wireless: the grid of meters heard and the tree of the chosen one.
    P_View_Wireless = new TPanel(this);
    P_View_Wireless->SetName(QStringLiteral("P_View_Wireless"));
    P_View_Wireless->SetAlign(alClient);
    P_View_Wireless->SetBevelOuter(bvNone);
    P_W_Title = new TPanel(P_View_Wireless);
    P_W_Title->SetAlign(alTop);
    P_W_Title->SetHeight(0);
    P_W_Title->SetBevelOuter(bvNone);
    P_W_Table = new TPanel(P_View_Wireless);
    P_W_Table->SetName(QStringLiteral("P_W_Table"));
    P_W_Table->SetAlign(alTop);
    P_W_Table->SetBevelOuter(bvNone);
    P_W_Table->SetHeight(200);
    m_Wireless_Images = std::make_unique<TImageList>(16, 16);
    IL_Wireless_Table = m_Wireless_Images.get();
    IL_Wireless_Table->AddMasked(Lock_Picture(true), clWhite);
    IL_Wireless_Table->AddMasked(Lock_Picture(false), clWhite);
    ESG_Wireless = new TExStringGrid(P_W_Table);
    ESG_Wireless->SetName(QStringLiteral("ESG_Wireless"));
    ESG_Wireless->SetAlign(alClient);
    ESG_Wireless->SetColCount(13);
    ESG_Wireless->SetFixedCols(0);
    ESG_Wireless->SetFixedRows(1);
    ESG_Wireless->SetRowCount(2);
    ESG_Wireless->SetOptions((ESG_Wireless->Options() | goRowSelect) & ~goEditing);
    ESG_Wireless->SetRowHeights(0, 22);
    ESG_Wireless->SetWordWrap(false);
    ESG_Wireless->SetGridImages(IL_Wireless_Table);
    const int widths[13] = {40, 65, 90, 120, 90, 85, 110, 120, 90, 85, 110, 50, 70};
    const char* const headers[13] = {"N", "Date Time", "Message Type", "Manufacturer (LLA)", "Address (LLA)",
                                     "Version (LLA)", "Device Type (LLA)", "Manufacturer (ALA)", "Address (ALA)",
                                     "Version (ALA)", "Device Type (ALA)", "RSSI", "Cripted"};
    for (int c = 0; c < 13; ++c) {
        ESG_Wireless->SetColWidths(c, widths[c]);
        ESG_Wireless->SetCellEx(c, 0, QString::fromLatin1(headers[c]));
    }
    ESG_Wireless->OnClickCell = [this](QObject*, int row, int) { ESG_WirelessClickCell(row); };
    ESG_Wireless->OnDblClickCell = [this](QObject*, int row, int) { ESG_WirelessDblClickCell(row); };
    P_W_Tree = new TPanel(P_View_Wireless);
    P_W_Tree->SetName(QStringLiteral("P_W_Tree"));
    P_W_Tree->SetAlign(alClient);
    P_W_Tree->SetBevelOuter(bvNone);
    VST_Wireless = new TScanTree(P_W_Tree);
    VST_Wireless->setObjectName(QStringLiteral("VST_Wireless"));
    VST_Wireless->SetAlign(alClient);
    VST_Wireless->OnChecked = [this](QObject*, TTreeNode* node) { Wireless_Checked(node); };

    T_InScan = new TTimer(this);
    T_InScan->SetInterval(1000);
    T_InScan->SetEnabled(false);
    T_InScan->OnTimer = [this](QObject*) { T_InScanTimer(); };

    // The repeated scan: on no control.
    PopupMenu1 = new TPopupMenu(this);
    Ciclic1 = PopupMenu1->Add(QStringLiteral("Scan Cyclic"), [this](QObject*) { Ciclic1Click(); });
    Label1 = new TLabel(P_Button);
    Label1->SetBounds(700, 12, 100, 14);
    Label1->setVisible(false);
}

void TFScanDecode::Set_Lang()
{
    SetCaption(L(2100));
    L_SW_Code->SetCaption(L(2101));
    L_SW_Desc->SetCaption(L(2102));
    L_ScanBy->SetCaption(L(2103));
    CB_ScanBy->SetItems({L(2104), L(2105)});
    CB_ScanBy->SetItemIndex(0);
    L_HardwareType->SetCaption(L(2106));
    CB_HardwareType->SetItems({L(2107), L(2108)});
    CB_HardwareType->SetItemIndex(0);
    L_IP->SetCaption(L(2109));
    L_ComPort->SetCaption(L(2110));
    L_MBus_ParGen->SetCaption(L(2111));
    L_MBus_Baud->SetCaption(L(2112));
    L_MBus_Parity->SetCaption(L(2113));
    L_Option_Scan->SetCaption(L(2114));
    CB_Opt_App_Reset->SetCaption(L(2115));
    CB_Opt_SND_NKE->SetCaption(L(2116));
    L_Opt_Cut_After->SetCaption(L(2117));
    L_ScanProgress->SetCaption(L(2118));
    L_AvailableDevice->SetCaption(L(2120));
    Btn_StartScan->SetCaption(L(2121));
    Btn_StopScan->SetCaption(L(2122));
    Btn_AbortScan->SetCaption(L(2123));
    Btn_NewScan->SetCaption(L(2124));
    Btn_SaveConf->SetCaption(L(2125));
    L_ScanMethod->SetCaption(L(2131));
    CB_ScanMethod->SetItems({L(2132), L(2133)});
    CB_ScanMethod->SetItemIndex(0);
    L_wMBus_Mode->SetCaption(L(2134));
    L_wMBus_Radio_Channel->SetCaption(L(2135));
    L_Port->SetCaption(L(2136));
    Btn_SaveConfManual->SetCaption(L(2139));
    CB_Opt_Use_Fix_C_Field->SetCaption(L(2140));
    CB_Opt_Check_BCD_to_Int->SetCaption(L(2141));
    CB_Opt_Enable_Remote_Scan->SetCaption(L(2142));
}

bool TFScanDecode::Wireless_Chosen() const
{
    return Form_Type == 1 && CB_ScanMethod->ItemIndex() == 1;
}

void TFScanDecode::Move_Object_Type_Form()
{
    const bool offered = Form_Type == 1;
    const bool wireless = Wireless_Chosen();
    // The field at `top` and its label 3 pixels lower; hidden with top < 0.
    auto row = [](TLabel* label, std::initializer_list<QWidget*> fields, int top) {
        const bool shown = top >= 0;
        if (label) {
            label->setVisible(shown);
            if (shown)
                label->SetTop(top + 3);
        }
        for (QWidget* f : fields) {
            f->setVisible(shown);
            if (shown)
                f->move(f->x(), top);
        }
    };
    auto section = [](TLabel* label, int top) { label->SetTop(top); };
    SetClientHeight(offered ? 571 : 523);
    const bool serial = CB_HardwareType->ItemIndex() == 1;
    row(L_ScanMethod, {CB_ScanMethod}, offered ? 8 : -1);
    int address_row;
    if (offered && !wireless) {
        row(L_ScanBy, {CB_ScanBy}, 40);
        row(L_HardwareType, {CB_HardwareType}, 72);
        address_row = 96;
    } else if (offered) {
        row(L_ScanBy, {CB_ScanBy}, -1);
        row(L_HardwareType, {CB_HardwareType}, 40);
        address_row = 64;
    } else {
        row(L_ScanBy, {CB_ScanBy}, 8);
        row(L_HardwareType, {CB_HardwareType}, 40);
        address_row = 64;
    }
    row(L_IP, {E_IP1, E_IP2, E_IP3, E_IP4, L_IP_Dot1, L_IP_Dot2, L_IP_Dot3}, serial ? -1 : address_row);
    for (TLabel* dot : {L_IP_Dot1, L_IP_Dot2, L_IP_Dot3})
        dot->SetTop(address_row + 3);
    row(L_ComPort, {CB_ComPort, Btn_COM_List}, serial ? address_row : -1);
    row(L_Port, {E_Port}, wireless ? 88 : -1);
    if (wireless) {
        section(L_MBus_ParGen, 123);
        row(L_MBus_Baud, {CB_MBus_Baud}, -1);
        row(L_MBus_Parity, {CB_MBus_Parity}, -1);
        row(L_wMBus_Mode, {CB_wMBus_Mode}, 152);
        row(L_wMBus_Radio_Channel, {CB_wMBus_Radio_Channel}, 176);
        section(L_Option_Scan, 211);
        row(nullptr, {CB_Opt_App_Reset}, -1);
        row(nullptr, {CB_Opt_SND_NKE}, -1);
        row(L_Opt_Cut_After, {E_Opt_Cut_After}, -1);
        row(nullptr, {CB_Opt_Use_Fix_C_Field}, -1);
        row(nullptr, {CB_Opt_Use_Fix_C_Field_Value}, -1);
        row(nullptr, {CB_Opt_Check_BCD_to_Int}, 235);
        row(nullptr, {CB_Opt_Enable_Remote_Scan}, 259);
        if (XML_Code_Dev == 12 || XML_Code_Dev == 15 || XML_Code_Dev == 18)
            E_Port->SetText(QStringLiteral("10001"));
        E_Port->setEnabled(XML_Code_Dev != 12 && XML_Code_Dev != 15);
    } else {
        const int d = offered ? 0 : -32;   // the wired-only layout sits 32 pixels higher
        section(L_MBus_ParGen, 131 + d);
        row(L_MBus_Baud, {CB_MBus_Baud}, 152 + d);
        row(L_MBus_Parity, {CB_MBus_Parity}, 176 + d);
        row(L_wMBus_Mode, {CB_wMBus_Mode}, -1);
        row(L_wMBus_Radio_Channel, {CB_wMBus_Radio_Channel}, -1);
        section(L_Option_Scan, 211 + d);
        row(nullptr, {CB_Opt_App_Reset}, 235 + d);
        row(nullptr, {CB_Opt_SND_NKE}, 259 + d);
        row(L_Opt_Cut_After, {E_Opt_Cut_After}, 280 + d);
        row(nullptr, {CB_Opt_Use_Fix_C_Field}, 307 + d);
        row(nullptr, {CB_Opt_Use_Fix_C_Field_Value}, 304 + d);
        row(nullptr, {CB_Opt_Check_BCD_to_Int}, 331 + d);
        row(nullptr, {CB_Opt_Enable_Remote_Scan}, 355 + d);
    }
    CB_Opt_Use_Fix_C_Field_Value->move(176, CB_Opt_Use_Fix_C_Field_Value->y());
}

void TFScanDecode::Form_Style(int Style)
{
    m_Style = Style;
    CB_HardwareType->SetItemIndex(0);
    CB_HardwareType->setEnabled(false);
    P_Main->setVisible(Style == 1);
    P_TreeView->setVisible(Style == 2 || Style == 3);
    P_View_Wireless->setVisible(Style == 4 || Style == 5);
    for (TLbButton* b : {Btn_StartScan, Btn_StopScan, Btn_AbortScan, Btn_NewScan, Btn_SaveConf, Btn_SaveConfManual})
        b->setVisible(false);
    const int second = kButtonLeft + kButtonWidth + 8;
    const int third = second + kButtonWidth + 8;
    switch (Style) {
    case 1:
        Btn_StartScan->setVisible(true);
        break;
    case 2:
    case 4:
        if (Style == 2) {
            L_ScanProgress->SetCaption(L(2118));
            L_Num_Slave->setVisible(false);
            L_AvailableDevice->setVisible(true);
            LB_AvailableDevice->setVisible(true);
            VST->setVisible(false);
        }
        Btn_StopScan->SetLeft(kButtonLeft);
        Btn_AbortScan->SetLeft(second);
        Btn_StopScan->setVisible(true);
        Btn_AbortScan->setVisible(true);
        break;
    case 3:
    case 5: {
        if (Style == 3) {
            L_ScanProgress->SetCaption(L(2119));
            L_Num_Slave->setVisible(true);
            L_AvailableDevice->setVisible(false);
            LB_AvailableDevice->setVisible(false);
            VST->setVisible(true);
        }
        Btn_NewScan->SetLeft(kButtonLeft);
        Btn_SaveConf->SetLeft(second);
        Btn_SaveConfManual->SetLeft(third);
        Btn_NewScan->setVisible(true);
        Btn_SaveConf->setVisible(true);
        const bool hidden = Style == 3 ? (XML_Code_Dev == 6 || XML_Code_Dev == 11 || XML_Code_Dev == 15 || XML_Code_Dev == 20)
                                       : XML_Code_Dev == 15;
        Btn_SaveConfManual->setVisible(!hidden);
        break;
    }
    default:
        break;
    }
}

void TFScanDecode::FormShow()
{
    Move_Object_Type_Form();
    Update_List_of_COM_Port();
    TR_ScanDecode->Event_Run.SetEvent();
    if (!FileName_ParGen.isEmpty() && FileExists(FileName_ParGen)) {
        QString error;
        if (!XML1.Load(FileName_ParGen, &error)) {
            ShowMessage(MessageKind::Error, error);
            return;
        }
        QString prefix = QStringLiteral("IP_");
        switch (XML_Code_Dev) {
        case 15: prefix = QStringLiteral("Modbus_TCP_Slave_IP"); break;
        case 11: case 17: case 20: prefix = QStringLiteral("PROFINET_IP"); break;
        case 6: prefix = QStringLiteral("BACnet_IP"); break;
        case 10: case 16: case 19: prefix = QStringLiteral("Eth_IP"); break;
        case 18: prefix = QStringLiteral("Ethernet_IP"); break;
        default: break;
        }
        const XmlNode root = XML1.FirstChild();
        const std::array<TEdit*, 4> parts = {E_IP1, E_IP2, E_IP3, E_IP4};
        for (int i = 0; i < 4; ++i)
            if (const XmlNode e = root.FindChild(prefix + QString::number(i + 1)); !e.IsNull())
                parts[static_cast<size_t>(i)]->SetText(e.Text());
    }
    Form_Style(1);
}

void TFScanDecode::FormClose()
{
    // Ends a running scan at once: no report arrives after this.
    TR_ScanDecode->Close_Scan();
    ++m_Scan_Number;
    TR_ScanDecode->Event_Run.ResetEvent();
}

void TFScanDecode::Update_List_of_COM_Port()
{
    CB_ComPort->Clear();
    const std::unique_ptr<QStringList> ports = Get_COM_Port_List();
    for (const QString& n : *ports)
        CB_ComPort->AddItem(QStringLiteral("COM") + n);
    CB_ComPort->SetItemIndex(CB_ComPort->ItemCount() > 0 ? 0 : -1);
}

void TFScanDecode::BtnClick(TLbButton* Sender)
{
    if (Sender == Btn_StartScan) {
        if (Wireless_Chosen())
            StarScanWireless();
        else
            StartScan();
    } else if (Sender == Btn_StopScan) {
        if (TR_ScanDecode->FInScan)
            TR_ScanDecode->Stop_Scan();
    } else if (Sender == Btn_AbortScan) {
        if (TR_ScanDecode->FInScan)
            TR_ScanDecode->Abort_Scan();
    } else if (Sender == Btn_NewScan) {
        Cancel_Device_List();
        Form_Style(1);
    } else if (Sender == Btn_SaveConf) {
        Select_SaveXML(0);
    } else if (Sender == Btn_SaveConfManual) {
        Select_SaveXML(1);
    }
}

void TFScanDecode::Start_Poll()
{
    T_InScan->SetEnabled(false);
    T_InScan->SetEnabled(true);
}

void TFScanDecode::StartScan()
{
    if (TR_ScanDecode->FInScan) {
        ShowMessage(MessageKind::Error, L(2126));
        return;
    }
    Cancel_Device_List();
    const QString address = Octet_Address(E_IP1, E_IP2, E_IP3, E_IP4);
    const int baud = ParseNumber(CB_MBus_Baud->Text()).value_or(2400);
    const int cut = ParseNumber(E_Opt_Cut_After->Text()).value_or(3);
    LB_AvailableDevice->Clear();
    LB_AvailableDevice->setVisible(true);
    TR_ScanDecode->SaveXMLFile.clear();
    const int scan = ++m_Scan_Number;
    const bool started = TR_ScanDecode->Start_Scan(
        CB_ScanBy->ItemIndex() == 1 ? saSecondaryAddress : saPrimaryAddress, shEthernet, address, baud,
        CB_MBus_Parity->ItemIndex(), CB_Opt_App_Reset->Checked(), CB_Opt_SND_NKE->Checked(), cut,
        CB_Opt_Use_Fix_C_Field->Checked(), static_cast<uint8_t>(std::max(0, CB_Opt_Use_Fix_C_Field_Value->ItemIndex())),
        CB_Opt_Enable_Remote_Scan->Checked(), [this, scan](int32_t type, int32_t id, int32_t found, int32_t kind) {
            QMetaObject::invokeMethod(
                this,
                [this, scan, type, id, found, kind] {
                    if (scan == m_Scan_Number)
                        Show_Slave_Progress(type, id, found, kind);
                },
                Qt::QueuedConnection);
        });
    // A start refused by the worker (the endpoint does not open) says why and
    // leaves the window ready.
    if (!started) {
        ShowMessage(MessageKind::Error, TR_ScanDecode->Last_Error());
        Form_Style(1);
        return;
    }
    Form_Style(2);
    Start_Poll();
}

void TFScanDecode::StarScanWireless()
{
    if (TR_ScanDecode->FInScan) {
        ShowMessage(MessageKind::Error, L(2126));
        return;
    }
    const int port = ParseNumber(E_Port->Text()).value_or(-1);
    if (port < 0 || port > 65535) {
        ShowMessage(MessageKind::Error, L(2138));
        return;
    }
    Cancel_Device_List_Wireless();
    const int mode = kModeCodes[std::clamp(CB_wMBus_Mode->ItemIndex(), 0, 4)];
    const QString address = Octet_Address(E_IP1, E_IP2, E_IP3, E_IP4);
    const int scan = ++m_Scan_Number;
    const bool started = TR_ScanDecode->Start_Scan_Wireless(
        shEthernet, address, static_cast<uint16_t>(port), mode, std::max(0, CB_wMBus_Radio_Channel->ItemIndex()),
        CB_Opt_Enable_Remote_Scan->Checked(),
        [this, scan](int position, TSlave_wMBus*) {
            // Only the position travels: the meter is read on this thread.
            QMetaObject::invokeMethod(
                this,
                [this, scan, position] {
                    if (scan == m_Scan_Number)
                        Show_Wireless_Slave(position);
                },
                Qt::QueuedConnection);
        },
        false);
    if (!started) {
        ShowMessage(MessageKind::Error, TR_ScanDecode->Last_Error());
        Form_Style(1);
        return;
    }
    Form_Style(4);
    Start_Poll();
}

void TFScanDecode::T_InScanTimer()
{
    T_InScan->SetEnabled(false);
    if (TR_ScanDecode->FInScan) {
        T_InScan->SetEnabled(true);
        return;
    }
    if (TR_ScanDecode->FResult == 2) {
        ShowMessage(MessageKind::Error, L(2129));
        Form_Style(1);
    } else if (Wireless_Chosen()) {
        Form_Style(5);
    } else {
        Form_Style(3);
        Show_Slave_in_Tree();
    }
    if (Cyclic_Scan) {
        const int count = Wireless_Chosen() ? TR_ScanDecode->Wireless_List().Count() : TR_ScanDecode->Wired_List().Count();
        if (count != 30) {
            ++Error_Cyclic;
            Label1->SetCaption(QString::number(Error_Cyclic));
        }
        BtnClick(Btn_StartScan);
    }
}

void TFScanDecode::Ciclic1Click()
{
    Cyclic_Scan = true;
    Error_Cyclic = 0;
    BtnClick(Btn_StartScan);
}

void TFScanDecode::Show_Slave_Progress(int32_t Type, int32_t Id, int32_t Found, int32_t Kind)
{
    QString line;
    if (Type == 1 && Kind == 2)
        line = L(2127);
    else if (Type == 2 && Kind == 1)
        line = QStringLiteral("ID = %1\t").arg(Id) + (Found == 0 ? QString::fromLatin1(kNotFound) : QString());
    else if (Type == 2 && Kind == 2)
        line = QStringLiteral("ID = ") + Hex(static_cast<uint32_t>(Id), 8);
    else if (Type == 3 && Kind == 2)
        line = L(2128);
    else
        return;
    LB_AvailableDevice->AddItem(line);
    static_cast<TProgressList*>(LB_AvailableDevice)->Set_Top_Index(LB_AvailableDevice->Count() - 1);
}

void TFScanDecode::Draw_Progress_Line(int Index, const TRect& Rect)
{
    TCanvas& c = LB_AvailableDevice->Canvas();
    const QString text = LB_AvailableDevice->Item(Index);
    c.Brush().SetColor(clWhite);
    c.FillRect(Rect);
    const int at = static_cast<int>(text.indexOf(QLatin1String(kNotFound)));
    if (at < 0) {
        c.Font().SetColor(kProgressFound);
        c.TextRect(Rect, Rect.Left + 2, Rect.Top, text);
        return;
    }
    c.Font().SetColor(kProgressMissing);
    const TRect first{Rect.Left, Rect.Top, Rect.Left + 70, Rect.Bottom};
    c.TextRect(first, Rect.Left + 2, Rect.Top, text.left(at).trimmed());
    const TRect second{Rect.Left + 70, Rect.Top, Rect.Right, Rect.Bottom};
    c.TextRect(second, Rect.Left + 70, Rect.Top, text.mid(std::max(0, at - 1)).trimmed());
}

void TFScanDecode::Show_Slave_in_Tree()
{
    TList_Slave_MBus& list = TR_ScanDecode->Wired_List();
    auto guard = list.Lock();
    L_Num_Slave->SetCaption(QString::number(list.Count()));
    VST->Clear();
    for (int i = 0; i < list.Count(); ++i) {
        TSlave_MBus* m = list.Items(i);
        TTreeNode* meter = VST->Add_Node(nullptr, Scan_Wired_Meter_Text(*m), true, true);
        m->Node = meter;
        for (auto& v : m->List_Var)
            v->Node = VST->Add_Record(meter, Scan_Record_Text(*v), *v, true);
    }
}

void TFScanDecode::Show_Wireless_Slave(int Position)
{
    TList_Slave_wMBus& list = TR_ScanDecode->Wireless_List();
    auto guard = list.Lock();
    const TSlave_wMBus* m = list.Items(Position);
    if (!m)
        return;
    const int row = Position + 1;
    if (ESG_Wireless->RowCount() <= row)
        ESG_Wireless->SetRowCount(row + 1);
    const QString cells[12] = {
        QString::number(row),
        QLocale::system().toString(m->DateTime, QLocale::ShortFormat),
        QStringLiteral("0x") + Hex(m->Message_Type, 2),
        m->LLA_Manu_str + u'(' + Hex(m->LLA_Manufacturer, 4) + u')',
        Hex(static_cast<uint32_t>(m->LLA_Address), 8),
        QStringLiteral("%1 (").arg(m->LLA_Version) + Hex(m->LLA_Version, 2) + u')',
        QStringLiteral("%1 (").arg(m->LLA_DeviceType) + Hex(m->LLA_DeviceType, 2) + u')',
        m->ALA_Manu_str + u'(' + Hex(m->ALA_Manufacturer, 4) + u')',
        Hex(static_cast<uint32_t>(m->ALA_Address), 8),
        QStringLiteral("%1 (").arg(m->ALA_Version) + Hex(m->ALA_Version, 2) + u')',
        QStringLiteral("%1 (").arg(m->ALA_DeviceType) + Hex(m->ALA_DeviceType, 2) + u')',
        QString::number(m->RSSI),
    };
    for (int c = 0; c < 12; ++c)
        ESG_Wireless->SetCellEx(c, row, cells[c]);
    ESG_Wireless->RemoveImageIdx(12, row);
    ESG_Wireless->AddImageIdx(12, row, m->Cripted ? 0 : 1, TCellHAlign::haCenter, TCellVAlign::vaCenter);
    for (int c = 1; c <= 12; ++c)
        ESG_Wireless->GetCellProperties(c, row)->SetBrushColor(m->Cripted ? kEncrypted : kPlain);
}

void TFScanDecode::Cancel_Device_List()
{
    VST->Clear();
    TR_ScanDecode->Wired_List().Clear();
}

void TFScanDecode::Cancel_Device_List_Wireless()
{
    m_Building = true;
    VST_Wireless->Clear();
    m_Building = false;
    m_Tree_Meter = -1;
    TR_ScanDecode->Wireless_List().Clear();
    Cancel_Grid_Wireless();
}

void TFScanDecode::Cancel_Grid_Wireless()
{
    for (int r = 2; r < ESG_Wireless->RowCount(); ++r)
        ESG_Wireless->RemoveImageIdx(12, r);
    ESG_Wireless->SetRowCount(2);
    ESG_Wireless->RemoveImageIdx(12, 1);
    for (int c = 0; c < 13; ++c)
        ESG_Wireless->SetCellEx(c, 1, QString());
    for (int c = 1; c <= 12; ++c)
        ESG_Wireless->GetCellProperties(c, 1)->SetBrushColor(clWhite);
}

void TFScanDecode::ESG_WirelessClickCell(int ARow)
{
    if (ARow < 1)
        return;
    TList_Slave_wMBus& list = TR_ScanDecode->Wireless_List();
    auto guard = list.Lock();
    const TSlave_wMBus* m = list.Items(ARow - 1);
    if (!m)
        return;
    m_Building = true;
    VST_Wireless->Clear();
    m_Tree_Meter = ARow - 1;
    TTreeNode* meter = VST_Wireless->Add_Node(nullptr, Scan_Wireless_Meter_Text(*m), true, m->Enable);
    meter->SetData(-1);
    for (size_t k = 0; k < m->List_Var.size(); ++k) {
        const TVariable_MBus& v = *m->List_Var[k];
        TTreeNode* r = VST_Wireless->Add_Record(meter, v.Real_Wireless_Var ? Scan_Record_Text(v) : QStringLiteral("Idle Filler"),
                                                v, v.Enable);
        // The record's position: the records may be replaced by the meter's
        // next telegram while the tree is shown.
        r->SetData(static_cast<std::intptr_t>(k));
    }
    m_Building = false;
}

void TFScanDecode::Wireless_Checked(TTreeNode* Node)
{
    if (m_Building || !Node || !Node->HasCheckBox() || m_Tree_Meter < 0)
        return;
    TList_Slave_wMBus& list = TR_ScanDecode->Wireless_List();
    auto guard = list.Lock();
    TSlave_wMBus* m = list.Items(m_Tree_Meter);
    if (!m)
        return;
    const bool on = Node->Checked();
    if (Node->Level() == 0)
        m->Enable = on;
    else if (Node->Level() == 1 && Node->Data() >= 0 && Node->Data() < static_cast<std::intptr_t>(m->List_Var.size()))
        m->List_Var[static_cast<size_t>(Node->Data())]->Enable = on;
}

void TFScanDecode::ESG_WirelessDblClickCell(int ARow)
{
    if (ARow < 1)
        return;
    const int position = ARow - 1;
    {
        TList_Slave_wMBus& list = TR_ScanDecode->Wireless_List();
        auto guard = list.Lock();
        const TSlave_wMBus* m = list.Items(position);
        if (!m || !m->Cripted)
            return;
    }
    TFInsertKeyWireless* dialog = Key_Dialog();
    // At the mouse pointer, kept inside this window's client area.
    QPoint at = QCursor::pos();
    const QPoint corner = mapToGlobal(QPoint(ClientWidth(), ClientHeight()));
    at.setX(at.x() - std::max(0, at.x() + dialog->width() - corner.x()));
    at.setY(at.y() - std::max(0, at.y() + dialog->height() - corner.y()));
    dialog->move(at);
    if (dialog->ShowModal() != mrOk)
        return;
    const QString text = dialog->E_Key->Text();
    std::array<uint8_t, 16> key{};
    for (int i = 0; i < 16; ++i)
        key[static_cast<size_t>(i)] = static_cast<uint8_t>(text.mid(i * 2, 2).toUInt(nullptr, 16));
    TR_ScanDecode->Insert_Wireless_Key(position, key);
}

void TFScanDecode::Select_SaveXML(int Kind)
{
    bool append = false;
    if (FileExists(FileName_MBus)) {
        const MessageAnswer a = ShowMessage(MessageKind::Confirmation, L(2137), MessageButtons::YesNoCancel);
        if (a == MessageAnswer::Cancel)
            return;
        append = a == MessageAnswer::Yes;
    }
    TSaveConfXML conf;
    conf.Mod_Start = 1;
    const bool dialogs = XML_Code_Dev == 0 || XML_Code_Dev == 1 || XML_Code_Dev == 9 || XML_Code_Dev == 13 || XML_Code_Dev == 14;
    if (dialogs && Kind == 1) {
        TList_Slave_MBus& list = TR_ScanDecode->Wired_List();
        Node_Dialog()->sga->SetRowCount(std::max(2, list.Count() + 1));
        for (int i = 0; i < list.Count(); ++i) {
            const TSlave_MBus* m = list.Items(i);
            Node_Dialog()->sga->SetCellEx(0, i + 1, CB_ScanBy->ItemIndex() == 1 ? m->Secondary_Addresss
                                                                                    : QString::number(m->Primary_Addresss));
            Node_Dialog()->sga->SetCellEx(1, i + 1, QStringLiteral("1"));
        }
        if (Node_Dialog()->ShowModal() != mrOk)
            return;
    } else if (dialogs && append) {
        if (Start_Dialog()->ShowModal() != mrOk)
            return;
        conf.Mod_Start = Start_Dialog()->StartModAdd;
    }
    const bool wireless = Wireless_Chosen();
    conf.Append = append ? 1 : 0;
    conf.XML_Code_Dev = XML_Code_Dev;
    conf.Index_Baud = wireless ? 0 : CB_MBus_Baud->ItemIndex();
    conf.Index_Par = wireless ? 0 : CB_MBus_Parity->ItemIndex();
    conf.Node_ID_Type = CB_ScanBy->ItemIndex();
    conf.SND_NKE = !wireless && CB_Opt_SND_NKE->Checked() ? 1 : 0;
    conf.Reset_App = !wireless && CB_Opt_App_Reset->Checked() ? 1 : 0;
    conf.Cut_After = wireless ? 3 : ParseNumber(E_Opt_Cut_After->Text()).value_or(3);
    conf.StartModnode = Kind;
    for (int r = 1; r < Node_Dialog()->sga->RowCount(); ++r)
        conf.SMN_Array.push_back(ParseNumber(Node_Dialog()->sga->GetCellEx(1, r)).value_or(1));
    conf.En_NodeState = Node_Dialog()->CB_En_NodeState->Checked();
    conf.En_IdeNum = Node_Dialog()->CB_En_IndNum->Checked();
    conf.File_Name = FileName_MBus;
    const TSaveConfResult r = wireless
                                  ? Save_XML_Conf_Wireless(TR_ScanDecode->Wireless_List(), conf, CB_Opt_Check_BCD_to_Int->Checked())
                                  : Save_XML_Conf_Wired(TR_ScanDecode->Wired_List(), conf, CB_Opt_Check_BCD_to_Int->Checked());
    if (r.Written)
        ShowMessage(MessageKind::Information, L(2130));
    else if (!r.Error.isEmpty())
        ShowMessage(MessageKind::Error, r.Error);
}
