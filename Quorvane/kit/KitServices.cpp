// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/KitServices.h"

#include <QQmlEngine>

KitServices::KitServices(QQmlEngine &engine, IconLoader &icons)
    : QObject(&engine)
    , m_icons(icons)
{
}

KitServices *KitServices::of(const QObject *object)
{
    const QQmlEngine *engine = object ? qmlEngine(object) : nullptr;
    return engine ? engine->findChild<KitServices *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}
