#include "mbus/UMBusScanDecode.h"

#include <algorithm>
#include <cstring>
#include <exception>

// Wireless M-Bus telegrams as the converter's radio module forwards them: the
// frame without CRCs, then the module's trailer, whose last byte is the RSSI.
// Every position below is checked against the end of the frame before it is
// read; nothing beyond the datagram is ever used.

namespace {

constexpr uint8_t CI_Long = 0x72;
constexpr uint8_t CI_None = 0x78;
constexpr uint8_t CI_Short = 0x7A;
constexpr uint8_t CI_ELL_1 = 0x8C;   // extended link layer: CC, ACC
constexpr uint8_t CI_ELL_2 = 0x8D;   // extended link layer: CC, ACC, SN, CRC
constexpr uint8_t CI_AFL = 0x90;

// The security mode: bits 8 to 12 of the configuration field, that is the
// low five bits of its high byte.
int Security_Mode(uint8_t Cfg_High)
{
    return Cfg_High & 0x1F;
}

int32_t Le32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

// Bytes of the MAC by authentication type.
int Mac_Length(int at)
{
    switch (at) {
    case 3: return 2;
    case 4: return 4;
    case 5: return 8;
    case 6: return 12;
    case 7: return 16;
    case 8: return 12;
    default: return 0;
    }
}

} // namespace

bool TMBusTelegramDecoder::Decrypt_Mode_5(const TSlave_wMBus& Slave, int Frame_End, bool& Undecodable)
{
    // CI 8C, short header at 13: ACC 14, ST 15, CFG 16-17, data from 18.
    uint8_t* a = Ans_Array;
    if (Frame_End < 18 || a[10] != CI_ELL_1 || a[13] != CI_Short || Security_Mode(a[17]) != 5)
        return false;
    const int count = a[16] & 0xF0;
    if (count == 0)
        return false;
    if (18 + count > Frame_End) {
        Undecodable = true;   // the encrypted blocks run past the datagram
        return false;
    }
    // Already decrypted by the radio module.
    if (a[18] == 0x2F && a[19] == 0x2F)
        return false;
    uint8_t iv[16];
    std::memcpy(iv, a + 2, 8);
    std::memset(iv + 8, a[14], 8);
    try {
        AES_Decrypt_CBC(Slave.Key.data(), iv, a + 18, static_cast<size_t>(count), a + 18);
    } catch (const std::exception&) {
        Undecodable = true;
        return false;
    }
    return true;
}

bool TMBusTelegramDecoder::Decrypt_Mode_7(const TSlave_wMBus& Slave, int Frame_End, bool& Undecodable, bool& Wrong_Key)
{
    // CI 8C, second CI 90: AFL length at 14, AFL from 15, then the short
    // header 7A ACC ST CFG(2) CFG-extension, data from 21 + AFL length.
    uint8_t* a = Ans_Array;
    if (Frame_End < 15 || a[10] != CI_ELL_1 || a[13] != CI_AFL)
        return false;
    const int afl = a[14];
    const int header = 15 + afl;
    const int dataStart = header + 6;
    if (dataStart > Frame_End) {
        Undecodable = true;
        return false;
    }
    if (a[header] != CI_Short || Security_Mode(a[header + 4]) != 7)
        return false;

    // Walk the AFL; it must end exactly where its length says.
    int w = 15;
    const int aflEnd = header;
    auto take = [&](int n) {
        const int at = w;
        w += n;
        return w <= aflEnd ? at : -1;
    };
    const int fclAt = take(2);
    if (fclAt < 0) {
        Undecodable = true;
        return false;
    }
    const int fcl = a[fclAt] | (a[fclAt + 1] << 8);
    int at = 0;
    int mcrAt = -1;
    if (fcl & (1 << 13)) {
        const int mclAt = take(1);
        if (mclAt < 0) {
            Undecodable = true;
            return false;
        }
        at = a[mclAt] & 0x0F;
    }
    if ((fcl & (1 << 9)) && take(2) < 0) {
        Undecodable = true;
        return false;
    }
    if (fcl & (1 << 11)) {
        mcrAt = take(4);
        if (mcrAt < 0) {
            Undecodable = true;
            return false;
        }
    }
    if ((fcl & (1 << 10)) && take(Mac_Length(at)) < 0) {
        Undecodable = true;
        return false;
    }
    if ((fcl & (1 << 12)) && take(2) < 0) {
        Undecodable = true;
        return false;
    }
    if (w != aflEnd)
        return false;
    // Without a message counter there is no key to derive.
    if (mcrAt < 0)
        return false;

    const int count = (a[header + 3] >> 4) * 16;
    if (count == 0)
        return false;
    if (dataStart + count > Frame_End) {
        Undecodable = true;
        return false;
    }
    // Already decrypted by the radio module.
    if (a[dataStart] == 0x2F && a[dataStart + 1] == 0x2F)
        return false;

    uint8_t input[16];
    input[0] = 0x00;
    std::memcpy(input + 1, a + mcrAt, 4);
    std::memcpy(input + 5, a + 4, 4);
    std::memset(input + 9, 0x07, 7);
    std::vector<uint8_t> plain(static_cast<size_t>(count));
    try {
        const std::array<uint8_t, 16> key = AES_CMAC(Slave.Key.data(), input, sizeof input);
        const uint8_t iv[16] = {};
        AES_Decrypt_CBC(key.data(), iv, a + dataStart, static_cast<size_t>(count), plain.data());
    } catch (const std::exception&) {
        Undecodable = true;
        return false;
    }
    if (plain[0] != 0x2F || plain[1] != 0x2F) {
        Wrong_Key = true;
        return false;
    }
    std::memcpy(a + dataStart, plain.data(), plain.size());
    return true;
}

