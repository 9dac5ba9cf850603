#pragma once
// Turns the cable's stream of input reports back into display-frame texts.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace qx {

/// Collects the data bytes of a run of counted reports as upper-case hex text and hands every run
/// whose bytes 21 and 22 are CR LF to the frame handler when the run ends.
///
/// A report is "counted" when the low four bits of its first payload byte are 1 to 9: that many
/// following payload bytes are data (as many as the payload holds). Any other report - empty,
/// count 0 or 10 to 15 - ends the run. Runs longer than one frame are handed over whole; runs that
/// are short or whose trailer is wrong are dropped silently.
///
/// Single-threaded: call Read470 on the thread that runs the frame handler (the GUI thread).
class FrameAssembler {
  public:
    /// Receives one frame text; called synchronously from inside Read470. The text is valid only
    /// during the call.
    using FrameHandler = std::function<void(const std::string& frameHex)>;

    /// Stored text is capped at this many characters: a device that never ends its run cannot
    /// grow memory without bound. The decoder reads only the first 44 characters, so a capped
    /// run is judged and handed over exactly as the whole run would be.
    static constexpr std::size_t kMaxFrameHexChars = 64 * 1024;

    explicit FrameAssembler(FrameHandler onFrame);

    /// One input report. `reportId` plays no part; `payload` is the report after its id byte
    /// (the count byte first).
    void Read470(std::uint8_t reportId, std::span<const std::uint8_t> payload);

    /// The run under assembly; empty between runs.
    const std::string& FrameHex() const { return frameHex_; }
    /// True from the first counted report of a run until the run ends.
    bool FrameInProgress() const { return frameInProgress_; }

  private:
    void EndRun();

    FrameHandler onFrame_;
    std::string frameHex_;
    bool frameInProgress_ = false;
    std::string handoff_;  // reused for the text handed over, so steady state allocates nothing
    int handoffDepth_ = 0;
};

}  // namespace qx
