// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>

/**
 * @brief Whether a tray host is there to show the icon, at start and afterwards: a tray panel
 * may start after the application, or quit before it.
 *
 * Qt itself docks a shown tray icon into a tray that appears later, but nothing tells the
 * application that the tray's availability changed. On X a new tray announces itself to every
 * client and a tray that goes destroys its window; after such an event has been handled the
 * presence looks again, and reports only a real change. Elsewhere the answer at start stands.
 */
class TrayPresence final : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    /// `probe` answers whether a tray host is there now (the toolkit's answer in the application).
    explicit TrayPresence(std::function<bool()> probe, QObject *parent = nullptr);
    ~TrayPresence() override;
    TrayPresence(const TrayPresence &) = delete;
    TrayPresence &operator=(const TrayPresence &) = delete;

    [[nodiscard]] bool isAvailable() const { return m_available; }

public slots:
    /// Asks the probe again; announces the answer when it differs.
    void recheck();

signals:
    void availableChanged(bool available);

protected:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    std::function<bool()> m_probe;
    bool m_available = false;
};
