// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/PanelTab.h"
#include "foundation/ContinuousClock.h"
#include "model/ActivitySheet.h"
#include "model/Project.h"

#include <QDateTime>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariantList>

#include <optional>

class AppModel;
class Clock;

/**
 * @brief What the panel shares between its header, tabs, banners and overlays, and the rules for
 * switching tabs, refreshing when it is opened again and showing a short toast. The panel's QML
 * lays this out; every decision is made here.
 */
class PanelState final : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application hands the panel its state.")
    Q_PROPERTY(PanelTab::Tab activeTab READ activeTab WRITE setActiveTab NOTIFY activeTabChanged)
    Q_PROPERTY(QString activeTitle READ activeTitle NOTIFY activeTabChanged)
    /// Which tab's content shows.
    Q_PROPERTY(bool showsConnections READ showsConnections NOTIFY activeTabChanged)
    Q_PROPERTY(bool showsScheduledPublishing READ showsScheduledPublishing NOTIFY activeTabChanged)
    Q_PROPERTY(bool showsPageStatus READ showsPageStatus NOTIFY activeTabChanged)
    /// The tab list under the header is open.
    Q_PROPERTY(bool showingTabs READ showingTabs WRITE setShowingTabs NOTIFY showingTabsChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    /// The search text holds more than blanks and tabs.
    Q_PROPERTY(bool isSearching READ isSearching NOTIFY searchTextChanged)
    Q_PROPERTY(bool searchFocused READ searchFocused WRITE setSearchFocused NOTIFY searchFocusedChanged)
    /// The Add New field has the keyboard focus.
    Q_PROPERTY(bool addFieldFocused READ addFieldFocused WRITE setAddFieldFocused NOTIFY addFieldFocusedChanged)
    Q_PROPERTY(bool showingAbout READ showingAbout WRITE setShowingAbout NOTIFY showingAboutChanged)
    Q_PROPERTY(bool pageStatusShowingInfo READ pageStatusShowingInfo WRITE setPageStatusShowingInfo NOTIFY pageStatusShowingInfoChanged)
    Q_PROPERTY(bool scheduleShowingHistory READ scheduleShowingHistory WRITE setScheduleShowingHistory NOTIFY scheduleShowingHistoryChanged)
    /// The site a project card's Schedule action hands to the Scheduled Publishing tab; empty: none.
    Q_PROPERTY(QString scheduleHandoffSiteID READ scheduleHandoffSiteID WRITE setScheduleHandoffSiteID NOTIFY scheduleHandoffSiteIDChanged)
    Q_PROPERTY(bool scheduleShowingForm READ scheduleShowingForm WRITE setScheduleShowingForm NOTIFY scheduleShowingFormChanged)
    Q_PROPERTY(bool scheduleSubmissionInProgress READ scheduleSubmissionInProgress WRITE setScheduleSubmissionInProgress NOTIFY scheduleSubmissionInProgressChanged)
    /// The queue lists the soonest publish first.
    Q_PROPERTY(bool scheduleSoonestFirst READ scheduleSoonestFirst WRITE setScheduleSoonestFirst NOTIFY scheduleSoonestFirstChanged)
    /// The panel's window is on screen.
    Q_PROPERTY(bool panelVisible READ panelVisible NOTIFY panelVisibleChanged)
    /// Rises each time the pointer leaves the panel, which clears the pills' hover.
    Q_PROPERTY(int hoverEpoch READ hoverEpoch NOTIFY hoverEpochChanged)
    /// The toast's text; empty when none shows.
    Q_PROPERTY(QString copiedToast READ copiedToast NOTIFY copiedToastChanged)
    /// Ctrl+F acts on this tab.
    Q_PROPERTY(bool canFocusSearch READ canFocusSearch NOTIFY activeTabChanged)
    /// Ctrl+Tab and Ctrl+Shift+Tab act on this tab.
    Q_PROPERTY(bool canCycleTabs READ canCycleTabs NOTIFY activeTabChanged)
    /// The build works against production data: the header says so.
    Q_PROPERTY(bool backendIsProdTest READ backendIsProdTest CONSTANT)
    /// What the activity overlay offers for the sheet it shows.
    Q_PROPERTY(bool canReportActivity READ canReportActivity NOTIFY activityActionsChanged)
    Q_PROPERTY(bool canCancelActivity READ canCancelActivity NOTIFY activityActionsChanged)
    Q_PROPERTY(bool canRetryActivity READ canRetryActivity NOTIFY activityActionsChanged)
    /// The background's shimmer stands still: an activity, a question or a sign-in is up, or the
    /// panel is hidden.
    Q_PROPERTY(bool shimmerPaused READ shimmerPaused NOTIFY shimmerPausedChanged)
    /// The rows of the tab list: `position` (from 0), `tab` and `title`.
    Q_PROPERTY(QVariantList pickerTabs READ pickerTabs CONSTANT)
    /// The state of the error report the activity overlay sends (the error log's report state).
    Q_PROPERTY(int reportState READ reportState NOTIFY reportStateChanged)

public:
    /// How long the toast stays.
    static constexpr std::chrono::milliseconds toastDuration{3500};
    /// Opening the panel again refreshes at most once in this time.
    static constexpr qint64 reopenRefreshSeconds = 2;

    /// The overlays above the panel column, from the bottom up; a higher one covers the lower.
    enum class Overlay { activity, about, intro, confirm, signIn };
    Q_ENUM(Overlay)

    /// What the activity overlay offers for one sheet.
    struct ActivityActions
    {
        bool report = false;
        bool cancel = false;
        bool retry = false;
        /// Retry starts the publishing connect again rather than the sheet's own activity.
        bool retryConnectsPublishing = false;
        friend bool operator==(const ActivityActions &, const ActivityActions &) = default;
    };

    /// `clock` dates the refreshes on opening; `delay` waits out the toast.
    PanelState(AppModel &model, const Clock &clock, ContinuousClock::Delay delay, QObject *parent = nullptr);

    [[nodiscard]] PanelTab::Tab activeTab() const { return m_activeTab; }
    [[nodiscard]] QString activeTitle() const { return PanelTab::title(m_activeTab); }
    [[nodiscard]] bool showsConnections() const { return m_activeTab == PanelTab::Tab::connections; }
    [[nodiscard]] bool showsScheduledPublishing() const { return m_activeTab == PanelTab::Tab::scheduledPublishing; }
    [[nodiscard]] bool showsPageStatus() const { return m_activeTab == PanelTab::Tab::pageStatus; }
    /// Shows a tab; a new tab closes the list and starts its own work.
    void setActiveTab(PanelTab::Tab tab);
    /// A row of the tab list: shows its tab and closes the list.
    Q_INVOKABLE void chooseTab(PanelTab::Tab tab);
    /// Ctrl+1, Ctrl+2: the tab at that place of the list, counted from 1.
    Q_INVOKABLE void selectTab(int position);
    /// Ctrl+Tab (+1) and Ctrl+Shift+Tab (-1), wrapping; nothing on a tab outside the list.
    Q_INVOKABLE void cycleTab(int step);
    [[nodiscard]] bool canCycleTabs() const { return PanelTab::allCases.contains(m_activeTab); }
    [[nodiscard]] bool canFocusSearch() const { return m_activeTab != PanelTab::Tab::scheduledPublishing; }
    /// Ctrl+F.
    Q_INVOKABLE void focusSearch();

    [[nodiscard]] bool showingTabs() const { return m_showingTabs; }
    void setShowingTabs(bool showing);
    [[nodiscard]] const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);
    [[nodiscard]] bool isSearching() const;
    [[nodiscard]] bool searchFocused() const { return m_searchFocused; }
    void setSearchFocused(bool focused);
    [[nodiscard]] bool addFieldFocused() const { return m_addFieldFocused; }
    /// Losing the focus folds an add field that holds no name.
    void setAddFieldFocused(bool focused);
    [[nodiscard]] bool showingAbout() const { return m_showingAbout; }
    void setShowingAbout(bool showing);
    [[nodiscard]] bool pageStatusShowingInfo() const { return m_pageStatusShowingInfo; }
    void setPageStatusShowingInfo(bool showing);
    [[nodiscard]] bool scheduleShowingHistory() const { return m_scheduleShowingHistory; }
    void setScheduleShowingHistory(bool showing);
    [[nodiscard]] const QString &scheduleHandoffSiteID() const { return m_scheduleHandoffSiteID; }
    void setScheduleHandoffSiteID(const QString &siteID);
    [[nodiscard]] bool scheduleShowingForm() const { return m_scheduleShowingForm; }
    void setScheduleShowingForm(bool showing);
    [[nodiscard]] bool scheduleSubmissionInProgress() const { return m_scheduleSubmissionInProgress; }
    void setScheduleSubmissionInProgress(bool running);
    [[nodiscard]] bool scheduleSoonestFirst() const { return m_scheduleSoonestFirst; }
    void setScheduleSoonestFirst(bool soonestFirst);

    /// The panel's first showing: the cloud bootstrap and the bootstrap, dated so that becoming key along with it does not
    /// refresh a second time.
    Q_INVOKABLE void panelStart();
    /// The panel's window became key: refreshes and, once the launch has settled, completes a
    /// pending sign-in; unless it did within the last two seconds.
    Q_INVOKABLE void refreshOnBecomeKey();
    [[nodiscard]] const QDateTime &lastPanelRefresh() const { return m_lastPanelRefresh; }
    /// The panel's window was shown or hidden. Hiding forgets the search.
    Q_INVOKABLE void setPanelVisible(bool visible);
    [[nodiscard]] bool panelVisible() const { return m_panelVisible; }

    [[nodiscard]] int hoverEpoch() const { return m_hoverEpoch; }
    /// The pointer left the panel.
    Q_INVOKABLE void pointerLeft();

    [[nodiscard]] const QString &copiedToast() const { return m_copiedToast; }
    /// Shows the toast for its full time; a second one replaces the first and starts that time anew.
    Q_INVOKABLE void showCopiedToast(const QString &text);

    /// The overlays that show for these requests, from the bottom up. `activityRaised` (the
    /// intro's `raisesActivity`) lifts the activity sheet above About and the intro, so a sheet
    /// started from the intro is not hidden behind it.
    [[nodiscard]] static QList<Overlay> overlays(bool sheet, bool about, bool intro, bool confirm, bool signIn,
                                                 bool activityRaised = false);
    /// Where an overlay lies above the panel column, from 1 at the bottom: its place among all of
    /// them in `overlays`, so one leaving keeps its place while it fades.
    Q_INVOKABLE [[nodiscard]] static int overlayLayer(PanelState::Overlay overlay, bool activityRaised);

    [[nodiscard]] bool backendIsProdTest() const { return m_backendIsProdTest; }
    /// Read once from the build's keys by the owner.
    void setBackendIsProdTest(bool prodTest) { m_backendIsProdTest = prodTest; }

    /// The panel's window became key: the re-open refresh, and the pills forget their hover.
    Q_INVOKABLE void panelBecameKey();
    /// The panel's window gave up the key focus: an empty add field folds, the pills forget their hover.
    Q_INVOKABLE void panelResignedKey();
    /// Shows the Scheduled Publishing tab for a focus request the panel has not applied yet, with
    /// the publish history when the request names an event. Each request is applied once.
    void applyScheduleFocus();

    [[nodiscard]] bool shimmerPaused() const;
    [[nodiscard]] static QVariantList pickerTabs();
    /// A row of the tab list, by its position from 0.
    Q_INVOKABLE void choosePickerRow(int position);

    /// Ctrl+R: a refresh unless one runs.
    Q_INVOKABLE void refreshConnections();
    /// Ctrl+N: the add field on the list tabs, the schedule form on Scheduled Publishing.
    Q_INVOKABLE void openNew();
    /// Ctrl+Q.
    Q_INVOKABLE void quit();
    /// Escape in the add field: closes it and forgets the name, unless an add runs.
    Q_INVOKABLE void cancelAddField();
    /// Folds the add field when it holds no name; a name in progress keeps it open.
    Q_INVOKABLE void collapseEmptyAddField();

    /// A project card's Schedule: the Scheduled Publishing tab with the project's site, or, for a
    /// project without one, the question whether to connect it first.
    Q_INVOKABLE void openScheduling(const QString &projectId);

    /// What the activity overlay offers: a report only where reports can go, cancel while the
    /// activity runs, retry for a sheet with a subject that is not a verification.
    [[nodiscard]] static ActivityActions activityActions(const ActivitySheet &sheet, bool reportingAvailable);
    [[nodiscard]] bool canReportActivity() const { return shownActivityActions().report; }
    [[nodiscard]] bool canCancelActivity() const { return shownActivityActions().cancel; }
    [[nodiscard]] bool canRetryActivity() const { return shownActivityActions().retry; }
    [[nodiscard]] int reportState() const;
    /// The activity overlay's buttons, for the sheet it shows.
    Q_INVOKABLE void reportActivity();
    Q_INVOKABLE void cancelActivity();
    Q_INVOKABLE void retryActivity();

