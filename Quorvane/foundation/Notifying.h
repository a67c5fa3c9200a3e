// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

/// Stores `value` and announces it through `changed`, unless the field already holds it: views
/// bound to the field redraw only on a real change.
template <typename Owner, typename T, typename Signal>
void assignNotifying(Owner *owner, T &field, const T &value, Signal changed)
{
    if (field == value)
        return;
    field = value;
    (owner->*changed)();
}
