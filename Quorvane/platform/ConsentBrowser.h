// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>

/**
 * @brief Where a consent link goes: the user's default browser. Tests hand in their own.
 */
class ConsentBrowser
{
public:
    virtual ~ConsentBrowser() = default;

    /// Hands the link, given as the exact bytes that were checked, to the browser; whether it was
    /// handed off.
    virtual bool open(const QByteArray &link) = 0;
};

/**
 * @brief The desktop's default browser, through the platform's URL handler.
 */
class SystemConsentBrowser final : public ConsentBrowser
{
public:
    bool open(const QByteArray &link) override;
};
