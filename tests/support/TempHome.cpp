// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/TempHome.h"

#include <QDir>

namespace {

const char *const kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                  "XDG_STATE_HOME", "TMPDIR"};

} // namespace

TempHome::TempHome()
    : m_root(QDir::tempPath() + QStringLiteral("/quorvane-home-XXXXXX"))
{
    Q_ASSERT(m_root.isValid());
    for (const char *name : kVariables)
        m_saved.insert(name, qgetenv(name));

    const QString home = path();
    const QHash<QByteArray, QString> folders = {
        {"HOME", home},
        {"XDG_DATA_HOME", home + QStringLiteral("/.local/share")},
        {"XDG_CONFIG_HOME", home + QStringLiteral("/.config")},
        {"XDG_CACHE_HOME", home + QStringLiteral("/.cache")},
        {"XDG_STATE_HOME", home + QStringLiteral("/.local/state")},
        {"TMPDIR", home + QStringLiteral("/tmp")},
    };
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        QDir().mkpath(it.value());
        qputenv(it.key().constData(), QFile::encodeName(it.value()));
    }
}

TempHome::~TempHome()
{
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        if (it.value().isNull())
            qunsetenv(it.key().constData());
        else
            qputenv(it.key().constData(), it.value());
    }
}

QString TempHome::path() const
{
    return m_root.path();
}

QString TempHome::filePath(const QString &relative) const
{
    return m_root.filePath(relative);
}

QString TempHome::dataHome() const
{
    return filePath(QStringLiteral(".local/share"));
}

QString TempHome::appDataDir() const
{
    return dataHome() + QStringLiteral("/Tessavine");
}

QString TempHome::tempDir() const
{
    return filePath(QStringLiteral("tmp"));
}
