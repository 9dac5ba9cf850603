#pragma once
// The report's outputs, each streamed page by page (the whole document is never held): PDF,
// a printer, and the exports HTML, plain text and comma-separated text. GUI thread (painting
// needs a QGuiApplication). They show nothing: the outcome carries the text for the operator.
//
// Text bytes: the plain text and comma-separated exports carry the table's texts as stored
// (the ohm sign as A6 B8, as the data files do); the HTML export is pure ASCII with the ohm
// sign as the character reference &#937;, so it reads right in any browser.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "reports/data_report.h"

class QIODevice;
class QPrinter;

namespace qx {

enum class ReportFileKind { Pdf, Html, Text, Csv };

/// The kind an output path asks for by its extension (any letter case): .pdf, .html or .htm,
/// .txt, .csv. Anything else: nullopt.
std::optional<ReportFileKind> ReportFileKindOf(std::string_view path);

/// Told after each finished page, `done` of `total`; returning false stops the output.
using ReportProgress = std::function<bool(int done, int total)>;

struct ReportOutcome {
    bool ok = true;
    bool cancelled = false;
    std::string message;  // why it failed; empty on success and on cancel
};

/// Writes the whole report in the layout of `kind` to an open, writable device.
/// Fails when the device refuses bytes, and when the table no longer holds the listed rows or
/// the report is prepared again meanwhile (the rows were replaced while events were processed
/// in `progress`).
ReportOutcome WriteReport(const DataReport& report, ReportFileKind kind, QIODevice& out,
                          const ReportProgress& progress = {});

/// As WriteReport, into the file `path`; the file is replaced only when the output is complete
/// (a failed or cancelled output leaves any previous file untouched).
ReportOutcome WriteReportFile(const DataReport& report, ReportFileKind kind, const QString& path,
                              const ReportProgress& progress = {});

/// Prints pages `firstPage` .. `lastPage` (0-based, clamped to the report) on a printer the
/// operator has set up, one page at a time; copies are repeated here when the print system
/// cannot make them itself. A cancel aborts the print job.
ReportOutcome PrintReport(const DataReport& report, QPrinter& printer, int firstPage, int lastPage,
                          const ReportProgress& progress = {});

}  // namespace qx
