#include "display/frame_encoder.h"

#include <array>
#include <cstdint>

#include "display/frame_format.h"

namespace qx {
namespace {

using E = Element;
using Nibbles = std::array<std::uint8_t, 41>;  // positions 1..40

std::uint8_t CodeFor(bool voltageTable, char glyph, bool flag) {
    if (glyph == ' ') return flag && voltageTable ? 0x08 : 0x00;
    const char wantedFlag = glyph == '-' ? '-' : (flag ? 'P' : 'N');
    const char wantedGlyph = glyph == 'L' ? '@' : glyph;
    for (int code = 0; code < 256; ++code) {
        const GlyphPair p = voltageTable ? VoltSegToCharByte(static_cast<std::uint8_t>(code))
                                         : SegToCharByte(static_cast<std::uint8_t>(code));
        if (p.glyph == wantedGlyph && p.flag == wantedFlag) return static_cast<std::uint8_t>(code);
    }
    return 0x00;
}

void SetBit(Nibbles& n, E element) {
    for (const BitElement& b : SingleBitElements())
        if (b.element == element) n[b.position] |= b.value;
}

void SetDigit(Nibbles& n, int digit, char glyph, bool flag) {
    const DigitSource& src = DigitSources()[static_cast<std::size_t>(digit)];
    const std::uint8_t code = CodeFor(src.voltageTable, glyph, flag);
    n[src.highPosition] = static_cast<std::uint8_t>(code >> 4);
    n[src.lowPosition] = static_cast<std::uint8_t>(code & 0x0F);
}

std::string VoltageDigits(int volts) {
    switch (volts) {
        case 500: return " 500";
        case 1000: return "1000";
        case 2500: return "2500";
        case 5000: return "5000";
        default: return "    ";
    }
}

}  // namespace

std::string EncodeFrame(const DisplayDescription& d) {
    Nibbles n{};
    for (int k = 0; k < 4; ++k) {
        const char g = k < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(k)] : ' ';
        const bool flag = (d.point == k + 1) || (k == 3 && d.unit == DisplayDescription::Unit::TeraOhm);
        SetDigit(n, k, g, flag);
    }
    if (d.minus) SetBit(n, E::LabelF);
    switch (d.unit) {
        case DisplayDescription::Unit::Volt: SetBit(n, E::Labv); break;
        case DisplayDescription::Unit::Ohm: SetBit(n, E::Labo); break;
        case DisplayDescription::Unit::MegaOhm: SetBit(n, E::Labmo1); break;
        case DisplayDescription::Unit::GigaOhm: SetBit(n, E::Labgo1); break;
        default: break;
    }
    if (d.function == DisplayDescription::Function::DcVolts) SetBit(n, E::labdc);
    if (d.function == DisplayDescription::Function::AcVolts) SetBit(n, E::labt);

    const std::string volts = VoltageDigits(d.testVoltage);
    const bool voltsShown = d.testVoltage != 0;
    SetDigit(n, 4, volts[0], d.highVoltage);
    SetDigit(n, 5, volts[1], d.compNg);
    SetDigit(n, 6, volts[2], d.compGood);
    SetDigit(n, 7, volts[3], voltsShown);  // the volt sign follows the test voltage

    if (d.timerSeconds) {
        const int minutes = *d.timerSeconds / 60 % 100, seconds = *d.timerSeconds % 60;
        SetDigit(n, 8, static_cast<char>('0' + minutes / 10), d.clear);
        SetDigit(n, 9, static_cast<char>('0' + minutes % 10), true);  // the colon and "min : sec"
        SetDigit(n, 10, static_cast<char>('0' + seconds / 10), d.comp);
        SetDigit(n, 11, static_cast<char>('0' + seconds % 10), false);
    }
    if (d.store) {
        SetDigit(n, 12, static_cast<char>('0' + *d.store % 10), d.storeFull);
        if (*d.store >= 10) SetBit(n, E::stor1);
    }

