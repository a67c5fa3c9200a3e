// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelHost.h"

#include <QGuiApplication>
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
        QWindow panel;
        PanelHost host(panel, nullptr);
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
};

QTEST_MAIN(tst_PanelHost)
#include "tst_PanelHost.moc"
