#pragma once
// Subcommands of qx680-cli. Each takes the arguments after its name and returns the exit code.

#include <string>
#include <vector>

namespace qx::cli {

using Args = std::vector<std::string>;

int RunDecode(const Args& args);
int RunConvert(const Args& args);
int RunReport(const Args& args);
int RunLog(const Args& args);

}  // namespace qx::cli
