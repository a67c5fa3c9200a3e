// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleHarness.h"

#include <QDir>
#include <QSignalSpy>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

namespace {

const QString kUnreadable =
    u"The saved schedule cache could not be read and was preserved. Cloud data can still refresh, but local cache "
    "changes will not be saved until the file is repaired."_s;
const QString kUnsupported =
    u"The saved schedule cache uses an unsupported version and was preserved. Cloud data can still refresh, but "
    "local cache changes will not be saved until Quorvane is updated."_s;

const ScheduledPublish kLate = schedule(u"late"_s, at(15), QUuid::fromString(u"00000000-0000-4000-8000-000000000001"_s));
const ScheduledPublish kEarly = schedule(u"early"_s, at(9), QUuid::fromString(u"00000000-0000-4000-8000-000000000002"_s));
const PublishAttention kFailed{QUuid::fromString(u"00000000-0000-4000-8000-0000000000a1"_s), u"failed"_s,
                               u"Publish failed."_s, at(10)};
const PublishAttention kPublished{QUuid::fromString(u"00000000-0000-4000-8000-0000000000a2"_s), u"published"_s,
                                  u"Published."_s, at(11)};
const PublishAttention kSkipped{QUuid::fromString(u"00000000-0000-4000-8000-0000000000a3"_s), u"skipped_drift"_s,
                                u"Skipped."_s, at(12)};

QJsonArray array(const QList<ScheduledPublish> &schedules)
{
    QJsonArray items;
    for (const ScheduledPublish &schedule : schedules)
        items.append(schedule.toJson());
    return items;
}

QJsonArray array(const QList<PublishAttention> &messages)
{
    QJsonArray items;
    for (const PublishAttention &message : messages)
        items.append(message.toJson());
    return items;
}

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson();
}

QString key(const QUuid &owner)
{
    return UuidText::format(owner);
}

} // namespace

class tst_ScheduleCache : public QObject
{
    Q_OBJECT

private slots:
    void unusableFileIsKeptAndTurnsReadOnly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("issue");

