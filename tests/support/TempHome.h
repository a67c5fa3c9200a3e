// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTemporaryDir>

/**
 * @brief A throw-away home for one test: HOME, the XDG folders and TMPDIR point into a fresh
 * temporary folder while it lives, and are put back (and the folder removed) when it goes.
 */
class TempHome
{
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome &) = delete;
    TempHome &operator=(const TempHome &) = delete;

    /// The home folder.
    [[nodiscard]] QString path() const;
    /// A path inside the home folder.
    [[nodiscard]] QString filePath(const QString &relative) const;
    /// XDG_DATA_HOME, where the application keeps its data folder.
    [[nodiscard]] QString dataHome() const;
    /// The application's data folder (XDG_DATA_HOME/Tessavine); not created.
    [[nodiscard]] QString appDataDir() const;
    /// TMPDIR.
    [[nodiscard]] QString tempDir() const;

private:
    QTemporaryDir m_root;
    QHash<QByteArray, QByteArray> m_saved;
};
