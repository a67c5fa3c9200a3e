// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/ScheduleStore.h"

// Placeholder until the event poll lands: the poll task, the event ingest and the outcome
// notifications are defined here.
void ScheduleStore::startEventPoll() {}
