// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleSamples.h"
#include "scheduling/BeginProjectRemovalResponse.h"
#include "scheduling/CancelRPCResult.h"
#include "scheduling/PublishEventRow.h"
#include "scheduling/PublishHistoryRow.h"
#include "scheduling/ReplaceParams.h"
#include "scheduling/ScheduleCloudRow.h"
#include "support/JsonEdit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;

namespace {

const QString scheduleID = u"1b4e28ba-2fa1-11d2-883f-0016d3cca427"_s;
const QString userID = u"6f9619ff-8b86-d011-b42d-00c04fc964ff"_s;

QJsonObject domainJson(const QString &id, bool staging = false)
{
    return {{"id"_L1, id}, {"url"_L1, u"https://"_s + id + u".com"_s}, {"isStaging"_L1, staging}};
}

// A queue row as the backend writes it: PostgreSQL timestamps with microseconds and "+00:00".
QJsonObject cloudRow()
{
    return {{"id"_L1, scheduleID},
            {"user_id"_L1, userID},
            {"connection_name"_L1, "webflow-acme"_L1},
            {"site_id"_L1, "site-a"_L1},
            {"site_name"_L1, "Acme"_L1},
            {"publish_at"_L1, "2026-03-08T09:30:00.123456+00:00"_L1},
            {"time_zone"_L1, "Europe/Berlin"_L1},
            {"domains"_L1, QJsonArray{domainJson(u"d1"_s), domainJson(u"d2"_s, true)}},
            {"skip_if_changed"_L1, true},
            {"baseline_last_updated"_L1, "2026-03-08T10:15:00+01:00"_L1},
            {"status"_L1, "scheduled"_L1},
            {"created_at"_L1, "2026-03-08T06:00:00Z"_L1},
            {"completed_at"_L1, QJsonValue::Null},
            {"seen_at"_L1, "extra"_L1}};
}

QJsonObject historyRow(const QString &status)
{
    return {{"id"_L1, scheduleID},
            {"user_id"_L1, userID},
            {"site_name"_L1, "Acme"_L1},
            {"publish_at"_L1, "2026-03-08T09:30:00+00:00"_L1},
            {"time_zone"_L1, "Europe/Berlin"_L1},
            {"domains"_L1, QJsonArray{domainJson(u"d1"_s)}},
            {"status"_L1, status},
            {"completed_at"_L1, "2026-03-08T09:31:02.5+00:00"_L1},
            {"failure"_L1, QJsonValue::Null}};
}

QJsonObject eventRow()
{
    return {{"id"_L1, userID},
            {"kind"_L1, "publish_failed"_L1},
            {"message"_L1, "Acme could not be published."_L1},
            {"created_at"_L1, "2026-03-08T09:31:00.000001+00:00"_L1}};
}

} // namespace

class tst_ScheduleWireRows : public QObject
{
    Q_OBJECT

private slots:
    void cloudRowBecomesSchedule()
    {
        QString error;
        const auto rows = ScheduleCloudRow::listFromJson(QJsonArray{cloudRow()}, &error);
        QVERIFY2(rows, qPrintable(error));
        QCOMPARE(rows->size(), 1);
        QCOMPARE(rows->first().userID, QUuid::fromString(userID));

        ScheduledPublish expected = schedule(u"site-a"_s, at(9, 30).addMSecs(123), QUuid::fromString(scheduleID));
        expected.siteName = u"Acme"_s;
        expected.domains = {{u"d1"_s, u"https://d1.com"_s, false}, {u"d2"_s, u"https://d2.com"_s, true}};
        expected.skipIfChanged = true;
        expected.baselineLastUpdated = at(9, 15);
        expected.cloudStatus = u"scheduled"_s;
        QCOMPARE(rows->first().asScheduledPublish(), expected);
    }

    void cloudRowOptionals_data()
    {
        QTest::addColumn<QJsonValue>("value"); // of "created_at" and "baseline_last_updated"
        QTest::newRow("null") << QJsonValue(QJsonValue::Null);
        QTest::newRow("missing") << QJsonValue(QJsonValue::Undefined);
    }

