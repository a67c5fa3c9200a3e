// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "backend/BackendResult.h"
#include "publishing/DisconnectResult.h"
#include "publishing/GrantRow.h"
#include "publishing/OAuthCancelResponse.h"
#include "publishing/OAuthRecoveryAttempt.h"
#include "publishing/OAuthStartResponse.h"
#include "publishing/OAuthTruthRow.h"
#include "publishing/RecoveryAcknowledgement.h"
#include "publishing/SiteState.h"
#include "publishing/StateVerdict.h"

#include <QList>

#include <QCoro/QCoroTask>

#include <optional>

class BackendClient;

/**
 * @brief The nine backend calls of publishing access, each with its request and the strict
 * decoding of its reply: three table reads, four edge functions and two RPCs.
 *
 * This layer makes each call once and adds no retry. A reply that does not decode fails the
 * call as a whole (one bad row fails a table read) with BackendError::Kind::InvalidReply. The
 * client must outlive every call; the calls take it by pointer so that no reference can dangle
 * inside a suspended coroutine.
 */
namespace PublishAccessCalls {

/// `site_publish_grants`: every grant row the signed-in user may see.
QCoro::Task<BackendResult<QList<GrantRow>>> readGrants(BackendClient *client);
/// `oauth_states` in the phase "recovery_required", oldest first.
QCoro::Task<BackendResult<QList<OAuthRecoveryAttempt>>> readRecoveryAttempts(BackendClient *client);
/// `oauth_states` read as the phase of each connect operation.
QCoro::Task<BackendResult<QList<OAuthTruthRow>>> readCancellationTruth(BackendClient *client);
/// "webflow-mcp-oauth-start".
QCoro::Task<BackendResult<OAuthStartResponse>> startOAuth(BackendClient *client, StartRequest request);
/// "webflow-oauth-cancel", under whichever session the client holds, or none.
QCoro::Task<BackendResult<OAuthCancelResponse>> cancelOAuth(BackendClient *client, OAuthCancelRequest request);
/// "webflow-disconnect". An error status fails with a Server error whose status() and body()
/// are the reply's; DisconnectFailure::fromBody reads the body.
QCoro::Task<BackendResult<DisconnectResult>> disconnect(BackendClient *client, DisconnectRequest request);
/// "site-state".
QCoro::Task<BackendResult<SiteState>> readSiteState(BackendClient *client, SiteStateRequest request);
/// `inspect_publish_oauth_attempt`. Never fails: any failure, like a null reply, gives no verdict
/// (StateVerdict::fromReply says which verdicts are given).
QCoro::Task<std::optional<StateVerdict>> inspectAttempt(BackendClient *client, InspectAttempt parameters);
/// `acknowledge_publish_oauth_recovery`: whether the backend acknowledged the attempt. Only a
/// JSON Boolean is a reply; the text "true" fails the call.
QCoro::Task<BackendResult<bool>> acknowledgeRecovery(BackendClient *client, RecoveryAcknowledgement parameters);

} // namespace PublishAccessCalls
