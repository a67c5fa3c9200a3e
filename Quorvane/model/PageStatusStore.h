// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/PageStatusSiteState.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>

#include <optional>

/// The freshness line of a Page Status card: "Waiting for update" without a reconciliation,
/// "Updated now" within a minute (or for a time ahead of now), then whole minutes, hours or days
/// ("Updated 5m ago", "Updated 2h ago", "Updated 3d ago").
[[nodiscard]] QString pageStatusUpdatedText(const std::optional<QDateTime> &lastReconciledAt, const QDateTime &now);

/**
 * @brief Page Status for the signed-in account: one row per Webflow site, and the flags and
 * texts the views show while it loads or is in trouble.
 *
 * A change of account empties the rows at once, so one account's rows are never shown to another.
 * Used on the main thread only; nothing of it is saved.
 */
class PageStatusStore : public QObject
{
    Q_OBJECT
    /// A refresh is under way.
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    /// Rows have been loaded at least once for the bound account.
    Q_PROPERTY(bool hasLoadedOnce READ hasLoadedOnce NOTIFY hasLoadedOnceChanged)
    /// Page Status is available for the bound account.
    Q_PROPERTY(bool available READ isAvailable NOTIFY availableChanged)
    /// The failure sentence to show; empty when there is none.
    Q_PROPERTY(QString lastError READ lastErrorText NOTIFY lastErrorChanged)
    /// The notice sentence to show; empty when there is none.
    Q_PROPERTY(QString lastNotice READ lastNoticeText NOTIFY lastNoticeChanged)

public:
    /// Rows that share a site id keep the later one.
    explicit PageStatusStore(const QList<PageStatusSiteState> &rows = {}, bool isChecking = false,
                             bool hasLoadedOnce = false, bool available = false, QObject *parent = nullptr);

    /// The rows by site id.
    [[nodiscard]] const QHash<QString, PageStatusSiteState> &sites() const { return m_sites; }
    [[nodiscard]] bool isChecking() const { return m_isChecking; }
    [[nodiscard]] bool hasLoadedOnce() const { return m_hasLoadedOnce; }
    [[nodiscard]] bool isAvailable() const { return m_available; }
    [[nodiscard]] const std::optional<QString> &lastError() const { return m_lastError; }
    [[nodiscard]] const std::optional<QString> &lastNotice() const { return m_lastNotice; }
    [[nodiscard]] QString lastErrorText() const { return m_lastError.value_or(QString()); }
    [[nodiscard]] QString lastNoticeText() const { return m_lastNotice.value_or(QString()); }

    /// The account the rows belong to; none when signed out.
    [[nodiscard]] const std::optional<QUuid> &boundUserID() const { return m_boundUserID; }
    /// The cloud-session generation given at the last binding.
    [[nodiscard]] qint64 authGeneration() const { return m_authGeneration; }
    /// Advanced at every change of bound account, so that a late result for an earlier account
    /// can be recognised and dropped.
    [[nodiscard]] qint64 refreshGeneration() const { return m_refreshGeneration; }

    /// Binds the store to the signed-in user (none when signed out) as of the cloud-session
    /// generation `authGeneration`. Another user than the bound one empties the rows and clears the
    /// flags and texts; the same user changes only the generation.
    void bindAccount(const std::optional<QUuid> &userID, qint64 authGeneration);

    /// Asks for fresh rows. No feed fills them yet, so this has no effect.
    Q_INVOKABLE void refresh() {}

signals:
    /// Rows were added, changed or removed.
    void sitesChanged();
    void isCheckingChanged();
    void hasLoadedOnceChanged();
    void availableChanged();
    void lastErrorChanged();
    void lastNoticeChanged();

private:
    QHash<QString, PageStatusSiteState> m_sites;
    bool m_isChecking = false;
    bool m_hasLoadedOnce = false;
    bool m_available = false;
    std::optional<QString> m_lastError;
    std::optional<QString> m_lastNotice;
    std::optional<QUuid> m_boundUserID;
    qint64 m_authGeneration = 0;
    qint64 m_refreshGeneration = 0;
};
