#include "log/screen_text.h"

namespace qx {

namespace {
constexpr unsigned char kOhmLead = 0xA6;
constexpr unsigned char kOhmTrail = 0xB8;
constexpr char16_t kOhm = u'\u03A9';
}  // namespace

QString ScreenText(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == kOhmLead && i + 1 < bytes.size() &&
            static_cast<unsigned char>(bytes[i + 1]) == kOhmTrail) {
            out.append(QChar(kOhm));
            ++i;
        } else {
            out.append(QChar(b));
        }
    }
    return out;
}

std::string TableBytes(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (c.unicode() == kOhm) {
            out.push_back(static_cast<char>(kOhmLead));
            out.push_back(static_cast<char>(kOhmTrail));
        } else {
            out.push_back(c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '?');
        }
    }
    return out;
}

}  // namespace qx
