#include "reports/page_painter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPalette>
#include <limits>

#include "log/screen_text.h"

namespace qx {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr std::size_t kNoRow = std::numeric_limits<std::size_t>::max();

QPalette CurrentPalette() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::palette()
                                                                        : QPalette();
}

}  // namespace

QColor ResolveColour(ColourRole role, const QPalette& palette) {
    QColor colour;
    switch (role) {
        case ColourRole::Blue:
            return QColor(0, 0, 255);
        case ColourRole::WindowText:
            colour = palette.color(QPalette::WindowText);
            break;
        case ColourRole::TooltipText:
            colour = palette.color(QPalette::ToolTipText);
            break;
    }
    // Paper is white: light text from a dark desktop theme would vanish.
    return colour.lightness() > 160 ? QColor(0, 0, 0) : colour;
}

ReportPagePainter::ReportPagePainter(const QPaintDevice* device)
    : pxPerMmX_(device->logicalDpiX() / kMmPerInch),
      pxPerMmY_(device->logicalDpiY() / kMmPerInch),
      device_(device) {
    const ReportLayout& layout = DataReportLayout();
    pageHeader_ = PlaceBand(layout.pageHeader);
    columnHeader_ = PlaceBand(layout.columnHeader);
    detail_ = PlaceBand(layout.detail);
    pageFooter_ = PlaceBand(layout.pageFooter);
}

std::vector<ReportPagePainter::Placed> ReportPagePainter::PlaceBand(const BandLayout& band) {
    const QPalette palette = CurrentPalette();
    const ReportLayout& layout = DataReportLayout();
    std::vector<Placed> placed;
    for (const TextElement& e : band.elements) {
        const QColor colour = ResolveColour(e.colour, palette);
        int style = 0;
        while (style < static_cast<int>(styles_.size()) &&
               !(styles_[style].colour == colour &&
                 styles_[style].font.pointSizeF() == e.font.pointSize &&
                 styles_[style].font.bold() == e.font.bold &&
                 styles_[style].font.underline() == e.font.underline))
            ++style;
        if (style == static_cast<int>(styles_.size())) {
            QFont font(QString::fromLatin1(layout.fontFamily.data(),
                                           static_cast<qsizetype>(layout.fontFamily.size())));
            font.setPointSizeF(e.font.pointSize);
            font.setBold(e.font.bold);
            font.setUnderline(e.font.underline);
            // Latin texts need no shaping; skipping it (and its kerning, which plain GDI
            // output never had either) makes streaming many pages markedly faster.
            font.setStyleStrategy(QFont::PreferNoShaping);
            // Metrics of the font as the device will render it.
            const QFontMetricsF metrics(font, device_);
            styles_.push_back({font, colour, metrics.ascent()});
        }
        placed.push_back(
            {&e, style, e.leftMm * pxPerMmX_, e.topMm * pxPerMmY_ + styles_[style].ascent});
    }
    return placed;
}

void ReportPagePainter::PaintBand(QPainter& painter, const std::vector<Placed>& band, double topPx,
                                  const DataReport& report, int page, std::size_t row,
                                  int* currentStyle) const {
    const ReportLayout& layout = DataReportLayout();
    const double bandLeft = layout.marginMm * pxPerMmX_;
    std::string bytes;
    for (const Placed& p : band) {
        bytes.clear();
        if (p.element->content == ElementContent::Field) {
            if (row != kNoRow) report.AppendFieldText(bytes, row, p.element->field);
        } else {
            bytes = report.ElementText(*p.element, page);
        }
        if (bytes.empty()) continue;
        const Style& style = styles_[p.style];
        if (*currentStyle != p.style) {
            painter.setFont(style.font);
            painter.setPen(style.colour);
            *currentStyle = p.style;
        }
        const QString text = ScreenText(bytes);
        double x = bandLeft + p.x;
        if (p.element->centred) {
            const double width = QFontMetricsF(style.font, device_).horizontalAdvance(text);
            x = bandLeft + (layout.BandWidthMm() * pxPerMmX_ - width) / 2;
        }
        painter.drawText(QPointF(x, topPx + p.y), text);
    }
}

void ReportPagePainter::Paint(QPainter& painter, const DataReport& report, int page) const {
    const ReportLayout& layout = DataReportLayout();
    // Every band and text has an opaque white background: the whole sheet is white.
    painter.fillRect(QRectF(0, 0, layout.pageWidthMm * pxPerMmX_, layout.pageHeightMm * pxPerMmY_),
                     Qt::white);
    int currentStyle = -1;
    PaintBand(painter, pageHeader_, layout.PageHeaderTopMm() * pxPerMmY_, report, page, kNoRow,
              &currentStyle);
    PaintBand(painter, columnHeader_, layout.ColumnHeaderTopMm() * pxPerMmY_, report, page, kNoRow,
              &currentStyle);
    const PageRows rows = report.RowsOf(page);
    for (std::size_t i = 0; i < rows.count; ++i)
        PaintBand(painter, detail_, layout.DetailTopMm(static_cast<int>(i)) * pxPerMmY_, report,
                  page, rows.first + i, &currentStyle);
    // A blank detail band prints nothing on white.
    PaintBand(painter, pageFooter_, layout.PageFooterTopMm() * pxPerMmY_, report, page, kNoRow,
              &currentStyle);
}

void PaintReportPage(QPainter& painter, const DataReport& report, int page) {
    ReportPagePainter(painter.device()).Paint(painter, report, page);
}

}  // namespace qx
