// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

/**
 * @brief Opens or closes the panel from outside the process: a signal on the session bus that any
 * local process may send, so a desktop shortcut can bind `quorvane --toggle`.
 *
 * The signal is interface "studio.velliscor.tsvn", member "toggle", from any sender on any path;
 * each one asks for exactly one toggle.
 */
class PanelToggle final : public QObject
{
    Q_OBJECT

public:
    static inline const QString interfaceName = QStringLiteral("studio.velliscor.tsvn");
    static inline const QString memberName = QStringLiteral("toggle");
    /// The path `send` uses; listeners accept any.
    static inline const QString objectPath = QStringLiteral("/studio/velliscor/tsvn");

    /// Listens on `bus`; without a bus (`isListening` false) the application runs on unreachable
    /// from outside.
    explicit PanelToggle(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    [[nodiscard]] bool isListening() const { return m_listening; }

    /// Sends one toggle on `bus`; on failure the user's sentence of what went wrong.
    [[nodiscard]] static std::optional<QString> send(QDBusConnection bus = QDBusConnection::sessionBus());

signals:
    void toggleRequested();

private slots:
    void receive();

private:
    bool m_listening = false;
};
