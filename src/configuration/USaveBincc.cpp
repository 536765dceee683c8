// The device image compiler: bank 1 (general block, key table, LoRaWAN block,
// rule tables) and the writing of both images. Bank 2 is USaveBincc_MBus.cpp.

#include "configuration/USaveBincc_Private.h"

#include "configuration/ULoRa_Set_Access.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "shell/UComon.h"

#include <algorithm>

using platform::NumberOr;
using platform::XmlDocument;
using platform::XmlNode;
using namespace Bank1;

void Put_Field(uint8_t* block, const TImage_Field& field, uint64_t value)
{
    for (uint32_t i = 0; i < field.size; ++i) {
        const uint32_t shift = 8 * (field.msb_first ? field.size - 1 - i : i);
        block[field.offset + i] = shift < 64 ? static_cast<uint8_t>(value >> shift) : 0;
    }
}

void Put_Field_Bytes(uint8_t* block, const TImage_Field& field, const uint8_t* bytes)
{
    std::memcpy(block + field.offset, bytes, field.size);
}

uint32_t Int_To_BCD(uint32_t value)
{
    uint32_t bcd = 0;
    for (int digit = 0; digit < 8; ++digit) {
        bcd |= (value % 10) << (4 * digit);
        value /= 10;
    }
    return bcd;
}

namespace SaveBin {

TImage_State& State()
{
    static TImage_State state;
    return state;
}

const std::vector<TNodo>& Wired_Nodes() { return State().wired; }
const std::vector<TNodo>& Wireless_Nodes() { return State().wireless; }

void Load_Project_File(XmlDocument& doc, const QString& path)
{
    // The loader's message names the file already.
    QString why;
    if (!doc.Load(path, &why))
        throw TCompile_Fault{why};
}

namespace {

void Put_General(General_Field f, uint64_t value)
{
    Put_Field(State().general.data(), General_Fields[f].field, value);
}

void Put_LoRa(LoRa_Field f, uint64_t value) { Put_Field(State().lora.data(), LoRa_Fields[f].field, value); }

// Step 1: every byte of the general block, the checksum word included.
void Init_Par_Gen_Block()
{
    State().general.fill(0);
    for (int f = 0; f < General_Field_Count; ++f)
        Put_General(General_Field(f), General_Fields[f].reset);
}

// Steps 2 and 3.
void Reset_LoRa_And_Keys()
{
    TImage_State& s = State();
    s.lora.fill(0);
    for (int f = 0; f < LoRa_Field_Count; ++f)
        Put_LoRa(LoRa_Field(f), LoRa_Fields[f].reset);
    for (auto& r : s.uplink)
        r.fill(0);
    for (auto& r : s.downlink)
        r.fill(0);
    for (auto& k : s.keys)
        k.fill(0);
}

// An element of "ParGen.xml"; nothing when it is missing.
std::optional<QString> Element(const XmlNode& root, const char* name)
{
    const XmlNode e = root.FindChild(QString::fromLatin1(name));
    if (e.IsNull())
        return std::nullopt;
    return e.Text();
}

int Number(const XmlNode& root, const char* name, int fallback)
{
    const std::optional<QString> text = Element(root, name);
    return text ? NumberOr(*text, fallback) : fallback;
}

QString Upper(const XmlNode& root, const char* name) { return Element(root, name).value_or(QString()).trimmed().toUpper(); }

int Band_Index(const QString& band)
{
    static const std::pair<const char*, int> bands[] = {{"AS923", 0}, {"AU915", 1}, {"EU868", 5},       {"KR920", 6},
                                                        {"IN865", 7}, {"US915", 8}, {"US915-HYBRID", 9}};
    for (const auto& [text, index] : bands)
        if (band == QLatin1String(text))
            return index;
    return 0;
}

uint32_t Baud_Rate(int code)
{
    static const uint32_t rates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400};
    return code >= 0 && code < 8 ? rates[code] : 2400;
}

uint8_t Wireless_Mode(int position)
{
    switch (position & 0xFF) {
    case 1: return 5;
    case 2: return 15;
    case 3: return 17;
    case 4: return 11;
    default: return 1;
    }
}

// A hexadecimal text into the field's bytes, first pair first, padded on the
// left to the field's width. A pair that is no number gives 0.
void Put_Hex(const XmlNode& root, const char* name, LoRa_Field f)
{
    const TImage_Field& field = LoRa_Fields[f].field;
    const int width = static_cast<int>(field.size) * 2;
    QString text = Element(root, name).value_or(QString());
    // Only a hand-edited file can hold more; cutting it would send the device a different key.
    if (text.size() > width)
        throw TCompile_Fault{QStringLiteral("\"%1\" in \"ParGen.xml\" holds more than %2 hexadecimal digits: \"%3\".")
                                 .arg(QLatin1String(name))
                                 .arg(width)
                                 .arg(text)};
    text = text.rightJustified(width, u'0');
    uint8_t bytes[16] = {};
    for (uint32_t i = 0; i < field.size; ++i)
        bytes[i] = static_cast<uint8_t>(NumberOr(QStringLiteral("0x") + text.mid(2 * i, 2), 0));
    Put_Field_Bytes(State().lora.data(), field, bytes);
}

uint32_t Octets(const XmlNode& root, const char* prefix, const int defaults[4])
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const QByteArray name = QByteArray(prefix) + QByteArray::number(i + 1);
        value = (value << 8) | static_cast<uint8_t>(Number(root, name.constData(), defaults[i]));
    }
    return value;
}

