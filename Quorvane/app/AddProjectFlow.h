// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

#include <optional>

class AppModel;

/**
 * @brief The panel's add field: turns the typed name into a saved project with its own server
 * name, registers that server in Claude's user scope and records it, then refreshes so the new
 * connection shows on the project's card.
 */
class AddProjectFlow final : public QObject
{
    Q_OBJECT
    /// The add field is shown; only the panel changes it.
    Q_PROPERTY(bool showingAdd READ showingAdd WRITE setShowingAdd NOTIFY showingAddChanged)
    /// The text of the add field.
    Q_PROPERTY(QString addName READ addName WRITE setAddName NOTIFY addNameChanged)
    /// Why the last add was refused; empty when it was not.
    Q_PROPERTY(QString addError READ addErrorText NOTIFY addErrorChanged)
    /// The registration of an add is running; a new add meanwhile does nothing.
    Q_PROPERTY(bool isAdding READ isAdding NOTIFY isAddingChanged)

public:
    explicit AddProjectFlow(AppModel &model, QObject *parent = nullptr);

    [[nodiscard]] bool showingAdd() const { return m_showingAdd; }
    void setShowingAdd(bool showing);
    [[nodiscard]] const QString &addName() const { return m_addName; }
    void setAddName(const QString &name);
    [[nodiscard]] const std::optional<QString> &addError() const { return m_addError; }
    [[nodiscard]] bool isAdding() const { return m_isAdding; }
    /// Also where a rename that could not be recorded says so.
    void setAddError(const std::optional<QString> &error);

    /**
     * Creates a project from `addName` and registers its server unless Claude already lists that
     * name. A refusal only sets `addError`; once a project exists the field is emptied and the
     * flow ends with a forced refresh, whatever the registration did.
     */
    QCoro::Task<> addProject();
    /// The add field's Enter and its add button.
    Q_INVOKABLE void submit();
    /// Opens the add field clean, without the last add's refusal.
    Q_INVOKABLE void openAddField();

signals:
    void showingAddChanged();
    void addNameChanged();
    void addErrorChanged();
    void isAddingChanged();

private:
    [[nodiscard]] QString addErrorText() const { return m_addError.value_or(QString()); }
    void setIsAdding(bool adding);
    /// Why the typed name cannot become a project now; nothing when it can. Runs before any await.
    [[nodiscard]] std::optional<QString> refusal(const QString &name) const;

    AppModel &m_model;
    bool m_showingAdd = false;
    QString m_addName;
    std::optional<QString> m_addError;
    bool m_isAdding = false;
};
