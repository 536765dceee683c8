#include "configuration/UParGen_Payload.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Rate
{
    const char* band;
    const char* text;   // exactly as listed: blanks and tabs count
    int bytes;
};

// Every band's data rates in list order, with their payload maxima.
const Rate kRates[] = {
    {"AS923", "0\t- LoRa: SF12/125kHz 250 [bit/s]", 59},
    {"AS923", "1\t- LoRa: SF11/125kHz 440 [bit/s]", 59},
    {"AS923", "2\t- LoRa: SF10/125kHz 980 [bit/s]", 59},
    {"AS923", "3\t- LoRa: SF9/125kHz 1760 [bit/s]", 123},
    {"AS923", "4\t- LoRa: SF8/125kHz 3125 [bit/s]", 230},
    {"AS923", "5\t- LoRa: SF7/125kHz 5470 [bit/s]", 230},
    {"AS923", "6\t- LoRa: SF7/250kHz 11000 [bit/s]", 230},
    {"AS923", "7\t- FSK: 50kbps 50000 [bit/s]", 230},
    {"AU915", "0  - LoRa: SF12/125kHz 250 [bit/s]", 51},
    {"AU915", "1  - LoRa: SF11/125kHz 440 [bit/s]", 51},
    {"AU915", "2  - LoRa: SF10/125kHz 980 [bit/s]", 51},
    {"AU915", "3  - LoRa: SF9/125kHz 1760 [bit/s]", 115},
    {"AU915", "4  - LoRa: SF8/125kHz 3125 [bit/s]", 222},
    {"AU915", "5  - LoRa: SF7/125kHz 5470 [bit/s]", 222},
    {"AU915", "6  - LoRa: SF8/500kHz 12500 [bit/s]", 222},
    {"AU915", "8  - LoRa: SF12/500kHz 980 [bit/s]", 33},
    {"AU915", "9  - LoRa: SF11/500kHz 1760 [bit/s]", 109},
    {"AU915", "10 - LoRa: SF10/500kHz 3900 [bit/s]", 222},
    {"AU915", "11 - LoRa: SF9/500kHz 7000 [bit/s]", 222},
    {"AU915", "12 - LoRa: SF8/500kHz 12500 [bit/s]", 222},
    {"AU915", "13 - LoRa: SF7/500kHz 21900 [bit/s]", 222},
    {"EU868", "0 -\tLoRa: SF12/125kHz 250 [bit/s]", 51},
    {"EU868", "1 -\tLoRa: SF11/125kHz 440 [bit/s]", 51},
    {"EU868", "2 -\tLoRa: SF10/125kHz 980 [bit/s]", 51},
    {"EU868", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115},
    {"EU868", "4 -\tLoRa: SF8/125kHz 3125 [bit/s]", 222},
    {"EU868", "5 -\tLoRa: SF7/125kHz 5470 [bit/s]", 222},
    {"EU868", "6 - LoRa: SF7/250kHz 11000 [bit/s]", 222},
    {"EU868", "7 - FSK: 50kbps 50000 [bit/s]", 222},
    {"KR920", "0 - LoRa: SF12/125kHz 250 [bit/s]", 51},
    {"KR920", "1 -\tLoRa: SF11/125kHz 440 [bit/s]", 51},
    {"KR920", "2 -\tLoRa: SF10/125kHz 980 [bit/s]", 51},
    {"KR920", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115},
    {"KR920", "4 -\tLoRa: SF8/125kHz 3125 [bit/s]", 222},
    {"KR920", "5 -\tLoRa: SF7/125kHz 5470 [bit/s]", 222},
    {"IN865", "0 - LoRa: SF12/125kHz 250 [bit/s]", 51},
    {"IN865", "1 -\tLoRa: SF11/125kHz 440 [bit/s]", 51},
    {"IN865", "2 -\tLoRa: SF10/125kHz 980 [bit/s]", 51},
    {"IN865", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115},
    {"IN865", "4 -\tLoRa: SF8/125kHz 3125 [bit/s]", 222},
    {"IN865", "5 -\tLoRa: SF7/125kHz 5470 [bit/s]", 222},
    {"IN865", "7 -\tFSK: 50kbps 50000 [bit/s]", 222},
    {"US915", "0  -\tLoRa: SF10/125kHz 980 [bit/s]", 11},
    {"US915", "1  -\tLoRa: SF9/125kHz 1760 [bit/s]", 53},
    {"US915", "2  -\tLoRa: SF8/125kHz 3125 [bit/s]", 125},
    {"US915", "3  -\tLoRa: SF7/125kHz 5470 [bit/s]", 242},
    {"US915", "4  -\tLoRa: SF8/500kHz 12500 [bit/s]", 242},
    {"US915", "8  -\tLoRa: SF12/500kHz 980 [bit/s]", 33},
    {"US915", "9  -\tLoRa: SF11/500kHz 1760 [bit/s]", 109},
    {"US915", "10 - LoRa: SF10/500kHz 3900 [bit/s]", 222},
    {"US915", "11 - LoRa: SF9/500kHz 7000 [bit/s]", 222},
    {"US915", "12 - LoRa: SF8/500kHz 12500 [bit/s]", 222},
    {"US915", "13 - LoRa: SF7/500kHz 21900 [bit/s]", 222},
    {"US915-Hybrid", "0  - LoRa: SF10/125kHz 980 [bit/s]", 11},
    {"US915-Hybrid", "1  - LoRa: SF9/125kHz 1760 [bit/s]", 53},
    {"US915-Hybrid", "2  - LoRa: SF8/125kHz 3125 [bit/s]", 125},
    {"US915-Hybrid", "3  - LoRa: SF7/125kHz 5470 [bit/s]", 242},
    {"US915-Hybrid", "4  - LoRa: SF8/500kHz 12500 [bit/s]", 242},
    {"US915-Hybrid", "8  - LoRa: SF12/500kHz 980 [bit/s]", 33},
    {"US915-Hybrid", "9  - LoRa: SF11/500kHz 1760 [bit/s]", 109},
    {"US915-Hybrid", "10 - LoRa: SF10/500kHz 3900 [bit/s]", 222},
    {"US915-Hybrid", "11 - LoRa: SF9/500kHz 7000 [bit/s]", 222},
    {"US915-Hybrid", "12 - LoRa: SF8/500kHz 12500 [bit/s]", 222},
    {"US915-Hybrid", "13 - LoRa: SF7/500kHz 21900 [bit/s]", 222},
};

} // namespace

