// The rule-table engine: loading, checking and writing the rule files, and
// the window that every member of the family shares.
#include "rules/USet_Access_Form.h"
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

namespace {

// Not in the language table, whose entries are fixed: the table has no text
// for a file that holds more rules than the window shows.
const char* const kTooMany = "Warning!! The file holds %1 rules, but the table holds %2: the rules after "
                             "number %2 are not shown and are not kept when the table is saved";

QString Text(int entry) { return Language_List.value(entry); }

QString Cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1] : QString();
}

bool Holds(const TRule_When& when, const QStringList& row)
{
    if (when.column <= 0)
        return true;
    const QString cell = Cell(row, when.column);
    if (when.numeric)
        return rules::Rule_Number(cell) >= when.at_least;
    const bool in = when.exact ? when.texts.contains(when.upper ? cell.toUpper() : cell)
                               : rules::Is_One_Of(cell, when.texts, when.upper);
    return in != when.negate;
}

bool Enabled(const TRule_Grid& grid, const QStringList& row)
{
    if (grid.enable <= 0)
        return true;
    QString e = Cell(row, grid.enable).trimmed();
    if (grid.enable_upper)
        e = e.toUpper();
    return e == QLatin1String("Y");
}

// The fault of one check, empty when it passes.
QString Check_Cell(const TRule_Form& form, const TRule_Check& check, int rowNumber, const QStringList& row,
                   int capacity, int g, const TRule_Hook& hook, int64_t* total)
{
    if (!Holds(check.when, row))
        return QString();
    const int64_t high = check.bound_of                       ? check.bound_of(row, capacity)
                         : check.high == kRule_Capacity_Last ? int64_t(capacity) - 1
                                                             : check.high;
    const QString cell = Cell(row, check.column);
    bool ok = true;
    int message = check.message;
    switch (check.kind) {
    case TRule_Check_Kind::Range:
        ok = rules::In_Range(cell, check.low, high);
        break;
    case TRule_Check_Kind::Not_Empty:
        ok = !cell.trimmed().isEmpty();
        break;
    case TRule_Check_Kind::IPv4:
        ok = !rules::Check_IP_Address(cell);
        break;
    case TRule_Check_Kind::Frame_Byte:
        ok = rules::Byte_Position_Ok(cell, capacity);
        break;
    case TRule_Check_Kind::Number_In:
        ok = std::find(check.values.begin(), check.values.end(), int64_t(rules::Rule_Number(cell)))
             != check.values.end();
        break;
    case TRule_Check_Kind::Float_Range:
        ok = rules::Float_In_Range(cell, check.float_low, check.float_high);
        break;
    case TRule_Check_Kind::Test:
        ok = !check.test || check.test(row, capacity);
        break;
    case TRule_Check_Kind::Hook:
        ok = !hook || hook(g, check.hook, row);
        break;
    case TRule_Check_Kind::Total:
        // Sizes come from 32-bit cells, so the total cannot overflow 64 bits.
        *total += check.size ? std::max<int64_t>(0, check.size(row)) : 0;
        ok = *total <= high;
        break;
    case TRule_Check_Kind::Span: {
        const bool status = Holds(check.status, row);
        const QString bit = Cell(row, check.start_bit);
        if (status && bit.trimmed().isEmpty()) {
            ok = false;
            message = check.bit_message;
            break;
        }
        const int64_t startBit = status ? std::max(0, platform::NumberOr(bit, 0)) : 0;
        ok = rules::Span_Fits(rules::Rule_Number(cell), rules::Rule_Number(Cell(row, check.points)), startBit,
                              status, capacity);
        break;
    }
    }
    if (ok)
        return QString();
    if (check.formatted && message == check.message)
        return rules::Format_Message(Text(message), {rowNumber, capacity});
    // A check with both an entry and a text: the text is the English for an
    // entry that only a language file fills.
    QString text = message == 0            ? check.text
                   : check.text.isEmpty() ? Text(message)
                                          : Spare_Text(message, check.text);
    if (check.row_prefix)
        text = rules::Error_Row_Text(
            Text(form.grids[g].error_prefix > 0 ? form.grids[g].error_prefix : form.error_prefix), rowNumber, text);
    if (check.bound && message == check.message)
        text += QString::number(high);
    if (check.suffix > 0 && message == check.message)
        text += Text(check.suffix);
    if (check.suffix_of && message == check.message)
        text += check.suffix_of(row);
    return text;
}

} // namespace

