// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

/**
 * @brief The project card's schedule pill: the site's next publish, and whether the publishing
 * access it needs is missing or not known yet.
 */
class SchedulePill
{
    Q_GADGET
    Q_PROPERTY(QString icon MEMBER icon)
    Q_PROPERTY(QString label MEMBER label)
    Q_PROPERTY(bool prominentBrand MEMBER prominentBrand)
    Q_PROPERTY(bool warning MEMBER warning)
    Q_PROPERTY(QStringList sizingLabels MEMBER sizingLabels)
    Q_PROPERTY(bool dots MEMBER dots)
    Q_PROPERTY(QString accessibilityLabel MEMBER accessibilityLabel)
    Q_PROPERTY(bool publishingMissing MEMBER publishingMissing)

public:
    struct Input
    {
        /// The time text of the site's first queued publish; none when nothing is queued for it.
        std::optional<QString> upcomingTime;
        /// The publishing-access store is available, has loaded once and is not checking.
        bool accessSettled = false;
        /// The store grants publishing for the project's site.
        bool hasAccess = false;
        /// The store has read the grants at least once.
        bool accessLoadedOnce = false;
    };

    QString icon;
    QString label;
    bool prominentBrand = false;
    bool warning = false;
    QStringList sizingLabels;
    bool dots = false;
    QString accessibilityLabel;
    /// A publish is queued, but the settled store says the site cannot be published: a press
    /// raises the publishing alert instead of opening the schedule.
    bool publishingMissing = false;

    [[nodiscard]] static SchedulePill of(const Input &input);

    friend bool operator==(const SchedulePill &, const SchedulePill &) = default;
};

Q_DECLARE_METATYPE(SchedulePill)
