// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/PageStatusRowState.h"

#include "support/StoreTesting.h"

#include <QSignalSpy>
#include <QTest>

using Detail = PageStatusRowState::Detail;
using Header = PageStatusRowState::Header;
using Phase = PageStatusPhase;
using OptionalState = std::optional<PageStatusSiteState>;
using OptionalText = std::optional<QString>;

Q_DECLARE_METATYPE(Detail)
Q_DECLARE_METATYPE(Header)
Q_DECLARE_METATYPE(OptionalState)
Q_DECLARE_METATYPE(OptionalText)
Q_DECLARE_METATYPE(Phase)

namespace {

PageStatusSiteState state(Phase phase, bool desired, std::optional<QString> code = std::nullopt)
{
    PageStatusSiteState site;
    site.siteId = QStringLiteral("site-1");
    site.phase = phase;
    site.desiredEnabled = desired;
    site.queuedCount = 3;
    site.stagedCount = 0;
    site.attentionCode = std::move(code);
    return site;
}

SiteRecord record(const QString &id, const QStringList &connections)
{
    SiteRecord site;
    site.id = id;
    site.name = id;
    site.connections = connections;
    return site;
}

} // namespace

// What a Page Status row shows: the site it reads, its detail, its header controls and its texts.
class tst_PageStatusRowState : public QObject
{
    Q_OBJECT

private slots:
    void siteId_data()
    {
        QTest::addColumn<OptionalText>("projectSiteId");
        QTest::addColumn<OptionalText>("expected");
        QTest::newRow("bound and known") << OptionalText("b") << OptionalText("b");
        QTest::newRow("bound but unknown to the directory") << OptionalText("zz") << OptionalText("zz");
        QTest::newRow("unbound: the first site listing the server") << OptionalText() << OptionalText("b");
    }

    void siteId()
    {
        QFETCH(OptionalText, projectSiteId);
        QFETCH(OptionalText, expected);
        const QList<SiteRecord> sites = {record("a", {"webflow-other"}), record("b", {"webflow-acme"}),
                                         record("c", {"webflow-acme"})};
        QCOMPARE(PageStatusRowState::siteId(projectSiteId, QStringLiteral("webflow-acme"), sites), expected);
        // A server no site lists, without a bound id, has no site.
        QCOMPARE(PageStatusRowState::siteId(std::nullopt, QStringLiteral("webflow-none"), sites), OptionalText());
    }

    void detail_data()
    {
        QTest::addColumn<OptionalState>("siteState");
        QTest::addColumn<Detail>("expected");
        QTest::newRow("no state") << OptionalState() << Detail::None;
        for (const Phase phase : {Phase::Observing, Phase::Active, Phase::Paused}) {
            const QByteArray name = QByteArray::number(int(phase));
            QTest::newRow("operating " + name) << OptionalState(state(phase, true)) << Detail::Counts;
            QTest::newRow("not wanted " + name) << OptionalState(state(phase, false)) << Detail::None;
        }
        QTest::newRow("authorizing") << OptionalState(state(Phase::Authorizing, true)) << Detail::AuthorizationNote;
        QTest::newRow("disabling") << OptionalState(state(Phase::Disabling, false)) << Detail::RemovalNote;
        QTest::newRow("credential revoked, wanted")
            << OptionalState(state(Phase::Attention, true, "credential_revoked")) << Detail::AccessEnded;
        QTest::newRow("credential revoked, not wanted")
            << OptionalState(state(Phase::Attention, false, "credential_revoked")) << Detail::AccessEnded;
        QTest::newRow("code in other letter case")
            << OptionalState(state(Phase::Attention, true, "Credential_Revoked")) << Detail::VerificationWarning;
        QTest::newRow("other code") << OptionalState(state(Phase::Attention, true, "drift")) << Detail::VerificationWarning;
        QTest::newRow("attention without code") << OptionalState(state(Phase::Attention, true)) << Detail::VerificationWarning;
    }

    void detail()
    {
        QFETCH(OptionalState, siteState);
        QFETCH(Detail, expected);
        QCOMPARE(PageStatusRowState::detail(siteState), expected);
    }

    void header_data()
    {
        QTest::addColumn<OptionalState>("siteState");
        QTest::addColumn<bool>("isChecking");
        QTest::addColumn<bool>("hasLoadedOnce");
        QTest::addColumn<OptionalText>("lastError");
        QTest::addColumn<Header>("expected");

        const OptionalText none;
        QTest::newRow("no state, settled") << OptionalState() << false << true << none << Header{false, false, true};
        QTest::newRow("no state, first load") << OptionalState() << true << false << none << Header{true, false, false};
        QTest::newRow("no state, checking again") << OptionalState() << true << true << none << Header{false, false, true};
        QTest::newRow("no state, error") << OptionalState() << false << true << OptionalText("Offline") << Header{false, false, false};
        QTest::newRow("no state, empty error still unsettles")
            << OptionalState() << false << true << OptionalText("") << Header{false, false, false};
        QTest::newRow("authorizing: always progress")
            << OptionalState(state(Phase::Authorizing, true)) << false << true << none << Header{true, true, true};
        QTest::newRow("authorizing with error")
            << OptionalState(state(Phase::Authorizing, true)) << false << true << OptionalText("x") << Header{true, true, false};
        QTest::newRow("disabling: progress, on, always disabled")
            << OptionalState(state(Phase::Disabling, false)) << false << true << none << Header{true, true, false};
        QTest::newRow("active, settled") << OptionalState(state(Phase::Active, true)) << false << true << none << Header{false, true, true};
        QTest::newRow("active not wanted still shows on")
            << OptionalState(state(Phase::Active, false)) << false << true << none << Header{false, true, true};
        QTest::newRow("attention, first load")
            << OptionalState(state(Phase::Attention, true)) << true << false << none << Header{true, true, false};
    }

