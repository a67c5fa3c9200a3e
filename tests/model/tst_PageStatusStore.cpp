// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/PageStatusStore.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

namespace {

PageStatusSiteState row(const QString &siteId, PageStatusPhase phase = PageStatusPhase::Active, qint64 queued = 0)
{
    PageStatusSiteState state;
    state.siteId = siteId;
    state.phase = phase;
    state.desiredEnabled = true;
    state.queuedCount = queued;
    return state;
}

QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

const QUuid alice(QStringLiteral("{0A1B2C3D-0000-4000-8000-000000000001}"));
const QUuid bob(QStringLiteral("{0A1B2C3D-0000-4000-8000-000000000002}"));

} // namespace

class tst_PageStatusStore : public QObject
{
    Q_OBJECT

private slots:
    void updatedText_data()
    {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0 s") << qint64(0) << "Updated now";
        QTest::newRow("59 s") << qint64(59) << "Updated now";
        QTest::newRow("60 s") << qint64(60) << "Updated 1m ago";
        QTest::newRow("3599 s") << qint64(3599) << "Updated 59m ago";
        QTest::newRow("3600 s") << qint64(3600) << "Updated 1h ago";
        QTest::newRow("86399 s") << qint64(86399) << "Updated 23h ago";
        QTest::newRow("86400 s") << qint64(86400) << "Updated 1d ago";
        QTest::newRow("30 days") << qint64(30 * 86400 + 5) << "Updated 30d ago";
        QTest::newRow("in the future") << qint64(-7200) << "Updated now";
    }

