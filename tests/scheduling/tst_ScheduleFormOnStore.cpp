// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ScheduleHarness.h"
#include "scheduling/ScheduleFormController.h"
#include "scheduling/StoreSchedulingContext.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

/// The store half is real; the owner's half holds one site with publishing access.
class OneSiteContext final : public StoreSchedulingContext
{
public:
    using StoreSchedulingContext::StoreSchedulingContext;

    SiteRecord acme = [] {
        SiteRecord site;
        site.id = u"acme"_s;
        site.name = u"Acme"_s;
        site.shortName = u"acme"_s;
        return site;
    }();
    QList<ConfirmRequest> presented;

    QList<ProjectSite> projects() const override
    {
        Project project;
        project.title = u"Acme"_s;
        project.mcpName = u"webflow-acme"_s;
        return {{project, acme}};
    }
    std::optional<SiteRecord> site(const QString &siteID) const override
    {
        return siteID == acme.id ? std::optional(acme) : std::nullopt;
    }
    bool hasPublishingAccess(const QString &siteID) const override { return siteID == acme.id; }
    bool publishingAccessSettled() const override { return true; }
    bool hasOAuthRecoveryAttempts() const override { return false; }
    QList<PublishDomain> publishDomains(const QString &) const override { return {}; }
    AccountModel::SessionKind cloudSession() const override { return AccountModel::SessionKind::SignedOut; }
    bool hasAccountProfile() const override { return false; }
    bool cloudBannerDismissed() const override { return false; }
    void dismissCloudBanner() override {}
    QCoro::Task<std::optional<QDateTime>> fetchSiteLastUpdated(QString) override { co_return std::nullopt; }
    void present(ConfirmRequest request) override { presented.append(std::move(request)); }
    bool refuseWhileRevocationPending(const std::optional<QString> &, const QString &,
                                      const std::optional<QString> &) override
    {
        return false;
    }
    void connectPublishing(PublishConnectRequest) override {}
    void offerWebflowConnectionReset() override {}
    QCoro::Task<> verifyScope(QString) override { co_return; }
    void requestSignIn(const QString &, std::function<void()>) override {}
};

} // namespace

// The schedule form over the real schedule store: what the store settles is what the form shows.
class tst_ScheduleFormOnStore : public QObject
{
    Q_OBJECT

private slots:
    void submission_data()
    {
        QTest::addColumn<bool>("localOnly");
        QTest::addColumn<bool>("closes");
        QTest::newRow("a local store keeps it and the form closes") << true << true;
        QTest::newRow("a store without the cloud refuses in its own words") << false << false;
    }

    void submission()
    {
        QFETCH(bool, localOnly);
        QFETCH(bool, closes);
        ScheduleHarness harness;
        ScheduleStore &store = harness.makeStore(localOnly);
        OneSiteContext context(store, harness.files.clock);
        ScheduleFormController form(context);
        form.setShowingForm(true);
        form.chooseSiteMenuItem(0);
        // No stored domains: the staging address comes from the site's short name.
        QCOMPARE(form.targets(), (QList<PublishDomain>{{u"staging"_s, u"acme.webflow.io"_s, true}}));
        form.confirmSchedule();
        QCOMPARE(context.presented.size(), 1);
        context.presented.first().action();
        QTRY_VERIFY(!form.submissionInProgress());
        QCOMPARE(form.showingForm(), !closes);
        if (closes) {
            QCOMPARE(store.schedules().size(), 1);
            QCOMPARE(store.schedules().first().siteId, u"acme"_s);
            QCOMPARE(store.schedules().first().connectionName, u"webflow-acme"_s);
            // The site is now taken in the menu.
            QCOMPARE(form.siteMenuItems().first().title, u"Acme · scheduled"_s);
        } else {
            QVERIFY(store.schedules().isEmpty());
            QCOMPARE(form.errorHeading(), u"Publish not scheduled"_s);
            QCOMPARE(form.errorMessage(), u"Couldn't save because cloud scheduling has not initialized. Nothing was scheduled."_s);
            QVERIFY(!form.errorCanRefresh());
        }
    }
};

QTEST_GUILESS_MAIN(tst_ScheduleFormOnStore)
#include "tst_ScheduleFormOnStore.moc"
