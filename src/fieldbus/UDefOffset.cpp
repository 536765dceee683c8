#include "fieldbus/UDefOffset.h"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "grid/ExCGrid.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"
#include "widgets/LbButton.h"

#include <algorithm>

using namespace platform;

TFDefOffset* FDefOffset = nullptr;

namespace {

// The built-in table has no text for an offset beyond the data array, which
// only an edited file can hold: a language file may give one.
const char* const kOutside = "Error in %s! The offset %d is outside the LoRaWAN data array (0 to %d).";

QString Text(int entry) { return Language_List.value(entry); }

const QString kNone = QStringLiteral("None");

// 0 .. 65535, anything else no bytes: a count that does not convert must not
// become 65535 rows by the 16-bit cut.
uint16_t Byte_Count(const QString& text)
{
    const std::optional<int> n = ParseNumber(text);
    return n && *n >= 0 && *n <= 65535 ? static_cast<uint16_t>(*n) : 0;
}

QString Attribute(const XmlNode& n, const char* name)
{
    return n.Attribute(QString::fromLatin1(name)).value_or(QString());
}

// The "row" elements of one byte list into offsets and mnemonics, as far as the slave has bytes.
void Read_Byte_Rows(const XmlNode& list, QStringList& offsets, QStringList& mnemonics)
{
    if (list.IsNull())
        return;
    int i = 0;
    for (XmlNode r = list.FirstChild(); !r.IsNull() && i < offsets.size(); r = r.NextSibling()) {
        if (!r.IsElement() || r.Name() != QLatin1String("row"))
            continue;
        if (const std::optional<QString> o = r.Attribute(QStringLiteral("Offset")))
            offsets[i] = *o;
        if (const std::optional<QString> m = r.Attribute(QStringLiteral("Mnemonic")))
            mnemonics[i] = *m;
        ++i;
    }
}

void Write_Byte_Rows(XmlNode list, const QStringList& offsets, const QStringList& mnemonics, int count)
{
    for (int i = 0; i < count; ++i) {
        XmlNode r = list.AddChild(QStringLiteral("row"));
        r.SetAttribute(QStringLiteral("Offset"), i < offsets.size() ? offsets[i] : kNone);
        r.SetAttribute(QStringLiteral("Mnemonic"), i < mnemonics.size() ? mnemonics[i] : QString());
    }
}

QString Outside_Text(const char* kind, int64_t offset, int size, int id, int byte)
{
    return rules::Format_Message(Spare_Text(spare_text::DeviceNet_Outside, QString::fromLatin1(kOutside)),
                                 {QString::fromLatin1(kind), qlonglong(offset), size - 1})
           + QStringLiteral("\n\r( ")
           + Text(3922) + QString::number(id) + Text(3923) + QString::number(byte) + QStringLiteral(")");
}

} // namespace

