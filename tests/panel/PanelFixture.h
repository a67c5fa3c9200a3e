// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Connection.h"
#include "model/ConnectionStore.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "panel/Desktop.h"
#include "panel/ProjectActions.h"
#include "support/StoreTesting.h"

#include <QStandardItemModel>
#include <QStringList>
#include <QVariantList>

#include <memory>

/// Actions that record what the cards ask, in order, as "name(arguments)" lines, and keep the
/// confirmations they raise.
class FakeActions : public ProjectActions
{
    Q_OBJECT
    Q_PROPERTY(QStringList calls READ calls NOTIFY changed)
    Q_PROPERTY(QString confirmTitle READ confirmTitle NOTIFY changed)
    Q_PROPERTY(QString confirmMessage READ confirmMessage NOTIFY changed)
    Q_PROPERTY(int confirmCount READ confirmCount NOTIFY changed)

public:
    using ProjectActions::ProjectActions;

    [[nodiscard]] QStringList calls() const { return m_calls; }
    [[nodiscard]] const QList<ConfirmRequest> &confirms() const { return m_confirms; }
    [[nodiscard]] QString confirmTitle() const { return m_confirms.isEmpty() ? QString() : m_confirms.last().title; }
    [[nodiscard]] QString confirmMessage() const { return m_confirms.isEmpty() ? QString() : m_confirms.last().message; }
    [[nodiscard]] int confirmCount() const { return int(m_confirms.size()); }
    /// Runs the action of the last confirmation, as the overlay's confirming button does.
    Q_INVOKABLE void confirmLast();

    bool refuseRevocation = false;
    QString removal = QStringLiteral("Removes the card.");

    void present(ConfirmRequest request) override;
    void record(const QString &area, const QString &message) override;
    void connectProject(const Project &project, bool askWhenLive, bool authorizeAtOnce) override;
    void verifyScope(const QString &mcpName) override;
    void moveProject(const Project &project) override;
    void refresh(bool force) override;
    void renameMCP(const Project &project, const QString &typed) override;
    void unregisterMCP(const Project &project) override;
    void removeProject(const Project &project) override;
    void connectPublishing(const PublishConnect &connect) override;
    void disconnectPublishing(const QString &siteID, const QString &mcpName) override;
    bool refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                      const std::optional<QString> &mcpName) override;
    void offerWebflowConnectionReset() override;
    QString removalDescription(const Project &project) override;

signals:
    void changed();

private:
    void note(const QString &call);

    QStringList m_calls;
    QList<ConfirmRequest> m_confirms;
};

/// A clipboard and browser that only remember.
class FakeDesktop : public Desktop
{
    Q_OBJECT
    Q_PROPERTY(QStringList copies READ copies NOTIFY changed)
    Q_PROPERTY(QStringList opened READ opened NOTIFY changed)

public:
    using Desktop::Desktop;

    [[nodiscard]] QStringList copies() const { return m_copies; }
    [[nodiscard]] QStringList opened() const { return m_opened; }
    bool refuse = false;

    void copyText(const QString &text) override;
    bool openUrl(const QUrl &url) override;

signals:
    void changed();

private:
    QStringList m_copies;
    QStringList m_opened;
};

/**
 * @brief A stand-in for the application model with the property names the cards read: real
 * project, connection and site stores in a temporary home, a connections list the test fills,
 * and the model's flags; with fake actions and desktop beside it.
 */
class PanelFixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ProjectStore *projectStore READ projectStore CONSTANT)
    Q_PROPERTY(ConnectionStore *connectionStore READ connectionStore CONSTANT)
    Q_PROPERTY(SiteDirectory *siteDirectory READ siteDirectory CONSTANT)
    Q_PROPERTY(QAbstractItemModel *connections READ connections CONSTANT)
    Q_PROPERTY(bool isLoading MEMBER m_loading NOTIFY flagsChanged)
    Q_PROPERTY(QStringList busy MEMBER m_busy NOTIFY flagsChanged)
    Q_PROPERTY(QStringList statusChecksInFlight MEMBER m_checking NOTIFY flagsChanged)
    Q_PROPERTY(FakeActions *actions READ actions CONSTANT)
    Q_PROPERTY(FakeDesktop *desktop READ desktop CONSTANT)

public:
    explicit PanelFixture(QObject *parent = nullptr);
    ~PanelFixture() override;

    [[nodiscard]] ProjectStore *projectStore() { return m_projects.get(); }
    [[nodiscard]] ConnectionStore *connectionStore() { return m_connectionStore.get(); }
    [[nodiscard]] SiteDirectory *siteDirectory() { return m_sites.get(); }
    [[nodiscard]] QAbstractItemModel *connections() { return &m_connections; }
    [[nodiscard]] FakeActions *actions() { return &m_actions; }
    [[nodiscard]] FakeDesktop *desktop() { return &m_desktop; }
    [[nodiscard]] StoreFixture &stores() { return *m_stores; }

    /// Stores a project and answers its id; `recovery` is a recovery's raw text or empty.
    Q_INVOKABLE QString addProject(const QString &title, const QString &mcpName, const QString &issue = {},
                                   const QString &recovery = {}, const QString &siteId = {});
    Q_INVOKABLE void forgetProject(const QString &id);
    /// Lists a connection with the status's raw text, or changes the listed one's status.
    Q_INVOKABLE void setConnection(const QString &name, const QString &status);
    Q_INVOKABLE void addSite(const QString &id, const QString &name, const QString &shortName,
                             const QStringList &connections);

private:
    std::unique_ptr<StoreFixture> m_stores;
    std::unique_ptr<ProjectStore> m_projects;
    std::unique_ptr<ConnectionStore> m_connectionStore;
    std::unique_ptr<SiteDirectory> m_sites;
    QStandardItemModel m_connections;
    QList<Connection> m_verified;
    bool m_loading = false;
    QStringList m_busy;
    QStringList m_checking;
    FakeActions m_actions;
    FakeDesktop m_desktop;

signals:
    void flagsChanged();
};
