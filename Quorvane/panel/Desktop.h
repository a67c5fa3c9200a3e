// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The desktop services the cards use: the clipboard and the default browser. Tests hand
 * in their own.
 */
class Desktop : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Make a SystemDesktop, or a test's own.")

public:
    using QObject::QObject;

    /// Replaces the clipboard's content with the plain text.
    virtual void copyText(const QString &text) = 0;
    /// Hands the address to the default browser; false when the desktop refuses it.
    virtual bool openUrl(const QUrl &url) = 0;
};

/// The desktop's own clipboard and browser.
class SystemDesktop : public Desktop
{
    Q_OBJECT
    QML_ELEMENT

public:
    using Desktop::Desktop;

    void copyText(const QString &text) override;
    bool openUrl(const QUrl &url) override;
};
