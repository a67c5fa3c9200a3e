// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "account/AccountModel.h"
#include "account/BackendConfiguration.h"
#include "app/ActivityCenter.h"
#include "app/AddProjectFlow.h"
#include "app/AppProjectActions.h"
#include "app/AppSchedulingContext.h"
#include "app/AuthorizeFlow.h"
#include "app/ClaudeSignIn.h"
#include "app/CloudSide.h"
#include "app/ConfirmQueue.h"
#include "app/ConnectFlow.h"
#include "app/ConnectingPill.h"
#include "app/ConnectionListModel.h"
#include "app/PublishingFlows.h"
#include "app/RemovalFlows.h"
#include "app/RenameFlow.h"
#include "app/UnrecognizedListModel.h"
#include "app/UpdaterController.h"
#include "cli/ClaudeDriver.h"
#include "cli/StatusQueries.h"
#include "foundation/Clock.h"
#include "foundation/ContinuousClock.h"
#include "foundation/StoreFile.h"
#include "kit/IconLoader.h"
#include "model/ConnectionStore.h"
#include "model/ErrorLog.h"
#include "model/PageStatusStore.h"
#include "model/ProjectStore.h"
#include "model/SiteDirectory.h"
#include "model/UserDefaults.h"
#include "platform/LoginItem.h"
#include "platform/SystemLog.h"
#include "publishing/PublishAccessStore.h"
#include "scheduling/ScheduleStore.h"

#include "model/CLIEnvironment.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QQmlEngine;
class SessionStorage;

/**
 * @brief The application model: the one owner of the stores, the account and the services the
 * rest share, and the state the panel shows.
 *
 * `main` makes one before any window exists and keeps it for the life of the process; every
 * view reads the stores through it and nothing reaches them through a process-wide instance.
 * Construction reads only the application's own files: Claude Code's registry, the `claude` tool
 * and the backend are left to the bootstrap on the panel's first showing. Tests build their own
 * with their own parts.
 */
class AppModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application makes the one model.")
    /// The first present persistence problem of the stores and the account; empty when all can save.
    Q_PROPERTY(QString persistenceIssue READ persistenceIssueText NOTIFY persistenceIssueChanged)
    /// True until the first refresh has read and reconciled Claude Code's registry, however it went.
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    /// Why the last registry read failed; empty after a good one.
    Q_PROPERTY(QString loadError READ loadErrorText NOTIFY loadErrorChanged)
    /// A refresh is under way.
    Q_PROPERTY(bool isRefreshing READ isRefreshing NOTIFY isRefreshingChanged)
    /// The names of the connections an operation is working on.
    Q_PROPERTY(QStringList busy READ busyNames NOTIFY busyChanged)
    /// The intro wizard is showing.
    Q_PROPERTY(bool showingIntro READ showingIntro WRITE setShowingIntro NOTIFY showingIntroChanged)
    /// The application starts at login, as the desktop's autostart entry says.
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    /// The release-note lines of the what's-new card; empty when none is due.
    Q_PROPERTY(QStringList whatsNew READ whatsNewLines NOTIFY whatsNewChanged)
    /// Whether the claude tool is signed in: "signedIn", "signedOut" or "unknown".
    Q_PROPERTY(QString claudeAuthState READ claudeAuthState NOTIFY claudeAuthChanged)
    /// The account claude is signed in with, when it said; else empty.
    Q_PROPERTY(QString claudeAuthEmail READ claudeAuthEmail NOTIFY claudeAuthChanged)
    /// The panel is showing; the panel sets it.
    Q_PROPERTY(bool panelIsOpen READ panelIsOpen WRITE setPanelIsOpen NOTIFY panelIsOpenChanged)
    /// The managed connections, each with its project.
    Q_PROPERTY(ConnectionListModel *connections READ connectionsObject CONSTANT)
    /// The registry entries shown but not managed.
    Q_PROPERTY(UnrecognizedListModel *unrecognized READ unrecognizedObject CONSTANT)
    Q_PROPERTY(AccountModel *account READ accountObject CONSTANT)
    Q_PROPERTY(ConnectionStore *connectionStore READ connectionStoreObject CONSTANT)
    Q_PROPERTY(ProjectStore *projectStore READ projectStoreObject CONSTANT)
    Q_PROPERTY(SiteDirectory *siteDirectory READ siteDirectoryObject CONSTANT)
    Q_PROPERTY(ScheduleStore *scheduleStore READ scheduleStoreObject CONSTANT)
    Q_PROPERTY(PublishAccessStore *publishAccess READ publishAccessObject CONSTANT)
    Q_PROPERTY(PageStatusStore *pageStatus READ pageStatusObject CONSTANT)
    /// The activity sheet and its log.
    Q_PROPERTY(ActivityCenter *activity READ activityObject CONSTANT)
    /// The questions and notices of the confirm overlay.
    Q_PROPERTY(ConfirmQueue *confirms READ confirmsObject CONSTANT)
    /// Authorizing connections and checking their scope.
    Q_PROPERTY(AuthorizeFlow *authorizer READ authorizerObject CONSTANT)
    /// The backend identity, cloud refreshes, notification taps and sign-in requests.
    Q_PROPERTY(CloudSide *cloud READ cloudObject CONSTANT)
    /// Connecting and disconnecting publishing access.
    Q_PROPERTY(PublishingFlows *publishing READ publishingObject CONSTANT)
    /// Renaming a project's connection.
    Q_PROPERTY(RenameFlow *renamer READ renamerObject CONSTANT)
    /// Unregistering, removing projects one at a time or all at once, and local-scope removals.
    Q_PROPERTY(RemovalFlows *removal READ removalObject CONSTANT)
    /// The add field and adding a project.
    Q_PROPERTY(AddProjectFlow *adding READ addingObject CONSTANT)
    /// Connecting and re-authenticating a project's server.
    Q_PROPERTY(ConnectFlow *connecting READ connectingObject CONSTANT)
    /// Signing the claude command line in.
    Q_PROPERTY(ClaudeSignIn *claudeSignIn READ claudeSignInObject CONSTANT)
    /// The failures kept for the error report, and the report sender's state.
    Q_PROPERTY(ErrorLog *errorLog READ errorLogObject CONSTANT)
    /// "Check for Updates…"; null in a smoke-test process.
    Q_PROPERTY(UpdaterController *updater READ updater CONSTANT)
    /// What the project cards ask of the model.
    Q_PROPERTY(ProjectActions *projectActions READ projectActionsObject CONSTANT)
    /// The user's remembered choices.
    Q_PROPERTY(UserDefaults *defaults READ defaultsObject CONSTANT)

