#include "protocols/USNMPManagerAccess.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"
#include "shell/ULanguage.h"

TFSNMPManagerAccess* FSNMPManagerAccess = nullptr;

namespace {

constexpr int kArea = 1440;

enum { cEnable = 1, cIP, cVersion, cCommunity, cOID, cType, cMode, cOnChange, cOnCMD, cOnTimer, cTime, cPosition,
       cBytes, cConversion, cCancel, cUser, cAuthPass, cPrivPass, cLevel, cAuthMode, cPrivMode, cMnemonic };

QString Cell(const QStringList& row, int column) { return column <= row.size() ? row[column - 1] : QString(); }

bool Version_3(const QStringList& r) { return rules::Rule_Number(Cell(r, cVersion)) == 3; }

bool Enabled(const QStringList& r) { return Cell(r, cEnable).trimmed() == QLatin1String("Y"); }

// The used rows: up to the first blank address.
int Used(const TRule_Rows& rows)
{
    int n = 0;
    while (n < static_cast<int>(rows.size()) && !Cell(rows[n], cIP).trimmed().isEmpty())
        ++n;
    return n;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FSNMPManagerAccess");
    f.root = QStringLiteral("SNMP_Manager_Access");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_SNMP_Manager;
    f.caption = 6100;
    f.title = 6101;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 6102 + i;
        f.button_hints[i] = 6148 + i;
    }
    f.error_prefix = 6137;
    f.delete_question = 6147;
    f.width = 1230;
    f.height = 337;
    f.row_select = false;
    f.focus_grid = true;
    TRule_Grid g;
    g.name = QStringLiteral("ECG_SNMP");
    g.rows = 512;
    g.key = cIP;
    g.enable = cEnable;
    g.capacity = kArea;
    const auto box = edDataCheckBox;
    g.columns = {
        {.header = 6108, .width = 40},
        {.attribute = "Enable", .header = 6109, .hint = 6123, .editor = box, .width = 50, .fallback = "Y", .reset = "Y"},
        {.attribute = "IP_Address", .header = 6110, .hint = 6124, .width = 110},
        {.attribute = "Version", .header = 6111, .hint = 6125, .editor = edComboList, .width = 55,
         .choices = {"1", "2", "3"}},
        {.attribute = "Community_String", .header = 6112, .hint = 6126, .editor = edComboEdit, .width = 100,
         .choices = {"Zuvoro", "Diruraz"}},
        {.attribute = "OID", .header = 6113, .hint = 6127, .width = 160},
        {.attribute = "Type", .header = 6114, .hint = 6128, .editor = edComboList, .width = 55,
         .choices = {"String", "Int"}},
        {.attribute = "Mode", .header = 6115, .hint = 6129, .editor = edComboList, .width = 50,
         .choices = {"Get", "Set", "Trap"}},
        {.attribute = "On_Change", .header = 6116, .hint = 6130, .editor = box, .width = 65, .fallback = "N"},
        {.attribute = "On_Command", .header = 6117, .hint = 6131, .editor = box, .width = 60, .fallback = "N"},
        {.attribute = "On_Timer", .header = 6118, .hint = 6132, .editor = box, .width = 60, .fallback = "N"},
        {.attribute = "Time", .header = 6119, .hint = 6133, .width = 60},
        {.attribute = "Position", .header = 6120, .hint = 6134, .editor = edComboList, .width = 60,
         .fill = TRule_Choices::Positions},
        {.attribute = "Number_Bytes", .header = 6121, .hint = 6135, .width = 65},
        {.attribute = "ConvertFrom", .header = 6154, .hint = 6155, .editor = edComboList, .width = 90,
         .fallback = "None", .choices = {"None", "Float", "Float * 10", "Float * 100"}},
        {.attribute = "Cancel", .header = 6160, .hint = 6161, .editor = box, .width = 50, .fallback = "N"},
        {.attribute = "User", .header = 6162, .hint = 6168, .width = 80},
        {.attribute = "Auth_Pass", .header = 6163, .hint = 6169, .width = 80},
        {.attribute = "Priv_Pass", .header = 6164, .hint = 6170, .width = 80},
        {.attribute = "Security_Level", .header = 6165, .hint = 6171, .editor = edComboList, .width = 100,
         .choices = {"NoAuth NoPriv", "Auth NoPriv", "Auth Priv"}},
        {.attribute = "Auth_Mode", .header = 6166, .hint = 6172, .editor = edComboList, .width = 65,
         .choices = {"MD5", "SHA"}},
        {.attribute = "Priv_Mode", .header = 6167, .hint = 6173, .editor = edComboList, .width = 65,
         .choices = {"DES", "AES"}},
        {.attribute = "Mnemonic", .header = 6122, .hint = 6136, .width = 150},
    };
    using K = TRule_Check_Kind;
    g.checks.push_back({.kind = K::Test, .column = cIP, .message = 6138, .test = [](const QStringList& r, int) {
                            QString p[4];
                            return Split_IP_Address(Cell(r, cIP), p[0], p[1], p[2], p[3]);
                        }});
    // One message per answer of the OID check.
    for (int code = 1; code <= 6; ++code)
        g.checks.push_back({.kind = K::Test, .column = cOID, .message = 6138 + code,
                            .test = [code](const QStringList& r, int) { return Check_SNMP_OID(Cell(r, cOID)) != code; }});
    g.checks.push_back({.kind = K::Range, .column = cTime, .low = 1, .high = 100000000, .message = 6145,
                        .when = {.column = cOnTimer, .texts = {"Y"}}});
    g.checks.push_back({.kind = K::Range, .column = cBytes, .low = 0, .high = 1024, .message = 6146});
    // The value must end inside the data area, as the Modbus windows require.
    g.checks.push_back(
        {.kind = K::Test, .column = cBytes, .message = spare_text::SNMP_Manager_Span,
         .text = QStringLiteral("!! Position plus Number bytes must be minor or equal to "), .bound = true,
         .test =
             [](const QStringList& r, int capacity) {
                 return rules::Rule_Number(Cell(r, cPosition)) + rules::Rule_Number(Cell(r, cBytes)) <= capacity;
             },
         .bound_of = [](const QStringList&, int capacity) { return int64_t(capacity); }});
    g.checks.push_back({.kind = K::Not_Empty, .column = cConversion, .message = 6156});
    g.checks.push_back({.kind = K::Test, .column = cAuthMode, .message = 6184, .test = [](const QStringList& r, int) {
                            return !Version_3(r) || !(SNMP_Security_Level_Code(Cell(r, cLevel)) & 1)
                                   || !Cell(r, cAuthMode).trimmed().isEmpty();
                        }});
    g.checks.push_back({.kind = K::Test, .column = cPrivMode, .message = 6185, .test = [](const QStringList& r, int) {
                            return !Version_3(r) || !(SNMP_Security_Level_Code(Cell(r, cLevel)) & 2)
                                   || !Cell(r, cPrivMode).trimmed().isEmpty();
                        }});
    f.grids = {g};
    return f;
}

} // namespace