    void updatedText()
    {
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, expected);
        const QDateTime now(QDate(2026, 5, 1), QTime(9, 0), Qt::UTC);
        QCOMPARE(pageStatusUpdatedText(now.addSecs(-secondsAgo), now), expected);
    }

    void updatedTextCutsTowardsZero()
    {
        const QDateTime now(QDate(2026, 5, 1), QTime(9, 0), Qt::UTC);
        QCOMPARE(pageStatusUpdatedText(now.addMSecs(-59999), now), QStringLiteral("Updated now"));
        QCOMPARE(pageStatusUpdatedText(std::nullopt, now), QStringLiteral("Waiting for update"));
    }

    void decoding_data()
    {
        QTest::addColumn<QJsonObject>("object");
        QTest::addColumn<bool>("decodes");

        QTest::newRow("required keys only")
            << json(R"({"site_id":"s1","phase":"observing","desired_enabled":true,"queued_count":3,"staged_count":0})")
            << true;
        QTest::newRow("optionals null")
            << json(R"({"site_id":"s1","phase":"observing","desired_enabled":true,"queued_count":3,"staged_count":0,
                        "last_reconciled_at":null,"attention_code":null,"other_instance_count":null})")
            << true;
        QTest::newRow("no queued_count")
            << json(R"({"site_id":"s1","phase":"observing","desired_enabled":true,"staged_count":0})") << false;
        QTest::newRow("unknown phase")
            << json(R"({"site_id":"s1","phase":"unknown","desired_enabled":true,"queued_count":3,"staged_count":0})")
            << false;
        QTest::newRow("phase in upper case")
            << json(R"({"site_id":"s1","phase":"ACTIVE","desired_enabled":true,"queued_count":3,"staged_count":0})")
            << false;
        QTest::newRow("count as text")
            << json(R"({"site_id":"s1","phase":"active","desired_enabled":true,"queued_count":"3","staged_count":0})")
            << false;
        QTest::newRow("fractional count")
            << json(R"({"site_id":"s1","phase":"active","desired_enabled":true,"queued_count":1.5,"staged_count":0})")
            << false;
        QTest::newRow("flag as number")
            << json(R"({"site_id":"s1","phase":"active","desired_enabled":1,"queued_count":1,"staged_count":0})")
            << false;
        QTest::newRow("null site id")
            << json(R"({"site_id":null,"phase":"active","desired_enabled":true,"queued_count":1,"staged_count":0})")
            << false;
        QTest::newRow("attention code not text")
            << json(R"({"site_id":"s1","phase":"attention","desired_enabled":true,"queued_count":1,"staged_count":0,
                        "attention_code":7})")
            << false;
        QTest::newRow("reconciled at a bare date")
            << json(R"({"site_id":"s1","phase":"active","desired_enabled":true,"queued_count":1,"staged_count":0,
                        "last_reconciled_at":"2026-05-01"})")
            << false;
    }

    void decoding()
    {
        QFETCH(QJsonObject, object);
        QFETCH(bool, decodes);
        const std::optional<PageStatusSiteState> state = PageStatusSiteState::fromJson(object);
        QCOMPARE(state.has_value(), decodes);
        if (decodes) {
            QCOMPARE(state->siteId, QStringLiteral("s1"));
            QCOMPARE(state->phase, PageStatusPhase::Observing);
            QCOMPARE(state->queuedCount, 3);
            QCOMPARE(state->lastReconciledAt, std::nullopt);
            QCOMPARE(state->attentionCode, std::nullopt);
            QCOMPARE(state->otherInstanceCount, std::nullopt);
        }
    }

    void decodingAllFields()
    {
        const std::optional<PageStatusSiteState> state = PageStatusSiteState::fromJson(
            json(R"({"site_id":"s9","phase":"attention","desired_enabled":false,"queued_count":9007199254740993,
                     "staged_count":-2,"last_reconciled_at":"2026-05-01T08:59:30.250+00:00",
                     "attention_code":"credential_revoked","other_instance_count":2})"));
        QVERIFY(state);
        QCOMPARE(state->phase, PageStatusPhase::Attention);
        QCOMPARE(state->desiredEnabled, false);
        QCOMPARE(state->queuedCount, Q_INT64_C(9007199254740993));
        QCOMPARE(state->stagedCount, -2);
        QCOMPARE(state->lastReconciledAt, QDateTime(QDate(2026, 5, 1), QTime(8, 59, 30, 250), Qt::UTC));
        QCOMPARE(state->attentionCode, QStringLiteral("credential_revoked"));
        QCOMPARE(state->otherInstanceCount, 2);
    }

    void isOn_data()
    {
        QTest::addColumn<PageStatusPhase>("phase");
        QTest::addColumn<bool>("desired");
        QTest::addColumn<bool>("on");
        QTest::newRow("authorizing, wanted") << PageStatusPhase::Authorizing << true << false;
        QTest::newRow("observing, wanted") << PageStatusPhase::Observing << true << true;
        QTest::newRow("active, wanted") << PageStatusPhase::Active << true << true;
        QTest::newRow("paused, wanted") << PageStatusPhase::Paused << true << true;
        QTest::newRow("disabling, wanted") << PageStatusPhase::Disabling << true << false;
        QTest::newRow("attention, wanted") << PageStatusPhase::Attention << true << false;
        QTest::newRow("active, not wanted") << PageStatusPhase::Active << false << false;
    }

    void isOn()
    {
        QFETCH(PageStatusPhase, phase);
        QFETCH(bool, desired);
        QFETCH(bool, on);
        PageStatusSiteState state = row(QStringLiteral("s1"), phase);
        state.desiredEnabled = desired;
        QCOMPARE(state.isOn(), on);
    }

    void creationKeepsTheLaterOfTwoRows()
    {
        const PageStatusStore store({row("s1", PageStatusPhase::Active, 1), row("s2"), row("s1", PageStatusPhase::Paused, 2)},
                                    true, true, true);
        QCOMPARE(store.sites().size(), 2);
        QCOMPARE(store.sites().value("s1"), row("s1", PageStatusPhase::Paused, 2));
        QVERIFY(store.isChecking());
        QVERIFY(store.hasLoadedOnce());
        QVERIFY(store.isAvailable());
        QCOMPARE(store.boundUserID(), std::nullopt);
        QCOMPARE(store.authGeneration(), 0);
        QCOMPARE(store.refreshGeneration(), 0);
    }

    void bindingTheBoundAccountChangesOnlyTheGeneration()
    {
        // A new store is signed out; its rows stand for rows a feed filled.
        PageStatusStore store({row("s1")}, false, true, true);
        QSignalSpy sites(&store, &PageStatusStore::sitesChanged);
        QSignalSpy available(&store, &PageStatusStore::availableChanged);

        store.bindAccount(std::nullopt, 5);

        QCOMPARE(store.authGeneration(), 5);
        QCOMPARE(store.refreshGeneration(), 0);
        QCOMPARE(store.sites().size(), 1);
        QVERIFY(store.isAvailable());
        QVERIFY(store.hasLoadedOnce());
        QCOMPARE(sites.size(), 0);
        QCOMPARE(available.size(), 0);

        store.bindAccount(alice, 6);
        store.bindAccount(alice, 7);
        QCOMPARE(store.authGeneration(), 7);
        QCOMPARE(store.refreshGeneration(), 1);
    }

    void changingAccountEmptiesTheRows()
    {
        PageStatusStore store({row("s1"), row("s2")}, true, true, true);

        store.bindAccount(alice, 2);

        QVERIFY(store.sites().isEmpty());
        QVERIFY(!store.isAvailable());
        QVERIFY(!store.hasLoadedOnce());
        QVERIFY(!store.isChecking());
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(store.lastNotice(), std::nullopt);
        QCOMPARE(store.boundUserID(), alice);
        QCOMPARE(store.refreshGeneration(), 1);

        store.bindAccount(std::nullopt, 3); // signing out
        QCOMPARE(store.boundUserID(), std::nullopt);
        QCOMPARE(store.refreshGeneration(), 2);
        store.bindAccount(std::nullopt, 4); // signed out again: only the generation
        QCOMPARE(store.refreshGeneration(), 2);
        QCOMPARE(store.authGeneration(), 4);
    }

    void switchingUsersClearsRowsBeforeAnythingElse()
    {
        PageStatusStore store({row("s1")}, true, true, true);
        QStringList order;
        const auto note = [&](const char *name) {
            return [&order, &store, name] {
                order.append(QString::fromLatin1(name) + (store.sites().isEmpty() ? "" : " with rows"));
            };
        };
        connect(&store, &PageStatusStore::sitesChanged, this, note("sites"));
        connect(&store, &PageStatusStore::availableChanged, this, note("available"));
        connect(&store, &PageStatusStore::isCheckingChanged, this, note("isChecking"));
        connect(&store, &PageStatusStore::hasLoadedOnceChanged, this, note("hasLoadedOnce"));

        store.bindAccount(bob, 7);

        QCOMPARE(order, (QStringList{"sites", "available", "isChecking", "hasLoadedOnce"}));
        QCOMPARE(store.boundUserID(), bob);
        QCOMPARE(store.authGeneration(), 7);
        QCOMPARE(store.refreshGeneration(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_PageStatusStore)
#include "tst_PageStatusStore.moc"
