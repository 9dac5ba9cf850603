#include "sim/tester_model.h"

#include <algorithm>
#include <cmath>

namespace qx {
namespace {

// A reproducible spread in [-1, 1] from an index (splitmix64).
double Jitter(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

}  // namespace

TesterModel::TesterModel(SimulationSettings settings) : settings_(settings) {
    if (settings_.finalOhms <= 0) settings_.finalOhms = RangeOhms(settings_.testVoltage) / 16;
    settings_.tauSeconds = std::max(settings_.tauSeconds, 1.0);
    settings_.framePeriodMs = std::max(settings_.framePeriodMs, 1);
    settings_.testSeconds = std::max(settings_.testSeconds, 1);
    settings_.voltageSeconds = std::max(settings_.voltageSeconds, 0);
    // R(600)/R(60) = PI  <=>  1 - a e600 = PI (1 - a e60)  <=>  a = (PI - 1) / (PI e60 - e600)
    const double e60 = std::exp(-60 / settings_.tauSeconds);
    const double e600 = std::exp(-600 / settings_.tauSeconds);
    const double pi = std::max(settings_.polarizationIndex, 1.0);
    absorption_ = std::clamp((pi - 1) / (pi * e60 - e600), 0.0, 0.99);
}

double TesterModel::RangeOhms(int testVoltage) {
    switch (testVoltage) {
        case 500:
            return 20e9;
        case 2500:
            return 100e9;
        case 5000:
            return 1000e9;
        default:
            return 40e9;
    }
}

double TesterModel::ResistanceOhms(double seconds) const {
    return settings_.finalOhms * (1 - absorption_ * std::exp(-seconds / settings_.tauSeconds));
}

int TesterModel::BarFor(double ohms) {
    if (!(ohms > 0)) return 0;
    const double segments = 2 + 4 * std::log10(ohms / 1e5);
    if (segments >= 34) return 31;
    return static_cast<int>(std::clamp(std::lround(segments), 0L, 30L));
}

void TesterModel::SetValue(DisplayDescription& d, double value) {
    value = std::max(value, 0.0);
    long scaled = 0;
    int point = 0;
    for (point = 1; point <= 3; ++point) {
        scaled = std::lround(value * std::pow(10.0, 4 - point));
        if (scaled < 10000) break;
    }
    if (point > 3) {
        point = 0;
        scaled = std::min(std::lround(value), 9999L);
    }
    d.digits = {static_cast<char>('0' + scaled / 1000), static_cast<char>('0' + scaled / 100 % 10),
                static_cast<char>('0' + scaled / 10 % 10), static_cast<char>('0' + scaled % 10)};
    d.point = point;
}

DisplayDescription TesterModel::DisplayAt(double seconds, std::uint64_t frameIndex) const {
    DisplayDescription d;
    d.battery = 3;
    const double cycle = settings_.testSeconds + settings_.voltageSeconds;
    const auto cycleIndex = static_cast<std::uint64_t>(seconds / cycle);
    const double inCycle = seconds - static_cast<double>(cycleIndex) * cycle;
    const double jitter = 1 + settings_.noise * Jitter(frameIndex);

    if (inCycle >= settings_.testSeconds) {
        // Between tests the operator checks a voltage: a battery (DC) or the mains (AC).
        const bool dc = cycleIndex % 2 == 0;
        d.function =
            dc ? DisplayDescription::Function::DcVolts : DisplayDescription::Function::AcVolts;
        d.unit = DisplayDescription::Unit::Volt;
        d.testVoltage = 0;
        SetValue(d, (dc ? 12.6 : 230.0) * jitter);
        return d;
    }

    d.function = DisplayDescription::Function::Insulation;
    d.testVoltage = settings_.testVoltage;
    d.highVoltage = settings_.testVoltage >= 1000;
    d.pi = true;
    d.timerSeconds = static_cast<int>(inCycle);
    const double ohms = ResistanceOhms(inCycle) * jitter;
    d.bar = BarFor(ohms);
    if (ohms < 1e9) {
        d.unit = DisplayDescription::Unit::MegaOhm;
        SetValue(d, ohms / 1e6);
    } else {
        d.unit = DisplayDescription::Unit::GigaOhm;
        SetValue(d, ohms / 1e9);
    }
    return d;
}

std::vector<std::vector<std::uint8_t>> FrameToReports(const std::string& frameBytes) {
    std::vector<std::vector<std::uint8_t>> reports;
    for (std::size_t i = 0; i < frameBytes.size(); i += 7) {
        const std::size_t n = std::min<std::size_t>(7, frameBytes.size() - i);
        std::vector<std::uint8_t> r(8, 0);
        r[0] = static_cast<std::uint8_t>(0xF0 | n);
        for (std::size_t k = 0; k < n; ++k) r[1 + k] = static_cast<std::uint8_t>(frameBytes[i + k]);
        reports.push_back(std::move(r));
    }
    reports.push_back({0xF0, 0, 0, 0, 0, 0, 0, 0});
    return reports;
}

}  // namespace qx
