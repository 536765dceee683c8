// Fuzz target: the EDE reader of the BACnet master rules' import. The bytes
// are decoded as the import reads a file (a byte-order mark chooses the
// encoding) and split into lines; every record read is then looked at.

#include "protocols/UImportEDEFile_Decode.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = platform::SplitLines(platform::DecodeTextFile(bytes));
    size_t seen = 0;
    for (const TBACnet_Var& v : Parse_EDE_Lines(lines)) {
        // Only accepted types come out, each importable for reading.
        if (!EDE_Type_Accepted(v.object_type) || !v.import || !v.read || v.write != v.commandable)
            __builtin_trap();
        seen += static_cast<size_t>(Get_ObjType_EDE(v.object_type).size() + v.vendor_specific_address.size());
    }
    return seen == static_cast<size_t>(-1) ? 1 : 0;
}
