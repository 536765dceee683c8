#pragma once

// The rule-table window family (Set_Access_Form): one engine for the windows
// that edit numbered rule rows and keep them in one XML file of the open
// configuration. Each member describes its grids, columns, choices,
// attributes, defaults, row counts and checks as data (TRule_Form) and adds
// code of its own only where it really differs (the virtual hooks).
//
// Rows and columns: grid row r holds rule r; real column c holds attribute
// c - 1 of the grid's columns list (column 0 is the row number, never stored).
// Rule rows as the engine passes them around hold the texts of columns 1 and
// up, entry c - 1 for column c. One key column per grid decides both what is
// checked and what is saved: the rules end at the first row whose key cell
// is blank after trimming (a grid without a key column keeps every row).

#include "rules/URule_Files.h"
#include "grid/ExGrid.h"
#include "platform/Forms.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
}
class TLbButton;
class VOruVizizaZezo;

// A Position list: "0" .. capacity - 1, with "None" first where asked.
enum class TRule_Choices { Fixed, Positions, None_Then_Positions };

struct TRule_Column
{
    // Empty for column 0; a data column without one is not kept in the file
    // (a loaded row gives it the fallback).
    QString attribute;
    int header = 0;             // language entry
    int hint = 0;               // language entry of the header hint; 0: none
    TEditorType editor = edNormal;
    // A check box of the grid's own in every data cell (string grids):
    // stored "Y" when ticked and "N" otherwise; any text but "N" ticks it.
    bool check_cell = false;
    int width = 64;
    bool mandatory = false;     // a missing attribute stops the loading
    QString fallback;           // what a missing optional attribute reads as
    // Where the default depends on the cells of the row read before it.
    std::function<QString(const QStringList& cellsSoFar)> fallback_of_row;
    QString reset;              // what the showing puts into the cell
    QStringList choices;
    TRule_Choices fill = TRule_Choices::Fixed;
    bool hidden = false;
    // Where the file stores something else than the cell's text (an index
    // into a list, say): the cell from the stored text, the stored text from the cell.
    std::function<QString(const QString& stored)> from_file;
    std::function<QString(const QString& cell)> to_file;
    // An older attribute that, when a row has it, gives the cell in place of
    // the column's own attribute (which is then not read).
    QString legacy;
    std::function<QString(const QString& legacyValue)> from_legacy;
};

// A condition on a cell of the row; column 0 means always.
struct TRule_When
{
    int column = 0;
    QStringList texts;          // the trimmed cell is one of them ...
    bool upper = false;         // ... after upper-casing
    bool negate = false;        // ... or is none of them
    bool exact = false;         // compared as it stands, not trimmed
    bool numeric = false;       // or: the cell's number is at least at_least
    int at_least = 0;
};

// Test: the check's own test of the row; Hook: the window's Hook_Check,
// for checks that keep state over the rows (a connection table, say).
// Total: the rows' sizes added up in row order must stay within the capacity.
enum class TRule_Check_Kind { Range, Not_Empty, IPv4, Frame_Byte, Span, Float_Range, Number_In, Test, Hook, Total };

// The grid's capacity - 1, as a bound.
constexpr int64_t kRule_Capacity_Last = INT64_MIN;

struct TRule_Check
{
    TRule_Check_Kind kind = TRule_Check_Kind::Range;
    int column = 0;
    int64_t low = 0, high = 0;
    int message = 0;            // language entry after the prefix and the row
    QString text;               // message 0: this text, for checks the language table has no entry for
    bool bound = false;         // the high bound appended in decimal
    int suffix = 0;             // language entry appended after that
    TRule_When when;
    // Span: the last byte from Position (column), points and start bit must
    // lie inside the capacity; status kind by `status`; an empty start bit of
    // a status rule gives bit_message.
    int points = 0, start_bit = 0, bit_message = 0;
    TRule_When status;
    double float_low = 0, float_high = 0;
    // The message is a format with places for the row and the capacity, in
    // place of prefix, row, message and bound.
    bool formatted = false;
    std::vector<int64_t> values;  // Number_In: the cell's number is one of them
    // Test: true when the row passes; the bound appended may depend on the row.
    std::function<bool(const QStringList& row, int capacity)> test;
    std::function<int64_t(const QStringList& row, int capacity)> bound_of;
    int hook = 0;               // Hook: which of the window's checks
    // Total: what the row adds once its earlier checks passed (negative: 0).
    std::function<int64_t(const QStringList& row)> size;
    bool row_prefix = true;     // false: the message alone, without prefix and row
    int shown = 0;              // runs only while this real column is shown in the grid; 0: always
    // Text appended last that depends on the row (an expected value, say).
    std::function<QString(const QStringList& row)> suffix_of;
};

