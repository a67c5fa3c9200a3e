// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "panel/ProjectActions.h"

class AppModel;

/**
 * @brief The cards' actions as the application model carries them out: each call starts the
 * flow object that owns the operation and returns, leaving the flow to run on by itself.
 *
 * The model owns it, so it never outlives the flows it starts.
 */
class AppProjectActions final : public ProjectActions
{
    Q_OBJECT

public:
    explicit AppProjectActions(AppModel &model, QObject *parent = nullptr);

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
    [[nodiscard]] QString removalDescription(const Project &project) override;

private:
    AppModel &m_model;
};
