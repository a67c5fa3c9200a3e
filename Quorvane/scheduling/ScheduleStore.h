// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ProjectCancellationBarrierRegistry.h"
#include "scheduling/PublishAttention.h"
#include "scheduling/PublishRecord.h"
#include "scheduling/ScheduleIntentCoordinator.h"
#include "scheduling/ScheduleOperationStatus.h"
#include "scheduling/ScheduledPublish.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

/**
 * @brief The schedule store's observable state: the queue, the history, the outcome inbox, the
 * cloud state, the user-facing errors and the status of every schedule operation.
 *
 * Every setter compares before it notifies, so re-applying an unchanged read redraws nothing.
 * The one exception is the status table, which announces each status filed into it, so a view
 * following one operation hears about every step.
 */
class ScheduleStore : public QObject
{
    Q_OBJECT

public:
    /// Whether the queue comes from the cloud.
    enum class CloudState { Checking, Local, Cloud };
    Q_ENUM(CloudState)

    /// @brief How the publish history stands; `failed` carries the user's sentence.
    struct HistoryLoadState
    {
        enum class Case { Failed, Idle, Loading, Loaded };

        Case which = Case::Idle;
        QString message; ///< the sentence of `failed`; empty otherwise

        [[nodiscard]] static HistoryLoadState failed(const QString &message) { return {Case::Failed, message}; }
        [[nodiscard]] static HistoryLoadState idle() { return {}; }
        [[nodiscard]] static HistoryLoadState loading() { return {Case::Loading, {}}; }
        [[nodiscard]] static HistoryLoadState loaded() { return {Case::Loaded, {}}; }

        friend bool operator==(const HistoryLoadState &, const HistoryLoadState &) = default;
    };

    /// @brief The body of the update that marks publish events seen.
    struct SeenStamp
    {
        QDateTime seenAt; ///< when they were marked

        [[nodiscard]] QJsonObject toJson() const;
    };

    explicit ScheduleStore(QObject *parent = nullptr);

    [[nodiscard]] const QList<ScheduledPublish> &schedules() const { return m_schedules; }
    void setSchedules(const QList<ScheduledPublish> &schedules);
    [[nodiscard]] const QList<PublishRecord> &history() const { return m_history; }
    void setHistory(const QList<PublishRecord> &history);
    [[nodiscard]] const HistoryLoadState &historyLoadState() const { return m_historyLoadState; }
    void setHistoryLoadState(const HistoryLoadState &state);
    [[nodiscard]] const QList<PublishAttention> &attention() const { return m_attention; }
    void setAttention(const QList<PublishAttention> &attention);
    [[nodiscard]] const QList<PublishAttention> &outcomeInbox() const { return m_outcomeInbox; }
    void setOutcomeInbox(const QList<PublishAttention> &inbox);
    [[nodiscard]] CloudState cloudState() const { return m_cloudState; }
    void setCloudState(CloudState state);
    [[nodiscard]] const std::optional<QString> &syncError() const { return m_syncError; }
    void setSyncError(const std::optional<QString> &error);
    [[nodiscard]] const std::optional<QString> &persistenceIssue() const { return m_persistenceIssue; }
    void setPersistenceIssue(const std::optional<QString> &issue);
    [[nodiscard]] const std::optional<ScheduleOperationStatus> &latestOperation() const { return m_latestOperation; }
    /// Also files a present status in operationStatuses, announcing that table even when the
    /// status itself did not change.
    void setLatestOperation(const std::optional<ScheduleOperationStatus> &status);
    [[nodiscard]] const QHash<QUuid, ScheduleOperationStatus> &operationStatuses() const { return m_operationStatuses; }
    void setOperationStatuses(const QHash<QUuid, ScheduleOperationStatus> &statuses);
    [[nodiscard]] const QSet<QUuid> &cancellationUnconfirmed() const { return m_cancellationUnconfirmed; }
    void setCancellationUnconfirmed(const QSet<QUuid> &ids);

    /// The confirmed queue and the operations the cloud has not confirmed yet.
    [[nodiscard]] ScheduleIntentCoordinator &coordinator() { return m_coordinator; }
    /// The removal leases of projects being removed.
    [[nodiscard]] ProjectCancellationBarrierRegistry &projectCancellationBarriers() { return m_barriers; }

    /// Files the coordinator's settled statuses (emptying its list) and makes the last of them,
    /// or @p fallback when none was settled, the latest operation; with neither the latest
    /// operation stays as it was.
    void publishSettlements(const std::optional<ScheduleOperationStatus> &fallback = std::nullopt);

signals:
    void schedulesChanged();
    void historyChanged();
    void historyLoadStateChanged();
    void attentionChanged();
    void outcomeInboxChanged();
    void cloudStateChanged();
    void syncErrorChanged();
    void persistenceIssueChanged();
    void latestOperationChanged();
    /// Emitted for every status filed, even one equal to the entry it replaces.
    void operationStatusesChanged();
    void cancellationUnconfirmedChanged();

private:
    /// Stores @p value; notifies through @p changed only when it differs from the stored one.
    template<typename T>
    void assign(T &field, const T &value, void (ScheduleStore::*changed)());
    void file(const ScheduleOperationStatus &status);

    QList<ScheduledPublish> m_schedules;
    QList<PublishRecord> m_history;
    HistoryLoadState m_historyLoadState;
    QList<PublishAttention> m_attention;
    QList<PublishAttention> m_outcomeInbox;
    CloudState m_cloudState = CloudState::Checking;
    std::optional<QString> m_syncError;
    std::optional<QString> m_persistenceIssue;
    std::optional<ScheduleOperationStatus> m_latestOperation;
    QHash<QUuid, ScheduleOperationStatus> m_operationStatuses;
    QSet<QUuid> m_cancellationUnconfirmed;
    ScheduleIntentCoordinator m_coordinator;
    ProjectCancellationBarrierRegistry m_barriers;
};