signals:
    void activeTabChanged();
    void showingTabsChanged();
    void searchTextChanged();
    void searchFocusedChanged();
    void addFieldFocusedChanged();
    void showingAboutChanged();
    void pageStatusShowingInfoChanged();
    void scheduleShowingHistoryChanged();
    void scheduleHandoffSiteIDChanged();
    void scheduleShowingFormChanged();
    void scheduleSubmissionInProgressChanged();
    void scheduleSoonestFirstChanged();
    void activityActionsChanged();
    void panelVisibleChanged();
    void hoverEpochChanged();
    void copiedToastChanged();
    /// The search field should take the keyboard focus.
    void searchFocusRequested();

    void shimmerPausedChanged();
    void reportStateChanged();
    /// Ctrl+Q: the owner ends the application.
    void quitRequested();

private:
    void handleTabChange(PanelTab::Tab tab);
    [[nodiscard]] ActivityActions shownActivityActions() const;
    /// The project as the store holds it now.
    [[nodiscard]] std::optional<Project> storedProject(const QUuid &projectId) const;
    /// The site the stored project works on, if it has one yet.
    [[nodiscard]] std::optional<QString> scheduleSite(const QUuid &projectId) const;
    QCoro::Task<> connectThenSchedule(QUuid projectId);
    QCoro::Task<> refreshIgnoringResult();
    QCoro::Task<> refreshSchedules();
    QCoro::Task<> reopenRefresh();
    QCoro::Task<> settleThenCompleteSignIn();
    QCoro::Task<> hideToastLater(quint64 generation);

    AppModel &m_model;
    const Clock &m_clock;
    ContinuousClock::Delay m_delay;
    PanelTab::Tab m_activeTab = PanelTab::Tab::connections;
    bool m_showingTabs = false;
    QString m_searchText;
    bool m_searchFocused = false;
    bool m_addFieldFocused = false;
    bool m_showingAbout = false;
    bool m_pageStatusShowingInfo = false;
    bool m_scheduleShowingHistory = false;
    QString m_scheduleHandoffSiteID;
    bool m_scheduleShowingForm = false;
    bool m_scheduleSubmissionInProgress = false;
    bool m_scheduleSoonestFirst = true;
    bool m_panelVisible = true;
    int m_hoverEpoch = 0;
    QString m_copiedToast;
    quint64 m_toastGeneration = 0;
    QDateTime m_lastPanelRefresh;

    bool m_backendIsProdTest = false;
    qint64 m_appliedScheduleFocus = 0;
};
