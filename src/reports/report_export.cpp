#include "reports/report_export.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "reports/page_painter.h"

namespace qx {
namespace {

constexpr std::string_view kOhm = "\xA6\xB8";
constexpr std::string_view kNewLine = "\r\n";
constexpr double kMmPerTextColumn = 2.0;  // one character column of the plain text pages
constexpr std::size_t kFlushBytes = 1U << 16;

const char* const kChangedMessage =
    "The data changed while the report was being written; the report is incomplete.";
const char* const kWriteMessage = "The report could not be written: ";

/// Buffered byte output that remembers the first write failure.
class Sink {
  public:
    explicit Sink(QIODevice& out) : out_(out) {}
    std::string& buffer() { return buffer_; }
    bool FlushIfFull() { return buffer_.size() < kFlushBytes || Flush(); }
    bool Flush() {
        if (!failed_ && !buffer_.empty() &&
            out_.write(buffer_.data(), static_cast<qint64>(buffer_.size())) !=
                static_cast<qint64>(buffer_.size()))
            failed_ = true;
        buffer_.clear();
        return !failed_;
    }
    bool failed() const { return failed_; }
    QString error() const { return out_.errorString(); }

  private:
    QIODevice& out_;
    std::string buffer_;
    bool failed_ = false;
};

/// Runs `writePage` for every page, with the checks every output shares.
template <typename WritePage>
ReportOutcome ForEachPage(const DataReport& report, int first, int last,
                          const ReportProgress& progress, WritePage writePage) {
    const std::uint64_t generation = report.generation();
    const int total = last - first + 1;
    for (int page = first; page <= last; ++page) {
        // Events processed in `progress` may have replaced the table's rows.
        if (report.generation() != generation || !report.ListsCurrentRows())
            return {false, false, kChangedMessage};
        if (!writePage(page)) return {false, false, {}};
        if (progress && !progress(page - first + 1, total)) return {false, true, {}};
    }
    return {};
}

ReportOutcome WithWriteError(ReportOutcome outcome, const Sink& sink) {
    if (!outcome.ok && !outcome.cancelled && outcome.message.empty())
        outcome.message = kWriteMessage + sink.error().toStdString();
    return outcome;
}

// ---- plain text: the pages in fixed columns, a form feed between pages ----

std::size_t Columns(std::string_view line) {
    std::size_t ohms = 0;
    for (std::size_t at = line.find(kOhm); at != std::string_view::npos;
         at = line.find(kOhm, at + 2))
        ++ohms;
    return line.size() - ohms;  // the ohm sign takes two bytes and one column
}

/// Puts `text` at the column of `mm`, or one blank after what the line already holds.
void PlaceAt(std::string& line, double mm, std::string_view text) {
    if (text.empty()) return;
    const auto wanted = static_cast<std::size_t>(std::lround(mm / kMmPerTextColumn));
    const std::size_t used = Columns(line);
    const std::size_t column = used == 0 ? wanted : std::max(wanted, used + 1);
    line.append(column - used, ' ');
    line.append(text);
}

/// One band as one line. `flow`: the elements follow one another with one blank between them
/// (the footer's texts of different sizes sit closer on paper than whole columns allow).
void AppendBandLine(std::string& out, const DataReport& report, const BandLayout& band, int page,
                    std::size_t row, bool withRow, bool flow = false) {
    const double bandColumns = DataReportLayout().BandWidthMm() / kMmPerTextColumn;
    std::string line;
    for (const TextElement& e : band.elements) {
        std::string text;
        if (e.content == ElementContent::Field) {
            if (withRow) report.AppendFieldText(text, row, e.field);
        } else {
            text = report.ElementText(e, page);
        }
        const double mm = e.centred
                              ? std::max(0.0, (bandColumns - Columns(text)) / 2) * kMmPerTextColumn
                              : e.leftMm;
        PlaceAt(line, flow && !line.empty() ? 0.0 : mm, text);
    }
    out.append(line).append(kNewLine);
}

ReportOutcome WriteText(const DataReport& report, QIODevice& out, const ReportProgress& progress) {
    const ReportLayout& layout = DataReportLayout();
    Sink sink(out);
    const ReportOutcome outcome =
        ForEachPage(report, 0, report.PageCount() - 1, progress, [&](int page) {
            std::string& b = sink.buffer();
            if (page > 0) b.append("\f");
            AppendBandLine(b, report, layout.pageHeader, page, 0, false);
            b.append(kNewLine);
            AppendBandLine(b, report, layout.columnHeader, page, 0, false);
            const PageRows rows = report.RowsOf(page);
            for (std::size_t i = 0; i < rows.count; ++i)
                AppendBandLine(b, report, layout.detail, page, rows.first + i, true);
            for (int i = 0; i < rows.blankBands; ++i) b.append(kNewLine);
            b.append(kNewLine);
            AppendBandLine(b, report, layout.pageFooter, page, 0, false, true);
            return sink.FlushIfFull();
        });
    sink.Flush();
    return WithWriteError(sink.failed() ? ReportOutcome{false, false, {}} : outcome, sink);
}

// ---- comma-separated text: the column titles, then one line per listed row ----

void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

ReportOutcome WriteCsv(const DataReport& report, QIODevice& out, const ReportProgress& progress) {
    const ReportLayout& layout = DataReportLayout();
    Sink sink(out);
    bool firstTitle = true;
    for (const TextElement& e : layout.columnHeader.elements) {
        if (!firstTitle) sink.buffer().push_back(',');
        AppendCsvField(sink.buffer(), e.text);
        firstTitle = false;
    }
    sink.buffer().append(kNewLine);
    std::string field;
    const ReportOutcome outcome =
        ForEachPage(report, 0, report.PageCount() - 1, progress, [&](int page) {
            const PageRows rows = report.RowsOf(page);
            for (std::size_t i = 0; i < rows.count; ++i) {
                bool firstField = true;
                for (const TextElement& e : layout.detail.elements) {
                    if (!firstField) sink.buffer().push_back(',');
                    field.clear();
                    report.AppendFieldText(field, rows.first + i, e.field);
                    AppendCsvField(sink.buffer(), field);
                    firstField = false;
                }
                sink.buffer().append(kNewLine);
            }
            return sink.FlushIfFull();
        });
    sink.Flush();
    return WithWriteError(sink.failed() ? ReportOutcome{false, false, {}} : outcome, sink);
}

// ---- HTML: one block per page, ASCII only ----

void AppendHtml(std::string& out, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (bytes.substr(i, 2) == kOhm) {
            out.append("&#937;");
            ++i;
        } else if (c == '&') {
            out.append("&amp;");
        } else if (c == '<') {
            out.append("&lt;");
        } else if (c == '>') {
            out.append("&gt;");
        } else if (c == '"') {
            out.append("&quot;");
        } else if (c >= 0x80 || c < 0x20) {
            out.append("&#").append(std::to_string(c)).append(";");
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
}

/// Column widths from the detail band's field positions.
std::string HtmlColgroup() {
    const ReportLayout& layout = DataReportLayout();
    const auto& detail = layout.detail.elements;
    std::string cols = "<colgroup>";
    for (std::size_t i = 0; i < detail.size(); ++i) {
        const double right = i + 1 < detail.size() ? detail[i + 1].leftMm : layout.BandWidthMm();
        char width[32];
        std::snprintf(width, sizeof width, "%.1f", right - detail[i].leftMm);
        cols.append("<col style=\"width:").append(width).append("mm\">");
    }
    return cols.append("</colgroup>");
}

constexpr std::string_view kHtmlHead =
    "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
    "<title>TEST DATA REPORT</title>\n<style>\n"
    "body{font-family:Arial,sans-serif;color:#000;background:#fff}\n"
    ".page{width:190mm;margin:10mm auto;page-break-after:always}\n"
    "h1{color:#00f;font-size:14pt;font-weight:bold;text-decoration:underline;"
    "text-align:center;margin:2mm 0 0 0}\n"
    ".date{font-size:7pt;text-align:right;margin:0 0 4mm 0}\n"
    "table{border-collapse:collapse;table-layout:fixed;margin-left:8.5mm;font-size:10pt}\n"
    "th,td{text-align:left;font-weight:normal;padding:0.8mm 0;white-space:nowrap}\n"
    ".footer{font-size:10pt;margin:4mm 0 0 8.5mm}\n"
    ".n{color:#00f;font-size:8pt}\n.t{color:#00f;font-size:9pt}\n"
    "</style>\n</head>\n<body>\n";

ReportOutcome WriteHtml(const DataReport& report, QIODevice& out, const ReportProgress& progress) {
    const ReportLayout& layout = DataReportLayout();
    Sink sink(out);
    const std::string colgroup = HtmlColgroup();
    sink.buffer().append(kHtmlHead);
    std::string field;
    const ReportOutcome outcome =
        ForEachPage(report, 0, report.PageCount() - 1, progress, [&](int page) {
            std::string& b = sink.buffer();
            b.append("<div class=\"page\">\n<h1>");
            AppendHtml(b, layout.pageHeader.elements[0].text);
            b.append("</h1>\n<p class=\"date\">");
            AppendHtml(b, layout.pageHeader.elements[1].text);
            b.append(" ");
            AppendHtml(b, report.PrintDate());
            b.append("</p>\n<table>").append(colgroup).append("\n<thead><tr>");
            for (const TextElement& e : layout.columnHeader.elements) {
                b.append("<th>");
                AppendHtml(b, e.text);
                b.append("</th>");
            }
            b.append("</tr></thead>\n<tbody>\n");
            const PageRows rows = report.RowsOf(page);
            for (std::size_t i = 0; i < rows.count; ++i) {
                b.append("<tr>");
                for (const TextElement& e : layout.detail.elements) {
                    field.clear();
                    report.AppendFieldText(field, rows.first + i, e.field);
                    b.append("<td>");
                    AppendHtml(b, field);
                    b.append("</td>");
                }
                b.append("</tr>\n");
            }
            for (int i = 0; i < rows.blankBands; ++i) {
                b.append("<tr>");
                for (std::size_t c = 0; c < layout.detail.elements.size(); ++c)
                    b.append("<td>&nbsp;</td>");
                b.append("</tr>\n");
            }
            const auto& footer = layout.pageFooter.elements;
            b.append("</tbody>\n</table>\n<p class=\"footer\">");
            AppendHtml(b, footer[0].text);
            b.append(" <span class=\"n\">").append(std::to_string(page + 1)).append("</span> ");
            AppendHtml(b, footer[2].text);
            b.append(" <span class=\"t\">");
            AppendHtml(b, report.Allpage());
            b.append("</span></p>\n</div>\n");
            return sink.FlushIfFull();
        });
    if (outcome.ok) sink.buffer().append("</body>\n</html>\n");
    sink.Flush();
    return WithWriteError(sink.failed() ? ReportOutcome{false, false, {}} : outcome, sink);
}

// ---- PDF and printer: the page painter ----

ReportOutcome WritePdf(const DataReport& report, QIODevice& out, const ReportProgress& progress) {
    QPdfWriter writer(&out);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setCreator(QStringLiteral("QX680"));
    writer.setTitle(QStringLiteral("TEST DATA REPORT"));
    QPainter painter;
    if (!painter.begin(&writer))
        return {false, false, kWriteMessage + out.errorString().toStdString()};
    const ReportPagePainter pages(&writer);
    const ReportOutcome outcome =
        ForEachPage(report, 0, report.PageCount() - 1, progress, [&](int page) {
            if (page > 0 && !writer.newPage()) return false;
            pages.Paint(painter, report, page);
            return true;
        });
    painter.end();
    if (!outcome.ok && !outcome.cancelled && outcome.message.empty())
        return {false, false, kWriteMessage + out.errorString().toStdString()};
    return outcome;
}

}  // namespace

std::optional<ReportFileKind> ReportFileKindOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    std::string ext(name.substr(dot + 1));
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ext == "pdf") return ReportFileKind::Pdf;
    if (ext == "html" || ext == "htm") return ReportFileKind::Html;
    if (ext == "txt") return ReportFileKind::Text;
    if (ext == "csv") return ReportFileKind::Csv;
    return std::nullopt;
}

