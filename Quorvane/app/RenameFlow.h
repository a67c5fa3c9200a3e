// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/Project.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QUuid>

class AppModel;

/**
 * @brief Giving a project's MCP connection a new server name as one recorded transaction: the old
 * registration is removed, the new one added, the metadata moved and the project renamed, and a
 * failing step undoes the earlier ones in reverse order.
 *
 * The transaction is recorded on the project as a rename intent before claude runs, so that an
 * interruption, or an undo that itself fails, is settled by the recovery of the next refreshes.
 * Outcomes show as the project's issue.
 */
class RenameFlow final : public QObject
{
    Q_OBJECT

public:
    explicit RenameFlow(AppModel &model, QObject *parent = nullptr);

    /// Renames the project's connection to the server name the typed text normalizes to; nothing
    /// happens for a name that normalizes to nothing or to the current one. `project` is a copy,
    /// since the store's list may change while the rename waits on claude.
    QCoro::Task<> renameMCP(Project project, QString typed);

    /// The project card's submit of an edited name.
    Q_INVOKABLE void rename(const QUuid &projectId, const QString &typed);

signals:
    /// The rename could not be recorded, so claude was not asked: the sentence belongs where the
    /// panel shows failures of the add field.
    void addErrorRaised(const QString &sentence);

private:
    AppModel &m_model;
};
