// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/TrayPresence.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <xcb/xcb.h>

TrayPresence::TrayPresence(std::function<bool()> probe, QObject *parent)
    : QObject(parent)
    , m_probe(std::move(probe))
    , m_available(m_probe())
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installNativeEventFilter(this);
}

TrayPresence::~TrayPresence()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
}

void TrayPresence::recheck()
{
    const bool available = m_probe();
    if (available == m_available)
        return;
    m_available = available;
    emit availableChanged(available);
}

bool TrayPresence::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto type = static_cast<const xcb_generic_event_t *>(message)->response_type & ~0x80;
    // A new tray's MANAGER announcement, or a destroyed window that may be the tray's: the
    // platform plugin learns of it after this filter, so the look comes once it has.
    if (type == XCB_CLIENT_MESSAGE || type == XCB_DESTROY_NOTIFY)
        QMetaObject::invokeMethod(this, &TrayPresence::recheck, Qt::QueuedConnection);
    return false;
}
