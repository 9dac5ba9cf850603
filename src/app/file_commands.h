#pragma once
// "Save Data" and "Open Data": the file dialogs and the outcome boxes. The file formats live in
// the files layer.

class QWidget;

namespace qx {

class MeasurementTable;

}  // namespace qx
