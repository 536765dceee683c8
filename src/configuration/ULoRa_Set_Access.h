#pragma once

// The LoRaWAN rules, step 3 "Set LoRaWAN Access": the uplink and downlink rule
// tables of the open configuration and their file "LoRaWAN_SetAccess.xml".
//
// Rows and columns: real column c of a table's grid holds attribute c - 1 of
// its rules (column 0 is the rule number, never stored); grid row r holds rule
// r - 1. A table ends at its first row whose Start Byte is blank.
//
// The file's layout, its reading defaults, the checks and the one test of
// "enabled" live here beside the window, for the window, the update request's
// payload check and the image compiler alike.

#include "platform/Forms.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace platform {
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
}
class TLbButton;
class VOruVizizaZezo;

enum class TLoRa_Table { Uplink, Downlink };

// How a table is stored and checked. Column numbers are real grid columns; 0
// where the table has no such column.
struct TLoRa_Table_Layout
{
    QString list;              // the list element under the root
    QStringList attributes;    // in the order written; column c holds attributes[c - 1]
    QStringList check_boxes;   // attributes edited as "Y"/"N" check boxes
    int enable, start_byte, num_byte, on_timer, time, fport;
    // Language entries of the checks' messages, after 1243 "Error row " and the row.
    int msg_start_byte, msg_num_byte, msg_time, msg_fport;
    QString name;              // "[LoraWAN Uplink]", for the messages outside the table
};
const TLoRa_Table_Layout& LoRa_Layout(TLoRa_Table table);

// What a missing attribute reads as: "Enable" "Y", the three sending
// conditions "N", everything else empty.
QString LoRa_Attribute_Default(const QString& attribute);

// Whether a check-box cell of a rule is set: its text is exactly "Y", no
// blanks, no other case, which is what the window's check box shows as
// checked. Every reader of the rules (this window, the update request's
// payload check, the image compiler) decides with these two whether a rule is
// enabled, so that no rule is checked, compiled or left out other than the
// window shows it. The sending conditions follow LoRa_Trigger_Set below.
//
// LoRa_Rule_Enabled takes the "Enable" text as Load_LoRa_Rules gives it: an
// attribute missing from the file has become "Y" there, so such a rule is
// enabled, as the window shows it. A reader of its own must give a missing
// "Enable" the text "Y" before asking.
bool LoRa_Flag_Set(const QString& text);
bool LoRa_Rule_Enabled(const QString& enable);

// A sending condition ("OnChange", "OnCMD", "OnTimer") as the image carries
// it: set when its text, upper-cased and not trimmed, is "Y". The window
// checks the time of every timer the image will carry.
bool LoRa_Trigger_Set(const QString& text);

// The converter's data area the rules send from: positions 0 to 1536.
constexpr int LoRa_Data_Area_Size = 1537;
// The one test of a rule's byte range against the end of the data area, for
// the window's OK and the image compiler alike: the message that refuses it
// (grid row r, from 1), or empty when the range fits.
QString LoRa_Data_Area_Fault(TLoRa_Table table, int row, int start, int bytes);

// A table's rules: one list of texts per rule, entry i the text of attribute i.
using TLoRa_Rows = std::vector<QStringList>;

struct TLoRa_Rules
{
    TLoRa_Rows uplink;
    TLoRa_Rows downlink;
};

enum class TLoRa_Load { Missing, Loaded, Not_Loaded };

// Reads every rule of both lists (every element below each list, in order;
// comments are no rules), each attribute on its own with its default. Missing when there is no file,
// Not_Loaded with the parser's message when it is not well-formed. The root
// is the document element (comments before it change nothing); a root
// without a list reads as empty tables.
TLoRa_Load Load_LoRa_Rules(const QString& path, TLoRa_Rules* rules, QString* error = nullptr);

// The whole file: root "LoRaWAN_Set_Access", the version comment after it, the
// two lists with one "row" per rule, every attribute on every row, texts as
// they stand. Saving replaces the old file only when all was written.
QByteArray LoRa_Rules_Bytes(const TLoRa_Rules& rules);
bool Save_LoRa_Rules(const QString& path, const TLoRa_Rules& rules, QString* error = nullptr);

// How many of the rows are saved: those above the first blank Start Byte.
int LoRa_Saved_Count(TLoRa_Table table, const TLoRa_Rows& rows);

// The first fault of a table, as the error box shows it; empty when the table
// passes. Rows are checked in order up to the first blank Start Byte; a rule
// below that row (or text in it) would not be saved, which is a fault too.
// Rules that are not enabled are not checked.
QString LoRa_Check_Table(TLoRa_Table table, const TLoRa_Rows& rows, int maxPayloadSize, bool fportShown);

// The notices about a file holding more rules than the table: shown when it
// is loaded, and asked before a save that would drop the rest.
QString LoRa_Too_Many_Rules_Warning(int inFile, int shown);
QString LoRa_Too_Many_Rules_Question(int inFile, int shown);

class TFLoRa_Set_Access : public platform::TForm
{
public:
    TFLoRa_Set_Access();
    ~TFLoRa_Set_Access() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TPageControl* PC_LoRa = nullptr;
    platform::TTabSheet* TS_LoRa_Uplink = nullptr;
    platform::TTabSheet* TS_LoRa_Downlink = nullptr;
    VOruVizizaZezo* ECG_LoRa_Uplink = nullptr;
    VOruVizizaZezo* ECG_LoRa_Downlink = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;
    TLbButton* Btn_DelRow = nullptr;
    TLbButton* Btn_InsRow = nullptr;
    TLbButton* Btn_CopyRow = nullptr;
    TLbButton* Btn_PasteRow = nullptr;

    // Header hints, entry c - 1 for real column c.
    QStringList Hint_UpLink;
    QStringList Hint_DownLink;
    // From "ParGen.xml" at each showing; 0: not set.
    int MaxPayloadSize = 0;
    bool FPortFixed = true;
    // A row was copied on that table since the window was shown.
    bool Do_Copy_Uplink = false;
    bool Do_Copy_Downlink = false;

    // Each showing: both files read again, the tables rebuilt. A file that
    // cannot be read is reported and the window closes with Cancel, so that
    // nothing can be saved over it; only a damaged rules file may be replaced,
    // when the user allows it (the tables then start empty).
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
    void Set_Lang();

    // A table's rows as the grid holds them (every rule row).
    TLoRa_Rows Grid_Rows(TLoRa_Table table) const;
    // What OK writes.
    TLoRa_Rules Rules_To_Save() const;
    // Rules of the file that the uplink table could not show.
    int Uplink_Not_Shown() const { return uplink_not_shown_; }

private:
    void Create_Grid(VOruVizizaZezo* grid, TLoRa_Table table);
    VOruVizizaZezo* Grid_Of(TLoRa_Table table) const;
    VOruVizizaZezo* Active_Grid() const;
    bool Downlink_Shown() const;
    void Reset_Table(VOruVizizaZezo* grid);
    // Fills the grid from the rules, as many as it holds; the number left out.
    int Fill_Table(VOruVizizaZezo* grid, const TLoRa_Rows& rows);

    TLoRa_Rows downlink_from_file_;
    int uplink_in_file_ = 0;
    int uplink_not_shown_ = 0;
};

extern TFLoRa_Set_Access* FLoRa_Set_Access;
