// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/FakeSchedulingContext.h"
#include "scheduling/PublishHistoryPresenter.h"
#include "scheduling/ScheduleHarness.h"
#include "scheduling/SchedulePublishScreen.h"
#include "schedulingviews/DateTimePickerState.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)

using namespace Qt::StringLiterals;

namespace {

const QTimeZone losAngeles("America/Los_Angeles");

QDateTime la(int day, int hour, int minute)
{
    return QDateTime(QDate(2026, 6, day), QTime(hour, minute), losAngeles);
}

SiteRecord site(const QString &id, const QString &name)
{
    SiteRecord record;
    record.id = id;
    record.name = name;
    record.shortName = id;
    return record;
}

/// One engine with the kit's services, one window, and the scene's surroundings.
struct Scene
{
    KitEngine kit;
    ScheduleHarness harness;
    ManualDelay delay;
    FakeSchedulingContext context;
    ScheduleStore &store{harness.makeStore()};
    SchedulePublishScreen screen{store, context, delay.delay()};
    PublishHistoryPresenter history{store, QLocale(u"en_US"_s)};
    // Made last so the scene goes before what it shows.
    ScreenshotWindow shot;

    explicit Scene(KitPalette::Scheme scheme)
        : shot(kit.engine, scheme)
    {

        const SiteRecord acme = site(u"acme"_s, u"Acme Marketing"_s);
        const SiteRecord beta = site(u"beta"_s, u"Beta Shop"_s);
        context.projectList = {{{}, acme}, {{}, beta}};
        context.projectList[0].project.title = u"Acme"_s;
        context.projectList[0].project.mcpName = u"webflow-acme"_s;
        context.projectList[1].project.title = u"Beta"_s;
        context.projectList[1].project.mcpName = u"webflow-beta"_s;
        context.sites.insert(acme.id, acme);
        context.sites.insert(beta.id, beta);
        context.access = {acme.id};
        context.domainMap.insert(acme.id, {{u"d-acme"_s, u"acme.com"_s, false}, {u"staging"_s, u"acme.webflow.io"_s, true}});
    }

    /// Loads @p file of the module with @p properties into the window, @p width wide.
    QQuickItem *load(const QString &file, const QVariantMap &properties, int width = 380, int windowWidth = 0)
    {
        QQuickItem *item = shot.load(QUrl(u"qrc:/Quorvane/Scheduling/"_s + file), properties);
        if (!item) {
            qWarning("%s", qPrintable(shot.errors()));
            return nullptr;
        }
        item->setWidth(width);
        item->setPosition({16, 16});
        if (!shot.show(QSize(std::max(windowWidth, width + 32), 900))) {
            qWarning("%s", qPrintable(shot.errors()));
            return nullptr;
        }
        return item;
    }

    /// Lets the fades end, then saves the window under @p name in the build folder.
    bool shoot(const QString &name, int height)
    {
        QTest::qWait(700);
        shot.window().resize(shot.window().width(), height);
        return shot.save(u"scheduling-"_s + name);
    }

