#pragma once
// The display frame: 20 bytes of the tester's LCD memory plus CR LF, carried as 44 upper-case hex
// characters. Which bit drives which element, and how the 13 digit codes are read, is fixed here
// as data so the decoder, the encoder and the tests share one source.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "display/elements.h"

namespace qx {

inline constexpr int kFrameBytes = 22;
inline constexpr int kFrameChars = 44;
/// The ohm sign as the tester's PC software stores it: GBK bytes A6 B8.
inline constexpr std::string_view kOhm = "\xA6\xB8";

/// Value 0-15 of an upper-case hex digit; any other character gives std::nullopt.
std::optional<int> HexCharValue(char c);

/// A glyph and its flag from a digit table: glyph '0'-'9', '@' (letter L) or '-'; flag 'N'
/// (clear), 'P' (set) or '-' (dash). "HN" marks a blank digit, "GP" a code not in the table.
struct GlyphPair {
    char glyph = 'G';
    char flag = 'P';
    bool IsBlank() const { return glyph == 'H' && flag == 'N'; }
    bool IsUnknown() const { return glyph == 'G' && flag == 'P'; }
    std::string Text() const { return {glyph, flag}; }
    bool operator==(const GlyphPair&) const = default;
};

/// Main, time and store digits (flag bit 0x80). Only the first two characters count, exactly.
GlyphPair SegToChar(std::string_view code);
/// Test-voltage digits (flag bit 0x08).
GlyphPair VoltSegToChar(std::string_view code);
/// The same lookups by code byte, for the hot path.
GlyphPair SegToCharByte(std::uint8_t code);
GlyphPair VoltSegToCharByte(std::uint8_t code);

/// One element that a single frame bit drives: nibble position 1-40 and bit value 1, 2, 4 or 8.
struct BitElement {
    std::uint8_t position;
    std::uint8_t value;
    Element element;
};
/// Every single-bit element in the order the decoder tests them (positions 1-9, 39, 40, 29, 20,
/// 19, 38; values 1, 2, 4, 8). Position 8 value 1 is listed as labdc and value 2 as labt: they
/// light more than one element.
const std::array<BitElement, 56>& SingleBitElements();

/// Where each digit's code comes from, in decoding order (LabelA .. stor2).
struct DigitSource {
    Element digit;
    std::uint8_t highPosition;  // nibble position giving the code's high hex digit
    std::uint8_t lowPosition;   // nibble position giving the code's low hex digit
    bool voltageTable;          // VoltSegToChar instead of SegToChar
    Element flagElement;        // the decimal point or annunciator the flag drives
};
const std::array<DigitSource, kDigitCount>& DigitSources();

/// The four reading function texts of the insulation tests and the two meter functions.
inline constexpr std::string_view kFunctionIr500 = "IR:500V 20G\xA6\xB8";
inline constexpr std::string_view kFunctionIr1000 = "IR:1000V 40G\xA6\xB8";
inline constexpr std::string_view kFunctionIr2500 = "IR:2500 100G\xA6\xB8";
inline constexpr std::string_view kFunctionIr5000 = "IR:5000V 1000G\xA6\xB8";
inline constexpr std::string_view kFunctionDcv = "DCV  600V";
inline constexpr std::string_view kFunctionAcv = "ACV  600V";

/// Upper-case hex text of bytes, two characters per byte, high digit first.
std::string ToHexText(std::string_view bytes);

}  // namespace qx
