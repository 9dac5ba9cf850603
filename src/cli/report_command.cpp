#include <cstdio>

#include "cli/commands.h"

namespace qx::cli {

int RunReport(const Args&) {
    std::fputs("qx680-cli report: not available in this build\n", stderr);
    return 2;
}

}  // namespace qx::cli
