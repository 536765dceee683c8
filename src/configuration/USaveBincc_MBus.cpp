// Bank 2, the M-Bus network image: "M_Bus.xml" read into the compiler's own
// meter and variable records, the enabled ones laid out for the converter,
// and the key table of the wireless meters in bank 1.

#include "configuration/USaveBincc_Private.h"

#include "mbus/UMeter_Bus.h"
#include "mbus/UMeter_Bus_Checks.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"

#include <cstring>

using platform::NumberOr;
using platform::XmlDocument;
using platform::XmlNode;
using namespace Bank2;

namespace SaveBin {
namespace {

std::optional<QString> Attr(const XmlNode& node, const char* name) { return node.Attribute(QString::fromLatin1(name)); }

// "as a number, else d"
int Num(const XmlNode& node, const char* name, int fallback)
{
    const std::optional<QString> text = Attr(node, name);
    return text ? NumberOr(*text, fallback) : fallback;
}

std::optional<int> Num_Opt(const XmlNode& node, const char* name)
{
    const std::optional<QString> text = Attr(node, name);
    return text ? platform::ParseNumber(*text) : std::nullopt;
}

// The low 32 bits of a 64-bit number.
std::optional<uint32_t> Low32(const XmlNode& node, const char* name)
{
    const std::optional<QString> text = Attr(node, name);
    if (!text)
        return std::nullopt;
    const std::optional<int64_t> v = platform::ParseNumber64(*text);
    if (!v)
        return std::nullopt;
    return static_cast<uint32_t>(static_cast<uint64_t>(*v));
}

bool Is_One(const XmlNode& node, const char* name) { return Num(node, name, 0) == 1; }
bool Text_One(const XmlNode& node, const char* name) { return Attr(node, name) == QStringLiteral("1"); }

// The data-field code of EN 13757-3 for the editor's size position.
uint8_t Data_Field_Code(uint8_t dimension)
{
    static const uint8_t codes[] = {1, 2, 4, 7, 3, 6, 5, 13};
    return dimension < 8 ? codes[dimension] : 2;
}

// The node's name in a message: its number in the file and its description.
QString Meter_Name(const XmlNode& n, int meter)
{
    return QStringLiteral("\"M_Bus.xml\", node %1 \"%2\"").arg(meter).arg(Attr(n, "Descrizione").value_or(QString()));
}

// A wired meter polled by its secondary address answers to eight digits,
// which the record carries one nibble each; ID holds them so, ready to write.
// A text that gives no such digits stops the compilation: a default would
// send the converter after another meter.
uint32_t Secondary_Identifier(const XmlNode& n, int meter)
{
    if (const std::optional<uint32_t> id = Low32(n, "ID"))
        return Int_To_BCD(*id);
    const std::optional<QString> text = Attr(n, "ID_Secondary");
    if (!text)
        return Int_To_BCD(1);
    if (const std::optional<uint32_t> digits = MBus_Secondary_Identifier(*text))
        return *digits;
    throw TCompile_Fault{QStringLiteral("%1: the secondary address \"%2\" is neither a number nor eight hexadecimal "
                                        "digits.")
                             .arg(Meter_Name(n, meter), *text)};
}

TNodo Read_Meter(const XmlNode& n, bool wired)
{
    TNodo m;
    if (wired) {
        m.ID_Type = static_cast<uint8_t>(Num(n, "Node_ID_Type", 0));
        // A secondary identification is read when the meter is taken (Secondary_Identifier).
        if (const std::optional<uint32_t> id = Low32(n, "ID"))
            m.ID = *id;
        else if (m.ID_Type == 0)
            m.ID = static_cast<uint32_t>(Num(n, "ID_Primary", 1));
        m.SND_NKE = static_cast<uint8_t>(Num(n, "Send_SND_NKE", 0));
        m.Reset_App = static_cast<uint8_t>(Num(n, "Reset_App", 0));
        const std::optional<int> cut = Num_Opt(n, "Cut_After");
        m.Cut_After = cut ? static_cast<uint8_t>(static_cast<uint32_t>(*cut) + 1) : 250;
    } else {
        m.ID = static_cast<uint32_t>(Num(n, "wMBus_Add", 0));
        m.RSSI = static_cast<uint16_t>(Num(n, "wMBus_RSSI", 0));
    }
    if (Is_One(n, "Enable_Node_State"))
        m.Opzioni_Check |= Opt_Node_State;
    if (Is_One(n, "Enable_Ident_Num"))
        m.Opzioni_Check |= Opt_Ident_Num;
    if (Is_One(n, "BCDtoINT_IN"))
        m.Opzioni_Check |= Opt_Ident_BCD;
    if (Is_One(n, "Enable_Manufacturer_Specific_Data"))
        m.Opzioni_Check |= Opt_Manufacturer_Data;
    if (!wired && Is_One(n, "wMBus_Enable_RSSI"))
        m.Opzioni_Check |= Opt_RSSI;
    if (Is_One(n, "Enable_Access_Number"))
        m.Opzioni_Check |= Opt_Access_Number;
    m.Node_State = static_cast<uint16_t>(Num(n, "Node_State", 0));
    m.Ident_Num = static_cast<uint16_t>(Num(n, "Ident_Num", 0));
    m.Swap_IN = static_cast<uint8_t>(Num(n, "Swap_IN", 0));
    m.Var_Type = static_cast<uint8_t>(Num(n, "Var_List_Type", 0));
    m.Mamu_Spec_Data = static_cast<uint16_t>(Num(n, "Manufacturer_Specific_Data", 0));
    m.MSD_Length = static_cast<uint8_t>(Num(n, "MSD_Length", 0));
    m.MSD_Offset = static_cast<uint8_t>(Num(n, "MSD_Offset", 0));
    m.Access_Number = static_cast<uint16_t>(Num(n, "Access_Number", 0));
    return m;
}

void Put_Key_Record(uint8_t* record, const XmlNode& n)
{
    using namespace Bank1;
    Put_Field(record, Key_Fields[KR_ManID], static_cast<uint32_t>(Num(n, "wMBus_ManID", 0)));
    Put_Field(record, Key_Fields[KR_Address], static_cast<uint32_t>(Num(n, "wMBus_Add", 0)));
    Put_Field(record, Key_Fields[KR_Version], static_cast<uint32_t>(Num(n, "wMBus_Ver", 0)));
    Put_Field(record, Key_Fields[KR_Device_Type], static_cast<uint32_t>(Num(n, "wMBus_DevType", 0)));
    const int enabled = Num(n, "wMBus_En_Key", 0);
    uint8_t key[16] = {};
    if (enabled == 1)
        for (int i = 0; i < 16; ++i)
            key[i] = static_cast<uint8_t>(Num(n, QByteArray("wMBus_Key_" + QByteArray::number(i + 1)).constData(), 0));
    Put_Field_Bytes(record, Key_Fields[KR_Key], key);
    Put_Field(record, Key_Fields[KR_Key_Enabled], static_cast<uint8_t>(enabled));
}

// The required numbers of a taken variable.
int Required(const XmlNode& v, const char* name, int meter, int variable)
{
    if (const std::optional<int> value = Num_Opt(v, name))
        return *value;
    throw TCompile_Fault{QStringLiteral("\"M_Bus.xml\", node %1, variable %2: the attribute \"%3\" is missing or is "
                                        "not a number.")
                             .arg(meter)
                             .arg(variable)
                             .arg(QLatin1String(name))};
}

TVariabile Read_Variable(const XmlNode& v, int meter, int variable)
{
    TVariabile r;
    r.Type_Of_Data = static_cast<uint8_t>(Required(v, "Type", meter, variable));
    int function = Required(v, "Fun_Field", meter, variable);
    if (function == 1 || function == 2)
        function = 3 - function;  // the list has maximum and minimum the other way round
    r.Function_Field = static_cast<uint8_t>(function);
    r.Dimension = static_cast<uint8_t>(Required(v, "Dim", meter, variable));
    r.PositionData = static_cast<uint16_t>(Required(v, "PositionData", meter, variable));
    r.Unita = static_cast<uint8_t>(Num(v, "Unit", 0));
    r.Storage_Num = Low32(v, "StoNumber").value_or(0);
    r.Tarif = Low32(v, "Tariff").value_or(0);
    r.VIFE = static_cast<uint8_t>(Num(v, "VIFE", 0));
    if (Text_One(v, "Conv_Float"))
        r.Options |= Var_Conv_Float;
    if (Text_One(v, "Force_Int32"))
        r.Options |= Var_Force_Int32;
    if (Text_One(v, "BCDtoINT"))
        r.Options |= Var_BCDtoINT;
    if (Text_One(v, "TP_Mod_Regs"))
        r.Options |= Var_TP_Mod_Regs;
    r.Length = r.Dimension == MBus_Dim_Variable_Length ? static_cast<uint8_t>(Num(v, "Length", 0)) : 0;
    if (r.Type_Of_Data == MBus_ToD_VIF_ASCII) {
        r.VIF_ASCII = Attr(v, "VIF_ASCII").value_or(QString());
        // Its length goes into one byte; a longer text would shift every text after it.
        if (r.VIF_ASCII.size() > 255)
            throw TCompile_Fault{QStringLiteral("\"M_Bus.xml\", node %1, variable %2: the ASCII VIF is longer than "
                                                "255 characters.")
                                     .arg(meter)
                                     .arg(variable)};
        r.Len_VIF_ASCII = static_cast<uint8_t>(r.VIF_ASCII.size());
    }
    r.Position = static_cast<uint16_t>(Num(v, "Position", 1));
    r.Post_Ope = static_cast<uint8_t>(Num(v, "Post_Operation", 0));
    return r;
}

void Put_Meter(uint8_t* record, const TNodo& m, bool wired)
{
    uint32_t identifier = m.ID;
    if (wired && m.ID_Type == 0)
        identifier = m.ID & 0xFF;
    const uint64_t values[Meter_Field_Count] = {
        m.ID_Type,   identifier,         m.Vars.size(), m.Add,        m.SND_NKE,    m.Reset_App,
        m.Opzioni_Check, m.Node_State,   m.Ident_Num,   m.Swap_IN,    m.Var_Type,   m.Cut_After,
        m.MSD_Length, m.MSD_Offset,      m.Mamu_Spec_Data, m.RSSI,    m.Access_Number,
    };
    for (int f = 0; f < Meter_Field_Count; ++f)
        Put_Field(record, Meter_Fields[f], values[f]);
}

void Put_Variable(uint8_t* record, const TVariabile& v)
{
    const uint64_t values[Variable_Field_Count] = {
        v.Type_Of_Data, v.Function_Field, Data_Field_Code(v.Dimension), v.PositionData, v.Unita,
        v.Storage_Num,  v.Tarif,          v.VIFE,                       v.Options,      v.Length,
        v.Len_VIF_ASCII, v.Address_VIF_ASCII, v.Position,               v.Post_Ope,
    };
    for (int f = 0; f < Variable_Field_Count; ++f)
        Put_Field(record, Variable_Fields[f], values[f]);
}

// Throws when the image would not fit its buffer.
void Need(uint64_t end)
{
    if (end > Capacity)
        throw TCompile_Fault{QStringLiteral("The M-Bus network needs more than the %1 bytes the device keeps for it; "
                                            "disable some meters or variables.")
                                 .arg(Capacity)};
}

} // namespace

void Compile_MBus_Network(const XmlNode* parGenRoot)
{
    TImage_State& s = State();
    uint8_t* image = s.bank2.data();
    uint8_t& keyCount = s.general[Bank1::General_Fields[Bank1::GB_Key_Count].field.offset];
    keyCount = 0;
    s.wired.clear();
    s.wireless.clear();
    std::fill(s.bank2.begin(), s.bank2.end(), 0);
    Put_Field(image, Header_Fields[H_Marker], 0x40);
    Put_Field(image, Header_Fields[H_Wired_Table], Header_Size);

    std::optional<QString> networkFault;
    if (platform::FileExists(FileName_M_Bus)) {
        XmlDocument doc;
        Load_Project_File(doc, FileName_M_Bus);
        int meterNumber = 0;
        for (const XmlNode& n : MBus_Network_Elements(MBus_Network_Root(doc))) {
            ++meterNumber;
            const std::optional<int> enable = Num_Opt(n, "Node_Enable");
            if (enable && *enable != 1)
                continue;
            const bool wired = Num(n, "MBus_Type", 1) == 1;
            if (wired ? !s.wired_present : !s.wireless_present)
                continue;
            TNodo meter = Read_Meter(n, wired);
            std::vector<TNodo>& list = wired ? s.wired : s.wireless;
            bool created = false;
            int variableNumber = 0;
            for (const XmlNode& v : MBus_Network_Elements(n)) {
                ++variableNumber;
                if (!Text_One(v, "Enable"))
                    continue;
                TVariabile variable = Read_Variable(v, meterNumber, variableNumber);
                if (!created) {
                    if (wired && meter.ID_Type != 0)
                        meter.ID = Secondary_Identifier(n, meterNumber);
                    if (wired && list.size() == 255)
                        throw TCompile_Fault{QStringLiteral("More than 255 wired M-Bus meters are enabled; the "
                                                            "device reads at most 255.")};
                    if (!wired) {
                        if (keyCount == Bank1::Key_Records)
                            throw TCompile_Fault{QStringLiteral("More than %1 wireless M-Bus meters are enabled; the "
                                                                "device keeps keys for at most %1.")
                                                     .arg(Bank1::Key_Records)};
                        Put_Key_Record(s.keys[keyCount].data(), n);
                        ++keyCount;
                    }
                    list.push_back(meter);
                    created = true;
                }
                list.back().Vars.push_back(std::move(variable));
            }
        }

        // The network the image holds, read as the editor reads it, is
        // checked as the editor's OK checks it, whatever wrote the file
        // (reported after the faults of the image's own size).
        const MBus_Read_Result network = Read_MBus_Network_Document(doc);
        if (!network.Ok)
            throw TCompile_Fault{QStringLiteral("\"M_Bus.xml\": %1").arg(network.Error)};
        networkFault = MBus_Network_Fault(network.Nodes, TNetwork_Scope{s.wired_present, s.wireless_present, true});
    }

    // Layout: meter tables, variable records, texts.
    uint64_t offset = Header_Size + Meter_Record_Size * uint64_t(s.wired.size());
    Put_Field(image, Header_Fields[H_Wireless_Table], offset);
    offset += Meter_Record_Size * uint64_t(s.wireless.size());
    for (std::vector<TNodo>* list : {&s.wired, &s.wireless})
        for (TNodo& m : *list) {
            m.Add = static_cast<uint32_t>(offset);
            offset += Variable_Record_Size * uint64_t(m.Vars.size());
        }
    for (std::vector<TNodo>* list : {&s.wired, &s.wireless})
        for (TNodo& m : *list)
            for (TVariabile& v : m.Vars) {
                v.Address_VIF_ASCII = static_cast<uint32_t>(offset);
                offset += v.Len_VIF_ASCII;
            }
    Need(offset + (parGenRoot ? Line_Block_Size : 0));
    if (networkFault)
        throw TCompile_Fault{QStringLiteral("\"M_Bus.xml\": %1").arg(*networkFault)};

    uint32_t at = Header_Size;
    for (std::vector<TNodo>* list : {&s.wired, &s.wireless})
        for (const TNodo& m : *list) {
            Put_Meter(image + at, m, list == &s.wired);
            at += Meter_Record_Size;
        }
    for (std::vector<TNodo>* list : {&s.wired, &s.wireless})
        for (const TNodo& m : *list)
            for (const TVariabile& v : m.Vars) {
                Put_Variable(image + at, v);
                at += Variable_Record_Size;
            }
    for (std::vector<TNodo>* list : {&s.wired, &s.wireless})
        for (const TNodo& m : *list)
            for (const TVariabile& v : m.Vars)
                for (qsizetype i = v.VIF_ASCII.size() - 1; i >= 0; --i)
                    image[at++] = static_cast<uint8_t>(v.VIF_ASCII[i].unicode());
    Put_Field(image, Header_Fields[H_Line_Block], at);

    if (parGenRoot) {
        const XmlNode delay = parGenRoot->FindChild(QStringLiteral("Meter_Req_Delay"));
        const std::optional<int> delayValue = delay.IsNull() ? std::nullopt : platform::ParseNumber(delay.Text());
        if (!delayValue)
            throw TCompile_Fault{QStringLiteral("\"ParGen.xml\" has no poll delay \"Meter_Req_Delay\" that is a number.")};
        const XmlNode nsError = parGenRoot->FindChild(QStringLiteral("Meter_NS_Error_Code"));
        const int nsValue = nsError.IsNull() ? 0xFF : NumberOr(nsError.Text(), 0xFF);
        uint8_t* line = image + at;
        Put_Field(line, Line_Fields[LN_Poll_Delay], static_cast<uint16_t>(*delayValue));
        Put_Field(line, Line_Fields[LN_Wired_Count], static_cast<uint8_t>(s.wired.size()));
        Put_Field(line, Line_Fields[LN_NS_Error_Code], static_cast<uint8_t>(nsValue));
        at += Line_Block_Size;
    }
    s.bank2_length = at;
}

} // namespace SaveBin
