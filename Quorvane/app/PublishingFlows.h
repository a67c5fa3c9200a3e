// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QUuid>

class AppModel;

/**
 * @brief Connecting publishing access for a project's site through the browser consent,
 * disconnecting it, resetting an uncertain Webflow authorization and reviewing a cancelled connect.
 */
class PublishingFlows final : public QObject
{
    Q_OBJECT

public:
    explicit PublishingFlows(AppModel &model, QObject *parent = nullptr);

    /// Forgets the connect that belonged to the previous signed-in user: its task, operation and
    /// identity, and the cancellations awaiting review.
    void tearDownConnect();
    /// Stops the connect behind a cancelled publishing sheet.
    void cancelConnectFor(const QUuid &activityId);

private:
    AppModel &m_model;
};
