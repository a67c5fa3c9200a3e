// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/PanelServices.h"

#include "foundation/Clock.h"

#include <QQmlEngine>

PanelServices::PanelServices(QQmlEngine &engine, const Clock &clock)
    : QObject(&engine)
    , m_clock(clock)
{
}

const Clock &PanelServices::clockOf(const QObject *object)
{
    const QQmlEngine *engine = object ? qmlEngine(object) : nullptr;
    const auto *services = engine ? engine->findChild<PanelServices *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    return services ? services->m_clock : Clock::system();
}
