// Any byte stream the cable can bring, cut into input reports, through the frame assembler and
// the decoder; and the same bytes handed to the decoder as a frame text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "display/reading_decoder.h"
#include "link/frame_assembler.h"

namespace {

struct Hooks : qx::DecoderHooks {
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int) override {}
    qx::LcdState lcd = qx::LcdState::StartUp();
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Hooks hooks;
    qx::ReadingDecoder decoder(hooks.lcd, hooks, ",");
    qx::FrameAssembler assembler([&decoder](const std::string& frame) { decoder.ShowData680(frame); });
    // Each report: one length byte (taken modulo 17), then that many payload bytes.
    std::size_t i = 0;
    while (i < size) {
        const std::size_t length = std::min<std::size_t>(data[i++] % 17, size - i);
        assembler.Read470(0, std::span<const std::uint8_t>(data + i, length));
        i += length;
    }
    assembler.Read470(0, {});
    decoder.ShowData680(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
