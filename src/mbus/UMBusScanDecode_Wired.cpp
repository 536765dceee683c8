#include "mbus/UMBusScanDecode.h"
#include "mbus/UMBusScanDecode_Text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

// RSP_UD long frames and the data-record parser shared with the wireless
// decoder.

namespace {

// Fixed data header of an RSP_UD: 68 L L 68 C A CI, identification (4),
// manufacturer (2), version, medium, access number, status, signature (2).
constexpr int Header_End = 19;   // first byte of the record area
constexpr int Full_Header_Frame = Header_End + 2;
// 68 L L 68, C, A, CI, checksum, 16: the least a meter can answer with.
constexpr int Min_Long_Frame = 9;
// The identification number (7 to 10) is there, with checksum and stop byte.
constexpr int Identification_Frame = 13;

// CI fields of an RSP_UD. Only the variable data structure, least
// significant byte first, holds the header and records read here.
constexpr uint8_t CI_Variable = 0x72;
constexpr uint8_t CI_Fixed = 0x73;
constexpr uint8_t CI_Variable_MSB = 0x76;
constexpr uint8_t CI_Fixed_MSB = 0x77;

constexpr uint8_t CI_Application_Error = 0x70;

const char Hex_Digits[] = "0123456789ABCDEF";

// Text written into a buffer, then taken as one QString.
QString Printed(const char* format, int value)
{
    char buf[96];
    const int n = std::snprintf(buf, sizeof buf, format, value);
    return QString::fromLatin1(buf, std::clamp(n, 0, int(sizeof buf) - 1));
}

// What the user reads for a meter whose layout is not decoded: the layout by
// name where the CI field gives one, and the CI field itself. The variable
// data structure gets here only when its telegram is too short for its header.
QString Undecoded_Layout_Text(uint8_t ci)
{
    const char* layout = "unsupported layout";
    switch (ci) {
    case CI_Variable: layout = "data header cut short"; break;
    case CI_Fixed: layout = "fixed data structure"; break;
    case CI_Fixed_MSB: layout = "fixed data structure, most significant byte first"; break;
    case CI_Variable_MSB: layout = "variable data structure, most significant byte first"; break;
    case CI_Application_Error: layout = "application error"; break;
    default: break;
    }
    char buf[96];
    const int n = std::snprintf(buf, sizeof buf, "Data not decoded: %s (CI $%c%c)", layout, Hex_Digits[ci >> 4],
                                Hex_Digits[ci & 0x0F]);
    return QString::fromLatin1(buf, std::clamp(n, 0, int(sizeof buf) - 1));
}

bool Is_BCD_Code(uint8_t code)
{
    return (code >= 9 && code <= 12) || code == 14;
}

// Length, first text (DataFieldStr) and second text (descdim) of a data field.
struct Data_Field_Info {
    int Length = 0;
    QString Field_Str;
    QString Desc_Dim;
    bool Reserved = false;
};

Data_Field_Info Fixed_Field(uint8_t code)
{
    Data_Field_Info f;
    switch (code) {
    case 0: f.Length = 0; f.Desc_Dim = QStringLiteral("No data"); break;
    case 1: f.Length = 1; f.Field_Str = QStringLiteral("8 Bit Integer"); f.Desc_Dim = QStringLiteral("8 Bit Integer"); break;
    case 2: f.Length = 2; f.Field_Str = QStringLiteral("16 Bit Integer"); f.Desc_Dim = QStringLiteral("16 Bit Integer"); break;
    case 3: f.Length = 3; f.Field_Str = QStringLiteral("24 Bit Integer"); f.Desc_Dim = QStringLiteral("24 Bit Integer"); break;
    case 4: f.Length = 4; f.Field_Str = QStringLiteral("32 Bit Integer"); f.Desc_Dim = QStringLiteral("32 Bit Integer"); break;
    case 5: f.Length = 4; f.Field_Str = QStringLiteral("32 Bit Real"); f.Desc_Dim = QStringLiteral("32 Bit real"); break;
    case 6: f.Length = 6; f.Field_Str = QStringLiteral("48 Bit Integer"); f.Desc_Dim = QStringLiteral("48 Bit Integer"); break;
    case 7: f.Length = 8; f.Field_Str = QStringLiteral("64 Bit Integer"); f.Desc_Dim = QStringLiteral("64 Bit Integer"); break;
    case 9: f.Length = 1; f.Field_Str = QStringLiteral("2 Digit BCD"); f.Desc_Dim = QStringLiteral("2 digit BCD"); break;
    case 10: f.Length = 2; f.Field_Str = QStringLiteral("4 Digit BCD"); f.Desc_Dim = QStringLiteral("4 digit BCD"); break;
    case 11: f.Length = 3; f.Field_Str = QStringLiteral("6 Digit BCD"); f.Desc_Dim = QStringLiteral("6 digit BCD"); break;
    case 12: f.Length = 4; f.Field_Str = QStringLiteral("8 Digit BCD"); f.Desc_Dim = QStringLiteral("8 digit BCD"); break;
    case 14: f.Length = 6; f.Field_Str = QStringLiteral("12 Digit BCD"); f.Desc_Dim = QStringLiteral("12 digit BCD"); break;
    case 15: f.Length = 0; f.Field_Str = QStringLiteral("Special Function"); break;
    default: break;   // 8 (selection for readout) and 13 (by LVAR)
    }
    return f;
}

Data_Field_Info Variable_Field(uint8_t lvar)
{
    Data_Field_Info f;
    if (lvar <= 0xBF) {
        f.Length = lvar;
        f.Field_Str = Printed("Variable Length - ASCII String with %dcharacters", lvar);
        f.Desc_Dim = Printed("Variable length: ASCII string with %d characters", lvar);
    } else if (lvar <= 0xCF) {
        f.Length = lvar - 0xC0;
        f.Field_Str = Printed("Variable Length - Positive BCD Number with %d digits", 2 * f.Length);
        f.Desc_Dim = Printed("Variable length: Positive BCD number with %d *2 digits", f.Length);
    } else if (lvar <= 0xDF) {
        f.Length = lvar - 0xD0;
        f.Field_Str = Printed("Variable Length - Negative BCD Number with %d digits", 2 * f.Length);
        f.Desc_Dim = Printed("Variable length: Negative BCD number with %d *2 digits", f.Length);
    } else if (lvar <= 0xF6) {
        // E0 to EF, and the long binary numbers F0 to F6.
        f.Length = TMBusTelegramDecoder::LVAR_Length(lvar);
        f.Field_Str = Printed("Variable Length - Binary Number with %d Bytes", f.Length);
        f.Desc_Dim = Printed("Variable length: Binary number with %d bytes", f.Length);
    } else {
        f.Length = 0;
        f.Field_Str = QStringLiteral("Variable Length - Reserved");
        f.Desc_Dim = QStringLiteral("Variable length: Reserved");
        f.Reserved = true;
    }
    return f;
}

QString Function_Field_Str(int function)
{
    switch (function) {
    case 0: return QStringLiteral("Istantaneous value");
    case 1: return QStringLiteral("Maximum value");
    case 2: return QStringLiteral("Minimum value");
    default: return QStringLiteral("Value during error state");
    }
}

} // namespace

