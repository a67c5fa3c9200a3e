// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"
#include "support/FakeClaude.h"
#include "support/ManualClock.h"
#include "support/ManualDelay.h"
#include "support/MemorySystemLog.h"
#include "support/RegistryJson.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QCoro/QCoroTask>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

#include <functional>

#include <memory>

/**
 * @brief A real application model over a temporary home with the scripted claude first on PATH,
 * for the tests of the flows: its stores write for real, except the files the test makes fail.
 * Build a fresh one per test function.
 */
class ModelHarness
{
public:
    static inline const QString endpoint = QStringLiteral("https://mcp.webflow.com/mcp");

    /// `prepare` writes what the model finds when it is built (its files in the home); `adjust`
    /// changes the model's parts beyond these defaults (a backend, an error gateway, …).
    explicit ModelHarness(const std::function<void(const TempHome &)> &prepare = {},
                          const std::function<void(AppModel::Environment &)> &adjust = {})
        : claude(home)
    {
        if (prepare)
            prepare(home);
        // Discovery asks for the version; a status check needs an answer to say anything.
        claude.answer(QStringLiteral("mcp get"), {"Status: ✔ Connected\n", {}, 0, false, std::nullopt});
        AppModel::Environment environment;
        environment.systemLog = &systemLog;
        environment.driver = claude.configuration();
        environment.driver.registryPath = registryPath();
        environment.pillDelay = time.delay();
        environment.clock = &clock;
        environment.accountPause = time.delay();
        environment.schedulePollDelay = time.delay();
        environment.errorReportDelay = time.delay();
        environment.storeWriter = [this](const QByteArray &bytes, const QString &path) -> std::optional<QString> {
            for (const QString &name : std::as_const(failingFiles)) {
                if (path.endsWith(u'/' + name))
                    return QStringLiteral("disk full");
            }
            return StoreFile::writeAtomically(bytes, path);
        };
        environment.operatingSystem = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
        environment.settingsFile = home.filePath(QStringLiteral("settings.ini"));
        environment.loginItem = LoginItem(QStringLiteral("quorvane"), QStringLiteral("/usr/bin/quorvane"),
                                          home.filePath(QStringLiteral("autostart")));
        environment.version = QStringLiteral("2.0.0");
        if (adjust)
            adjust(environment);
        model = std::make_unique<AppModel>(std::move(environment));
    }

    [[nodiscard]] QString registryPath() const { return home.filePath(QStringLiteral(".claude.json")); }
    void writeRegistry(const QByteArray &content) const { putFile(registryPath(), content); }

    /// The user-scope server names ~/.claude.json holds now.
    [[nodiscard]] QStringList registeredNames() const
    {
        return QJsonDocument::fromJson(fileBytes(registryPath()))
            .object()
            .value(QStringLiteral("mcpServers"))
            .toObject()
            .keys();
    }

    /// Runs a refresh to its end.
    [[nodiscard]] bool refreshed() { return QCoro::waitFor(model->refresh(true)); }

    /// The messages the error log kept under the area, oldest first.
    [[nodiscard]] QStringList logged(const QString &area) const
    {
        QStringList messages;
        for (const ErrorEvent &event : model->errorLog().events()) {
            if (event.area == area)
                messages.append(event.message);
        }
        return messages;
    }

    /// The project with that server name.
    [[nodiscard]] std::optional<Project> project(const QString &mcpName) const
    {
        return model->projectStore().projectForMCPName(mcpName);
    }

    [[nodiscard]] std::optional<ConnectionStatus> statusOf(const QString &name) const
    {
        for (const Connection &connection : model->connections()) {
            if (connection.name == name)
                return connection.status;
        }
        return std::nullopt;
    }

    /// The calls of the scripted claude whose first two arguments are these.
    [[nodiscard]] QList<QStringList> callsOf(const QString &first, const QString &second) const
    {
        QList<QStringList> found;
        for (const QStringList &call : claude.calls()) {
            if (call.size() >= 2 && call.at(0) == first && call.at(1) == second)
                found.append(call);
        }
        return found;
    }

    [[nodiscard]] static QStringList registration(const QString &name)
    {
        return {QStringLiteral("mcp"),  QStringLiteral("add"),  QStringLiteral("--transport"), QStringLiteral("http"),
                QStringLiteral("--scope"), QStringLiteral("user"), name,                         endpoint};
    }
    [[nodiscard]] static QStringList removal(const QString &name)
    {
        return {QStringLiteral("mcp"), QStringLiteral("remove"), name, QStringLiteral("-s"), QStringLiteral("user")};
    }

    // Declared first so that it goes last, after the model whose waits it ends.
    ManualDelay time;
    TempHome home;
    FakeClaude claude;
    MemorySystemLog systemLog;
    ManualClock clock;
    /// File names (connections.json, sites.json, …) whose writes fail.
    QSet<QString> failingFiles;
    std::unique_ptr<AppModel> model;
};
