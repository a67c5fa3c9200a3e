// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/MorphingChevron.h"
#include "app/PanelState.h"
#include "cli/OperationRegistry.h"
#include "kit/KitEnvironment.h"
#include "support/ScreenshotWindow.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <algorithm>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_SchedulingPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_OnboardingPlugin)

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using Tab = PanelTab::Tab;

namespace {

QStringList warnings;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg) {
        warnings.append(message);
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

} // namespace

// The whole panel window over a real application model: its shortcuts, its overlay layers and
// what each overlay's buttons reach, the header and the tab list, the toast; and a picture of it
// in both schemes in the build folder.
class tst_PanelRoot : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PanelState> m_state;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickWindow> m_window;

    [[nodiscard]] AppModel &model() { return *m_harness->model; }

    /// Shows the panel window; false, with the reason in the log, when it cannot be made.
    [[nodiscard]] bool open(KitPalette::Scheme scheme = KitPalette::Scheme::Light, bool prodTest = false)
    {
        m_state = std::make_unique<PanelState>(model(), m_harness->clock, m_harness->time.delay());
        m_state->setBackendIsProdTest(prodTest);
        m_engine = std::make_unique<QQmlEngine>();
        model().attach(*m_engine);
        QQmlComponent root(m_engine.get(), QUrl(QStringLiteral("qrc:/Quorvane/PanelRoot.qml")));
        if (!root.isReady()) {
            qWarning("%s", qPrintable(root.errorString()));
            return false;
        }
        auto *environment =
            m_engine->singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        if (!environment)
            return false;
        environment->setScheme(scheme);
        m_window.reset(qobject_cast<QQuickWindow *>(root.createWithInitialProperties(
            {{QStringLiteral("model"), QVariant::fromValue(&model())},
             {QStringLiteral("panel"), QVariant::fromValue(m_state.get())}})));
        if (!m_window) {
            qWarning("%s", qPrintable(root.errorString()));
            return false;
        }
        m_window->show();
        m_window->requestActivate();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    /// The item of that name in the window's visual tree (a repeater's rows have no QObject parent).
    [[nodiscard]] QQuickItem *find(const QString &name) const
    {
        QList<QQuickItem *> pending{m_window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (item->objectName() == name)
                return item;
            pending.append(item->childItems());
        }
        return nullptr;
    }

    /// The overlay a layer shows now; null when none.
    [[nodiscard]] QQuickItem *overlay(const QString &layer) const
    {
        QQuickItem *item = find(layer);
        return item ? item->property("item").value<QQuickItem *>() : nullptr;
    }

    /// No content is fading or opening its space: what a picture should wait for.
    [[nodiscard]] bool settled() const
    {
        QList<QQuickItem *> pending{m_window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (item->objectName() == QStringLiteral("content") && item->parentItem()) {
                const QQuickItem *space = item->parentItem();
                if ((item->opacity() != 0 && item->opacity() != 1) || space->height() != space->implicitHeight())
                    return false;
            }
            pending.append(item->childItems());
        }
        return true;
    }

    /// The panel's picture in the build folder, named as every view test names its pictures. The
    /// panel is a window of its own, not a scene a screenshot window could hold: only the names
    /// are shared.
    void save(const QString &stem, KitPalette::Scheme scheme)
    {
        const QImage image = m_window->grabWindow();
        QVERIFY(!image.isNull());
        QVERIFY(image.save(
            ScreenshotWindow::pictureFile(QStringLiteral("%1-%2.png").arg(stem, ScreenshotWindow::schemeName(scheme)))));
    }

    /// The More menu's visible entry with that title; null when none.
    [[nodiscard]] QQuickItem *menuEntry(const QString &title) const
    {
        QList<QQuickItem *> pending{m_window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (item->objectName() == QStringLiteral("moreMenuEntry") && item->isVisible()
                && item->property("text").toString() == title)
                return item;
            pending.append(item->childItems());
        }
        return nullptr;
    }

    /// The overlays shown now, in the order they are drawn, bottom first.
    [[nodiscard]] QStringList stacking() const
    {
        QList<QQuickItem *> layers = find(QStringLiteral("panelRoot"))->childItems();
        // The scene graph draws siblings by z, and in their order where z is equal.
        std::stable_sort(layers.begin(), layers.end(), [](QQuickItem *a, QQuickItem *b) { return a->z() < b->z(); });
        QStringList shown;
        for (QQuickItem *layer : layers) {
            if (layer->objectName().endsWith(QStringLiteral("Layer")) && layer->isVisible()
                && layer->property("item").value<QQuickItem *>())
                shown.append(layer->objectName());
        }
        return shown;
    }

    void click(QQuickItem *item)
    {
        QVERIFY(item);
        QVERIFY(item->isVisible());
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre.toPoint());
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(m_window.get(), Qt::Key(key), modifiers);
    }

