// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ConfirmQueue.h"

#include <algorithm>

std::optional<ConfirmRequest> ConfirmQueue::current() const
{
    if (m_requests.isEmpty())
        return std::nullopt;
    return m_requests.first();
}

ConfirmRequest ConfirmQueue::confirmValue() const
{
    if (!m_requests.isEmpty())
        return m_requests.first();
    ConfirmRequest none;
    none.id = QUuid();
    return none;
}

void ConfirmQueue::present(ConfirmRequest request)
{
    m_requests.append(std::move(request));
    if (m_requests.size() == 1)
        Q_EMIT confirmChanged();
}

void ConfirmQueue::confirmCurrent()
{
    if (m_requests.isEmpty())
        return;
    const ConfirmRequest shown = m_requests.takeFirst();
    Q_EMIT confirmChanged();
    if (shown.action)
        shown.action();
}

void ConfirmQueue::dismissConfirm()
{
    if (m_requests.isEmpty())
        return;
    m_requests.removeFirst();
    Q_EMIT confirmChanged();
}

void ConfirmQueue::withdraw(const QUuid &id)
{
    const auto at = std::find_if(m_requests.begin(), m_requests.end(),
                                 [&id](const ConfirmRequest &request) { return request.id == id; });
    if (at == m_requests.end())
        return;
    const bool shown = at == m_requests.begin();
    m_requests.erase(at);
    if (shown)
        Q_EMIT confirmChanged();
}
