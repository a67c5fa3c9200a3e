// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QString>

/**
 * @brief The add field's decisions: its two hints, its message line, when its buttons work, and
 * how it opens and closes. The add itself is the model's `AddProjectFlow`; the view keeps only
 * the keyboard focus, which these roads tell it to give or take.
 */
class AddFieldState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    /// The model followed; set once by the view.
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)

    /// "Reserves webflow-… . Enter to add."; empty when the typed name would reserve nothing.
    Q_PROPERTY(QString reservedNameHint READ reservedNameHint NOTIFY changed)
    /// The warning about an existing name the typed one matches or is close to; empty for none.
    Q_PROPERTY(QString collisionHint READ collisionHint NOTIFY changed)
    /// The message line: the last add's failure, else the reserved-name hint; empty for none.
    Q_PROPERTY(QString message READ message NOTIFY changed)
    /// The message line shows a failure.
    Q_PROPERTY(bool messageIsError READ messageIsError NOTIFY changed)
    /// The projects, connections and sites can all be saved.
    Q_PROPERTY(bool canSaveLocally READ canSaveLocally NOTIFY changed)
    /// The Add New button works: it can always close the field, and opens it only while saving works.
    Q_PROPERTY(bool addNewEnabled READ addNewEnabled NOTIFY changed)
    /// The field's Add button works.
    Q_PROPERTY(bool addEnabled READ addEnabled NOTIFY changed)

public:
    /// Whether a new project could be saved: the stores the add writes can all save.
    [[nodiscard]] static bool canSaveLocally(AppModel &model);

    explicit AddFieldState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    [[nodiscard]] const QString &reservedNameHint() const { return m_reservedNameHint; }
    [[nodiscard]] const QString &collisionHint() const { return m_collisionHint; }
    [[nodiscard]] const QString &message() const { return m_message; }
    [[nodiscard]] bool messageIsError() const { return m_messageIsError; }
    [[nodiscard]] bool canSaveLocally() const { return m_canSaveLocally; }
    [[nodiscard]] bool addNewEnabled() const { return m_addNewEnabled; }
    [[nodiscard]] bool addEnabled() const { return m_addEnabled; }

    /// Add New and Cancel: flips the field and clears the last failure, keeping the typed text.
    /// Answers whether the field is now open, so the view gives it focus.
    Q_INVOKABLE bool toggle();
    /// The first-run card's road: opens the field (open stays open) and clears the last failure.
    Q_INVOKABLE void open();
    /// Escape: empties and closes the field, unless an add runs. Answers whether it closed, so the
    /// view takes the focus away.
    Q_INVOKABLE bool cancel();
    /// The field lost focus or the panel its key: an empty field closes; a name in progress stays.
    Q_INVOKABLE void collapseIfEmpty();
    /// Return and the Add button: starts the add, which itself refuses what it cannot do.
    Q_INVOKABLE void submit();

signals:
    void modelChanged();
    void changed();

private:
    void update();

    QPointer<AppModel> m_model;
    QString m_reservedNameHint;
    QString m_collisionHint;
    QString m_message;
    bool m_messageIsError = false;
    bool m_canSaveLocally = true;
    bool m_addNewEnabled = true;
    bool m_addEnabled = false;
};
