#pragma once
// DBGrid1: the read-only grid under the record bar that shows the measurement table.
// GUI thread only.

#include <QTableView>
#include <array>
#include <string>
#include <vector>

namespace qx {

class MeasurementModel;

class MeasurementGrid : public QTableView {
    Q_OBJECT
  public:
    /// Column widths in field order (No, Time, Value, Unit, Function, Remark).
    static constexpr std::array<int, 6> kColumnWidths = {106, 92, 72, 78, 109, 132};

    /// `model` must outlive the grid. A row the model inserts becomes the current row and is
    /// scrolled to.
    explicit MeasurementGrid(MeasurementModel* model, QWidget* parent = nullptr);

    /// The column titles in the order the operator sees them now (columns can be dragged);
    /// the text data file's header line.
    std::vector<std::string> VisualTitles() const;

  private:
    void goToLastRow();
};

}  // namespace qx
