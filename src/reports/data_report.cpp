#include "reports/data_report.h"

#include <QDate>
#include <QLocale>
#include <charconv>
#include <ctime>

#ifndef _WIN32
#include <langinfo.h>
#include <locale.h>
#endif

namespace qx {

std::string UserShortDate(int year, int month, int day) {
#ifndef _WIN32
    if (locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr))) {
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_wday = QDate(year, month, day).dayOfWeek() % 7;
        tm.tm_yday = QDate(year, month, day).dayOfYear() - 1;
        char buffer[128];
        const std::size_t n =
            strftime_l(buffer, sizeof buffer, nl_langinfo_l(D_FMT, loc), &tm, loc);
        freelocale(loc);
        if (n > 0) return std::string(buffer, n);
    }
#endif
    return QLocale::system().toString(QDate(year, month, day), QLocale::ShortFormat).toStdString();
}

std::string UserShortDateToday() {
    const QDate today = QDate::currentDate();
    return UserShortDate(today.year(), today.month(), today.day());
}

DataReport::DataReport(const MeasurementTable& table, ReportSettings settings)
    : table_(table), settings_(std::move(settings)), rowCount_(table.RowCount()) {
    TakeMarks();
}

void DataReport::Prepare() {
    rowCount_ = table_.RowCount();
    TakeMarks();
    ++generation_;
}

DataReport::RowMark DataReport::MarkOf(std::size_t row) const {
    return {table_.No(row), table_.TimeMs(row), std::string(table_.Value(row))};
}

void DataReport::TakeMarks() {
    if (rowCount_ == 0) return;
    firstMark_ = MarkOf(0);
    lastMark_ = MarkOf(rowCount_ - 1);
}

bool DataReport::ListsCurrentRows() const {
    if (table_.RowCount() < rowCount_) return false;
    return rowCount_ == 0 || (MarkOf(0) == firstMark_ && MarkOf(rowCount_ - 1) == lastMark_);
}

void DataReport::QuickRep1BeforePrint(int dataReportPages) {
    allpage_ = std::to_string(dataReportPages);
}

void DataReport::AppendFieldText(std::string& out, std::size_t row, ReportField field) const {
    if (row >= rowCount_ || row >= table_.RowCount()) return;
    switch (field) {
        case ReportField::No:
            if (const auto no = table_.No(row)) {
                char buffer[16];
                const auto end = std::to_chars(buffer, buffer + sizeof buffer, *no).ptr;
                out.append(buffer, end);
            }
            break;
        case ReportField::Time:
            if (const auto ms = table_.TimeMs(row)) settings_.timeFormat.AppendTo(out, *ms);
            break;
        case ReportField::Value:
            out.append(table_.Value(row));
            break;
        case ReportField::Unit:
            out.append(table_.Unit(row));
            break;
        case ReportField::V_Range:
            out.append(table_.V_Range(row));
            break;
        case ReportField::I_Range:
            out.append(table_.I_Range(row));
            break;
    }
}

std::string DataReport::FieldText(std::size_t row, ReportField field) const {
    std::string out;
    AppendFieldText(out, row, field);
    return out;
}

std::string DataReport::ElementText(const TextElement& element, int page) const {
    switch (element.content) {
        case ElementContent::Literal:
            return std::string(element.text);
        case ElementContent::PrintDate:
            return settings_.printDate;
        case ElementContent::PageNumber:
            return std::to_string(page + 1);
        case ElementContent::PageTotal:
            return allpage_;
        case ElementContent::Field:
            break;
    }
    return {};
}

}  // namespace qx
