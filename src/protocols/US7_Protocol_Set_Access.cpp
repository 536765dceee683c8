#include "protocols/US7_Protocol_Set_Access.h"

// Descriptions name only what a column or check differs in.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

#include "rules/URule_Checks.h"
#include "shell/UComon.h"

#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "platform/XmlDocument.h"

TFS7_Protocol_Set_Access* FS7_Protocol_Set_Access = nullptr;

namespace {

constexpr int kDefault_Area = 1500;
constexpr int kHook_Connection = 1;

// Columns both grids share.
enum { cAddress = 2, cPort, cType, cRack, cSlot, cDataType, cIdent, cDB, cArea, cPLCAdd, cPLCBit, cPoll };

QString Cell(const QStringList& row, int column) { return column <= row.size() ? row[column - 1] : QString(); }

bool Address_Ok(const QString& text)
{
    uint8_t b[4];
    return !IP_Text_To_Bytes(text, b[0], b[1], b[2], b[3]);
}

// Per grid: the header, hint and message entries.
struct Texts
{
    int headers[21];
    int hints[21];
    // address, port, connections, type, rack, slot, data type, identifier, DB, area, PLC add, PLC bit, poll,
    // position, start bit
    int messages[15];
    int poll_low;
};

TRule_Grid Make_Grid(bool write, const Texts& t)
{
    TRule_Grid g;
    g.name = write ? QStringLiteral("ECG_S7_Write") : QStringLiteral("ECG_S7_Read");
    g.list = write ? QStringLiteral("S7_Protocol_Write") : QStringLiteral("S7_Protocol_Read");
    g.tab = write ? 5915 : 5914;
    g.rows = 512;
    g.key = cAddress;
    g.enable = 1;
    g.capacity = kDefault_Area;
    g.hints_by_real = true;
    const auto box = edDataCheckBox;
    const QStringList bits = {"0", "1", "2", "3", "4", "5", "6", "7"};
    g.columns = {
        {},
        {.attribute = "Enable", .editor = box, .width = 50, .fallback = "Y", .reset = "Y"},
        {.attribute = "PLC_Address", .width = 110, .mandatory = true},
        {.attribute = "PLC_Port", .width = 60, .mandatory = true},
        {.attribute = "PLC_Type", .editor = edComboList, .width = 80, .mandatory = true,
         .choices = {"Logo0BA8", "S7200", "S7300", "S7400", "S71200", "S71500"}},
        {.attribute = "Rack", .width = 45, .fallback = "0"},
        {.attribute = "Slot", .width = 45, .fallback = "0"},
        {.attribute = "Data_Type", .editor = edComboList, .width = 70, .mandatory = true,
         .choices = {"Bit", "Byte", "Char", "Word", "Int", "DWord", "DInt", "Real"}},
        {.attribute = "Data_Identifier", .editor = edComboList, .width = 70, .mandatory = true,
         .choices = {"OB", "DB", "SDB", "FC", "SFC", "FB", "SFB"}},
        {.attribute = "DB_Number", .width = 70, .mandatory = true},
        {.attribute = "PLC_Area", .editor = edComboList, .width = 160, .mandatory = true,
         .choices = {"Direct peripheral access (P)", "Inputs (I)", "Output (Q)", "Flags (M) (Merker)"}},
        {.attribute = "PLC_Add", .width = 60, .mandatory = true},
        {.attribute = "PLC_Bit", .editor = edComboList, .width = 50, .mandatory = true, .choices = bits},
        {.attribute = "PollTime", .width = 65, .mandatory = true},
    };
    if (write) {
        g.columns.push_back({.attribute = "OnChange", .editor = box, .width = 65, .mandatory = true});
        g.columns.push_back({.attribute = "OnCMD", .editor = box, .width = 60, .mandatory = true});
    }
    const int position = static_cast<int>(g.columns.size());
    g.columns.push_back({.attribute = "Position", .editor = edComboList, .width = 60, .mandatory = true,
                         .fill = TRule_Choices::Positions});
    g.columns.push_back({.attribute = "Bit", .editor = edComboList, .width = 55, .mandatory = true, .choices = bits});
    g.columns.push_back({.attribute = "Swap", .editor = box, .width = 45, .mandatory = true});
    g.columns.push_back({.attribute = "SwapWord", .editor = box, .width = 70, .mandatory = true});
    g.columns.push_back({.attribute = "Mnemonic", .width = 150, .mandatory = true});
    for (size_t c = 0; c < g.columns.size(); ++c) {
        g.columns[c].header = t.headers[c];
        g.columns[c].hint = c >= 1 ? t.hints[c] : 0;
    }
    using K = TRule_Check_Kind;
    const int* m = t.messages;
    g.checks = {
        {.kind = K::Test, .column = cAddress, .message = m[0],
         .test = [](const QStringList& r, int) { return Address_Ok(Cell(r, cAddress)); }},
        {.kind = K::Range, .column = cPort, .low = 0, .high = 65535, .message = m[1]},
        {.kind = K::Hook, .column = cPort, .message = m[2], .hook = kHook_Connection},
        {.kind = K::Not_Empty, .column = cType, .message = m[3]},
        {.kind = K::Range, .column = cRack, .low = 0, .high = 3, .message = m[4]},
        {.kind = K::Range, .column = cSlot, .low = 0, .high = 31, .message = m[5]},
        {.kind = K::Not_Empty, .column = cDataType, .message = m[6]},
        {.kind = K::Not_Empty, .column = cIdent, .message = m[7]},
        {.kind = K::Range, .column = cDB, .low = 0, .high = 65535, .message = m[8]},
        {.kind = K::Not_Empty, .column = cArea, .message = m[9]},
        {.kind = K::Range, .column = cPLCAdd, .low = 0, .high = 65535, .message = m[10]},
        {.kind = K::Not_Empty, .column = cPLCBit, .message = m[11]},
        {.kind = K::Range, .column = cPoll, .low = t.poll_low, .high = 100000000, .message = m[12]},
        {.kind = K::Range, .column = position, .low = 0, .high = kRule_Capacity_Last, .message = m[13],
         .bound = true},
        // The whole value must lie in the data area: the bound is the last
        // position where the data type still fits.
        {.kind = K::Test, .column = position, .message = m[13], .bound = true,
         .test =
             [position](const QStringList& r, int capacity) {
                 return rules::Rule_Number(Cell(r, position)) + s7::Data_Type_Size(Cell(r, cDataType)) <= capacity;
             },
         .bound_of = [](const QStringList& r, int capacity) {
             return int64_t(capacity) - s7::Data_Type_Size(Cell(r, cDataType));
         }},
        {.kind = K::Not_Empty, .column = position + 1, .message = m[14]},
    };
    return g;
}

TRule_Form Make_Form()
{
    TRule_Form f;
    f.name = QStringLiteral("FS7_Protocol_Set_Access");
    f.root = QStringLiteral("S7_Protocol");
    f.version = QStringLiteral("SW_VERSION = 1.000");
    f.path = &FileName_S7_Protocol;
    f.caption = 5900;
    f.title = 5901;
    for (int i = 0; i < 6; ++i) {
        f.button_captions[i] = 5902 + i;
        f.button_hints[i] = 5908 + i;
    }
    f.error_prefix = 5970;
    // The window's own block has no delete question; the KNX window's entry holds the same text.
    f.delete_question = 4560;
    f.width = 1350;
    f.height = 450;
    const Texts read = {
        {5916, 5917, 5918, 5919, 5920, 6013, 6014, 5921, 5922, 5989, 5990, 5991, 5992, 5923, 5924, 5925, 5926, 5927,
         5928},
        {0, 5944, 5945, 5946, 5947, 6017, 6018, 5948, 5949, 5997, 5998, 5999, 6000, 5950, 5951, 5952, 5953, 5954, 5955},
        {5971, 5972, 5987, 5973, 6021, 6022, 5974, 5975, 6005, 6006, 6007, 6008, 5976, 5977, 5978},
        1};
    const Texts write = {
        {5929, 5930, 5931, 5932, 5933, 6015, 6016, 5934, 5935, 5993, 5994, 5995, 5996, 5936, 5937, 5938, 5939, 5940,
         5941, 5942, 5943},
        {0, 5956, 5957, 5958, 5959, 6019, 6020, 5960, 5961, 6001, 6002, 6003, 6004, 5962, 5963, 5964, 5965, 5966, 5967,
         5968, 5969},
        {5979, 5980, 5988, 5981, 6023, 6024, 5982, 5983, 6009, 6010, 6011, 6012, 5984, 5985, 5986},
        0};
    f.grids = {Make_Grid(false, read), Make_Grid(true, write)};
    return f;
}

} // namespace