QString Rule_Too_Many_Warning(int inFile, int shown) { return QString::fromLatin1(kTooMany).arg(inFile).arg(shown); }

TRule_Load Load_Rule_File(const TRule_Form& form, const QString& path, const std::vector<int>& rows,
                          TRule_File* out)
{
    out->grids.assign(form.grids.size(), {});
    out->not_shown.assign(form.grids.size(), 0);
    out->error.clear();
    if (!FileExists(path))
        return TRule_Load::Missing;
    XmlDocument doc;
    if (!doc.Load(path, &out->error))
        return TRule_Load::Not_Loaded;
    const XmlNode root = doc.DocumentElement();
    for (size_t g = 0; g < form.grids.size(); ++g) {
        const TRule_Grid& grid = form.grids[g];
        const XmlNode list = grid.list.isEmpty() ? root : root.FindChild(grid.list);
        const int room = g < rows.size() ? rows[g] : grid.rows;
        TRule_Rows& read = out->grids[g];
        // Comments among the rules are no rules.
        for (XmlNode n = list.FirstChild(); !n.IsNull(); n = n.NextSibling()) {
            if (!n.IsElement())
                continue;
            if (static_cast<int>(read.size()) >= room) {
                ++out->not_shown[g];
                continue;
            }
            read.emplace_back();
            QStringList& cells = read.back();
            for (size_t c = 1; c < grid.columns.size(); ++c) {
                const TRule_Column& column = grid.columns[c];
                if (column.attribute.isEmpty()) {
                    cells << (column.fallback_of_row ? column.fallback_of_row(cells) : column.fallback);
                    continue;
                }
                if (!column.legacy.isEmpty() && column.from_legacy) {
                    if (const std::optional<QString> old = n.Attribute(column.legacy)) {
                        cells << column.from_legacy(*old);
                        continue;
                    }
                }
                const std::optional<QString> value = n.Attribute(column.attribute);
                if (value) {
                    cells << (column.from_file ? column.from_file(*value) : *value);
                } else if (column.mandatory) {
                    out->error = Rule_Missing_Attribute_Message(path, grid.list,
                                                                static_cast<int>(read.size()), column.attribute);
                    return TRule_Load::Stopped;
                } else {
                    cells << (column.fallback_of_row ? column.fallback_of_row(cells) : column.fallback);
                }
            }
        }
    }
    return TRule_Load::Loaded;
}

static int Count_To_Blank(const TRule_Rows& rows, int key, bool exact)
{
    if (key <= 0)
        return static_cast<int>(rows.size());
    int n = 0;
    while (n < static_cast<int>(rows.size())
           && !(exact ? Cell(rows[n], key) : Cell(rows[n], key).trimmed()).isEmpty())
        ++n;
    return n;
}

int Rule_Count(const TRule_Grid& grid, const TRule_Rows& rows)
{
    return Count_To_Blank(rows, grid.key, grid.key_exact);
}

int Rule_Check_Count(const TRule_Grid& grid, const TRule_Rows& rows)
{
    return Count_To_Blank(rows, grid.check_key > 0 ? grid.check_key : grid.key, grid.key_exact);
}

QString Check_Rule_Grid(const TRule_Form& form, int g, const TRule_Rows& rows, int capacity, const TRule_Hook& hook,
                        const TRule_Shown& shown)
{
    const TRule_Grid& grid = form.grids[g];
    const int count = Rule_Check_Count(grid, rows);
    int64_t total = 0;
    for (int i = 0; i < count; ++i) {
        if (!Enabled(grid, rows[i]))
            continue;
        for (const TRule_Check& check : grid.checks) {
            if (check.shown > 0 && shown && !shown(g, check.shown))
                continue;
            const QString fault = Check_Cell(form, check, i + 1, rows[i], capacity, g, hook, &total);
            if (!fault.isEmpty())
                return fault;
        }
    }
    return QString();
}

