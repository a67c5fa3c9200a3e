// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

/**
 * @brief Where the onboarding views' web links go: the default browser, or a test's recorder.
 */
class LinkOpener : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Make a SystemLinkOpener, or a test's own.")

public:
    using QObject::QObject;

    /// Hands the address to the browser without waiting for it; false when it was refused.
    Q_INVOKABLE virtual bool openLink(const QUrl &url) = 0;
};

/// The desktop's default browser.
class SystemLinkOpener : public LinkOpener
{
    Q_OBJECT
    QML_ELEMENT

public:
    using LinkOpener::LinkOpener;

    bool openLink(const QUrl &url) override;
};
