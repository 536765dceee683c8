// Every field the decoders give, for the seed telegrams of the decoders'
// fuzz targets (the benchmark's telegrams) and for frames that walk every row
// of the VIF, FD, FB and combinable VIFE tables over every data field kind.
// The expected text was taken from the decoder as it was before its texts
// were built without per-byte strings: any change to what the window shows
// or what the writers store shows up here.

#include "DecodedOutputGolden.h"
#include "MBusTestHelpers.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QStringList>

using namespace mbustest;

namespace {

struct Named {
    const char* Name;
    const char* Hex;
};

// fuzz/corpus/wired, as the benchmark reads it.
const Named Wired_Corpus[] = {
    {"bcd_volume", "681515680802727856341224400107550000000c13785634128416"},
    {"classic", "681f1f680802727856341224400107550000000313153100da023b13018b60043718021816"},
    {"data_types", "6855556808027278563412244001075500000000030103fe02033412030356341204037856341205030000c03f0603010000000080"
                   "070308070605040302010903420a0334f20b035634120c03785634f20e031290785634121216"},
    {"dif_0f_1f_2f", "681e1e680802727856341224400107550000002f2f0c13785634128f00130f0102039916"},
    {"difes", "68383868080272785634122440010755000000c29f6203010082b020030100c2ffffffffffffffffff7f030100828181818181818181"
              "8181050307004516"},
    {"fixed_structure", "68131368080573785634120a00e97e01000000350100003c16"},
    {"fixed_structure_msb", "68131368080577123456780a00e97e00000001000001354016"},
    {"long_binary_lvar", "685c5c680802727856341224400107550000000dfd3bf0025a10010000000000000000000000000d13f500010203040506"
                         "0708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f0c1378563412a316"},
    {"manufacturer_vifes", "682424680802727856341224400107550000000293ff0139300293a2ff7339300293fff3810b3930dd16"},
    {"more_follows", "681919680802727856341224400107550000000c13785634121f010203a916"},
    {"no_records", "680f0f680802727856341224400107550000005116"},
    {"plain_text_unit", "68242468080272785634122440010755000000027c0368576b393001fc015622070d7c0156024b4f5e16"},
    {"time_points", "68323268080272785634122440010755000000026cbf2c046d3b17bf2c036d050403066d1e2d6c0f360002936abf2c0493423b"
                    "17bf2c4316"},
    {"type_f_invalid", "68222268080272785634122440010755000000046dbb17bf2c049342bb17bf2c046d3b17bf2cc316"},
    {"variable_length", "683e3e680802727856341224400107550000000d03034342410d03c234120d03d35634120d03e234120d03ea0a0908070605"
                        "040302010d03f40000c03f0d03fb01023b16"},
    {"vif_tables", "6849496808027278563412244001075500000002fd48fd0802fd17000002fb2e393002843b39300293a23b393002abfc01393002"
                   "9373393002fdc83b39300293a0a0a0a0a0a0a0a0a0a02239309b16"},
};

// fuzz/corpus/wireless.
const Named Wireless_Corpus[] = {
    {"ell2_long_header", "254493157856341233038d202a01020304aabb72214365872d2c01072a0000000c13785634120050"},
    {"ell2_no_header", "194493157856341233038d202a01020304aabb780c13785634120050"},
    {"ell2_short_header", "1d4493157856341233038d202a01020304aabb7a2a0000000c13785634120050"},
    {"ell_long_header", "1f4493157856341233038c202a72214365872d2c01072a0000000c13785634120050"},
    {"ell_no_header", "134493157856341233038c202a780c13785634120050"},
    {"mode16_short_header", "144493157856341233037a2a0000100c13785634120050"},
    {"mode7_afl", "434493157856341233038c202a900f002c050100000011121314151617187a2a002007104269ee9dce32ecccfc7c16c2abdd8c"
                  "8c71e60c2d831b5551f2f58bc8ecece2be0050"},
    {"no_header_records", "1b449315785634123303780c1378563412046d3b17bf2c02fd1700000050"},
    {"no_header_without_ell", "10449315785634123303780c13785634120050"},
    {"oms_decrypted_short_header", "2e4493157856341233037a2a0020252f2f0c1427048502046d32371f1502fd1700002f2f2f2f2f2f2f2f2f"
                                   "2f2f2f2f2f0050"},
    {"oms_mode5_ell", "314493157856341233038c202a7a2a0020255923c95aaa26d1b2e7493b013ec4a6f6d3529b520edff0ea6defc99d6d69eb"
                      "f30050"},
    {"oms_mode5_short_header", "2e4493157856341233037a2a0020255923c95aaa26d1b2e7493b013ec4a6f6d3529b520edff0ea6defc99d6d"
                               "69ebf30050"},
    {"plain_long_header", "1c44931578563412330372214365872d2c01072a0000000c13785634120050"},
    {"plain_short_header", "144493157856341233037a2a0000000c13785634120050"},
    {"radiocrafts_short_header", "1a4493157856341233037a2a0000000c137856341202fd1700009c"},
};

// Data field codes with a fixed length, taken in turn so that every table
// row meets several kinds of value (floats among them, some not finite).
const uint8_t Data_Fields[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x0E};
int Field_Length(uint8_t code)
{
    static const int lengths[16] = {0, 1, 2, 3, 4, 4, 6, 8, 0, 1, 2, 3, 4, 0, 6, 0};
    return lengths[code & 0x0F];
}

// Frames of at most 12 records each, one per table row, every record a
// different data field kind with bytes that follow from its row.
std::vector<Bytes> Table_Frames()
{
    std::vector<Bytes> vifParts;   // VIF (and VIFEs) of each record
    for (int vif = 0; vif < 0x80; ++vif) {
        if (vif == 0x7C || vif == 0x7E)
            continue;   // plain text (own frames) and any VIF (ends the parse)
        vifParts.push_back({uint8_t(vif)});
    }
    for (int code = 0; code < 0x80; ++code) {
        vifParts.push_back({0xFD, uint8_t(code)});
        vifParts.push_back({0xFB, uint8_t(code)});
        // A combinable VIFE after a primary VIF, and one after FD with a second one.
        vifParts.push_back({0x93, uint8_t(code)});
        vifParts.push_back({0xFD, 0x97, uint8_t(0x80 | code), 0x2D});
    }
    // Phases after 7C, and chains up to and past ten VIFEs.
    for (int phase : {1, 2, 3, 4, 5, 6, 7, 0x10, 0x11})
        vifParts.push_back({0x84, 0xFC, uint8_t(phase)});
    vifParts.push_back({0x84, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x22});
    vifParts.push_back({0xFD, 0xC8, 0xF4, 0xFD, 0xA0, 0x7A});
    vifParts.push_back({0xED, 0xC2});   // a date VIFE on a time point

    std::vector<Bytes> frames;
    Bytes area;
    int inFrame = 0;
    for (size_t i = 0; i < vifParts.size(); ++i) {
        const uint8_t dif = Data_Fields[i % std::size(Data_Fields)];
        Bytes rec = {dif};
        rec.insert(rec.end(), vifParts[i].begin(), vifParts[i].end());
        for (int k = 0; k < Field_Length(dif); ++k)
            rec.push_back(uint8_t(vifParts[i].back() * 7 + k * 29 + i));
        area.insert(area.end(), rec.begin(), rec.end());
        if (++inFrame == 12 || i + 1 == vifParts.size()) {
            frames.push_back(Frame_With_Records(area));
            area.clear();
            inFrame = 0;
        }
    }
    return frames;
}

QString Line_Of(const TVariable_MBus& v, const QString& date, const QString& time)
{
    QString value = v.ValueStr;
    // The regional separator shows as '#', so that the text is the same everywhere.
    value.replace(platform::DecimalSeparator(), QLatin1Char('#'));
    QStringList f;
    f << QStringLiteral("dA=%1 dB=%2 dim=%3 ff=%4 sn=%5 tar=%6 dev=%7 td=%8 sc=%9")
             .arg(v.dato_A)
             .arg(v.dato_B)
             .arg(v.dimension)
             .arg(v.function_fild)
             .arg(v.storage_number)
             .arg(v.tarif)
             .arg(v.device)
             .arg(v.type_data)
             .arg(v.scale);
    f << QStringLiteral("err=%1 sterr=%2 nb=%3 dd=%4 nd=%5 nv=%6 vv=%7 pv=%8 cv=%9")
             .arg(int(v.errata))
             .arg(v.sterror)
             .arg(v.nbyte)
             .arg(v.descdim)
             .arg(v.numdife)
             .arg(v.numvife)
             .arg(v.vifvalue)
             .arg(v.PrinVIFE)
             .arg(v.casovif);
    f << QStringLiteral("ndat=%1 VIF=%2 VIFE=%3 DIF=%4 DIFE=%5 tot=%6 VA=%7 Desc=%8 icon=%9")
             .arg(v.numdato)
             .arg(v.VIF)
             .arg(v.VIFE, v.DIF, v.DIFE, v.totdati, v.VIF_ASCII, v.Description, v.icon);
    f << QStringLiteral("TDV=%1 DTD=%2 Val=%3 FFS=%4 DFS=%5 en=%6 rw=%7 bcd=%8 node=%9")
             .arg(v.Type_Data_Vife)
             .arg(v.Desc_Type_Data, value, v.FunctionFieldStr, v.DataFieldStr)
             .arg(int(v.Enable))
             .arg(int(v.Real_Wireless_Var))
             .arg(int(v.Is_BCD))
             .arg(v.Node ? 1 : 0);
    f << QStringLiteral("stamp=%1").arg(v.datagiorno == date && v.tempo == time ? QStringLiteral("ok")
                                                                                  : v.datagiorno + QLatin1Char(' ') + v.tempo);
    return QStringLiteral("  rec ") + f.join(QLatin1Char(' ')) + QLatin1Char('\n');
}

class DecodedOutput : public ::testing::Test {
protected:
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder d{wired, wireless};
    const QDateTime when{QDate(2026, 3, 4), QTime(5, 6, 7)};
    QString date;
    QString time;

