// Fuzz target: the wired RSP_UD decoder and its record parser.
//
// Each input is decoded as received (so the frame test is fuzzed too), then
// wrapped as the body of a valid long frame (68 L L 68 ... CS 16): once with
// its own CI field, which decides the layout, and once with the CI of the
// variable data structure, so that every input reaches the record parser.

#include "mbus/UMBusScanDecode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TList_Slave_MBus wired;
    TList_Slave_wMBus wireless;
    TMBusTelegramDecoder decoder(wired, wireless);
    bool last = true;

    decoder.Set_Answer(data, size);
    const int pos = decoder.Decode_Wired_Frame(-1, last);
    if (pos >= 0) {
        // A following telegram of the same meter.
        decoder.Set_Answer(data, size);
        decoder.Decode_Wired_Frame(pos, last);
    }

    // C, A, CI and the fixed header take 15 bytes; pad shorter inputs.
    std::vector<uint8_t> body(data, data + size);
    if (body.size() < 15)
        body.resize(15, 0);
    if (body.size() > static_cast<size_t>(TMBusTelegramDecoder::Ans_Size) - 6)
        body.resize(static_cast<size_t>(TMBusTelegramDecoder::Ans_Size) - 6);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            if (body[2] == 0x72)
                break;
            body[2] = 0x72;
        }
        uint8_t sum = 0;
        for (uint8_t b : body)
            sum = static_cast<uint8_t>(sum + b);
        const uint8_t l = static_cast<uint8_t>(body.size());
        std::vector<uint8_t> frame = {0x68, l, l, 0x68};
        frame.insert(frame.end(), body.begin(), body.end());
        frame.push_back(sum);
        frame.push_back(0x16);
        decoder.Set_Answer(frame.data(), frame.size());
        const int framed = decoder.Decode_Wired_Frame(-1, last);
        if (framed >= 0) {
            // Read every text the window would show.
            const TSlave_MBus& meter = *wired.Items(framed);
            (void)(meter.Secondary_Addresss.size() + meter.description.size());
            for (const auto& v : meter.List_Var)
                (void)(v->ValueStr.size() + v->Desc_Type_Data.size() + v->VIF_ASCII.size());
        }
    }
    return 0;
}
