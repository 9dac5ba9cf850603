#pragma once
// The window program's command-line options: which HID backend stands in for the cable.
//
//   qx680                    the real cable (hidapi)
//   qx680 --simulate         a simulated tester behind a simulated cable
//   qx680 --replay FILE      a capture played as the cable, in real time
//   qx680 --capture FILE     also write every report the link receives to FILE
//
// --capture combines with each of the others; --simulate and --replay exclude each other.

#include <QString>
#include <QStringList>
#include <memory>

#include "link/hid_backend.h"

namespace qx {

struct BackendChoice {
    std::unique_ptr<HidBackend> backend;  ///< null when `error` says why
    QString error;
};

/// Usage line for error output.
QString BackendUsage();

/// `arguments` as QCoreApplication::arguments() gives them (the program first, Qt's own options
/// already removed). Creates the backend on the calling (GUI) thread; a QCoreApplication must
/// exist. Unknown options, a missing FILE, an unreadable capture or a capture file that cannot
/// be created give an error and no backend.
BackendChoice MakeBackendFromArguments(const QStringList& arguments);

}  // namespace qx
