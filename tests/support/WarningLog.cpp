// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "WarningLog.h"

namespace {

// Qt's handler is a plain function, so it finds its log here.
WarningLog *listening = nullptr;

} // namespace

WarningLog::~WarningLog()
{
    stop();
}

void WarningLog::start()
{
    Q_ASSERT(!listening || listening == this);
    m_messages.clear();
    if (m_listening)
        return;
    listening = this;
    m_listening = true;
    m_previous = qInstallMessageHandler(collect);
}

void WarningLog::stop()
{
    if (!m_listening)
        return;
    qInstallMessageHandler(m_previous);
    m_previous = nullptr;
    m_listening = false;
    listening = nullptr;
}

void WarningLog::collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && listening)
        listening->m_messages.append(message);
}
