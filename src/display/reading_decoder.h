#pragma once
// Turns one display frame (hex text) into the LCD picture and the current reading.

#include <string>
#include <string_view>

#include "display/lcd_state.h"

namespace qx {

/// The current reading: four single-byte texts, the ohm sign as the bytes A6 B8.
struct Reading {
    std::string ReadingValue = "0000";
    std::string ReadingUnit;
    std::string ReadingFunction = "IR:500V 20G\xA6\xB8";
    std::string ReadingMode;
};

/// What the decoder asks of its neighbours, called on the decoding thread in this order within
/// one frame: RestartNoDataTimer (always), DispInit(0) (valid frames), INDataToTable(1) (valid
/// frames with a visible main digit, after the reading is complete).
class DecoderHooks {
public:
    virtual ~DecoderHooks() = default;
    virtual void RestartNoDataTimer() = 0;
    virtual void DispInit(int kind) = 0;
    virtual void INDataToTable(int kind) = 0;
};

class ReadingDecoder {
public:
    /// `lcd` is the picture the decoder writes into; the DispInit hook is expected to switch its
    /// segment set. Both must outlive the decoder.
    ReadingDecoder(LcdState& lcd, DecoderHooks& hooks, std::string decimalSeparator);

    /// Decodes one frame text. Texts shorter than 44 characters, without "0D0A" at characters
    /// 41-44, or with anything but upper-case hex digits before it are not display frames: they
    /// only flip the link indicator and reset the value and mode texts.
    void ShowData680(std::string_view frameText);

    const Reading& reading() const { return reading_; }
    const LcdState& lcd() const { return lcd_; }
    const std::string& DecimalSeparator() const { return decimalSeparator_; }

private:
    LcdState& lcd_;
    DecoderHooks& hooks_;
    std::string decimalSeparator_;
    Reading reading_;
};

}  // namespace qx