QByteArray Rule_File_Bytes(const TRule_Form& form, const std::vector<TRule_Rows>& grids)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild(form.root);
    doc.AddComment(form.version);
    for (size_t g = 0; g < form.grids.size(); ++g) {
        const TRule_Grid& grid = form.grids[g];
        XmlNode list = grid.list.isEmpty() ? root : root.AddChild(grid.list);
        if (g >= grids.size())
            continue;
        const int count = Rule_Count(grid, grids[g]);
        for (int i = 0; i < count; ++i) {
            XmlNode row = list.AddChild(form.row);
            for (size_t c = 1; c < grid.columns.size(); ++c) {
                const TRule_Column& column = grid.columns[c];
                if (column.attribute.isEmpty())
                    continue;
                const QString cell = Cell(grids[g][i], static_cast<int>(c));
                row.SetAttribute(column.attribute, column.to_file ? column.to_file(cell) : cell);
            }
        }
    }
    return doc.ToBytes();
}

bool Save_Rule_File(const TRule_Form& form, const QString& path, const std::vector<TRule_Rows>& grids,
                    QString* error)
{
    return WriteFileAtomically(path, Rule_File_Bytes(form, grids), error);
}

// ---------------------------------------------------------------------------
// The window.

TSet_Access_Form::TSet_Access_Form(const TRule_Form& form) : form_(form)
{
    SetName(form.name);
    SetBorderStyle(bsSizeable);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(form.width);
    SetClientHeight(form.height);

    const int n = static_cast<int>(form.grids.size());
    Hints.assign(n, {});
    Copied.assign(n, false);
    Capacity.assign(n, 0);
    not_shown_.assign(n, 0);
    for (int g = 0; g < n; ++g)
        Capacity[g] = form.grids[g].capacity;
    OnShow = [this](QObject*) { FormShow(); };
    SetCaption(Text(form_.caption));
    Build_When_Needed(this, [this] { Create_Controls(); });
}

void TSet_Access_Form::Create_Controls()
{
    const Title_Panel title = Make_Title_Panel(this);
    P_Title = title.P_Title;
    L_SW_Code = title.L_SW_Code;
    L_SW_Desc = title.L_SW_Desc;
    L_SW_Code->SetCaption(SW_Code);

    P_Button = new TPanel(this);
    P_Button->SetAlign(alBottom);
    P_Button->SetHeight(40);
    P_Button->SetBevelOuter(bvNone);
    const int buttons = form_.row_buttons ? 6 : 2;
    TLbButton** places[] = {&Btn_OK, &Btn_Cancel, &Btn_DelRow, &Btn_InsRow, &Btn_CopyRow, &Btn_PasteRow};
    for (int i = 0; i < buttons; ++i) {
        auto* b = new TLbButton(P_Button);
        b->SetBounds(8 + i * 118, 6, 110, 28);
        *places[i] = b;
    }
    Btn_Cancel->SetModalResult(mrCancel);
    Btn_Cancel->SetCancel(true);
    Btn_OK->OnClick = [this](QObject* s) { Btn_OKClick(s); };
    if (form_.row_buttons) {
        Btn_DelRow->OnClick = [this](QObject* s) { Btn_DelRowClick(s); };
        Btn_InsRow->OnClick = [this](QObject* s) { Btn_InsRowClick(s); };
        Btn_CopyRow->OnClick = [this](QObject* s) { Btn_CopyRowClick(s); };
        Btn_PasteRow->OnClick = [this](QObject* s) { Btn_PasteRowClick(s); };
    }

    const int n = static_cast<int>(form_.grids.size());
    if (n > 1) {
        Page_Control = new TPageControl(this);
        Page_Control->SetAlign(alClient);
    }
    for (int g = 0; g < n; ++g) {
        QWidget* parent = this;
        if (Page_Control) {
            Tabs.push_back(Page_Control->AddPage(QString()));
            parent = Tabs.back();
        }
        Create_Grid(g, parent);
    }
    if (Page_Control)
        Page_Control->SetActivePage(Tabs.front());
    Set_Lang();
}

TSet_Access_Form::~TSet_Access_Form() = default;

