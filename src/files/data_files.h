#pragma once
// The data files of the measurement table: tab-separated text (every extension but ".xml") and
// the XML data packet (".xml", any letter case). Plain C++ and Qt Core; called on whatever thread
// owns the table, shows nothing: the outcome says what the operator is to be told.

#include <string>
#include <string_view>
#include <vector>

#include "log/measurement_table.h"
#include "log/time_format.h"

namespace qx {

/// How an outcome is to be shown. None: show nothing. Plain: plain box titled " ".
/// ErrorText: the default error box with the error's own text. LoadError: "Error" caption,
/// error icon.
enum class FileMessageKind { None, Plain, ErrorText, LoadError };

struct FileOutcome {
    bool ok = true;
    FileMessageKind kind = FileMessageKind::None;
    std::string message;
};

/// True when the last extension of the final path component is ".xml" in any letter case.
bool IsXmlDataFile(std::string_view path);

/// "Measurement No.", "Time", "Value", "Unit", "Function", "Remark": the grid's titles in field
/// order, the header of a text data file when the columns have not been moved.
extern const std::vector<std::string> kDefaultHeaderTitles;

/// Writes the whole table in the layout the extension selects. The target is replaced only
/// once everything was written: a failed save leaves the previous file as it was.
/// `headerTitles` is the grid's current visual column order (text layout only).
FileOutcome SaveTableToFile(const MeasurementTable& table, const std::string& path,
                            const std::vector<std::string>& headerTitles,
                            const TimeFormat& timeFormat);

/// Empties the table first when `emptyFirst` (no command does). Text layout: appends the
/// file's rows; a failing line stops the load, the rows before it stay. XML layout: replaces
/// the table's rows with the packet's, or leaves them untouched when the packet cannot be read.
/// The file is read in chunks; a failure is told as "Failed to Load File!" (LoadError).
FileOutcome LoadTableFromFile(const std::string& path, MeasurementTable& table, bool emptyFirst,
                              const TimeFormat& timeFormat);

/// Replaces `list` with the pieces of `text` between occurrences of `separator`. There is always
/// at least one piece; adjacent separators give empty pieces; nothing is trimmed.
void SplitText(std::string_view text, char separator, std::vector<std::string>& list);

}  // namespace qx