// The window's stateful checks: true when the row passes.
using TRule_Hook = std::function<bool(int grid, int hook, const QStringList& row)>;
// Whether a real column of a grid is shown, for checks that run only then.
using TRule_Shown = std::function<bool(int grid, int column)>;

struct TRule_Grid
{
    QString name;               // "ECG_CAN_Receive"
    QString list;               // list element under the root; empty: the rules stand under the root
    int tab = 0;                // language entry of the tab caption (grids on tab pages)
    int rows = 0;               // data rows
    int key = 0;                // 0: every row is a rule
    int enable = 0;             // 0: no enable column
    bool enable_upper = false;  // "y" enables too
    bool hints_by_real = false;
    int capacity = 0;           // positions of the data area this grid addresses
    std::vector<TRule_Column> columns;
    std::vector<TRule_Check> checks;
    bool key_exact = false;     // the key cell ends the rules only when empty as it stands, not trimmed
    int check_key = 0;          // the checks end at a blank of this column instead of the key
    int error_prefix = 0;       // the grid's own row prefix in place of the form's; 0: the form's
};

struct TRule_Form
{
    QString name;               // instance name, "FReceiveCAN"
    QString root, version;      // version comment text, "SW_VERSION = 1.000"
    QString row = QStringLiteral("row");
    QString* path = nullptr;    // the project file path global
    int caption = 0, title = 0, error_prefix = 0, delete_question = 0;
    bool row_buttons = true;    // Delete, Insert, Copy, Paste besides OK and Cancel
    // Captions and hints of OK, Cancel, Delete, Insert, Copy, Paste; a caption
    // entry 0 keeps the design caption given beside it.
    int button_captions[6] = {};
    int button_hints[6] = {};
    QString design_captions[6];
    int width = 900, height = 400;
    bool row_select = true;     // a click in column 0 selects the row
    bool headers_in_cells = false;
    bool focus_grid = false;    // the grid takes the focus after each showing
    bool grid_events = true;    // double click, Enter and header hints
    bool delete_formatted = false;  // the delete question has a place for the row
    int row_height = 0;         // 0: the grid's own
    bool keep_tab = false;      // a showing leaves the tab the user chose (the first at the first showing)
    std::vector<TRule_Grid> grids;
    bool show_hints = true;     // the grids show their header hints
};

// One grid's rows, entry c - 1 of a row for real column c.
using TRule_Rows = std::vector<QStringList>;

enum class TRule_Load { Missing, Loaded, Stopped, Not_Loaded };

struct TRule_File
{
    std::vector<TRule_Rows> grids;  // what was read, per grid (a row cut by a missing attribute is short)
    std::vector<int> not_shown;     // rules per grid beyond its rows, not read
    QString error;                  // the parser's or the conversion message
};

// Reads the file into at most `rows[g]` rules per grid. The root is the
// document element, whatever precedes it. Optional attributes take their
// defaults; a missing mandatory one stops the reading there (Stopped, the
// conversion message naming the file, row and attribute), what was read
// before stays.
TRule_Load Load_Rule_File(const TRule_Form& form, const QString& path, const std::vector<int>& rows,
                          TRule_File* out);
// The rules a grid saves: up to the first blank key.
int Rule_Count(const TRule_Grid& grid, const TRule_Rows& rows);
// The rows a grid checks: up to the first blank check key (the key when none).
int Rule_Check_Count(const TRule_Grid& grid, const TRule_Rows& rows);
// The first fault of a grid as the error box shows it; empty when it passes.
QString Check_Rule_Grid(const TRule_Form& form, int grid, const TRule_Rows& rows, int capacity,
                        const TRule_Hook& hook = {}, const TRule_Shown& shown = {});
