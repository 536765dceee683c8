#include "configuration/UParGen_Payload.h"

namespace {

std::vector<TLoRa_DataRate> Rates(std::initializer_list<std::pair<const char*, int>> rows)
{
    std::vector<TLoRa_DataRate> out;
    for (const auto& [text, bytes] : rows)
        out.push_back({QString::fromLatin1(text), bytes});
    return out;
}

std::vector<TLoRa_Band> Make_Bands()
{
    // KR920 and IN865 share their first six texts; IN865 has no data rate 6.
    const auto kr920 = Rates({
        {"0 - LoRa: SF12/125kHz 250 [bit/s]", 51},
        {"1 -\tLoRa: SF11/125kHz 440 [bit/s]", 51},
        {"2 -\tLoRa: SF10/125kHz 980 [bit/s]", 51},
        {"3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115},
        {"4 -\tLoRa: SF8/125kHz 3125 [bit/s]", 222},
        {"5 -\tLoRa: SF7/125kHz 5470 [bit/s]", 222},
    });
    auto in865 = kr920;
    in865.push_back({QStringLiteral("7 -\tFSK: 50kbps 50000 [bit/s]"), 222});

    // Data rates 10 to 13 read the same in both US bands.
    const auto us_high = Rates({
        {"10 - LoRa: SF10/500kHz 3900 [bit/s]", 222},
        {"11 - LoRa: SF9/500kHz 7000 [bit/s]", 222},
        {"12 - LoRa: SF8/500kHz 12500 [bit/s]", 222},
        {"13 - LoRa: SF7/500kHz 21900 [bit/s]", 222},
    });
    auto us915 = Rates({
        {"0  -\tLoRa: SF10/125kHz 980 [bit/s]", 11},
        {"1  -\tLoRa: SF9/125kHz 1760 [bit/s]", 53},
        {"2  -\tLoRa: SF8/125kHz 3125 [bit/s]", 125},
        {"3  -\tLoRa: SF7/125kHz 5470 [bit/s]", 242},
        {"4  -\tLoRa: SF8/500kHz 12500 [bit/s]", 242},
        {"8  -\tLoRa: SF12/500kHz 980 [bit/s]", 33},
        {"9  -\tLoRa: SF11/500kHz 1760 [bit/s]", 109},
    });
    us915.insert(us915.end(), us_high.begin(), us_high.end());
    auto us915_hybrid = Rates({
        {"0  - LoRa: SF10/125kHz 980 [bit/s]", 11},
        {"1  - LoRa: SF9/125kHz 1760 [bit/s]", 53},
        {"2  - LoRa: SF8/125kHz 3125 [bit/s]", 125},
        {"3  - LoRa: SF7/125kHz 5470 [bit/s]", 242},
        {"4  - LoRa: SF8/500kHz 12500 [bit/s]", 242},
        {"8  - LoRa: SF12/500kHz 980 [bit/s]", 33},
        {"9  - LoRa: SF11/500kHz 1760 [bit/s]", 109},
    });
    us915_hybrid.insert(us915_hybrid.end(), us_high.begin(), us_high.end());

    return {
        {QStringLiteral("AS923"), Rates({
                                      {"0\t- LoRa: SF12/125kHz 250 [bit/s]", 59},
                                      {"1\t- LoRa: SF11/125kHz 440 [bit/s]", 59},
                                      {"2\t- LoRa: SF10/125kHz 980 [bit/s]", 59},
                                      {"3\t- LoRa: SF9/125kHz 1760 [bit/s]", 123},
                                      {"4\t- LoRa: SF8/125kHz 3125 [bit/s]", 230},
                                      {"5\t- LoRa: SF7/125kHz 5470 [bit/s]", 230},
                                      {"6\t- LoRa: SF7/250kHz 11000 [bit/s]", 230},
                                      {"7\t- FSK: 50kbps 50000 [bit/s]", 230},
                                  })},
        {QStringLiteral("AU915"), Rates({
                                      {"0  - LoRa: SF12/125kHz 250 [bit/s]", 51},
                                      {"1  - LoRa: SF11/125kHz 440 [bit/s]", 51},
                                      {"2  - LoRa: SF10/125kHz 980 [bit/s]", 51},
                                      {"3  - LoRa: SF9/125kHz 1760 [bit/s]", 115},
                                      {"4  - LoRa: SF8/125kHz 3125 [bit/s]", 222},
                                      {"5  - LoRa: SF7/125kHz 5470 [bit/s]", 222},
                                      {"6  - LoRa: SF8/500kHz 12500 [bit/s]", 222},
                                      {"8  - LoRa: SF12/500kHz 980 [bit/s]", 33},
                                      {"9  - LoRa: SF11/500kHz 1760 [bit/s]", 109},
                                      {"10 - LoRa: SF10/500kHz 3900 [bit/s]", 222},
                                      {"11 - LoRa: SF9/500kHz 7000 [bit/s]", 222},
                                      {"12 - LoRa: SF8/500kHz 12500 [bit/s]", 222},
                                      {"13 - LoRa: SF7/500kHz 21900 [bit/s]", 222},
                                  })},
        {QStringLiteral("EU868"), Rates({
                                      {"0 -\tLoRa: SF12/125kHz 250 [bit/s]", 51},
                                      {"1 -\tLoRa: SF11/125kHz 440 [bit/s]", 51},
                                      {"2 -\tLoRa: SF10/125kHz 980 [bit/s]", 51},
                                      {"3 -\tLoRa: SF9/125kHz 1760 [bit/s]", 115},
                                      {"4 -\tLoRa: SF8/125kHz 3125 [bit/s]", 222},
                                      {"5 -\tLoRa: SF7/125kHz 5470 [bit/s]", 222},
                                      {"6 - LoRa: SF7/250kHz 11000 [bit/s]", 222},
                                      {"7 - FSK: 50kbps 50000 [bit/s]", 222},
                                  })},
        {QStringLiteral("KR920"), kr920},
        {QStringLiteral("IN865"), in865},
        {QStringLiteral("US915"), us915},
        {QStringLiteral("US915-Hybrid"), us915_hybrid},
    };
}

const TLoRa_Band* Find_Band(const QString& band)
{
    for (const TLoRa_Band& b : LoRa_Bands())
        if (b.name == band)
            return &b;
    return nullptr;
}

} // namespace

const std::vector<TLoRa_Band>& LoRa_Bands()
{
    static const std::vector<TLoRa_Band> bands = Make_Bands();
    return bands;
}

QStringList LoRa_Band_Names()
{
    QStringList out;
    for (const TLoRa_Band& b : LoRa_Bands())
        out << b.name;
    return out;
}

QStringList LoRa_DataRate_Texts(const QString& band)
{
    QStringList out;
    if (const TLoRa_Band* b = Find_Band(band))
        for (const TLoRa_DataRate& r : b->data_rates)
            out << r.text;
    return out;
}

int LoRa_Max_Payload(const QString& band, const QString& dataRate)
{
    if (const TLoRa_Band* b = Find_Band(band))
        for (const TLoRa_DataRate& r : b->data_rates)
            if (r.text == dataRate)
                return r.max_payload;
    return 0;
}
