// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "ModelHarness.h"
#include "app/AppModel.h"
#include "app/MoreMenuCommands.h"
#include "app/MoreMenuEntries.h"
#include "app/PanelState.h"
#include "app/UpdaterController.h"
#include "foundation/UuidText.h"
#include "kit/IconLoader.h"
#include "panel/Desktop.h"
#include "platform/AppInfo.h"
#include "support/FakeBackend.h"
#include "support/FakeHttpServer.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Command = MoreMenuEntries::Command;
using Facts = MoreMenuEntries::Facts;
using Session = AccountModel::SessionKind;

Q_DECLARE_METATYPE(MoreMenuEntries::Facts)

namespace {

// The menu written out: "—" for a divider, "(label)" after a line that cannot be chosen, "(off)"
// after a disabled entry, "[x]" or "[ ]" before a toggle.
QStringList shown(const QList<MoreMenuEntries::Entry> &entries)
{
    QStringList lines;
    for (const MoreMenuEntries::Entry &entry : entries) {
        if (entry.isDivider()) {
            lines.append(u"—"_s);
            continue;
        }
        QString line = entry.title;
        if (entry.isToggle())
            line.prepend(entry.checked ? u"[x] "_s : u"[ ] "_s);
        if (entry.isLabel())
            line += u" (label)"_s;
        if (!entry.enabled)
            line += u" (off)"_s;
        lines.append(line);
    }
    return lines;
}

Facts facts(Session session = Session::SignedOut, std::optional<QString> email = std::nullopt, bool backend = true)
{
    Facts facts;
    facts.session = session;
    facts.profileEmail = std::move(email);
    facts.hasBackend = backend;
    facts.version = u"dev"_s;
    return facts;
}

/// A clipboard that remembers what it was given.
class RecordingDesktop : public Desktop
{
public:
    QStringList copies;
    void copyText(const QString &text) override { copies.append(text); }
    bool openUrl(const QUrl &) override { return true; }
};

} // namespace

// The More menu: its entries for every state the account and the connections can be in, and what
// choosing each does on a real application model (the report to a gateway on loopback, the
// clipboard and toast, the update notice, the intro, sign-in requests).
class tst_MoreMenu : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeBackend> m_backend;
    std::unique_ptr<FakeHttpServer> m_gateway;
    MemorySessionStorage m_storage;

    struct Setup
    {
        bool backend = true;
        bool gateway = true;
        bool smokeTest = false;
        QString profileEmail;
    };

    /// A real model over its own temporary home, with the backend and the gateway on loopback
    /// when asked, and an account remembered with `profileEmail` but no session stored.
    std::unique_ptr<ModelHarness> makeModel(const Setup &setup)
    {
        const auto prepare = [&setup](const TempHome &home) {
            if (setup.profileEmail.isEmpty())
                return;
            putFile(home.appDataDir() + u"/account.json"_s,
                    R"({"version":1,"ownerID":")" + UuidText::format(QUuid::createUuid()).toUtf8()
                        + R"(","profile":{"email":")" + setup.profileEmail.toUtf8() + R"(","fetchedAt":790171200}})");
        };
        const auto adjust = [&](AppModel::Environment &environment) {
            environment.sessionStorage = &m_storage;
            environment.smokeTest = setup.smokeTest;
            if (setup.backend)
                environment.backend = BackendConfiguration{m_backend->url(), FakeBackend::publishableKey};
            if (setup.gateway)
                environment.errorGateway = [this] { return std::optional(m_gateway->url(u"/error-report"_s)); };
            else
                environment.errorGateway = [] { return std::optional<QUrl>(); };
        };
        return std::make_unique<ModelHarness>(prepare, adjust);
    }

    /// Whether the menu of `commands` offers `command` as an entry that can be chosen.
    static bool offers(const MoreMenuCommands &commands, Command command)
    {
        for (const MoreMenuEntries::Entry &entry : commands.entries()) {
            if (entry.command == command)
                return entry.enabled;
        }
        return false;
    }

