// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConnectingPill.h"
#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"
#include "support/ManualDelay.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

using namespace std::chrono_literals;

// The pill's window as the application makes it: the kit's window bound to the pill's state.
class tst_ConnectingPillHost : public QObject
{
    Q_OBJECT

private:
    ManualDelay m_time;
    std::unique_ptr<ConnectingPill> m_pill;
    std::unique_ptr<IconLoader> m_icons;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;

    // A part of the content on show; an earlier showing's content may linger until deleted.
    QQuickItem *shown(const char *name) const
    {
        const auto *content = m_window->findChild<QObject *>("content");
        const auto *item = content ? content->property("item").value<QQuickItem *>() : nullptr;
        return item ? item->findChild<QQuickItem *>(name) : nullptr;
    }

private slots:
    void init()
    {
        m_pill = std::make_unique<ConnectingPill>(m_time.delay());
        m_icons = std::make_unique<IconLoader>(resourceBundle().directory());
        m_engine = std::make_unique<QQmlEngine>();
        new KitServices(*m_engine, *m_icons);
        QQmlComponent host(m_engine.get(), QUrl(QStringLiteral("qrc:/Quorvane/ConnectingPillHost.qml")));
        QVERIFY2(host.isReady(), qPrintable(host.errorString()));
        m_window.reset(qobject_cast<QQuickWindow *>(
            host.createWithInitialProperties({{"pill", QVariant::fromValue(m_pill.get())}})));
        QVERIFY(m_window);
    }

    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
        m_pill.reset();
    }

    void showsWhatThePillSays()
    {
        QVERIFY(!m_window->isVisible());
        m_pill->show("Acme");
        QVERIFY(m_window->isVisible());
        QQuickItem *label = shown("label");
        QVERIFY(label);
        QCOMPARE(label->property("text").toString(), "Connecting Acme");
        QVERIFY(m_pill->markConnected("Acme site"));
        QCOMPARE(label->property("text").toString(), "Acme site connected");
        m_time.advance(ConnectingPill::successShownFor);
        QVERIFY(!m_window->isVisible());
    }

    void closeControlClosesByHand()
    {
        m_pill->show("Acme");
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QQuickItem *close = shown("closeControl");
        QVERIFY(close);
        QCOMPARE(close->opacity(), 0.0);
        const QPoint centre = close->mapToScene(QPointF(close->width() / 2, close->height() / 2)).toPoint();
        // The control takes clicks only once the pointer is over the pill.
        QTest::mouseMove(m_window.get(), centre);
        QTRY_COMPARE(close->opacity(), 1.0);
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre);
        QVERIFY(m_pill->suppressed());
        QVERIFY(!m_pill->presented());
        QVERIFY(!m_window->isVisible());
    }
};

QTEST_MAIN(tst_ConnectingPillHost)
#include "tst_ConnectingPillHost.moc"