namespace dnet {

TLoad Load_Slaves(const QString& path, std::vector<TSlave_DN>& slaves, std::vector<QStringList>* texts,
                  QString* error)
{
    slaves.clear();
    if (texts)
        texts->clear();
    if (!FileExists(path))
        return TLoad::Missing;
    XmlDocument doc;
    if (!doc.Load(path, error))
        return TLoad::Not_Loaded;
    for (XmlNode n = doc.DocumentElement().FirstChild(); !n.IsNull(); n = n.NextSibling()) {
        if (!n.IsElement() || n.Name() != QLatin1String("row"))
            continue;
        const QStringList row = {Attribute(n, "ID"), Attribute(n, "NB_IN"), Attribute(n, "NB_OUT"),
                                 Attribute(n, "Mnemonic")};
        TSlave_DN s;
        s.ID = static_cast<uint8_t>(NumberOr(row[0], -1));
        s.ByteIN = Byte_Count(row[1]);
        s.ByteOUT = Byte_Count(row[2]);
        for (int i = 0; i < s.ByteIN; ++i) {
            s.SL_ByteIN << kNone;
            s.SL_ByteIN_M << QString();
        }
        for (int i = 0; i < s.ByteOUT; ++i) {
            s.SL_ByteOUT << kNone;
            s.SL_ByteOUT_M << QString();
        }
        slaves.push_back(std::move(s));
        if (texts)
            texts->push_back(row);
    }
    return TLoad::Loaded;
}

TLoad Load_Offsets(const QString& path, std::vector<TSlave_DN>& slaves, QString* error)
{
    if (!FileExists(path))
        return TLoad::Missing;
    XmlDocument doc;
    if (!doc.Load(path, error))
        return TLoad::Not_Loaded;
    size_t k = 0;
    for (XmlNode n = doc.DocumentElement().FirstChild(); !n.IsNull() && k < slaves.size(); n = n.NextSibling()) {
        if (!n.IsElement())
            continue;
        TSlave_DN& s = slaves[k++];
        Read_Byte_Rows(n.FindChild(QStringLiteral("ByteIN")), s.SL_ByteIN, s.SL_ByteIN_M);
        Read_Byte_Rows(n.FindChild(QStringLiteral("ByteOUT")), s.SL_ByteOUT, s.SL_ByteOUT_M);
    }
    return TLoad::Loaded;
}

QString Offset_Fault(const std::vector<TSlave_DN>& slaves, int maxByteIn, int maxByteOut, TByte_Check& check)
{
    check.assign(std::max(0, maxByteOut), {-1, -1});
    for (const TSlave_DN& s : slaves) {
        // Input bytes may share a position, but each must lie in the array.
        for (int i = 0; i < s.SL_ByteIN.size(); ++i) {
            const std::optional<int64_t> p = ParseNumber64(s.SL_ByteIN[i]);
            if (p && (*p < 0 || *p >= maxByteIn))
                return Outside_Text("ByteIN", *p, maxByteIn, s.ID, i);
        }
        for (int i = 0; i < s.SL_ByteOUT.size(); ++i) {
            const std::optional<int64_t> p = ParseNumber64(s.SL_ByteOUT[i]);
            if (!p)
                continue;  // "None": not passed
            if (*p < 0 || *p >= maxByteOut)
                return Outside_Text("ByteOUT", *p, maxByteOut, s.ID, i);
            std::pair<int, int>& taken = check[static_cast<size_t>(*p)];
            if (taken.first != -1)
                return Text(3921) + QStringLiteral("\n\r( ") + Text(3922) + QString::number(taken.first) + Text(3923)
                       + QString::number(taken.second) + Text(3924) + QString::number(s.ID) + Text(3925)
                       + QString::number(i) + QStringLiteral(")");
            taken = {s.ID, i};
        }
    }
    return QString();
}

QByteArray Offsets_File_Bytes(const std::vector<TSlave_DN>& slaves)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild(QStringLiteral("Define_Offset"));
    doc.AddComment(QStringLiteral("SW_VERSION = 1.000"));
    for (const TSlave_DN& s : slaves) {
        XmlNode node = root.AddChild(QStringLiteral("Nodo_DNET"));
        Write_Byte_Rows(node.AddChild(QStringLiteral("ByteIN")), s.SL_ByteIN, s.SL_ByteIN_M, s.ByteIN);
        Write_Byte_Rows(node.AddChild(QStringLiteral("ByteOUT")), s.SL_ByteOUT, s.SL_ByteOUT_M, s.ByteOUT);
    }
    return doc.ToBytes();
}

} // namespace dnet

// ---------------------------------------------------------------------------
// The window.

TFDefOffset::TFDefOffset()
{
    SetName(QStringLiteral("FDefOffset"));
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(900);
    SetClientHeight(560);
    SetCaption(Text(3900));
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
        Btn_OK->OnClick = [this](QObject* s) { bitbtn1Click(s); };

        // The slaves on the left, the shown slave's bytes on the right.
        auto* left = new TPanel(this);
        left->SetAlign(alLeft);
        left->SetWidth(420);
        left->SetBevelOuter(bvNone);
        left->SetBorderWidth(6);
        auto* leftTop = new TPanel(left);
        leftTop->SetAlign(alTop);
        leftTop->SetHeight(40);
        leftTop->SetBevelOuter(bvNone);
        L_Select_Slave = new TLabel(leftTop);
        L_Select_Slave->SetBounds(2, 20, 400, 16);
        ECG_DN_Slaves = new VOruVizizaZezo(left);
        ECG_DN_Slaves->SetName(QStringLiteral("ECG_DN_Slaves"));
        ECG_DN_Slaves->SetAlign(alClient);
        ECG_DN_Slaves->SetColCount(4);
        ECG_DN_Slaves->SetFixedRowAlways(true);
        ECG_DN_Slaves->SetRowCount(2);
        ECG_DN_Slaves->SetFixedCols(0);
        ECG_DN_Slaves->SetFixedRows(1);
        ECG_DN_Slaves->SetRowCount(1);
        ECG_DN_Slaves->SetOptions((ECG_DN_Slaves->Options() & ~goEditing) | goRowSelect);
        const int slaveWidths[] = {70, 90, 90, 140};
        for (int c = 0; c < 4; ++c) {
            ECG_DN_Slaves->Columns().GetItem(c)->SetWidth(slaveWidths[c]);
            ECG_DN_Slaves->Columns().GetItem(c)->SetReadOnly(true);
        }
        ECG_DN_Slaves->OnClick = [this](QObject* s) { ECG_DN_SlavesClick(s); };

        auto* right = new TPanel(this);
        right->SetAlign(alClient);
        right->SetBevelOuter(bvNone);
        right->SetBorderWidth(6);
        auto* rightTop = new TPanel(right);
        rightTop->SetAlign(alTop);
        rightTop->SetHeight(40);
        rightTop->SetBevelOuter(bvNone);
        L_Select_Position = new TLabel(rightTop);
        L_Select_Position->SetBounds(2, 2, 460, 16);
        L_None = new TLabel(rightTop);
        L_None->SetBounds(2, 20, 460, 16);
        PC_Bytes = new TPageControl(right);
        PC_Bytes->SetAlign(alClient);
        TS_ByteIN = PC_Bytes->AddPage(QString());
        TS_ByteOUT = PC_Bytes->AddPage(QString());
        ECG_ByteIN = Make_Byte_Grid(TS_ByteIN, "ECG_ByteIN");
        ECG_ByteOUT = Make_Byte_Grid(TS_ByteOUT, "ECG_ByteOUT");
        // The tab the user leaves stays for the next showing.
        PC_Bytes->SetActivePage(TS_ByteIN);

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
    });
}

