// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleSamples.h"
#include "scheduling/ProjectCancellationLease.h"
#include "scheduling/PublishAttention.h"
#include "scheduling/ScheduleCoding.h"
#include "scheduling/ScheduledPublish.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

namespace {

ScheduledPublish fullSchedule()
{
    ScheduledPublish full = schedule(u"site-a"_s, at(9, 30), QUuid::fromString(u"1b4e28ba-2fa1-11d2-883f-0016d3cca427"_s));
    full.domains.append({u"d-staging"_s, u"https://acme.webflow.io"_s, true});
    full.skipIfChanged = true;
    full.baselineLastUpdated = at(8, 15);
    full.cloudStatus = u"scheduled"_s;
    return full;
}

// Through text, as the cache file does, so nothing survives that the bytes do not carry.
QJsonValue throughText(const QJsonObject &object)
{
    return QJsonDocument::fromJson(QJsonDocument(object).toJson()).object();
}

} // namespace

class tst_ScheduleRecords : public QObject
{
    Q_OBJECT

private slots:
    void scheduleRoundTrips_data()
    {
        QTest::addColumn<ScheduledPublish>("schedule");
        QTest::newRow("every field") << fullSchedule();
        QTest::newRow("no optionals") << schedule(u"site-b"_s, at(10));
        ScheduledPublish noDomains = schedule(u"site-c"_s, at(11));
        noDomains.domains.clear();
        QTest::newRow("empty domains") << noDomains;
    }

    void scheduleRoundTrips()
    {
        QFETCH(ScheduledPublish, schedule);
        QString error;
        const auto decoded = ScheduledPublish::fromJson(throughText(schedule.toJson()), &error);
        QVERIFY2(decoded, qPrintable(error));
        QCOMPARE(*decoded, schedule);
    }

    void otherRecordsRoundTrip()
    {
        const PublishAttention item{QUuid::createUuid(), u"publish_failed"_s, u"Acme failed."_s, at(7)};
        QCOMPARE(PublishAttention::fromJson(throughText(item.toJson())), item);
        const PublishDomain domain{u"d1"_s, u"https://acme.com"_s, true};
        QCOMPARE(PublishDomain::fromJson(throughText(domain.toJson())), domain);
    }

    void absentOptionalsAreLeftOut()
    {
        const QJsonObject object = schedule(u"site-a"_s, at(9)).toJson();
        QVERIFY(!object.contains("baselineLastUpdated"_L1));
        QVERIFY(!object.contains("cloudStatus"_L1));
        QVERIFY(!QJsonDocument(object).toJson().contains("null"));

        const QJsonObject full = fullSchedule().toJson();
        QCOMPARE(full.value("baselineLastUpdated"_L1).toString(), u"2026-03-08T08:15:00Z"_s);
        QCOMPARE(full.value("cloudStatus"_L1).toString(), u"scheduled"_s);
    }

    void nullOptionalsReadAsAbsent()
    {
        QJsonObject object = fullSchedule().toJson();
        object.insert("baselineLastUpdated"_L1, QJsonValue::Null);
        object.insert("cloudStatus"_L1, QJsonValue::Null);
        const auto decoded = ScheduledPublish::fromJson(object);
        QVERIFY(decoded);
        QVERIFY(!decoded->baselineLastUpdated);
        QVERIFY(!decoded->cloudStatus);
    }

    void badScheduleFails_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value"); // undefined removes the key
        QTest::addColumn<QString>("named");

