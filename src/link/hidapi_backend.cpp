#include "link/hidapi_backend.h"

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <QSocketNotifier>
#include <algorithm>
#include <cwchar>

#include "link/hid_reader.h"

namespace qx {
namespace {

// Device strings become single-byte text; characters outside ASCII become '?', as the system's
// wide-to-narrow conversion does for characters its code page lacks.
std::string ToSingleByte(const wchar_t* text) {
    std::string out;
    if (!text) return out;
    for (; *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

}  // namespace

HidApiBackend::HidApiBackend() {
    hid_init();
    listed_ = Enumerate();
    SetUpMonitor();
    if (!monitor_) {
        QObject::connect(&fallback_, &QTimer::timeout, &context_, [this] { Rescan(); });
        fallback_.start(kFallbackPollMs);
    }
}

HidApiBackend::~HidApiBackend() {
    onChange_ = nullptr;
    fallback_.stop();
    delete notifier_;
    notifier_ = nullptr;
    // Every device is closed (readers joined first) before the library is shut down.
    for (auto& [handle, claimed] : claimed_) {
        if (claimed.reader) claimed.reader->Stop(HidReader::Pending::Discard);
        claimed.reader.reset();
        claimed.device.reset();
    }
    claimed_.clear();
    if (monitor_) udev_monitor_unref(monitor_);
    if (udev_) udev_unref(udev_);
    hid_exit();
}

void HidApiBackend::SetUpMonitor() {
    udev_ = udev_new();
    if (!udev_) return;
    // The "udev" source reports a device after its rules ran, so its access rights are set.
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor_) >= 0) {
        const int fd = udev_monitor_get_fd(monitor_);
        notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, &context_);
        QObject::connect(notifier_, &QSocketNotifier::activated, &context_,
                         [this] { OnMonitorReadable(); });
        return;
    }
    if (monitor_) udev_monitor_unref(monitor_);
    monitor_ = nullptr;
}

void HidApiBackend::OnMonitorReadable() {
    // Drain every pending event, then look once: one plug can bring several events.
    while (udev_device* dev = udev_monitor_receive_device(monitor_)) udev_device_unref(dev);
    Rescan();
}

std::vector<HidApiBackend::Listed> HidApiBackend::Enumerate() {
    std::vector<Listed> out;
    hid_device_info* all = hid_enumerate(0, 0);
    for (hid_device_info* d = all; d; d = d->next) {
        if (!d->path) continue;
        // hidapi lists a device once per top-level collection; the link sees one device per node.
        const bool seen =
            std::any_of(out.begin(), out.end(), [&](const Listed& l) { return l.path == d->path; });
        if (seen) continue;
        out.push_back({d->path,
                       {ToSingleByte(d->product_string), ToSingleByte(d->serial_number),
                        d->vendor_id, d->product_id}});
    }
    hid_free_enumeration(all);
    return out;
}

void HidApiBackend::Rescan() {
    std::vector<Listed> now = Enumerate();
    auto byPath = [](const Listed& a, const Listed& b) { return a.path < b.path; };
    std::vector<Listed> before = listed_;
    std::vector<Listed> after = now;
    std::sort(before.begin(), before.end(), byPath);
    std::sort(after.begin(), after.end(), byPath);
    if (before == after) return;
    listed_ = std::move(now);
    if (onChange_) {
        auto handler = onChange_;  // the handler may replace itself
        handler();
    }
}

void HidApiBackend::SetDeviceChangeHandler(std::function<void()> handler) {
    onChange_ = std::move(handler);
    if (onChange_) {
        auto handler = onChange_;
        handler();
    }
}

std::vector<HidDeviceInfo> HidApiBackend::Devices() const {
    std::vector<HidDeviceInfo> out;
    out.reserve(listed_.size());
    for (const Listed& l : listed_) out.push_back(l.info);
    return out;
}

HidHandle HidApiBackend::Claim(std::size_t index) {
    if (index >= listed_.size()) return kNoHidDevice;
    const std::string& path = listed_[index].path;
    for (const auto& [handle, claimed] : claimed_)
        if (claimed.path == path) return kNoHidDevice;
    const HidHandle handle = nextHandle_++;
    claimed_[handle] = Claimed{path, nullptr, nullptr};
    return handle;
}

HidApiBackend::Claimed* HidApiBackend::Find(HidHandle device) {
    auto it = claimed_.find(device);
    return it == claimed_.end() ? nullptr : &it->second;
}

void HidApiBackend::Release(HidHandle device) {
    Claimed* claimed = Find(device);
    if (!claimed) return;
    // Held here: a nested operation must not destroy the reader while it is being stopped.
    std::shared_ptr<HidReader> reader = std::move(claimed->reader);
    if (reader) reader->Stop(HidReader::Pending::Discard);
    claimed_.erase(device);  // closes the device once its reader no longer holds it
}

bool HidApiBackend::EnsureOpen(Claimed& claimed) {
    if (claimed.device) return true;
    hid_device* dev = hid_open_path(claimed.path.c_str());
    if (!dev) return false;
    claimed.device = std::shared_ptr<hid_device_>(dev, &hid_close);
    return true;
}

bool HidApiBackend::CanReadWrite(HidHandle device) {
    Claimed* claimed = Find(device);
    return claimed && EnsureOpen(*claimed);
}

bool HidApiBackend::SendFeatureReport(HidHandle device, std::span<const std::uint8_t> report) {
    Claimed* claimed = Find(device);
    if (!claimed || !EnsureOpen(*claimed)) return false;
    return hid_send_feature_report(claimed->device.get(), report.data(), report.size()) >= 0;
}

void HidApiBackend::StartReading(HidHandle device, HidReportCallback callback) {
    StopReading(device);
    Claimed* claimed = Find(device);  // looked up again: the stop may have run callbacks
    if (!claimed || !EnsureOpen(*claimed)) return;
    std::shared_ptr<hid_device_> dev = claimed->device;
    auto read = [dev](std::uint8_t* buffer, std::size_t size, int timeoutMs) {
        return hid_read_timeout(dev.get(), buffer, size, timeoutMs);
    };
    claimed->reader = std::make_shared<HidReader>(&context_, std::move(read), kReportBufferSize,
                                                  std::move(callback));
}

void HidApiBackend::StopReading(HidHandle device) {
    Claimed* claimed = Find(device);
    if (!claimed || !claimed->reader) return;
    std::shared_ptr<HidReader> reader = std::move(claimed->reader);
    reader->Stop(HidReader::Pending::Deliver);
}

}  // namespace qx
