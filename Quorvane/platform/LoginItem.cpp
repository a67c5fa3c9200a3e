// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/LoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Exec= takes its arguments in double quotes, where these four characters need a backslash.
QString quotedForExec(const QString &path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

} // namespace

LoginItem::LoginItem(QString appId, QString executable, QString folder)
    : m_appId(std::move(appId))
    , m_executable(std::move(executable))
    , m_folder(folder.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart")
                   : std::move(folder))
{
}

LoginItem LoginItem::application()
{
    return LoginItem(applicationId, QCoreApplication::applicationFilePath());
}

QString LoginItem::path() const
{
    return m_folder + u'/' + m_appId + QStringLiteral(".desktop");
}

bool LoginItem::isEnabled() const
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The desktop's own switch leaves the entry in place, marked hidden.
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed == "Hidden=true" || trimmed == "X-GNOME-Autostart-enabled=false")
            return false;
    }
    return true;
}

std::optional<QString> LoginItem::setEnabled(bool enabled) const
{
    if (!enabled) {
        if (!QFile::exists(path()) || QFile::remove(path()))
            return std::nullopt;
        return QStringLiteral("Could not remove %1.").arg(path());
    }
    if (!QDir().mkpath(m_folder))
        return QStringLiteral("Could not create %1.").arg(m_folder);
    QSaveFile file(path());
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Quorvane\nExec="
        + quotedForExec(m_executable).toUtf8() + "\nX-GNOME-Autostart-enabled=true\nTerminal=false\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit())
        return QStringLiteral("Could not write %1.").arg(path());
    return std::nullopt;
}
