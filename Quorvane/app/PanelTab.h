// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief The panel's tabs. The picker, its numbers and the tab shortcuts walk `allCases`, which
 * leaves Page Status out: it is reached from elsewhere.
 */
namespace PanelTab {
Q_NAMESPACE
QML_ELEMENT

enum class Tab { connections, scheduledPublishing, pageStatus };
Q_ENUM_NS(Tab)

/// The tabs of the picker and the shortcuts, in order.
inline const QList<Tab> allCases{Tab::connections, Tab::scheduledPublishing};

/// The tab's title, which is also its identity.
[[nodiscard]] QString title(Tab tab);
/// The tab whose title is exactly `text`.
[[nodiscard]] std::optional<Tab> fromTitle(const QString &text);

} // namespace PanelTab
