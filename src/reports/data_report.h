#pragma once
// The prepared test data report: which rows of the measurement table it lists, the print date
// and the page total `Allpage`. Holds no copy of the rows: it reads rows below the count taken
// when it was prepared, straight from the table. Plain C++ and Qt Core; GUI thread.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "log/measurement_table.h"
#include "log/time_format.h"
#include "reports/report_layout.h"

namespace qx {

/// `year`-`month`-`day` in the user's short date format (the C library's date format of the
/// user's locale on Linux, the system's short date on Windows).
std::string UserShortDate(int year, int month, int day);
/// Today's date, as above.
std::string UserShortDateToday();

struct ReportSettings {
    std::string printDate;  // the text after "Print Date:"
    TimeFormat timeFormat = TimeFormat("%H:%M:%S");
};

class DataReport {
  public:
    /// Prepares the report over the rows `table` holds now. `table` must outlive the report.
    DataReport(const MeasurementTable& table, ReportSettings settings);

    /// Takes the table's row count again (after its rows were replaced or removed). Pages
    /// already handed out are stale afterwards: `generation()` changes.
    void Prepare();

    /// False once the table no longer holds the rows this report lists: it shrank, or its first
    /// or last listed row differs from when the report was prepared (cleared and recorded
    /// anew, or replaced by a load). Needs no notification from the table, so it also holds
    /// while the table's observers are suspended. Rows appended at the end do not matter.
    bool ListsCurrentRows() const;

    /// Writes `dataReportPages` in decimal into the footer's page total `Allpage`.
    void QuickRep1BeforePrint(int dataReportPages);

    std::size_t RowCount() const { return rowCount_; }
    int PageCount() const { return PageTotal(rowCount_); }
    PageRows RowsOf(int page) const { return RowsOfPage(rowCount_, page); }
    const std::string& Allpage() const { return allpage_; }
    const std::string& PrintDate() const { return settings_.printDate; }
    std::uint64_t generation() const { return generation_; }

    /// The display text of `field` of listed row `row`, as bytes (`No` in decimal, `Time` in the
    /// time format, texts as stored). Empty when the field is empty, or when the table no longer
    /// holds that row (it shrank after preparation: never read out of range).
    std::string FieldText(std::size_t row, ReportField field) const;
    void AppendFieldText(std::string& out, std::size_t row, ReportField field) const;

    /// The text of a non-field element on `page` (0-based): literal, print date, page number
    /// or `Allpage`.
    std::string ElementText(const TextElement& element, int page) const;

  private:
    struct RowMark {
        std::optional<std::int32_t> no;
        std::optional<std::int32_t> timeMs;
        std::string value;
        bool operator==(const RowMark&) const = default;
    };
    RowMark MarkOf(std::size_t row) const;
    void TakeMarks();

    const MeasurementTable& table_;
    ReportSettings settings_;
    std::size_t rowCount_ = 0;
    std::string allpage_ = "1";
    std::uint64_t generation_ = 0;
    RowMark firstMark_;
    RowMark lastMark_;
};

}  // namespace qx
