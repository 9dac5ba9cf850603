#include "link/frame_assembler.h"

#include <utility>

namespace qx {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::size_t kFrameChars = 44;
constexpr std::size_t kTrailerOffset = 40;  // characters 41-44

}  // namespace

FrameAssembler::FrameAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame)) {
    // Two frames back to back is the longest run a healthy stream produces.
    frameHex_.reserve(2 * kFrameChars);
    handoff_.reserve(2 * kFrameChars);
}

void FrameAssembler::Read470(std::uint8_t /*reportId*/, std::span<const std::uint8_t> payload) {
    const unsigned count = payload.empty() ? 0u : (payload[0] & 0x0Fu);
    if (count < 1 || count > 9) {
        EndRun();
        return;
    }
    frameInProgress_ = true;
    // A count reaching past the payload takes only the bytes that are there.
    const std::size_t available = payload.size() - 1;
    const std::size_t take = count < available ? count : available;
    for (std::size_t k = 1; k <= take && frameHex_.size() < kMaxFrameHexChars; ++k) {
        const std::uint8_t b = payload[k];
        frameHex_.push_back(kHexDigits[b >> 4]);
        frameHex_.push_back(kHexDigits[b & 0x0F]);
    }
}

void FrameAssembler::EndRun() {
    if (!frameInProgress_) return;
    frameInProgress_ = false;
    const bool good =
        frameHex_.size() >= kFrameChars && frameHex_.compare(kTrailerOffset, 4, "0D0A") == 0;
    if (!good || !onFrame_) {
        frameHex_.clear();
        return;
    }
    // The assembler is idle before the handler runs: the handler may spin a nested event loop
    // (a modal box) in which further reports arrive, and they must start a run of their own
    // rather than be wiped when this call returns.
    if (handoffDepth_ > 0) {
        const std::string nested = std::exchange(frameHex_, std::string());
        frameHex_.reserve(2 * kFrameChars);
        onFrame_(nested);
        return;
    }
    handoff_.assign(frameHex_);
    frameHex_.clear();
    struct Depth {
        int& d;
        explicit Depth(int& depth) : d(depth) { ++d; }
        ~Depth() { --d; }
    } depth(handoffDepth_);
    onFrame_(handoff_);
}

}  // namespace qx