    const std::pair<bool, E> annunciators[] = {
        {d.timed, E::power},   {d.pi, E::labp1},      {d.s1, E::labs1},         {d.s2, E::labs2},
        {d.s3, E::labs3},      {d.time1, E::labTIME1}, {d.time2, E::labtime2}, {d.save, E::labsave},
        {d.load, E::labLoad},  {d.offIcon, E::IMoff},  {d.signalIcon, E::IMmike},
    };
    for (const auto& [on, e] : annunciators)
        if (on) SetBit(n, e);
    for (int k = 0; k < d.bar && k < 31; ++k) SetBit(n, BarElement(k));
    if (d.battery >= 0) {
        SetBit(n, E::IGPower);
        const E levels[] = {E::powerV1, E::powerv2, E::powerv3};
        for (int k = 0; k < d.battery && k < 3; ++k) SetBit(n, levels[k]);
    }

    std::string bytes(kFrameBytes, '\0');
    for (int b = 0; b < 20; ++b)
        bytes[static_cast<std::size_t>(b)] =
            static_cast<char>(n[static_cast<std::size_t>(2 * b + 1)] << 4 | n[static_cast<std::size_t>(2 * b + 2)]);
    bytes[20] = '\r';
    bytes[21] = '\n';
    return bytes;
}

std::string EncodeFrameText(const DisplayDescription& d) { return ToHexText(EncodeFrame(d)); }

DisplayDescription DescribeDisplay(const LcdState& lcd) {
    DisplayDescription d;
    auto on = [&lcd](E e) { return lcd.Visible(e); };
    auto glyph = [&lcd](E digit) {
        if (!lcd.Visible(digit)) return ' ';
        const char c = lcd.Caption(digit);
        return c == '@' ? 'L' : c;
    };
    d.digits = {glyph(E::LabelA), glyph(E::LabelB), glyph(E::LabelC), glyph(E::LabelD)};
    const E points[] = {E::Point1, E::Point2, E::Point3};
    for (int k = 0; k < 3; ++k)
        if (on(points[k])) d.point = k + 1;
    d.minus = on(E::LabelF);
    if (on(E::Labv)) d.unit = DisplayDescription::Unit::Volt;
    else if (on(E::Labo)) d.unit = DisplayDescription::Unit::Ohm;
    else if (on(E::Labmo1)) d.unit = DisplayDescription::Unit::MegaOhm;
    else if (on(E::Labgo1)) d.unit = DisplayDescription::Unit::GigaOhm;
    else if (on(E::Labto)) d.unit = DisplayDescription::Unit::TeraOhm;
    if (on(E::labdc)) d.function = DisplayDescription::Function::DcVolts;
    if (on(E::labac)) d.function = DisplayDescription::Function::AcVolts;

    const std::string volts = {glyph(E::Label3), glyph(E::Label7), glyph(E::Label10), glyph(E::Label9)};
    d.testVoltage = volts == " 500" ? 500 : volts == "1000" ? 1000 : volts == "2500" ? 2500
                    : volts == "5000" ? 5000 : 0;
    d.highVoltage = on(E::danger);
    d.compNg = on(E::Labng);
    d.compGood = on(E::Labgood);
    d.timed = on(E::power);
    d.pi = on(E::labp1);
    d.s1 = on(E::labs1);
    d.s2 = on(E::labs2);
    d.s3 = on(E::labs3);
    d.time1 = on(E::labTIME1);
    d.time2 = on(E::labtime2);
    d.save = on(E::labsave);
    d.load = on(E::labLoad);
    d.offIcon = on(E::IMoff);
    d.signalIcon = on(E::IMmike);
    if (on(E::H_Time1)) {
        auto digit = [&lcd](E e) { return lcd.Caption(e) - '0'; };
        d.timerSeconds = (digit(E::H_Time1) * 10 + digit(E::H_Time2)) * 60 +
                         digit(E::M_Time1) * 10 + digit(E::M_Time2);
        d.comp = on(E::labCOMP);
        d.clear = on(E::Labclr);
    }
    if (on(E::stor2)) {
        d.store = (lcd.Caption(E::stor2) - '0') + (on(E::stor1) ? 10 : 0);
        d.storeFull = on(E::LabFUL);
    }
    d.bar = 0;
    while (d.bar < 31 && on(BarElement(d.bar))) ++d.bar;
    d.battery = -1;
    if (on(E::IGPower)) {
        d.battery = 0;
        for (E e : {E::powerV1, E::powerv2, E::powerv3})
            if (on(e)) ++d.battery;
    }
    return d;
}

}  // namespace qx
