// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendClient.h"
#include "foundation/Clock.h"
#include "model/ErrorLog.h"
#include "platform/ConsentBrowser.h"
#include "publishing/ConnectingPillControl.h"
#include "support/FakeBackend.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>

// What the publishing tests share: two accounts and a client signed in to one of them on the fake
// backend, the error events of one area, and a pill and a browser that keep what they were asked.

inline const QUuid userA = QUuid::fromString(QStringLiteral("3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"));
inline const QUuid userB = QUuid::fromString(QStringLiteral("9c8d7e6f-1a2b-4c3d-8e9f-0a1b2c3d4e5f"));

/// A client of `fake` whose stored session is `user`'s, as after a sign-in; the storage and the
/// clock must outlive it.
inline std::unique_ptr<BackendClient> signedInClient(FakeBackend &fake, MemorySessionStorage &storage, const Clock &clock,
                                                     const QUuid &user)
{
    fake.userId = user;
    storage.items.insert(BackendClient::sessionKey,
                         BackendSession::fromAuthReply(fake.issueSession(), clock.now())->toStored());
    BackendClient::Settings settings;
    settings.clock = &clock;
    settings.requestTimeout = std::chrono::seconds(10);
    return std::make_unique<BackendClient>(fake.url(), FakeBackend::publishableKey, &storage, settings);
}

/// The messages the log holds under `area`, oldest first.
inline QStringList messagesIn(const ErrorLog &log, const QString &area)
{
    QStringList messages;
    for (const ErrorEvent &event : log.events()) {
        if (event.area == area)
            messages.append(event.message);
    }
    return messages;
}

/**
 * @brief A connecting pill that behaves as the real one does for its callers (a success is taken
 * only while it is on screen and not closed by hand) and keeps every call: "show <title>",
 * "connected <title>", "dismiss".
 */
class RecordingPill final : public ConnectingPillControl
{
public:
    QStringList calls;
    bool onScreen = false;
    bool closedByHand = false;

    void show(const QString &title) override
    {
        calls.append(QStringLiteral("show ") + title);
        onScreen = !closedByHand;
    }

    bool markConnected(const QString &title) override
    {
        calls.append(QStringLiteral("connected ") + title);
        return onScreen && !closedByHand;
    }

    void dismiss() override
    {
        calls.append(QStringLiteral("dismiss"));
        onScreen = false;
    }

    [[nodiscard]] qsizetype dismissals() const { return calls.count(QStringLiteral("dismiss")); }
};

/**
 * @brief A browser that keeps every link it was handed, and accepts them unless told not to.
 */
class RecordingBrowser final : public ConsentBrowser
{
public:
    QList<QByteArray> opened;
    bool accepts = true;
    /// Called at each hand-off, before the answer.
    std::function<void()> onOpen;

    bool open(const QByteArray &link) override
    {
        opened.append(link);
        if (onOpen)
            onOpen();
        return accepts;
    }
};
