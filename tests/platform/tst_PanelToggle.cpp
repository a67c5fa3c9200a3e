// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/PanelToggle.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

// Each toggle signal on the session bus, whoever sends it on whatever path, asks for one toggle.
class tst_PanelToggle : public QObject
{
    Q_OBJECT

private slots:
    void oneTogglePerSignal()
    {
        PanelToggle toggle;
        QVERIFY(toggle.isListening());
        QSignalSpy requested(&toggle, &PanelToggle::toggleRequested);

        QCOMPARE(PanelToggle::send(), std::nullopt);
        QVERIFY(requested.wait());
        // Another sender on another path: a desktop shortcut's own tool.
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("other"));
        QVERIFY(other.send(QDBusMessage::createSignal(QStringLiteral("/some/where/else"), PanelToggle::interfaceName,
                                                      PanelToggle::memberName)));
        QTRY_COMPARE(requested.size(), 2);
        // Another member of the interface is not a toggle.
        QVERIFY(other.send(QDBusMessage::createSignal(QStringLiteral("/x"), PanelToggle::interfaceName,
                                                      QStringLiteral("quit"))));
        QCOMPARE(PanelToggle::send(), std::nullopt);
        QTRY_COMPARE(requested.size(), 3);
        QTest::qWait(50);
        QCOMPARE(requested.size(), 3);
        QDBusConnection::disconnectFromBus(QStringLiteral("other"));
    }

    void withoutABus()
    {
        const QDBusConnection none(QStringLiteral("not connected"));
        PanelToggle toggle(none);
        QVERIFY(!toggle.isListening());
        QCOMPARE(PanelToggle::send(none),
                 std::optional<QString>(QStringLiteral("The session bus is not available, so the panel could not be toggled.")));
    }
};

QTEST_GUILESS_MAIN(tst_PanelToggle)
#include "tst_PanelToggle.moc"
