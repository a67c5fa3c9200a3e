// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/AppModel.h"
#include "app/MoreMenuCommands.h"
#include "app/PanelState.h"
#include "backend/BackendClient.h"
#include "backend/BackendSession.h"
#include "foundation/UuidText.h"
#include "panel/Desktop.h"
#include "platform/AppInfo.h"
#include "support/FakeBackend.h"
#include "support/FakeHttpServer.h"
#include "support/MemorySessionStorage.h"
#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QCoro/QCoroTask>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorvanePlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using State = ErrorLog::ReportState;

namespace {

/// A clipboard that remembers what it was given.
class RecordingDesktop : public Desktop
{
public:
    QStringList copies;
    void copyText(const QString &text) override { copies.append(text); }
    bool openUrl(const QUrl &) override { return true; }
};

// The views as the Connections tab stacks them: the header's More button at the top right, the
// load-error notice and the report line below.
const QByteArray scene = R"(
import QtQuick
import Quorvane
import Quorvane.Kit

Rectangle {
    id: scene
    required property AppModel model
    required property PanelState panel
    property QtObject desktop
    property string message: scene.model.loadError
    width: 420
    height: 600
    color: KitPalette.panelBase(KitEnvironment.scheme)

    MoreMenu {
        objectName: "more"
        x: scene.width - width - 21
        y: 11
        model: scene.model
        panel: scene.panel
        desktop: scene.desktop
    }
    Column {
        y: 330
        width: scene.width
        ReportStatusLine {
            objectName: "reportLine"
            model: scene.model
            panel: scene.panel
        }
        LoadErrorNotice {
            objectName: "loadError"
            visible: message !== ""
            model: scene.model
            panel: scene.panel
            message: scene.message
        }
    }
}
)";

} // namespace

// The More menu, the load-error notice and the report line on a real model, drawn in a window:
// the menu pops up from its button with the model's entries and runs what is chosen, the report
// line follows the sender from sending to sent and goes 5 seconds later, and the notice offers its
// button only with a gateway. Each state is also saved as a picture in both schemes.
class tst_MoreMenuViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeBackend> m_backend;
    std::unique_ptr<FakeHttpServer> m_gateway;
    MemorySessionStorage m_storage;
    RecordingDesktop m_desktop;
    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<PanelState> m_panel;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<ScreenshotWindow> m_shot;
    QQuickItem *m_scene = nullptr;
    WarningLog m_warnings;

    /// Builds the model (signed in with a session when `signedIn`, else with no account), the
    /// panel's state and the scene in a shown window.
    void show(KitPalette::Scheme scheme, bool signedIn, bool gateway = true)
    {
        m_storage.items.clear();
        const auto prepare = [&](const TempHome &home) {
            if (!signedIn)
                return;
            m_storage.items.insert(BackendClient::sessionKey,
                                   BackendSession::fromAuthReply(m_backend->issueSession(), QDateTime::currentDateTimeUtc())
                                       ->toStored());
            putFile(home.appDataDir() + u"/account.json"_s,
                    R"({"version":1,"ownerID":")" + UuidText::format(m_backend->userId).toUtf8()
                        + R"(","profile":{"email":"ada@example.com","fetchedAt":790171200}})");
        };
        const auto adjust = [&](AppModel::Environment &environment) {
            environment.sessionStorage = &m_storage;
            environment.backend = BackendConfiguration{m_backend->url(), FakeBackend::publishableKey};
            if (gateway)
                environment.errorGateway = [this] { return std::optional(m_gateway->url(u"/error-report"_s)); };
            else
                environment.errorGateway = [] { return std::optional<QUrl>(); };
        };
        m_harness = std::make_unique<ModelHarness>(prepare, adjust);
        AppModel &model = *m_harness->model;
        QCoro::waitFor(model.account().start());
        if (signedIn) {
            m_backend->setUserTable(u"profiles"_s, [](const QUuid &user) {
                return QJsonArray{QJsonObject{{u"id"_s, UuidText::format(user)}, {u"email"_s, u"ada@example.com"_s}}};
            });
            QCoro::waitFor(model.account().settleLaunch());
            QCOMPARE(model.account().sessionKind(), AccountModel::SessionKind::Authenticated);
        }
        m_panel = std::make_unique<PanelState>(model, m_harness->clock, m_harness->time.delay());

        m_engine = std::make_unique<QQmlEngine>();
        model.attach(*m_engine);
        m_shot = std::make_unique<ScreenshotWindow>(*m_engine, scheme);
        // The scene's panel is translucent; its pictures show it over a bare window's white.
        m_shot->setBackdrop(Qt::white);
        m_scene = m_shot->load(scene, QUrl(u"qrc:/tests/MoreMenuScene.qml"_s),
                               {{u"model"_s, QVariant::fromValue(&model)},
                                {u"panel"_s, QVariant::fromValue(m_panel.get())},
                                {u"desktop"_s, QVariant::fromValue(static_cast<QObject *>(&m_desktop))}});
        QVERIFY2(m_scene, qPrintable(m_shot->errors()));
        QVERIFY2(m_shot->show(QSize(420, 600)), qPrintable(m_shot->errors()));
    }

    [[nodiscard]] QQuickItem *find(const char *name) const
    {
        return m_scene->findChild<QQuickItem *>(QString::fromLatin1(name));
    }

    /// The entries of the open menu, top to bottom.
    [[nodiscard]] QList<QQuickItem *> menuRows() const
    {
        // The popup's rows live in the window's overlay: follow the visual tree, not the owners.
        QList<QQuickItem *> rows;
        QList<QQuickItem *> pending{m_shot->window().contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeFirst();
            if (item->objectName() == u"moreMenuEntry"_s && item->isVisible())
                rows.append(item);
            pending.append(item->childItems());
        }
        std::sort(rows.begin(), rows.end(), [](QQuickItem *a, QQuickItem *b) {
            return a->mapToScene({0, 0}).y() < b->mapToScene({0, 0}).y();
        });
        return rows;
    }

    [[nodiscard]] static QStringList titles(const QList<QQuickItem *> &rows)
    {
        QStringList shown;
        for (QQuickItem *row : rows)
            shown.append(row->property("text").toString());
        return shown;
    }

    void click(QQuickItem *item) const
    {
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(&m_shot->window(), Qt::LeftButton, {}, centre.toPoint());
    }

    void openMenu()
    {
        QQuickItem *more = find("more");
        QVERIFY(more);
        click(find("moreButton"));
        QTRY_VERIFY(more->property("opened").toBool());
        // The popup lays its rows out once it has opened.
        QTRY_VERIFY(menuRows().size() > 1 && menuRows().constLast()->mapToScene({0, 0}).y() > 0);
    }

    void save(const QString &name)
    {
        QVERIFY2(m_shot->save(u"more-"_s + name), qPrintable(m_shot->errors()));
    }

