// Any bytes as an XML data packet: read, and whatever was read must survive a write and a
// second read unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/chunk_writer.h"
#include "files/xml_data_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::MeasurementTable table;
    if (!qx::ReadXmlDataPacket(std::string_view(reinterpret_cast<const char*>(data), size), table))
        return 0;
    std::string written;
    const bool ok = qx::WriteXmlDataPacket(table, [&written](std::string_view chunk) {
        written.append(chunk);
        return true;
    });
    qx::MeasurementTable again;
    if (!ok || !qx::ReadXmlDataPacket(written, again) || again.RowCount() != table.RowCount()) std::abort();
    for (std::size_t r = 0; r < table.RowCount(); ++r)
        if (!(again.Row(r) == table.Row(r))) std::abort();
    return 0;
}
