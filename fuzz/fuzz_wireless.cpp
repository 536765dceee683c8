// Fuzz target: the wireless telegram decoder with decryption.
//
// Each input is one datagram as the converter forwards it (frame, then the
// radio module's trailer). It is decoded with both radio modules, first for a
// new meter, then again after every meter has been given a key, so that the
// mode 5 and mode 7 decryption paths are reached.

#include "mbus/UMBusScanDecode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The key of the seed telegrams.
    static const uint8_t key[16] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                    0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x11};
    for (TRadioModule module : {rmTelit, rmRadioCrafts}) {
        TList_Slave_MBus wired;
        TList_Slave_wMBus wireless;
        TMBusTelegramDecoder decoder(wired, wireless);
        size_t seen = 0;
        decoder.UpdateListWirelessSlave = [&](int position, TSlave_wMBus* meter) {
            // The meter handed over is the one at the position.
            if (wireless.Items(position) != meter)
                __builtin_trap();
            seen += meter->List_Var.size();
        };

        decoder.Set_Answer(data, size);
        decoder.Decode_Wireless_Frame(module);
        for (int i = 0; i < wireless.Count(); ++i) {
            TSlave_wMBus* meter = wireless.Items(i);
            for (int k = 0; k < 16; ++k)
                meter->Key[static_cast<size_t>(k)] = key[k];
            meter->Enable_Key = true;
        }
        decoder.Set_Answer(data, size);
        decoder.Decode_Wireless_Frame(module);
        (void)seen;
    }
    return 0;
}
