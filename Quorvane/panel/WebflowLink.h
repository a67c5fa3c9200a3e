// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "panel/ProjectBinding.h"

#include <QUrl>

#include <optional>

/**
 * @brief The Webflow button's view of one project: the Designer address of its site when there is
 * one, the texts that say what a press does, and the press itself.
 */
class WebflowLink : public ProjectBinding
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool hasLink READ hasLink NOTIFY changed)
    Q_PROPERTY(QString help READ help NOTIFY changed)
    Q_PROPERTY(QString accessibilityLabel READ accessibilityLabel NOTIFY changed)
    Q_PROPERTY(QString accessibilityHint READ accessibilityHint NOTIFY changed)

public:
    using ProjectBinding::ProjectBinding;

    [[nodiscard]] std::optional<QUrl> link() const;
    [[nodiscard]] bool hasLink() const { return link().has_value(); }
    [[nodiscard]] QString help() const;
    [[nodiscard]] QString accessibilityLabel() const;
    [[nodiscard]] QString accessibilityHint() const;

    /// Opens the Designer, or asks to verify, connect or reconnect the project first; the model's
    /// state is read again at the press.
    Q_INVOKABLE void press();
};
