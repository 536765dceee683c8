#include "mbus/UMBusScanDecode.h"

#include "platform/Regional.h"

#include <QTimeZone>

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <cstring>
#include <stdexcept>

TList_Slave_MBus List_Slave_MBus;
TList_Slave_wMBus List_Slave_wMBus;

// ---------------------------------------------------------------------------
// Meters

TSlave_MBus::~TSlave_MBus()
{
    while (!List_Var.empty())
        List_Var.pop_back();
}

TSlave_wMBus::~TSlave_wMBus()
{
    Cancel_Var();
}

void TSlave_wMBus::Cancel_Var()
{
    while (!List_Var.empty())
        List_Var.pop_back();
}

// ---------------------------------------------------------------------------
// AES

namespace {

// Fetched once; shared by every thread (fetched algorithms are read-only).
EVP_CIPHER* Cbc_Cipher()
{
    static EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr);
    return cipher;
}

EVP_MAC* Cmac_Mac()
{
    static EVP_MAC* mac = EVP_MAC_fetch(nullptr, "CMAC", nullptr);
    return mac;
}

struct CipherCtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
struct MacCtxFree {
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};

} // namespace

void AES_Decrypt_CBC(const uint8_t Key[16], const uint8_t IV[16], const uint8_t* Input, size_t Count, uint8_t* Output)
{
    if (Count % 16 != 0)
        throw std::invalid_argument("Invalid buffer size for decryption");
    if (Count == 0)
        return;
    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
    EVP_CIPHER* cipher = Cbc_Cipher();
    if (!ctx || !cipher || EVP_DecryptInit_ex2(ctx.get(), cipher, Key, IV, nullptr) != 1)
        throw std::runtime_error("AES decryption unavailable");
    EVP_CIPHER_CTX_set_padding(ctx.get(), 0);
    // Decrypt into a separate buffer so Input and Output may overlap.
    std::vector<uint8_t> plain(Count + 16);
    int outLen = 0;
    int finalLen = 0;
    if (EVP_DecryptUpdate(ctx.get(), plain.data(), &outLen, Input, static_cast<int>(Count)) != 1
        || EVP_DecryptFinal_ex(ctx.get(), plain.data() + outLen, &finalLen) != 1
        || static_cast<size_t>(outLen + finalLen) != Count)
        throw std::runtime_error("AES decryption failed");
    std::memcpy(Output, plain.data(), Count);
}

std::array<uint8_t, 16> AES_CMAC(const uint8_t Key[16], const uint8_t* Message, size_t Length)
{
    EVP_MAC* mac = Cmac_Mac();
    std::unique_ptr<EVP_MAC_CTX, MacCtxFree> ctx(mac ? EVP_MAC_CTX_new(mac) : nullptr);
    if (!ctx)
        throw std::runtime_error("AES-CMAC unavailable");
    char cipherName[] = "AES-128-CBC";
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_CIPHER, cipherName, 0),
        OSSL_PARAM_construct_end(),
    };
    std::array<uint8_t, 16> tag{};
    size_t tagLen = 0;
    static const uint8_t empty = 0;
    if (EVP_MAC_init(ctx.get(), Key, 16, params) != 1
        || EVP_MAC_update(ctx.get(), Length ? Message : &empty, Length) != 1
        || EVP_MAC_final(ctx.get(), tag.data(), &tagLen, tag.size()) != 1 || tagLen != tag.size())
        throw std::runtime_error("AES-CMAC failed");
    return tag;
}

std::vector<uint8_t> Hex_To_Bytes(const QString& Text)
{
    auto nibble = [](QChar c) -> int {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if (u >= u'a' && u <= u'f')
            return u - u'a' + 10;
        if (u >= u'A' && u <= u'F')
            return u - u'A' + 10;
        return -1;
    };
    std::vector<uint8_t> bytes;
    if (Text.size() % 2 != 0)
        return bytes;
    bytes.reserve(static_cast<size_t>(Text.size() / 2));
    for (qsizetype i = 0; i < Text.size(); i += 2) {
        const int hi = nibble(Text[i]);
        const int lo = nibble(Text[i + 1]);
        if (hi < 0 || lo < 0)
            return {};
        bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    }
    return bytes;
}

// ---------------------------------------------------------------------------
// Decoder: lists, notifications, header texts

namespace {

// The system's time zone, resolved once. Converting the UTC clock through it
// keeps its rules in memory, where the local-time conversion of the C
// library looks at the zone file again on every call.
QTimeZone System_Zone()
{
    QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid())
        zone = QTimeZone(QDateTime::currentDateTime().offsetFromUtc());
    return zone;
}

} // namespace

TMBusTelegramDecoder::TMBusTelegramDecoder(TList_Slave_MBus& Wired, TList_Slave_wMBus& Wireless)
    : m_Wired(Wired), m_Wireless(Wireless), m_Locale(QLocale::system()), m_Separator(platform::DecimalSeparator())
{
    m_Date_Format = m_Locale.dateFormat(QLocale::ShortFormat);
    // The time without its zone name.
    m_Time_Format = m_Locale.timeFormat(QLocale::LongFormat);
    m_Time_Format.remove(QLatin1Char('t'));
    m_Time_Format = m_Time_Format.trimmed();
    m_Time_Has_Millis = m_Time_Format.contains(QLatin1Char('z'));
    Clock = [zone = System_Zone()]() { return QDateTime::currentDateTimeUtc().toTimeZone(zone); };
}

