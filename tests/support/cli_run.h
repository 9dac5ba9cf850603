#pragma once
// Runs the built qx680-cli (its path comes in as QX680_CLI) for tests that drive it as a program.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

namespace qx::test {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

/// The caller's environment with the C locale, so text data files carry 24-hour times.
inline QProcessEnvironment CliEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return env;
}

inline CliRun RunCli(const QStringList& args, const QProcessEnvironment& env = CliEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QX680_CLI), args);
    EXPECT_TRUE(p.waitForFinished(60'000)) << args.join(' ').toStdString();
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

}  // namespace qx::test