public:
    /// What the model is built from; every part but the backend has the application's own default.
    struct Environment
    {
        /// Where failures are written besides the kept events; absent: the journal.
        SystemLog *systemLog = nullptr;
        /// How the claude driver is built.
        ClaudeCLI::DriverConfiguration driver;
        /// The folder the kit's icons are read from; empty: the resource bundle's.
        QString iconFolder;
        /// The connecting pill's waits; absent: the suspend-proof clock.
        ContinuousClock::Delay pillDelay;
        /// The folder of every local file; empty: the application's data folder.
        QString baseFolder;
        /// Dates records and decides what is stale; absent: the system clock. Must outlive the model.
        const Clock *clock = nullptr;
        /// Replaces the stores' files; absent: the atomic replacement.
        AtomicWriter storeWriter;
        /// The backend the account signs in to; none: cloud features unavailable. The application
        /// reads it from the build's keys.
        std::optional<BackendConfiguration> backend;
        /// Where the backend session is kept; absent: the user's keyring. Must outlive the model.
        SessionStorage *sessionStorage = nullptr;
        /// Waits between the account's profile reads; absent: the suspend-proof clock.
        ContinuousClock::Delay accountPause;
        /// Waits between the schedule poll's passes; absent: the suspend-proof clock.
        ContinuousClock::Delay schedulePollDelay;
        /// Whether a network other than loopback is up; absent: the machine's interfaces.
        std::function<bool()> networkUp;
        /// The login item; absent: the application's autostart entry.
        std::optional<LoginItem> loginItem;
        /// The operating system as support texts name it; empty: the machine's own description.
        QString operatingSystem;
        /// The file of the user's first-run choices; empty: the application's settings.
        QString settingsFile;
        /// The version the what's-new logic compares; empty: the application's.
        QString version;
        /// The release-note lines of a version; none: no card for it.
        std::function<std::optional<QStringList>(const QString &version)> releaseNotes;
        /// A smoke-test process: the first-run defaults are neither read nor written.
        bool smokeTest = false;
        /// Whether publish outcomes show as desktop notifications whose taps reach the model; off:
        /// nothing is shown and no tap arrives. The application turns them on.
        bool notifications = false;
        /// Brings the panel up (never closes it), for a tapped notification; empty: nothing to
        /// bring up. The panel hands its "ensure open".
        std::function<void()> panelActivator;
        /// Brings the application forward with its panel raised and focused, also when the panel
        /// is already open; empty: nothing to bring forward.
        std::function<void()> applicationActivator;
        /// The publishing store's consent browser and waits; absent: the default browser and the
        /// suspend-proof clock.
        PublishAccessStore::Seams publishAccess;
        /// The backend address consent must return to; absent: the backend's. Consent returns only
        /// over https, so a test whose backend runs on loopback names another.
        std::optional<QUrl> consentReturnBackend;
        /// Where error reports go; absent: the build's gateway.
        ErrorLog::GatewayLookup errorGateway;
        /// How long a report's outcome shows; absent: a timer.
        ErrorLog::Delay errorReportDelay;
    };

    /// Where support requests go; the diagnostics text names it first.
    static inline const QString supportAddress = QStringLiteral("support@velliscor.studio");

    /// The application's own parts, with the backend named by the build's keys.
    AppModel();
    explicit AppModel(Environment environment, QObject *parent = nullptr);
    ~AppModel() override;

    [[nodiscard]] ErrorLog &errorLog() { return m_errorLog; }
    [[nodiscard]] ClaudeCLI::ClaudeDriver &driver() { return m_driver; }
    [[nodiscard]] IconLoader &icons() { return m_icons; }
    [[nodiscard]] ConnectingPill &connectingPill() { return m_connectingPill; }
    [[nodiscard]] ConnectionStore &connectionStore() { return m_connectionStore; }
    [[nodiscard]] ProjectStore &projectStore() { return m_projectStore; }
    [[nodiscard]] SiteDirectory &siteDirectory() { return m_siteDirectory; }
    [[nodiscard]] ScheduleStore &scheduleStore() { return m_scheduleStore; }
    [[nodiscard]] PublishAccessStore &publishAccess() { return m_publishAccess; }
    [[nodiscard]] PageStatusStore &pageStatus() { return m_pageStatus; }
    [[nodiscard]] AccountModel &account() { return m_account; }
    [[nodiscard]] ActivityCenter &activity() { return m_activity; }
    [[nodiscard]] ConfirmQueue &confirms() { return m_confirms; }
    [[nodiscard]] AuthorizeFlow &authorizer() { return m_authorizer; }
    [[nodiscard]] CloudSide &cloud() { return m_cloud; }
    [[nodiscard]] PublishingFlows &publishing() { return m_publishing; }
    [[nodiscard]] RenameFlow &renamer() { return m_renamer; }
    [[nodiscard]] RemovalFlows &removal() { return m_removal; }
    [[nodiscard]] AddProjectFlow &adding() { return m_adding; }
    [[nodiscard]] ConnectFlow &connecting() { return m_connecting; }
    [[nodiscard]] ClaudeSignIn &claudeSignIn() { return m_claudeSignIn; }
    [[nodiscard]] AppProjectActions &projectActions() { return m_projectActions; }
    /// The how-to card: shows the intro wizard.
    Q_INVOKABLE void openIntro();
    [[nodiscard]] UserDefaults &defaults() { return m_defaults; }
    /// What the scheduling screens read of the model beside the schedule store.
    [[nodiscard]] AppSchedulingContext &schedulingContext() { return m_schedulingContext; }
    [[nodiscard]] const Clock &clock() const { return m_clock; }
    /// Null in a smoke-test process, which never checks for updates.
    [[nodiscard]] UpdaterController *updater() const { return m_updater.get(); }

    /// The persistence problem the panel shows and the changing flows check first: the first of
    /// the connection store's, the project store's, the site directory's, the schedule store's,
    /// the publishing access store's and the account's. Page Status keeps nothing worth guarding.
    [[nodiscard]] std::optional<QString> persistenceIssue() const;
    [[nodiscard]] QString persistenceIssueText() const { return persistenceIssue().value_or(QString()); }

    /// The managed servers as of the last good registry read, in the reader's order.
    [[nodiscard]] const QList<Connection> &connections() const { return m_connections; }
    [[nodiscard]] const QList<UnrecognizedServer> &unrecognized() const { return m_unrecognized; }
    [[nodiscard]] const ConnectionListModel &connectionRows() const { return m_connectionRows; }
    [[nodiscard]] const UnrecognizedListModel &unrecognizedRows() const { return m_unrecognizedRows; }
    // The one way each list changes, so the views' rows always follow; flows that learn of one
    // connection between refreshes change it through these too.
    void setConnections(QList<Connection> connections);
    void setUnrecognized(QList<UnrecognizedServer> servers);

    /// The detected claude installation.
    [[nodiscard]] const CLIEnvironment &environment() const { return m_environment; }
    /// The names whose live check of the newest refresh has not reported yet.
    [[nodiscard]] const QSet<QString> &statusChecksInFlight() const { return m_statusChecksInFlight; }

    /// How many status queries of one refresh may run at once: few claude processes however many
    /// connections there are.
    static constexpr int maxConcurrentStatusChecks = 4;
    /// How long one detection of the claude installation stays good enough for a refresh.
    static constexpr qint64 environmentFreshSeconds = 30;

    /**
     * Makes the connections and unrecognized entries match ~/.claude.json again, brings the
     * connection metadata, the site directory and the projects into line with it, then asks each
     * managed server for its live status and re-detects claude when that is due. Answers false,
     * changing nothing, when another refresh is under way and `force` is not set; a forced one
     * supersedes it, and the older one's late answers are dropped.
     */
    QCoro::Task<bool> refresh(bool force);
    /// Detects the claude installation again, unless the last detection is fresh and `force` is unset.
    QCoro::Task<> refreshEnvironment(bool force);
    /// Records that a flow has first-hand evidence of a connection's state, so that a status check
    /// already running cannot overwrite what the flow found.
    void noteEvidence(const QString &name);
    /**
     * Finishes locally, or explains on the project, every rename, unregister or removal that was
     * interrupted between recording its intent and settling it, by what the registry now holds.
     * `registryNames` are the user-scope names of a good read. Runs within a refresh. A project
     * whose removal is still running is left to that removal.
     */
    void recoverInterruptedOperations(const QSet<QString> &registryNames);

    /// For every project bound to a site, that site's id mapped to the project's title; the first
    /// project in order wins a shared site.
    [[nodiscard]] QHash<QString, QString> projectSiteTitles() const;

    /// The sites that hold publishing state of any kind while no project claims them (by its site,
    /// or by the directory record that lists its server), in the order of their shown names.
    Q_INVOKABLE [[nodiscard]] QStringList knownSiteIDs() const;
    /// The name a site is shown and sorted under: the directory's custom or Webflow name, else
    /// the name the backend reported, else the id.
    Q_INVOKABLE [[nodiscard]] QString siteDisplayName(const QString &siteId) const;

    /**
     * What the first showing of the panel does: the first-run defaults (start at login once, the
     * intro, the what's-new card), claude's sign-in state, the account's launch settling alongside
     * the environment check and the first refresh. Later calls only refresh, unforced.
     */
    QCoro::Task<> bootstrap();
    /// The release-note lines of the what's-new card; empty when no card is due.
    [[nodiscard]] const std::optional<QStringList> &whatsNew() const { return m_whatsNew; }
    Q_INVOKABLE void dismissWhatsNew();

    /// Whether the claude tool itself is signed in, as last asked.
    [[nodiscard]] const ClaudeCLI::AuthStatus &claudeAuth() const { return m_claudeAuth; }
    [[nodiscard]] QString claudeAuthState() const;
    [[nodiscard]] QString claudeAuthEmail() const { return m_claudeAuth.email.value_or(QString()); }
    /// What a flow learnt of the sign-in; it outdates every check still on its way.
    void setClaudeAuth(const ClaudeCLI::AuthStatus &status);
    /// Asks claude whether it is signed in. Checks may overlap; only the answer to the one asked
    /// last is kept.
    QCoro::Task<> refreshClaudeAuth();
    /// "Recheck" and "Check again": a check whose answer replaces the state.
    Q_INVOKABLE void recheckClaudeAuth();
    /// A short plain-text summary of the state for a support e-mail: the address to send it to,
    /// one fact per line, and a prompt for the user's own words. Names no path, server or e-mail.
    Q_INVOKABLE [[nodiscard]] QString diagnosticsReport() const;

    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] const std::optional<QString> &loadError() const { return m_loadError; }
    [[nodiscard]] QString loadErrorText() const { return m_loadError.value_or(QString()); }
    [[nodiscard]] bool isRefreshing() const { return m_isRefreshing; }
    /// How many refreshes have started; a resumed refresh that sees a newer number gives way.
    [[nodiscard]] quint64 refreshGeneration() const { return m_refreshGeneration; }
    [[nodiscard]] const QSet<QString> &busy() const { return m_busy; }
    /// Marks a connection as worked on by a flow, or no longer.
    void setBusy(const QString &name, bool busy);
    [[nodiscard]] QStringList busyNames() const;
    [[nodiscard]] bool didBootstrap() const { return m_didBootstrap; }
    [[nodiscard]] bool showingIntro() const { return m_showingIntro; }
    void setShowingIntro(bool showing);
    [[nodiscard]] bool panelIsOpen() const { return m_panelIsOpen; }
    [[nodiscard]] bool launchAtLogin() const { return m_launchAtLogin; }
    /// Turns the login item around from what the desktop now says, whatever the toggle showed, so
    /// the toggle follows a change made in the desktop's settings.
    Q_INVOKABLE void setLaunchAtLogin();
    void setPanelIsOpen(bool open);

    /// Hands the kit's services to `engine`; call before it loads any view. The engine must not
    /// outlive the model.
    void attach(QQmlEngine &engine);

