// Fuzz target: the SCL reader of the IEC 61850 client. Any bytes are either
// refused as XML or read into a model; the model is then walked the way the
// client window walks it, so dangling data-set members would show.

#include "protocols/UIEC_Client_Decode.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {

size_t Walk(const TIEC_DA& da)
{
    size_t n = 1 + static_cast<size_t>(da.fReference.size());
    for (const auto& inner : da.List_DA)
        n += Walk(*inner);
    return n;
}

size_t Walk(const TIEC_DO& object)
{
    size_t n = 1;
    for (const auto& sdo : object.List_DO)
        n += Walk(*sdo);
    for (const auto& da : object.List_DA)
        n += Walk(*da);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto device = TIEC_Device::Create_From_Bytes(bytes, QStringLiteral("fuzz.icd"), &error);
    if (!device)
        return 0;
    size_t seen = 0;
    for (const auto& ld : device->List_LDevice)
        for (const auto& ln : ld->List_LN) {
            for (const auto& object : ln->List_DO)
                seen += Walk(*object);
            for (const auto& set : ln->List_DataSet)
                for (const TIEC_DA* member : set->List_DA)
                    seen += static_cast<size_t>(member->fReference.size() + member->fFC.size());
        }
    return seen == static_cast<size_t>(-1) ? 1 : 0;
}
