#pragma once
// Capture text for the tests: frames of the encoder as the cable sends them.

#include <string>

#include "display/frame_encoder.h"
#include "sim/capture.h"
#include "sim/tester_model.h"

namespace qx::test {

/// The reports of one frame, all at `offsetMs`; the report without data closes the frame.
inline std::string FrameLines(std::int64_t offsetMs, const DisplayDescription& d) {
    std::string s;
    for (const auto& r : FrameToReports(EncodeFrame(d))) s += CaptureLine(offsetMs, r);
    return s;
}

/// An insulation reading at 500 V: four digits, a point after the first, megaohms.
inline DisplayDescription Megaohms(std::string digits) {
    DisplayDescription d;
    d.digits = std::move(digits);
    d.point = 1;
    d.unit = DisplayDescription::Unit::MegaOhm;
    return d;
}

}  // namespace qx::test
