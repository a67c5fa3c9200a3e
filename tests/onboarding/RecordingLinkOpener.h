// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "onboarding/LinkOpener.h"

#include <QStringList>

/// A browser that only remembers the addresses it was handed, in order.
class RecordingLinkOpener : public LinkOpener
{
    Q_OBJECT
    Q_PROPERTY(QStringList opened READ opened NOTIFY openedChanged)

public:
    using LinkOpener::LinkOpener;

    [[nodiscard]] QStringList opened() const { return m_opened; }

    bool openLink(const QUrl &url) override
    {
        m_opened.append(url.toString());
        emit openedChanged();
        return true;
    }

signals:
    void openedChanged();

private:
    QStringList m_opened;
};
