#pragma once
// Shows the help document that ships beside the executable. Reports a missing file itself.

#include <QTextBrowser>

namespace qx {

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    /// Opens `path` at its start; a missing or unreadable file is shown as a notice in the window.
    void showFile(const QString& path);
};

/// The help file's path, built anew from the executable's folder at each call.
QString HelpFilePath();

}  // namespace qx
