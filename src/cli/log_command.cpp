#include <cstdio>

#include "cli/commands.h"

namespace qx::cli {

int RunLog(const Args&) {
    std::fputs("qx680-cli log: not available in this build\n", stderr);
    return 2;
}

}  // namespace qx::cli
