#include "sim/capturing_backend.h"

#include <QFileDevice>
#include <QTime>
#include <cstdio>

#include "sim/capture.h"
#include "sim/soft_cable_backend.h"

namespace qx {

CapturingBackend::CapturingBackend(std::unique_ptr<HidBackend> inner,
                                   std::unique_ptr<QIODevice> out,
                                   std::function<std::int64_t()> nowMs,
                                   std::function<std::int32_t()> timeOfDayMs)
    : inner_(std::move(inner)),
      out_(std::move(out)),
      nowMs_(std::move(nowMs)),
      timeOfDayMs_(std::move(timeOfDayMs)) {}

CapturingBackend::CapturingBackend(std::unique_ptr<HidBackend> inner,
                                   std::unique_ptr<QIODevice> out)
    : CapturingBackend(std::move(inner), std::move(out), SoftCableBackend::SteadyClockMs(),
                       [] { return QTime::currentTime().msecsSinceStartOfDay(); }) {}

CapturingBackend::~CapturingBackend() {
    // The inner backend goes first: its destructor stops every reader, so no wrapped callback
    // runs against a closed file.
    inner_.reset();
    if (out_) out_->close();
}

bool CapturingBackend::Write(const std::string& text) {
    if (failed_) return false;
    const auto size = static_cast<qint64>(text.size());
    bool ok = out_->write(text.data(), size) == size;
    if (ok)
        if (auto* file = qobject_cast<QFileDevice*>(out_.get())) ok = file->flush();
    if (!ok) {
        failed_ = true;
        std::fprintf(stderr, "qx680: the capture stopped: %s\n", qPrintable(out_->errorString()));
    }
    return ok;
}

void CapturingBackend::Record(std::span<const std::uint8_t> payload) {
    if (failed_ || !originMs_) return;
    if (Write(CaptureLine(nowMs_() - *originMs_, payload))) ++written_;
}

void CapturingBackend::StartReading(HidHandle device, HidReportCallback callback) {
    if (!originMs_) {
        const std::int32_t timeOfDay = timeOfDayMs_();
        originMs_ = nowMs_() - timeOfDay % 1000;
        Write(std::string(kCaptureHeader) + CaptureStartLine(timeOfDay));
    }
    if (!callback) {
        inner_->StartReading(device, std::move(callback));
        return;
    }
    inner_->StartReading(device, [this, callback = std::move(callback)](
                                     std::uint8_t id, std::span<const std::uint8_t> payload) {
        Record(payload);
        callback(id, payload);
    });
}

void CapturingBackend::SetDeviceChangeHandler(std::function<void()> handler) {
    inner_->SetDeviceChangeHandler(std::move(handler));
}
std::vector<HidDeviceInfo> CapturingBackend::Devices() const {
    return inner_->Devices();
}
HidHandle CapturingBackend::Claim(std::size_t index) {
    return inner_->Claim(index);
}
void CapturingBackend::Release(HidHandle device) {
    inner_->Release(device);
}
bool CapturingBackend::CanReadWrite(HidHandle device) {
    return inner_->CanReadWrite(device);
}
bool CapturingBackend::SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) {
    return inner_->SendFeatureReport(device, report);
}
void CapturingBackend::StopReading(HidHandle device) {
    inner_->StopReading(device);
}

}  // namespace qx
