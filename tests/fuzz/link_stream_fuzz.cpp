// Any byte stream the cable can bring, cut into input reports, through the frame assembler, the
// decoder and the recording policy into the table; and the same bytes handed to the decoder as
// a frame text.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "display/reading_decoder.h"
#include "link/frame_assembler.h"
#include "log/recording_policy.h"

namespace {

struct Hooks : qx::DecoderHooks, qx::RecordingUi {
    void RestartNoDataTimer() override {}
    void DispInit(int kind) override { lcd.DispInit(kind); }
    void INDataToTable(int kind) override { policy.INDataToTable(kind, decoder->reading()); }
    bool AskYesNo(const std::string&) override { return true; }
    void ShowErrorText(const std::string&) override {}

    qx::LcdState lcd = qx::LcdState::StartUp();
    qx::MeasurementTable table;
    qx::RecordingPolicy policy{table, *this, [] { return 0; }};
    const qx::ReadingDecoder* decoder = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Hooks hooks;
    qx::ReadingDecoder decoder(hooks.lcd, hooks, ",");
    hooks.decoder = &decoder;
    qx::FrameAssembler assembler(
        [&decoder](const std::string& frame) { decoder.ShowData680(frame); });
    // Each report: one length byte (taken modulo 17), then that many payload bytes.
    std::size_t i = 0;
    while (i < size) {
        const std::size_t announced = data[i++] % 17u;
        const std::size_t length = std::min(announced, size - i);
        assembler.Read470(0, std::span<const std::uint8_t>(data + i, length));
        i += length;
    }
    assembler.Read470(0, {});
    decoder.ShowData680(std::string(reinterpret_cast<const char*>(data), size));
    for (std::size_t r = 0; r < hooks.table.RowCount(); ++r) (void)hooks.table.Row(r);
    return 0;
}
