#include "protocols/UImportEDEFile.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "widgets/LbButton.h"

using namespace platform;

TFImportEDEFile* FImportEDEFile = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

} // namespace

TFImportEDEFile::TFImportEDEFile()
{
    SetName(QStringLiteral("FImportEDEFile"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(863);
    SetClientHeight(337);
    SetCaption(Text(1400));
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
        TLbButton** places[] = {&Btn_OK, &Btn_Cancel, &Btn_Select_All, &Btn_Unselect_All};
        for (int i = 0; i < 4; ++i) {
            *places[i] = new TLbButton(P_Button);
            (*places[i])->SetBounds(8 + i * 118, 6, 110, 28);
        }
        LID_IP = new TLabel(P_Button);
        LID_IP->SetBounds(490, 12, 230, 18);
        E_ID_IP = new TEdit(P_Button);
        E_ID_IP->SetBounds(725, 8, 130, 24);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);
        Btn_OK->OnClick = [this](QObject* s) { Btn_OKClick(s); };
        Btn_Select_All->OnClick = [this](QObject* s) { Btn_Select_AllClick(s); };
        Btn_Unselect_All->OnClick = [this](QObject* s) { Btn_Unselect_AllClick(s); };

        ECG = Make_Column_Grid(this, QStringLiteral("ECG"), 9, 512);
        ECG->SetAlign(alClient);
        const int widths[9] = {40, 55, 50, 50, 200, 80, 70, 220, 85};
        for (int c = 1; c < 9; ++c)
            Set_Grid_Column(ECG, c, widths[c], (c <= 3 || c == 8) ? edDataCheckBox : edNormal, {}, c >= 4);
        ECG->OnCheckBoxClick = [this](QObject*, int col, int row, bool state) { ECGCheckBoxClick(col, row, state); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFImportEDEFile::~TFImportEDEFile()
{
    if (FImportEDEFile == this)
        FImportEDEFile = nullptr;
}

void TFImportEDEFile::Set_Lang()
{
    SetCaption(Text(1400));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(1401));
    Btn_OK->SetCaption(Text(1402));
    Btn_Cancel->SetCaption(Text(1403));
    for (int c = 0; c < 9; ++c)
        ECG->Columns().GetItem(c)->SetHeader(Text(1404 + c));
    LID_IP->SetCaption(Text(1415));
    Btn_Select_All->SetCaption(Text(1420));
    Btn_Unselect_All->SetCaption(Text(1421));
    Btn_Select_All->SetHint(Text(1418));
    Btn_Unselect_All->SetHint(Text(1419));
}

void TFImportEDEFile::FormShow()
{
    for (int r = 1; r < ECG->RowCount(); ++r) {
        ECG->SetCellEx(0, r, QString::number(r));
        for (int c = 1; c < 9; ++c)
            ECG->SetCellEx(c, r, QString());
    }
    E_ID_IP->setFocus();
    Cancel_EDE_List_Vars();
    Load_EDE_File();
    Show_Data_in_Grid();
}

void TFImportEDEFile::Cancel_EDE_List_Vars() { List_EDE_Var.clear(); }

bool TFImportEDEFile::Load_EDE_File()
{
    QStringList lines;
    QString error;
    if (!ReadTextLines(EDE_File, &lines, &error)) {
        ShowMessage(MessageKind::Error, error);
        return false;
    }
    for (TBACnet_Var& v : Parse_EDE_Lines(lines))
        List_EDE_Var.push_back(std::make_unique<TBACnet_Var>(std::move(v)));
    return true;
}

void TFImportEDEFile::Show_Data_in_Grid()
{
    const int n = static_cast<int>(List_EDE_Var.size());
    ECG->SetRowCount(std::max(n, 1) + 1);
    for (int c = 0; c < 9; ++c)
        ECG->SetCellEx(c, 1, QString());
    const auto yn = [](bool b) { return b ? QStringLiteral("Y") : QStringLiteral("N"); };
    for (int i = 0; i < n; ++i) {
        const TBACnet_Var& v = *List_EDE_Var[i];
        const QString cells[9] = {QString::number(i + 1), yn(v.import), yn(v.read), yn(v.write), v.object_name,
                                  QString::number(v.object_type), QString::number(v.object_instance), v.description,
                                  yn(v.commandable)};
        for (int c = 0; c < 9; ++c)
            ECG->SetCellEx(c, i + 1, cells[c]);
    }
}

void TFImportEDEFile::ECGCheckBoxClick(int col, int row, bool state)
{
    if (row < 1 || row > static_cast<int>(List_EDE_Var.size()))
        return;
    TBACnet_Var& v = *List_EDE_Var[row - 1];
    if (col == 3 && state && !v.commandable) {
        ShowMessage(MessageKind::Error, Text(1413) + QString::number(row) + Text(1414));
        ECG->SetCellEx(3, row, QStringLiteral("N"));
        return;
    }
    if (col == 1)
        v.import = state;
    else if (col == 2)
        v.read = state;
    else if (col == 3)
        v.write = state;
}

void TFImportEDEFile::Btn_Select_AllClick(QObject*)
{
    for (size_t i = 0; i < List_EDE_Var.size(); ++i) {
        List_EDE_Var[i]->import = true;
        ECG->SetCellEx(1, static_cast<int>(i) + 1, QStringLiteral("Y"));
    }
}

void TFImportEDEFile::Btn_Unselect_AllClick(QObject*)
{
    for (size_t i = 0; i < List_EDE_Var.size(); ++i) {
        List_EDE_Var[i]->import = false;
        ECG->SetCellEx(1, static_cast<int>(i) + 1, QStringLiteral("N"));
    }
}

void TFImportEDEFile::Btn_OKClick(QObject*)
{
    const QString id = E_ID_IP->Text();
    if (App_BACnet_Type == 0) {
        uint8_t b[4];
        if (IP_Text_To_Bytes(id, b[0], b[1], b[2], b[3])) {
            ShowMessage(MessageKind::Error, Text(1416));
            return;
        }
    } else if (App_BACnet_Type == 1) {
        const int n = NumberOr(id, -1);
        if (n < 0 || n > 254) {
            ShowMessage(MessageKind::Error, Text(1417));
            return;
        }
    }
    SetModalResult(mrOk);
}