void TMBusTelegramDecoder::Decode_Wireless_Frame(TRadioModule Radio_Module)
{
    const int len = std::clamp(Ans_Len, 0, Ans_Size);
    const int trailer = Radio_Module == rmTelit ? 2 : 1;
    const int frameEnd = len - trailer;   // one past the last frame byte
    const uint8_t* a = Ans_Array;
    // Link layer and CI field, or nothing to go on.
    if (frameEnd < 11)
        return;

    const Telegram_Stamp stamp = Take_Stamp();
    const uint8_t ci = a[10];
    const uint16_t llaMan = static_cast<uint16_t>(a[2] | (a[3] << 8));
    const int32_t llaAddress = Le32(a + 4);

    // The meter's identity: the long header when there is one at 11, else
    // the link layer (never data bytes).
    uint16_t alaMan = llaMan;
    int32_t alaAddress = llaAddress;
    uint8_t alaVersion = a[8];
    uint8_t alaType = a[9];
    if (ci == CI_Long) {
        if (frameEnd < 19)
            return;
        alaAddress = Le32(a + 11);
        alaMan = static_cast<uint16_t>(a[15] | (a[16] << 8));
        alaVersion = a[17];
        alaType = a[18];
    }

    const uint8_t b = a[len - 1];
    int8_t rssi;
    if (Radio_Module == rmTelit)
        rssi = static_cast<int8_t>(static_cast<uint8_t>(-int(b) - 2));
    else
        rssi = static_cast<int8_t>(static_cast<int8_t>(b) / 2 + 1);

    int position;
    TSlave_wMBus* slave;
    {
        auto guard = m_Wireless.Lock();
        position = Find_Wireless_Slave(alaMan, alaAddress, alaVersion, alaType);
        bool update = true;
        bool undecodable = false;
        if (position < 0) {
            // A new meter has no key yet: nothing to decrypt.
            auto s = std::make_unique<TSlave_wMBus>();
            s->Message_Type = a[1];
            s->LLA_Manufacturer = llaMan;
            s->LLA_Manu_str = Trova_Man(llaMan);
            s->LLA_Address = llaAddress;
            s->LLA_Version = a[8];
            s->LLA_DeviceType = a[9];
            s->ALA_Manufacturer = alaMan;
            s->ALA_Manu_str = Trova_Man(alaMan);
            s->ALA_Address = alaAddress;
            s->ALA_Version = alaVersion;
            s->ALA_DeviceType = alaType;
            s->RSSI = rssi;
            s->RadioCrafts_Ind_Tab_Decript = -1;
            slave = s.get();
            position = m_Wireless.Add(std::move(s));
        } else {
            slave = m_Wireless.Items(position);
            if (slave->Enable_Key) {
                bool wrongKey = false;
                if (!Decrypt_Mode_5(*slave, frameEnd, undecodable))
                    Decrypt_Mode_7(*slave, frameEnd, undecodable, wrongKey);
                // A wrong mode 7 key leaves the meter as it was.
                update = !wrongKey;
            }
        }

        if (update) {
            slave->Cancel_Var();
            slave->DateTime = stamp.When;
            slave->RSSI = rssi;

            // Readable: plain, or decrypted (by us or by the radio module).
            auto at = [&](int i) { return i < frameEnd ? int(a[i]) : -1; };
            auto filler = [&](int i) { return at(i) == 0x2F && at(i + 1) == 0x2F; };
            auto plainOr5 = [&](int cfgHigh, int data) {
                if (at(cfgHigh) < 0)
                    return false;
                // Any other mode is one this decoder cannot read.
                const int mode = Security_Mode(a[cfgHigh]);
                return mode == 0 || (mode == 5 && filler(data));
            };
            bool readable = false;
            int dataStart = frameEnd;
            if (ci == CI_Short) {
                readable = plainOr5(14, 15);
                dataStart = 15;
            } else if (ci == CI_None) {
                // No transport header, so nothing encrypted: plain records.
                readable = true;
                dataStart = 11;
            } else if (ci == CI_Long) {
                // An unencrypted long header is as readable as a short one.
                readable = plainOr5(22, 23) || filler(23);
                dataStart = 23;
            } else if ((ci == CI_ELL_1 || ci == CI_ELL_2) && at(ci == CI_ELL_1 ? 13 : 19) >= 0) {
                const int base = ci == CI_ELL_1 ? 13 : 19;   // second CI
                const uint8_t ci2 = a[base];
                if (ci2 == CI_Long) {
                    readable = plainOr5(base + 12, base + 13);
                    dataStart = base + 13;
                } else if (ci2 == CI_None) {
                    readable = true;
                    dataStart = base + 1;
                } else if (ci2 == CI_Short) {
                    readable = plainOr5(base + 4, base + 5);
                    dataStart = base + 5;
                } else if (ci2 == CI_AFL && ci == CI_ELL_1 && at(14) >= 0) {
                    dataStart = 21 + a[14];
                    readable = filler(dataStart);
                }
            }
            if (undecodable)
                readable = false;
            slave->Cripted = !readable;
            if (readable)
                Parse_Records(slave->List_Var, frameEnd - 1, dataStart, true, stamp);
        }
    }
    Notify_Wireless_Slave(position, slave);
}