TEST(LoRaPayload, EveryBandAndDataRateWithItsMaximum)
{
    EXPECT_EQ(LoRa_Band_Names(),
              (QStringList{"AS923", "AU915", "EU868", "KR920", "IN865", "US915", "US915-Hybrid"}));
    QStringList expectedOrder;
    QString band;
    auto checkOrder = [&] {
        if (!band.isEmpty()) {
            EXPECT_EQ(LoRa_DataRate_Texts(band), expectedOrder) << band.toStdString();
        }
    };
    for (const Rate& r : kRates) {
        if (band != QLatin1String(r.band)) {
            checkOrder();
            band = QLatin1String(r.band);
            expectedOrder.clear();
        }
        expectedOrder << QString::fromLatin1(r.text);
        EXPECT_EQ(LoRa_Max_Payload(band, QString::fromLatin1(r.text)), r.bytes) << r.band << " " << r.text;
        // A reader takes the trimmed text before the first "-" as the data rate.
        bool isNumber = false;
        QString::fromLatin1(r.text).section(u'-', 0, 0).trimmed().toInt(&isNumber);
        EXPECT_TRUE(isNumber) << r.text;
    }
    checkOrder();
}

TEST(LoRaPayload, TextsCountOnlyForTheBandThatListsThemExactly)
{
    struct Case
    {
        const char* band;
        const char* text;
        int bytes;
        const char* why;
    };
    const Case cases[] = {
        {"EU868", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115, "listed"},
        {"EU868", "0 - LoRa: SF12/125kHz 250 [bit/s]", 0, "the KR920 spelling; EU868 has a tab"},
        {"US915", "0  - LoRa: SF10/125kHz 980 [bit/s]", 0, "the hybrid band's spelling"},
        {"AS923", "6 - LoRa: SF7/250kHz 11000 [bit/s]", 0, "blank instead of tab"},
        {"eu868", "3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 0, "band compared exactly"},
        {"EU868", "3 -\tlora: sf9/125khz 1760 [bit/s]", 0, "text compared exactly"},
        {"EU868", "", 0, "no data rate chosen"},
        {"", "", 0, "no band"},
        {"EU433", "0 - LoRa: SF12/125kHz 250 [bit/s]", 0, "not a band"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoRa_Max_Payload(QString::fromLatin1(c.band), QString::fromLatin1(c.text)), c.bytes) << c.why;
    EXPECT_TRUE(LoRa_DataRate_Texts("EU433").isEmpty());
    EXPECT_TRUE(LoRa_DataRate_Texts("").isEmpty());
}