    QQuickWindow &window() { return shot.window(); }
};

/// Every item named @p name in the visual tree under @p root (delegates and loaded content
/// included, which the object tree does not hold).
QList<QQuickItem *> items(QQuickItem *root, const char *name)
{
    QList<QQuickItem *> found;
    for (QQuickItem *item : root->childItems()) {
        if (item->objectName() == QLatin1String(name))
            found.append(item);
        found += items(item, name);
    }
    return found;
}

QQuickItem *child(QQuickItem *root, const char *name)
{
    const QList<QQuickItem *> found = items(root, name);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

// The scheduling views load without a QML warning, behave as their controllers say, and render
// their states in both schemes into the build folder for a person to look at.
class tst_SchedulingGallery : public QObject
{
    Q_OBJECT

    WarningLog m_warnings;

private slots:
    void initTestCase()
    {
        qputenv("TZ", "America/Los_Angeles");
        QLocale::setDefault(QLocale(u"en_US"_s));
    }

    void init() { m_warnings.start(); }

    void cleanup() { m_warnings.stop(); }

    void schemes_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::newRow("light") << KitPalette::Scheme::Light;
        QTest::newRow("dark") << KitPalette::Scheme::Dark;
    }

    void screenWithQueue_data() { schemes_data(); }
    void screenWithQueue()
    {
        QFETCH(KitPalette::Scheme, scheme);
        Scene scene(scheme);
        ScheduledPublish running = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme Marketing"_s, la(4, 9, 0));
        running.cloudStatus = u"publishing"_s;
        ScheduledPublish careful = ScheduleSamples::queuedPublish(u"beta"_s, u"Beta Shop with a rather long site name that cannot fit"_s, la(5, 14, 30));
        careful.skipIfChanged = true;
        scene.store.setSchedules({running, careful});
        scene.store.setCloudState(ScheduleStore::CloudState::Cloud);
        scene.store.setAttention({{QUuid::createUuid(), u"failed"_s, u"Beta Shop didn't publish: the site is locked."_s, la(3, 8, 0)}});
        scene.store.setSyncError(u"Couldn't reach the cloud. Check your connection."_s);
        QQuickItem *view = scene.load(u"SchedulePublishView.qml"_s, {{u"screen"_s, QVariant::fromValue<QObject *>(&scene.screen)}});
        QVERIFY2(view, qPrintable(m_warnings.text()));
        QVERIFY(child(view, "attentionBanner")->isVisible());
        QVERIFY(child(view, "syncBanner")->isVisible());
        QVERIFY(!child(view, "cacheBanner")->isVisible());
        // The card of the site without access warns; the running card does not (it has access).
        const QList<QQuickItem *> warnings = items(view, "missingAccessWarning");
        QCOMPARE(warnings.size(), 2);
        QCOMPARE(std::count_if(warnings.cbegin(), warnings.cend(), [](QQuickItem *w) { return w->isVisible(); }), 1);
        QVERIFY2(scene.shoot(u"queue"_s, 720), qPrintable(scene.shot.errors()));
        // The running card locks its controls; the other's trash asks to cancel its publish.
        const QList<QQuickItem *> trash = items(view, "trashButton");
        QCOMPARE(trash.size(), 2);
        QVERIFY(!trash[0]->isEnabled());
        QVERIFY(trash[1]->isEnabled());
        const QPoint centre = trash[1]->mapToScene({trash[1]->width() / 2, trash[1]->height() / 2}).toPoint();
        QTest::mouseClick(&scene.window(), Qt::LeftButton, {}, centre);
        QTRY_COMPARE(scene.context.presented.size(), 1);
        QCOMPARE(scene.context.presented.last().title, u"Cancel this publish?"_s);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    void screenWithForm_data() { schemes_data(); }
    void screenWithForm()
    {
        QFETCH(KitPalette::Scheme, scheme);
        Scene scene(scheme);
        const ScheduledPublish acme = ScheduleSamples::queuedPublish(u"acme"_s, u"Acme Marketing"_s, la(6, 9, 0));
        scene.store.setSchedules({acme, ScheduleSamples::queuedPublish(u"beta"_s, u"Beta Shop"_s, la(7, 9, 0))});
        scene.context.finalOutcome = ScheduleOperationOutcome::ambiguous();
        QQuickItem *view = scene.load(u"SchedulePublishView.qml"_s, {{u"screen"_s, QVariant::fromValue<QObject *>(&scene.screen)}});
        QVERIFY2(view, qPrintable(m_warnings.text()));
        scene.screen.beginReschedule(acme.id.toString(QUuid::WithoutBraces));
        scene.screen.form()->confirmSchedule();
        scene.context.confirmLatest();
        QVERIFY(scene.screen.form()->errorCanRefresh());
        QTRY_VERIFY(child(view, "formTitle"));
        QCOMPARE(child(view, "formTitle")->property("text").toString(),
                 u"Scheduling a Publish of Acme Marketing to production on Jun 6, 9:00 AM, PDT"_s);
        QVERIFY(child(view, "holdNotice")->implicitHeight() > 0 || scene.screen.holdNoticePresented());
        QVERIFY(child(view, "errorCard")->isVisible());
        QVERIFY(!child(view, "sitePill")->isEnabled());
        QVERIFY(child(view, "submitButton")->isEnabled());
        QVERIFY2(scene.shoot(u"form"_s, 900), qPrintable(scene.shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    void picker_data() { schemes_data(); }
    void picker()
    {
        QFETCH(KitPalette::Scheme, scheme);
        Scene scene(scheme);
        QQuickItem *pill = scene.load(u"DateTimePillPicker.qml"_s,
                                      {{u"date"_s, la(3, 11, 5)}, {u"minimumDate"_s, la(3, 10, 0)}}, 200, 520);
        QVERIFY2(pill, qPrintable(m_warnings.text()));
        pill->setX(260);
        auto *state = pill->property("state").value<DateTimePickerState *>();
        QVERIFY(state);
        state->setEnvironment(losAngeles, QLocale(u"en_US"_s), [] { return la(3, 10, 0); });
        QSignalSpy commits(pill, SIGNAL(committed(QDateTime)));
        QVERIFY(QTest::qWaitForWindowExposed(&scene.window()));
        const QPoint centre = pill->mapToScene({pill->width() / 2, pill->height() / 2}).toPoint();
        QTest::mouseClick(&scene.window(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY(state->isOpen());
        state->pickDay(2026, 5, 12);
        QVERIFY2(scene.shoot(u"picker"_s, 420), qPrintable(scene.shot.errors()));
        // A second press on the pill closes the popover and commits what it shows.
        QTest::mouseClick(&scene.window(), Qt::LeftButton, {}, centre);
        QTRY_VERIFY(!state->isOpen());
        QCOMPARE(commits.size(), 1);
        QCOMPARE(state->date(), la(12, 11, 5));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    void history_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::addColumn<QString>("state");
        for (const auto &[scheme, name] : {std::pair(KitPalette::Scheme::Light, "light"), std::pair(KitPalette::Scheme::Dark, "dark")}) {
            for (const char *state : {"cards", "loading", "empty", "failed"})
                QTest::addRow("%s, %s", state, name) << scheme << QString::fromLatin1(state);
        }
    }

    void history()
    {
        QFETCH(KitPalette::Scheme, scheme);
        QFETCH(QString, state);
        Scene scene(scheme);
        const QUuid focused = QUuid::createUuid();
        scene.store.setOutcomeInbox({{focused, u"failed"_s, u"Beta Shop didn't publish: the site is locked."_s, la(3, 8, 0)}});
        scene.history.setFocusedEventID(focused);
        QQuickItem *view = scene.load(u"PublishHistoryView.qml"_s, {{u"presenter"_s, QVariant::fromValue<QObject *>(&scene.history)}});
        QVERIFY2(view, qPrintable(m_warnings.text()));
        // Without a client the load fails at once with the store's sentence.
        QCOMPARE(scene.store.historyState(), ScheduleStore::HistoryState::Failed);
        if (state == u"cards"_s) {
            PublishRecord published{QUuid::createUuid(), u"Acme Marketing"_s, la(2, 9, 0), u"America/Los_Angeles"_s,
                                    {{u"d"_s, u"acme.com"_s, false}}, PublishRecord::Outcome::Published, la(2, 9, 1),
                                    u"ignored for a publish that went out"_s};
            PublishRecord failed{QUuid::createUuid(), u"Beta Shop"_s, la(1, 17, 30), u"Nowhere/Atlantis"_s,
                                 {{u"d"_s, u"beta.com"_s, false}, {u"s"_s, u"beta.webflow.io"_s, true}},
                                 PublishRecord::Outcome::Failed, la(1, 17, 31), u"The site is locked by another editor."_s};
            PublishRecord skipped{QUuid::createUuid(), u"Gamma"_s, la(1, 8, 0), u"America/Los_Angeles"_s, {},
                                  PublishRecord::Outcome::SkippedDrift, std::nullopt, std::nullopt};
            scene.store.setHistory({published, failed, skipped});
        } else if (state == u"loading"_s) {
            scene.store.setHistoryLoadState(ScheduleStore::HistoryLoadState::loading());
        } else if (state == u"empty"_s) {
            scene.store.setHistoryLoadState(ScheduleStore::HistoryLoadState::loaded());
        }
        QCOMPARE(scene.history.contentName(), state);
        QVERIFY(child(view, "focusedOutcome")->isVisible());
        QCOMPARE(child(view, "loadingIndicator")->isVisible(), state == u"loading"_s);
        QCOMPARE(child(view, "emptyNote")->isVisible(), state == u"empty"_s);
        QCOMPARE(child(view, "failure")->isVisible(), state == u"failed"_s);
        if (state == u"failed"_s) {
            QCOMPARE(scene.history.failureMessage(), u"Sign in and connect to the cloud to load publish history."_s);
            // Try Again reads again.
            scene.store.setHistoryLoadState(ScheduleStore::HistoryLoadState::loading());
            QVERIFY(QMetaObject::invokeMethod(child(view, "tryAgain"), "clicked"));
            QCOMPARE(scene.history.contentName(), u"failed"_s);
        }
        QVERIFY2(scene.shoot(u"history-"_s + state, state == u"cards"_s ? 560 : 320), qPrintable(scene.shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_SchedulingGallery)
#include "tst_SchedulingGallery.moc"
