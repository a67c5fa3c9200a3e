// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"
#include "app/ConnectionsTabRules.h"

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QString>

/**
 * @brief What the Connections tab, its top bar and its banner column show, followed live from the
 * application model and the panel's search text. The views only bind to it.
 */
class ConnectionsTabState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    /// The model followed; set once by the view.
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    /// The panel's search text, as typed.
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)

    /// The trimmed search text is not empty.
    Q_PROPERTY(bool searching READ searching NOTIFY changed)
    /// The top bar holds the first-run card instead of the search row.
    Q_PROPERTY(bool showsFirstRunCard READ showsFirstRunCard NOTIFY changed)
    Q_PROPERTY(QString firstRunSymbol READ firstRunSymbol NOTIFY changed)
    Q_PROPERTY(QString firstRunHeading READ firstRunHeading NOTIFY changed)
    Q_PROPERTY(QString firstRunDetail READ firstRunDetail NOTIFY changed)
    /// The first-run card signs claude in; otherwise it opens the add field.
    Q_PROPERTY(bool firstRunSignsIn READ firstRunSignsIn NOTIFY changed)

    // The banner column's rows, each shown while its flag holds, in this order.
    Q_PROPERTY(bool showsWhatsNew READ showsWhatsNew NOTIFY changed)
    Q_PROPERTY(bool showsClaudeSignedOut READ showsClaudeSignedOut NOTIFY changed)
    Q_PROPERTY(bool showsCLINotice READ showsCLINotice NOTIFY changed)
    Q_PROPERTY(QString cliNoticeHeading READ cliNoticeHeading NOTIFY changed)
    Q_PROPERTY(QString cliNoticeDetail READ cliNoticeDetail NOTIFY changed)
    Q_PROPERTY(bool showsPersistenceIssue READ showsPersistenceIssue NOTIFY changed)
    Q_PROPERTY(bool showsWebflowReset READ showsWebflowReset NOTIFY changed)
    /// How many of those rows are on screen.
    Q_PROPERTY(int visibleBannerCount READ visibleBannerCount NOTIFY changed)
    /// The Connections empty state shows over the tab.
    Q_PROPERTY(bool showsEmptyState READ showsEmptyState NOTIFY changed)
    /// The claude sign-in runs, so no second one may start.
    Q_PROPERTY(bool signingIn READ signingIn NOTIFY changed)

public:
    explicit ConnectionsTabState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] const QString &searchText() const { return m_searchText; }
    void setSearchText(const QString &text);

    /// What the rules read now.
    [[nodiscard]] ConnectionsTabRules::Facts facts() const { return m_facts; }

    [[nodiscard]] bool searching() const { return m_facts.searching; }
    [[nodiscard]] bool showsFirstRunCard() const { return ConnectionsTabRules::showsFirstRunCard(m_facts); }
    [[nodiscard]] QString firstRunSymbol() const { return firstRun().symbol; }
    [[nodiscard]] QString firstRunHeading() const { return firstRun().heading; }
    [[nodiscard]] QString firstRunDetail() const { return firstRun().detail; }
    [[nodiscard]] bool firstRunSignsIn() const { return firstRun().signsIn; }
    [[nodiscard]] bool showsWhatsNew() const { return shows(ConnectionsTabRules::Banner::whatsNew); }
    [[nodiscard]] bool showsClaudeSignedOut() const { return shows(ConnectionsTabRules::Banner::claudeSignedOut); }
    [[nodiscard]] bool showsCLINotice() const { return shows(ConnectionsTabRules::Banner::claudeCLI); }
    [[nodiscard]] QString cliNoticeHeading() const;
    [[nodiscard]] QString cliNoticeDetail() const;
    [[nodiscard]] bool showsPersistenceIssue() const { return shows(ConnectionsTabRules::Banner::persistence); }
    [[nodiscard]] bool showsWebflowReset() const { return shows(ConnectionsTabRules::Banner::webflowReset); }
    [[nodiscard]] int visibleBannerCount() const { return int(ConnectionsTabRules::visibleBanners(m_facts).size()); }
    [[nodiscard]] bool showsEmptyState() const { return ConnectionsTabRules::showsConnectionsEmptyState(m_facts); }
    [[nodiscard]] bool signingIn() const { return m_signingIn; }

    /// Asks claude again whether it is signed in; of several checks under way, the newest decides.
    Q_INVOKABLE void recheckClaudeAuth();
    /// Starts the sign-in of claude itself, unless one runs.
    Q_INVOKABLE void signInToClaude();

signals:
    void modelChanged();
    void searchTextChanged();
    void changed();

private:
    [[nodiscard]] ConnectionsTabRules::FirstRunCard firstRun() const
    {
        return ConnectionsTabRules::firstRunCard(m_facts.claude);
    }
    [[nodiscard]] bool shows(ConnectionsTabRules::Banner banner) const
    {
        return ConnectionsTabRules::visibleBanners(m_facts).contains(banner);
    }
    /// Reads the facts again and tells the views when any changed.
    void update();

    QPointer<AppModel> m_model;
    QString m_searchText;
    ConnectionsTabRules::Facts m_facts;
    bool m_signingIn = false;
};