    void cloudRowOptionals()
    {
        QFETCH(QJsonValue, value);
        QJsonObject row = with(cloudRow(), u"created_at"_s, value);
        row = with(row, u"baseline_last_updated"_s, value);
        row.insert("status"_L1, "publishing"_L1);
        const auto decoded = ScheduleCloudRow::fromJson(row);
        QVERIFY(decoded);
        const ScheduledPublish schedule = decoded->asScheduledPublish();
        QCOMPARE(schedule.createdAt, schedule.publishAt);
        QVERIFY(!schedule.baselineLastUpdated);
        QCOMPARE(schedule.cloudStatus, u"publishing"_s);
    }

    void timestamps_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: the reply fails
        QTest::newRow("postgres offset, micros") << u"2026-03-08T09:30:00.123456+00:00"_s << at(9, 30).addMSecs(123);
        QTest::newRow("Z, no fraction") << u"2026-03-08T09:30:00Z"_s << at(9, 30);
        QTest::newRow("nine digits") << u"2026-03-08T09:30:00.999999999Z"_s << at(9, 30).addMSecs(999);
        QTest::newRow("other offset") << u"2026-03-08T11:30:00+02:00"_s << at(9, 30);
        QTest::newRow("bare date") << u"2026-03-08"_s << QDateTime();
        QTest::newRow("no offset is UTC") << u"2026-03-08T09:30:00"_s << at(9, 30);
    }

    void timestamps()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const auto row = ScheduleCloudRow::fromJson(with(cloudRow(), u"publish_at"_s, text));
        QCOMPARE(bool(row), expected.isValid());
        if (row)
            QCOMPARE(row->publishAt, expected);
    }

    void oneBadRowFailsTheReply_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        const QJsonValue missing(QJsonValue::Undefined);
        const QJsonValue null(QJsonValue::Null);
        for (const char *key : {"id", "user_id", "connection_name", "site_id", "site_name", "publish_at",
                                "time_zone", "domains", "skip_if_changed", "status"}) {
            QTest::addRow("missing %s", key) << QString::fromLatin1(key) << missing;
            QTest::addRow("null %s", key) << QString::fromLatin1(key) << null;
        }
        QTest::newRow("flag as number") << u"skip_if_changed"_s << QJsonValue(1);
        QTest::newRow("status as number") << u"status"_s << QJsonValue(2);
        QTest::newRow("site id as number") << u"site_id"_s << QJsonValue(42);
        QTest::newRow("user not a uuid") << u"user_id"_s << QJsonValue(u"someone"_s);
        QTest::newRow("baseline bare date") << u"baseline_last_updated"_s << QJsonValue(u"2026-03-08"_s);
        QTest::newRow("created as number") << u"created_at"_s << QJsonValue(0);
        QTest::newRow("domain without staging flag")
            << u"domains"_s << QJsonValue(QJsonArray{QJsonObject{{"id"_L1, "d"_L1}, {"url"_L1, "u"_L1}}});
        QTest::newRow("domain flag as text")
            << u"domains"_s
            << QJsonValue(QJsonArray{QJsonObject{{"id"_L1, "d"_L1}, {"url"_L1, "u"_L1}, {"isStaging"_L1, "no"_L1}}});
    }

    void oneBadRowFailsTheReply()
    {
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        const QJsonArray reply{cloudRow(), with(cloudRow(), key, value), cloudRow()};
        QString error;
        QVERIFY(!ScheduleCloudRow::listFromJson(reply, &error));
        QVERIFY2(error.startsWith(u"\"row 1."_s + key), qPrintable(error));
    }

    void replyMustBeAnArrayOfObjects()
    {
        QVERIFY(!ScheduleCloudRow::listFromJson(cloudRow()));
        QVERIFY(!ScheduleCloudRow::listFromJson(QJsonArray{cloudRow(), 3}));
        QCOMPARE(ScheduleCloudRow::listFromJson(QJsonArray()), QList<ScheduleCloudRow>());
    }

    void historyStatuses_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<PublishRecord::Outcome>("outcome");
        QTest::newRow("published") << u"published"_s << PublishRecord::Outcome::Published;
        QTest::newRow("skipped_drift") << u"skipped_drift"_s << PublishRecord::Outcome::SkippedDrift;
        QTest::newRow("skipped_targets_changed") << u"skipped_targets_changed"_s
                                                 << PublishRecord::Outcome::SkippedTargetsChanged;
        QTest::newRow("failed") << u"failed"_s << PublishRecord::Outcome::Failed;
        QTest::newRow("unlisted") << u"expired"_s << PublishRecord::Outcome::Failed;
        QTest::newRow("letter case") << u"Published"_s << PublishRecord::Outcome::Failed;
        QTest::newRow("empty") << u""_s << PublishRecord::Outcome::Failed;
    }

    void historyStatuses()
    {
        QFETCH(QString, status);
        QFETCH(PublishRecord::Outcome, outcome);
        const auto rows = PublishHistoryRow::listFromJson(QJsonArray{historyRow(status)});
        QVERIFY(rows);
        const PublishRecord record = rows->first().asPublishRecord();
        QCOMPARE(record.outcome, outcome);
        const PublishRecord expected{QUuid::fromString(scheduleID), u"Acme"_s, at(9, 30), u"Europe/Berlin"_s,
                                     {{u"d1"_s, u"https://d1.com"_s, false}}, outcome,
                                     QDateTime(at(9, 31).addMSecs(2500)), std::nullopt};
        QCOMPARE(record, expected);
    }

    void historyOptionals()
    {
        QJsonObject row = with(historyRow(u"failed"_s), u"completed_at"_s, QJsonValue(QJsonValue::Undefined));
        row.insert("failure"_L1, "Webflow answered 500."_L1);
        const auto decoded = PublishHistoryRow::fromJson(row);
        QVERIFY(decoded);
        QVERIFY(!decoded->asPublishRecord().completedAt);
        QCOMPARE(decoded->asPublishRecord().failure, u"Webflow answered 500."_s);

        QVERIFY(!PublishHistoryRow::fromJson(with(row, u"failure"_s, 12)));
        QVERIFY(!PublishHistoryRow::listFromJson(
            QJsonArray{historyRow(u"published"_s), with(historyRow(u"failed"_s), u"status"_s, QJsonValue::Null)}));
    }

    void eventRows()
    {
        const auto rows = PublishEventRow::listFromJson(QJsonArray{eventRow()});
        QVERIFY(rows);
        const PublishAttention expected{QUuid::fromString(userID), u"publish_failed"_s,
                                        u"Acme could not be published."_s, at(9, 31)};
        QCOMPARE(rows->first().asPublishAttention(), expected);

        QString error;
        QVERIFY(!PublishEventRow::listFromJson(QJsonArray{eventRow(), with(eventRow(), u"message"_s, QJsonValue::Null)},
                                               &error));
        QCOMPARE(error, u"\"row 1.message\" is missing"_s);
    }

    void replaceParams()
    {
        ScheduledPublish draft = schedule(u"site-a"_s, at(9, 30).addMSecs(5), QUuid::fromString(scheduleID));
        draft.cloudStatus = u"scheduled"_s;
        const QJsonObject withoutBaseline = ReplaceParams{draft, QUuid::fromString(userID)}.toJson();
        const QJsonObject expected{
            {"p_id"_L1, scheduleID.toUpper()},
            {"p_user"_L1, userID.toUpper()},
            {"p_connection_name"_L1, "webflow-acme"_L1},
            {"p_site_id"_L1, "site-a"_L1},
            {"p_site_name"_L1, "Site site-a"_L1},
            {"p_publish_at"_L1, "2026-03-08T09:30:00.005Z"_L1},
            {"p_time_zone"_L1, "Europe/Berlin"_L1},
            {"p_domains"_L1, QJsonArray{QJsonObject{{"id"_L1, "d-site-a"_L1}, {"url"_L1, "https://site-a.com"_L1},
                                                    {"isStaging"_L1, false}}}},
            {"p_skip_if_changed"_L1, false},
        };
        QCOMPARE(withoutBaseline, expected);

        draft.skipIfChanged = true;
        draft.baselineLastUpdated = at(8);
        const QJsonObject withBaseline = ReplaceParams{draft, QUuid::fromString(userID)}.toJson();
        QCOMPARE(withBaseline.value("p_baseline_last_updated"_L1).toString(), u"2026-03-08T08:00:00.000Z"_s);
        QCOMPARE(withBaseline.value("p_skip_if_changed"_L1), QJsonValue(true));
    }

    void cancelReply_data()
    {
        QTest::addColumn<QJsonObject>("reply");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<bool>("hasRequestedID");
        QTest::addColumn<bool>("hasCurrent");
        QTest::newRow("verdict only") << QJsonObject{{"verdict"_L1, "cancelled"_L1}} << true << false << false;
        QTest::newRow("nulls") << QJsonObject{{"verdict"_L1, "cancelled"_L1}, {"requested_id"_L1, QJsonValue::Null},
                                              {"current_schedule"_L1, QJsonValue::Null}}
                               << true << false << false;
        QTest::newRow("superseded") << QJsonObject{{"verdict"_L1, "superseded"_L1}, {"requested_id"_L1, scheduleID},
                                                   {"current_schedule"_L1, cloudRow()}}
                                    << true << true << true;
        QTest::newRow("unlisted verdict") << QJsonObject{{"verdict"_L1, "Cancelled"_L1}} << true << false << false;
        QTest::newRow("no verdict") << QJsonObject{{"requested_id"_L1, scheduleID}} << false << false << false;
        QTest::newRow("verdict as bool") << QJsonObject{{"verdict"_L1, true}} << false << false << false;
        QTest::newRow("requested id as number")
            << QJsonObject{{"verdict"_L1, "cancelled"_L1}, {"requested_id"_L1, 7}} << false << false << false;
        QTest::newRow("bad current schedule")
            << QJsonObject{{"verdict"_L1, "superseded"_L1},
                           {"current_schedule"_L1, with(cloudRow(), u"site_id"_s, QJsonValue::Null)}}
            << false << false << false;
    }

    void cancelReply()
    {
        QFETCH(QJsonObject, reply);
        QFETCH(bool, decodes);
        QFETCH(bool, hasRequestedID);
        QFETCH(bool, hasCurrent);
        const auto result = CancelRPCResult::fromJson(reply);
        QCOMPARE(bool(result), decodes);
        if (!result)
            return;
        QCOMPARE(result->verdict, reply.value("verdict"_L1).toString());
        QCOMPARE(bool(result->requestedID), hasRequestedID);
        if (hasRequestedID)
            QCOMPARE(*result->requestedID, QUuid::fromString(scheduleID));
        QCOMPARE(bool(result->currentSchedule), hasCurrent);
        if (hasCurrent)
            QCOMPARE(result->currentSchedule->siteId, u"site-a"_s);
    }

    void beginRemovalReply()
    {
        const auto granted = BeginProjectRemovalResponse::fromJson(
            QJsonObject{{"verdict"_L1, "cancelled"_L1}, {"lease_id"_L1, userID}});
        QVERIFY(granted);
        QCOMPARE(granted->leaseID, QUuid::fromString(userID));
        const auto bare = BeginProjectRemovalResponse::fromJson(
            QJsonObject{{"verdict"_L1, "absent"_L1}, {"lease_id"_L1, QJsonValue::Null}});
        QVERIFY(bare);
        QVERIFY(!bare->leaseID);
        QVERIFY(!BeginProjectRemovalResponse::fromJson(QJsonObject{{"lease_id"_L1, userID}}));
        QVERIFY(!BeginProjectRemovalResponse::fromJson(QJsonArray()));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleWireRows)
#include "tst_ScheduleWireRows.moc"
