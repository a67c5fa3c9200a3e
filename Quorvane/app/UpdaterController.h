// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QString>

class ConfirmQueue;

/**
 * @brief "Check for Updates…" on a desktop where the system's package manager installs and
 * updates Quorvane: it says so, with the running version, and never claims that the version is
 * the newest, since nothing here has asked a package source.
 *
 * The application's model makes one for a real start; a smoke-test process has none.
 */
class UpdaterController final : public QObject
{
    Q_OBJECT

public:
    static inline const QString noticeTitle = QStringLiteral("Updates come with your system");

    /// `confirms` shows the notice; `version` is the running application's.
    UpdaterController(ConfirmQueue &confirms, QString version, QObject *parent = nullptr);

    /// The notice's text for the running version.
    [[nodiscard]] static QString noticeMessage(const QString &version);

    /// Tells the user where updates come from.
    Q_INVOKABLE void checkForUpdates();

private:
    ConfirmQueue &m_confirms;
    QString m_version;
};