namespace s7 {

int Data_Type_Size(const QString& dataType)
{
    const QString t = dataType.trimmed();
    if (t == QLatin1String("Word") || t == QLatin1String("Int"))
        return 2;
    if (t == QLatin1String("DWord") || t == QLatin1String("DInt") || t == QLatin1String("Real"))
        return 4;
    return 1;
}

int Area_Size(const QString& text, bool present, int fallback)
{
    if (!present)
        return fallback;
    const int n = platform::NumberOr(text, -1);
    return n < 0 ? fallback : n;
}

} // namespace s7

const TRule_Form& S7_Protocol_Form()
{
    static const TRule_Form form = Make_Form();
    return form;
}

TFS7_Protocol_Set_Access::TFS7_Protocol_Set_Access()
    : TSet_Access_Form(S7_Protocol_Form()), Hint_S7_Set_Access_Read(Hints[0]), Hint_S7_Set_Access_Write(Hints[1]),
      NByte_IN(Capacity[0]), NByte_OUT(Capacity[1])
{
    // The window's own parts come with the family's, when first needed.
    Build_When_Needed(this, [this] {
        ECG_S7_Read = Grids[0];
        ECG_S7_Write = Grids[1];
    });
}

TFS7_Protocol_Set_Access::~TFS7_Protocol_Set_Access()
{
    if (FS7_Protocol_Set_Access == this)
        FS7_Protocol_Set_Access = nullptr;
}

