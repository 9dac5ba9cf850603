#pragma once
// The window program's command-line options: which HID backend stands in for the cable.

namespace qx {
}  // namespace qx
