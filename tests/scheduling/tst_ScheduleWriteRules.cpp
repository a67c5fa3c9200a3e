// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleRefusals.h"
#include "ScheduleSamples.h"
#include "foundation/BackendTimestamp.h"
#include "scheduling/ReplaceParams.h"
#include "scheduling/ScheduleWriteRules.h"

#include <QJsonArray>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using namespace ScheduleSamples;
using namespace ScheduleWriteRules;

namespace {

const QUuid kUser = QUuid::fromString(u"3f2b8c1e-5d4a-4e8f-9a7b-1c2d3e4f5a6b"_s);

ScheduledPublish paranoidDraft()
{
    ScheduledPublish draft = schedule(u"site-1"_s, at(9, 30));
    draft.skipIfChanged = true;
    draft.baselineLastUpdated = at(8).addMSecs(250);
    draft.domains = {{u"d1"_s, u"https://a.com"_s, false}, {u"d2"_s, u"https://a.webflow.io"_s, true}};
    return draft;
}

// The row the server answers for the draft when it saved exactly that.
ScheduleCloudRow echo(const ScheduledPublish &draft)
{
    return {draft.id,          kUser,        draft.connectionName, draft.siteId,
            draft.siteName,    draft.publishAt, draft.timeZoneID,  draft.domains,
            draft.skipIfChanged, draft.baselineLastUpdated, u"scheduled"_s, at(7)};
}

using RowChange = std::function<void(ScheduleCloudRow &, ScheduledPublish &)>;

CancelRPCResult reply(const QString &verdict, const std::optional<QUuid> &requested,
                      const std::optional<ScheduleCloudRow> &current = std::nullopt)
{
    return {verdict, requested, current};
}

} // namespace

Q_DECLARE_METATYPE(RowChange)
Q_DECLARE_METATYPE(CancellationOutcome)
Q_DECLARE_METATYPE(CancelRPCResult)
Q_DECLARE_METATYPE(ScheduleWriteRules::RemovalVerdict)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<QDateTime>)

class tst_ScheduleWriteRules : public QObject
{
    Q_OBJECT

private slots:
    void canonicalSchedule_data()
    {
        QTest::addColumn<RowChange>("change");
        QTest::addColumn<bool>("canonical");

        const auto row = [](auto edit) { return RowChange([edit](ScheduleCloudRow &r, ScheduledPublish &) { edit(r); }); };
        QTest::newRow("the exact echo") << row([](ScheduleCloudRow &) {}) << true;
        QTest::newRow("another id") << row([](ScheduleCloudRow &r) { r.id = QUuid::createUuid(); }) << false;
        QTest::newRow("another user") << row([](ScheduleCloudRow &r) { r.userID = QUuid::createUuid(); }) << false;
        QTest::newRow("another site") << row([](ScheduleCloudRow &r) { r.siteId = u"site-2"_s; }) << false;
        QTest::newRow("site id in another case") << row([](ScheduleCloudRow &r) { r.siteId = u"SITE-1"_s; }) << false;
        QTest::newRow("another connection") << row([](ScheduleCloudRow &r) { r.connectionName = u"webflow-x"_s; }) << false;
        QTest::newRow("status publishing") << row([](ScheduleCloudRow &r) { r.status = u"publishing"_s; }) << false;
        QTest::newRow("status Scheduled") << row([](ScheduleCloudRow &r) { r.status = u"Scheduled"_s; }) << false;
        QTest::newRow("publish time under a millisecond off")
            << RowChange([](ScheduleCloudRow &r, ScheduledPublish &d) {
                   // The backend's extra digits are dropped when read: 0.0005 s reads as equal.
                   r.publishAt = BackendTimestamp::parse(u"2026-03-08T09:30:00.0005+00:00");
                   d.publishAt = at(9, 30);
               })
            << true;
        QTest::newRow("publish time a millisecond off") << row([](ScheduleCloudRow &r) { r.publishAt = r.publishAt.addMSecs(1); }) << false;
        QTest::newRow("another zone") << row([](ScheduleCloudRow &r) { r.timeZoneID = u"UTC"_s; }) << false;
        QTest::newRow("skip flag differs") << row([](ScheduleCloudRow &r) { r.skipIfChanged = false; }) << false;
        QTest::newRow("a target missing") << row([](ScheduleCloudRow &r) { r.domains.removeLast(); }) << false;
        QTest::newRow("targets reordered") << row([](ScheduleCloudRow &r) { std::swap(r.domains[0], r.domains[1]); }) << true;
        QTest::newRow("target url and staging flag not compared") << row([](ScheduleCloudRow &r) {
            r.domains[0].url = u"https://other.com"_s;
            r.domains[0].isStaging = true;
        }) << true;
        QTest::newRow("one target twice") << RowChange([](ScheduleCloudRow &r, ScheduledPublish &d) {
            d.domains.append({u"d1"_s, u"https://a.com"_s, false});
            r.domains = {d.domains[0], d.domains[1], d.domains[1]};
        }) << false;
        QTest::newRow("target without url") << row([](ScheduleCloudRow &r) { r.domains[1].url.clear(); }) << false;
        QTest::newRow("target without id") << RowChange([](ScheduleCloudRow &r, ScheduledPublish &d) {
            r.domains[0].id.clear();
            d.domains[0].id.clear();
        }) << false;
        QTest::newRow("no targets on both sides") << RowChange([](ScheduleCloudRow &r, ScheduledPublish &d) {
            r.domains.clear();
            d.domains.clear();
        }) << false;
        const auto targets = [](int count) {
            return RowChange([count](ScheduleCloudRow &r, ScheduledPublish &d) {
                d.domains.clear();
                for (int i = 0; i < count; ++i)
                    d.domains.append({u"d%1"_s.arg(i), u"https://%1.com"_s.arg(i), false});
                r.domains = d.domains;
            });
        };
        QTest::newRow("25 targets") << targets(25) << true;
        QTest::newRow("26 targets on both sides") << targets(26) << false;
        QTest::newRow("another site name kept") << row([](ScheduleCloudRow &r) { r.siteName = u"Renamed"_s; }) << true;
        QTest::newRow("empty site name") << row([](ScheduleCloudRow &r) { r.siteName.clear(); }) << false;
        QTest::newRow("paranoid without baseline in the row")
            << row([](ScheduleCloudRow &r) { r.baselineLastUpdated.reset(); }) << false;
        QTest::newRow("paranoid baseline a millisecond off")
            << row([](ScheduleCloudRow &r) { r.baselineLastUpdated = r.baselineLastUpdated->addMSecs(1); }) << false;
        QTest::newRow("baselines differ without the skip flag") << RowChange([](ScheduleCloudRow &r, ScheduledPublish &d) {
            d.skipIfChanged = r.skipIfChanged = false;
            r.baselineLastUpdated = at(1);
        }) << true;
    }

