// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "kit/DialogStyle.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The confirm overlay's buttons and keys by the request's two flags. A confirmation has a
 * cancel and a confirm button and no button answers Return, so a stray Return never confirms
 * anything; a notice has its one button, which Return presses. Escape always only dismisses.
 */
class ConfirmOverlayRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// Whether the cancel button shows: not in a notice.
    Q_INVOKABLE static bool showsCancel(bool isNotice) { return !isNotice; }
    /// The confirm button's look.
    Q_INVOKABLE static DialogStyle::ButtonVariant confirmVariant(bool isDestructive)
    {
        return isDestructive ? DialogStyle::ButtonVariant::Destructive : DialogStyle::ButtonVariant::Primary;
    }
    /// Whether Return confirms: only in a notice.
    Q_INVOKABLE static bool returnConfirms(bool isNotice) { return isNotice; }
    /// Whether the message line shows: only when there is a message.
    Q_INVOKABLE static bool showsMessage(const QString &message) { return !message.isEmpty(); }
};
