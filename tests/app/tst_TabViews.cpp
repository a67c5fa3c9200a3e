// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelHost.h"
#include "app/PanelState.h"
#include "app/SchedulingTabState.h"
#include "app/TabFixture.h"
#include "kit/KitEnvironment.h"
#include "scheduling/SchedulePublishScreen.h"
#include "scheduling/ScheduleSamples.h"
#include "support/ScreenshotWindow.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using Scheme = KitPalette::Scheme;
using namespace Qt::StringLiterals;

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // The offscreen platform cannot raise a window; the panel host asks it to all the same.
    if (message.startsWith(u"This plugin does not support raise()"_s))
        return;
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

ScheduledPublish queued(const QString &site, const QString &name, int day)
{
    return ScheduleSamples::queuedPublish(site, name,
                                          QDateTime(QDate(2030, 6, day), QTime(9, 0), QTimeZone("America/Los_Angeles")));
}

/// Every item named @p name under @p root in the visual tree (loaded content included).
QList<QQuickItem *> items(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> found;
    for (QQuickItem *item : root->childItems()) {
        if (item->objectName() == name)
            found.append(item);
        found += items(item, name);
    }
    return found;
}

QQuickItem *child(QQuickItem *root, const QString &name)
{
    const QList<QQuickItem *> found = items(root, name);
    return found.isEmpty() ? nullptr : found.first();
}

/// Shown to the user: visible all the way up and not faded out.
bool onScreen(QQuickItem *item)
{
    for (QQuickItem *at = item; at; at = at->parentItem()) {
        if (!at->isVisible() || at->opacity() <= 0.01)
            return false;
    }
    return item != nullptr;
}

} // namespace