bool TFS7_Protocol_Set_Access::Prepare_Show()
{
    NByte_IN = kDefault_Area;
    NByte_OUT = kDefault_Area;
    if (FileName_ParGen.isEmpty() || !platform::FileExists(FileName_ParGen))
        return true;
    platform::XmlDocument doc;
    QString error;
    if (!doc.Load(FileName_ParGen, &error)) {
        for (int g = 0; g < static_cast<int>(Grids.size()); ++g)
            Reset_Grid(g);
        platform::ShowErrorBox(error);
        return false;
    }
    // A size the file lacks keeps the default: an area of 0 would refuse every rule.
    const platform::XmlNode root = doc.DocumentElement();
    const platform::XmlNode in = root.FindChild(QStringLiteral("PROFINET_NB_IN"));
    const platform::XmlNode out = root.FindChild(QStringLiteral("PROFINET_NB_OUT"));
    NByte_IN = s7::Area_Size(in.Text(), !in.IsNull(), kDefault_Area);
    NByte_OUT = s7::Area_Size(out.Text(), !out.IsNull(), kDefault_Area);
    return true;
}

void TFS7_Protocol_Set_Access::Before_Check() { array_ip_Port.assign(kConnections, TIPPort{}); }

int TFS7_Protocol_Set_Access::Check_IP_Port(int ip1, int ip2, int ip3, int ip4, int port)
{
    for (int i = 0; i < static_cast<int>(array_ip_Port.size()); ++i) {
        TIPPort& e = array_ip_Port[i];
        if (e.IP1 == -1) {
            e = {ip1, ip2, ip3, ip4, port};
            return i;
        }
        if (e.IP1 == ip1 && e.IP2 == ip2 && e.IP3 == ip3 && e.IP4 == ip4 && e.Port == port)
            return i;
    }
    return -1;
}

bool TFS7_Protocol_Set_Access::Hook_Check(int, int hook, const QStringList& row)
{
    if (hook != kHook_Connection)
        return true;
    uint8_t b[4] = {};
    IP_Text_To_Bytes(Cell(row, cAddress), b[0], b[1], b[2], b[3]);
    return Check_IP_Port(b[0], b[1], b[2], b[3], rules::Rule_Number(Cell(row, cPort))) >= 0;
}