namespace snmp {

int64_t Manager_Budget(const TRule_Rows& rows)
{
    const auto add = [](int64_t& budget, const QString& text) {
        if (!text.isEmpty())
            budget += text.size() + 1;
    };
    int64_t budget = 1;
    const int used = Used(rows);
    for (int i = 0; i < used; ++i) {
        const QStringList& r = rows[i];
        if (!Enabled(r))
            continue;
        budget += Cell(r, cOID).size() + 1;
        if (!Version_3(r)) {
            add(budget, Cell(r, cCommunity));
            continue;
        }
        add(budget, Cell(r, cUser));
        const int code = SNMP_Security_Level_Code(Cell(r, cLevel));
        if (code & 1)
            add(budget, Cell(r, cAuthPass));
        if (code & 2)
            add(budget, Cell(r, cPrivPass));
    }
    return budget;
}

std::pair<int, int> Manager_Duplicate(const TRule_Rows& rows)
{
    const int used = Used(rows);
    const auto same = [&](int a, int b) {
        for (int c : {cIP, cVersion, cOID})
            if (Cell(rows[a], c).trimmed() != Cell(rows[b], c).trimmed())
                return false;
        return true;
    };
    for (int r = 0; r < used; ++r) {
        if (!Enabled(rows[r]))
            continue;
        for (int s = r + 1; s < used; ++s)
            if (Enabled(rows[s]) && same(r, s))
                return {r + 1, s + 1};
    }
    return {0, 0};
}

} // namespace snmp

const TRule_Form& SNMP_Manager_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFSNMPManagerAccess::TFSNMPManagerAccess() : TSet_Access_Form(SNMP_Manager_Form()), Hint_SNMP(Hints[0])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_SNMP = Grids[0];
    });
}

TFSNMPManagerAccess::~TFSNMPManagerAccess()
{
    if (FSNMPManagerAccess == this)
        FSNMPManagerAccess = nullptr;
}

QString TFSNMPManagerAccess::Extra_Check(int, const TRule_Rows& rows)
{
    const auto [r, s] = snmp::Manager_Duplicate(rows);
    if (r > 0)
        return Language_List.value(6186) + QString::number(r) + Language_List.value(6187) + QString::number(s)
               + Language_List.value(6188);
    if (snmp::Manager_Budget(rows) > snmp::kManager_Budget)
        return Language_List.value(6189);
    return QString();
}
