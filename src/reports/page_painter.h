#pragma once
// The one page painter of the test data report: the preview, the printer and PDF all paint
// through it. GUI thread (fonts need a QGuiApplication).

#include <QColor>
#include <QFont>
#include <vector>

#include "reports/data_report.h"
#include "reports/report_layout.h"

class QPainter;
class QPaintDevice;
class QPalette;

namespace qx {

/// The colour of a role. WindowText and TooltipText come from `palette`; a desktop colour too
/// light to read on white paper (a dark theme) falls back to black.
QColor ResolveColour(ColourRole role, const QPalette& palette);

/// The report's fonts, colours and positions resolved once for a device's resolution, so that
/// streaming many pages does not repeat that work. Valid while `device` lives.
class ReportPagePainter {
  public:
    explicit ReportPagePainter(const QPaintDevice* device);

    /// Paints page `page` (0-based) of `report`: the painter's origin is the paper's top left
    /// corner and one unit of its coordinate system is one pixel of the device (a caller may
    /// scale or translate beforehand). The paper is A4 portrait.
    void Paint(QPainter& painter, const DataReport& report, int page) const;

  private:
    struct Style {
        QFont font;
        QColor colour;
        double ascent;  // pixels from the top of the line box to the baseline
    };
    struct Placed {
        const TextElement* element;
        int style;  // index into styles_
        double x;   // pixels from the band's left edge (unused when centred)
        double y;   // baseline, pixels from the band's top
    };
    std::vector<Placed> PlaceBand(const BandLayout& band);
    void PaintBand(QPainter& painter, const std::vector<Placed>& band, double topPx,
                   const DataReport& report, int page, std::size_t row, int* currentStyle) const;

    double pxPerMmX_;
    double pxPerMmY_;
    const QPaintDevice* device_;
    std::vector<Style> styles_;
    std::vector<Placed> pageHeader_;
    std::vector<Placed> columnHeader_;
    std::vector<Placed> detail_;
    std::vector<Placed> pageFooter_;
};

/// Paints page `page` of `report` onto any A4 portrait paged device (printer, PDF, image);
/// see ReportPagePainter::Paint.
void PaintReportPage(QPainter& painter, const DataReport& report, int page);

}  // namespace qx