// Step 4: "ParGen.xml" into the general block, the LoRaWAN block and the presence flags.
void Compile_Par_Gen(const XmlNode& root)
{
    TImage_State& s = State();
    s.wired_present = Number(root, "Meter_Present", 0) == 1;
    s.wireless_present = Number(root, "wMBus_Present", 0) == 1;

    for (int f = 0; f < General_Field_Count; ++f)
        if (General_Fields[f].source == TGeneral_Source::Fixed)
            Put_General(General_Field(f), General_Fields[f].value);

    static const int ip[4] = {192, 168, 0, 10}, mask[4] = {255, 255, 255, 0}, gateway[4] = {192, 168, 0, 1};
    Put_General(GB_IP_Address, Octets(root, "Ethernet_IP", ip));
    Put_General(GB_Subnet_Mask, Octets(root, "Ethernet_SM", mask));
    Put_General(GB_Gateway, Element(root, "Ethernet_EN_GAT") == QStringLiteral("1") ? Octets(root, "Ethernet_GAT", gateway)
                                                                                      : 0xFFFFFFFFu);
    Put_General(GB_MBus_Baud, Baud_Rate(Number(root, "Meter_Baud", 3)));
    Put_General(GB_MBus_Parity, static_cast<uint8_t>(Element(root, "Meter_Par") ? Number(root, "Meter_Par", 0) : 2));
    Put_General(GB_wMBus_Mode, Wireless_Mode(Number(root, "wMBus_Mode", 0)));
    Put_General(GB_Radio_Channel, static_cast<uint8_t>(Number(root, "wMBus_Radio_Channel", 0)));
    uint32_t cField = Element(root, "Meter_Use_Fix_C_Field") == QStringLiteral("1") ? 0x80 : 0;
    const std::optional<QString> select = Element(root, "Meter_Select_C_Field");
    cField += (!select || *select == QStringLiteral("0")) ? 0x5B : 0x7B;
    Put_General(GB_C_Field, cField);

    Put_LoRa(LB_Band, Band_Index(Upper(root, "LoRa_RF_Band")));
    Put_LoRa(LB_Network_Type, Upper(root, "LoRa_Network_Type") == QLatin1String("PUBLIC") ? 1 : 0);
    const bool otaa = Upper(root, "LoRa_Activation_Method") == QLatin1String("OVER-THE-AIR ACTIVATION [OTAA]");
    Put_LoRa(LB_Activation, otaa ? 1 : 0);
    const QString rate = Element(root, "LoRa_DataRate").value_or(QString());
    const qsizetype dash = rate.indexOf(u'-');
    Put_LoRa(LB_Data_Rate, static_cast<uint8_t>(dash < 0 ? 0 : NumberOr(rate.left(dash).trimmed(), 0)));
    Put_Hex(root, "LoRa_JoinEUI", LB_JoinEUI);
    if (otaa) {
        Put_Hex(root, "LoRa_Application_Key", LB_Application_Key);
    } else {
        Put_Hex(root, "LoRa_Device_Address", LB_Device_Address);
        Put_Hex(root, "LoRa_Network_Session_Key", LB_Network_Session_Key);
        Put_Hex(root, "LoRa_Application_Session_Key", LB_Application_Session_Key);
    }
    Put_LoRa(LB_Adaptive_Data_Rate, static_cast<uint8_t>(Number(root, "LoRa_Adaptive_DataRate", 0)));
    Put_LoRa(LB_Confirmed, Element(root, "LoRa_Transmission_Type") == QStringLiteral("Confirmed") ? 1 : 0);
    Put_LoRa(LB_Payload_Size, static_cast<uint8_t>(Number(root, "LoRa_Payload_Size", 1)));
    Put_LoRa(LB_Variable_Port, Upper(root, "LoRa_FPort") == QLatin1String("VARIABLE") ? 1 : 0);
    Put_LoRa(LB_Transmit_Interval, static_cast<uint32_t>(Number(root, "LoRa_Transmit_Interval", 1)));
    Put_LoRa(LB_Sub_Band, static_cast<uint8_t>(Number(root, "LoRa_Frequency_SubBand", 1)));
}