private slots:
    void init()
    {
        m_backend = std::make_unique<FakeBackend>();
        m_gateway = std::make_unique<FakeHttpServer>();
        m_gateway->route("POST", u"/error-report"_s, [](const FakeHttpServer::Request &) {
            return FakeHttpServer::Reply{204};
        });
        m_desktop.copies.clear();
        m_warnings.start();
    }

    void cleanup()
    {
        m_warnings.stop();
        m_scene = nullptr;
        m_shot.reset();
        m_engine.reset();
        m_panel.reset();
        m_harness.reset();
        m_gateway.reset();
        m_backend.reset();
    }

    void schemes_data()
    {
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::newRow("light") << KitPalette::Scheme::Light;
        QTest::newRow("dark") << KitPalette::Scheme::Dark;
    }

    // Signed out, the button opens the menu with its entries; a label cannot be chosen; "Version"
    // copies the diagnostics and shows the toast, and closes the menu.
    void menuSignedOut_data() { schemes_data(); }
    void menuSignedOut()
    {
        QFETCH(KitPalette::Scheme, scheme);
        show(scheme, false);
        openMenu();
        const QStringList shown = titles(menuRows());
        QCOMPARE(shown,
                 (QStringList{u"Connect All MCPs"_s, u"Refresh Connections"_s, u"Sign In…"_s, u"Check for Updates…"_s,
                              u"How to use Quorvane"_s, u"Report a Problem"_s, u"Launch at Login"_s,
                              u"About Quorvane"_s, u"Version "_s + appVersion(), u"Copy Support Email"_s,
                              u"Quit App"_s}));
        QVERIFY(!menuRows().constFirst()->isEnabled());
        save(u"menu-signed-out"_s);

        click(menuRows().at(shown.indexOf(u"Version "_s + appVersion())));
        QTRY_VERIFY(!find("more")->property("opened").toBool());
        QCOMPARE(m_desktop.copies, QStringList{m_harness->model->diagnosticsReport()});
        QCOMPARE(m_panel->copiedToast(), u"Copied! Paste into an email for support."_s);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // Signed in, the account section shows the address, the state and "Sign Out"; the address
    // line stays open when clicked; a second press on the button closes the menu.
    void menuSignedIn_data() { schemes_data(); }
    void menuSignedIn()
    {
        QFETCH(KitPalette::Scheme, scheme);
        show(scheme, true, false);
        openMenu();
        const QList<QQuickItem *> rows = menuRows();
        QCOMPARE(titles(rows).mid(2, 3), (QStringList{u"ada@example.com"_s, u"Signed in"_s, u"Sign Out"_s}));
        QVERIFY(!titles(rows).contains(u"Report a Problem"_s));
        save(u"menu-signed-in"_s);

        click(rows.at(2));
        QVERIFY(find("more")->property("opened").toBool());
        click(find("moreButton"));
        QTRY_VERIFY(!find("more")->property("opened").toBool());
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // The report line: sending while the request is out, then sent, and gone 5 seconds after
    // the outcome; nothing in between moves it early.
    void reportLine_data() { schemes_data(); }
    void reportLine()
    {
        QFETCH(KitPalette::Scheme, scheme);
        show(scheme, false);
        m_gateway->script("POST", u"/error-report"_s, FakeHttpServer::Reply{204, {}, {}, 300ms});
        QQuickItem *line = find("reportLine");
        QVERIFY(line);
        QVERIFY(!line->isVisible());
        QCOMPARE(line->height(), 0.0);

        m_harness->model->publishing().sendErrorReport();
        QVERIFY(line->isVisible());
        QVERIFY(line->height() > 0);
        QCOMPARE(find("reportText")->property("text").toString(), u"Sending report…"_s);
        QVERIFY(find("reportSpinner")->isVisible());
        save(u"report-sending"_s);

        QTRY_COMPARE(find("reportText")->property("text").toString(), u"Report sent, thank you."_s);
        QVERIFY(!find("reportSpinner")->isVisible());
        QCOMPARE(find("reportIcon")->property("symbol").toString(), u"checkmark.circle.fill"_s);
        save(u"report-sent"_s);

        m_harness->time.advance(4999ms);
        QVERIFY(line->isVisible());
        m_harness->time.advance(1ms);
        QVERIFY(!line->isVisible());
        QCOMPARE(line->height(), 0.0);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // A report that fails says so and points back at the menu.
    void reportLineFailed_data() { schemes_data(); }
    void reportLineFailed()
    {
        QFETCH(KitPalette::Scheme, scheme);
        show(scheme, false);
        m_gateway->script("POST", u"/error-report"_s, FakeHttpServer::Reply{500});
        m_harness->model->publishing().sendErrorReport();
        QTRY_COMPARE(find("reportText")->property("text").toString(),
                     u"Couldn't send the report. Try again from the ⋯ menu."_s);
        QCOMPARE(find("reportIcon")->property("symbol").toString(), u"xmark.circle"_s);
        save(u"report-failed"_s);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    // An unreadable registry: the model's sentence, centred and wrapped, with the report button,
    // which sends and then shows the sender's state; without a gateway the sentence stands alone.
    void loadErrorNotice_data() { schemes_data(); }
    void loadErrorNotice()
    {
        QFETCH(KitPalette::Scheme, scheme);
        show(scheme, false);
        m_harness->writeRegistry("{ this is not JSON");
        QVERIFY(m_harness->refreshed());
        const QString sentence = m_harness->model->loadErrorText();
        QVERIFY(!sentence.isEmpty());
        QQuickItem *notice = find("loadError");
        QTRY_VERIFY(notice->isVisible());
        QCOMPARE(find("loadErrorText")->property("text").toString(), sentence);
        QQuickItem *button = find("loadErrorReport");
        QVERIFY(button->isVisible());
        QCOMPARE(button->property("text").toString(), u"Report to Developer"_s);
        save(u"load-error"_s);

        m_gateway->script("POST", u"/error-report"_s, FakeHttpServer::Reply{204, {}, {}, 300ms});
        click(button);
        QCOMPARE(m_harness->model->errorLog().reportState(), State::Sending);
        QCOMPARE(button->property("text").toString(), u"Sending…"_s);
        QVERIFY(!button->isEnabled());
        QVERIFY(find("reportLine")->isVisible());
        save(u"load-error-sending"_s);
        QTRY_COMPARE(m_harness->model->errorLog().reportState(), State::Sent);
        QCOMPARE(m_gateway->requests("POST", u"/error-report"_s).size(), 1);

        // A long sentence wraps within the width and loses nothing.
        m_scene->setProperty("message", QString(u"Claude Code's settings file could not be read: "_s).repeated(4));
        QVERIFY(find("loadErrorText")->height() > 3 * 12);
        QVERIFY(find("loadErrorText")->width() <= 420);
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }

    void loadErrorWithoutGateway()
    {
        show(KitPalette::Scheme::Light, false, false);
        m_scene->setProperty("message", u"Couldn't read ~/.claude.json."_s);
        QVERIFY(find("loadError")->isVisible());
        QVERIFY(!find("loadErrorReport")->isVisible());
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_MoreMenuViews)
#include "tst_MoreMenuViews.moc"
