// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/ConnectingPill.h"
#include "cli/ClaudeDriver.h"
#include "foundation/ContinuousClock.h"
#include "kit/IconLoader.h"
#include "model/ErrorLog.h"
#include "platform/SystemLog.h"

#include <QObject>
#include <QString>

#include <memory>

class QQmlEngine;

/**
 * @brief The application's composition root: the one owner of the services the rest share.
 *
 * `main` makes one for the life of the process. It owns the error log, the claude driver, the
 * kit's icon loader and the connecting pill's state, and hands each to what uses it; nothing
 * reaches them through a process-wide instance. Tests build their own with their own parts.
 */
class AppModel : public QObject
{
    Q_OBJECT

public:
    /// What the root is built from; every part has the application's own default.
    struct Environment
    {
        /// Where failures are written besides the kept events; absent: the journal.
        SystemLog *systemLog = nullptr;
        /// How the claude driver is built.
        ClaudeCLI::DriverConfiguration driver;
        /// The folder the kit's icons are read from; empty: the resource bundle's.
        QString iconFolder;
        /// The connecting pill's waits; absent: the suspend-proof clock.
        ContinuousClock::Delay pillDelay;
    };

    /// The application's own parts.
    AppModel();
    explicit AppModel(Environment environment, QObject *parent = nullptr);
    ~AppModel() override;

    [[nodiscard]] ErrorLog &errorLog() { return m_errorLog; }
    [[nodiscard]] ClaudeCLI::ClaudeDriver &driver() { return m_driver; }
    [[nodiscard]] IconLoader &icons() { return m_icons; }
    [[nodiscard]] ConnectingPill &connectingPill() { return m_connectingPill; }

    /// Hands the kit's services to `engine`; call before it loads any view. The engine must not
    /// outlive this root.
    void attach(QQmlEngine &engine);

private:
    std::unique_ptr<SystemLog> m_journal; // only when no system log was handed in
    ErrorLog m_errorLog;
    ClaudeCLI::ClaudeDriver m_driver;
    IconLoader m_icons;
    ConnectingPill m_connectingPill;
};