void TSet_Access_Form::Create_Grid(int index, QWidget* parent)
{
    const TRule_Grid& desc = form_.grids[index];
    auto* grid = new VOruVizizaZezo(parent);
    Grids.push_back(grid);
    const int columns = static_cast<int>(desc.columns.size());
    grid->SetName(desc.name);
    grid->SetAlign(alClient);
    grid->SetColCount(columns);
    grid->SetRowCount(desc.rows + 1);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetShowHint(form_.show_hints);
    for (int c = 0; c < columns; ++c) {
        const TRule_Column& col = desc.columns[c];
        TGridColumnItem* item = grid->Columns().GetItem(c);
        item->SetWidth(col.width);
        item->SetEditor(col.editor);
        if (col.editor == edDataCheckBox) {
            item->SetCheckTrue(QStringLiteral("Y"));
            item->SetCheckFalse(QStringLiteral("N"));
        }
        if (col.fill == TRule_Choices::Fixed)
            item->SetComboItems(col.choices);
    }
    grid->Columns().GetItem(0)->SetReadOnly(true);
    if (form_.row_height > 0) {
        // The data rows only; the header keeps its height.
        const int header = grid->FixedRowHeight();
        grid->SetDefaultRowHeight(form_.row_height);
        grid->SetFixedRowHeight(header);
    }
    for (int c = 1; c < columns; ++c)
        if (desc.columns[c].check_cell) {
            grid->AddCheckBoxColumn(c);
            for (int r = 1; r < grid->RowCount(); ++r)
                grid->SetAlignments(c, r, taCenter);
        }
    for (int c = columns - 1; c >= 1; --c)
        if (desc.columns[c].hidden)
            grid->HideColumn(c);
    if (form_.row_select)
        grid->OnClickCell = [this](QObject* s, int row, int col) { ClickCell(s, row, col); };
    if (!form_.grid_events)
        return;
    grid->OnDblClickCell = [this](QObject* s, int row, int col) { DblClickCell(s, row, col); };
    grid->OnGridHint = [this](QObject* s, int row, int col, QString& hint) { GridHint(s, row, col, hint); };
    grid->OnKeyPress = [this](QObject* s, QChar& key) { KeyPress(s, key); };
}

void TSet_Access_Form::Set_Lang()
{
    SetCaption(Text(form_.caption));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(form_.title));
    TLbButton* const buttons[] = {Btn_OK, Btn_Cancel, Btn_DelRow, Btn_InsRow, Btn_CopyRow, Btn_PasteRow};
    for (int i = 0; i < 6; ++i) {
        if (!buttons[i])
            continue;
        buttons[i]->SetCaption(form_.button_captions[i] > 0 ? Text(form_.button_captions[i])
                                                            : form_.design_captions[i]);
        buttons[i]->SetHint(Text(form_.button_hints[i]));
    }
    for (size_t g = 0; g < form_.grids.size(); ++g) {
        const TRule_Grid& desc = form_.grids[g];
        if (g < Tabs.size())
            Tabs[g]->SetCaption(Text(desc.tab));
        Hints[g].clear();
        for (size_t c = 0; c < desc.columns.size(); ++c) {
            const QString header = Text(desc.columns[c].header);
            Grids[g]->Columns().GetItem(static_cast<int>(c))->SetHeader(header);
            if (form_.headers_in_cells)
                Grids[g]->SetCellEx(static_cast<int>(c), 0, header);
            if (c >= 1)
                Hints[g] << (desc.columns[c].hint > 0 ? Text(desc.columns[c].hint) : QString());
        }
    }
    Set_Lang_Extra();
}

void TSet_Access_Form::Reset_Grid(int g)
{
    const TRule_Grid& desc = form_.grids[g];
    VOruVizizaZezo* grid = Grids[g];
    const int columns = grid->ColCount() + grid->NumHiddenColumns();
    for (int r = 1; r < grid->RowCount(); ++r) {
        grid->SetCellEx(0, r, QString::number(r));
        for (int c = 1; c < columns; ++c)
            Set_Cell(g, c, r, c < static_cast<int>(desc.columns.size()) ? desc.columns[c].reset : QString());
    }
    // Locks that rows of a string grid carried away are lifted with their texts.
    if (Check_Rows(g))
        for (int r = 1; r < grid->RowCount(); ++r)
            for (int c = 1; c < columns; ++c)
                grid->GetCellProperties(c, r)->SetReadOnly(false);
}

bool TSet_Access_Form::Check_Rows(int g) const
{
    for (const TRule_Column& c : form_.grids[g].columns)
        if (c.check_cell)
            return true;
    return false;
}

// Only the string grid's own check boxes: a column grid's data check box is
// the cell's text, kept as typed.
static bool Is_Check_Cell(const TRule_Grid& grid, int col)
{
    return col >= 1 && col < static_cast<int>(grid.columns.size()) && grid.columns[col].check_cell;
}

