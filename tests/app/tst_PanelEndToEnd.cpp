// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/PanelState.h"
#include "kit/KitEnvironment.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using Scheme = KitPalette::Scheme;

// The whole panel in one process over a real application model, a temporary home and the scripted
// claude: what a user does first, seen the way the user sees it, with a picture of every step.
class tst_PanelEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PanelState> m_state;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;

    [[nodiscard]] bool open(Scheme scheme)
    {
        m_state = std::make_unique<PanelState>(*m_harness->model, m_harness->clock, m_harness->time.delay());
        m_engine = std::make_unique<QQmlEngine>();
        m_harness->model->attach(*m_engine);
        QQmlComponent root(m_engine.get(), QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
        auto *environment =
            m_engine->singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        if (!root.isReady() || !environment) {
            qWarning("%s", qPrintable(root.errorString()));
            return false;
        }
        environment->setScheme(scheme);
        m_window.reset(qobject_cast<QQuickWindow *>(root.createWithInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(m_harness->model.get())},
             {QStringLiteral("panel"), QVariant::fromValue(m_state.get())}})));
        if (!m_window)
            return false;
        m_window->show();
        m_window->requestActivate();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    [[nodiscard]] QQuickItem *find(const QString &name) const
    {
        QList<QQuickItem *> pending{m_window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (item->objectName() == name && item->isVisible())
                return item;
            pending.append(item->childItems());
        }
        return nullptr;
    }

    void click(const QString &name)
    {
        QQuickItem *item = find(name);
        QVERIFY2(item, qPrintable(name));
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre.toPoint());
    }

    void shoot(const QString &step, Scheme scheme)
    {
        const QString name = QStringLiteral("panel-e2e-%1-%2.png")
                                 .arg(step, scheme == Scheme::Dark ? QStringLiteral("dark") : QStringLiteral("light"));
        QVERIFY(m_window->grabWindow().save(QDir::current().filePath(name)));
    }

private slots:
    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
        m_state.reset();
        if (m_harness)
            QTRY_VERIFY(!m_harness->model->isRefreshing() && m_harness->model->statusChecksInFlight().isEmpty());
        m_harness.reset();
    }

    void addAProjectThroughTheAddField_data()
    {
        QTest::addColumn<Scheme>("scheme");
        QTest::newRow("light") << Scheme::Light;
        QTest::newRow("dark") << Scheme::Dark;
    }

    void addAProjectThroughTheAddField()
    {
        QFETCH(Scheme, scheme);
        m_harness = std::make_unique<ModelHarness>();
        AppModel &model = *m_harness->model;
        QVERIFY(open(scheme));
        m_state->panelStart();
        QTRY_VERIFY(!model.isLoading());
        // The introduction greets a first run; the user closes it.
        QTRY_VERIFY(model.showingIntro());
        model.setShowingIntro(false);
        // Until it has faded out it still takes the clicks.
        QTRY_VERIFY(!find(QStringLiteral("introLayer")));
        QTRY_VERIFY(find(QStringLiteral("firstRunCard")));
        shoot(QStringLiteral("1-first-run"), scheme);

        click(QStringLiteral("firstRunCard"));
        QTRY_VERIFY(m_state->addFieldFocused());
        for (const QChar c : QStringLiteral("Acme Co"))
            QTest::keyClick(m_window.get(), c.toLatin1());
        QTRY_COMPARE(find(QStringLiteral("message"))->property("text").toString(),
                     QStringLiteral("Reserves webflow-acme-co. Enter to add."));
        shoot(QStringLiteral("2-add-field"), scheme);

        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTRY_COMPARE(model.projectStore().projects().size(), 1);
        QCOMPARE(model.projectStore().projects().constFirst().title, QStringLiteral("Acme Co"));
        // The new project's card, waiting for its connection to be made.
        QTRY_VERIFY(find(QStringLiteral("statusPill")));
        QTRY_COMPARE(find(QStringLiteral("statusPill"))->property("label").toString(),
                     QStringLiteral("Connect to Claude"));
        shoot(QStringLiteral("3-card"), scheme);
    }
};

QTEST_MAIN(tst_PanelEndToEnd)
#include "tst_PanelEndToEnd.moc"