signals:
    void persistenceIssueChanged();
    void isLoadingChanged();
    void loadErrorChanged();
    void isRefreshingChanged();
    void busyChanged();
    void showingIntroChanged();
    void panelIsOpenChanged();
    void whatsNewChanged();
    void launchAtLoginChanged();
    void claudeAuthChanged();
    /// A detection of the claude installation found something else than the last one.
    void environmentChanged();

private:
    [[nodiscard]] QStringList whatsNewLines() const { return m_whatsNew.value_or(QStringList()); }
    void applyFirstRunDefaults();
    [[nodiscard]] ConnectionListModel *connectionsObject() { return &m_connectionRows; }
    [[nodiscard]] UnrecognizedListModel *unrecognizedObject() { return &m_unrecognizedRows; }
    [[nodiscard]] AccountModel *accountObject() { return &m_account; }
    [[nodiscard]] ConnectionStore *connectionStoreObject() { return &m_connectionStore; }
    [[nodiscard]] ProjectStore *projectStoreObject() { return &m_projectStore; }
    [[nodiscard]] SiteDirectory *siteDirectoryObject() { return &m_siteDirectory; }
    [[nodiscard]] ScheduleStore *scheduleStoreObject() { return &m_scheduleStore; }
    [[nodiscard]] PublishAccessStore *publishAccessObject() { return &m_publishAccess; }
    [[nodiscard]] PageStatusStore *pageStatusObject() { return &m_pageStatus; }
    [[nodiscard]] ActivityCenter *activityObject() { return &m_activity; }
    [[nodiscard]] ConfirmQueue *confirmsObject() { return &m_confirms; }
    [[nodiscard]] AuthorizeFlow *authorizerObject() { return &m_authorizer; }
    [[nodiscard]] CloudSide *cloudObject() { return &m_cloud; }
    [[nodiscard]] PublishingFlows *publishingObject() { return &m_publishing; }
    [[nodiscard]] RenameFlow *renamerObject() { return &m_renamer; }
    [[nodiscard]] RemovalFlows *removalObject() { return &m_removal; }
    [[nodiscard]] AddProjectFlow *addingObject() { return &m_adding; }
    [[nodiscard]] ConnectFlow *connectingObject() { return &m_connecting; }
    [[nodiscard]] ClaudeSignIn *claudeSignInObject() { return &m_claudeSignIn; }
    [[nodiscard]] ErrorLog *errorLogObject() { return &m_errorLog; }
    [[nodiscard]] ProjectActions *projectActionsObject() { return &m_projectActions; }
    [[nodiscard]] UserDefaults *defaultsObject() { return &m_defaults; }

    /// The stores' shared environment: the model's clock, its error log and the given writer.
    [[nodiscard]] LocalStore::Environment storeEnvironment();
    void followPersistenceIssues();

    void updateConnectionRows();
    template <typename T>
    void assign(T &field, const T &value, void (AppModel::*changed)());
    void setIsRefreshing(bool refreshing);
    void finishRefresh(quint64 generation);
    /// Everything a good registry read leads to, in one step that nothing else interleaves.
    void reconcile(const QList<Connection> &connections, const QSet<QString> &managed,
                   const QSet<QString> &known);
    QCoro::Task<> runStatusChecks(QStringList names, quint64 generation);
    void applyStatus(const QString &name, ConnectionStatus status, quint64 generation, quint64 evidence);

    std::unique_ptr<SystemLog> m_journal; // only when no system log was handed in
    ErrorLog m_errorLog;
    const Clock &m_clock;
    QString m_baseFolder;
    AtomicWriter m_storeWriter;
    ClaudeCLI::ClaudeDriver m_driver;
    IconLoader m_icons;
    ConnectingPill m_connectingPill;
    /// The desktop's notifications, when the switch is on; the schedule store shows outcomes there.
    std::unique_ptr<UserNotifications> m_notifications;
    ConnectionStore m_connectionStore;
    ProjectStore m_projectStore;
    SiteDirectory m_siteDirectory;
    ScheduleStore m_scheduleStore;
    PublishAccessStore m_publishAccess;
    PageStatusStore m_pageStatus;
    AccountModel m_account;
    ActivityCenter m_activity;
    ConfirmQueue m_confirms;
    AuthorizeFlow m_authorizer;
    CloudSide m_cloud;
    PublishingFlows m_publishing;
    RenameFlow m_renamer;
    RemovalFlows m_removal;
    AddProjectFlow m_adding;
    ConnectFlow m_connecting;
    ClaudeSignIn m_claudeSignIn;
    AppProjectActions m_projectActions;
    UserDefaults m_defaults;

    QList<Connection> m_connections;
    QList<UnrecognizedServer> m_unrecognized;
    ConnectionListModel m_connectionRows;
    UnrecognizedListModel m_unrecognizedRows;
    // After every store and flow it reads, and after the defaults it follows.
    AppSchedulingContext m_schedulingContext;
    CLIEnvironment m_environment;
    QDateTime m_environmentCheckedAt;
    QSet<QString> m_statusChecksInFlight;
    QHash<QString, quint64> m_evidenceGenerations;
    bool m_isLoading = true;
    std::optional<QString> m_loadError;
    bool m_isRefreshing = false;
    quint64 m_refreshGeneration = 0;
    QSet<QString> m_busy;
    bool m_didBootstrap = false;
    bool m_showingIntro = false;
    bool m_panelIsOpen = false;
    LoginItem m_loginItem;
    bool m_launchAtLogin = false;
    QString m_operatingSystem;
    ClaudeCLI::AuthStatus m_claudeAuth;
    quint64 m_claudeAuthCheck = 0;
    QString m_version;
    std::function<std::optional<QStringList>(const QString &)> m_releaseNotes;
    bool m_smokeTest = false;
    std::optional<QStringList> m_whatsNew;
    std::optional<QString> m_shownPersistenceIssue;
    // Last: it presents through the confirm queue, which must outlive it.
    std::unique_ptr<UpdaterController> m_updater;
};