// The whole file: root, version comment, then per grid its list and rules.
QByteArray Rule_File_Bytes(const TRule_Form& form, const std::vector<TRule_Rows>& grids);
bool Save_Rule_File(const TRule_Form& form, const QString& path, const std::vector<TRule_Rows>& grids,
                    QString* error = nullptr);
// The notice when a file holds more rules than a grid shows.
QString Rule_Too_Many_Warning(int inFile, int shown);

class TSet_Access_Form : public platform::TForm
{
public:
    explicit TSet_Access_Form(const TRule_Form& form);
    ~TSet_Access_Form() override;

    const TRule_Form& Form() const { return form_; }

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPageControl* Page_Control = nullptr;   // only with grids on tab pages
    std::vector<platform::TTabSheet*> Tabs;
    std::vector<VOruVizizaZezo*> Grids;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_DelRow = nullptr;
    TLbButton* Btn_InsRow = nullptr;
    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;

    std::vector<QStringList> Hints;    // per grid, entry i the hint of column i + 1
    std::vector<bool> Copied;          // per grid: a row was copied there since the showing
    std::vector<int> Capacity;         // per grid, set at each showing

    void Set_Lang();
    void FormShow();
    void Btn_OKClick(QObject* sender);
    bool Controllo_dati();
    void Btn_DelRowClick(QObject* sender);
    void Btn_InsRowClick(QObject* sender);
    void Btn_CopyRowClick(QObject* sender);
    void Btn_PasteRowClick(QObject* sender);
    void ClickCell(QObject* sender, int row, int col);
    void DblClickCell(QObject* sender, int row, int col);
    void GridHint(QObject* sender, int row, int col, QString& hint);
    void KeyPress(QObject* sender, QChar& key);

    // Every data row of a grid as it stands, and what OK would write.
    TRule_Rows Grid_Rows(int grid) const;
    std::vector<TRule_Rows> Rules_To_Save() const;
    int Active_Grid_Index() const;
    // A cell's text, a check-box cell as "Y" or "N"; setting a check-box
    // cell ticks it unless the text is "N".
    QString Get_Cell(int grid, int col, int row) const;
    void Set_Cell(int grid, int col, int row, const QString& text);
    bool Check_Rows(int grid) const;
    int Not_Shown(int grid) const { return grid < int(not_shown_.size()) ? not_shown_[grid] : 0; }
    // What the last showing could not read of the file; OK asks before replacing it.
    const TUnread& Unread() const { return unread_; }

protected:
    // Member settings before the grids are reset (row counts, capacities);
    // false stops the showing (the member has told the user why).
    virtual bool Prepare_Show() { return true; }
    // Member settings after the reset, before the file is read.
    virtual void Before_Load() {}
    // A member's checks after the described ones; a fault's full text, or empty.
    virtual QString Extra_Check(int grid, const TRule_Rows& rows) { return QString(); }
    // Before the first grid is checked, and a Hook check of an enabled row.
    virtual void Before_Check() {}
    virtual bool Hook_Check(int grid, int hook, const QStringList& row) { return true; }
    // After the file's rules are in the grids, and after a row was pasted.
    virtual void After_Load() {}
    virtual void After_Paste(int grid, int row) {}
    // The cells as OK writes them, where a member stores something else than
    // what a cell shows and needs its own state to say what (the rows as the
    // grid holds them, entry c - 1 for column c).
    virtual void Cells_To_File(int grid, TRule_Rows& rows) const {}
    // After Delete Row (answered Yes) or Insert Row moved the rows of a grid.
    virtual void After_Row_Move(int grid) {}
    // Member code to tailor the texts after the family's.
    virtual void Set_Lang_Extra() {}

    void Reset_Grid(int grid);
    void Fill_Choices(int grid);

private:
    // Built when first needed (see Build_When_Needed).
    void Create_Controls();
    void Create_Grid(int index, QWidget* parent);
    void Fill_Grid(int grid, const TRule_Rows& rows);

    const TRule_Form& form_;
    std::vector<int> not_shown_;
    TUnread unread_;
};
