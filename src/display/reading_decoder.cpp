#include "display/reading_decoder.h"

#include <array>
#include <cstdint>
#include <utility>

#include "display/frame_format.h"

namespace qx {
namespace {

using E = Element;

constexpr E kShapes[] = {E::Shape1, E::Shape2, E::Shape3, E::Shape4};

bool IsMainDigit(E d) { return DigitIndex(d) < 4; }
bool IsVoltageDigit(E d) { return DigitIndex(d) >= 4 && DigitIndex(d) < 8; }

}  // namespace

ReadingDecoder::ReadingDecoder(LcdState& lcd, DecoderHooks& hooks, std::string decimalSeparator)
    : lcd_(lcd), hooks_(hooks), decimalSeparator_(std::move(decimalSeparator)) {}

void ReadingDecoder::ShowData680(std::string_view frame) {
    hooks_.RestartNoDataTimer();
    reading_.ReadingValue.clear();
    bool minus = false, dc = false, ac = false;
    reading_.ReadingMode = "Continuous";
    lcd_.SetVisible(E::CONok, !lcd_.Visible(E::CONok));
    lcd_.SetVisible(E::CONokN, !lcd_.Visible(E::CONokN));
    lcd_.SetVisible(E::rsUSB, true);

    if (frame.size() < kFrameChars || frame.substr(40, 4) != "0D0A") return;
    // Nibble values by position 1-40 (index 0 unused).
    std::array<std::uint8_t, 41> nib{};
    for (int p = 1; p <= 40; ++p) {
        auto v = HexCharValue(frame[static_cast<std::size_t>(p - 1)]);
        if (!v) return;  // not something the assembler produces: treat like a broken frame
        nib[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(*v);
    }

    hooks_.DispInit(0);
    lcd_.SetVisible(E::KD, true);
    // The frame is computed completely before anyone repaints: no pause, no half picture.

    for (const BitElement& b : SingleBitElements()) {
        if ((nib[b.position] & b.value) == 0) continue;
        lcd_.SetVisible(b.element, true);
        switch (b.element) {
            case E::labdc:
                for (E s : kShapes) lcd_.SetVisible(s, true);
                dc = true;
                reading_.ReadingFunction = kFunctionDcv;
                lcd_.SetVisible(E::KD, false);
                break;
            case E::labt:
                lcd_.SetVisible(E::labac, true);
                ac = true;
                reading_.ReadingFunction = kFunctionAcv;
                lcd_.SetVisible(E::KD, false);
                break;
            case E::LabelF: minus = true; break;
            case E::Labv: reading_.ReadingUnit = "V"; break;
            case E::Labo: reading_.ReadingUnit = kOhm; break;
            case E::Labmo1: reading_.ReadingUnit = "M\xA6\xB8"; break;
            case E::Labgo1: reading_.ReadingUnit = "G\xA6\xB8"; break;
            case E::power: reading_.ReadingMode = "Timed"; break;
            case E::labp1: reading_.ReadingMode = "PI"; break;
            default: break;
        }
    }

    for (const DigitSource& src : DigitSources()) {
        const auto code = static_cast<std::uint8_t>(nib[src.highPosition] * 16 + nib[src.lowPosition]);
        const GlyphPair pair = src.voltageTable ? VoltSegToCharByte(code) : SegToCharByte(code);
        if (pair.IsUnknown()) continue;
        if (pair.IsBlank()) {
            lcd_.SetVisible(src.digit, false);
            continue;
        }
        lcd_.SetVisible(src.digit, true);
        lcd_.SetCaption(src.digit, pair.glyph);
        const char shown = pair.glyph == '@' ? 'L' : pair.glyph;
        if (IsMainDigit(src.digit)) {
            if (pair.flag == 'N') {
                reading_.ReadingValue.push_back(shown);
                lcd_.SetVisible(src.flagElement, false);
            } else if (pair.flag == 'P') {
                reading_.ReadingValue.push_back(shown);
                reading_.ReadingValue += decimalSeparator_;
                lcd_.SetVisible(src.flagElement, true);
            }
        } else {
            const bool on = pair.flag != 'N';
            lcd_.SetVisible(src.flagElement, on);
            if (src.digit == E::H_Time2) lcd_.SetVisible(E::T_dPoint1, on);
            if (on && IsVoltageDigit(src.digit)) {
                if (src.flagElement == E::Labng) reading_.ReadingMode = "COMP:NG";
                if (src.flagElement == E::Labgood) reading_.ReadingMode = "COMP:GOOD";
            }
        }
    }

    if (!dc && !ac) {
        const bool l3 = lcd_.Visible(E::Label3);
        const char c3 = lcd_.Caption(E::Label3);
        const char c7 = lcd_.Caption(E::Label7);
        if (c7 == '5' && !l3) reading_.ReadingFunction = kFunctionIr500;
        if (l3 && c3 == '1' && c7 == '0') reading_.ReadingFunction = kFunctionIr1000;
        if (l3 && c3 == '2' && c7 == '5') reading_.ReadingFunction = kFunctionIr2500;
        if (l3 && c3 == '5' && c7 == '0') reading_.ReadingFunction = kFunctionIr5000;
    }

    if (minus) reading_.ReadingValue.insert(0, 1, '-');

    if (lcd_.Visible(E::LabelA) || lcd_.Visible(E::LabelB) || lcd_.Visible(E::LabelC) ||
        lcd_.Visible(E::LabelD))
        hooks_.INDataToTable(1);
}

}  // namespace qx
