#pragma once

// The LoRaWAN radio bands and, for each, the data rates the converter offers
// with the largest payload one uplink may carry. The entry texts are what the
// general parameters show and store in "LoRa_DataRate", so they are kept to
// the character: blanks and tabs differ between bands, and a text counts only
// for the band that lists it exactly.

#include <QString>
#include <QStringList>

#include <vector>

struct TLoRa_DataRate
{
    QString text;
    int max_payload;   // bytes
};

struct TLoRa_Band
{
    QString name;
    std::vector<TLoRa_DataRate> data_rates;
};

// The band list in its fixed order: "AS923", "AU915", "EU868", "KR920",
// "IN865", "US915", "US915-Hybrid".
const std::vector<TLoRa_Band>& LoRa_Bands();
QStringList LoRa_Band_Names();

// The band's data-rate texts in order; empty for a text that is no band.
QStringList LoRa_DataRate_Texts(const QString& band);

// The payload maximum for a band and one of its data-rate texts, both compared
// exactly; 0 when the band or the text is not in the table.
int LoRa_Max_Payload(const QString& band, const QString& dataRate);
