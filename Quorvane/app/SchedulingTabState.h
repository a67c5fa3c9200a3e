// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"
#include "app/PanelState.h"
#include "scheduling/PublishHistoryPresenter.h"
#include "scheduling/SchedulePublishScreen.h"
#include "scheduling/ScheduleStore.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <memory>

/**
 * @brief The Scheduled Publishing tab's rules: when the tab is idle, how many banners its screen
 * shows, when the empty state may show, and what the order toggle and the Schedule / Cancel pill
 * say. The tab's QML and the panel's Ctrl+N read them here.
 */
class SchedulingTabRules : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    /// Nothing queued and the form closed: the invitation card shows instead of the controls.
    Q_INVOKABLE [[nodiscard]] static bool isScheduleIdle(int scheduleCount, bool showingForm);
    /// The banners the screen shows above its queue: missed publishes, the cloud banner (always in
    /// local mode; in cloud mode unless the note was hidden for good; nothing while checking), a
    /// sync error and a cache problem.
    [[nodiscard]] static int scheduleBannerCount(bool attention, ScheduleStore::CloudState cloudState,
                                                 bool cloudNoteDismissed, bool syncError, bool persistenceIssue);
    /// The empty state never covers two banners.
    Q_INVOKABLE [[nodiscard]] static bool showsEmptyState(bool idle, int bannerCount);
    /// The order toggle counts the store's schedules, whatever the screen shows.
    Q_INVOKABLE [[nodiscard]] static bool showsOrderToggle(int scheduleCount);
    Q_INVOKABLE [[nodiscard]] static QString orderSymbol(bool soonestFirst);
    Q_INVOKABLE [[nodiscard]] static QString orderText(bool soonestFirst);
    /// The pill's icon: none beside "Schedule", a cross beside "Cancel".
    Q_INVOKABLE [[nodiscard]] static QString pillSymbol(bool showingForm);
    Q_INVOKABLE [[nodiscard]] static QString pillText(bool showingForm);
    Q_INVOKABLE [[nodiscard]] static QString pillHelp(bool showingForm);

    /// Whether the Schedule pill's Ctrl+N may act: the form is closed and no submission runs.
    Q_INVOKABLE [[nodiscard]] static bool canOpenScheduleForm(const PanelState *panel);
    /// The Schedule / Cancel pill and Ctrl+N: opens the form, or closes it without scheduling;
    /// nothing while a submission runs, since the pill is disabled then.
    Q_INVOKABLE static void toggleScheduleForm(PanelState *panel);
    /// The order toggle: flips between sooner first and later first.
    Q_INVOKABLE static void toggleQueueOrder(PanelState *panel);
};

/**
 * @brief One showing of the Scheduled Publishing tab: the schedule screen and the publish history
 * it hosts, kept in step with the panel's shared schedule state, and what the tab's top bar,
 * footer and empty state show.
 *
 * The tab's QML makes one with the model and the panel; a new showing of the tab makes a new one,
 * so the screen's form starts afresh as the panel's own state says.
 */
class SchedulingTabState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY attached)
    Q_PROPERTY(PanelState *panel READ panel WRITE setPanel NOTIFY attached)
    /// The screen the queue page shows; null until both the model and the panel are set.
    Q_PROPERTY(SchedulePublishScreen *screen READ screen NOTIFY attached)
    /// The history page's presenter, focused on the event a tapped notification named.
    Q_PROPERTY(PublishHistoryPresenter *history READ history NOTIFY attached)
    Q_PROPERTY(bool isScheduleIdle READ isScheduleIdle NOTIFY changed)
    Q_PROPERTY(int scheduleBannerCount READ scheduleBannerCount NOTIFY changed)
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY changed)
    Q_PROPERTY(bool showsOrderToggle READ showsOrderToggle NOTIFY changed)
    Q_PROPERTY(QString orderSymbol READ orderSymbol NOTIFY changed)
    Q_PROPERTY(QString orderText READ orderText NOTIFY changed)
    Q_PROPERTY(QString pillSymbol READ pillSymbol NOTIFY changed)
    Q_PROPERTY(QString pillText READ pillText NOTIFY changed)
    Q_PROPERTY(QString pillHelp READ pillHelp NOTIFY changed)
    /// The pill is disabled while a submission runs, in both its forms.
    Q_PROPERTY(bool pillEnabled READ pillEnabled NOTIFY changed)
    /// The pill carries Ctrl+N (and shows its hint) only while the form is closed.
    Q_PROPERTY(bool pillShowsShortcut READ pillShowsShortcut NOTIFY changed)
    /// The "Previous publishes" link shows while the form is closed.
    Q_PROPERTY(bool showsFooter READ showsFooter NOTIFY changed)

public:
    explicit SchedulingTabState(QObject *parent = nullptr);
    ~SchedulingTabState() override;

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] PanelState *panel() const { return m_panel; }
    void setPanel(PanelState *panel);
    [[nodiscard]] SchedulePublishScreen *screen() const { return m_screen.get(); }
    [[nodiscard]] PublishHistoryPresenter *history() const { return m_history.get(); }

    [[nodiscard]] bool isScheduleIdle() const;
    [[nodiscard]] int scheduleBannerCount() const;
    [[nodiscard]] bool showsEmptyState() const;
    [[nodiscard]] bool showsOrderToggle() const;
    [[nodiscard]] QString orderSymbol() const;
    [[nodiscard]] QString orderText() const;
    [[nodiscard]] QString pillSymbol() const;
    [[nodiscard]] QString pillText() const;
    [[nodiscard]] QString pillHelp() const;
    [[nodiscard]] bool pillEnabled() const;
    [[nodiscard]] bool pillShowsShortcut() const;
    [[nodiscard]] bool showsFooter() const;

    /// The pill and the invitation card.
    Q_INVOKABLE void toggleScheduleForm();
    Q_INVOKABLE void toggleQueueOrder();
    /// "Previous publishes": the history, focused on the event last asked for, if any.
    Q_INVOKABLE void showHistory();
    /// The history's back control: forgets the focused event, then shows the queue.
    Q_INVOKABLE void leaveHistory();
    /// The hand-off is spent: the screen took the site, or found it unknown.
    Q_INVOKABLE void consumeHandoff();

signals:
    void attached();
    void changed();

private:
    void attach();
    void pushFormToScreen();
    void pullFormFromScreen();
    void followFocusedEvent();
    /// Opens the form on the site a project card handed over, once.
    void takeHandoff();

    QPointer<AppModel> m_model;
    QPointer<PanelState> m_panel;
    std::unique_ptr<SchedulePublishScreen> m_screen;
    std::unique_ptr<PublishHistoryPresenter> m_history;
};
