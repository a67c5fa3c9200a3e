// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConnectionStatus.h"
#include "model/Project.h"
#include "model/UnrecognizedServer.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QUuid>

class AppModel;

/**
 * @brief A project card's Connect and Re-authenticate: asks Claude's registry about the project's
 * server at this moment, then registers and authorizes it, authorizes it at once, asks before
 * replacing a working authorization, or explains why nothing may be done.
 */
class ConnectFlow final : public QObject
{
    Q_OBJECT

public:
    /// What the registry and the server's live status say about one name right now.
    struct RegistrationCheck
    {
        enum class Kind {
            /// A managed user-scope entry, with its live status (never checking or missing).
            live,
            /// The registry lists the name nowhere.
            notRegistered,
            /// Nothing more may be done now: the name was busy, or a notice already explains why.
            stopped,
        };
        Kind kind = Kind::stopped;
        ConnectionStatus status = ConnectionStatus::unknown;

        friend bool operator==(const RegistrationCheck &, const RegistrationCheck &) = default;
    };

    explicit ConnectFlow(AppModel &model, QObject *parent = nullptr);

    /**
     * Reads ~/.claude.json again for this name, brings the unmanaged entries up to date, refuses
     * with a notice when the registry cannot be read or an unmanaged entry holds the name, and
     * otherwise asks claude for the server's live status (twice when the first answer is
     * doubtful), showing it on the connection's row.
     */
    QCoro::Task<RegistrationCheck> inspectRegistration(QString name);

    /**
     * Connects the project's server: registers and authorizes one that Claude does not list,
     * authorizes a listed one at once when `confirmed`, and otherwise asks first unless it is
     * connected and `reauthenticate` is unset.
     */
    QCoro::Task<> connectProject(Project project, bool reauthenticate, bool confirmed);
    /// The card's Connect (and with `reauthenticate`, Re-authenticate) for the project with that id.
    Q_INVOKABLE void connectProjectWithId(const QUuid &projectId, bool reauthenticate);

    /// The message of the re-authenticate question for the status the inspection found.
    [[nodiscard]] static QString reauthenticateMessage(ConnectionStatus status);
    /// The message of the notice for a name that an unmanaged entry holds.
    [[nodiscard]] static QString attentionMessage(UnrecognizedServer::Reason reason);

private:
    /// Registers and records a server Claude does not list, then refreshes, and authorizes it
    /// when both worked.
    QCoro::Task<> registerThenAuthorize(Project project);
    void askToReauthenticate(const Project &project, ConnectionStatus status);
    void notice(const QString &title, const QString &message, const QString &icon);
    void removeRows(const QString &name);

    AppModel &m_model;
};
