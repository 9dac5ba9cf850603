#include "log/measurement_model.h"

#include <limits>

#include "log/screen_text.h"

namespace qx {

namespace {
int ClampRows(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}
}  // namespace

MeasurementModel::MeasurementModel(MeasurementTable& table, TimeFormat timeFormat, QObject* parent)
    : QAbstractTableModel(parent),
      table_(table),
      timeFormat_(std::move(timeFormat)),
      shown_(ClampRows(table.RowCount())) {
    table_.AddObserver(this);
}

MeasurementModel::~MeasurementModel() {
    table_.RemoveObserver(this);
}

int MeasurementModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int MeasurementModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MeasurementModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (role != Qt::DisplayRole) return {};
    // Inside a bulk section the table may hold fewer rows than the view was told about.
    const auto row = static_cast<std::size_t>(index.row());
    if (index.row() >= shown_ || row >= table_.RowCount()) return {};
    switch (index.column()) {
        case ColNo:
            if (auto no = table_.No(row)) return *no;
            return {};
        case ColTime:
            if (auto ms = table_.TimeMs(row))
                return QString::fromLocal8Bit(timeFormat_.Format(*ms));
            return {};
        case ColValue:
            return ScreenText(table_.Value(row));
        case ColUnit:
            return ScreenText(table_.Unit(row));
        case ColFunction:
            return ScreenText(table_.V_Range(row));
        case ColRemark:
            return ScreenText(table_.I_Range(row));
        default:
            return {};
    }
}

QVariant MeasurementModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kTitles[section]);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

Qt::ItemFlags MeasurementModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void MeasurementModel::RowsAppended(std::size_t first, std::size_t count) {
    const int total = ClampRows(table_.RowCount());
    if (first != static_cast<std::size_t>(shown_) || total <= shown_) {
        RowsReset();  // out of step with the view: start over rather than guess
        return;
    }
    (void)count;
    beginInsertRows({}, shown_, total - 1);
    shown_ = total;
    endInsertRows();
}

void MeasurementModel::RowsReset() {
    beginResetModel();
    shown_ = ClampRows(table_.RowCount());
    endResetModel();
}

}  // namespace qx