QString TSet_Access_Form::Get_Cell(int g, int col, int row) const
{
    bool state = false;
    if (Is_Check_Cell(form_.grids[g], col) && Grids[g]->GetCheckBoxState(col, row, state))
        return state ? QStringLiteral("Y") : QStringLiteral("N");
    return Grids[g]->GetCellEx(col, row);
}

void TSet_Access_Form::Set_Cell(int g, int col, int row, const QString& text)
{
    if (Is_Check_Cell(form_.grids[g], col) && Grids[g]->HasCheckBox(col, row))
        Grids[g]->SetCheckBoxState(col, row, text != QLatin1String("N"));
    else
        Grids[g]->SetCellEx(col, row, text);
}

void TSet_Access_Form::Fill_Choices(int g)
{
    const TRule_Grid& desc = form_.grids[g];
    for (size_t c = 1; c < desc.columns.size(); ++c) {
        const TRule_Choices fill = desc.columns[c].fill;
        if (fill == TRule_Choices::Fixed)
            continue;
        QStringList items;
        items.reserve(Capacity[g] + 1);
        if (fill == TRule_Choices::None_Then_Positions)
            items << QStringLiteral("None");
        for (int p = 0; p < Capacity[g]; ++p)
            items << QString::number(p);
        Grids[g]->Columns().GetItem(static_cast<int>(c))->SetComboItems(items);
    }
}

void TSet_Access_Form::Fill_Grid(int g, const TRule_Rows& rows)
{
    VOruVizizaZezo* grid = Grids[g];
    const int room = grid->RowCount() - 1;
    const int columns = grid->ColCount() + grid->NumHiddenColumns();
    for (int i = 0; i < static_cast<int>(rows.size()) && i < room; ++i)
        for (int c = 1; c < columns && c <= rows[i].size(); ++c)
            Set_Cell(g, c, i + 1, rows[i][c - 1]);
}

void TSet_Access_Form::FormShow()
{
    unread_.Clear();
    if (!Prepare_Show())
        return;
    const int n = static_cast<int>(Grids.size());
    for (int g = 0; g < n; ++g) {
        Reset_Grid(g);
        Fill_Choices(g);
    }
    if (Page_Control && !form_.keep_tab)
        Page_Control->SetActivePage(Tabs.front());
    Before_Load();

    std::vector<int> rows;
    for (VOruVizizaZezo* grid : Grids)
        rows.push_back(grid->RowCount() - 1);
    TRule_File file;
    const TRule_Load load = Load_Rule_File(form_, form_.path ? *form_.path : QString(), rows, &file);
    not_shown_.assign(n, 0);
    const QString path = form_.path ? *form_.path : QString();
    if (load == TRule_Load::Not_Loaded) {
        unread_.Add(path, file.error);
        ShowErrorBox(file.error);
    } else {
        for (int g = 0; g < n; ++g)
            Fill_Grid(g, file.grids[g]);
        After_Load();
        if (load == TRule_Load::Stopped) {
            unread_.Add(path, file.error);
            ShowErrorBox(file.error);
        }
        for (int g = 0; g < n; ++g) {
            not_shown_[g] = file.not_shown[g];
            if (not_shown_[g] > 0) {
                const QString warning = Rule_Too_Many_Warning(rows[g] + not_shown_[g], rows[g]);
                unread_.Add(path, warning);
                ShowMessage(MessageKind::Warning, warning, MessageButtons::Ok);
            }
        }
    }
    Copied.assign(n, false);
    if (form_.focus_grid && Grids.front()->CanFocus())
        Grids.front()->SetFocus();
}