    void canonicalSchedule()
    {
        QFETCH(RowChange, change);
        QFETCH(bool, canonical);
        ScheduledPublish draft = paranoidDraft();
        ScheduleCloudRow row = echo(draft);
        change(row, draft);
        const std::optional<ScheduledPublish> answer = ScheduleWriteRules::canonicalSchedule(row, draft, kUser);
        QCOMPARE(answer.has_value(), canonical);
        if (canonical) {
            // What is kept is the row: its name, its targets' order, its creation time.
            QCOMPARE(*answer, row.asScheduledPublish());
            QCOMPARE(answer->cloudStatus, u"scheduled"_s);
        }
    }

    void userMessageForScheduleError_data()
    {
        QTest::addColumn<QString>("error");
        QTest::addColumn<std::optional<QString>>("sentence");

        const QList<std::pair<QString, QString>> table = replaceRefusals();
        const QString targets = table.at(6).second;
        for (const auto &[needle, sentence] : table)
            QTest::addRow("%s", qPrintable(needle)) << u"P0001: "_s + needle + u" (site-1)"_s << std::optional(sentence);
        QTest::newRow("first needle wins") << u"duplicate publish target; invalid schedule identity"_s
                                           << std::optional(targets);
        QTest::newRow("case counts") << u"Too many scheduled publishes"_s << std::optional<QString>();
        QTest::newRow("unknown text") << u"connection reset by peer"_s << std::optional<QString>();
    }

    void userMessageForScheduleError()
    {
        QFETCH(QString, error);
        QFETCH(std::optional<QString>, sentence);
        QCOMPARE(ScheduleWriteRules::userMessageForScheduleError(error), sentence);
    }

    void replaceParams_data()
    {
        QTest::addColumn<std::optional<QDateTime>>("baseline");
        QTest::addColumn<QJsonValue>("written");
        QTest::newRow("no baseline: no key") << std::optional<QDateTime>() << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("baseline with milliseconds and Z")
            << std::optional(at(8).addMSecs(7)) << QJsonValue(u"2026-03-08T08:00:00.007Z"_s);
    }

    void replaceParams()
    {
        QFETCH(std::optional<QDateTime>, baseline);
        QFETCH(QJsonValue, written);
        ScheduledPublish draft = paranoidDraft();
        draft.baselineLastUpdated = baseline;
        const QJsonObject params = ReplaceParams{draft, kUser}.toJson();
        QCOMPARE(params.value("p_baseline_last_updated"_L1), written);
        QCOMPARE(params.value("p_publish_at"_L1).toString(), u"2026-03-08T09:30:00.000Z"_s);
        QCOMPARE(params.value("p_user"_L1).toString(), u"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B"_s);
        QCOMPARE(params.size(), baseline ? 10 : 9);
    }

