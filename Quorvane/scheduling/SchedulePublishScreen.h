// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "foundation/ContinuousClock.h"
#include "scheduling/ScheduleFormController.h"
#include "scheduling/ScheduleQueueModel.h"
#include "scheduling/ScheduleQueueRules.h"

#include <QObject>
#include <QSet>
#include <QUuid>

class ScheduleStore;

/**
 * @brief The Scheduled Publishing screen: its banners, its queue of cards with their cancel,
 * publish-now, reschedule and connect actions, and the schedule form it holds.
 *
 * The view binds to its properties and calls its invokables with a card's schedule id; the
 * confirmations it raises keep their actions here. Main thread only.
 */
class SchedulePublishScreen : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ScheduleFormController *form READ form CONSTANT)
    Q_PROPERTY(ScheduleQueueModel *queue READ queue CONSTANT)
    Q_PROPERTY(bool soonestFirst READ soonestFirst WRITE setSoonestFirst NOTIFY screenChanged)
    Q_PROPERTY(bool showsAttention READ showsAttention NOTIFY screenChanged)
    Q_PROPERTY(QString attentionHeading READ attentionHeading NOTIFY screenChanged)
    Q_PROPERTY(QString attentionDetail READ attentionDetail NOTIFY screenChanged)
    /// Whether the cloud banner's wrapper shows (a dismissal hides only the cloud card).
    Q_PROPERTY(bool cloudBannerPresented READ cloudBannerPresented NOTIFY screenChanged)
    /// The cloud banner's card: symbol, heading, detail, brand (else warning), linkLabel, linkHelp;
    /// an empty map when no card shows.
    Q_PROPERTY(QVariantMap cloudBanner READ cloudBannerMap NOTIFY screenChanged)
    Q_PROPERTY(QString syncError READ syncError NOTIFY screenChanged)
    Q_PROPERTY(QString persistenceIssue READ persistenceIssue NOTIFY screenChanged)
    Q_PROPERTY(bool holdNoticePresented READ holdNoticePresented NOTIFY screenChanged)

public:
    /// How long a cancelled card fades and collapses before the store is asked.
    static constexpr std::chrono::milliseconds cancelDelay{394};
    /// Why the screen asks for a sign-in.
    static inline const QString signInReason =
        QStringLiteral("Scheduled publishes fire from the cloud, tied to your account.");

    /// @p store and @p context must outlive the screen; @p delay times the cancel's fade.
    SchedulePublishScreen(ScheduleStore &store, SchedulingContext &context,
                          ContinuousClock::Delay delay = ContinuousClock::delay(), QObject *parent = nullptr);

    [[nodiscard]] ScheduleFormController *form() { return &m_form; }
    [[nodiscard]] ScheduleQueueModel *queue() { return &m_queue; }
    [[nodiscard]] bool soonestFirst() const { return m_soonestFirst; }
    void setSoonestFirst(bool soonestFirst);
    [[nodiscard]] bool showsAttention() const;
    [[nodiscard]] QString attentionHeading() const;
    [[nodiscard]] QString attentionDetail() const;
    [[nodiscard]] bool cloudBannerPresented() const;
    [[nodiscard]] ScheduleBanner cloudBanner() const;
    [[nodiscard]] QVariantMap cloudBannerMap() const;
    [[nodiscard]] QString syncError() const;
    [[nodiscard]] QString persistenceIssue() const;
    [[nodiscard]] bool holdNoticePresented() const;
    [[nodiscard]] const QSet<QUuid> &removingIDs() const { return m_removingIDs; }

    /// The attention banner's "Details".
    Q_INVOKABLE void showAttentionDetails();
    /// The cloud banner's link: "Got it" hides the cloud card for good; "Sign In" asks for a
    /// sign-in and reads the queue after it.
    Q_INVOKABLE void followCloudBannerLink();
    /// A card's trash button and "Cancel Publish".
    Q_INVOKABLE void confirmCancel(const QString &scheduleID);
    /// A card's "Publish Now…".
    Q_INVOKABLE void confirmPublishNow(const QString &scheduleID);
    /// A card's "Reschedule Publish…".
    Q_INVOKABLE void beginReschedule(const QString &scheduleID);
    /// A card's missing-access warning.
    Q_INVOKABLE void confirmConnectPublishing(const QString &scheduleID);
    /// Opens the form for a site handed over by the panel; answers whether the hand-over was
    /// consumed (any present id is, whether or not the form opened).
    Q_INVOKABLE bool applyPreselection(const QString &siteID);

signals:
    void screenChanged();

private:
    [[nodiscard]] std::optional<ScheduledPublish> queued(const QString &scheduleID) const;
    void updateRows();
    QCoro::Task<> runCancel(QUuid scheduleID);
    QCoro::Task<> runPublishNow(ScheduledPublish replacement);

    ScheduleStore &m_store;
    SchedulingContext &m_context;
    ContinuousClock::Delay m_delay;
    ScheduleFormController m_form;
    ScheduleQueueModel m_queue;
    bool m_soonestFirst = true;
    QSet<QUuid> m_removingIDs;
};
