#pragma once
// The decimal separator of the machine-wide (system) locale, not the user's environment.

#include <string>
#include <vector>

namespace qx {

/// Files that hold the machine-wide locale on Linux, in the order they are consulted.
std::vector<std::string> DefaultSystemLocaleFiles();

/// The first of `files` that exists decides: its LC_NUMERIC, else its LANG, names the locale,
/// whose decimal separator comes from Qt's locale data (independent of generated locales).
/// No file or no setting: the "C" locale's ".". A file that exists but cannot be read: "".
/// On Windows the files are ignored and the system default locale is asked instead.
std::string SystemDecimalSeparator(const std::vector<std::string>& files = DefaultSystemLocaleFiles());

}  // namespace qx
