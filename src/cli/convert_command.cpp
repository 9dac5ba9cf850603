#include <cstdio>

#include "cli/commands.h"

namespace qx::cli {

int RunConvert(const Args&) {
    std::fputs("qx680-cli convert: not available in this build\n", stderr);
    return 2;
}

}  // namespace qx::cli