private slots:
    void init()
    {
        warnings.clear();
        qInstallMessageHandler(collect);
        m_harness = std::make_unique<ModelHarness>();
    }

    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
        m_state.reset();
        QTRY_VERIFY(!model().isRefreshing());
        m_harness.reset();
        qInstallMessageHandler(nullptr);
    }

    void tabShortcuts()
    {
        QVERIFY(open());
        key(Qt::Key_2);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        key(Qt::Key_1);
        QCOMPARE(m_state->activeTab(), Tab::connections);
        key(Qt::Key_Tab);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        key(Qt::Key_Tab);
        QCOMPARE(m_state->activeTab(), Tab::connections);
        // Backwards, as X11 reports it and as it is written.
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_state->activeTab(), Tab::connections);
        // Page Status is outside the cycle: neither direction leaves it.
        m_state->setActiveTab(Tab::pageStatus);
        key(Qt::Key_Tab);
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_state->activeTab(), Tab::pageStatus);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void otherShortcuts()
    {
        QVERIFY(open());
        QSignalSpy search(m_state.get(), &PanelState::searchFocusRequested);
        QSignalSpy quit(m_state.get(), &PanelState::quitRequested);
        key(Qt::Key_F);
        QCOMPARE(search.size(), 1);
        m_state->setActiveTab(Tab::scheduledPublishing);
        key(Qt::Key_F);
        QCOMPARE(search.size(), 1);
        // Ctrl+N: the schedule form here, the add field on Connections.
        key(Qt::Key_N);
        QVERIFY(m_state->scheduleShowingForm());
        QVERIFY(!model().adding().showingAdd());
        m_state->setActiveTab(Tab::connections);
        key(Qt::Key_N);
        QVERIFY(model().adding().showingAdd());
        QVERIFY(m_state->addFieldFocused());
        // Escape in the add field closes it and takes the keys from it, though the card lingers
        // while it fades; without the focus there, Escape does nothing.
        key(Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(!model().adding().showingAdd());
        QVERIFY(!m_state->addFieldFocused());
        QQuickItem *field = find(QStringLiteral("nameField"));
        QVERIFY(!field || !field->hasActiveFocus());
        model().adding().setShowingAdd(true);
        key(Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(model().adding().showingAdd());
        model().adding().setShowingAdd(false);
        // Ctrl+R refreshes unless a refresh runs.
        const quint64 before = model().refreshGeneration();
        key(Qt::Key_R);
        QTRY_COMPARE(model().refreshGeneration(), before + 1);
        key(Qt::Key_Q);
        QCOMPARE(quit.size(), 1);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    void overlaysStackAndAnswer()
    {
        QVERIFY(open());
        const QUuid sheet = model().activity().open(ActivitySheet::Kind::connectingPublishing,
                                                    QStringLiteral("Connecting publishing"),
                                                    QStringLiteral("Acme"), QStringLiteral("A browser opens."));
        ConfirmRequest question;
        question.title = QStringLiteral("Remove Acme?");
        question.confirmLabel = QStringLiteral("Remove");
        model().confirms().present(question);
        model().cloud().requestSignIn(QStringLiteral("Sign in to schedule publishes."), [] {});
        QTRY_VERIFY(overlay(QStringLiteral("activityLayer")));
        QVERIFY(overlay(QStringLiteral("confirmLayer")));
        QVERIFY(overlay(QStringLiteral("signInLayer")));
        QVERIFY(!overlay(QStringLiteral("aboutLayer")));
        // Sign-in over the question over the activity.
        QVERIFY(find(QStringLiteral("signInLayer"))->z() >= find(QStringLiteral("confirmLayer"))->z());
        const QList<QQuickItem *> order = find(QStringLiteral("panelRoot"))->childItems();
        QVERIFY(order.indexOf(find(QStringLiteral("activityLayer"))) < order.indexOf(find(QStringLiteral("confirmLayer"))));
        QVERIFY(order.indexOf(find(QStringLiteral("confirmLayer"))) < order.indexOf(find(QStringLiteral("signInLayer"))));
        QCOMPARE(stacking(), (QStringList{u"activityLayer"_s, u"confirmLayer"_s, u"signInLayer"_s}));
        QVERIFY(m_state->shimmerPaused());

        QQuickItem *activity = overlay(QStringLiteral("activityLayer"));
        QVERIFY(activity->property("canCancel").toBool());
        QVERIFY(activity->property("canRetry").toBool());
        QCOMPARE(activity->property("canReport").toBool(), model().errorLog().isReportingAvailable());

        // Cancelling the sign-in leaves the question in place.
        QMetaObject::invokeMethod(overlay(QStringLiteral("signInLayer")), "cancelRequested");
        QVERIFY(!model().cloud().signIn());
        QVERIFY(model().confirms().current());
        QTRY_VERIFY(!overlay(QStringLiteral("signInLayer")));
        QVERIFY(overlay(QStringLiteral("confirmLayer")));

        model().confirms().dismissConfirm();
        QTRY_VERIFY(!overlay(QStringLiteral("confirmLayer")));
        // A finished activity offers no cancel; closing it takes the layer away.
        model().activity().finishActivity(sheet, ActivitySheet::Outcome::failure);
        QVERIFY(!activity->property("canCancel").toBool());
        QMetaObject::invokeMethod(activity, "closeRequested");
        QTRY_VERIFY(!overlay(QStringLiteral("activityLayer")));
        QVERIFY(!m_state->shimmerPaused());
    }

    // The sign-in overlay puts the focus in its address field as it comes; its layer must leave it
    // there, so that what the user types is the address.
    void signInTakesTheTypedAddress()
    {
        QVERIFY(open());
        model().cloud().requestSignIn(QStringLiteral("Sign in to schedule publishes."), [] {});
        QTRY_VERIFY(overlay(QStringLiteral("signInLayer")));
        QQuickItem *field = find(QStringLiteral("emailField"));
        QVERIFY(field);
        QTRY_VERIFY(field->hasActiveFocus());
        for (const char c : QByteArrayLiteral("ada@example.com"))
            QTest::keyClick(m_window.get(), c);
        QObject *flow = overlay(QStringLiteral("signInLayer"))->property("flow").value<QObject *>();
        QVERIFY(flow);
        QTRY_COMPARE(flow->property("email").toString(), QStringLiteral("ada@example.com"));
    }

    // The confirm layer answers through the queue, which takes the question down before its
    // action runs: a question the action asks shows next instead of being cleared with the first.
    void confirmActionThatAsksAgainKeepsTheNewQuestion()
    {
        QVERIFY(open());
        int ran = 0;
        ConfirmRequest second;
        second.title = QStringLiteral("Also remove its schedules?");
        second.confirmLabel = QStringLiteral("Remove");
        ConfirmRequest first;
        first.title = QStringLiteral("Remove Acme?");
        first.confirmLabel = QStringLiteral("Remove");
        first.action = [this, &ran, second] {
            ++ran;
            model().confirms().present(second);
        };
        model().confirms().present(first);
        QTRY_VERIFY(overlay(QStringLiteral("confirmLayer")));
        QQuickItem *layer = overlay(QStringLiteral("confirmLayer"));
        QTRY_COMPARE(layer->findChild<QQuickItem *>(QStringLiteral("confirmButton"))->opacity(), 1.0);
        click(layer->findChild<QQuickItem *>(QStringLiteral("confirmButton")));
        QCOMPARE(ran, 1);
        QVERIFY(model().confirms().current());
        QCOMPARE(model().confirms().current()->title, second.title);
        // The layer never lets go of its overlay: while `shown` holds, the overlay stays loaded,
        // and it comes back to full strength rather than fading out.
        QVERIFY(find(QStringLiteral("confirmLayer"))->property("shown").toBool());
        QVERIFY(overlay(QStringLiteral("confirmLayer")));
        QTRY_COMPARE(overlay(QStringLiteral("confirmLayer"))->parentItem()->opacity(), 1.0);
        QCOMPARE(overlay(QStringLiteral("confirmLayer"))->findChild<QQuickItem *>(QStringLiteral("title"))->property("text").toString(),
                 second.title);
    }

    void overlayStacking_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<bool>("intro");
        QTest::addColumn<QString>("sheetSubject"); // empty: no sheet
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("signIn");
        QTest::addColumn<QStringList>("drawn");
        const QString acme = QStringLiteral("webflow-acme");
        const QString claude = ClaudeCLI::claudeAuthKey();
        QTest::newRow("sign-in over the question over the sheet")
            << false << false << acme << true << true
            << QStringList{u"activityLayer"_s, u"confirmLayer"_s, u"signInLayer"_s};
        QTest::newRow("About over a sheet") << true << false << acme << false << false
                                            << QStringList{u"activityLayer"_s, u"aboutLayer"_s};
        QTest::newRow("the intro over About and a sheet it did not start")
            << true << true << acme << false << false
            << QStringList{u"activityLayer"_s, u"aboutLayer"_s, u"introLayer"_s};
        QTest::newRow("a Claude sign-in the intro started, lifted over it")
            << true << true << claude << false << false
            << QStringList{u"aboutLayer"_s, u"introLayer"_s, u"activityLayer"_s};
        QTest::newRow("the question and the sign-in still over a lifted sheet")
            << false << true << claude << true << true
            << QStringList{u"introLayer"_s, u"activityLayer"_s, u"confirmLayer"_s, u"signInLayer"_s};
        QTest::newRow("the same sign-in without the intro stays at the bottom")
            << true << false << claude << false << false << QStringList{u"activityLayer"_s, u"aboutLayer"_s};
    }

    // The order the window draws its overlays in, for the requests that are up at once.
    void overlayStacking()
    {
        QFETCH(bool, about);
        QFETCH(bool, intro);
        QFETCH(QString, sheetSubject);
        QFETCH(bool, confirm);
        QFETCH(bool, signIn);
        QFETCH(QStringList, drawn);
        QVERIFY(open());
        if (!sheetSubject.isEmpty())
            (void)model().activity().open(ActivitySheet::Kind::authorizing, QStringLiteral("Signing in"), sheetSubject,
                                          QStringLiteral("A browser opens."));
        m_state->setShowingAbout(about);
        model().setShowingIntro(intro);
        if (confirm) {
            ConfirmRequest question;
            question.title = QStringLiteral("Remove Acme?");
            question.confirmLabel = QStringLiteral("Remove");
            model().confirms().present(question);
        }
        if (signIn)
            model().cloud().requestSignIn(QStringLiteral("Sign in to schedule publishes."), [] {});
        QTRY_COMPARE(stacking(), drawn);
        // Every layer lies over the panel's column, and the toast and the rim over every layer.
        for (const QString &layer : drawn) {
            QVERIFY(find(layer)->z() > find(QStringLiteral("panelColumn"))->z());
            QVERIFY(find(layer)->z() < find(QStringLiteral("toast"))->parentItem()->z());
        }
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }

    // "Quit App" in the header's More menu, clicked with the mouse, asks the owner to end the
    // application.
    void quitFromTheMoreMenu()
    {
        QVERIFY(open());
        QSignalSpy quit(m_state.get(), &PanelState::quitRequested);
        click(find(QStringLiteral("moreButton")));
        QQuickItem *row = nullptr;
        QTRY_VERIFY((row = menuEntry(QStringLiteral("Quit App"))) && row->isVisible() && row->height() > 0);
        // The popup lays out and fades in after it opens.
        QTRY_VERIFY(row->mapToScene({0, 0}).y() > find(QStringLiteral("moreButton"))->mapToScene({0, 0}).y());
        QVERIFY(quit.isEmpty());
        click(row);
        QCOMPARE(quit.size(), 1);
    }

    void chevronStroke_data()
    {
        QTest::addColumn<double>("bend");
        QTest::addColumn<QRect>("ink");
        // A 60 by 36 frame at (20, 20) stroked 8 wide: the round caps and the join reach 4
        // beyond the three points, which lie on the frame's edges.
        QTest::newRow("down: ends at the top corners, tip on the bottom edge") << 1.0 << QRect(QPoint(16, 16), QPoint(84, 60));
        QTest::newRow("up: ends at the bottom corners, tip on the top edge") << -1.0 << QRect(QPoint(16, 16), QPoint(84, 60));
        QTest::newRow("flat through the middle") << 0.0 << QRect(QPoint(16, 34), QPoint(84, 42));
        QTest::newRow("half bent") << 0.5 << QRect(QPoint(16, 25), QPoint(84, 51));
    }

    // The chevron fills its frame: the ends sit on its left and right edges and the bend spans
    // its whole height, with the stroke reaching past them rather than being cut or shrunk.
    void chevronStroke()
    {
        QFETCH(double, bend);
        QFETCH(QRect, ink);
        QQuickWindow window;
        window.setColor(Qt::white);
        window.resize(120, 90);
        MorphingChevron chevron(window.contentItem());
        chevron.setPosition({20, 20});
        chevron.setSize({60, 36});
        chevron.setLineWidth(8);
        chevron.setBend(bend);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grabWindow();
        QRect drawn;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128)
                    drawn |= QRect(x, y, 1, 1);
            }
        }
        // Anti-aliased edges: a pixel either way.
        QVERIFY2(qAbs(drawn.left() - ink.left()) <= 1 && qAbs(drawn.right() + 1 - ink.right()) <= 1
                     && qAbs(drawn.top() - ink.top()) <= 1 && qAbs(drawn.bottom() + 1 - ink.bottom()) <= 1,
                 qPrintable(QStringLiteral("ink from (%1, %2) to (%3, %4)")
                                .arg(drawn.left())
                                .arg(drawn.top())
                                .arg(drawn.right() + 1)
                                .arg(drawn.bottom() + 1)));
    }

    void headerAndTabList()
    {
        QVERIFY(open(KitPalette::Scheme::Light, true));
        QVERIFY(find(QStringLiteral("prodBadge"))->isVisible());
        QCOMPARE(find(QStringLiteral("viewTitle"))->property("text").toString(), QStringLiteral("Connections"));
        auto *chevron = qobject_cast<MorphingChevron *>(find(QStringLiteral("chevron")));
        QVERIFY(chevron);
        QCOMPARE(chevron->bend(), 1.0);
        QCOMPARE(QSizeF(chevron->width(), chevron->height()), QSizeF(7.5, 4.5));
        QCOMPARE(chevron->lineWidth(), 1.4);
        // Closed, the list takes no clicks.
        QVERIFY(!find(QStringLiteral("pickerRow1"))->isEnabled());
        click(find(QStringLiteral("viewSwitch")));
        QVERIFY(m_state->showingTabs());
        QTRY_COMPARE(chevron->bend(), -1.0);
        QTRY_VERIFY(find(QStringLiteral("contentCard"))->y() > 0);
        QQuickItem *row = find(QStringLiteral("pickerRow1"));
        QVERIFY(row->isEnabled());
        QTRY_VERIFY(find(QStringLiteral("pickerMask"))->height() >= row->y() + row->height());
        click(row);
        QCOMPARE(m_state->activeTab(), Tab::scheduledPublishing);
        QVERIFY(!m_state->showingTabs());
        QCOMPARE(find(QStringLiteral("viewTitle"))->property("text").toString(), QStringLiteral("Scheduled Publishing"));
        QTRY_COMPARE(chevron->bend(), 1.0);
        // A press on the content card closes an open list.
        m_state->setShowingTabs(true);
        QTRY_VERIFY(find(QStringLiteral("contentCard"))->y() > 0);
        click(find(QStringLiteral("contentCard")));
        QVERIFY(!m_state->showingTabs());
    }

    void noBadgeWithoutProductionData()
    {
        QVERIFY(open());
        QVERIFY(!find(QStringLiteral("prodBadge"))->isVisible());
    }

    void toast()
    {
        QVERIFY(open());
        m_state->showCopiedToast(QStringLiteral("Copied diagnostics"));
        QTRY_VERIFY(find(QStringLiteral("toast"))->isVisible());
        QCOMPARE(find(QStringLiteral("toastText"))->property("text").toString(), QStringLiteral("Copied diagnostics"));
        m_harness->time.advance(3500ms);
        QTRY_VERIFY(!find(QStringLiteral("toast"))->isVisible());
    }

    void pointerLeavingClearsHover()
    {
        QVERIFY(open());
        QTest::mouseMove(m_window.get(), QPoint(200, 300));
        const int before = m_state->hoverEpoch();
        QTest::mouseMove(m_window.get(), QPoint(-20, -20));
        QTRY_COMPARE(m_state->hoverEpoch(), before + 1);
    }

    void gallery_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::newRow("light") << KitPalette::Scheme::Light;
        QTest::newRow("dark") << KitPalette::Scheme::Dark;
    }

    // The whole panel, for a person to look at: the header with its badge and the Connections tab
    // on a first run; then Claude signed out with a connection listed, which puts a notice in the
    // banner column; then the tab list open over a toast.
    void gallery()
    {
        QFETCH(KitPalette::Scheme, scheme);
        QVERIFY(open(scheme, true));
        QTRY_VERIFY(!model().isRefreshing());
        QTRY_VERIFY(settled());
        save(QStringLiteral("panel-root"), scheme);

        model().setClaudeAuth(ClaudeCLI::AuthStatus::signedOut());
        model().setConnections({Connection{QStringLiteral("webflow-acme"), ModelHarness::endpoint,
                                           ConnectionStatus::connected, std::nullopt}});
        QQuickItem *banner = nullptr;
        QTRY_VERIFY((banner = find(QStringLiteral("claudeSignedOutNotice"))) && banner->isVisible());
        QTRY_VERIFY(settled());
        QVERIFY(banner->isVisible());
        QVERIFY(banner->height() > 0);
        save(QStringLiteral("panel-root-with-banner"), scheme);

        m_state->setShowingTabs(true);
        m_state->showCopiedToast(QStringLiteral("Copied diagnostics to the clipboard"));
        QQuickItem *card = find(QStringLiteral("contentCard"));
        QQuickItem *mask = find(QStringLiteral("pickerMask"));
        const qreal opened = mask->parentItem()->property("pickerHeight").toReal();
        QVERIFY(opened > 0);
        QTRY_VERIFY(card->y() == opened && mask->height() == opened);
        QTRY_COMPARE(find(QStringLiteral("toast"))->opacity(), 1.0);
        QTRY_VERIFY(settled());
        save(QStringLiteral("panel-root-tabs"), scheme);
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    }
};

QTEST_MAIN(tst_PanelRoot)
#include "tst_PanelRoot.moc"
