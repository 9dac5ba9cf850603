#pragma once
// What the simulated tester shows over time: an insulation test whose resistance rises as real
// insulation does, then a short voltage reading, over and over. Pure functions of time.

#include <cstdint>
#include <string>
#include <vector>

#include "display/frame_encoder.h"

namespace qx {

struct SimulationSettings {
    /// 500, 1000, 2500 or 5000.
    int testVoltage = 1000;
    /// Resistance the insulation approaches; 0 picks a sixteenth of the range of the test
    /// voltage (1000 V: 40 GΩ range, 2.5 GΩ), so the reading crosses from MΩ into GΩ.
    double finalOhms = 0;
    /// Dielectric absorption: R(t) = R_final * (1 - a * exp(-t / tau)), with `a` chosen so that
    /// R(10 min) / R(1 min) equals this polarization index.
    double polarizationIndex = 2.0;
    double tauSeconds = 120;
    /// Length of one insulation test, then of the voltage reading that follows it; the
    /// voltage reading alternates between DC and AC from one cycle to the next.
    int testSeconds = 600;
    int voltageSeconds = 8;
    /// Time between frames: about three frames a second.
    int framePeriodMs = 320;
    /// Gap between the reports of one frame (22 bytes at 2400 bit/s take about 90 ms).
    int reportSpacingMs = 25;
    /// Relative jitter of the readings (deterministic).
    double noise = 0.002;
};

class TesterModel {
  public:
    explicit TesterModel(SimulationSettings settings = {});

    /// The insulation resistance `seconds` into a test, in ohms, without jitter.
    double ResistanceOhms(double seconds) const;
    /// The display `seconds` after the simulation began; `frameIndex` seeds the jitter.
    DisplayDescription DisplayAt(double seconds, std::uint64_t frameIndex) const;

    /// The range top of a test voltage in ohms (500 V: 20 GΩ ... 5000 V: 1000 GΩ).
    static double RangeOhms(int testVoltage);
    /// Bar-graph segments for a resistance: the bar ends on the scale's tick for it, four
    /// segments a decade, the 100K tick at the second segment, 1T at the thirtieth; 31 (the
    /// whole bar, up to the infinity sign) only at or beyond 10T.
    static int BarFor(double ohms);
    /// Four main digits and the point for a value shown with four significant digits.
    static void SetValue(DisplayDescription& d, double value);

    const SimulationSettings& settings() const { return settings_; }

  private:
    SimulationSettings settings_;
    double absorption_;  // a
};

/// The input reports that carry one frame: counted reports (0xF0 | n, then n of at most 7
/// data bytes, padded to 8 bytes) followed by one report without data (0xF0).
std::vector<std::vector<std::uint8_t>> FrameToReports(const std::string& frameBytes);

}  // namespace qx
