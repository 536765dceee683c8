#include "fieldbus/UEtherNetIP_EDS.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <QFile>

using namespace platform;

TFEtherNEtIP_EDS* FEtherNEtIP_EDS = nullptr;

namespace {

QString Text(int entry) { return Language_List.value(entry); }

} // namespace

TFEtherNEtIP_EDS::TFEtherNEtIP_EDS()
{
    SetName(QStringLiteral("FEtherNEtIP_EDS"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(1180);
    SetClientHeight(360);
    SetCaption(Text(4200));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);
        const Button_Panel buttons = Make_Button_Panel(this);
        P_Button = buttons.P_Button;
        Btn_OK = buttons.Btn_OK;
        Btn_Cancel = buttons.Btn_Cancel;
        Btn_OK->SetModalResult(mrOk);
        Btn_OK->SetDefault(true);

        ECG = new VOruVizizaZezo(this);
        ECG->SetName(QStringLiteral("ECG"));
        ECG->SetAlign(alClient);
        ECG->SetColCount(cColumns);
        ECG->SetRowCount(2);
        ECG->SetFixedCols(0);
        ECG->SetFixedRows(1);
        ECG->SetOptions((ECG->Options() | goRowSelect) & ~goEditing);
        const int widths[cColumns] = {90, 150, 200, 110, 125, 110, 125, 125, 125};
        for (int c = 0; c < cColumns; ++c) {
            ECG->Columns().GetItem(c)->SetWidth(widths[c]);
            ECG->Columns().GetItem(c)->SetReadOnly(true);
        }

        TClose = new TTimer(this);
        TClose->SetEnabled(false);
        TClose->SetInterval(10);
        TClose->OnTimer = [this](QObject* sender) { TCloseTimer(sender); };

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFEtherNEtIP_EDS::~TFEtherNEtIP_EDS()
{
    if (FEtherNEtIP_EDS == this)
        FEtherNEtIP_EDS = nullptr;
}

void TFEtherNEtIP_EDS::Set_Lang()
{
    SetCaption(Text(4200));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(4201));
    Btn_OK->SetCaption(Text(4202));
    Btn_Cancel->SetCaption(Text(4203));
    Btn_OK->SetHint(Text(4204));
    Btn_Cancel->SetHint(Text(4205));
    for (int c = 0; c < cColumns; ++c) {
        const QString header = Text(4206 + c);
        ECG->Columns().GetItem(c)->SetHeader(header);
        ECG->SetCellEx(c, 0, header);
    }
}

void TFEtherNEtIP_EDS::FormShow()
{
    // A close still pending from a showing that ended early is not this one's.
    TClose->SetEnabled(false);
    List_Conn.clear();
    QFile file(EDS_FileName);
    // A file that cannot be read yields no connection, which is reported.
    if (!EDS_FileName.isEmpty() && file.open(QIODevice::ReadOnly))
        List_Conn = eds::Decode_Connections(file.readAll());
    ShowDatainGrid();
}

QString TFEtherNEtIP_EDS::DecodeConnStr(const QString& entry)
{
    eds::Decode_Connection(entry, List_Conn);
    return QString();
}

void TFEtherNEtIP_EDS::ShowDatainGrid()
{
    ECG->SetRowCount(2);
    for (int c = 0; c < cColumns; ++c)
        ECG->SetCellEx(c, 1, QString());
    if (List_Conn.empty()) {
        TClose->SetEnabled(true);
        return;
    }
    ECG->SetRowCount(static_cast<int>(List_Conn.size()) + 1);
    for (size_t i = 0; i < List_Conn.size(); ++i) {
        const TConnData& d = List_Conn[i];
        const int r = static_cast<int>(i) + 1;
        ECG->SetCellEx(cConnection, r, QStringLiteral("Connection") + QString::number(r));
        ECG->SetCellEx(cName, r, d.ConnName);
        ECG->SetCellEx(cHelp, r, d.HelpStr);
        ECG->SetCellEx(cInstance_OT, r, QString::number(d.InstanceOT));
        ECG->SetCellEx(cConnPoint_OT, r, QString::number(d.ConnPointOT));
        ECG->SetCellEx(cInstance_TO, r, QString::number(d.InstanceTO));
        ECG->SetCellEx(cConnPoint_TO, r, QString::number(d.ConnPointTO));
        ECG->SetCellEx(cDimHeader_OT, r, eds::Dim_Header_Text(d.DimHeaderOT, true));
        ECG->SetCellEx(cDimHeader_TO, r, eds::Dim_Header_Text(d.DimHeaderTO, false));
    }
    ECG->SetRow(1);
}

void TFEtherNEtIP_EDS::TCloseTimer(QObject*)
{
    TClose->SetEnabled(false);
    ShowMessage(MessageKind::Error, Text(4215), MessageButtons::Ok);
    SetModalResult(mrCancel);
}