namespace mbus_text {

const QString& Dollar_Hex(uint8_t Byte)
{
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        for (int b = 0; b < 256; ++b) {
            const char s[3] = {'$', Hex_Digits[b >> 4], Hex_Digits[b & 0x0F]};
            t[size_t(b)] = QString::fromLatin1(s, 3);
        }
        return t;
    }();
    return texts[Byte];
}

QString Dollar_Hex_List(const uint8_t* Bytes, int Count)
{
    // One byte (the usual case) is one of 256 texts.
    static const std::array<QString, 256> single = [] {
        std::array<QString, 256> t;
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = Dollar_Hex(uint8_t(b)) + QLatin1Char(' ');
        return t;
    }();
    if (Count <= 0)
        return QString();
    if (Count == 1)
        return single[Bytes[0]];
    QString s(4 * Count, Qt::Uninitialized);
    QChar* out = s.data();
    for (int i = 0; i < Count; ++i) {
        *out++ = QLatin1Char('$');
        *out++ = QLatin1Char(Hex_Digits[Bytes[i] >> 4]);
        *out++ = QLatin1Char(Hex_Digits[Bytes[i] & 0x0F]);
        *out++ = QLatin1Char(' ');
    }
    return s;
}

QString Hex_Text(const uint8_t* Bytes, int Count)
{
    if (Count <= 0)
        return QString();
    QString s(2 * Count, Qt::Uninitialized);
    QChar* out = s.data();
    for (int i = 0; i < Count; ++i) {
        *out++ = QLatin1Char(Hex_Digits[Bytes[i] >> 4]);
        *out++ = QLatin1Char(Hex_Digits[Bytes[i] & 0x0F]);
    }
    return s;
}

} // namespace mbus_text

