// Renders the main window offscreen into PNGs for the documentation:
//   startup.png        the start-up picture, before any frame
//   example-frame.png  1.234 MOhm at a 500 V insulation test
//   dc-voltage.png     230.5 V DC
// Usage: qx680-screenshots <output folder>   (run with QT_QPA_PLATFORM=offscreen)

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"

namespace {

// A display frame text from the nibbles that differ from zero: {1-based position, characters}.
std::string Frame(std::initializer_list<std::pair<int, const char*>> nibbles) {
    std::string text(40, '0');
    for (const auto& [position, chars] : nibbles)
        text.replace(static_cast<std::size_t>(position - 1), std::char_traits<char>::length(chars),
                     chars);
    return text + "0D0A";
}

const std::string kExampleFrame = "000000000000000000000EE3A7364005B7DFD0000D0A";

// DC bit (position 8 value 1), main digits 2 3 0. 5 (codes 3E 7A FD 5B, nibbles swapped),
// volt sign (position 29 value 1), battery outline with three level bars (position 40).
const std::string kDcFrame = Frame({{8, "1"}, {21, "E3A7DFB5"}, {29, "1"}, {40, "F"}});

bool Shoot(const QDir& dir, const char* file, const std::vector<std::string>& frames) {
    qx::MainWindow window(".");
    window.show();
    for (const std::string& frame : frames) window.ShowData680(frame);
    QApplication::processEvents();
    const QString path = dir.filePath(QString::fromLatin1(file));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qx680-screenshots <output folder>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = Shoot(dir, "startup.png", {});
    ok = Shoot(dir, "example-frame.png", {kExampleFrame}) && ok;
    ok = Shoot(dir, "dc-voltage.png", {kDcFrame}) && ok;
    return ok ? 0 : 1;
}