    void SetUp() override
    {
        d.Clock = [this] { return when; };
        // The texts the window shows for the clock's moment.
        const QLocale locale = QLocale::system();
        date = locale.toString(when.date(), locale.dateFormat(QLocale::ShortFormat));
        QString tf = locale.timeFormat(QLocale::LongFormat);
        tf.remove(QLatin1Char('t'));
        time = when.time().toString(tf.trimmed());
    }

    QString Wired_Text(const char* name, const Bytes& frame, int index = -1)
    {
        bool last = false;
        const int pos = Feed_Wired(d, frame, index, last);
        QString out = QStringLiteral("== wired %1 pos=%2 last=%3\n").arg(QLatin1String(name)).arg(pos).arg(int(last));
        if (pos < 0)
            return out;
        const TSlave_MBus& m = *wired.Items(pos);
        out += QStringLiteral("meter pa=%1 sa=%2 man=%3 ver=%4 med=%5 st=%6 dman=%7 dmed=%8 desc=%9\n")
                   .arg(m.Primary_Addresss)
                   .arg(m.Secondary_Addresss)
                   .arg(m.Manufacture)
                   .arg(m.Version)
                   .arg(m.Medium)
                   .arg(m.Status)
                   .arg(m.descManufacture, m.descmedium, m.description);
        for (const auto& v : m.List_Var)
            out += Line_Of(*v, date, time);
        return out;
    }
};

TEST_F(DecodedOutput, EveryFieldOfTheBenchmarkTelegramsAndTheTableRowsStaysAsItWas)
{
    QString text;
    for (const Named& t : Wired_Corpus)
        text += Wired_Text(t.Name, Hex(t.Hex));
    // A second telegram of a meter adds to its records.
    text += Wired_Text("more_follows again", Hex(Wired_Corpus[9].Hex), 9);
    int n = 0;
    for (const Bytes& frame : Table_Frames())
        text += Wired_Text(QStringLiteral("table %1").arg(n++).toLatin1().constData(), frame);

    // Wireless: every datagram once to make its meter, then with the key of
    // the encrypted ones.
    static const uint8_t key[16] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                    0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x11};
    auto module = [](const Bytes& b) { return b.size() == size_t(b[0]) + 3 ? rmTelit : rmRadioCrafts; };
    for (const Named& t : Wireless_Corpus)
        Feed_Wireless(d, Hex(t.Hex), module(Hex(t.Hex)));
    for (int i = 0; i < wireless.Count(); ++i) {
        std::copy(std::begin(key), std::end(key), wireless.Items(i)->Key.begin());
        wireless.Items(i)->Enable_Key = true;
    }
    for (const Named& t : Wireless_Corpus) {
        int position = -1;
        d.UpdateListWirelessSlave = [&](int p, TSlave_wMBus*) { position = p; };
        Feed_Wireless(d, Hex(t.Hex), module(Hex(t.Hex)));
        text += QStringLiteral("== wireless %1 pos=%2\n").arg(QLatin1String(t.Name)).arg(position);
        if (position < 0)
            continue;
        const TSlave_wMBus& m = *wireless.Items(position);
        text += QStringLiteral("meter C=%1 lm=%2 %3 la=%4 lv=%5 ld=%6 am=%7 %8 aa=%9")
                    .arg(m.Message_Type)
                    .arg(m.LLA_Manufacturer)
                    .arg(m.LLA_Manu_str)
                    .arg(m.LLA_Address)
                    .arg(m.LLA_Version)
                    .arg(m.LLA_DeviceType)
                    .arg(m.ALA_Manufacturer)
                    .arg(m.ALA_Manu_str)
                    .arg(m.ALA_Address)
                + QStringLiteral(" av=%1 ad=%2 rssi=%3 when=%4 crypt=%5\n")
                      .arg(m.ALA_Version)
                      .arg(m.ALA_DeviceType)
                      .arg(m.RSSI)
                      .arg(int(m.DateTime == when))
                      .arg(int(m.Cripted));
        for (const auto& v : m.List_Var)
            text += Line_Of(*v, date, time);
    }

    const QStringList got = text.split(QLatin1Char('\n'));
    const QStringList want = QString::fromUtf8(Decoded_Output_Golden).split(QLatin1Char('\n'));
    // Line by line, so that a difference names its telegram and record.
    for (qsizetype i = 0; i < std::max(got.size(), want.size()); ++i) {
        const QString g = i < got.size() ? got[i] : QStringLiteral("<none>");
        const QString w = i < want.size() ? want[i] : QStringLiteral("<none>");
        EXPECT_EQ(g, w) << "line " << i + 1;
        if (g != w)
            break;
    }
    if (qEnvironmentVariableIsSet("DECODED_OUTPUT_DUMP"))
        std::printf("%s", text.toUtf8().constData());
}

} // namespace
