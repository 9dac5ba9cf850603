#include "link/hidapi_backend.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace qx {
namespace {

int argc = 1;
char arg0[] = "link_tests";
char* argv[] = {arg0, nullptr};

// The machine running the tests may have no HID devices at all; this checks only what holds
// everywhere: the change event once at attach, listing without claims, unknown handles.
TEST(HidApiBackendTest, AttachRaisesOneChangeAndUnknownHandlesAreHarmless) {
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    HidApiBackend hid;
    int changes = 0;
    hid.SetDeviceChangeHandler([&] { ++changes; });
    EXPECT_EQ(changes, 1);
    const std::size_t count = hid.Devices().size();
    EXPECT_EQ(hid.Claim(count), kNoHidDevice);
    EXPECT_FALSE(hid.CanReadWrite(12345));
    EXPECT_FALSE(hid.SendFeatureReport(12345, std::span<const std::uint8_t>()));
    hid.StopReading(12345);
    hid.Release(12345);
    if (count > 0) {
        const HidHandle h = hid.Claim(0);
        EXPECT_NE(h, kNoHidDevice);
        EXPECT_EQ(hid.Claim(0), kNoHidDevice);  // claimed already
        hid.Release(h);
        EXPECT_NE(hid.Claim(0), kNoHidDevice);
    }
    hid.SetDeviceChangeHandler({});
}

}  // namespace
}  // namespace qx
