#pragma once
// The test data report's page as data: bands, text elements, positions in millimetres, fonts and
// colours. The painter, the text exports and the tests all read this one description.

#include <cstddef>
#include <span>
#include <string_view>

namespace qx {

/// The table fields the detail band prints, in field order.
enum class ReportField : unsigned char { No, Time, Value, Unit, V_Range, I_Range };

/// Colours by role. WindowText and TooltipText are the desktop's colours of those names.
enum class ColourRole : unsigned char { Blue, WindowText, TooltipText };

enum class ElementContent : unsigned char {
    Literal,     // `text` as it stands
    PrintDate,   // the report's print date (the user's short date)
    PageNumber,  // the current page number, 1-based
    PageTotal,   // `Allpage`: the total written by QuickRep1BeforePrint
    Field,       // the display text of `field` in the band's row
};

struct FontStyle {
    double pointSize;
    bool bold = false;
    bool underline = false;
};

/// One text, left-aligned at (leftMm, topMm) from its band's top left corner unless `centred`
/// across the band; `topMm` is the top of the text's line box.
struct TextElement {
    ElementContent content;
    std::string_view text;  // Literal only
    ReportField field;      // Field only
    double leftMm;
    double topMm;
    FontStyle font;
    ColourRole colour;
    bool centred = false;
};

struct BandLayout {
    double heightMm;
    std::span<const TextElement> elements;
};

struct ReportLayout {
    double pageWidthMm;
    double pageHeightMm;
    double marginMm;
    int rowsPerPage;
    std::string_view fontFamily;
    BandLayout pageHeader;
    BandLayout columnHeader;
    BandLayout detail;
    BandLayout pageFooter;

    double BandWidthMm() const { return pageWidthMm - 2 * marginMm; }
    double PageHeaderTopMm() const { return marginMm; }
    double ColumnHeaderTopMm() const { return marginMm + pageHeader.heightMm; }
    /// Top of the detail band of the row at `slot` (0-based) on its page.
    double DetailTopMm(int slot) const {
        return ColumnHeaderTopMm() + columnHeader.heightMm + slot * detail.heightMm;
    }
    /// The page footer sits on the bottom margin.
    double PageFooterTopMm() const { return pageHeightMm - marginMm - pageFooter.heightMm; }
};

/// A4 portrait, 10 mm margins, 37 rows a page, Arial throughout.
const ReportLayout& DataReportLayout();

/// `DataReportPages`' rule: 1 for up to 37 rows (an empty table too), else rows / 37 rounded up.
int PageTotal(std::size_t rowCount);

/// The detail rows of one page: rows [first, first + count) of the report. The single page of
/// an empty report has count 0 and one blank detail band.
struct PageRows {
    std::size_t first = 0;
    std::size_t count = 0;
    int blankBands = 0;
};
PageRows RowsOfPage(std::size_t rowCount, int page);

}  // namespace qx