        const QJsonArray queue = array({kEarly});
        QTest::newRow("version 4") << json({{u"version"_s, 4}, {u"schedules"_s, queue}}) << kUnsupported;
        QTest::newRow("version 0") << json({{u"version"_s, 0}, {u"schedules"_s, queue}}) << kUnsupported;
        QTest::newRow("version 4 in another layout") << json({{u"version"_s, 4}, {u"queue"_s, 1}}) << kUnsupported;
        QTest::newRow("no version") << json({{u"schedules"_s, queue}}) << kUnreadable;
        QTest::newRow("version as text") << json({{u"version"_s, u"3"_s}, {u"schedules"_s, queue}}) << kUnreadable;
        QTest::newRow("no schedules") << json({{u"version"_s, 3}}) << kUnreadable;
        QTest::newRow("a schedule without its site") << json({{u"version"_s, 3}, {u"schedules"_s, QJsonArray{QJsonObject{{u"id"_s, 1}}}}})
                                                     << kUnreadable;
        QTest::newRow("an inbox that is no list") << json({{u"version"_s, 3}, {u"schedules"_s, queue}, {u"inbox"_s, 1}})
                                                  << kUnreadable;
        QTest::newRow("an acknowledged id that is no UUID")
            << json({{u"version"_s, 2},
                     {u"schedules"_s, queue},
                     {u"acknowledgedAttentionIDsByOwner"_s, QJsonObject{{u"__local__"_s, QJsonArray{u"x"_s}}}}})
            << kUnreadable;
        QTest::newRow("empty file") << QByteArray() << kUnreadable;
        QTest::newRow("not JSON") << QByteArray("{\"version\": 3,") << kUnreadable;
        QTest::newRow("a bare array with a bad element") << QByteArray("[{\"id\": 5}]") << kUnreadable;
    }

    void unusableFileIsKeptAndTurnsReadOnly()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, issue);
        ScheduleHarness h;
        putFile(h.cachePath(), content);

        ScheduleStore &store = h.makeStore(true);
        QCOMPARE(store.persistenceIssue(), std::optional(issue));
        QVERIFY(!store.persistenceWritable());
        QVERIFY(store.schedules().isEmpty());

        // Nothing writes over it, not even a change that would be saved: the queue, an account
        // switch, an acknowledgement.
        QVERIFY(!store.persistCache());
        store.bindAccount(ScheduleHarness::userA);
        store.setAttention({kFailed});
        QVERIFY(!store.acknowledgeAttention());
        QCOMPARE(store.attention(), QList{kFailed});
        QCOMPARE(h.files.writer.writes, 0);
        QCOMPARE(fileBytes(h.cachePath()), content);
        QCOMPARE(QDir(h.files.folder()).entryList(QDir::Files), QStringList{ScheduleStore::fileName});
        QVERIFY(h.files.log.events().isEmpty());
    }

    void aFolderInPlaceOfTheFileIsUnreadable()
    {
        ScheduleHarness h;
        QVERIFY(QDir().mkpath(h.cachePath()));
        ScheduleStore &store = h.makeStore();
        QCOMPARE(store.persistenceIssue(), std::optional(kUnreadable));
        QVERIFY(!store.persistCache());
        QVERIFY(QFileInfo(h.cachePath()).isDir());
    }

    void noFileStartsEmptyAndTheFirstSaveWritesVersion3()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        QVERIFY(store.persistenceWritable());
        QVERIFY(!store.persistenceIssue());
        QVERIFY(!QFile::exists(h.cachePath()));

        store.coordinator().confirmed = {kEarly};
        QVERIFY(store.persistCache());
        const QJsonObject written = h.cacheDocument();
        QCOMPARE(written.value("version"_L1).toInt(), 3);
        QVERIFY(!written.contains("ownerID"_L1));
        QCOMPARE(written.value("schedules"_L1).toArray(), array({kEarly}));
    }

    void fileWithoutOwnerShowsAtOnce()
    {
        ScheduleHarness h;
        const QByteArray content = json({
            {u"version"_s, 1},
            {u"schedules"_s, array({kLate, kEarly})},
            {u"inbox"_s, array({kSkipped, kPublished, kFailed})},
            {u"acknowledgedAttentionIDsByOwner"_s,
             QJsonObject{{u"__local__"_s, QJsonArray{key(kSkipped.id), key(kSkipped.id)}}}},
        });
        putFile(h.cachePath(), content);

        ScheduleStore &store = h.makeStore();
        QCOMPARE(store.schedules(), (QList{kEarly, kLate}));
        QCOMPARE(store.outcomeInbox(), (QList{kSkipped, kPublished, kFailed}));
        // Neither "published" nor acknowledged messages wait for the user.
        QCOMPARE(store.attention(), QList{kFailed});
        QCOMPARE(store.scheduleItems().first().toMap().value(u"siteId"_s), u"early"_s);
        // Reading never writes.
        QCOMPARE(h.files.writer.writes, 0);
        QCOMPARE(fileBytes(h.cachePath()), content);
    }

    void fileWithOwnerWaitsForThatOwner()
    {
        ScheduleHarness h;
        putFile(h.cachePath(), json({{u"version"_s, 2},
                                     {u"ownerID"_s, key(ScheduleHarness::userA)},
                                     {u"schedules"_s, array({kLate, kEarly})},
                                     {u"inbox"_s, array({kFailed})}}));
        ScheduleStore &store = h.makeStore();
        QVERIFY(store.schedules().isEmpty());
        QVERIFY(store.outcomeInbox().isEmpty());

        store.bindAccount(ScheduleHarness::userA);
        QCOMPARE(store.schedules(), (QList{kEarly, kLate}));
        QCOMPARE(store.outcomeInbox(), QList{kFailed});
        QCOMPARE(store.attention(), QList{kFailed});
        // The inbox of the file was taken as the owner's parked inbox, and is written so.
        QCOMPARE(h.cacheDocument().value("inboxesByOwner"_L1).toObject().value(key(ScheduleHarness::userA)).toArray(),
                 array({kFailed}));
        QCOMPARE(h.cacheDocument().value("version"_L1).toInt(), 3);
    }

    void bareArray_data()
    {
        QTest::addColumn<bool>("localOnly");
        QTest::newRow("local-only store shows it") << true;
        QTest::newRow("cloud store keeps it from view") << false;
    }

    void bareArray()
    {
        QFETCH(bool, localOnly);
        ScheduleHarness h;
        putFile(h.cachePath(), QJsonDocument(array({kLate, kEarly})).toJson());
        ScheduleStore &store = h.makeStore(localOnly);
        QVERIFY(store.persistenceWritable());
        QCOMPARE(store.schedules(), (localOnly ? QList{kEarly, kLate} : QList<ScheduledPublish>()));

        // The next save writes the object form: the shown queue, or the coordinator's (empty)
        // confirmed queue in place of the unowned one.
        QVERIFY(store.persistCache());
        const QJsonObject written = h.cacheDocument();
        QCOMPARE(written.value("version"_L1).toInt(), 3);
        QCOMPARE(written.value("schedules"_L1).toArray(), localOnly ? array({kEarly, kLate}) : QJsonArray());
    }

    void saveKeepsParkedInboxesAndPrunesAcknowledgements()
    {
        ScheduleHarness h;
        const QString a = key(ScheduleHarness::userA);
        putFile(h.cachePath(), json({
                                   {u"version"_s, 3},
                                   {u"schedules"_s, QJsonArray()},
                                   {u"inboxesByOwner"_s, QJsonObject{{a, array({kFailed})}}},
                                   {u"acknowledgedAttentionIDsByOwner"_s,
                                    QJsonObject{{a, QJsonArray{key(kFailed.id), key(kSkipped.id)}},
                                                {u"__local__"_s, QJsonArray{key(kSkipped.id)}}}},
                               }));
        ScheduleStore &store = h.makeStore();
        QVERIFY(store.persistCache());
        const QJsonObject written = h.cacheDocument();
        QVERIFY(!written.contains("ownerID"_L1));
        QCOMPARE(written.value("inboxesByOwner"_L1).toObject(), (QJsonObject{{a, array({kFailed})}}));
        // An acknowledgement whose message left its owner's inbox goes; an emptied set stays.
        QCOMPARE(written.value("acknowledgedAttentionIDsByOwner"_L1).toObject(),
                 (QJsonObject{{a, QJsonArray{key(kFailed.id)}}, {u"__local__"_s, QJsonArray()}}));
    }

    void failedSaveIsReportedAndTheStoreStaysWritable()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        QSignalSpy issue(&store, &ScheduleStore::persistenceIssueChanged);
        h.files.writer.failure = u"No space left on device"_s;
        QVERIFY(!store.persistCache());
        QCOMPARE(store.persistenceIssue(), std::optional(u"Schedule and outcome receipts could not be saved locally."_s));
        QCOMPARE(h.files.logged(u"schedule-cache"_s), QStringList{u"No space left on device"_s});
        QVERIFY(store.persistenceWritable());

        h.files.writer.failure.reset();
        QVERIFY(store.persistCache());
        QVERIFY(QFile::exists(h.cachePath()));
        // The sentence stays after a later save succeeds.
        QVERIFY(store.persistenceIssue());
        QCOMPARE(issue.count(), 1);
    }

    void acknowledgingAttention()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        QVERIFY(store.acknowledgeAttention());
        QCOMPARE(h.files.writer.writes, 0);

        store.setOutcomeInbox({kSkipped, kFailed});
        store.setAttention({kSkipped, kFailed});
        h.files.writer.failure = u"disk full"_s;
        QVERIFY(!store.acknowledgeAttention());
        QCOMPARE(store.attention(), (QList{kSkipped, kFailed}));

        h.files.writer.failure.reset();
        QVERIFY(store.acknowledgeAttention());
        QVERIFY(store.attention().isEmpty());
        QCOMPARE(h.cacheDocument().value("acknowledgedAttentionIDsByOwner"_L1).toObject(),
                 (QJsonObject{{u"__local__"_s, QJsonArray{key(kFailed.id), key(kSkipped.id)}}}));

        // A new store over the file does not show them again.
        ScheduleStore &again = h.makeStore();
        QCOMPARE(again.outcomeInbox(), (QList{kSkipped, kFailed}));
        QVERIFY(again.attention().isEmpty());
    }

    void savedStateReadsBackTheSame()
    {
        ScheduleHarness h;
        ScheduleStore &store = h.makeStore();
        ScheduledPublish paranoid = kLate;
        paranoid.skipIfChanged = true;
        paranoid.baselineLastUpdated = at(7);
        paranoid.cloudStatus = u"scheduled"_s;
        store.coordinator().confirmed = {kEarly, paranoid};
        store.setOutcomeInbox({kSkipped, kFailed});
        QVERIFY(store.persistCache());
        const QByteArray first = fileBytes(h.cachePath());

        ScheduleStore &again = h.makeStore();
        QCOMPARE(again.schedules(), (QList{kEarly, paranoid}));
        QCOMPARE(again.outcomeInbox(), (QList{kSkipped, kFailed}));
        QVERIFY(again.persistCache());
        QCOMPARE(fileBytes(h.cachePath()), first);
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleCache)
#include "tst_ScheduleCache.moc"
