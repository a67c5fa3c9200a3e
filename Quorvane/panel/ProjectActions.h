// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConfirmRequest.h"
#include "model/Project.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief What the cards ask of the application model: the flows they start, the confirmations
 * they raise and the failures they record.
 *
 * The cards stand below the application model, so they reach it through this one interface, which
 * the model's side implements by starting its flows (every call that starts one returns at once
 * and reads no result); tests hand in a fake that records the calls.
 */
class ProjectActions : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The panel's owner hands the cards its actions.")

public:
    /// What a publishing connect started from a card names.
    struct PublishConnect
    {
        std::optional<QString> siteID;
        std::optional<QString> siteName;
        /// The site's label as the card shows it.
        QString label;
        std::optional<QString> mcpName;
        friend bool operator==(const PublishConnect &, const PublishConnect &) = default;
    };

    using QObject::QObject;

    /// Shows the request in the confirm overlay, behind any that shows.
    virtual void present(ConfirmRequest request) = 0;
    /// Records a user-visible failure in the error log under `area`.
    virtual void record(const QString &area, const QString &message) = 0;

    /// Registers, checks or re-authorizes the project's server; `askWhenLive` asks about
    /// re-authentication although the server is live, `authorizeAtOnce` skips that question.
    virtual void connectProject(const Project &project, bool askWhenLive, bool authorizeAtOnce) = 0;
    virtual void verifyScope(const QString &mcpName) = 0;
    virtual void moveProject(const Project &project) = 0;
    virtual void refresh(bool force) = 0;
    virtual void renameMCP(const Project &project, const QString &typed) = 0;
    virtual void unregisterMCP(const Project &project) = 0;
    virtual void removeProject(const Project &project) = 0;
    /// Connects publishing for a site, not pre-confirmed; nothing when the model is gone.
    virtual void connectPublishing(const PublishConnect &connect) = 0;
    virtual void disconnectPublishing(const QString &siteID, const QString &mcpName) = 0;
    /// Raises the "still finishing" notice and answers true while the site's revocation is pending.
    virtual bool refuseWhileRevocationPending(const std::optional<QString> &siteID, const QString &label,
                                              const std::optional<QString> &mcpName) = 0;
    virtual void offerWebflowConnectionReset() = 0;
    /// The message of the remove confirmation for the project.
    [[nodiscard]] virtual QString removalDescription(const Project &project) = 0;
};