int TMBusTelegramDecoder::LVAR_Length(uint8_t LVAR)
{
    if (LVAR <= 0xBF)
        return LVAR;   // characters
    if (LVAR <= 0xCF)
        return LVAR - 0xC0;
    if (LVAR <= 0xDF)
        return LVAR - 0xD0;
    if (LVAR <= 0xEF)
        return LVAR - 0xE0;
    if (LVAR <= 0xF4)
        return 4 * (LVAR - 0xEC);   // 16, 20, 24, 28, 32 bytes
    if (LVAR == 0xF5)
        return 48;
    if (LVAR == 0xF6)
        return 64;
    return -1;
}

bool TMBusTelegramDecoder::Is_Valid_Long_Frame(const uint8_t* Frame, int Length)
{
    // Any layout counts: a meter that answers with a short frame (an
    // application error, a layout without the fixed header) still answered.
    if (!Frame || Length < Min_Long_Frame)
        return false;
    if (Frame[0] != 0x68 || Frame[3] != 0x68 || Frame[1] != Frame[2] || Frame[Length - 1] != 0x16)
        return false;
    uint8_t sum = 0;
    for (int i = 4; i <= Length - 3; ++i)
        sum = static_cast<uint8_t>(sum + Frame[i]);
    return sum == Frame[Length - 2];
}

int TMBusTelegramDecoder::Decode_Wired_Frame(int Index, bool& Last)
{
    Last = true;
    const int len = std::clamp(Ans_Len, 0, Ans_Size);
    auto guard = m_Wired.Lock();
    TSlave_MBus* slave = Index >= 0 ? m_Wired.Items(Index) : nullptr;
    if (!Is_Valid_Long_Frame(Ans_Array, len))
        return slave ? Index : -1;

    const uint8_t* a = Ans_Array;
    const uint8_t ci = a[6];
    // The variable data structure with the whole of its fixed header.
    const bool headerCut = ci == CI_Variable && len < Full_Header_Frame;
    const bool variable = ci == CI_Variable && !headerCut;
    int position = Index;
    if (!slave) {
        auto s = std::make_unique<TSlave_MBus>();
        s->Primary_Addresss = a[5];
        // The identification number opens the header of the variable and the
        // fixed data structure, in the byte order their CI field gives; the
        // other layouts carry none.
        if ((ci == CI_Variable || ci == CI_Fixed || ci == CI_Variable_MSB || ci == CI_Fixed_MSB)
            && len >= Identification_Frame) {
            const bool lsbFirst = ci == CI_Variable || ci == CI_Fixed;
            uint32_t id = 0;
            for (int i = 0; i < 4; ++i)
                id = (id << 8) | a[lsbFirst ? 10 - i : 7 + i];
            char hex[12];
            const int n = std::snprintf(hex, sizeof hex, "%02X", unsigned(id));
            s->Secondary_Addresss = QString::fromLatin1(hex, n);
        }
        if (variable) {
            s->Manufacture = a[11] + 256 * a[12];
            s->Version = a[13];
            s->Medium = a[14];
            s->Status = a[16];
        }
        s->descmedium = Desc_Medium(s->Medium);
        s->descManufacture = Trova_Man(static_cast<uint16_t>(s->Manufacture));
        slave = s.get();
        position = m_Wired.Add(std::move(s));
    }
    if (!variable) {
        // Any other layout would be read as records that are not there.
        slave->description = Undecoded_Layout_Text(ci);
        return position;
    }
    Last = Decode_Records(slave->List_Var, len - 3, Header_End, false);
    return position;
}