TRule_Rows TSet_Access_Form::Grid_Rows(int g) const
{
    VOruVizizaZezo* grid = Grids[g];
    const int columns = static_cast<int>(form_.grids[g].columns.size());
    TRule_Rows rows;
    rows.reserve(grid->RowCount());
    for (int r = 1; r < grid->RowCount(); ++r) {
        QStringList row;
        row.reserve(columns);
        for (int c = 1; c < columns; ++c)
            row << Get_Cell(g, c, r);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TRule_Rows> TSet_Access_Form::Rules_To_Save() const
{
    std::vector<TRule_Rows> all;
    for (int g = 0; g < static_cast<int>(Grids.size()); ++g) {
        all.push_back(Grid_Rows(g));
        Cells_To_File(g, all.back());
    }
    return all;
}

bool TSet_Access_Form::Controllo_dati()
{
    Before_Check();
    const TRule_Hook hook = [this](int g, int id, const QStringList& row) { return Hook_Check(g, id, row); };
    const TRule_Shown shown = [this](int g, int column) { return !Grids[g]->IsHiddenColumn(column); };
    for (int g = 0; g < static_cast<int>(Grids.size()); ++g) {
        const TRule_Rows rows = Grid_Rows(g);
        QString fault = Check_Rule_Grid(form_, g, rows, Capacity[g], hook, shown);
        if (fault.isEmpty())
            fault = Extra_Check(g, rows);
        if (!fault.isEmpty()) {
            ShowMessage(MessageKind::Error, fault, MessageButtons::Ok);
            return false;
        }
    }
    return true;
}

void TSet_Access_Form::Btn_OKClick(QObject*)
{
    if (!Controllo_dati() || !Consent_To_Replace(unread_))
        return;
    QString error;
    if (!Save_Rule_File(form_, form_.path ? *form_.path : QString(), Rules_To_Save(), &error)) {
        ShowErrorBox(error);
        return;
    }
    unread_.Clear();
    SetModalResult(mrOk);
}

int TSet_Access_Form::Active_Grid_Index() const
{
    if (!Page_Control)
        return 0;
    const auto it = std::find(Tabs.begin(), Tabs.end(), Page_Control->ActivePage());
    return it == Tabs.end() ? 0 : static_cast<int>(it - Tabs.begin());
}

void TSet_Access_Form::Btn_DelRowClick(QObject*)
{
    const int g = Active_Grid_Index();
    VOruVizizaZezo* grid = Grids[g];
    const int row = grid->Row();
    const QString question = form_.delete_formatted ? rules::Format_Message(Text(form_.delete_question), {row})
                                                    : Text(form_.delete_question) + QString::number(row);
    if (ShowMessage(MessageKind::Confirmation, question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (Check_Rows(g))
        Grid_Delete_Row_Check(row, grid, form_.grids[g].enable == 1);
    else
        Grid_Delete_Row(row, grid);
    After_Row_Move(g);
}

void TSet_Access_Form::Btn_InsRowClick(QObject*)
{
    const int g = Active_Grid_Index();
    VOruVizizaZezo* grid = Grids[g];
    if (Check_Rows(g))
        Grid_Insert_Row_Check(grid->Row(), grid, form_.grids[g].enable == 1);
    else
        Grid_Insert_Row(grid->Row(), grid, form_.grids[g].enable == 1);
    After_Row_Move(g);
}

void TSet_Access_Form::Btn_CopyRowClick(QObject*)
{
    const int g = Active_Grid_Index();
    if (Check_Rows(g))
        Grid_Copy_Row_Check(Grids[g], Grids[g]->Row());
    else
        Grid_Copy_Row(Grids[g], Grids[g]->Row());
    Copied.assign(Grids.size(), false);
    Copied[g] = true;
}

void TSet_Access_Form::Btn_PasteRowClick(QObject*)
{
    const int g = Active_Grid_Index();
    const int row = Grids[g]->Row();
    const bool pasted = Check_Rows(g) ? Grid_Paste_Row_Check(Grids[g], row, Copied[g])
                                      : Grid_Paste_Row(Grids[g], row, Copied[g]);
    if (pasted)
        After_Paste(g, row);
}

void TSet_Access_Form::ClickCell(QObject* sender, int row, int col)
{
    auto* grid = dynamic_cast<VOruVizizaZezo*>(sender);
    if (grid && col == 0 && row >= 1)
        grid->SelectRows(row, 1);
}

void TSet_Access_Form::DblClickCell(QObject* sender, int row, int col) { Grid_DblClick_AutoSize(sender, row, col); }

void TSet_Access_Form::GridHint(QObject* sender, int row, int col, QString& hint)
{
    hint.clear();
    const auto it = std::find(Grids.begin(), Grids.end(), dynamic_cast<VOruVizizaZezo*>(sender));
    if (it == Grids.end() || row != 0 || col < 1)
        return;
    const int g = static_cast<int>(it - Grids.begin());
    const int c = form_.grids[g].hints_by_real ? (*it)->RealColIndex(col) : col;
    if (c >= 1 && c <= Hints[g].size())
        hint = Hints[g][c - 1];
}

void TSet_Access_Form::KeyPress(QObject* sender, QChar& key) { Grid_Enter_Next_Cell(sender, key); }
