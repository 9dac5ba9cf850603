// qx680: the desktop companion of the QX680 insulation tester.

#include <QApplication>
#include <memory>

#include "app/main_window.h"
#include "display/system_locale.h"
#include "link/hidapi_backend.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qx680"));
    // The backend outlives the window: the window's link gives its devices back first.
    auto hid = std::make_unique<qx::HidApiBackend>();
    {
        qx::MainWindow window(*hid, qx::SystemDecimalSeparator());
        window.show();
        const int code = app.exec();
        return code;
    }
}
