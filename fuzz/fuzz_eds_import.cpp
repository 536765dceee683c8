// Fuzz target: the EtherNet/IP EDS connection decoder.
//
// Each input is read as a whole file (text decoding, comment and section
// rules, entries over several lines), then as one entry's field list, so that
// the path decoder is reached without a well-formed file around it.

#include "fieldbus/UEtherNetIP_EDS_Decode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const TConnData& c : eds::Decode_Connections(bytes))
        (void)(c.ConnName.size() + c.HelpStr.size() + eds::Dim_Header_Text(c.DimHeaderOT, true).size());

    std::vector<TConnData> list;
    eds::Decode_Connection(QString::fromLatin1(bytes), list);
    (void)eds::Path_Bytes(QString::fromLatin1(bytes));
    return 0;
}
