#include "configuration/UParGen_Check.h"
#include "configuration/UParGen_Payload.h"

#include "shell/ULanguage.h"

#include "platform/NumberText.h"

using namespace ParGen;

namespace {

bool Is_Hex_Digit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

TParGen_Fault Fault(int message)
{
    return {message, Language_List.value(message)};
}

bool In_Range(const QString& text, int low, int high)
{
    const int n = platform::NumberOr(text, -1);
    return n >= low && n <= high;
}

} // namespace

bool Is_Hex_Digits(const QString& text, int digits)
{
    if (text.size() != digits)
        return false;
    for (const QChar c : text)
        if (!Is_Hex_Digit(c))
            return false;
    return true;
}

bool Hex_Key_Allowed(QChar key)
{
    return key.unicode() < 32 || Is_Hex_Digit(key);
}

QString Hex_Digits_Of(const QString& text)
{
    QString out;
    for (const QChar c : text)
        if (Is_Hex_Digit(c))
            out += c.toUpper();
    return out;
}

std::optional<TParGen_Fault> Check_ParGen(const TParGen_Values& v)
{
    const std::pair<Element, int> not_empty[] = {
        {LoRa_RF_Band, 493}, {LoRa_Network_Type, 494}, {LoRa_DataRate, 495}, {LoRa_Transmission_Type, 496}};
    for (const auto& [element, message] : not_empty)
        if (v[element].trimmed().isEmpty())
            return Fault(message);

    const int max = LoRa_Max_Payload(v[LoRa_RF_Band], v[LoRa_DataRate]);
    if (!In_Range(v[LoRa_Payload_Size], 1, max)) {
        TParGen_Fault f = Fault(497);
        f.text.replace(QLatin1String("%d"), QString::number(max));
        return f;
    }
    if (v[LoRa_Activation_Method].trimmed().isEmpty())
        return Fault(499);

    // The image builder pads short keys and turns what is not hexadecimal into
    // zeros, so a key of the chosen method that is filled in must be whole. An
    // empty one is allowed (it goes into the image as zeros), so the other
    // settings can be saved before the keys are known. The JoinEUI goes into
    // the image with either method.
    const bool otaa = v[LoRa_Activation_Method].trimmed().compare(Method_OTAA, Qt::CaseInsensitive) == 0;
    struct Key
    {
        Element element;
        int digits;
        bool compiled;
        int message;
    };
    const Key keys[] = {
        {LoRa_Device_Address, 8, !otaa, 500},
        {LoRa_JoinEUI, 16, true, 501},
        {LoRa_Network_Session_Key, 32, !otaa, 502},
        {LoRa_Application_Session_Key, 32, !otaa, 503},
        {LoRa_Application_Key, 32, otaa, 504},
    };
    for (const Key& k : keys)
        if (k.compiled && !v[k.element].isEmpty() && !Is_Hex_Digits(v[k.element], k.digits))
            return Fault(k.message);

    for (int i = 0; i < 4; ++i)
        if (!In_Range(v[Ethernet_IP1 + i], 0, 255))
            return Fault(465 + i);
    for (int i = 0; i < 4; ++i)
        if (!In_Range(v[Ethernet_SM1 + i], 0, 255))
            return Fault(469 + i);
    if (v[Ethernet_EN_GAT] == QLatin1String("1"))
        for (int i = 0; i < 4; ++i)
            if (!In_Range(v[Ethernet_GAT1 + i], 0, 255))
                return Fault(473 + i);
    if (v[Ethernet_EN_DNS] == QLatin1String("1"))
        for (int i = 0; i < 4; ++i)
            if (!In_Range(v[Ethernet_DNS1 + i], 0, 255))
                return Fault(477 + i);

    // The M-Bus line is checked whether or not its port is present.
    if (!In_Range(v[Meter_Req_Delay], 0, 65535))
        return Fault(653);
    if (!In_Range(v[Meter_NS_Error_Code], 0, 255))
        return Fault(654);
    return std::nullopt;
}
