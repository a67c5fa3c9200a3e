// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/ConfirmRequest.h"

#include <QList>
#include <QObject>

#include <optional>

/**
 * @brief The questions and notices for the confirm overlay, shown one at a time in the order the
 * flows asked them. A request made while another shows waits behind it rather than replacing it,
 * so a notice is never lost to a question's action.
 */
class ConfirmQueue final : public QObject
{
    Q_OBJECT
    /// The request shown; an invalid id when none.
    Q_PROPERTY(ConfirmRequest confirm READ confirmValue NOTIFY confirmChanged)
    Q_PROPERTY(bool hasConfirm READ hasConfirm NOTIFY confirmChanged)

public:
    using QObject::QObject;

    [[nodiscard]] std::optional<ConfirmRequest> current() const;

    /// Shows the request, or queues it behind the one showing.
    void present(ConfirmRequest request);
    /// The overlay's confirming button: the shown request goes first, then its action runs, so a
    /// request the action makes is shown rather than cleared.
    Q_INVOKABLE void confirmCurrent();
    /// The overlay's dismissing button, Escape or a click beside it.
    Q_INVOKABLE void dismissConfirm();
    /// Takes a request back, shown or waiting, without running its action.
    void withdraw(const QUuid &id);

signals:
    void confirmChanged();

private:
    [[nodiscard]] ConfirmRequest confirmValue() const;
    [[nodiscard]] bool hasConfirm() const { return !m_requests.isEmpty(); }

    QList<ConfirmRequest> m_requests;
};
