#include "reports/report_layout.h"

#include <algorithm>

namespace qx {
namespace {

using C = ElementContent;
using F = ReportField;
using R = ColourRole;

constexpr FontStyle kTitleFont{14, true, true};
constexpr FontStyle kDateFont{7};
constexpr FontStyle kColumnFont{10};

constexpr TextElement kPageHeader[] = {
    {C::Literal, " TEST DATA REPORT", F::No, 0.0, 2.1, kTitleFont, R::Blue, true},
    {C::Literal, "Print Date:", F::No, 158.8, 5.3, kDateFont, R::WindowText},
    {C::PrintDate, {}, F::No, 171.4, 5.3, kDateFont, R::WindowText},
};

constexpr TextElement kColumnHeader[] = {
    {C::Literal, "No", F::No, 8.5, 4.2, kColumnFont, R::WindowText},
    {C::Literal, "Time", F::No, 33.9, 4.2, kColumnFont, R::WindowText},
    {C::Literal, "Value", F::No, 64.3, 4.2, kColumnFont, R::WindowText},
    {C::Literal, "Unit", F::No, 99.5, 4.2, kColumnFont, R::WindowText},
    {C::Literal, "Function", F::No, 123.8, 4.2, kColumnFont, R::WindowText},
    {C::Literal, "Remark", F::No, 163.0, 4.2, kColumnFont, R::WindowText},
};

constexpr TextElement kDetail[] = {
    {C::Field, {}, F::No, 8.5, 2.1, kColumnFont, R::WindowText},
    {C::Field, {}, F::Time, 33.9, 2.1, kColumnFont, R::WindowText},
    {C::Field, {}, F::Value, 65.6, 2.1, kColumnFont, R::WindowText},
    {C::Field, {}, F::Unit, 99.5, 2.1, kColumnFont, R::WindowText},
    {C::Field, {}, F::V_Range, 123.8, 1.6, kColumnFont, R::WindowText},
    {C::Field, {}, F::I_Range, 164.0, 2.1, kColumnFont, R::WindowText},
};

constexpr TextElement kPageFooter[] = {
    {C::Literal, "The Page", F::No, 8.5, 4.2, FontStyle{10}, R::TooltipText},
    {C::PageNumber, {}, F::No, 24.3, 4.2, FontStyle{8}, R::Blue},
    {C::Literal, "Of", F::No, 31.8, 4.2, FontStyle{10}, R::WindowText},
    {C::PageTotal, {}, F::No, 37.0, 4.2, FontStyle{9}, R::Blue},
};

constexpr int kRowsPerPage = 37;

const ReportLayout kLayout{
    210.0,
    297.0,
    10.0,
    kRowsPerPage,
    "Arial",
    {10.58, kPageHeader},
    {10.58, kColumnHeader},
    {6.61, kDetail},
    {10.58, kPageFooter},
};

}  // namespace

const ReportLayout& DataReportLayout() {
    return kLayout;
}

int PageTotal(std::size_t rowCount) {
    if (rowCount <= kRowsPerPage) return 1;
    return static_cast<int>((rowCount + kRowsPerPage - 1) / kRowsPerPage);
}

PageRows RowsOfPage(std::size_t rowCount, int page) {
    if (rowCount == 0) return page == 0 ? PageRows{0, 0, 1} : PageRows{};
    if (page < 0) return {};
    const std::size_t first = static_cast<std::size_t>(page) * kRowsPerPage;
    if (first >= rowCount) return {};
    return {first, std::min<std::size_t>(kRowsPerPage, rowCount - first), 0};
}

}  // namespace qx
