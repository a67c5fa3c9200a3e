// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

class AppModel;

/**
 * @brief Authorizing a connection in the browser through claude's login, checking which sites the
 * grant reaches, correcting an over-broad grant, moving a project to its verified site, and
 * authorizing many connections in one run.
 */
class AuthorizeFlow final : public QObject
{
    Q_OBJECT

public:
    explicit AuthorizeFlow(AppModel &model, QObject *parent = nullptr);

    /// Authorizes the named connection in an activity sheet, then checks its scope.
    QCoro::Task<> authorize(QString name);

private:
    AppModel &m_model;
};
