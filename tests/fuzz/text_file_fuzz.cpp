// Any bytes as a text data file: the loader must stop cleanly or append rows, never crash.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/text_data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const qx::TimeFormat kFormat("%I:%M:%S %p");
    qx::MeasurementTable table;
    qx::ReadTextDataFile(std::string_view(reinterpret_cast<const char*>(data), size), table, kFormat);
    for (std::size_t r = 0; r < table.RowCount(); ++r) (void)table.Row(r);
    return 0;
}
