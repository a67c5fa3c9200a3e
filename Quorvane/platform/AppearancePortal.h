// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <optional>

/**
 * @brief The desktop's appearance as the settings portal (org.freedesktop.portal.Settings) tells
 * it: whether the user prefers a dark look, and whether animations are on.
 *
 * Both are unknown until the portal answers, and stay unknown without a portal; the owner then
 * falls back to what the toolkit's palette shows. Later changes arrive through the portal's
 * SettingChanged signal. Nothing waits on the bus.
 */
class AppearancePortal final : public QObject
{
    Q_OBJECT

public:
    static inline const QString serviceName = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString interfaceName = QStringLiteral("org.freedesktop.portal.Settings");

    explicit AppearancePortal(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    /// Whether the desktop prefers dark ("color-scheme" 1); unknown without an answer.
    [[nodiscard]] std::optional<bool> prefersDark() const { return m_prefersDark; }
    /// Whether the desktop turned animations off; unknown without an answer.
    [[nodiscard]] std::optional<bool> animationsOff() const { return m_animationsOff; }

signals:
    /// Either value arrived or changed.
    void changed();

private slots:
    void settingChanged(const QDBusMessage &message);

private:
    void read(const QString &group, const QString &key);
    void apply(const QString &group, const QString &key, const QVariant &value);

    QDBusConnection m_bus;
    std::optional<bool> m_prefersDark;
    std::optional<bool> m_animationsOff;
};
