// qx680: the desktop companion of the QX680 insulation tester.

#include <QApplication>

#include "app/main_window.h"
#include "display/system_locale.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qx680"));
    qx::MainWindow window(qx::SystemDecimalSeparator());
    window.show();
    return app.exec();
}
