// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PageStatusStore.h"

#include "foundation/Notifying.h"

QString pageStatusUpdatedText(const std::optional<QDateTime> &lastReconciledAt, const QDateTime &now)
{
    if (!lastReconciledAt)
        return QStringLiteral("Waiting for update");
    // Whole seconds, cut towards zero: a time ahead of now reads as "now".
    const qint64 seconds = lastReconciledAt->msecsTo(now) / 1000;
    if (seconds <= 59)
        return QStringLiteral("Updated now");
    if (seconds <= 3599)
        return QStringLiteral("Updated %1m ago").arg(seconds / 60);
    if (seconds <= 86399)
        return QStringLiteral("Updated %1h ago").arg(seconds / 3600);
    return QStringLiteral("Updated %1d ago").arg(seconds / 86400);
}

PageStatusStore::PageStatusStore(const QList<PageStatusSiteState> &rows, bool isChecking, bool hasLoadedOnce,
                                 bool available, QObject *parent)
    : QObject(parent)
    , m_isChecking(isChecking)
    , m_hasLoadedOnce(hasLoadedOnce)
    , m_available(available)
{
    for (const PageStatusSiteState &row : rows)
        m_sites.insert(row.siteId, row);
}

void PageStatusStore::bindAccount(const std::optional<QUuid> &userID, qint64 authGeneration)
{
    m_authGeneration = authGeneration;
    if (userID == m_boundUserID)
        return;
    ++m_refreshGeneration;
    m_boundUserID = userID;

    // The rows go first, so nothing of the previous account is shown with the new one's flags.
    if (!m_sites.isEmpty()) {
        m_sites.clear();
        emit sitesChanged();
    }
    assignNotifying(this, m_available, false, &PageStatusStore::availableChanged);
    assignNotifying(this, m_isChecking, false, &PageStatusStore::isCheckingChanged);
    assignNotifying(this, m_hasLoadedOnce, false, &PageStatusStore::hasLoadedOnceChanged);
    assignNotifying(this, m_lastError, std::optional<QString>(), &PageStatusStore::lastErrorChanged);
    assignNotifying(this, m_lastNotice, std::optional<QString>(), &PageStatusStore::lastNoticeChanged);
}
