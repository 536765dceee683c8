#pragma once

// "ParGen.xml", the general communication parameters of a configuration: the
// 42 elements this model writes, how each value is encoded, the defaults the
// general parameters window takes, and the one layout the file is written in.
// Values are kept as the texts the file holds, so what the window shows, what
// the checks see and what is written are the same thing.
//
// Other modules read single elements through TParGen_Reader.

#include "platform/XmlDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace ParGen {

// The elements in the order they are written.
enum Element : int {
    LoRa_RF_Band,
    LoRa_Network_Type,
    LoRa_Adaptive_DataRate,
    LoRa_DataRate,
    LoRa_Transmission_Type,
    LoRa_Payload_Size,
    LoRa_Activation_Method,
    LoRa_Device_Address,
    LoRa_JoinEUI,
    LoRa_Network_Session_Key,
    LoRa_Application_Session_Key,
    LoRa_Application_Key,
    LoRa_FPort,
    LoRa_Frequency_SubBand,
    Ethernet_IP1,
    Ethernet_IP2,
    Ethernet_IP3,
    Ethernet_IP4,
    Ethernet_SM1,
    Ethernet_SM2,
    Ethernet_SM3,
    Ethernet_SM4,
    Ethernet_GAT1,
    Ethernet_GAT2,
    Ethernet_GAT3,
    Ethernet_GAT4,
    Ethernet_EN_GAT,
    Ethernet_DNS1,
    Ethernet_DNS2,
    Ethernet_DNS3,
    Ethernet_DNS4,
    Ethernet_EN_DNS,
    Meter_Present,
    Meter_Baud,
    Meter_Par,
    Meter_Req_Delay,
    Meter_NS_Error_Code,
    Meter_Use_Fix_C_Field,
    Meter_Select_C_Field,
    wMBus_Present,
    wMBus_Mode,
    wMBus_Radio_Channel,
    Element_Count
};

enum class Encoding {
    Choice_Text,       // the chosen entry's text; empty when none is chosen
    Choice_Position,   // the chosen entry's position from 0; "-1" when none is chosen
    Flag,              // "1" on, "0" off
    Typed_Text         // an edit field's text, unchanged
};

struct Element_Info
{
    QString name;
    Encoding encoding;
    // The fixed entries of a choice (empty for the data rate, whose entries
    // follow the band, and for the two presence choices, whose entries are
    // language texts).
    QStringList choices;
    int positions;              // entries of a position choice
    QString default_value;      // as written; the data rate and payload are worked out
    int unconvertible_position; // a position text that is no number reads as this
};

const std::array<Element_Info, Element_Count>& Elements();

// The two activation methods, in their list order.
extern const QString Method_ABP;
extern const QString Method_OTAA;

} // namespace ParGen

using TParGen_Values = std::array<QString, ParGen::Element_Count>;

// A new configuration: every default, the "AS923" data rate at position 6,
// and its payload maximum.
TParGen_Values ParGen_New_Values();

// Reads the values below the parameters element, element by element: a
// missing one takes its default, a choice text is matched to its list
// ignoring letter case, a position that is no number or outside its list
// reads as the file's rule says. The payload is always worked out again.
TParGen_Values ParGen_Read_Values(const platform::XmlNode& root);

// The payload maximum of the values' band and data rate, as text.
QString ParGen_Payload_Text(const TParGen_Values& values);

enum class TParGen_Load { Missing, Loaded, Not_Loaded };

// Loads the values the window shows: the defaults of a new configuration when
// the file is missing or cannot be loaded (then with the parser's message).
TParGen_Load Load_ParGen(const QString& path, TParGen_Values* values, QString* error = nullptr);

// The whole file: the root "Par_Gen", the version comment after it, the 42
// elements in order. Saving replaces the old file only when all was written.
QByteArray ParGen_Bytes(const TParGen_Values& values);
bool Save_ParGen(const QString& path, const TParGen_Values& values, QString* error = nullptr);

// What other windows read of "ParGen.xml", one element at a time, each with
// its own default. Load it, then ask.
class TParGen_Reader
{
public:
    // Missing when there is no file; Not_Loaded, with the parser's message,
    // when it is not well-formed or cannot be read.
    TParGen_Load Load(const QString& path, QString* error = nullptr);

    // The element's text below the document element; nothing when the
    // element (or the file) is missing.
    std::optional<QString> Text(const QString& element) const;
    // The text by the program's number rule; the fallback when missing or no number.
    int Number(const QString& element, int fallback) const;

    // "LoRa_Payload_Size": the largest uplink payload in bytes; 0 when unknown.
    int Payload_Size() const;
    // "LoRa_FPort": true when it reads "VARIABLE" (trimmed, any case); the
    // port is fixed otherwise, also when the element is missing.
    bool FPort_Variable() const;

private:
    platform::XmlDocument doc_;
    bool loaded_ = false;
};
