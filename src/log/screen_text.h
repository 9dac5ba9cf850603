#pragma once
// Table texts are single-byte code-page text whose only two-byte character is the ohm sign
// (0xA6 0xB8). These turn them into what the screen shows and back.

#include <QString>
#include <string>
#include <string_view>

namespace qx {

/// 0xA6 0xB8 becomes U+03A9 (Ω); every other byte is taken as Latin-1.
QString ScreenText(std::string_view bytes);

/// The inverse for texts that came from ScreenText: U+03A9 becomes 0xA6 0xB8, Latin-1 stays,
/// anything else becomes '?'.
std::string TableBytes(const QString& text);

}  // namespace qx