    void header()
    {
        QFETCH(OptionalState, siteState);
        QFETCH(bool, isChecking);
        QFETCH(bool, hasLoadedOnce);
        QFETCH(OptionalText, lastError);
        QFETCH(Header, expected);
        const Header header = PageStatusRowState::header(siteState, isChecking, hasLoadedOnce, lastError);
        QCOMPARE(header.showsProgress, expected.showsProgress);
        QCOMPARE(header.switchOn, expected.switchOn);
        QCOMPARE(header.switchEnabled, expected.switchEnabled);
    }

    void texts_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<qint64>("secondsAgo"); // negative: no reconciliation time
        QTest::addColumn<QString>("phaseText");
        QTest::newRow("observing") << Phase::Observing << qint64(10) << "Observing";
        QTest::newRow("active without a time") << Phase::Active << qint64(-1) << "Waiting for update";
        QTest::newRow("active just now") << Phase::Active << qint64(59) << "Updated now";
        QTest::newRow("active minutes") << Phase::Active << qint64(300) << "Updated 5m ago";
        QTest::newRow("active hours") << Phase::Active << qint64(7200) << "Updated 2h ago";
        QTest::newRow("active days") << Phase::Active << qint64(3 * 86400) << "Updated 3d ago";
        QTest::newRow("paused") << Phase::Paused << qint64(10) << "Paused for a safe publish";
        QTest::newRow("attention has none") << Phase::Attention << qint64(10) << "";
    }

    void texts()
    {
        QFETCH(Phase, phase);
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, phaseText);
        const QDateTime now(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
        PageStatusSiteState site = state(phase, true);
        if (secondsAgo >= 0)
            site.lastReconciledAt = now.addSecs(-secondsAgo);
        QCOMPARE(PageStatusRowState::phaseText(site, now), phaseText);
    }

    void pillsAndNotes()
    {
        QCOMPARE(PageStatusRowState::pillText(0, QStringLiteral("queued")), QStringLiteral("0 queued"));
        QCOMPARE(PageStatusRowState::pillText(3, QStringLiteral("staged")), QStringLiteral("3 staged"));
        // Millions in full, without grouping, whatever the locale.
        QLocale::setDefault(QLocale(QLocale::German));
        QCOMPARE(PageStatusRowState::pillText(1234567, QStringLiteral("queued")), QStringLiteral("1234567 queued"));
        QLocale::setDefault(QLocale::c());
        QCOMPARE(PageStatusRowState::accessEndedText(true),
                 QStringLiteral("Webflow access ended. Reconnect to resume Page Status."));
        QCOMPARE(PageStatusRowState::accessEndedText(false),
                 QStringLiteral("Webflow access ended before cleanup finished. Reconnect to remove Quorvane’s markers."));
    }

    // The live row finds its project's site through the directory by server name and follows the
    // directory's changes.
    void followsTheStoreAndDirectory()
    {
        StoreFixture fixture;
        SiteDirectory directory(fixture.folder(), fixture.environment());
        PageStatusSiteState operating = state(Phase::Observing, true);
        operating.siteId = QStringLiteral("site-9");
        operating.queuedCount = 12;
        operating.stagedCount = 4;
        PageStatusStore store({operating}, false, true, true);

        PageStatusRowState row;
        row.setStore(&store);
        row.setSiteDirectory(&directory);
        row.setMcpName(QStringLiteral("webflow-acme"));
        QCOMPARE(row.detail(), Detail::None);
        QVERIFY(!row.switchOn());
        QVERIFY(row.switchEnabled());

        QSignalSpy changes(&row, &PageStatusRowState::inputsChanged);
        Connection connection;
        connection.name = QStringLiteral("webflow-acme");
        ConnectionMeta meta;
        meta.sites = QList<SiteRef>{SiteRef{QStringLiteral("Acme"), QStringLiteral("site-9"), std::nullopt}};
        connection.meta = meta;
        QVERIFY(!directory.reconcile({connection}, {}, {}, {}).has_value());
        QVERIFY(!changes.isEmpty());
        QCOMPARE(row.detail(), Detail::Counts);
        QVERIFY(row.switchOn());
        QCOMPARE(row.queuedText(), QStringLiteral("12 queued"));
        QCOMPARE(row.stagedText(), QStringLiteral("4 staged"));
        QCOMPARE(row.phaseText(), QStringLiteral("Observing"));

        // A bound site id wins over the directory's lookup.
        row.setProjectSiteId(QStringLiteral("site-unknown"));
        QCOMPARE(row.detail(), Detail::None);
    }
};

QTEST_MAIN(tst_PageStatusRowState)
#include "tst_PageStatusRowState.moc"