TFDefOffset::~TFDefOffset()
{
    if (FDefOffset == this)
        FDefOffset = nullptr;
}

VOruVizizaZezo* TFDefOffset::Make_Byte_Grid(TTabSheet* tab, const char* name)
{
    auto* grid = new VOruVizizaZezo(tab);
    grid->SetName(QString::fromLatin1(name));
    grid->SetAlign(alClient);
    grid->SetColCount(3);
    grid->SetFixedRowAlways(true);
    grid->SetRowCount(2);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetRowCount(1);
    grid->SetOptions(grid->Options() | goEditing);
    grid->Columns().GetItem(0)->SetWidth(60);
    grid->Columns().GetItem(0)->SetReadOnly(true);
    grid->Columns().GetItem(1)->SetWidth(90);
    grid->Columns().GetItem(1)->SetEditor(edComboList);
    grid->Columns().GetItem(2)->SetWidth(260);
    return grid;
}

void TFDefOffset::Set_Lang()
{
    SetCaption(Text(3900));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(3901));
    Btn_OK->SetCaption(Text(3902));
    Btn_Cancel->SetCaption(Text(3903));
    Btn_OK->SetHint(Text(3904));
    Btn_Cancel->SetHint(Text(3905));
    TS_ByteIN->SetCaption(Text(3906));
    TS_ByteOUT->SetCaption(Text(3907));
    L_Select_Slave->SetCaption(Text(3908));
    L_Select_Position->SetCaption(Text(3909));
    L_None->SetCaption(Text(3910));
    for (int c = 0; c < 4; ++c) {
        ECG_DN_Slaves->Columns().GetItem(c)->SetHeader(Text(3911 + c));
        ECG_DN_Slaves->SetCellEx(c, 0, Text(3911 + c));
    }
    for (int c = 0; c < 3; ++c) {
        ECG_ByteIN->Columns().GetItem(c)->SetHeader(Text(3915 + c));
        ECG_ByteIN->SetCellEx(c, 0, Text(3915 + c));
        ECG_ByteOUT->Columns().GetItem(c)->SetHeader(Text(3918 + c));
        ECG_ByteOUT->SetCellEx(c, 0, Text(3918 + c));
    }
}

void TFDefOffset::FormShow()
{
    List_Slaves_DN.clear();
    MAX_BYTE_IN = kDN_Max_Byte;
    MAX_BYTE_OUT = kDN_Max_Byte;
    auto positions = [](int count) {
        QStringList items{kNone};
        items.reserve(count + 1);
        for (int p = 0; p < count; ++p)
            items << QString::number(p);
        return items;
    };
    ECG_ByteIN->Columns().GetItem(1)->SetComboItems(positions(MAX_BYTE_IN));
    ECG_ByteOUT->Columns().GetItem(1)->SetComboItems(positions(MAX_BYTE_OUT));
    Slave_Before_Select = -1;
    Unread.Clear();
    Load_Slave_DN();
    Load_Offset_Slave_DN();
    Select_First();
}

void TFDefOffset::Load_Slave_DN()
{
    ECG_DN_Slaves->SetRowCount(1);
    std::vector<QStringList> texts;
    QString error;
    if (dnet::Load_Slaves(FileName_DNETM_Net, List_Slaves_DN, &texts, &error) == dnet::TLoad::Not_Loaded) {
        // Without the slaves no offset has a place: every offset of the file would go.
        Unread.Add(FileName_DNETM_DefOff, error);
        ShowErrorBox(error);
        return;
    }
    ECG_DN_Slaves->SetRowCount(static_cast<int>(texts.size()) + 1);
    for (int i = 0; i < static_cast<int>(texts.size()); ++i)
        for (int c = 0; c < 4; ++c)
            ECG_DN_Slaves->SetCellEx(c, i + 1, texts[i][c]);
}

