// Renders the main window offscreen into PNGs for the documentation.

#include <QApplication>
#include <QDir>

#include "app/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    QDir().mkpath(outDir);
    qx::MainWindow window(".");
    window.show();
    window.grab().save(QDir(outDir).filePath(QStringLiteral("startup.png")));
    return 0;
}
