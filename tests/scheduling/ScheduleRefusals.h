// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace ScheduleSamples {

/// What the server may say when it refuses a replace, and the sentence the user gets, in the
/// order the needles are tried.
inline QList<std::pair<QString, QString>> replaceRefusals()
{
    using namespace Qt::StringLiterals;
    const QString access = u"Publishing access for this site is no longer connected, so nothing was scheduled. "
                           "Connect publishing and try again."_s;
    const QString targets = u"This site's publishing targets changed, so nothing was scheduled. Refresh the site "
                            "and choose the targets again."_s;
    const QString invalid =
        u"The schedule details were invalid, so nothing was scheduled. Refresh the form and try again."_s;
    const QString inventory = u"Publishing access has invalid site details, so nothing was scheduled. Reconnect "
                              "publishing and try again."_s;
    return {
        {u"no publishing access for this site"_s, access},
        {u"no active publishing access for this site"_s, access},
        {u"too many scheduled publishes"_s, u"This account has too many scheduled publishes. Cancel one first."_s},
        {u"publish for this site is running"_s,
         u"That site's publish is running right now. Wait for it to finish, then schedule the next one."_s},
        {u"project removal is in progress for this site"_s,
         u"That project is being removed on another device, so nothing was scheduled. Refresh projects before "
         "trying again."_s},
        {u"publish target is not in the server inventory"_s, targets},
        {u"duplicate publish target"_s, targets},
        {u"publish targets must be arrays"_s, invalid},
        {u"choose between 1 and 25 publish targets"_s, invalid},
        {u"requested publish target is invalid"_s, invalid},
        {u"invalid schedule identity"_s, invalid},
        {u"paranoid schedules require a baseline"_s, invalid},
        {u"stored publish target inventory is invalid"_s, inventory},
        {u"stored publish target inventory has duplicates"_s, inventory},
    };
}

} // namespace ScheduleSamples
