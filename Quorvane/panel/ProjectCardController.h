// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/LocalStore.h"
#include "panel/CardMenu.h"
#include "panel/McpPill.h"
#include "panel/ProjectBinding.h"
#include "panel/SchedulePill.h"

#include <QTimer>
#include <QVariantList>

#include <optional>

/**
 * @brief The project card's decisions and actions: its pills, issue row, settings menu, inline
 * rename and copy confirmation, over one project.
 *
 * Everything the card raises goes through the model's actions; the closures of its confirmations
 * stay here and capture the card's values at the moment they are raised.
 */
class ProjectCardController : public ProjectBinding
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(McpPill mcpPill READ mcpPill NOTIFY changed)
    Q_PROPERTY(SchedulePill schedulePill READ schedulePill NOTIFY changed)
    /// The model works on the project's server.
    Q_PROPERTY(bool busy READ busy NOTIFY changed)
    Q_PROPERTY(QString issue READ issue NOTIFY changed)
    Q_PROPERTY(bool hasIssue READ hasIssue NOTIFY changed)
    /// The issue comes with a recovery, so its row can be pressed.
    Q_PROPERTY(bool canRecover READ canRecover NOTIFY changed)
    Q_PROPERTY(QString issueHint READ issueHint NOTIFY changed)
    /// The settings menu: maps of title, enabled, divider and action, in order.
    Q_PROPERTY(QVariantList menu READ menu NOTIFY changed)
    /// The copy confirmation shows.
    Q_PROPERTY(bool copied READ copied NOTIFY copiedChanged)
    /// How long the copy confirmation shows, in milliseconds.
    Q_PROPERTY(int copyResetInterval READ copyResetInterval WRITE setCopyResetInterval NOTIFY copiedChanged)
    Q_PROPERTY(EditTarget editing READ editing NOTIFY editingChanged)
    /// The rename field's starting text.
    Q_PROPERTY(QString draft READ draft NOTIFY editingChanged)

public:
    /// Which name the inline rename field edits.
    enum class EditTarget { None, Title, McpName };
    Q_ENUM(EditTarget)

    explicit ProjectCardController(QObject *parent = nullptr);

    [[nodiscard]] McpPill mcpPill() const { return McpPill::of(pillInput()); }
    [[nodiscard]] SchedulePill schedulePill() const;
    [[nodiscard]] bool busy() const;
    [[nodiscard]] QString issue() const;
    [[nodiscard]] bool hasIssue() const { return project() && project()->issue; }
    [[nodiscard]] bool canRecover() const { return hasIssue() && project()->issueRecovery; }
    [[nodiscard]] QString issueHint() const;
    [[nodiscard]] QVariantList menu() const;
    [[nodiscard]] bool copied() const { return m_copied; }
    [[nodiscard]] int copyResetInterval() const { return m_copyReset.interval(); }
    void setCopyResetInterval(int milliseconds);
    [[nodiscard]] EditTarget editing() const { return m_editing; }
    [[nodiscard]] QString draft() const { return m_draft; }

    /// The status pill's press: copy the live server's sentence, or connect.
    Q_INVOKABLE void pressStatusPill();
    /// The schedule pill's press: the publishing alert when access is missing, else the schedule.
    Q_INVOKABLE void pressSchedulePill();
    /// The issue row's press: the project's suggested recovery.
    Q_INVOKABLE void pressIssue();
    /// A menu entry's choice (a CardMenu::Action).
    Q_INVOKABLE void choose(int action);
    /// Return in the rename field.
    Q_INVOKABLE void commitEdit(const QString &text);
    /// Escape in the rename field.
    Q_INVOKABLE void cancelEdit();

    /// What to log and tell when a title change was not saved; none when it was, or when the
    /// store already reports why (a read-only store and a failed write carry its sentence).
    struct TitleChangeReport
    {
        QString logMessage;
        ConfirmRequest notice;
    };
    [[nodiscard]] static std::optional<TitleChangeReport> titleChangeReport(const LocalStore::SaveResult &result,
                                                                           const QString &title);

signals:
    void copiedChanged();
    void editingChanged();
    /// The schedule pill asks the panel to schedule the project.
    void scheduleRequested(const QString &projectId);

private:
    [[nodiscard]] McpPill::Input pillInput() const;
    [[nodiscard]] std::optional<QString> upcomingTimeText() const;
    [[nodiscard]] CardMenu::Input menuInput() const;
    [[nodiscard]] bool localStoresWritable() const;
    [[nodiscard]] bool hasOAuthRecovery() const;
    [[nodiscard]] bool revocationPending() const;
    [[nodiscard]] bool publishingConnected() const;
    void copy();
    void connectPublishing();
    void raisePublishingAlert();
    void startEdit(EditTarget target, const QString &draft);

    bool m_copied = false;
    QTimer m_copyReset;
    EditTarget m_editing = EditTarget::None;
    QString m_draft;
};