bool TMBusTelegramDecoder::Decode_Records(TVariable_MBus_List& List, int Last_Index, int Start, bool Wireless)
{
    return Parse_Records(List, Last_Index, Start, Wireless, Take_Stamp());
}

bool TMBusTelegramDecoder::Parse_Records(TVariable_MBus_List& List, int Last_Index, int Start, bool Wireless,
                                         const Telegram_Stamp& Stamp)
{
    m_Truncated = false;
    // Never read past the datagram, whatever the caller says the area is.
    const int last = std::min(Last_Index, std::clamp(Ans_Len, 0, Ans_Size) - 1);
    int p = std::max(Start, 0);
    const uint8_t* a = Ans_Array;
    // Room for the records a telegram usually holds (a record takes at least
    // two bytes), so that a new list does not grow record by record; a list
    // that already holds records grows by doubling.
    if (List.empty() && p <= last)
        List.reserve(std::min<size_t>(size_t(last - p + 1) / 2 + 1, 32));

    // One time stamp for the whole telegram.
    auto stamp = [&](TVariable_MBus& rec) {
        rec.datagiorno = Stamp.Date;
        rec.tempo = Stamp.Time;
    };

    while (p <= last) {
        const uint8_t dif = a[p];
        const uint8_t code = dif & 0x0F;
        int q = p;   // last byte taken by this record

        // Manufacturer-specific data follow: the records end here.
        if (dif == 0x0F || dif == 0x1F)
            return dif != 0x1F;
        if (dif == 0x2F) {
            // Idle filler: shown for wireless telegrams, dropped on wires.
            if (Wireless) {
                auto rec = std::make_unique<TVariable_MBus>();
                rec->DataFieldStr = QStringLiteral("Special Function");
                stamp(*rec);
                rec->Real_Wireless_Var = false;
                rec->DIF = mbus_text::Dollar_Hex(dif);
                List.push_back(std::move(rec));
            }
            p = q + 1;
            continue;
        }
        // Other special functions without extension, and readout selections.
        if ((code == 0x0F && !(dif & 0x80)) || code == 0x08)
            return true;

        // DIFEs: the first ten are kept, any further ones skipped.
        uint8_t difes[Max_DIFE] = {};
        int numDife = 0;
        bool ext = dif & 0x80;
        while (ext) {
            if (++q > last) {
                m_Truncated = true;
                return true;
            }
            if (numDife < Max_DIFE)
                difes[numDife++] = a[q];
            ext = a[q] & 0x80;
        }

        // VIF, its plain-text unit, VIFEs.
        if (++q > last) {
            m_Truncated = true;
            return true;
        }
        const uint8_t vif = a[q];
        QString vifAscii;
        if ((vif & 0x7F) == 0x7C) {
            if (++q > last) {
                m_Truncated = true;
                return true;
            }
            const int n = a[q];
            if (q + n > last) {
                m_Truncated = true;
                return true;
            }
            // Sent last character first; keep at most 192.
            const int kept = std::min(n, static_cast<int>(Max_VIF_ASCII));
            vifAscii.reserve(kept);
            for (int i = kept; i >= 1; --i)
                vifAscii.append(QChar(a[q + i]));
            q += n;
        }
        uint8_t vifes[Max_VIFE] = {};
        int numVife = 0;
        ext = vif & 0x80;
        while (ext) {
            if (++q > last) {
                m_Truncated = true;
                return true;
            }
            if (numVife < Max_VIFE)
                vifes[numVife++] = a[q];
            ext = a[q] & 0x80;
        }

        // Data field: length and texts.
        uint8_t lvar = 0;
        Data_Field_Info field;
        if (code == 13) {
            if (++q > last) {
                m_Truncated = true;
                return true;
            }
            lvar = a[q];
            field = Variable_Field(lvar);
        } else {
            field = Fixed_Field(code);
        }

        // Special functions with extension: dropped, the parse goes on.
        if (code == 0x0F) {
            p = q + 1;
            continue;
        }
        // Any VIF (a readout selection): no record, the parse stops.
        if (vif == 0x7E || vif == 0xFE)
            return true;

        if (q + field.Length > last) {
            m_Truncated = true;
            return true;
        }
        const uint8_t* data = a + q + 1;
        q += field.Length;

        auto rec = std::make_unique<TVariable_MBus>();
        rec->Is_BCD = Is_BCD_Code(code);
        rec->DataFieldStr = field.Field_Str;
        stamp(*rec);
        rec->Real_Wireless_Var = true;
        rec->DIF = mbus_text::Dollar_Hex(dif);
        rec->dimension = code;
        rec->descdim = field.Desc_Dim;
        rec->nbyte = field.Length;
        if (field.Reserved) {
            rec->errata = true;
            rec->sterror = QStringLiteral("Non analizabile");
        }
        rec->function_fild = (dif >> 4) & 0x03;
        rec->storage_number = (dif >> 6) & 0x01;
        if (numDife > 0) {
            int64_t storage = 0;
            uint32_t tariff = 0;
            uint16_t unit = 0;
            for (int i = numDife - 1; i >= 0; --i) {
                storage = (storage << 4) | (difes[i] & 0x0F);
                tariff = (tariff << 2) | ((difes[i] >> 4) & 0x03);
                unit = static_cast<uint16_t>((unit << 1) | ((difes[i] >> 6) & 0x01));
            }
            rec->storage_number = (storage << 1) | ((dif >> 6) & 0x01);
            rec->tarif = tariff;
            rec->device = unit;
            rec->numdife = numDife;
            rec->DIFE = mbus_text::Dollar_Hex_List(difes, numDife);
        }
        rec->VIF = vif;
        if ((vif & 0x7F) == 0x7C) {
            rec->casovif = 101;
            rec->VIF_ASCII = vifAscii;
        } else if (vif <= 0x7A || (vif >= 0x80 && vif <= 0xFA)) {
            rec->vifvalue = vif;
            rec->casovif = 0;
        } else if (vif == 0xFB) {
            rec->casovif = 2;
            rec->vifvalue = vifes[0];
        } else if (vif == 0xFD) {
            rec->casovif = 1;
            rec->vifvalue = vifes[0];
        } else if (vif == 0x7F || vif == 0xFF) {
            rec->casovif = 100;
        }
        rec->VIFE = mbus_text::Dollar_Hex_List(vifes, numVife);
        rec->PrinVIFE = vifes[0];
        rec->totdati = mbus_text::Hex_Text(data, field.Length);
        uint32_t partA = 0;
        uint32_t partB = 0;
        for (int i = std::min(field.Length, 4) - 1; i >= 0; --i)
            partA = (partA << 8) | data[i];
        for (int i = std::min(field.Length, 8) - 1; i >= 4; --i)
            partB = (partB << 8) | data[i];
        rec->dato_A = static_cast<int32_t>(partA);
        rec->dato_B = static_cast<int32_t>(partB);
        rec->FunctionFieldStr = Function_Field_Str(rec->function_fild);

        std::memset(App_Data_Val, 0, sizeof App_Data_Val);
        std::memcpy(App_Data_Val, data, static_cast<size_t>(field.Length));
        std::memset(App_Vife_Val, 0, sizeof App_Vife_Val);
        std::memcpy(App_Vife_Val, vifes, static_cast<size_t>(numVife));

        TVariable_MBus& stored = *rec;
        List.push_back(std::move(rec));
        Decode_VIF(vif, vifes[0], stored, field.Length, lvar, code);

        // A reserved length leaves the rest of the area unaligned.
        if (field.Reserved)
            return true;
        p = q + 1;
    }
    return true;
}