ReportOutcome WriteReport(const DataReport& report, ReportFileKind kind, QIODevice& out,
                          const ReportProgress& progress) {
    switch (kind) {
        case ReportFileKind::Pdf:
            return WritePdf(report, out, progress);
        case ReportFileKind::Html:
            return WriteHtml(report, out, progress);
        case ReportFileKind::Text:
            return WriteText(report, out, progress);
        case ReportFileKind::Csv:
            return WriteCsv(report, out, progress);
    }
    return {false, false, "Unknown report layout."};
}

ReportOutcome WriteReportFile(const DataReport& report, ReportFileKind kind, const QString& path,
                              const ReportProgress& progress) {
    // A device, pipe or socket is no report file: the temporary file would be renamed over its
    // node wherever the folder is writable (/dev for root), and the export told as done.
    if (const QFileInfo target(path); target.exists() && !target.isFile() && !target.isDir())
        return {false, false, kWriteMessage + std::string("Not a regular file.")};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, false, kWriteMessage + file.errorString().toStdString()};
    ReportOutcome outcome = WriteReport(report, kind, file, progress);
    if (!outcome.ok) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit()) return {false, false, kWriteMessage + file.errorString().toStdString()};
    return outcome;
}

ReportOutcome PrintReport(const DataReport& report, QPrinter& printer, int firstPage, int lastPage,
                          const ReportProgress& progress) {
    firstPage = std::clamp(firstPage, 0, report.PageCount() - 1);
    lastPage = std::clamp(lastPage, firstPage, report.PageCount() - 1);
    // The report places its own 10 mm margins from the paper's corner.
    printer.setFullPage(true);
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer)) return {false, false, "The printer could not be started."};
    const ReportPagePainter pages(&printer);
    const int perCopy = lastPage - firstPage + 1;
    bool firstSheet = true;
    ReportOutcome outcome;
    for (int copy = 0; copy < copies && outcome.ok; ++copy) {
        const ReportProgress counted = [&](int done, int) {
            return !progress || progress(copy * perCopy + done, copies * perCopy);
        };
        outcome = ForEachPage(report, firstPage, lastPage, counted, [&](int page) {
            if (!firstSheet && !printer.newPage()) return false;
            firstSheet = false;
            pages.Paint(painter, report, page);
            return true;
        });
    }
    if (!outcome.ok) {
        printer.abort();
        if (!outcome.cancelled && outcome.message.empty()) outcome.message = "The printer stopped.";
    }
    painter.end();
    return outcome;
}

}  // namespace qx
