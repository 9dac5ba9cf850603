// qx680-cli: the program's libraries without a window.

#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"

namespace {

void Usage() {
    std::fputs(
        "usage: qx680-cli <command> [options]\n"
        "  decode [--decimal S]        decode frame texts from standard input, one per line\n"
        "  convert IN OUT              convert a data file (layout by extension)\n"
        "  report IN OUT               write the data report of a data file (.pdf .html .txt .csv)\n"
        "  log [options]               log readings headless (see the README)\n",
        stderr);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        Usage();
        return 2;
    }
    const std::string command = argv[1];
    const qx::cli::Args args(argv + 2, argv + argc);
    if (command == "decode") return qx::cli::RunDecode(args);
    if (command == "convert") return qx::cli::RunConvert(args);
    if (command == "report") return qx::cli::RunReport(args);
    if (command == "log") return qx::cli::RunLog(args);
    if (command == "--help" || command == "-h" || command == "help") {
        Usage();
        return 0;
    }
    std::fprintf(stderr, "qx680-cli: unknown command '%s'\n", command.c_str());
    Usage();
    return 2;
}
