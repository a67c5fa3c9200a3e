// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QMetaType>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

/**
 * @brief One question or notice for the confirm overlay. The action stays on the C++ side: the
 * overlay only asks the model to confirm or dismiss the request it shows.
 */
struct ConfirmRequest
{
    Q_GADGET
    Q_PROPERTY(QUuid id MEMBER id)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString message MEMBER message)
    Q_PROPERTY(QString confirmLabel MEMBER confirmLabel)
    Q_PROPERTY(QString cancelLabel MEMBER cancelLabel)
    Q_PROPERTY(bool isDestructive MEMBER isDestructive)
    Q_PROPERTY(bool isNotice MEMBER isNotice)
    Q_PROPERTY(QString icon READ iconName)

public:
    /// New and random for every request.
    QUuid id = QUuid::createUuid();
    QString title;
    QString message;
    QString confirmLabel;
    QString cancelLabel = QStringLiteral("Cancel");
    bool isDestructive = false;
    /// A notice informs; it asks nothing.
    bool isNotice = false;
    /// The dialog icon's name.
    std::optional<QString> icon;
    /// Run when the user confirms.
    std::function<void()> action;

    /// A notice that only tells: its one button reads "OK" and does nothing more.
    [[nodiscard]] static ConfirmRequest notice(const QString &title, const QString &message,
                                               std::optional<QString> icon = std::nullopt)
    {
        ConfirmRequest request;
        request.title = title;
        request.message = message;
        request.confirmLabel = QStringLiteral("OK");
        request.isNotice = true;
        request.icon = std::move(icon);
        // Callable like any request's, so whoever confirms need not tell the two apart.
        request.action = [] {};
        return request;
    }

    [[nodiscard]] QString iconName() const { return icon.value_or(QString()); }
};

Q_DECLARE_METATYPE(ConfirmRequest)
