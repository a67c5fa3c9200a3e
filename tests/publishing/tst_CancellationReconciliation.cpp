// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "PublishingTesting.h"
#include "backend/BackendClient.h"
#include "publishing/CancellationReceiptFile.h"
#include "publishing/PublishAccessStore.h"
#include "support/FakeBackend.h"
#include "support/ManualClock.h"
#include "support/MemorySessionStorage.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

#include <cerrno>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Notice = OAuthCancellationNotice;
using Kind = OAuthCancellationNotice::Kind;
using Receipts = QList<std::pair<QUuid, QUuid>>; // owner, operation

Q_DECLARE_METATYPE(std::optional<OAuthCancellationNotice>)

namespace {

// Walked in this order: their texts sort so, whatever order they are stored in.
const QUuid first = QUuid::fromString(u"1a000000-0000-4000-8000-000000000001"_s);
const QUuid second = QUuid::fromString(u"2b000000-0000-4000-8000-000000000002"_s);
const QUuid third = QUuid::fromString(u"3c000000-0000-4000-8000-000000000003"_s);
const QString statesPath = u"/rest/v1/oauth_states"_s;

QJsonObject row(const QUuid &operation, const QString &phase)
{
    return {{u"operation_id"_s, operation.toString(QUuid::WithoutBraces)}, {u"phase"_s, phase}};
}

OAuthCancellationReceiptMap receipts(const Receipts &list)
{
    OAuthCancellationReceiptMap map;
    for (const auto &[owner, operation] : list)
        map.insert(operation, UnresolvedOAuthCancellation{owner, operation});
    return map;
}

} // namespace

