// qx680-cli report IN OUT: the test data report of a data file, written by OUT's extension:
// .pdf (the pages), .html, .txt or .csv (the exports).

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/commands.h"
#include "files/data_files.h"
#include "log/measurement_table.h"
#include "log/time_format.h"
#include "reports/data_report.h"
#include "reports/report_export.h"
#include "reports/report_layout.h"

namespace qx::cli {
namespace {

/// Painting text needs a QGuiApplication; without a display, the offscreen platform serves.
std::unique_ptr<QGuiApplication> MakeGuiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qx680-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int RunReport(const Args& args) {
    if (args.size() != 2) {
        std::fputs("usage: qx680-cli report IN OUT   (OUT ending in .pdf, .html, .txt or .csv)\n", stderr);
        return 2;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    const std::optional<ReportFileKind> kind = ReportFileKindOf(out);
    if (!kind) {
        std::fprintf(stderr, "qx680-cli report: '%s' does not end in .pdf, .html, .txt or .csv\n",
                     out.c_str());
        return 2;
    }

    const TimeFormat timeFormat = TimeFormat::User();
    MeasurementTable table;
    const FileOutcome loaded = LoadTableFromFile(in, table, true, timeFormat);
    if (!loaded.ok) {
        std::fprintf(stderr, "qx680-cli report: %s: %s\n", in.c_str(), loaded.message.c_str());
        return 1;
    }

    const std::unique_ptr<QGuiApplication> app = MakeGuiApplication();
    DataReport report(table, ReportSettings{UserShortDateToday(), timeFormat});
    report.QuickRep1BeforePrint(PageTotal(table.RowCount()));
    const ReportOutcome written = WriteReportFile(report, *kind, QString::fromLocal8Bit(out.c_str()));
    if (!written.ok) {
        std::fprintf(stderr, "qx680-cli report: %s: %s\n", out.c_str(), written.message.c_str());
        return 1;
    }
    return 0;
}

}  // namespace qx::cli
