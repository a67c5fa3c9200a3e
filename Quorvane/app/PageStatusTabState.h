// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"
#include "app/FilteredProjectsModel.h"
#include "app/PanelState.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

/**
 * @brief The Page Status tab's decisions: what its column shows, the no-match line, the refresh
 * button's label, the empty state, and the stored choice for new projects.
 */
namespace PageStatusTabRules {

/// What the column shows under the add card.
enum class Content { loading, loadError, rows };

[[nodiscard]] Content content(bool isLoading, bool hasLoadError);
/// The no-match line shows only for a search that finds none of the projects there are.
[[nodiscard]] bool showsNoMatches(bool isSearching, bool filteredEmpty, bool projectsEmpty);
[[nodiscard]] QString refreshLabel(bool isChecking);

} // namespace PageStatusTabRules

/**
 * @brief One showing of the Page Status tab over the model and the panel: its rows (the panel's
 * search over the projects, in its order), the column's content, the footer's refresh button, and
 * the choice that turns Page Status on for new projects.
 */
class PageStatusTabState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY attached)
    Q_PROPERTY(PanelState *panel READ panel WRITE setPanel NOTIFY attached)
    /// The rows, one per project the search keeps.
    Q_PROPERTY(FilteredProjectsModel *rows READ rows CONSTANT)
    /// "loading", "loadError" or "rows".
    Q_PROPERTY(QString content READ contentName NOTIFY changed)
    Q_PROPERTY(bool showsNoMatches READ showsNoMatches NOTIFY changed)
    /// The no-match line's text for the current search.
    Q_PROPERTY(QString noMatchesText READ noMatchesText NOTIFY changed)
    /// The first-run condition: the top bar's card and the tab's empty state.
    Q_PROPERTY(bool showsFirstRunCard READ showsFirstRunCard NOTIFY changed)
    Q_PROPERTY(QString refreshLabel READ refreshLabel NOTIFY changed)
    Q_PROPERTY(bool refreshEnabled READ refreshEnabled NOTIFY changed)
    /// The feed's failure and notice lines under the rows; empty when none.
    Q_PROPERTY(QString lastError READ lastError NOTIFY changed)
    Q_PROPERTY(QString lastNotice READ lastNotice NOTIFY changed)
    /// Whether new projects start with Page Status on; stored at once, shared with every reader.
    Q_PROPERTY(bool enableNewProjectsByDefault READ enableNewProjectsByDefault WRITE setEnableNewProjectsByDefault
                   NOTIFY enableNewProjectsByDefaultChanged)

public:
    /// The user default behind `enableNewProjectsByDefault`.
    static inline const QString enableNewProjectsByDefaultKey = QStringLiteral("pageStatusEnableNewProjectsByDefault");

    explicit PageStatusTabState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] PanelState *panel() const { return m_panel; }
    void setPanel(PanelState *panel);
    [[nodiscard]] FilteredProjectsModel *rows() { return &m_rows; }

    [[nodiscard]] PageStatusTabRules::Content content() const;
    [[nodiscard]] QString contentName() const;
    [[nodiscard]] bool showsNoMatches() const;
    [[nodiscard]] QString noMatchesText() const;
    [[nodiscard]] bool showsFirstRunCard() const;
    [[nodiscard]] QString refreshLabel() const;
    [[nodiscard]] bool refreshEnabled() const;
    [[nodiscard]] QString lastError() const;
    [[nodiscard]] QString lastNotice() const;
    [[nodiscard]] bool enableNewProjectsByDefault() const;
    void setEnableNewProjectsByDefault(bool on);

    /// The footer's Refresh: the store's feed, which fetches nothing in this design.
    Q_INVOKABLE void refreshPageStatus();
    /// "What is Page Status?"
    Q_INVOKABLE void showInfo();
    /// The explanation page's back control.
    Q_INVOKABLE void hideInfo();

signals:
    void attached();
    void changed();
    void enableNewProjectsByDefaultChanged();

private:
    void attach();
    void updateRows();

    QPointer<AppModel> m_model;
    QPointer<PanelState> m_panel;
    FilteredProjectsModel m_rows;
};
