// qx680-cli convert IN OUT: a data file into the other layout (or the same), layouts chosen by
// the extensions as in the window. Prints nothing on success; a failure's message goes to
// standard error and OUT is left as it was.

#include <cstdio>

#include "cli/commands.h"
#include "files/data_files.h"

namespace qx::cli {

int RunConvert(const Args& args) {
    if (args.size() != 2) {
        std::fputs(
            "usage: qx680-cli convert IN OUT\n"
            "  reads IN and writes OUT; \".xml\" (any case) is the XML data packet, any other\n"
            "  extension tab-separated text; times in text files use the user's time format\n",
            stderr);
        return 2;
    }
    const TimeFormat timeFormat = TimeFormat::User();
    MeasurementTable table;
    FileOutcome outcome = LoadTableFromFile(args[0], table, true, timeFormat);
    if (outcome.ok) outcome = SaveTableToFile(table, args[1], kDefaultHeaderTitles, timeFormat);
    if (!outcome.ok) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
        return 1;
    }
    return 0;
}

}  // namespace qx::cli
