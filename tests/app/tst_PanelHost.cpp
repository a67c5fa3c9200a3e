// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/PanelHost.h"
#include "app/PanelState.h"
#include "support/ManualClock.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWindow>

// The panel opens at the tray icon inside the screen's free area, and the toggles open and close it.
class tst_PanelHost : public QObject
{
    Q_OBJECT

private slots:
    void placement_data()
    {
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("topLeft");
        const QRect screen(0, 30, 1920, 1050); // a top bar of 30
        QTest::newRow("no icon geometry: top right") << QRect() << screen << QPoint(1500, 30);
        QTest::newRow("icon in a top bar: centred under it") << QRect(1000, 5, 20, 20) << screen << QPoint(800, 30);
        QTest::newRow("icon at the right edge: kept on screen")
            << QRect(1900, 5, 20, 20) << screen << QPoint(1500, 30);
        QTest::newRow("icon at the left edge: kept on screen") << QRect(0, 5, 20, 20) << screen << QPoint(0, 30);
        const QRect aboveBottomBar(0, 0, 1920, 1040);
        QTest::newRow("icon in a bottom bar: above it")
            << QRect(1000, 1050, 20, 20) << aboveBottomBar << QPoint(800, 440);
    }

    void placement()
    {
        QFETCH(QRect, icon);
        QFETCH(QRect, available);
        QFETCH(QPoint, topLeft);
        QCOMPARE(PanelHost::placement(icon, available, PanelHost::panelSize), topLeft);
    }

    void toggles()
    {
        ManualClock clock;
        QWindow panel;
        PanelHost host(panel, nullptr, clock);
        QCOMPARE(panel.size(), PanelHost::panelSize);
        host.toggle();
        QTRY_VERIFY(host.isOpen());
        host.ensureOpen();
        QVERIFY(host.isOpen());
        host.toggle();
        QTRY_VERIFY(!host.isOpen());
        host.ensureOpen();
        QTRY_VERIFY(host.isOpen());
    }

    void reopenGuard_data()
    {
        QTest::addColumn<qint64>("after");
        QTest::addColumn<bool>("opens");
        QTest::newRow("+0.2 s: the click that hid it") << qint64(200) << false;
        QTest::newRow("just inside the guard") << qint64(299) << false;
        QTest::newRow("at the guard's end: a new click") << qint64(300) << true;
        QTest::newRow("+0.4 s: a new click") << qint64(400) << true;
        QTest::newRow("the clock set back meanwhile") << qint64(-60000) << true;
    }

    // With a tray, a click on its icon takes the focus from the open panel, which hides it, and
    // then asks to toggle: that toggle must not open the panel again at once; a later one does.
    void reopenGuard()
    {
        QFETCH(qint64, after);
        QFETCH(bool, opens);
        ManualClock clock;
        QWindow panel;
        QSystemTrayIcon tray;
        PanelHost host(panel, &tray, clock);
        host.toggle();
        QTRY_VERIFY(panel.isActive());

        QWindow other;
        other.show();
        other.requestActivate();
        QTRY_VERIFY(!host.isOpen());
        clock.advance(after);
        host.toggle();
        QCOMPARE(host.isOpen(), opens);
        // A toggle the guard swallowed leaves the next one free to open.
        if (!opens) {
            clock.advance(PanelHost::reopenGuard.count());
            host.toggle();
            QVERIFY(host.isOpen());
        }
    }

    // The window tells the panel's state when it shows and hides; only its first showing starts
    // the panel (the bootstrap), later ones refresh through the re-open throttle.
    void followsTheWindow()
    {
        ModelHarness harness;
        PanelState state(*harness.model, harness.clock, harness.time.delay());
        QWindow panel;
        PanelHost host(panel, nullptr, harness.clock);
        host.follow(state, harness.model->cloud());
        QVERIFY(!state.panelVisible());
        QVERIFY(!harness.model->panelIsOpen());
        QVERIFY(!harness.model->didBootstrap());

        host.ensureOpen();
        QTRY_VERIFY(harness.model->didBootstrap());
        QVERIFY(state.panelVisible());
        QVERIFY(harness.model->panelIsOpen());
        QTRY_COMPARE(harness.model->refreshGeneration(), quint64(1));
        QTRY_VERIFY(!harness.model->isLoading() && !harness.model->isRefreshing());
        const quint64 started = harness.model->refreshGeneration();

        state.setSearchText(QStringLiteral("acme"));
        host.toggle();
        QTRY_VERIFY(!state.panelVisible());
        QCOMPARE(state.searchText(), QString());
        QVERIFY(!harness.model->panelIsOpen());
        harness.clock.advance(5000);
        host.ensureOpen();
        QTRY_VERIFY(state.panelVisible());
        // Shown again: no second bootstrap, and at most the one re-open refresh once it is key.
        QTRY_VERIFY(!harness.model->isRefreshing());
        QVERIFY(harness.model->refreshGeneration() <= started + 1);
        QVERIFY(harness.model->didBootstrap());
    }

    // A tapped notification brings the panel up on Scheduled Publishing and never closes it, even
    // when several taps are routed at once or the panel is already open.
    void routingOnlyEverOpens()
    {
        ModelHarness harness;
        PanelState state(*harness.model, harness.clock, harness.time.delay());
        QWindow panel;
        PanelHost host(panel, nullptr, harness.clock);
        host.follow(state, harness.model->cloud());

        QSignalSpy shown(&panel, &QWindow::visibleChanged);
        harness.model->cloud().requestScheduleFocus();
        harness.model->cloud().requestScheduleFocus();
        QTRY_VERIFY(panel.isActive());
        QCOMPARE(state.activeTab(), PanelTab::Tab::scheduledPublishing);
        // Shown once and never hidden by the second request.
        QCOMPARE(shown.size(), 1);
        QVERIFY(host.isOpen());

        state.setActiveTab(PanelTab::Tab::connections);
        harness.model->cloud().requestScheduleFocus();
        QCoreApplication::processEvents();
        QVERIFY(host.isOpen());
        QCOMPARE(state.activeTab(), PanelTab::Tab::scheduledPublishing);

        // Even should the model believe the panel closed, the road it is given only opens.
        harness.model->setPanelIsOpen(false);
        harness.model->cloud().requestScheduleFocus();
        QCoreApplication::processEvents();
        QVERIFY(host.isOpen());

        // An open panel behind another window comes forward.
        QWindow other;
        other.show();
        other.requestActivate();
        QTRY_VERIFY(other.isActive());
        harness.model->setPanelIsOpen(true);
        harness.model->cloud().requestScheduleFocus();
        QTRY_VERIFY(panel.isActive());
        QVERIFY(host.isOpen());
        QTRY_VERIFY(!harness.model->isLoading() && !harness.model->isRefreshing());
    }
};

QTEST_MAIN(tst_PanelHost)
#include "tst_PanelHost.moc"
