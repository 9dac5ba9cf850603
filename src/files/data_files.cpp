#include "files/data_files.h"

namespace qx {

const std::vector<std::string> kDefaultHeaderTitles = {"Measurement No.", "Time", "Value",
                                                       "Unit", "Function", "Remark"};

bool IsXmlDataFile(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    if (ext.size() != 4) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(ext[1]) == 'x' && lower(ext[2]) == 'm' && lower(ext[3]) == 'l';
}

FileOutcome SaveTableToFile(const MeasurementTable&, const std::string& path,
                            const std::vector<std::string>&, const TimeFormat&) {
    return {false, FileMessageKind::Plain, "Could not save table to specified file: " + path};
}

FileOutcome LoadTableFromFile(const std::string&, MeasurementTable&, bool, const TimeFormat&) {
    return {false, FileMessageKind::LoadError, "Failed to Load File!"};
}

void SplitText(std::string_view text, char separator, std::vector<std::string>& list) {
    list.clear();
    for (;;) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        list.emplace_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    list.emplace_back(text);
}

}  // namespace qx
