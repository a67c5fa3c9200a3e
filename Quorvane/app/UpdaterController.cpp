// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/UpdaterController.h"

#include "app/ConfirmQueue.h"
#include "model/ConfirmRequest.h"

UpdaterController::UpdaterController(ConfirmQueue &confirms, QString version, QObject *parent)
    : QObject(parent)
    , m_confirms(confirms)
    , m_version(std::move(version))
{
}

QString UpdaterController::noticeMessage(const QString &version)
{
    return QStringLiteral("Quorvane updates come with your system's package manager. This is version %1; to get a "
                          "newer one, update your system's software the way you usually do, in your software centre "
                          "or with your distribution's update command.")
        .arg(version);
}

void UpdaterController::checkForUpdates()
{
    // The notice shows in the panel the menu was chosen from, which is already in front.
    m_confirms.present(ConfirmRequest::notice(noticeTitle, noticeMessage(m_version)));
}
