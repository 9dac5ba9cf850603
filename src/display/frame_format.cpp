#include "display/frame_format.h"

namespace qx {
namespace {

using E = Element;

struct CodeEntry {
    std::uint8_t code;
    char glyph;
    char flag;
};

// Digit table: bits f g e d a b c, flag 0x80.
constexpr CodeEntry kDigitCodes[] = {
    {0x7D, '0', 'N'}, {0xFD, '0', 'P'}, {0x60, '1', 'N'}, {0xE0, '1', 'P'}, {0x3E, '2', 'N'},
    {0xBE, '2', 'P'}, {0x7A, '3', 'N'}, {0xFA, '3', 'P'}, {0x63, '4', 'N'}, {0xE3, '4', 'P'},
    {0x5B, '5', 'N'}, {0xDB, '5', 'P'}, {0x5F, '6', 'N'}, {0xDF, '6', 'P'}, {0x70, '7', 'N'},
    {0xF0, '7', 'P'}, {0x7F, '8', 'N'}, {0xFF, '8', 'P'}, {0x7B, '9', 'N'}, {0xFB, '9', 'P'},
    {0x0D, '@', 'N'}, {0x8D, '@', 'P'}, {0x00, 'H', 'N'}, {0x02, '-', '-'},
};

// Voltage-digit table: bits d e f flag c g b a, flag 0x08.
constexpr CodeEntry kVoltCodes[] = {
    {0xD7, '0', 'N'}, {0xDF, '0', 'P'}, {0x50, '1', 'N'}, {0x58, '1', 'P'}, {0xE3, '2', 'N'},
    {0xEB, '2', 'P'}, {0xF1, '3', 'N'}, {0xF9, '3', 'P'}, {0x74, '4', 'N'}, {0x7C, '4', 'P'},
    {0xB5, '5', 'N'}, {0xBD, '5', 'P'}, {0xB7, '6', 'N'}, {0xBF, '6', 'P'}, {0xD0, '7', 'N'},
    {0xD8, '7', 'P'}, {0xF7, '8', 'N'}, {0xFF, '8', 'P'}, {0xF5, '9', 'N'}, {0xFD, '9', 'P'},
    {0x07, '@', 'N'}, {0x0F, '@', 'P'}, {0x00, 'H', 'N'}, {0x08, 'H', 'N'},
};

template <std::size_t N>
constexpr std::array<GlyphPair, 256> BuildLookup(const CodeEntry (&entries)[N]) {
    std::array<GlyphPair, 256> table{};  // default: "GP", not in the table
    for (const auto& e : entries) table[e.code] = GlyphPair{e.glyph, e.flag};
    return table;
}

constexpr auto kDigitLookup = BuildLookup(kDigitCodes);
constexpr auto kVoltLookup = BuildLookup(kVoltCodes);

std::optional<std::uint8_t> CodeByte(std::string_view code) {
    if (code.size() < 2) return std::nullopt;
    auto hi = HexCharValue(code[0]);
    auto lo = HexCharValue(code[1]);
    if (!hi || !lo) return std::nullopt;
    return static_cast<std::uint8_t>(*hi * 16 + *lo);
}

constexpr std::array<BitElement, 56> kSingleBits = {{
    {1, 1, E::bar6},    {1, 2, E::bar5},     {1, 4, E::bar4},     {1, 8, E::bar3},
    {2, 1, E::bar7},    {2, 2, E::bar8},     {2, 4, E::bar9},     {2, 8, E::bar10},
    {3, 1, E::bar14},   {3, 2, E::bar13},    {3, 4, E::bar12},    {3, 8, E::bar11},
    {4, 1, E::bar15},   {4, 2, E::bar16},    {4, 4, E::bar17},    {4, 8, E::bar18},
    {5, 1, E::bar22},   {5, 2, E::bar21},    {5, 4, E::bar20},    {5, 8, E::bar19},
    {6, 1, E::bar23},   {6, 2, E::bar24},    {6, 4, E::bar25},    {6, 8, E::bar26},
    {7, 1, E::bar30},   {7, 2, E::bar29},    {7, 4, E::bar28},    {7, 8, E::bar27},
    {8, 1, E::labdc},   {8, 2, E::labt},     {8, 4, E::LabelF},   {8, 8, E::labmo},
    {9, 8, E::Labgo},
    {39, 1, E::IMoff},  {39, 2, E::Bar0},    {39, 4, E::BAR1},    {39, 8, E::bar2},
    {40, 1, E::IGPower}, {40, 2, E::powerv3}, {40, 4, E::powerv2}, {40, 8, E::powerV1},
    {29, 1, E::Labv},   {29, 2, E::Labo},    {29, 4, E::Labmo1},  {29, 8, E::Labgo1},
    {20, 1, E::labLoad}, {20, 2, E::labsave}, {20, 4, E::labtime2}, {20, 8, E::labTIME1},
    {19, 1, E::power},  {19, 2, E::labs1},   {19, 4, E::labs2},   {19, 8, E::labs3},
    {38, 1, E::IMmike}, {38, 4, E::labp1},   {38, 8, E::stor1},
    // Position 38 value 2 drives nothing; the table ends with the three above.
}};

constexpr std::array<DigitSource, kDigitCount> kDigitSources = {{
    {E::LabelA, 22, 21, false, E::Point1},
    {E::LabelB, 24, 23, false, E::Point2},
    {E::LabelC, 26, 25, false, E::Point3},
    {E::LabelD, 28, 27, false, E::Labto},
    {E::Label3, 31, 30, true, E::danger},
    {E::Label7, 33, 32, true, E::Labng},
    {E::Label10, 35, 34, true, E::Labgood},
    {E::Label9, 37, 36, true, E::Label4},
    {E::H_Time1, 15, 16, false, E::Labclr},
    {E::H_Time2, 13, 14, false, E::Labtime},  // also T_dPoint1
    {E::M_Time1, 11, 12, false, E::labCOMP},
    {E::M_Time2, 9, 10, false, E::Labgo},
    {E::stor2, 17, 18, false, E::LabFUL},
}};

}  // namespace

std::optional<int> HexCharValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

GlyphPair SegToCharByte(std::uint8_t code) { return kDigitLookup[code]; }
GlyphPair VoltSegToCharByte(std::uint8_t code) { return kVoltLookup[code]; }

GlyphPair SegToChar(std::string_view code) {
    auto b = CodeByte(code);
    return b ? SegToCharByte(*b) : GlyphPair{};
}

GlyphPair VoltSegToChar(std::string_view code) {
    auto b = CodeByte(code);
    return b ? VoltSegToCharByte(*b) : GlyphPair{};
}

const std::array<BitElement, 56>& SingleBitElements() { return kSingleBits; }
const std::array<DigitSource, kDigitCount>& DigitSources() { return kDigitSources; }

std::string ToHexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0F]);
    }
    return out;
}

}  // namespace qx
