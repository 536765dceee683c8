#include "configuration/UParGen_File.h"
#include "configuration/UParGen_Payload.h"

#include "platform/FileSystem.h"
#include "platform/NumberText.h"

using namespace platform;

namespace ParGen {

const QString Method_ABP = QStringLiteral("Activation by Personalization [ABP]");
const QString Method_OTAA = QStringLiteral("Over-the-Air Activation [OTAA]");

namespace {

Element_Info Text_Choice(const char* name, QStringList choices, const QString& def)
{
    return {QString::fromLatin1(name), Encoding::Choice_Text, std::move(choices), 0, def, 0};
}

Element_Info Position(const char* name, QStringList choices, int positions, int def, int unconvertible = 0)
{
    return {QString::fromLatin1(name), Encoding::Choice_Position, std::move(choices), positions,
            QString::number(def), unconvertible};
}

Element_Info Flag(const char* name)
{
    return {QString::fromLatin1(name), Encoding::Flag, {}, 0, QStringLiteral("0"), 0};
}

Element_Info Typed(const char* name, const char* def)
{
    return {QString::fromLatin1(name), Encoding::Typed_Text, {}, 0, QString::fromLatin1(def), 0};
}

std::array<Element_Info, Element_Count> Make_Elements()
{
    const QStringList bauds = {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400"};
    const QStringList channels = {"1a @ 4800 bps", "1b @ 4800 bps", "2a @ 2400 bps", "2b @ 2400 bps", "3a @ 4800 bps",
                                  "3b @ 4800 bps", "0 @ 19200 bps", "2a @ 4800 bps", "2b @ 4800 bps"};
    return {{
        Text_Choice("LoRa_RF_Band", LoRa_Band_Names(), QStringLiteral("AS923")),
        Text_Choice("LoRa_Network_Type", {"Private", "Public"}, QStringLiteral("Private")),
        Flag("LoRa_Adaptive_DataRate"),
        Text_Choice("LoRa_DataRate", {}, QString()),
        Text_Choice("LoRa_Transmission_Type", {"Unconfirmed", "Confirmed"}, QStringLiteral("Unconfirmed")),
        Typed("LoRa_Payload_Size", ""),
        Text_Choice("LoRa_Activation_Method", {Method_ABP, Method_OTAA}, Method_ABP),
        Typed("LoRa_Device_Address", ""),
        Typed("LoRa_JoinEUI", ""),
        Typed("LoRa_Network_Session_Key", ""),
        Typed("LoRa_Application_Session_Key", ""),
        Typed("LoRa_Application_Key", ""),
        Text_Choice("LoRa_FPort", {"Fixed", "Variable"}, QStringLiteral("Fixed")),
        Text_Choice("LoRa_Frequency_SubBand", {"1", "2", "3", "4", "5", "6", "7", "8"}, QStringLiteral("1")),
        Typed("Ethernet_IP1", "192"),
        Typed("Ethernet_IP2", "168"),
        Typed("Ethernet_IP3", "0"),
        Typed("Ethernet_IP4", "10"),
        Typed("Ethernet_SM1", "255"),
        Typed("Ethernet_SM2", "255"),
        Typed("Ethernet_SM3", "255"),
        Typed("Ethernet_SM4", "0"),
        Typed("Ethernet_GAT1", "192"),
        Typed("Ethernet_GAT2", "168"),
        Typed("Ethernet_GAT3", "0"),
        Typed("Ethernet_GAT4", "1"),
        Flag("Ethernet_EN_GAT"),
        Typed("Ethernet_DNS1", "8"),
        Typed("Ethernet_DNS2", "8"),
        Typed("Ethernet_DNS3", "8"),
        Typed("Ethernet_DNS4", "8"),
        Flag("Ethernet_EN_DNS"),
        // A presence that is no number reads as present, every other position as 0.
        Position("Meter_Present", {}, 2, 1, 1),
        Position("Meter_Baud", bauds, 8, 0),
        Position("Meter_Par", {"NONE", "ODD", "EVEN"}, 3, 2),
        Typed("Meter_Req_Delay", "100"),
        Typed("Meter_NS_Error_Code", "0"),
        Flag("Meter_Use_Fix_C_Field"),
        Position("Meter_Select_C_Field", {"0x5X", "0x7X"}, 2, 0),
        Position("wMBus_Present", {}, 2, 0),
        Position("wMBus_Mode", {"S", "T", "N1", "N2", "C"}, 5, 0),
        Position("wMBus_Radio_Channel", channels, 9, 0),
    }};
}

} // namespace

const std::array<Element_Info, Element_Count>& Elements()
{
    static const std::array<Element_Info, Element_Count> elements = Make_Elements();
    return elements;
}

} // namespace ParGen

namespace {

const QString kRoot = QStringLiteral("Par_Gen");
const QString kVersionComment = QStringLiteral("SW_VERSION = 1.002");

// The list entry a stored text chooses: the first equal one, letter case
// ignored (blanks and tabs must match); empty when none does.
QString Match_Choice(const QStringList& choices, const QString& text)
{
    for (const QString& c : choices)
        if (c.compare(text, Qt::CaseInsensitive) == 0)
            return c;
    return QString();
}

QString Read_Value(const ParGen::Element_Info& e, const QString& text)
{
    using ParGen::Encoding;
    switch (e.encoding) {
    case Encoding::Choice_Text: return Match_Choice(e.choices, text);
    case Encoding::Choice_Position: {
        const int n = NumberOr(text, e.unconvertible_position);
        return QString::number(n >= 0 && n < e.positions ? n : -1);
    }
    case Encoding::Flag: return text == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0");
    case Encoding::Typed_Text: return text;
    }
    return text;
}

} // namespace

QString ParGen_Payload_Text(const TParGen_Values& values)
{
    return QString::number(LoRa_Max_Payload(values[ParGen::LoRa_RF_Band], values[ParGen::LoRa_DataRate]));
}

TParGen_Values ParGen_New_Values()
{
    TParGen_Values v;
    for (int i = 0; i < ParGen::Element_Count; ++i)
        v[i] = ParGen::Elements()[i].default_value;
    v[ParGen::LoRa_DataRate] = LoRa_DataRate_Texts(v[ParGen::LoRa_RF_Band]).value(6);
    v[ParGen::LoRa_Payload_Size] = ParGen_Payload_Text(v);
    return v;
}

TParGen_Values ParGen_Read_Values(const XmlNode& root)
{
    TParGen_Values v;
    for (int i = 0; i < ParGen::Element_Count; ++i) {
        const ParGen::Element_Info& e = ParGen::Elements()[i];
        const XmlNode node = root.FindChild(e.name);
        if (node.IsNull()) {
            v[i] = e.default_value;
            continue;
        }
        if (i == ParGen::LoRa_DataRate)
            // Chosen from the list of the band read just before.
            v[i] = Match_Choice(LoRa_DataRate_Texts(v[ParGen::LoRa_RF_Band]), node.Text());
        else
            v[i] = Read_Value(e, node.Text());
    }
    // A data rate that is missing or not in the band's list becomes its first entry.
    if (v[ParGen::LoRa_DataRate].isEmpty())
        v[ParGen::LoRa_DataRate] = LoRa_DataRate_Texts(v[ParGen::LoRa_RF_Band]).value(0);
    v[ParGen::LoRa_Payload_Size] = ParGen_Payload_Text(v);
    return v;
}

TParGen_Load Load_ParGen(const QString& path, TParGen_Values* values, QString* error)
{
    *values = ParGen_New_Values();
    if (!FileExists(path))
        return TParGen_Load::Missing;
    XmlDocument doc;
    if (!doc.Load(path, error))
        return TParGen_Load::Not_Loaded;
    // The document element is the parameters element whatever its name, as
    // every reader of the configuration's files takes it.
    *values = ParGen_Read_Values(doc.DocumentElement());
    return TParGen_Load::Loaded;
}

QByteArray ParGen_Bytes(const TParGen_Values& values)
{
    XmlDocument doc;
    XmlNode root = doc.AddChild(kRoot);
    doc.AddComment(kVersionComment);
    for (int i = 0; i < ParGen::Element_Count; ++i)
        root.AddChild(ParGen::Elements()[i].name).SetText(values[i]);
    return doc.ToBytes();
}

bool Save_ParGen(const QString& path, const TParGen_Values& values, QString* error)
{
    return WriteFileAtomically(path, ParGen_Bytes(values), error);
}

TParGen_Load TParGen_Reader::Load(const QString& path, QString* error)
{
    loaded_ = false;
    doc_.Clear();
    if (!FileExists(path))
        return TParGen_Load::Missing;
    if (!doc_.Load(path, error))
        return TParGen_Load::Not_Loaded;
    loaded_ = true;
    return TParGen_Load::Loaded;
}

std::optional<QString> TParGen_Reader::Text(const QString& element) const
{
    if (!loaded_)
        return std::nullopt;
    const XmlNode node = doc_.DocumentElement().FindChild(element);
    if (node.IsNull())
        return std::nullopt;
    return node.Text();
}

int TParGen_Reader::Number(const QString& element, int fallback) const
{
    const std::optional<QString> text = Text(element);
    return text ? NumberOr(*text, fallback) : fallback;
}

int TParGen_Reader::Payload_Size() const
{
    return Number(ParGen::Elements()[ParGen::LoRa_Payload_Size].name, 0);
}

bool TParGen_Reader::FPort_Variable() const
{
    const std::optional<QString> text = Text(ParGen::Elements()[ParGen::LoRa_FPort].name);
    return text && text->trimmed().toUpper() == QLatin1String("VARIABLE");
}