QString Rule_Attribute(const XmlNode& row, const char* name) { return row.Attribute(QString::fromLatin1(name)).value_or(QString()); }

int Rule_Number(const XmlNode& row, const char* name, int fallback)
{
    const std::optional<QString> text = row.Attribute(QString::fromLatin1(name));
    return text ? NumberOr(*text, fallback) : fallback;
}

// Step 7: the uplink rules of "LoRaWAN_SetAccess.xml". The downlink table stays zero.
void Compile_LoRaWAN_Rules(uint32_t loraBlockAddress)
{
    TImage_State& s = State();
    Put_LoRa(LB_Uplink_Address, loraBlockAddress + 0x400);
    Put_LoRa(LB_Downlink_Address, loraBlockAddress + 0x1000);
    Put_LoRa(LB_Uplink_Count, 0);
    Put_LoRa(LB_Downlink_Count, 0);
    if (!platform::FileExists(FileName_LoRaWAN_SetAccess))
        return;
    XmlDocument doc;
    Load_Project_File(doc, FileName_LoRaWAN_SetAccess);
    // The root is the document element, as the rules window reads it.
    const XmlNode uplink = doc.DocumentElement().FindChild(QStringLiteral("LoRaWAN_Uplink"));
    if (uplink.IsNull())
        throw TCompile_Fault{QStringLiteral("\"%1\" has no element \"LoRaWAN_Uplink\".").arg(FileName_LoRaWAN_SetAccess)};

    const bool variablePort = State().lora[LoRa_Fields[LB_Variable_Port].field.offset] == 1;
    int count = 0;
    int gridRow = 0;
    for (const XmlNode& row : uplink.Children()) {
        if (!row.IsElement())
            continue;  // a comment is no rule
        ++gridRow;
        // The same test of "enabled" as the rules window and the update request's check.
        if (!LoRa_Rule_Enabled(row.Attribute(QStringLiteral("Enable")).value_or(QStringLiteral("Y"))))
            continue;
        const int start = Rule_Number(row, "StartByte", 0);
        const int bytes = Rule_Number(row, "NumByte", 0);
        // The converter would send bytes from beyond its data area.
        const QString range = LoRa_Data_Area_Fault(TLoRa_Table::Uplink, gridRow, start, bytes);
        if (!range.isEmpty())
            throw TCompile_Fault{range};
        if (count == Rule_Records)
            throw TCompile_Fault{QStringLiteral("\"%1\" holds more than %2 enabled uplink rules.")
                                     .arg(FileName_LoRaWAN_SetAccess)
                                     .arg(Rule_Records)};
        uint8_t* record = s.uplink[count].data();
        Put_Field(record, Rule_Fields[RR_Start_Byte], static_cast<uint16_t>(start));
        Put_Field(record, Rule_Fields[RR_Num_Byte], static_cast<uint16_t>(bytes));
        uint8_t triggers = 0;
        if (LoRa_Trigger_Set(Rule_Attribute(row, "OnChange")))
            triggers |= 0x01;
        if (LoRa_Trigger_Set(Rule_Attribute(row, "OnCMD")))
            triggers |= 0x02;
        if (LoRa_Trigger_Set(Rule_Attribute(row, "OnTimer")))
            triggers |= 0x04;
        Put_Field(record, Rule_Fields[RR_Triggers], triggers);
        Put_Field(record, Rule_Fields[RR_Period], static_cast<uint32_t>(Rule_Number(row, "Time", 30)));
        Put_Field(record, Rule_Fields[RR_Port], static_cast<uint8_t>(variablePort ? Rule_Number(row, "FPort", 2) : 2));
        ++count;
    }
    Put_LoRa(LB_Uplink_Count, static_cast<uint16_t>(count));
}

