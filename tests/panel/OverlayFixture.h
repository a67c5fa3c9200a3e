// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"
#include "app/ConfirmQueue.h"
#include "model/ActivitySheet.h"
#include "model/ErrorLog.h"
#include "model/PageStatusStore.h"
#include "model/SiteDirectory.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

class QQmlEngine;

/**
 * @brief What the panel's QML tests and gallery stand on: a clock they move by hand, the
 * application's real confirm queue with actions that write down what they saw, account models
 * signing in to a fake backend, and Page Status stores with the rows a test names.
 */
class OverlayFixture : public QObject
{
    Q_OBJECT
    /// What the requests' actions and the queue's changes wrote down, oldest first.
    Q_PROPERTY(QStringList events READ events NOTIFY eventsChanged)

public:
    explicit OverlayFixture(QObject *parent = nullptr);
    ~OverlayFixture() override;

    /// Hands the kit's and the panel's services to `engine`.
    void serve(QQmlEngine &engine);
    [[nodiscard]] ManualClock &clock() { return m_clock; }
    [[nodiscard]] QStringList events() const { return m_events; }

    /// Now, by the fixture's clock.
    Q_INVOKABLE [[nodiscard]] QDateTime now() const { return m_clock.now(); }
    Q_INVOKABLE void advance(int milliseconds) { m_clock.advance(milliseconds); }
    Q_INVOKABLE void clearEvents();

    /// An activity sheet as the application model holds it, started now by the fixture's clock.
    Q_INVOKABLE [[nodiscard]] QVariant activitySheet(const QString &title, int outcome, const QString &log) const;

    /// A confirm queue that writes "shown <title>" (or "shown none") at each change.
    Q_INVOKABLE ConfirmQueue *newConfirmQueue();
    /// Presents a request from `fields` (title, message, confirmLabel, cancelLabel, isNotice,
    /// isDestructive, icon, and `then`: a further request's fields that the action presents).
    /// The action writes "action <title>".
    Q_INVOKABLE void present(ConfirmQueue *queue, const QVariantMap &fields);

    /// An account model in the signed-out phase, over the fake backend; with `profile`, signing
    /// in finds the user's profile.
    Q_INVOKABLE AccountModel *newAccount(bool profile = true);
    /// Asks the account to send a code to the fake backend's user.
    Q_INVOKABLE void sendCode(AccountModel *account);
    Q_INVOKABLE void verifyCode(AccountModel *account, const QString &code);
    /// The fake backend's user's address.
    Q_INVOKABLE [[nodiscard]] QString userEmail() const;

    /// A Page Status store holding `rows` (each: siteId, phase, desired, queued, staged,
    /// minutesAgo, code), with the store's flags.
    Q_INVOKABLE PageStatusStore *newPageStatus(const QVariantList &rows, bool isChecking = false, bool hasLoadedOnce = true);
    /// The fixture's empty site directory.
    Q_INVOKABLE SiteDirectory *siteDirectory();

signals:
    void eventsChanged();

private:
    void note(const QString &event);

    ManualClock m_clock;
    MemorySystemLog m_systemLog;
    ErrorLog m_log{m_systemLog};
    std::unique_ptr<FakeBackend> m_fake;
    std::vector<std::unique_ptr<MemorySessionStorage>> m_storages;
    std::unique_ptr<StoreFixture> m_stores;
    SiteDirectory *m_directory = nullptr;
    QStringList m_events;
};