private slots:
    void init()
    {
        m_storage.items.clear();
        m_backend = std::make_unique<FakeBackend>();
        m_gateway = std::make_unique<FakeHttpServer>();
        m_gateway->route("POST", u"/error-report"_s, [](const FakeHttpServer::Request &) {
            return FakeHttpServer::Reply{204};
        });
    }

    void cleanup()
    {
        m_gateway.reset();
        m_backend.reset();
    }

    void menu_data()
    {
        QTest::addColumn<Facts>("facts");
        QTest::addColumn<QStringList>("menu");

        Facts plain = facts(Session::TemporarilyUnavailable, std::nullopt, false);
        QTest::newRow("no backend, no gateway, nothing to authorize")
            << plain
            << QStringList{u"Connect All MCPs (off)"_s, u"Refresh Connections"_s, u"—"_s,
                           u"Cloud Unavailable (label) (off)"_s, u"—"_s, u"Check for Updates…"_s,
                           u"How to use Quorvane"_s, u"—"_s, u"[ ] Launch at Login"_s, u"—"_s, u"About Quorvane"_s,
                           u"Version dev"_s, u"Copy Support Email"_s, u"—"_s, u"Quit App"_s};

        Facts busy = facts(Session::Authenticated, u"Ana.Lopez@Example.com"_s);
        busy.connectionsNeedAuth = true;
        busy.supportsLogin = true;
        busy.isRefreshing = true;
        busy.launchAtLogin = true;
        busy.reportingAvailable = true;
        busy.version = u"1.4.2"_s;
        QTest::newRow("signed in, reporting, refreshing, starting at login")
            << busy
            << QStringList{u"Connect All MCPs"_s, u"Refreshing… (off)"_s, u"—"_s,
                           u"Ana.Lopez@Example.com (label)"_s, u"Signed in (label)"_s, u"Sign Out"_s, u"—"_s,
                           u"Check for Updates…"_s, u"How to use Quorvane"_s, u"—"_s, u"Report a Problem"_s,
                           u"[x] Launch at Login"_s, u"—"_s, u"About Quorvane"_s, u"Version 1.4.2"_s,
                           u"Copy Support Email"_s, u"—"_s, u"Quit App"_s};
    }

    void menu()
    {
        QFETCH(Facts, facts);
        QFETCH(QStringList, menu);
        QCOMPARE(shown(MoreMenuEntries::entries(facts)), menu);
    }

    void connectAllNeedsAllThree_data()
    {
        QTest::addColumn<bool>("needAuth");
        QTest::addColumn<bool>("supportsLogin");
        QTest::addColumn<bool>("batchRunning");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("all met") << true << true << false << true;
        QTest::newRow("nothing needs authorization") << false << true << false << false;
        QTest::newRow("claude cannot log in") << true << false << false << false;
        QTest::newRow("a batch runs") << true << true << true << false;
    }

    void connectAllNeedsAllThree()
    {
        QFETCH(bool, needAuth);
        QFETCH(bool, supportsLogin);
        QFETCH(bool, batchRunning);
        QFETCH(bool, enabled);
        Facts state = facts();
        state.connectionsNeedAuth = needAuth;
        state.supportsLogin = supportsLogin;
        state.isBatchRunning = batchRunning;
        const MoreMenuEntries::Entry first = MoreMenuEntries::entries(state).constFirst();
        QCOMPARE(first.command, Command::connectAll);
        QCOMPARE(first.title, u"Connect All MCPs"_s);
        QCOMPARE(first.enabled, enabled);
    }

    void accountSection_data()
    {
        QTest::addColumn<Facts>("facts");
        QTest::addColumn<QStringList>("section");
        QTest::addColumn<QList<Command>>("commands");

        const QString email = u"ops@studio.example"_s;
        QTest::newRow("profile, authenticated")
            << facts(Session::Authenticated, email)
            << QStringList{email + u" (label)"_s, u"Signed in (label)"_s, u"Sign Out"_s}
            << QList<Command>{Command::none, Command::none, Command::signOut};
        QTest::newRow("profile, checking")
            << facts(Session::Checking, email)
            << QStringList{email + u" (label)"_s, u"Checking account session… (label) (off)"_s}
            << QList<Command>{Command::none, Command::none};
        for (const Session session : {Session::SignedOut, Session::ReauthenticationRequired}) {
            QTest::addRow("profile, session %d", int(session))
                << facts(session, email)
                << QStringList{email + u" (label)"_s, u"Sign in again on this computer (label) (off)"_s,
                               u"Sign In Again…"_s}
                << QList<Command>{Command::none, Command::none, Command::signInAgain};
        }
        QTest::newRow("profile, temporarily unavailable")
            << facts(Session::TemporarilyUnavailable, email)
            << QStringList{email + u" (label)"_s, u"Account session unavailable (label) (off)"_s,
                           u"Retry Account Connection"_s}
            << QList<Command>{Command::none, Command::none, Command::retryAccount};
        // Without a profile the session state does not matter.
        QTest::newRow("no profile, a backend")
            << facts(Session::Authenticated, std::nullopt, true) << QStringList{u"Sign In…"_s}
            << QList<Command>{Command::signIn};
        QTest::newRow("no profile, no backend")
            << facts(Session::SignedOut, std::nullopt, false) << QStringList{u"Cloud Unavailable (label) (off)"_s}
            << QList<Command>{Command::none};
    }

    void accountSection()
    {
        QFETCH(Facts, facts);
        QFETCH(QStringList, section);
        QFETCH(QList<Command>, commands);
        const QList<MoreMenuEntries::Entry> entries = MoreMenuEntries::accountSection(facts);
        QCOMPARE(shown(entries), section);
        QList<Command> chosen;
        for (const MoreMenuEntries::Entry &entry : entries)
            chosen.append(entry.command);
        QCOMPARE(chosen, commands);
        // The section stands between the menu's first two dividers.
        const QList<MoreMenuEntries::Entry> menu = MoreMenuEntries::entries(facts);
        QCOMPARE(menu.mid(3, entries.size()), entries);
        QVERIFY(menu.at(3 + entries.size()).isDivider());
    }

    // Every icon the menu names is a drawing of the bundle the application ships.
    void iconsResolve()
    {
        IconLoader icons(resourceBundle().directory());
        Facts everything = facts(Session::Authenticated, u"a@b.example"_s);
        everything.reportingAvailable = true;
        QList<MoreMenuEntries::Entry> entries = MoreMenuEntries::entries(everything);
        for (const Session session : {Session::Checking, Session::SignedOut, Session::TemporarilyUnavailable})
            entries.append(MoreMenuEntries::accountSection(facts(session, u"a@b.example"_s)));
        entries.append(MoreMenuEntries::accountSection(facts(Session::SignedOut, std::nullopt, false)));
        for (const MoreMenuEntries::Entry &entry : std::as_const(entries)) {
            if (!entry.isDivider())
                QVERIFY2(icons.microIcon(entry.icon).has_value(), qPrintable(entry.icon));
        }
    }

    // The facts come from the model's account: the cached profile's address as stored, the state
    // of its session, the build's backend and gateway.
    void factsFollowTheModel()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel({.backend = true, .gateway = false, .smokeTest = false, .profileEmail = u"Ops@Studio.Example"_s});
        AppModel *model = modelHarness->model.get();
        QCoro::waitFor(model->account().start());
        MoreMenuCommands commands;
        commands.setModel(model);
        QCOMPARE(shown(commands.entries()).mid(3, 3),
                 (QStringList{u"Ops@Studio.Example (label)"_s, u"Sign in again on this computer (label) (off)"_s,
                              u"Sign In Again…"_s}));
        QVERIFY(!shown(commands.entries()).contains(u"Report a Problem"_s));
        QCOMPARE(commands.entries().at(commands.entries().size() - 4).title, u"Version "_s + appVersion());

        const std::unique_ptr<ModelHarness> bareHarness = makeModel({.backend = false, .gateway = true, .smokeTest = false, .profileEmail = {}});
        AppModel *bare = bareHarness->model.get();
        commands.setModel(bare);
        QCOMPARE(shown(commands.entries()).at(3), u"Cloud Unavailable (label) (off)"_s);
        QVERIFY(shown(commands.entries()).contains(u"Report a Problem"_s));
        commands.setModel(nullptr);
    }

    // The menu is rebuilt when the state under it changes, and a refresh under way disables its
    // entry, so choosing it then starts nothing.
    void followsRefresh()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        MoreMenuCommands commands;
        commands.setModel(model);
        QSignalSpy rebuilt(&commands, &MoreMenuCommands::entriesChanged);
        QVERIFY(offers(commands, Command::refresh));
        commands.activate(int(Command::refresh));
        QVERIFY(model->isRefreshing());
        QVERIFY(rebuilt.count() >= 1);
        QVERIFY(!offers(commands, Command::refresh));
        QVERIFY(shown(commands.entries()).contains(u"Refreshing… (off)"_s));
        const quint64 generation = model->refreshGeneration();
        commands.activate(int(Command::refresh));
        QCOMPARE(model->refreshGeneration(), generation);
        QTRY_VERIFY(!model->isRefreshing());
        QVERIFY(offers(commands, Command::refresh));
    }

    // "Version …" copies the diagnostics and "Copy Support Email" the address, each with its toast
    // for 3.5 seconds; the second replaces the first and starts the time again.
    void copyEntries()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        ManualDelay toastTime;
        PanelState panel(*model, modelHarness->clock, toastTime.delay());
        RecordingDesktop desktop;
        MoreMenuCommands commands;
        commands.setModel(model);
        commands.setPanel(&panel);
        commands.setDesktop(&desktop);

        commands.activate(int(Command::copyDiagnostics));
        QCOMPARE(desktop.copies, QStringList{model->diagnosticsReport()});
        QVERIFY(desktop.copies.constFirst().contains(u"Quorvane "_s + appVersion()));
        QCOMPARE(panel.copiedToast(), u"Copied! Paste into an email for support."_s);
        toastTime.advance(3s);
        commands.activate(int(Command::copySupportEmail));
        QCOMPARE(desktop.copies.constLast(), AppModel::supportAddress);
        QCOMPARE(panel.copiedToast(), u"Copied! Come back and click Version to grab your details too."_s);
        toastTime.advance(3499ms);
        QCOMPARE(panel.copiedToast(), u"Copied! Come back and click Version to grab your details too."_s);
        toastTime.advance(1ms);
        QCOMPARE(panel.copiedToast(), QString());
    }

    // "Report a Problem" sends through the model's error log to the gateway; a build without one
    // neither shows the entry nor sends when asked anyway.
    void reportProblem()
    {
        const std::unique_ptr<ModelHarness> withoutGatewayHarness = makeModel({.backend = true, .gateway = false, .smokeTest = false, .profileEmail = {}});
        AppModel *withoutGateway = withoutGatewayHarness->model.get();
        MoreMenuCommands commands;
        commands.setModel(withoutGateway);
        commands.activate(int(Command::reportProblem));
        QCOMPARE(withoutGateway->errorLog().reportState(), ErrorLog::ReportState::Idle);

        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        commands.setModel(model);
        QVERIFY(offers(commands, Command::reportProblem));
        commands.activate(int(Command::reportProblem));
        QCOMPARE(model->errorLog().reportState(), ErrorLog::ReportState::Sending);
        QTRY_COMPARE(model->errorLog().reportState(), ErrorLog::ReportState::Sent);
        QCOMPARE(m_gateway->requests("POST", u"/error-report"_s).size(), 1);
        // Still offered while the outcome shows; the log refuses a second send while one runs.
        QVERIFY(offers(commands, Command::reportProblem));
        modelHarness->time.advance(ErrorLog::reportOutcomeShownFor);
        QCOMPARE(model->errorLog().reportState(), ErrorLog::ReportState::Idle);
    }

    // "Check for Updates…" says where updates come from, with the running version, and never that
    // this version is the newest; a smoke-test process has no updater.
    void checkForUpdates()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        QVERIFY(model->updater());
        MoreMenuCommands commands;
        commands.setModel(model);
        commands.activate(int(Command::checkForUpdates));
        const std::optional<ConfirmRequest> notice = model->confirms().current();
        QVERIFY(notice);
        QVERIFY(notice->isNotice);
        QCOMPARE(notice->title, UpdaterController::noticeTitle);
        QVERIFY(notice->message.contains(u"package manager"_s));
        QVERIFY(notice->message.contains(u"version 2.0.0"_s));
        for (const QString &claim : {u"up to date"_s, u"up-to-date"_s, u"latest"_s, u"newest"_s})
            QVERIFY2(!notice->message.contains(claim, Qt::CaseInsensitive), qPrintable(claim));
        model->confirms().confirmCurrent();
        QVERIFY(!model->confirms().current());

        const std::unique_ptr<ModelHarness> smokeHarness = makeModel({.backend = true, .gateway = true, .smokeTest = true, .profileEmail = {}});
        AppModel *smoke = smokeHarness->model.get();
        QVERIFY(!smoke->updater());
        commands.setModel(smoke);
        commands.activate(int(Command::checkForUpdates));
        QVERIFY(!smoke->confirms().current());
    }

    // The entries that change the panel's or the model's flags.
    void flags()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        ManualDelay toastTime;
        PanelState panel(*model, modelHarness->clock, toastTime.delay());
        MoreMenuCommands commands;
        commands.setModel(model);
        commands.setPanel(&panel);

        QSignalSpy intro(model, &AppModel::showingIntroChanged);
        commands.activate(int(Command::howToUse));
        QVERIFY(model->showingIntro());
        commands.activate(int(Command::howToUse));
        QCOMPARE(intro.count(), 1);

        commands.activate(int(Command::about));
        QVERIFY(panel.showingAbout());

        QVERIFY(!model->launchAtLogin());
        commands.activate(int(Command::launchAtLogin));
        QVERIFY(model->launchAtLogin());
        QVERIFY(shown(commands.entries()).contains(u"[x] Launch at Login"_s));
        commands.activate(int(Command::launchAtLogin));
        QVERIFY(!model->launchAtLogin());
        QVERIFY(shown(commands.entries()).contains(u"[ ] Launch at Login"_s));

        QSignalSpy quit(&commands, &MoreMenuCommands::quitRequested);
        commands.activate(int(Command::quit));
        QCOMPARE(quit.count(), 1);
    }

    // "Sign In…" asks to sign in with its reason; "Connect All MCPs" with nothing to authorize
    // opens no sheet.
    void requests()
    {
        const std::unique_ptr<ModelHarness> modelHarness = makeModel(Setup());
        AppModel *model = modelHarness->model.get();
        QCoro::waitFor(model->account().start());
        MoreMenuCommands commands;
        commands.setModel(model);
        QVERIFY(offers(commands, Command::signIn));
        commands.activate(int(Command::signIn));
        QVERIFY(model->cloud().signIn());
        QCOMPARE(model->cloud().signIn()->reason, MoreMenuEntries::signInReason);

        commands.activate(int(Command::connectAll));
        QVERIFY(!model->activity().sheet());
        QVERIFY(!model->authorizer().isBatchRunning());
    }
};

QTEST_MAIN(tst_MoreMenu)
#include "tst_MoreMenu.moc"
