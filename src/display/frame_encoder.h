#pragma once
// The inverse of the decoder: from a description of what the tester shows to the 22 bytes it
// sends. The simulated tester and the tests build frames with it.

#include <optional>
#include <string>

#include "display/lcd_state.h"

namespace qx {

struct DisplayDescription {
    enum class Unit : std::uint8_t { None, Volt, Ohm, MegaOhm, GigaOhm, TeraOhm };
    enum class Function : std::uint8_t { Insulation, DcVolts, AcVolts };

    /// The four main digits: '0'-'9', 'L', '-' or ' ' (blank).
    std::string digits = "    ";
    /// Decimal point after main digit 1, 2 or 3; 0 for none. Its digit must not be blank or '-'.
    int point = 0;
    bool minus = false;
    /// TeraOhm is the fourth digit's flag; the others light their unit sign.
    Unit unit = Unit::None;
    Function function = Function::Insulation;
    /// 500, 1000, 2500 or 5000 on the test-voltage digits, or 0 for blank digits.
    int testVoltage = 500;
    bool highVoltage = false;  // lightning sign; needs a test voltage of 1000 or more
    bool compNg = false;
    bool compGood = false;
    bool timed = false, pi = false;
    bool s1 = false, s2 = false, s3 = false;
    bool time1 = false, time2 = false, save = false, load = false;
    /// Elapsed test time shown as mm:ss (0 .. 5999 s); nullopt leaves the time digits blank.
    std::optional<int> timerSeconds;
    bool comp = false;   // COMP sign; needs the timer
    bool clear = false;  // CLR sign; needs the timer
    /// Store counter 0 .. 19; nullopt leaves it blank.
    std::optional<int> store;
    bool storeFull = false;  // FUL sign; needs the store counter
    /// Lit bar-graph segments counted from the left end, 0 .. 31.
    int bar = 0;
    /// Level bars inside the battery outline 0 .. 3; -1 hides the battery sign.
    int battery = 3;
    bool offIcon = false;
    bool signalIcon = false;

    bool operator==(const DisplayDescription&) const = default;
};

/// The 22 bytes of a frame: 20 bytes of LCD memory, CR, LF.
std::string EncodeFrame(const DisplayDescription& d);
/// The same as the hex text the assembler produces.
std::string EncodeFrameText(const DisplayDescription& d);

/// Reads a description back from a decoded picture (the inverse of EncodeFrame followed by the
/// decoder), for round-trip checks.
DisplayDescription DescribeDisplay(const LcdState& lcd);

}  // namespace qx