// Step 8.
void Put_Par_Gen_Block(uint8_t* at)
{
    TImage_State& s = State();
    const TImage_Field& sum = General_Fields[GB_Checksum].field;
    uint32_t checksum = 0;
    for (uint32_t i = 0; i < sum.offset; ++i)
        checksum += s.general[i];
    Put_General(GB_Checksum, checksum);
    std::memcpy(at, s.general.data(), s.general.size());
}

void Put_LoRa_Block(uint8_t* image)
{
    TImage_State& s = State();
    std::memcpy(image + Areas[LoRa_Block].offset, s.lora.data(), s.lora.size());
    for (int i = 0; i < Rule_Records; ++i) {
        std::memcpy(image + Areas[Uplink_Table].offset + i * Rule_Record_Size, s.uplink[i].data(), Rule_Record_Size);
        std::memcpy(image + Areas[Downlink_Table].offset + i * Rule_Record_Size, s.downlink[i].data(), Rule_Record_Size);
    }
}

void Compile_Or_Throw()
{
    TImage_State& s = State();
    s.compiled = false;
    Init_Par_Gen_Block();
    Reset_LoRa_And_Keys();
    s.wired_present = s.wireless_present = false;

    XmlDocument parGen;
    const bool hasParGen = platform::FileExists(FileName_ParGen);
    XmlNode parGenRoot;
    if (hasParGen) {
        Load_Project_File(parGen, FileName_ParGen);
        // The document element, as the general parameters window reads it.
        parGenRoot = parGen.DocumentElement();
        Compile_Par_Gen(parGenRoot);
    }
    for (int f = 0; f < General_Field_Count; ++f)
        if (General_Fields[f].source == TGeneral_Source::Address)
            Put_General(General_Field(f), General_Fields[f].value);

    Compile_MBus_Network(hasParGen ? &parGenRoot : nullptr);
    Compile_LoRaWAN_Rules(Base_Address + Areas[LoRa_Block].offset);

    std::fill(s.bank1.begin(), s.bank1.end(), 0);
    uint8_t* image = s.bank1.data();
    Put_Par_Gen_Block(image + Areas[General_Block].offset);
    for (int i = 0; i < Key_Records; ++i)
        std::memcpy(image + Areas[Key_Table].offset + i * Key_Record_Size, s.keys[i].data(), Key_Record_Size);
    Put_LoRa_Block(image);
    s.bank1_length = Size;
    s.compiled = true;
}

} // namespace
} // namespace SaveBin

using namespace SaveBin;

bool Compile_Device_Image(QString* error)
{
    try {
        Compile_Or_Throw();
        return true;
    } catch (const TCompile_Fault& fault) {
        State().compiled = false;
        if (error)
            *error = fault.text;
        return false;
    }
}

bool Save_Bank_Files(QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const TImage_State& s = State();
    if (!s.compiled)
        return fail(QStringLiteral("No device images have been compiled: nothing is written."));

    // Both or neither: the device must never get a new bank 2 beside an old
    // bank 1 whose key table would not match it.
    const std::vector<platform::FileToWrite> files = {
        {QStringLiteral("bank2.bin"), Bank2_Bytes()},
        {QStringLiteral("bank1.bin"), Bank1_Bytes()},
    };
    QString why;
    if (!platform::WriteFilesTogether(platform::JoinPath(Project_Folder, QStringLiteral("bin")), files, &why))
        return fail(why + QStringLiteral("\nThe device images were not written."));
    return true;
}

QByteArray Bank1_Bytes()
{
    const TImage_State& s = State();
    return QByteArray(reinterpret_cast<const char*>(s.bank1.data()), s.bank1_length);
}

QByteArray Bank2_Bytes()
{
    const TImage_State& s = State();
    return QByteArray(reinterpret_cast<const char*>(s.bank2.data()), s.bank2_length);
}

bool Build_Device_Images()
{
    QString error;
    if (Compile_Device_Image(&error))
        return true;
    platform::ShowMessage(platform::MessageKind::Error, error);
    return false;
}

bool Write_Device_Images()
{
    QString error;
    if (Save_Bank_Files(&error))
        return true;
    platform::ShowMessage(platform::MessageKind::Error, error);
    return false;
}
