#pragma once
// "Save Data" (SpeedButton1, Save_asClick with SaveDialog2) and "Open Data" (SpeedButton3,
// OpenClick with OpenDialog1): the file dialogs and the outcome boxes. The file layouts live in
// the files layer; the dialogs only pick the name. GUI thread only.

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/data_files.h"

class QFileDialog;
class QWidget;

namespace qx {

inline constexpr std::string_view kSaveDialogFilter =
    "Excel File(*.xls)|*.xls|XML(*.xml)|*.xml|Txt File(*.txt)|*.txt";
inline constexpr std::string_view kOpenDialogFilter =
    "Excel File(*.xls)|*.xls|XML (*.xml)|*.xml|Txt File(*.txt)|*.txt";

/// A "Name|patterns|Name|patterns" filter in Qt's form: one entry per pair, the name kept as it
/// stands, followed by " (patterns)" unless it already ends with them in parentheses.
QStringList QtNameFilters(std::string_view filter);

/// SaveDialog2: save mode, the save filter with its first entry selected, default suffix
/// "xls", overwrite confirmation, no file name proposed, no initial folder.
void SetUpSaveDialog(QFileDialog& dialog);
/// OpenDialog1: open mode for an existing file, the open filter, `lastName` proposed.
void SetUpOpenDialog(QFileDialog& dialog, const QString& lastName);

/// Tells the operator: nothing, a plain box, the default error box or the "Error" box.
/// Modal; the message's bytes are in the local 8-bit encoding (they carry the path).
void ShowFileOutcome(QWidget* parent, const FileOutcome& outcome);

class FileCommands {
  public:
    struct Hooks {
        /// Suspend and resume the grid's updates; suspensions nest, the outermost resume
        /// refreshes once.
        std::function<void()> beginBulk;
        std::function<void()> endBulk;
        /// The grid's column titles in the order the operator sees them now.
        std::function<std::vector<std::string>()> headerTitles;
        /// Runs a dialog that has been set up; returns the chosen full name, empty when
        /// cancelled. Default: modal exec().
        std::function<QString(QFileDialog&)> runDialog;
        /// Default: ShowFileOutcome(parent, outcome).
        std::function<void(const FileOutcome&)> showOutcome;
    };

    /// `table` and `timeFormat` must outlive the commands.
    FileCommands(MeasurementTable& table, const TimeFormat& timeFormat, Hooks hooks,
                 QWidget* parent);

    /// Save_asClick: SaveDialog2, then SaveFile with the chosen name. Cancel does nothing.
    void Save_asClick();
    /// OpenClick: OpenDialog1 proposing the last name chosen there, then OpenFile.
    void OpenClick();

    /// The work behind the dialogs: the table's views suspended around the operation, the
    /// outcome shown once they have resumed. Returns the outcome as well.
    FileOutcome SaveFile(const QString& path);
    FileOutcome OpenFile(const QString& path);

    const QString& lastOpenName() const { return lastOpenName_; }

  private:
    template <class Work>
    FileOutcome Suspended(Work&& work);

    MeasurementTable& table_;
    const TimeFormat& timeFormat_;
    Hooks hooks_;
    QWidget* parent_;
    QString lastOpenName_;  // OpenDialog1's file name, kept from one use to the next
};

}  // namespace qx
