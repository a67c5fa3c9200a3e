// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "scheduling/ScheduleFormRules.h"
#include "scheduling/ScheduleTimeRules.h"
#include "scheduling/SchedulingContext.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QVariantList>

#include <optional>

/**
 * @brief The schedule form: which site, when, to which of its domains and whether paranoid mode
 * skips the publish when the site changes first; then the confirmation, the site-state read of
 * paranoid mode, the hand-over to the schedule store and the following of that operation to its
 * outcome.
 *
 * Late results are kept out by one rule: a submission owns the form only while the active
 * submission id is its own. Every change of the form's situation (a site change, a reset, a
 * reschedule, a new submission) replaces or clears that id, and clearing it also ends "in
 * progress", so a task that finishes after it lost the form changes nothing.
 *
 * Main thread only; the view binds to its properties and calls its invokables.
 */
class ScheduleFormController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool showingForm READ showingForm WRITE setShowingForm NOTIFY showingFormChanged)
    Q_PROPERTY(bool submissionInProgress READ submissionInProgress NOTIFY submissionInProgressChanged)
    Q_PROPERTY(bool hasSite READ hasSite NOTIFY formChanged)
    Q_PROPERTY(QString siteLabel READ siteLabel NOTIFY formChanged)
    Q_PROPERTY(QString title READ title NOTIFY formChanged)
    Q_PROPERTY(QDateTime publishAt READ publishAt WRITE setPublishAt NOTIFY formChanged)
    Q_PROPERTY(QString timeZoneLabel READ timeZoneLabel NOTIFY formChanged)
    /// The site's targets: maps of id, url, isStaging and ticked.
    Q_PROPERTY(QVariantList targets READ targetItems NOTIFY formChanged)
    /// Why a chosen site offers no targets; empty otherwise.
    Q_PROPERTY(QString targetsNote READ targetsNote NOTIFY formChanged)
    Q_PROPERTY(bool skipIfChanged READ skipIfChanged WRITE setSkipIfChanged NOTIFY formChanged)
    Q_PROPERTY(bool paranoidModeAvailable READ paranoidModeAvailable NOTIFY formChanged)
    Q_PROPERTY(bool noProjects READ noProjects NOTIFY formChanged)
    Q_PROPERTY(bool rescheduling READ rescheduling NOTIFY formChanged)
    Q_PROPERTY(bool sitePillEnabled READ sitePillEnabled NOTIFY formChanged)
    Q_PROPERTY(bool submitEnabled READ submitEnabled NOTIFY formChanged)
    Q_PROPERTY(bool hasError READ hasError NOTIFY formChanged)
    Q_PROPERTY(QString errorHeading READ errorHeading NOTIFY formChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY formChanged)
    Q_PROPERTY(bool errorCanRefresh READ errorCanRefresh NOTIFY formChanged)
    /// The site menu: maps of title and enabled, in menu order.
    Q_PROPERTY(QVariantList siteMenu READ siteMenu NOTIFY formChanged)

