#include "app/file_commands.h"

#include <QFile>
#include <QFileDialog>

#include "app/message_boxes.h"

namespace qx {

QStringList QtNameFilters(std::string_view filter) {
    QStringList parts =
        QString::fromLatin1(filter.data(), static_cast<qsizetype>(filter.size())).split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i];
        const QString patterns = parts[i + 1].replace(u';', u' ');
        const QString shown = QStringLiteral("(") + patterns + QStringLiteral(")");
        out << (name.endsWith(shown) ? name : name + QStringLiteral(" ") + shown);
    }
    return out;
}

void SetUpSaveDialog(QFileDialog& dialog) {
    dialog.setObjectName(QStringLiteral("SaveDialog2"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    const QStringList filters = QtNameFilters(kSaveDialogFilter);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    dialog.selectFile(QString());
}

void SetUpOpenDialog(QFileDialog& dialog, const QString& lastName) {
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = QtNameFilters(kOpenDialogFilter);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    dialog.selectFile(lastName);
}

void ShowFileOutcome(QWidget* parent, const FileOutcome& outcome) {
    const QString text = QString::fromLocal8Bit(outcome.message);
    switch (outcome.kind) {
        case FileMessageKind::None:
            break;
        case FileMessageKind::Plain:
            ShowPlainMessage(parent, text);
            break;
        case FileMessageKind::ErrorText:
            ShowErrorText(parent, text);
            break;
        case FileMessageKind::LoadError:
            ShowLoadError(text);
            break;
    }
}

FileCommands::FileCommands(MeasurementTable& table, const TimeFormat& timeFormat, Hooks hooks,
                           QWidget* parent)
    : table_(table), timeFormat_(timeFormat), hooks_(std::move(hooks)), parent_(parent) {
    if (!hooks_.runDialog) {
        hooks_.runDialog = [](QFileDialog& dialog) {
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        };
    }
    if (!hooks_.showOutcome) {
        hooks_.showOutcome = [parent](const FileOutcome& outcome) {
            ShowFileOutcome(parent, outcome);
        };
    }
}

void FileCommands::Save_asClick() {
    QFileDialog dialog(parent_);
    SetUpSaveDialog(dialog);
    const QString path = hooks_.runDialog(dialog);
    if (!path.isEmpty()) SaveFile(path);
}

void FileCommands::OpenClick() {
    QFileDialog dialog(parent_);
    SetUpOpenDialog(dialog, lastOpenName_);
    const QString path = hooks_.runDialog(dialog);
    if (path.isEmpty()) return;
    lastOpenName_ = path;
    OpenFile(path);
}

// The views resume before the box is shown, so the grid is current while the box waits for
// the operator (readings recorded meanwhile show as they come).
template <class Work>
FileOutcome FileCommands::Suspended(Work&& work) {
    struct Resume {
        const Hooks& hooks;
        ~Resume() {
            if (hooks.endBulk) hooks.endBulk();
        }
    };
    FileOutcome outcome;
    {
        if (hooks_.beginBulk) hooks_.beginBulk();
        const Resume resume{hooks_};
        outcome = work();
    }
    hooks_.showOutcome(outcome);
    return outcome;
}

FileOutcome FileCommands::SaveFile(const QString& path) {
    return Suspended([&] {
        const std::vector<std::string> titles =
            hooks_.headerTitles ? hooks_.headerTitles() : kDefaultHeaderTitles;
        return SaveTableToFile(table_, QFile::encodeName(path).toStdString(), titles, timeFormat_);
    });
}

FileOutcome FileCommands::OpenFile(const QString& path) {
    return Suspended([&] {
        return LoadTableFromFile(QFile::encodeName(path).toStdString(), table_, false, timeFormat_);
    });
}

}  // namespace qx
