// qx680: the desktop companion of the QX680 insulation tester.

#include <QApplication>
#include <cstdio>

#include "app/backend_options.h"
#include "app/main_window.h"
#include "display/system_locale.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qx680"));
    // The backend makes Qt timers and notifiers, so it comes after the application object; it
    // outlives the window, whose link gives its devices back first.
    qx::BackendChoice choice = qx::MakeBackendFromArguments(app.arguments());
    if (!choice.backend) {
        std::fprintf(stderr, "qx680: %s\n%s\n", qPrintable(choice.error), qPrintable(qx::BackendUsage()));
        return 2;
    }
    qx::MainWindow window(*choice.backend, qx::SystemDecimalSeparator());
    window.show();
    return app.exec();
}