TMBusTelegramDecoder::Telegram_Stamp TMBusTelegramDecoder::Take_Stamp() const
{
    Telegram_Stamp stamp;
    stamp.When = Clock ? Clock() : QDateTime::currentDateTimeUtc();
    const QDate date = stamp.When.date();
    const QTime time = stamp.When.time();
    if (!date.isValid() || !time.isValid()) {
        stamp.Date = m_Locale.toString(date, m_Date_Format);
        stamp.Time = time.toString(m_Time_Format);
        return stamp;
    }
    // The texts change once a day and once a second: telegrams that arrive
    // within the same second share them.
    const qint64 day = date.toJulianDay();
    const int tick = m_Time_Has_Millis ? time.msecsSinceStartOfDay() : time.msecsSinceStartOfDay() / 1000;
    std::lock_guard<std::mutex> lock(m_Stamp_Lock);
    if (!m_Stamp_Valid || day != m_Stamp_Day) {
        m_Stamp_Date = m_Locale.toString(date, m_Date_Format);
        m_Stamp_Day = day;
    }
    if (!m_Stamp_Valid || tick != m_Stamp_Tick) {
        m_Stamp_Time = time.toString(m_Time_Format);
        m_Stamp_Tick = tick;
    }
    m_Stamp_Valid = true;
    stamp.Date = m_Stamp_Date;
    stamp.Time = m_Stamp_Time;
    return stamp;
}

TMBusTelegramDecoder::~TMBusTelegramDecoder() = default;

void TMBusTelegramDecoder::Set_Answer(const uint8_t* Data, size_t Length)
{
    const size_t n = Length < static_cast<size_t>(Ans_Size) ? Length : static_cast<size_t>(Ans_Size);
    if (n)
        std::memcpy(Ans_Array, Data, n);
    Ans_Len = static_cast<int>(n);
}

int TMBusTelegramDecoder::Find_Wireless_Slave(uint16_t Manufacturer, int32_t Address, uint8_t Version, uint8_t Device_Type) const
{
    auto guard = m_Wireless.Lock();
    const int count = m_Wireless.Count();
    for (int i = 0; i < count; ++i) {
        const TSlave_wMBus* s = m_Wireless.Items(i);
        if (s->ALA_Manufacturer == Manufacturer && s->ALA_Address == Address && s->ALA_Version == Version
            && s->ALA_DeviceType == Device_Type)
            return i;
    }
    return -1;
}

void TMBusTelegramDecoder::Notify_Slave_List(int32_t Report_Type, int32_t Identification, int32_t Found, int32_t Scan_Kind)
{
    if (!Update_Slave_List)
        return;
    // A failing progress report must not stop the scan.
    try {
        Update_Slave_List(Report_Type, Identification, Found, Scan_Kind);
    } catch (...) {
    }
}

void TMBusTelegramDecoder::Notify_Wireless_Slave(int Position, TSlave_wMBus* Slave)
{
    if (!UpdateListWirelessSlave)
        return;
    UpdateListWirelessSlave(Position, From_DLL ? nullptr : Slave);
}

QString TMBusTelegramDecoder::Man_Letter(int Code)
{
    return (Code >= 65 && Code <= 90) ? QString(QChar(Code)) : QStringLiteral("?");
}

QString TMBusTelegramDecoder::Trova_Man(uint16_t Code)
{
    auto letter = [](int code) { return QLatin1Char((code >= 65 && code <= 90) ? char(code) : '?'); };
    // Each step takes the smallest multiple that reaches the rest, so a zero
    // field borrows from the one above it (0x0420 gives "A??").
    const int m = Code;
    const int a = (m + 1023) / 1024;
    const int first = a - 1;
    const int r = m - first * 1024;
    const int b = (r + 31) / 32;
    const int second = b - 1;
    const int third = r - second * 32;
    // As Man_Letter does for each, in one text.
    QString s(3, Qt::Uninitialized);
    s[0] = letter(64 + first);
    s[1] = letter(64 + second);
    s[2] = letter(64 + third);
    return s;
}

QString TMBusTelegramDecoder::Desc_Medium(int Code)
{
    switch (Code) {
    case 1: return QStringLiteral("Oil");
    case 2: return QStringLiteral("Electricity");
    case 3: return QStringLiteral("Gas");
    case 4: return QStringLiteral("Heat (outlet)");
    case 5: return QStringLiteral("Steam");
    case 6: return QStringLiteral("Hot Water");
    case 7: return QStringLiteral("Water");
    case 8: return QStringLiteral("Heat Cost Allocator.");
    case 9: return QStringLiteral("Compressed Air");
    case 10: return QStringLiteral("Cooling load meter (outlet)");
    case 11: return QStringLiteral("Cooling load meter (inlet)");
    case 12: return QStringLiteral("Heat (inlet) ");
    case 13: return QStringLiteral("Heat/Cooling load meter");
    case 14: return QStringLiteral("Bus/System");
    case 15: return QStringLiteral("Unknown Medium");
    case 22: return QStringLiteral("Cold Water");
    case 23: return QStringLiteral("Dual Water");
    case 24: return QStringLiteral("Pressure");
    case 25: return QStringLiteral("A/D Converter");
    default: return QStringLiteral("Other");
    }
}
