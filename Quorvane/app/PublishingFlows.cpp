// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PublishingFlows.h"

#include "app/AppModel.h"

PublishingFlows::PublishingFlows(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void PublishingFlows::tearDownConnect()
{
}

void PublishingFlows::cancelConnectFor(const QUuid &activityId)
{
    Q_UNUSED(activityId);
}
