// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/PageStatusRowState.h"

#include "foundation/Clock.h"
#include "panel/PanelServices.h"

#include <algorithm>

std::optional<QString> PageStatusRowState::siteId(const std::optional<QString> &projectSiteId, const QString &mcpName,
                                                  const QList<SiteRecord> &sites)
{
    if (projectSiteId)
        return projectSiteId;
    const auto found = std::find_if(sites.cbegin(), sites.cend(),
                                    [&mcpName](const SiteRecord &site) { return site.connections.contains(mcpName); });
    if (found == sites.cend())
        return std::nullopt;
    return found->id;
}

PageStatusRowState::Detail PageStatusRowState::detail(const std::optional<PageStatusSiteState> &state)
{
    if (!state)
        return Detail::None;
    if (state->isOn())
        return Detail::Counts;
    switch (state->phase) {
    case PageStatusPhase::Authorizing:
        return Detail::AuthorizationNote;
    case PageStatusPhase::Disabling:
        return Detail::RemovalNote;
    case PageStatusPhase::Attention:
        return state->attentionCode == credentialRevoked ? Detail::AccessEnded : Detail::VerificationWarning;
    case PageStatusPhase::Observing:
    case PageStatusPhase::Active:
    case PageStatusPhase::Paused:
        // Not wanted any more: the header alone.
        return Detail::None;
    }
    return Detail::None;
}

PageStatusRowState::Header PageStatusRowState::header(const std::optional<PageStatusSiteState> &state, bool isChecking,
                                                      bool hasLoadedOnce, const std::optional<QString> &lastError)
{
    const bool firstLoad = isChecking && !hasLoadedOnce;
    const bool unsettled = lastError.has_value() || firstLoad;
    Header header;
    header.switchOn = state.has_value();
    header.showsProgress = firstLoad;
    header.switchEnabled = !unsettled;
    if (state && state->phase == PageStatusPhase::Authorizing) {
        header.showsProgress = true;
    } else if (state && state->phase == PageStatusPhase::Disabling) {
        header.showsProgress = true;
        header.switchEnabled = false;
    }
    return header;
}

QString PageStatusRowState::phaseText(const PageStatusSiteState &state, const QDateTime &now)
{
    switch (state.phase) {
    case PageStatusPhase::Observing:
        return QStringLiteral("Observing");
    case PageStatusPhase::Active:
        return pageStatusUpdatedText(state.lastReconciledAt, now);
    case PageStatusPhase::Paused:
        return QStringLiteral("Paused for a safe publish");
    case PageStatusPhase::Authorizing:
    case PageStatusPhase::Disabling:
    case PageStatusPhase::Attention:
        break;
    }
    return QString();
}

QString PageStatusRowState::pillText(qint64 count, const QString &word)
{
    return QString::number(count) + u' ' + word;
}

QString PageStatusRowState::accessEndedText(bool desiredEnabled)
{
    return desiredEnabled ? QStringLiteral("Webflow access ended. Reconnect to resume Page Status.")
                          : QStringLiteral("Webflow access ended before cleanup finished. Reconnect to remove Quorvane’s markers.");
}

void PageStatusRowState::setStore(PageStatusStore *store)
{
    if (m_store == store)
        return;
    if (m_store)
        disconnect(m_store, nullptr, this, nullptr);
    m_store = store;
    if (m_store) {
        connect(m_store, &PageStatusStore::sitesChanged, this, &PageStatusRowState::inputsChanged);
        connect(m_store, &PageStatusStore::isCheckingChanged, this, &PageStatusRowState::inputsChanged);
        connect(m_store, &PageStatusStore::hasLoadedOnceChanged, this, &PageStatusRowState::inputsChanged);
        connect(m_store, &PageStatusStore::lastErrorChanged, this, &PageStatusRowState::inputsChanged);
    }
    emit inputsChanged();
}

void PageStatusRowState::setSiteDirectory(SiteDirectory *directory)
{
    if (m_siteDirectory == directory)
        return;
    if (m_siteDirectory)
        disconnect(m_siteDirectory, nullptr, this, nullptr);
    m_siteDirectory = directory;
    if (m_siteDirectory)
        connect(m_siteDirectory, &SiteDirectory::sitesChanged, this, &PageStatusRowState::inputsChanged);
    emit inputsChanged();
}

void PageStatusRowState::setProjectSiteId(const QString &siteId)
{
    if (m_projectSiteId == siteId)
        return;
    m_projectSiteId = siteId;
    emit inputsChanged();
}

void PageStatusRowState::setMcpName(const QString &name)
{
    if (m_mcpName == name)
        return;
    m_mcpName = name;
    emit inputsChanged();
}

std::optional<PageStatusSiteState> PageStatusRowState::siteState() const
{
    if (!m_store)
        return std::nullopt;
    const std::optional<QString> bound = m_projectSiteId.isEmpty() ? std::nullopt : std::optional(m_projectSiteId);
    const std::optional<QString> id = siteId(bound, m_mcpName, m_siteDirectory ? m_siteDirectory->sites() : QList<SiteRecord>());
    if (!id)
        return std::nullopt;
    const auto found = m_store->sites().constFind(*id);
    if (found == m_store->sites().cend())
        return std::nullopt;
    return *found;
}

PageStatusRowState::Header PageStatusRowState::currentHeader() const
{
    if (!m_store)
        return header(std::nullopt, false, false, std::nullopt);
    return header(siteState(), m_store->isChecking(), m_store->hasLoadedOnce(), m_store->lastError());
}

QString PageStatusRowState::queuedText() const
{
    const auto state = siteState();
    return pillText(state ? state->queuedCount : 0, QStringLiteral("queued"));
}

QString PageStatusRowState::stagedText() const
{
    const auto state = siteState();
    return pillText(state ? state->stagedCount : 0, QStringLiteral("staged"));
}

QString PageStatusRowState::phaseText() const
{
    const auto state = siteState();
    return state ? phaseText(*state, PanelServices::clockOf(this).now()) : QString();
}

QString PageStatusRowState::accessEndedText() const
{
    const auto state = siteState();
    return accessEndedText(state && state->desiredEnabled);
}
