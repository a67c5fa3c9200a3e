// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QString>

/**
 * @brief What publishing access needs of the application's floating connecting pill, which it
 * shares with every other consent flow. The owner implements it over its pill and hands it in.
 */
class ConnectingPillControl
{
public:
    virtual ~ConnectingPillControl() = default;

    /// Shows the pill connecting to @p title.
    virtual void show(const QString &title) = 0;
    /// Turns the pill into the success for @p title, which closes by itself; false, changing
    /// nothing, when the pill is not on screen or the user closed it.
    virtual bool markConnected(const QString &title) = 0;
    /// Hides the pill at once, whichever connect it shows; harmless when it is hidden.
    virtual void dismiss() = 0;
};