public:
    /// The error of a submission during which the account changed.
    static inline const ScheduleSubmissionError accountChangedError{
        QStringLiteral("Schedule not submitted"),
        QStringLiteral("The signed-in account changed while Quorvane checked the site. Review the draft under the "
                       "current account before trying again."),
        false};

    /// @p context must outlive the form.
    explicit ScheduleFormController(SchedulingContext &context, QObject *parent = nullptr);

    // --- State ----------------------------------------------------------------------------------

    [[nodiscard]] bool showingForm() const { return m_showingForm; }
    /// Closing resets the whole form; opening resets nothing.
    void setShowingForm(bool showing);
    [[nodiscard]] bool submissionInProgress() const { return m_submissionInProgress; }
    [[nodiscard]] const std::optional<SiteRecord> &selectedSite() const { return m_selectedSite; }
    /// Runs the site-change rule when the form is showing.
    void setSelectedSite(const std::optional<SiteRecord> &site);
    [[nodiscard]] const QDateTime &publishAtValue() const { return m_publishAt; }
    [[nodiscard]] QDateTime publishAt() const { return m_publishAt; }
    void setPublishAt(const QDateTime &publishAt);
    [[nodiscard]] const QSet<QString> &selectedDomainIDs() const { return m_selectedDomainIDs; }
    Q_INVOKABLE void setDomainTicked(const QString &domainID, bool ticked);
    [[nodiscard]] bool skipIfChanged() const { return m_skipIfChanged; }
    void setSkipIfChanged(bool on);
    [[nodiscard]] const std::optional<QUuid> &editingScheduleID() const { return m_editingScheduleID; }
    [[nodiscard]] const std::optional<ScheduleSubmissionError> &submissionError() const { return m_submissionError; }
    [[nodiscard]] const std::optional<QUuid> &activeSubmissionID() const { return m_activeSubmissionID; }
    [[nodiscard]] const std::optional<QUuid> &activeOperationID() const { return m_activeOperationID; }
    /// The queued publish the cloud reported as superseding the draft.
    [[nodiscard]] const std::optional<QUuid> &authoritativeSupersedingID() const { return m_supersedingID; }

    // --- Derived --------------------------------------------------------------------------------

    [[nodiscard]] bool hasSite() const { return m_selectedSite.has_value(); }
    [[nodiscard]] QString siteLabel() const;
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString timeZoneLabel() const;
    /// The selected site's targets; empty without a site.
    [[nodiscard]] QList<PublishDomain> domains() const;
    /// The ticked targets that a draft would carry.
    [[nodiscard]] QList<PublishDomain> targets() const;
    [[nodiscard]] QVariantList targetItems() const;
    [[nodiscard]] QString targetsNote() const;
    [[nodiscard]] bool paranoidModeAvailable() const;
    [[nodiscard]] bool noProjects() const;
    [[nodiscard]] bool rescheduling() const { return m_editingScheduleID.has_value(); }
    [[nodiscard]] bool sitePillEnabled() const;
    /// Only with at least one ticked target among the site's current domains.
    [[nodiscard]] bool submitEnabled() const;
    [[nodiscard]] bool hasError() const { return m_submissionError.has_value(); }
    [[nodiscard]] QString errorHeading() const;
    [[nodiscard]] QString errorMessage() const;
    [[nodiscard]] bool errorCanRefresh() const;
    [[nodiscard]] QList<SiteMenuItem> siteMenuItems() const;
    [[nodiscard]] QVariantList siteMenu() const;
    /// The earliest moment the picker offers: now.
    Q_INVOKABLE [[nodiscard]] QDateTime minimumDate() const;

    // --- Actions --------------------------------------------------------------------------------

    /// Chooses entry @p index of the site menu; a disabled entry does nothing.
    Q_INVOKABLE void chooseSiteMenuItem(int index);
    /// Begins a schedule for @p site: with publishing access the form opens on it, otherwise
    /// connecting publishing is offered first.
    void startScheduling(const SiteRecord &site);
    /// Offers to verify a project that has no site record yet, then schedules its site.
    void confirmVerifyForScheduling(const Project &project);
    /// Opens the form on a queued publish to replace it.
    void beginReschedule(const ScheduledPublish &schedule);
    /// The submit button: checks the lead time, then asks for confirmation.
    Q_INVOKABLE void confirmSchedule();
    /// The confirmation's action.
    void submitSchedule(ScheduledPublish draft, const SiteRecord &site);
    /// The error card's "Refresh Queue".
    Q_INVOKABLE void refreshUncertainOutcome();
    /// The draft the submit button would confirm; none without a site.
    [[nodiscard]] std::optional<ScheduledPublish> makeDraft() const;

signals:
    void showingFormChanged();
    void submissionInProgressChanged();
    void formChanged();

private:
    void resetForm();
    void siteSelectionChanged();
    void noteTimeTooClose();
    /// Drops ticks of ids the selected site no longer has, so a stale tick never counts.
    void pruneTicks();
    void setSubmissionInProgress(bool inProgress);
    /// Clears the active submission and with it "in progress".
    void clearActiveSubmission();
    void applyOperationStatus(const ScheduleOperationStatus &status, const QUuid &submissionID);
    [[nodiscard]] bool owns(const QUuid &submissionID) const;
    [[nodiscard]] ScheduleTimeContext now() const { return m_context.timeContext(); }

    QCoro::Task<> runSubmission(ScheduledPublish draft, SiteRecord site, QUuid submissionID,
                                std::optional<CloudAuthSnapshot> start);
    QCoro::Task<> runRefresh(QUuid submissionID, QUuid operationID);

    SchedulingContext &m_context;
    bool m_showingForm = false;
    bool m_submissionInProgress = false;
    std::optional<SiteRecord> m_selectedSite;
    QDateTime m_publishAt;
    QSet<QString> m_selectedDomainIDs;
    bool m_skipIfChanged = false;
    std::optional<QUuid> m_editingScheduleID;
    std::optional<ScheduleSubmissionError> m_submissionError;
    std::optional<QUuid> m_activeSubmissionID;
    std::optional<QUuid> m_activeOperationID;
    std::optional<QUuid> m_supersedingID;
};