void TFDefOffset::Load_Offset_Slave_DN()
{
    // Offsets of slaves or bytes the network no longer has go with them:
    // the network changed, the file is whole.
    QString error;
    if (dnet::Load_Offsets(FileName_DNETM_DefOff, List_Slaves_DN, &error) == dnet::TLoad::Not_Loaded) {
        Unread.Add(FileName_DNETM_DefOff, error);
        ShowErrorBox(error);
    }
}

void TFDefOffset::Select_First()
{
    if (List_Slaves_DN.empty()) {
        ECG_ByteIN->SetRowCount(1);
        ECG_ByteOUT->SetRowCount(1);
        return;
    }
    // Moving the current row clicks, as the user would; on the same row nothing moves.
    if (ECG_DN_Slaves->Row() != 1)
        ECG_DN_Slaves->SetRow(1);
    if (Slave_Before_Select != 0)
        ECG_DN_SlavesClick(ECG_DN_Slaves);
}

void TFDefOffset::ECG_DN_SlavesClick(QObject*)
{
    const int row = ECG_DN_Slaves->Row();
    // A click that lands on no slave (the header, an empty list) keeps what is shown.
    if (row < 1 || row > static_cast<int>(List_Slaves_DN.size()))
        return;
    if (Slave_Before_Select != -1)
        Save_Data_ByteIN_ByteOUT();
    ECG_DN_Slaves->SelectRows(row, 1);
    Slave_Before_Select = row - 1;
    Update_Slave_DN();
}

void TFDefOffset::Fill_Bytes(VOruVizizaZezo* grid, const QStringList& offsets, const QStringList& mnemonics)
{
    grid->HideInplaceEdit();
    grid->SetRowCount(static_cast<int>(offsets.size()) + 1);
    for (int i = 0; i < offsets.size(); ++i) {
        grid->SetCellEx(0, i + 1, QString::number(i));
        grid->SetCellEx(1, i + 1, offsets[i]);
        grid->SetCellEx(2, i + 1, i < mnemonics.size() ? mnemonics[i] : QString());
    }
}

void TFDefOffset::Update_Slave_DN()
{
    if (Slave_Before_Select < 0 || Slave_Before_Select >= static_cast<int>(List_Slaves_DN.size()))
        return;
    const TSlave_DN& s = List_Slaves_DN[Slave_Before_Select];
    Fill_Bytes(ECG_ByteIN, s.SL_ByteIN, s.SL_ByteIN_M);
    Fill_Bytes(ECG_ByteOUT, s.SL_ByteOUT, s.SL_ByteOUT_M);
}

void TFDefOffset::Read_Bytes(VOruVizizaZezo* grid, QStringList& offsets, QStringList& mnemonics)
{
    // An editor still open holds the last choice; it goes into the cell first.
    grid->HideInplaceEdit();
    const int rows = std::min<int>(static_cast<int>(offsets.size()), grid->RowCount() - 1);
    for (int i = 0; i < rows; ++i) {
        offsets[i] = grid->GetCellEx(1, i + 1);
        if (i < mnemonics.size())
            mnemonics[i] = grid->GetCellEx(2, i + 1);
    }
}

void TFDefOffset::Save_Data_ByteIN_ByteOUT()
{
    if (Slave_Before_Select < 0 || Slave_Before_Select >= static_cast<int>(List_Slaves_DN.size()))
        return;
    TSlave_DN& s = List_Slaves_DN[Slave_Before_Select];
    Read_Bytes(ECG_ByteIN, s.SL_ByteIN, s.SL_ByteIN_M);
    Read_Bytes(ECG_ByteOUT, s.SL_ByteOUT, s.SL_ByteOUT_M);
}

void TFDefOffset::Reset_Array_Check() { Check_Byte_Offset.assign(kDN_Max_Byte, {-1, -1}); }

bool TFDefOffset::Check_Data()
{
    Reset_Array_Check();
    const QString fault = dnet::Offset_Fault(List_Slaves_DN, MAX_BYTE_IN, MAX_BYTE_OUT, Check_Byte_Offset);
    if (fault.isEmpty())
        return true;
    ShowMessage(MessageKind::Error, fault, MessageButtons::Ok);
    return false;
}

bool TFDefOffset::Save_Offset_Slave_DN()
{
    QString error;
    if (WriteFileAtomically(FileName_DNETM_DefOff, dnet::Offsets_File_Bytes(List_Slaves_DN), &error))
        return true;
    ShowErrorBox(error);
    return false;
}

void TFDefOffset::bitbtn1Click(QObject*)
{
    Save_Data_ByteIN_ByteOUT();
    if (!Check_Data() || !Consent_To_Replace(Unread) || !Save_Offset_Slave_DN())
        return;
    Unread.Clear();
    SetModalResult(mrOk);
}
