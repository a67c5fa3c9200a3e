// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"
#include "backend/BackendClient.h"
#include "backend/BackendSession.h"
#include "foundation/StoreFile.h"
#include "support/FakeBackend.h"
#include "support/FakeClaude.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySessionStorage.h"
#include "support/MemorySystemLog.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>
#include <memory>

/**
 * @brief A real application model over a temporary home, with the claude stand-in on its path,
 * the hosted backend played on loopback, and local stores whose writes a test can refuse by file.
 *
 * Members go in reverse order of need: the model goes first, before the fakes it talks to.
 */
struct FlowHarness
{
    static inline const QString endpoint = QStringLiteral("https://mcp.webflow.com/mcp");

    TempHome home;
    FakeClaude claude{home};
    FakeBackend backend;
    MemorySessionStorage sessions;
    MemorySystemLog systemLog;
    ManualClock clock;
    ManualDelay time;
    /// Refuses a store's write when it answers true for the file's name and the bytes.
    std::function<bool(const QString &file, const QByteArray &bytes)> refuseWrite;
    std::unique_ptr<AppModel> model;

    FlowHarness() { backend.serveScheduledPublishing(); }
    ~FlowHarness() { model.reset(); }

    /// The model, with the backend configured when `cloud` is set.
    AppModel &makeModel(bool cloud = false)
    {
        AppModel::Environment environment;
        environment.systemLog = &systemLog;
        environment.driver = claude.configuration();
        environment.driver.registryPath = registryPath();
        environment.pillDelay = time.delay();
        environment.clock = &clock;
        environment.accountPause = time.delay();
        environment.schedulePollDelay = time.delay();
        environment.storeWriter = [this](const QByteArray &bytes, const QString &path) -> std::optional<QString> {
            if (refuseWrite && refuseWrite(QFileInfo(path).fileName(), bytes))
                return QStringLiteral("No space left on device");
            return StoreFile::writeAtomically(bytes, path);
        };
        environment.operatingSystem = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
        environment.settingsFile = home.filePath(QStringLiteral("settings.ini"));
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          home.filePath(QStringLiteral("autostart")));
        environment.version = QStringLiteral("2.0.0");
        if (cloud) {
            environment.backend = BackendConfiguration{backend.url(), FakeBackend::publishableKey};
            sessions.items.insert(BackendClient::sessionKey,
                                  BackendSession::fromAuthReply(backend.issueSession(), clock.now())->toStored());
            environment.sessionStorage = &sessions;
        }
        model = std::make_unique<AppModel>(std::move(environment));
        return *model;
    }

    /// The schedule store works for the signed-in user in the cloud, after one read of its queue.
    void bindCloud()
    {
        ScheduleStore &schedules = model->scheduleStore();
        schedules.attachClient(model->account().client());
        schedules.bindAccount(backend.userId);
        if (!QCoro::waitFor(schedules.refreshQueue()))
            qFatal("the first queue read was not applied");
    }

    [[nodiscard]] QString registryPath() const { return home.filePath(QStringLiteral(".claude.json")); }

    /// ~/.claude.json with user-scope servers of these names and, per folder, local-scope ones.
    [[nodiscard]] static QByteArray registry(const QStringList &user, const QMap<QString, QStringList> &folders = {})
    {
        const auto servers = [](const QStringList &names) {
            QJsonObject entries;
            for (const QString &name : names)
                entries.insert(name, QJsonObject{{QStringLiteral("type"), QStringLiteral("http")},
                                                 {QStringLiteral("url"), endpoint}});
            return entries;
        };
        QJsonObject top{{QStringLiteral("mcpServers"), servers(user)}};
        QJsonObject projects;
        for (auto it = folders.cbegin(); it != folders.cend(); ++it)
            projects.insert(it.key(), QJsonObject{{QStringLiteral("mcpServers"), servers(it.value())}});
        if (!projects.isEmpty())
            top.insert(QStringLiteral("projects"), projects);
        return QJsonDocument(top).toJson();
    }

    void writeRegistry(const QByteArray &content) const { putFile(registryPath(), content); }

    /// claude's answer to removing one server: success, leaving the registry as given, or without
    /// the server as the real tool does.
    void answerRemoval(const QString &name, const std::optional<QByteArray> &registryAfter = std::nullopt)
    {
        claude.answer(QStringLiteral("mcp remove ") + name, {"Removed MCP server " + name.toUtf8() + "\n", {}, 0,
                                                              false, registryAfter});
    }

    /// claude's answer to removing one server: a failure with this output.
    void refuseRemoval(const QString &name, const QByteArray &output)
    {
        claude.answer(QStringLiteral("mcp remove ") + name, {{}, output, 1, false, std::nullopt});
    }

    /// A new project titled `title`, bound to `site` when one is given.
    Project addProject(const QString &title, const std::optional<QString> &site = std::nullopt)
    {
        const auto made = model->projectStore().createProject(title);
        const Project *project = std::get_if<Project>(&made);
        if (!project)
            qFatal("the project could not be created");
        if (site && model->projectStore().setSiteId(project->id, site))
            qFatal("the project could not be bound to its site");
        return *model->projectStore().projectForMCPName(project->mcpName);
    }

    /// Verified metadata of a connection reaching one site.
    void addMeta(const QString &name, const QString &siteName = QStringLiteral("Acme"))
    {
        ConnectionMeta meta;
        meta.addedAt = ReferenceSeconds::Instant(clock.now().addSecs(-60));
        meta.verifiedAt = ReferenceSeconds::Instant(clock.now().addSecs(-30));
        meta.sites = QList<SiteRef>{SiteRef{siteName, QStringLiteral("site-1"), std::nullopt}};
        meta.source = QStringLiteral("model");
        QMap<QString, ConnectionMeta> connections = model->connectionStore().connections();
        connections.insert(name, meta);
        if (model->connectionStore().save(connections))
            qFatal("the metadata could not be saved");
    }

    [[nodiscard]] std::optional<Project> project(const QString &mcpName) const
    {
        return model->projectStore().projectForMCPName(mcpName);
    }

    /// The calls made to claude that change or read a registration.
    [[nodiscard]] QList<QStringList> registryCalls() const
    {
        QList<QStringList> calls;
        for (const QStringList &call : claude.calls()) {
            if (call.size() > 1 && call.at(0) == u"mcp" && (call.at(1) == u"add" || call.at(1) == u"remove"))
                calls.append(call);
        }
        return calls;
    }

    /// The bodies of the calls made to a backend function, oldest first.
    [[nodiscard]] QList<QJsonObject> rpcCalls(const QString &function) const
    {
        QList<QJsonObject> bodies;
        for (const FakeHttpServer::Request &request :
             backend.requests("POST", QStringLiteral("/rest/v1/rpc/") + function))
            bodies.append(request.json());
        return bodies;
    }

    [[nodiscard]] QStringList logged(const QString &area) const
    {
        QStringList messages;
        for (const ErrorEvent &event : model->errorLog().events()) {
            if (event.area == area)
                messages.append(event.message);
        }
        return messages;
    }
};

/// Runs a model task to its end on the event loop, as the panel's task would.
template <typename T>
T finished(QCoro::Task<T> task)
{
    return QCoro::waitFor(std::move(task));
}
