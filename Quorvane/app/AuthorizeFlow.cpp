// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AuthorizeFlow.h"

#include "app/AppModel.h"

AuthorizeFlow::AuthorizeFlow(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

QCoro::Task<> AuthorizeFlow::authorize(QString name)
{
    Q_UNUSED(name);
    co_return;
}
