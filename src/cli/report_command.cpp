// qx680-cli report IN OUT: the test data report of a data file, written by OUT's extension:
// .pdf (the pages), .html, .txt or .csv (the exports). Prints nothing on success; a failure's
// message goes to standard error and OUT is left as it was.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "files/data_files.h"
#include "log/measurement_table.h"
#include "log/time_format.h"
#include "reports/data_report.h"
#include "reports/report_export.h"
#include "reports/report_layout.h"

namespace qx::cli {
namespace {

constexpr const char* kUsage =
    "usage: qx680-cli report IN OUT\n"
    "  reads the data file IN and writes its test data report to OUT: \".pdf\" the pages,\n"
    "  \".html\", \".txt\" or \".csv\" the exports (any letter case)\n";

/// Painting text needs a QGuiApplication, but never a screen: the offscreen platform serves
/// (also when DISPLAY names a display that cannot be reached), unless QT_QPA_PLATFORM says
/// otherwise.
std::unique_ptr<QGuiApplication> MakeGuiApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries only our own failure message: Qt's notes about the session
    // (no runtime directory and the like) are dropped, its errors kept.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    static int argc = 1;
    static char name[] = "qx680-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

int RunReport(const Args& args) {
    if (args.size() != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string& in = args[0];
    const std::string& out = args[1];
    const std::optional<ReportFileKind> kind = ReportFileKindOf(out);
    if (!kind) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const TimeFormat timeFormat = TimeFormat::User();
    MeasurementTable table;
    const FileOutcome loaded = LoadTableFromFile(in, table, true, timeFormat);
    if (!loaded.ok) {
        std::fprintf(stderr, "%s\n", loaded.message.c_str());
        return 1;
    }

    const std::unique_ptr<QGuiApplication> app =
        *kind == ReportFileKind::Pdf ? MakeGuiApplication() : nullptr;
    DataReport report(table, ReportSettings{UserShortDateToday(), timeFormat});
    report.QuickRep1BeforePrint(PageTotal(table.RowCount()));
    const ReportOutcome written =
        WriteReportFile(report, *kind, QString::fromLocal8Bit(out.c_str()));
    if (!written.ok) {
        std::fprintf(stderr, "%s\n", written.message.c_str());
        return 1;
    }
    return 0;
}

}  // namespace qx::cli
