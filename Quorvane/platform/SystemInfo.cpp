// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/SystemInfo.h"

#include <QFile>

#include <sys/utsname.h>

namespace {

// os-release values may be quoted with " or ' and use backslash escapes inside double quotes.
QString unquoted(QByteArray value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        const bool doubleQuoted = value.front() == '"';
        value = value.mid(1, value.size() - 2);
        if (doubleQuoted) {
            QByteArray plain;
            for (qsizetype i = 0; i < value.size(); ++i) {
                if (value.at(i) == '\\' && i + 1 < value.size())
                    ++i;
                plain.append(value.at(i));
            }
            value = plain;
        }
    }
    return QString::fromUtf8(value).trimmed();
}

} // namespace

QString SystemInfo::operatingSystem(const QByteArray &osRelease, const QString &kernelRelease)
{
    QString name;
    for (const QByteArray &line : osRelease.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("PRETTY_NAME="))
            name = unquoted(trimmed.mid(int(sizeof("PRETTY_NAME=")) - 1));
    }
    if (name.isEmpty())
        name = QStringLiteral("Linux");
    if (kernelRelease.isEmpty())
        return name;
    return name + QStringLiteral(", kernel ") + kernelRelease;
}

QString SystemInfo::operatingSystem()
{
    QByteArray osRelease;
    for (const char *path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly)) {
            osRelease = file.read(64 * 1024);
            break;
        }
    }
    utsname system{};
    const QString kernel = uname(&system) == 0 ? QString::fromUtf8(system.release) : QString();
    return operatingSystem(osRelease, kernel);
}
