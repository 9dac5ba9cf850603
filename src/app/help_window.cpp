#include "app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qx {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("QX680 Help"));
    setOpenExternalLinks(true);
    resize(640, 560);
}

void HelpWindow::showFile(const QString& path) {
    QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        setHtml(QStringLiteral("<h3>Help file not found</h3><p>The help file <b>%1</b> could not "
                               "be opened.</p>")
                    .arg(path.toHtmlEscaped()));
    } else {
        setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        moveCursor(QTextCursor::Start);
    }
    show();
    raise();
    activateWindow();
}

QString HelpFilePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("qx470.html"));
}

}  // namespace qx