// Receipts left by earlier runs, in a real file, reconciled against `oauth_states` on the fake
// backend.
class tst_CancellationReconciliation : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<FakeBackend> m_fake;
    std::unique_ptr<MemorySessionStorage> m_storage;
    ManualClock m_clock;
    MemorySystemLog m_systemLog;
    std::unique_ptr<ErrorLog> m_log;
    std::unique_ptr<BackendClient> m_client;
    RecordingPill m_pill;

    [[nodiscard]] QString receiptPath() const
    {
        return QDir(m_folder->path()).filePath(PublishAccessStore::receiptFileName);
    }

    /// A store bound to user A that finds these receipts in its file.
    std::unique_ptr<PublishAccessStore> storeWith(const Receipts &list, PublishAccessStore::Seams seams = {})
    {
        if (CancellationReceiptFile::writeReceiptAtomically(PersistedOAuthCancellations::encode(receipts(list)), receiptPath()) != 0)
            qFatal("the receipts could not be written");
        auto store = std::make_unique<PublishAccessStore>(*m_log, m_clock, m_folder->path(), m_pill,
                                                          QUrl(u"https://abcdefghijklmnop.supabase.co"_s), std::move(seams));
        store->setClient(m_client.get());
        store->bindAccount(userA, 1);
        return store;
    }

    [[nodiscard]] QSet<QUuid> operationsOnDisk() const
    {
        const QList<QUuid> keys = CancellationReceiptFile::loadCancellationReceipts(receiptPath()).receipts.keys();
        return QSet<QUuid>(keys.cbegin(), keys.cend());
    }

    [[nodiscard]] static QSet<QUuid> operationsOf(const PublishAccessStore &store)
    {
        const QList<QUuid> keys = store.unresolvedOAuthCancellations().keys();
        return QSet<QUuid>(keys.cbegin(), keys.cend());
    }

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        m_fake = std::make_unique<FakeBackend>();
        m_storage = std::make_unique<MemorySessionStorage>();
        m_log = std::make_unique<ErrorLog>(m_systemLog);
        m_client = signedInClient(*m_fake, *m_storage, m_clock, userA);
    }

    void cleanup()
    {
        m_client.reset();
        m_fake.reset();
    }

    void passes_data()
    {
        QTest::addColumn<Receipts>("held");
        QTest::addColumn<QJsonArray>("rows");
        QTest::addColumn<std::optional<Notice>>("notice");
        QTest::addColumn<QSet<QUuid>>("left");

        const Receipts ofA{{userA, third}, {userA, first}, {userA, second}};
        QTest::newRow("ended, then committed: one notice, and the rest waits")
            << ofA << QJsonArray{row(third, u"recovery_required"_s), row(first, u"expired"_s), row(second, u"committed"_s)}
            << std::optional(Notice{userA, second, Kind::AuthorizationCompleted}) << QSet{second, third};
        QTest::newRow("a receipt without a record does not end the pass")
            << Receipts{{userA, first}, {userA, second}} << QJsonArray{row(second, u"committed"_s)}
            << std::optional(Notice{userA, second, Kind::AuthorizationCompleted}) << QSet{first, second};
        QTest::newRow("nor keep later receipts from settling")
            << Receipts{{userA, first}, {userA, second}} << QJsonArray{row(second, u"cancelled"_s)}
            << std::optional<Notice>() << QSet{first};
        QTest::newRow("every attempt ended without a grant")
            << ofA << QJsonArray{row(first, u"cancelled"_s), row(second, u"rejected"_s), row(third, u"expired"_s)}
            << std::optional<Notice>() << QSet<QUuid>();
        QTest::newRow("another phase asks for a review")
            << Receipts{{userA, first}} << QJsonArray{row(first, u"reconciliation_pending"_s)}
            << std::optional(Notice{userA, first, Kind::NeedsReview}) << QSet{first};
        QTest::newRow("phases are compared exactly")
            << Receipts{{userA, first}} << QJsonArray{row(first, u"Expired"_s)}
            << std::optional(Notice{userA, first, Kind::NeedsReview}) << QSet{first};
        QTest::newRow("the first row of an operation decides: committed")
            << Receipts{{userA, first}} << QJsonArray{row(first, u"committed"_s), row(first, u"cancelled"_s)}
            << std::optional(Notice{userA, first, Kind::AuthorizationCompleted}) << QSet{first};
        QTest::newRow("the first row of an operation decides: cancelled")
            << Receipts{{userA, first}} << QJsonArray{row(first, u"cancelled"_s), row(first, u"committed"_s)}
            << std::optional<Notice>() << QSet<QUuid>();
        QTest::newRow("another account's receipts are left alone")
            << Receipts{{userB, first}, {userA, second}} << QJsonArray{row(first, u"committed"_s), row(second, u"expired"_s)}
            << std::optional<Notice>() << QSet{first};
        QTest::newRow("rows without a receipt are no notice")
            << Receipts{{userA, second}} << QJsonArray{row(first, u"committed"_s), row(second, u"expired"_s)}
            << std::optional<Notice>() << QSet<QUuid>();
    }

    void passes()
    {
        QFETCH(Receipts, held);
        QFETCH(QJsonArray, rows);
        QFETCH(std::optional<Notice>, notice);
        QFETCH(QSet<QUuid>, left);
        m_fake->setTable(u"oauth_states"_s, rows);
        const auto store = storeWith(held);

        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)), notice);
        QCOMPARE(operationsOf(*store), left);
        QCOMPARE(operationsOnDisk(), left);
        QCOMPARE(m_fake->requests("GET", statesPath).size(), 1);
        QCOMPARE(m_fake->requests("GET", statesPath).first().query, u"select=operation_id,phase"_s);
        // A pass says nothing of its own and logs nothing: its notice is the news.
        QVERIFY(m_log->events().isEmpty());
        QVERIFY(store->oauthCancellationReceipts().isEmpty());
    }

    void noticesComeOnePerPass()
    {
        m_fake->setTable(u"oauth_states"_s, QJsonArray{row(first, u"committed"_s), row(second, u"recovery_required"_s)});
        const auto store = storeWith({{userA, first}, {userA, second}});
        const Notice completed{userA, first, Kind::AuthorizationCompleted};
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)), std::optional(completed));
        // Not remembered: the same notice until the user has dealt with it.
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)), std::optional(completed));

        QVERIFY(store->resolveCancellationReceipt(userA, first));
        QCOMPARE(operationsOnDisk(), QSet{second});
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)),
                 std::optional(Notice{userA, second, Kind::NeedsReview}));
        QVERIFY(store->hasUnresolvedCancellations(userA));

        QVERIFY(store->resolveCancellationReceipt(userA, second));
        QVERIFY(!store->hasUnresolvedCancellations(userA));
        QVERIFY(operationsOnDisk().isEmpty());
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)), std::nullopt);
    }

    void aReceiptResolvedDuringThePassGivesNoNotice()
    {
        const auto store = storeWith({{userA, first}, {userA, second}});
        // Another pass's notice was dealt with while this pass read.
        m_fake->setUserTable(u"oauth_states"_s, [&](const QUuid &) {
            store->resolveCancellationReceipt(userA, first);
            return QJsonArray{row(first, u"committed"_s), row(second, u"recovery_required"_s)};
        });
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)),
                 std::optional(Notice{userA, second, Kind::NeedsReview}));
    }

    void aPassThatCannotReadChangesNothing_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("reads");

        QTest::newRow("another account is signed in") << u"other account"_s << 0;
        QTest::newRow("nobody is signed in") << u"signed out"_s << 0;
        QTest::newRow("no backend client") << u"no client"_s << 0;
        QTest::newRow("the read fails") << u"read fails"_s << 1;
        QTest::newRow("a row that does not decode") << u"bad row"_s << 1;
        QTest::newRow("the account changes during the read") << u"changes"_s << 1;
    }

    void aPassThatCannotReadChangesNothing()
    {
        QFETCH(QString, situation);
        QFETCH(int, reads);
        const Receipts held{{userA, first}, {userB, second}};
        const auto store = storeWith(held);
        m_fake->setTable(u"oauth_states"_s, QJsonArray{row(first, u"expired"_s), row(second, u"expired"_s)});
        if (situation == u"other account"_s)
            store->bindAccount(userB, 2);
        if (situation == u"signed out"_s)
            store->bindAccount(std::nullopt, 2);
        if (situation == u"no client"_s)
            store->setClient(nullptr);
        if (situation == u"read fails"_s)
            m_fake->script("GET", statesPath, FakeBackend::postgrestError(503, u"PGRST000"_s, u"unavailable"_s));
        if (situation == u"bad row"_s)
            m_fake->setTable(u"oauth_states"_s, QJsonArray{row(first, u"expired"_s), QJsonObject{{u"phase"_s, u"expired"_s}}});
        if (situation == u"changes"_s) {
            m_fake->setUserTable(u"oauth_states"_s, [&](const QUuid &) {
                store->bindAccount(userA, 2);
                return QJsonArray{row(first, u"expired"_s)};
            });
        }

        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)), std::nullopt);
        QCOMPARE(m_fake->requests("GET", statesPath).size(), reads);
        QCOMPARE(store->unresolvedOAuthCancellations(), receipts(held));
        QCOMPARE(operationsOnDisk(), (QSet{first, second}));
        QVERIFY(m_log->events().isEmpty());
    }

    void resolvingTakesOnlyTheOwnersReceipt()
    {
        const auto store = storeWith({{userA, first}, {userB, second}});
        QVERIFY(!store->resolveCancellationReceipt(userA, second));
        QVERIFY(!store->resolveCancellationReceipt(userA, third));
        QCOMPARE(operationsOf(*store), (QSet{first, second}));
        QVERIFY(store->resolveCancellationReceipt(userA, first));
        QCOMPARE(operationsOf(*store), QSet{second});
        QCOMPARE(operationsOnDisk(), QSet{second});
        QVERIFY(!store->hasUnresolvedCancellations(userA));
        QVERIFY(store->hasUnresolvedCancellations(userB));
    }

    void readOnlyReceiptsStay()
    {
        PublishAccessStore::Seams seams;
        seams.oauthReceiptWriter = [](const QByteArray &, const QString &) { return EIO; };
        m_fake->setTable(u"oauth_states"_s, QJsonArray{row(first, u"expired"_s), row(second, u"committed"_s)});
        const auto store = storeWith({{userA, first}, {userA, second}}, std::move(seams));

        // The ended attempt's receipt cannot leave the file, so it stays; the pass goes on.
        QCOMPARE(QCoro::waitFor(store->reconcileCancellationReceipts(userA)),
                 std::optional(Notice{userA, second, Kind::AuthorizationCompleted}));
        QCOMPARE(operationsOf(*store), (QSet{first, second}));
        QCOMPARE(store->persistenceIssue(), std::optional(PublishAccessStore::receiptSaveFailedSentence));
        QVERIFY(!store->resolveCancellationReceipt(userA, second));
        QCOMPARE(operationsOf(*store), (QSet{first, second}));
        QCOMPARE(operationsOnDisk(), (QSet{first, second}));
        QCOMPARE(messagesIn(*m_log, u"oauth-cancellation-receipt"_s),
                 QStringList{PublishAccessStore::receiptSaveFailedLogMessage});
    }
};

QTEST_GUILESS_MAIN(tst_CancellationReconciliation)
#include "tst_CancellationReconciliation.moc"
