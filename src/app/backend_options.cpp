#include "app/backend_options.h"

#include <QFile>
#include <optional>

#include "link/hidapi_backend.h"
#include "sim/capturing_backend.h"
#include "sim/replay_backend.h"
#include "sim/simulated_tester_backend.h"

namespace qx {

QString BackendUsage() {
    return QStringLiteral("usage: qx680 [--simulate | --replay FILE] [--capture FILE]");
}

BackendChoice MakeBackendFromArguments(const QStringList& arguments) {
    bool simulate = false;
    std::optional<QString> replayPath, capturePath;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool isReplay = a == QLatin1String("--replay");
        if (a == QLatin1String("--simulate")) {
            if (simulate) return {nullptr, QStringLiteral("--simulate given twice")};
            simulate = true;
        } else if (isReplay || a == QLatin1String("--capture")) {
            std::optional<QString>& path = isReplay ? replayPath : capturePath;
            if (path) return {nullptr, a + QStringLiteral(" given twice")};
            if (i + 1 >= arguments.size())
                return {nullptr, a + QStringLiteral(" needs a file name")};
            path = arguments[++i];
        } else {
            return {nullptr, QStringLiteral("unexpected argument \"%1\"").arg(a)};
        }
    }
    if (simulate && replayPath)
        return {nullptr, QStringLiteral("--simulate and --replay exclude each other")};

    // Everything that can fail comes before the capture file is created (and an older one of
    // that name replaced).
    std::optional<Capture> replay;
    if (replayPath) {
        std::string error;
        replay = ReadCaptureFile(replayPath->toStdString(), &error);
        if (!replay) return {nullptr, QString::fromStdString(error)};
    }
    std::unique_ptr<QFile> captureFile;
    if (capturePath) {
        captureFile = std::make_unique<QFile>(*capturePath);
        if (!captureFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
            return {nullptr, *capturePath + QStringLiteral(": ") + captureFile->errorString()};
    }

    std::unique_ptr<HidBackend> backend;
    if (simulate)
        backend = SimulatedTesterBackend::RealTime();
    else if (replay)
        backend = ReplayBackend::RealTime(std::move(*replay));
    else
        backend = std::make_unique<HidApiBackend>();
    if (captureFile)
        backend = std::make_unique<CapturingBackend>(std::move(backend), std::move(captureFile));
    return {std::move(backend), {}};
}

}  // namespace qx