        const QJsonValue missing(QJsonValue::Undefined);
        for (const char *key : {"id", "connectionName", "siteId", "siteName", "publishAt",
                                "timeZoneID", "domains", "skipIfChanged", "createdAt"}) {
            QTest::addRow("missing %s", key) << QString::fromLatin1(key) << missing << QString::fromLatin1(key);
            QTest::addRow("null %s", key) << QString::fromLatin1(key) << QJsonValue(QJsonValue::Null)
                                          << QString::fromLatin1(key);
        }
        QTest::newRow("flag as text") << u"skipIfChanged"_s << QJsonValue(u"true"_s) << u"skipIfChanged"_s;
        QTest::newRow("name as number") << u"siteName"_s << QJsonValue(3) << u"siteName"_s;
        QTest::newRow("id not a uuid") << u"id"_s << QJsonValue(u"not-a-uuid"_s) << u"id"_s;
        QTest::newRow("id in braces") << u"id"_s << QJsonValue(u"{6F9619FF-8B86-D011-B42D-00C04FC964FF}"_s) << u"id"_s;
        QTest::newRow("date with offset") << u"publishAt"_s << QJsonValue(u"2026-03-08T09:30:00+00:00"_s) << u"publishAt"_s;
        QTest::newRow("bare date") << u"createdAt"_s << QJsonValue(u"2026-03-08"_s) << u"createdAt"_s;
        QTest::newRow("baseline as number") << u"baselineLastUpdated"_s << QJsonValue(5) << u"baselineLastUpdated"_s;
        QTest::newRow("status as bool") << u"cloudStatus"_s << QJsonValue(true) << u"cloudStatus"_s;
        QTest::newRow("domains as object") << u"domains"_s << QJsonValue(QJsonObject()) << u"domains"_s;
        QTest::newRow("snake staging flag")
            << u"domains"_s
            << QJsonValue(QJsonArray{QJsonObject{{"id"_L1, "d"_L1}, {"url"_L1, "u"_L1}, {"is_staging"_L1, false}}})
            << u"domains[0].isStaging"_s;
    }

    void badScheduleFails()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(QString, named);
        QJsonObject object = fullSchedule().toJson();
        if (value.isUndefined())
            object.remove(key);
        else
            object.insert(key, value);
        QString error;
        QVERIFY(!ScheduledPublish::fromJson(object, &error));
        QVERIFY2(error.contains(u'"' + named + u'"'), qPrintable(error));
    }

    void oneBadRecordFailsTheList()
    {
        QJsonObject broken = fullSchedule().toJson();
        broken.remove("createdAt"_L1);
        const QJsonArray list{fullSchedule().toJson(), broken};
        QString error;
        QVERIFY(!ScheduleCoding::decodeList(list, &ScheduledPublish::fromJson, &error));
        QVERIFY2(error.startsWith("\"row 1.createdAt\""_L1), qPrintable(error));
    }

    void extraKeysAreIgnored()
    {
        QJsonObject object = fullSchedule().toJson();
        object.insert("legacyField"_L1, 42);
        QCOMPARE(ScheduledPublish::fromJson(object), fullSchedule());
    }

    void uuidsAreWrittenUpperAndReadInEitherCase()
    {
        const QUuid id = QUuid::fromString(u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s);
        const PublishAttention item{id, u"published"_s, u"Done"_s, at(7)};
        QCOMPARE(item.toJson().value("id"_L1).toString(), u"6F9619FF-8B86-D011-B42D-00C04FC964FF"_s);

        QJsonObject lower = item.toJson();
        lower.insert("id"_L1, u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s);
        QCOMPARE(PublishAttention::fromJson(lower), item);
    }

    void cacheDatesDropTheFraction()
    {
        ScheduledPublish fraction = fullSchedule();
        fraction.publishAt = fraction.publishAt.addMSecs(250);
        const auto decoded = ScheduledPublish::fromJson(throughText(fraction.toJson()));
        QVERIFY(decoded);
        QCOMPARE(decoded->publishAt, fullSchedule().publishAt);
        QVERIFY(*decoded != fraction);
    }

    void domainOrderCounts()
    {
        ScheduledPublish swapped = fullSchedule();
        std::swap(swapped.domains[0], swapped.domains[1]);
        QVERIFY(swapped != fullSchedule());
    }

    void schedulesSortStablyByPublishTime()
    {
        const ScheduledPublish late = schedule(u"a"_s, at(10));
        const ScheduledPublish tieFirst = schedule(u"b"_s, at(9));
        const ScheduledPublish tieSecond = schedule(u"c"_s, at(9));
        QList<ScheduledPublish> list{late, tieFirst, tieSecond};
        sortSchedulesByPublishAt(list);
        QCOMPARE(list, (QList<ScheduledPublish>{tieFirst, tieSecond, late}));
    }

    void attentionSortsStablyNewestFirst()
    {
        const PublishAttention old{QUuid::createUuid(), u"failed"_s, u"1"_s, at(7)};
        const PublishAttention tieFirst{QUuid::createUuid(), u"failed"_s, u"2"_s, at(8)};
        const PublishAttention tieSecond{QUuid::createUuid(), u"failed"_s, u"3"_s, at(8)};
        QList<PublishAttention> list{old, tieFirst, tieSecond};
        sortAttentionNewestFirst(list);
        QCOMPARE(list, (QList<PublishAttention>{tieFirst, tieSecond, old}));
    }

    void inboxMergeKeepsFirstCopies()
    {
        const QUuid shared = QUuid::createUuid();
        const PublishAttention kept{shared, u"failed"_s, u"first"_s, at(7)};
        const PublishAttention laterCopy{shared, u"failed"_s, u"second"_s, at(9)};
        const PublishAttention fresh{QUuid::createUuid(), u"published"_s, u"new"_s, at(8)};
        QCOMPARE(mergedInbox({kept}, {laterCopy, fresh, fresh}), (QList<PublishAttention>{fresh, kept}));
    }

    void inboxMergeKeepsTheNewestHundred_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("kept");
        QTest::newRow("100") << 100 << 100;
        QTest::newRow("101") << 101 << 100;
    }

    void inboxMergeKeepsTheNewestHundred()
    {
        QFETCH(int, count);
        QFETCH(int, kept);
        QList<PublishAttention> incoming;
        for (int minute = 0; minute < count; ++minute)
            incoming.append({QUuid::createUuid(), u"failed"_s, QString::number(minute), at(0).addSecs(60 * minute)});
        const QList<PublishAttention> merged = mergedInbox({}, incoming);
        QCOMPARE(merged.size(), kept);
        QCOMPARE(merged.first(), incoming.last());
        QCOMPARE(merged.last(), incoming.at(count - kept));
    }

    void projectKey_data()
    {
        QTest::addColumn<std::optional<QString>>("siteID");
        QTest::addColumn<QString>("value");
        QTest::newRow("site") << std::optional<QString>(u"64f0ab12"_s) << u"site:64f0ab12"_s;
        QTest::newRow("no site") << std::optional<QString>() << u"connection:webflow-acme"_s;
        QTest::newRow("empty site") << std::optional<QString>(u""_s) << u"connection:webflow-acme"_s;
        QTest::newRow("untrimmed") << std::optional<QString>(u" s "_s) << u"site: s "_s;
    }

    void projectKey()
    {
        QFETCH(std::optional<QString>, siteID);
        QFETCH(QString, value);
        QCOMPARE(ProjectCancellationKey::forProject(siteID, u"webflow-acme"_s).value, value);
    }

    void publishTimeText()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QDateTime instant(QDate(2025, 6, 1), QTime(15, 30), Qt::UTC);
        QCOMPARE(::publishTimeText(instant, u"America/New_York"_s), u"Sun, Jun 1, 2025 · 11:30 AM EDT"_s);
        QCOMPARE(::publishTimeText(instant, u"Not/AZone"_s),
                 QLocale().toString(instant.toTimeZone(QTimeZone::systemTimeZone()),
                                    u"ddd, MMM d, yyyy · h:mm AP t"));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleRecords)
#include "tst_ScheduleRecords.moc"
