#include "log/widget/measurement_grid.h"

#include <QFont>
#include <QHeaderView>
#include <QPainter>
#include <algorithm>

#include "log/measurement_model.h"

namespace qx {

namespace {

// The row indicator: an empty vertical header that marks the current row with a small
// triangle pointing at it (drawn, so no font needs the glyph).
class RowIndicatorHeader : public QHeaderView {
  public:
    explicit RowIndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

  protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        const auto* view = qobject_cast<const QAbstractItemView*>(parentWidget());
        if (!view || view->currentIndex().row() != logicalIndex) return;
        const QPointF c = QRectF(rect).center();
        const QPointF triangle[] = {
            {c.x() - 2.5, c.y() - 4.5}, {c.x() + 2.5, c.y()}, {c.x() - 2.5, c.y() + 4.5}};
        painter->save();
        painter->setClipRect(rect);  // the base class leaves an empty clip behind
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        painter->drawPolygon(triangle, 3);
        painter->restore();
    }
};

constexpr int kIndicatorWidth = 14;

}  // namespace

MeasurementGrid::MeasurementGrid(MeasurementModel* model, QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    setVerticalHeader(new RowIndicatorHeader(this));
    setModel(model);

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);

    QHeaderView* titles = horizontalHeader();
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(11);
    titles->setFont(titleFont);
    QPalette titlePalette = titles->palette();
    titlePalette.setColor(QPalette::ButtonText, Qt::black);
    titles->setPalette(titlePalette);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setSectionsMovable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setStretchLastSection(false);
    titles->setHighlightSections(false);
    for (int c = 0; c < static_cast<int>(kColumnWidths.size()); ++c)
        setColumnWidth(c, kColumnWidths[c]);

    // Ten million rows stay smooth only if no row is ever measured: one fixed height for all.
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(std::max(18, fontMetrics().height() + 4));
    rows->setMinimumSectionSize(1);
    rows->setFixedWidth(kIndicatorWidth);
    rows->setHighlightSections(false);
    rows->setSectionsClickable(false);

    connect(model, &QAbstractItemModel::rowsInserted, this, &MeasurementGrid::goToLastRow);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, rows->viewport(),
            qOverload<>(&QWidget::update));
}

void MeasurementGrid::goToLastRow() {
    const int last = model()->rowCount() - 1;
    if (last < 0) return;
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = model()->index(last, column);
    selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

std::vector<std::string> MeasurementGrid::VisualTitles() const {
    const QHeaderView* titles = horizontalHeader();
    std::vector<std::string> out;
    for (int visual = 0; visual < titles->count(); ++visual) {
        const int logical = titles->logicalIndex(visual);
        if (titles->isSectionHidden(logical)) continue;
        out.push_back(model()->headerData(logical, Qt::Horizontal).toString().toStdString());
    }
    return out;
}

}  // namespace qx