// The panel's tabs over a real model in a temporary home: what each
// state shows, the controls' words and what a click does, rendered in both schemes into the build
// folder for a person to look at.
class tst_TabViews : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TabFixture> m_fixture;
    AppModel *m_model = nullptr;
    PanelState *m_panel = nullptr;
    std::unique_ptr<QQmlEngine> m_engine;
    /// The whole panel, a window of its own.
    std::unique_ptr<QQuickWindow> m_window;
    /// One tab, in a window of the tab's size.
    std::unique_ptr<ScreenshotWindow> m_shot;

    void makeFixture(TabFixture::Backend backend)
    {
        // The old home goes first: a temporary home sets the process's home and gives it back.
        m_fixture.reset();
        m_fixture = std::make_unique<TabFixture>(backend);
        m_model = &m_fixture->model;
        m_panel = m_fixture->panel.get();
    }

    [[nodiscard]] QVariantMap sceneProperties() const
    {
        return {{u"model"_s, QVariant::fromValue<QObject *>(m_model)}, {u"panel"_s, QVariant::fromValue<QObject *>(m_panel)}};
    }

    void makeEngine()
    {
        m_shot.reset();
        m_window.reset();
        m_engine = std::make_unique<QQmlEngine>();
        m_model->attach(*m_engine);
    }

    /// The whole panel window, made but not shown.
    QQuickWindow *panelWindow()
    {
        makeEngine();
        QQmlComponent type(m_engine.get(), QUrl(u"qrc:/Quorvane/PanelRoot.qml"_s));
        m_window.reset(qobject_cast<QQuickWindow *>(type.createWithInitialProperties(sceneProperties())));
        if (!m_window)
            messages.append(type.errorString());
        return m_window.get();
    }

    QQuickItem *load(const QString &file, Scheme scheme)
    {
        makeEngine();
        m_shot = std::make_unique<ScreenshotWindow>(*m_engine, scheme);
        // The states are checked and drawn as they end, not halfway through a fade.
        m_shot->setReduceMotion(true);
        m_shot->setBackdrop(scheme == Scheme::Dark ? QColor(38, 36, 46) : QColor(236, 234, 242));
        QQuickItem *item = m_shot->load(QUrl(u"qrc:/Quorvane/"_s + file), sceneProperties());
        if (!item) {
            messages.append(m_shot->errors());
            return nullptr;
        }
        item->setSize({392, 520});
        if (!m_shot->show(QSize(392, 520))) {
            messages.append(m_shot->errors());
            return nullptr;
        }
        return item;
    }

    bool shoot(const QString &name) { return m_shot->save(u"panel-tabs-"_s + name); }

    void click(QQuickItem *item)
    {
        QVERIFY(item);
        const QPoint centre = item->mapToScene({item->width() / 2, item->height() / 2}).toPoint();
        QTest::mouseClick(m_shot ? &m_shot->window() : m_window.get(), Qt::LeftButton, {}, centre);
    }

    void loadRegistry()
    {
        m_model->refresh(true);
        QTRY_VERIFY(!m_model->isLoading());
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "America/Los_Angeles");
        QLocale::setDefault(QLocale(u"en_US"_s));
    }

    void init()
    {
        messages.clear();
        qInstallMessageHandler(collect);
        makeFixture(TabFixture::Backend::none);
    }

    void cleanup()
    {
        m_shot.reset();
        m_window.reset();
        m_engine.reset();
        m_fixture.reset();
        qInstallMessageHandler(nullptr);
    }

    void schemes_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("light") << Scheme::Light;
        QTest::newRow("dark") << Scheme::Dark;
    }

    void emptyQueueInvites_data() { schemes_data(); }
    void emptyQueueInvites()
    {
        QFETCH(Scheme, scheme);
        QQuickItem *tab = load(u"SchedulingTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QTRY_VERIFY(onScreen(child(tab, u"invitationCard"_s)));
        QCOMPARE(child(tab, u"invitationCard"_s)->property("heading").toString(), u"Schedule a site publish"_s);
        QQuickItem *empty = child(tab, u"scheduleEmptyState"_s);
        QVERIFY(empty);
        QVERIFY(empty->property("shown").toBool());
        QCOMPARE(empty->property("message").toString(), u"No scheduled publishes."_s);
        QVERIFY(onScreen(child(tab, u"historyLink"_s)));
        QVERIFY(!onScreen(child(tab, u"queueControls"_s)));
        QVERIFY(shoot(u"schedule-empty"_s));

        // The invitation opens the form: the controls take the card's place, the pill says Cancel.
        click(child(tab, u"invitationCard"_s));
        QTRY_VERIFY(m_panel->scheduleShowingForm());
        QTRY_VERIFY(onScreen(child(tab, u"queueControls"_s)));
        QCOMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Cancel"_s);
        QVERIFY(!onScreen(child(tab, u"shortcutHint"_s)));
        QVERIFY(!empty->property("shown").toBool());
        QVERIFY(!onScreen(child(tab, u"historyLink"_s)));
        QVERIFY(!onScreen(child(tab, u"orderToggle"_s)));
        QVERIFY(shoot(u"schedule-form"_s));
        // Cancel closes it without scheduling.
        click(child(tab, u"schedulePill"_s));
        QTRY_VERIFY(!m_panel->scheduleShowingForm());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void theShortcutOpensTheForm()
    {
        QQuickItem *tab = load(u"SchedulingTab.qml"_s, Scheme::Light);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        m_model->scheduleStore().setSchedules({queued(u"acme"_s, u"Acme Marketing"_s, 4)});
        QTRY_VERIFY(onScreen(child(tab, u"queueControls"_s)));
        QCOMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Schedule"_s);
        QVERIFY(onScreen(child(tab, u"shortcutHint"_s)));
        // What the panel's Ctrl+N calls.
        QVERIFY(SchedulingTabRules::canOpenScheduleForm(m_panel));
        SchedulingTabRules::toggleScheduleForm(m_panel);
        QTRY_COMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Cancel"_s);
        auto *decisions = tab->property("tabState").value<SchedulingTabState *>();
        QVERIFY(decisions && decisions->screen()->form()->showingForm());
        QVERIFY(!SchedulingTabRules::canOpenScheduleForm(m_panel));
        // While a submission runs the pill cannot close the form.
        m_panel->setScheduleSubmissionInProgress(true);
        QTRY_VERIFY(!child(tab, u"schedulePill"_s)->isEnabled());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    // Ctrl+N as the keyboard sends it to the panel window: it opens the form on this tab and is
    // spent while the form is open; the pill closes it.
    void ctrlNOpensTheFormFromTheKeyboard()
    {
        QQuickWindow *window = panelWindow();
        QVERIFY2(window, qPrintable(messages.join(u'\n')));
        window->show();
        window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window));
        m_model->scheduleStore().setSchedules({queued(u"acme"_s, u"Acme Marketing"_s, 4)});
        QTest::keyClick(window, Qt::Key_2, Qt::ControlModifier);
        QCOMPARE(m_panel->activeTab(), PanelTab::Tab::scheduledPublishing);
        QQuickItem *tab = child(window->contentItem(), u"schedulingTab"_s);
        QVERIFY(tab);
        QTRY_VERIFY(onScreen(child(tab, u"schedulePill"_s)));
        QCOMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Schedule"_s);

        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(m_panel->scheduleShowingForm());
        QTRY_COMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Cancel"_s);
        QTRY_VERIFY(onScreen(child(tab, u"formTitle"_s)));
        QVERIFY(!onScreen(child(tab, u"shortcutHint"_s)));
        QVERIFY(!m_model->adding().showingAdd());
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(m_panel->scheduleShowingForm());

        click(child(tab, u"schedulePill"_s));
        QTRY_VERIFY(!m_panel->scheduleShowingForm());
        QTRY_COMPARE(child(tab, u"schedulePillText"_s)->property("text").toString(), u"Schedule"_s);
        QTRY_VERIFY(!onScreen(child(tab, u"formTitle"_s)));
        QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(m_panel->scheduleShowingForm());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void aTapWhileHiddenOpensTheTabOnce_data()
    {
        QTest::addColumn<bool>("accountKnown");
        QTest::newRow("the tap's account is signed in: its event in the history") << true;
        QTest::newRow("no account known yet: the queue") << false;
    }

    // A tapped notification while the panel is hidden: the host opens the panel on Scheduled
    // Publishing, with the history focused on the tapped event when its account is known. A
    // later plain re-open leaves the tab the user chose.
    void aTapWhileHiddenOpensTheTabOnce()
    {
        QFETCH(bool, accountKnown);
        QQuickWindow *window = panelWindow();
        QVERIFY2(window, qPrintable(messages.join(u'\n')));
        PanelHost host(*window, nullptr, m_fixture->harness.clock);
        host.follow(*m_panel, m_model->cloud());
        QVERIFY(!m_panel->panelVisible());
        QVERIFY(!m_model->panelIsOpen());

        const QUuid user = QUuid::createUuid();
        const QUuid event = QUuid::createUuid();
        if (accountKnown)
            m_model->cloud().applyCloudAuthChange(user);
        m_model->cloud().handleNotificationTap({event, user});
        QTRY_VERIFY(window->isVisible());
        QVERIFY(m_panel->panelVisible());
        // The first showing started the launch's bootstrap; its search for claude ends first.
        QTRY_VERIFY(m_model->environment().binary);
        QCOMPARE(m_panel->activeTab(), PanelTab::Tab::scheduledPublishing);
        QCOMPARE(m_panel->scheduleShowingHistory(), accountKnown);
        QQuickItem *tab = child(window->contentItem(), u"schedulingTab"_s);
        QVERIFY(tab);
        if (accountKnown) {
            QTRY_VERIFY(onScreen(child(tab, u"historyView"_s)));
            QCOMPARE(child(tab, u"historyView"_s)->property("presenter").value<QObject *>()->property("focusedEventID").toString(),
                     event.toString(QUuid::WithoutBraces));
        } else {
            QTRY_VERIFY(onScreen(child(tab, u"queuePage"_s)));
            QVERIFY(!onScreen(child(tab, u"historyView"_s)));
        }

        // The user moves on, closes the panel and opens it again.
        window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(m_panel->activeTab(), PanelTab::Tab::connections);
        host.toggle();
        QTRY_VERIFY(!m_panel->panelVisible());
        host.toggle();
        QTRY_VERIFY(m_panel->panelVisible());
        QCOMPARE(m_panel->activeTab(), PanelTab::Tab::connections);
        QVERIFY(!m_panel->scheduleShowingHistory());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    // A project card's Schedule while the tab already shows: the form opens on the project's
    // site once, and the hand-off does not feed back into itself.
    void aHandOffWhileShowingPreselectsTheSite()
    {
        makeFixture(TabFixture::Backend::cloud);
        QVERIFY(!m_model->siteDirectory().markPublishingConnected(u"site-acme"_s, u"Acme Marketing"_s));
        const auto created = m_model->projectStore().createProject(u"Acme"_s);
        QVERIFY(std::holds_alternative<Project>(created));
        const QUuid project = std::get<Project>(created).id;
        QVERIFY(!m_model->projectStore().setSiteId(project, u"site-acme"_s));
        // Shown before the sign-in, so that no refresh of the tab is left running at the end.
        m_panel->setActiveTab(PanelTab::Tab::scheduledPublishing);
        QVERIFY(m_fixture->signIn({TabFixture::grant(u"site-acme"_s, u"Acme Marketing"_s)}));
        QVERIFY(m_model->publishAccess().hasPublishingAccess(u"site-acme"_s));
        QQuickItem *tab = load(u"SchedulingTab.qml"_s, Scheme::Light);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QTRY_VERIFY(onScreen(child(tab, u"invitationCard"_s)));

        m_panel->openScheduling(project.toString());
        QTRY_VERIFY(m_panel->scheduleShowingForm());
        QTRY_VERIFY(onScreen(child(tab, u"sitePill"_s)));
        QCOMPARE(child(tab, u"sitePill"_s)->property("text").toString(), u"Acme Marketing"_s);
        QCOMPARE(m_panel->scheduleHandoffSiteID(), QString());
        auto *decisions = tab->property("tabState").value<SchedulingTabState *>();
        QVERIFY(decisions->screen()->form()->selectedSite());
        QCOMPARE(decisions->screen()->form()->selectedSite()->id, u"site-acme"_s);
        QVERIFY(shoot(u"schedule-handoff"_s));

        // Spent: closing and opening the form again preselects nothing.
        click(child(tab, u"schedulePill"_s));
        QTRY_VERIFY(!m_panel->scheduleShowingForm());
        click(child(tab, u"schedulePill"_s));
        QTRY_VERIFY(m_panel->scheduleShowingForm());
        QVERIFY(!decisions->screen()->form()->selectedSite());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void orderToggle_data() { schemes_data(); }
    void orderToggle()
    {
        QFETCH(Scheme, scheme);
        m_model->scheduleStore().setSchedules({queued(u"acme"_s, u"Acme Marketing"_s, 4)});
        QQuickItem *tab = load(u"SchedulingTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        // One schedule: no toggle.
        QTRY_VERIFY(onScreen(child(tab, u"queueControls"_s)));
        QVERIFY(!onScreen(child(tab, u"orderToggle"_s)));
        QVERIFY(!child(tab, u"scheduleEmptyState"_s)->property("shown").toBool());

        m_model->scheduleStore().setSchedules(
            {queued(u"acme"_s, u"Acme Marketing"_s, 4), queued(u"beta"_s, u"Beta Shop"_s, 5)});
        QQuickItem *toggle = child(tab, u"orderToggle"_s);
        QTRY_VERIFY(onScreen(toggle));
        QCOMPARE(toggle->property("text").toString(), u"Sooner first"_s);
        QCOMPARE(toggle->property("symbol").toString(), u"sort.ascending"_s);
        QVERIFY(shoot(u"schedule-queue"_s));
        auto *decisions = tab->property("tabState").value<SchedulingTabState *>();
        const auto firstQueued = [decisions] {
            QAbstractItemModel *queue = decisions->screen()->queue();
            return queue->index(0, 0).data(queue->roleNames().key("siteName")).toString();
        };
        QCOMPARE(firstQueued(), u"Acme Marketing"_s);
        click(toggle);
        QTRY_COMPARE(toggle->property("text").toString(), u"Later first"_s);
        QCOMPARE(toggle->property("symbol").toString(), u"sort.descending"_s);
        QVERIFY(!m_panel->scheduleSoonestFirst());
        QVERIFY(!decisions->screen()->soonestFirst());
        QTRY_COMPARE(firstQueued(), u"Beta Shop"_s);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void history_data() { schemes_data(); }
    void history()
    {
        QFETCH(Scheme, scheme);
        QQuickItem *tab = load(u"SchedulingTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QTRY_VERIFY(onScreen(child(tab, u"historyLink"_s)));
        QVERIFY(QMetaObject::invokeMethod(child(tab, u"historyLink"_s), "clicked"));
        QTRY_VERIFY(m_panel->scheduleShowingHistory());
        QTRY_VERIFY(onScreen(child(tab, u"historyView"_s)));
        QVERIFY(!onScreen(child(tab, u"queuePage"_s)));
        QVERIFY(shoot(u"schedule-history"_s));
        // Back shows the queue again.
        QVERIFY(QMetaObject::invokeMethod(child(tab, u"historyView"_s), "back"));
        QTRY_VERIFY(!m_panel->scheduleShowingHistory());
        QTRY_VERIFY(onScreen(child(tab, u"queuePage"_s)));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void pageStatusEmpty_data() { schemes_data(); }
    void pageStatusEmpty()
    {
        QFETCH(Scheme, scheme);
        loadRegistry();
        QQuickItem *tab = load(u"PageStatusTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QQuickItem *empty = child(tab, u"pageStatusEmptyState"_s);
        QVERIFY(empty);
        QTRY_VERIFY(empty->property("shown").toBool());
        QCOMPARE(empty->property("message").toString(), u"No projects yet."_s);
        QCOMPARE(child(tab, u"refreshButton"_s)->property("label").toString(), u"Refresh"_s);
        QCOMPARE(child(tab, u"infoLink"_s)->property("label").toString(), u"What is Page Status?"_s);
        QVERIFY(shoot(u"pagestatus-empty"_s));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void pageStatusRows_data() { schemes_data(); }
    void pageStatusRows()
    {
        QFETCH(Scheme, scheme);
        loadRegistry();
        for (const QString &title : {u"Beta Shop"_s, u"Acme Marketing"_s, u"Gamma & Co"_s})
            QVERIFY(std::holds_alternative<Project>(m_model->projectStore().createProject(title)));
        QQuickItem *tab = load(u"PageStatusTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QTRY_COMPARE(items(tab, u"pageStatusRow"_s).size(), 3);
        QVERIFY(!child(tab, u"pageStatusEmptyState"_s)->property("shown").toBool());
        QVERIFY(shoot(u"pagestatus-rows"_s));
        // A search that keeps none says so.
        m_panel->setSearchText(u"zzz"_s);
        QTRY_VERIFY(onScreen(child(tab, u"noMatches"_s)));
        QCOMPARE(child(tab, u"noMatches"_s)->property("text").toString(), u"No matches for “zzz”"_s);
        QVERIFY(shoot(u"pagestatus-nomatch"_s));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }

    void pageStatusInfo_data() { schemes_data(); }
    void pageStatusInfo()
    {
        QFETCH(Scheme, scheme);
        loadRegistry();
        QQuickItem *tab = load(u"PageStatusTab.qml"_s, scheme);
        QVERIFY2(tab, qPrintable(messages.join(u'\n')));
        QTRY_VERIFY(onScreen(child(tab, u"infoLink"_s)));
        QVERIFY(QMetaObject::invokeMethod(child(tab, u"infoLink"_s), "clicked"));
        QTRY_VERIFY(m_panel->pageStatusShowingInfo());
        QTRY_VERIFY(onScreen(child(tab, u"infoView"_s)));
        QVERIFY(shoot(u"pagestatus-info"_s));
        // The page's switch writes the shared default at once.
        QVERIFY(QMetaObject::invokeMethod(child(tab, u"infoView"_s), "enableNewProjectsByDefaultToggled", Q_ARG(bool, true)));
        QVERIFY(QSettings(m_fixture->settingsFile(), QSettings::IniFormat).value(u"pageStatusEnableNewProjectsByDefault"_s).toBool());
        QTRY_VERIFY(child(tab, u"infoView"_s)->property("enableNewProjectsByDefault").toBool());
        QVERIFY(QMetaObject::invokeMethod(child(tab, u"infoView"_s), "back"));
        QTRY_VERIFY(!m_panel->pageStatusShowingInfo());
        QTRY_VERIFY(onScreen(child(tab, u"listPage"_s)));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_TabViews)
#include "tst_TabViews.moc"
