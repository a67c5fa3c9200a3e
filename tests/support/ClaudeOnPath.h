// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QByteArray>
#include <QString>

class TempHome;

/**
 * @brief While it lives, the driver's discovery finds the claude executable of one folder first: a
 * login shell that puts that folder in front of the test's PATH stands in for the user's, and the
 * cached location is forgotten when it comes and when it goes.
 */
class ClaudeOnPath
{
public:
    /// The stand-in login shell is written into the home.
    ClaudeOnPath(const TempHome &home, const QString &folder);
    ~ClaudeOnPath();
    ClaudeOnPath(const ClaudeOnPath &) = delete;
    ClaudeOnPath &operator=(const ClaudeOnPath &) = delete;

private:
    QByteArray m_savedShell;
};
