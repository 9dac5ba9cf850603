#pragma once
// Thin read-only item model over the measurement table, for the grid. Holds no rows of its own:
// it follows the table's notifications, so a bulk section of the table (BeginBulk) reaches the
// view as one insertion or one reset at its end. GUI thread only.

#include <QAbstractTableModel>
#include <array>

#include "log/measurement_table.h"
#include "log/time_format.h"

namespace qx {

class MeasurementModel : public QAbstractTableModel, private MeasurementTable::Observer {
    Q_OBJECT
  public:
    /// Columns in field order: No, Time, Value, Unit, V_Range, I_Range.
    enum Column { ColNo, ColTime, ColValue, ColUnit, ColFunction, ColRemark, kColumnCount };
    static constexpr std::array<const char*, kColumnCount> kTitles = {
        "Measurement No.", "Time", "Value", "Unit", "Function", "Remark"};

    /// `table` must outlive the model. `timeFormat` formats the Time column (seconds, no zone).
    explicit MeasurementModel(MeasurementTable& table, TimeFormat timeFormat = TimeFormat::User(),
                              QObject* parent = nullptr);
    ~MeasurementModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    /// DisplayRole: the cell as shown (time in the user's format, the ohm sign as Ω);
    /// TextAlignmentRole: centred.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Horizontal: the titles, centred. Vertical: nothing (the grid draws its row indicator).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const MeasurementTable& table() const { return table_; }

  private:
    void RowsAppended(std::size_t first, std::size_t count) override;
    void RowsReset() override;

    MeasurementTable& table_;
    TimeFormat timeFormat_;
    int shown_ = 0;  // rows the views have been told about
};

}  // namespace qx
