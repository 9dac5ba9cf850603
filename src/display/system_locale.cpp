#include "display/system_locale.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qx {
namespace {

// A line of a shell-style assignment file: NAME=value, NAME="value" or NAME='value'.
QString SettingIn(const QByteArray& content, const QString& name) {
    const QRegularExpression re(QStringLiteral("^\\s*(?:export\\s+)?%1=[\"']?([^\"'\\s#]*)").arg(name),
                                QRegularExpression::MultilineOption);
    QString value;
    auto it = re.globalMatch(QString::fromLocal8Bit(content));
    while (it.hasNext()) value = it.next().captured(1);  // the last assignment wins, as in a shell
    return value;
}

std::string SeparatorOf(const QString& localeName) {
    if (localeName.isEmpty() || localeName == u"C" || localeName == u"POSIX" ||
        localeName.startsWith(u"C."))
        return ".";
    const QString sep = QLocale(localeName).decimalPoint();
    const QByteArray latin = sep.toLatin1();
    return latin.contains('?') ? sep.toStdString() : latin.toStdString();
}

}  // namespace

std::vector<std::string> DefaultSystemLocaleFiles() {
    return {"/etc/locale.conf", "/etc/default/locale"};
}

std::string SystemDecimalSeparator(const std::vector<std::string>& files) {
#ifdef _WIN32
    (void)files;
    char buffer[10] = {};
    if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) == 0) return {};
    return std::string(buffer);
#else
    for (const std::string& path : files) {
        QFile file(QString::fromStdString(path));
        if (!file.exists()) continue;
        if (!file.open(QIODevice::ReadOnly)) return {};
        const QByteArray content = file.readAll();
        QString name = SettingIn(content, QStringLiteral("LC_NUMERIC"));
        if (name.isEmpty()) name = SettingIn(content, QStringLiteral("LANG"));
        return SeparatorOf(name);
    }
    return ".";
#endif
}

}  // namespace qx