    void cancellationOutcome_data()
    {
        QTest::addColumn<CancelRPCResult>("reply");
        QTest::addColumn<CancellationOutcome>("outcome");

        const QUuid id = QUuid::fromString(u"11111111-2222-4333-8444-555555555555"_s);
        const ScheduledPublish newer = schedule(u"site-1"_s, at(11));
        ScheduleCloudRow current = echo(newer);
        QTest::newRow("cancelled") << reply(u"cancelled"_s, id) << CancellationOutcome::cancelled();
        QTest::newRow("already terminal") << reply(u"already_terminal"_s, id) << CancellationOutcome::absent();
        QTest::newRow("publishing") << reply(u"publishing"_s, id) << CancellationOutcome::publishing();
        QTest::newRow("superseded with the newer row")
            << reply(u"superseded"_s, id, current) << CancellationOutcome::superseded(current.asScheduledPublish());
        QTest::newRow("superseded without a row") << reply(u"superseded"_s, id) << CancellationOutcome::unknown();
        QTest::newRow("Cancelled") << reply(u"Cancelled"_s, id) << CancellationOutcome::unknown();
        QTest::newRow("absent is not a cancel verdict") << reply(u"absent"_s, id) << CancellationOutcome::unknown();
        QTest::newRow("about another schedule")
            << reply(u"cancelled"_s, QUuid::createUuid()) << CancellationOutcome::unknown();
        QTest::newRow("about no schedule") << reply(u"cancelled"_s, std::nullopt) << CancellationOutcome::unknown();
    }

    void cancellationOutcome()
    {
        QFETCH(CancelRPCResult, reply);
        QFETCH(CancellationOutcome, outcome);
        QCOMPARE(ScheduleWriteRules::cancellationOutcome(reply, QUuid::fromString(u"11111111-2222-4333-8444-555555555555"_s)),
                 outcome);
    }

    void removalVerdict_data()
    {
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<ScheduleWriteRules::RemovalVerdict>("expected");

        const QUuid lease = QUuid::fromString(u"aaaaaaaa-bbbb-4ccc-8ddd-eeeeeeeeeeee"_s);
        QTest::newRow("cancelled") << u"cancelled"_s << RemovalVerdict{CancellationOutcome::cancelled(), lease};
        QTest::newRow("absent") << u"absent"_s << RemovalVerdict{CancellationOutcome::absent(), lease};
        QTest::newRow("already terminal") << u"already_terminal"_s << RemovalVerdict{CancellationOutcome::absent(), lease};
        QTest::newRow("publishing drops the lease") << u"publishing"_s << RemovalVerdict{CancellationOutcome::publishing(), {}};
        QTest::newRow("superseded") << u"superseded"_s << RemovalVerdict{};
        QTest::newRow("unknown text") << u"done"_s << RemovalVerdict{};
    }

    void removalVerdict()
    {
        QFETCH(QString, verdict);
        QFETCH(ScheduleWriteRules::RemovalVerdict, expected);
        const QUuid lease = QUuid::fromString(u"aaaaaaaa-bbbb-4ccc-8ddd-eeeeeeeeeeee"_s);
        QCOMPARE(ScheduleWriteRules::removalVerdict({verdict, lease}), expected);
    }

    void removalParams_data()
    {
        QTest::addColumn<std::optional<QString>>("site");
        QTest::addColumn<QStringList>("keys");
        QTest::newRow("no site: no key") << std::optional<QString>() << QStringList{u"p_connection_name"_s, u"p_user"_s};
        QTest::newRow("empty site sent as it is")
            << std::optional(QString()) << QStringList{u"p_connection_name"_s, u"p_site_id"_s, u"p_user"_s};
        QTest::newRow("site") << std::optional(u"site-1"_s)
                              << QStringList{u"p_connection_name"_s, u"p_site_id"_s, u"p_user"_s};
    }

    void removalParams()
    {
        QFETCH(std::optional<QString>, site);
        QFETCH(QStringList, keys);
        const QJsonObject params = beginRemovalParams(kUser, site, u"webflow-acme"_s);
        QCOMPARE(params.keys(), keys);
        if (site)
            QCOMPARE(params.value("p_site_id"_L1).toString(), *site);
        QCOMPARE(finishRemovalParams(kUser, kUser, false),
                 (QJsonObject{{u"p_user"_s, u"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B"_s},
                              {u"p_lease"_s, u"3F2B8C1E-5D4A-4E8F-9A7B-1C2D3E4F5A6B"_s},
                              {u"p_committed"_s, false}}));
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleWriteRules)
#include "tst_ScheduleWriteRules.moc"
