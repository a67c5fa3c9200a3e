// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AddFieldState.h"

#include "app/AppModel.h"
#include "app/ConnectionsTabRules.h"

#include <tuple>

AddFieldState::AddFieldState(QObject *parent)
    : QObject(parent)
{
}

void AddFieldState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model) {
        const auto follow = [this](const auto *sender, auto signal) {
            connect(sender, signal, this, &AddFieldState::update);
        };
        AddProjectFlow &adding = model->adding();
        follow(&adding, &AddProjectFlow::showingAddChanged);
        follow(&adding, &AddProjectFlow::addNameChanged);
        follow(&adding, &AddProjectFlow::addErrorChanged);
        follow(&adding, &AddProjectFlow::isAddingChanged);
        follow(&model->projectStore(), &ProjectStore::projectsChanged);
        follow(&model->projectStore(), &LocalStore::persistenceWritableChanged);
        follow(&model->connectionStore(), &LocalStore::persistenceWritableChanged);
        follow(&model->siteDirectory(), &LocalStore::persistenceWritableChanged);
        // A rename changes a listed name without changing the count.
        for (const KeyedListModel *rows :
             {static_cast<const KeyedListModel *>(&model->connectionRows()),
              static_cast<const KeyedListModel *>(&model->unrecognizedRows())}) {
            follow(rows, &KeyedListModel::countChanged);
            follow(rows, &QAbstractItemModel::dataChanged);
        }
    }
    update();
    Q_EMIT modelChanged();
}

bool AddFieldState::toggle()
{
    if (!m_model)
        return false;
    AddProjectFlow &adding = m_model->adding();
    // The button and Ctrl+N are off then; the rule holds for any other caller too.
    if (!adding.showingAdd() && !m_addNewEnabled)
        return false;
    // Closing never stops an add under way; the field only hides.
    adding.setShowingAdd(!adding.showingAdd());
    adding.setAddError(std::nullopt);
    return adding.showingAdd();
}

void AddFieldState::open()
{
    if (!m_model)
        return;
    AddProjectFlow &adding = m_model->adding();
    adding.setShowingAdd(true);
    adding.setAddError(std::nullopt);
}

bool AddFieldState::cancel()
{
    if (!m_model)
        return false;
    AddProjectFlow &adding = m_model->adding();
    if (!adding.showingAdd() || adding.isAdding())
        return false;
    adding.setAddName(QString());
    adding.setAddError(std::nullopt);
    adding.setShowingAdd(false);
    return true;
}

void AddFieldState::collapseIfEmpty()
{
    if (!m_model)
        return;
    AddProjectFlow &adding = m_model->adding();
    // Spaces are a name in progress too.
    if (!adding.showingAdd() || !adding.addName().isEmpty())
        return;
    adding.setShowingAdd(false);
    adding.setAddError(std::nullopt);
}

void AddFieldState::submit()
{
    if (m_model)
        m_model->adding().submit();
}

void AddFieldState::update()
{
    QString reserved;
    QString collision;
    QString message;
    bool isError = false;
    bool canSave = true;
    bool addNew = true;
    bool add = false;
    if (m_model) {
        const AppModel &model = *m_model;
        const AddProjectFlow &adding = m_model->adding();
        const QString &typed = adding.addName();
        reserved = ConnectionsTabRules::reservedNameHint(typed).value_or(QString());
        QStringList others;
        for (const Connection &connection : model.connections())
            others.append(connection.name);
        for (const UnrecognizedServer &server : model.unrecognized())
            others.append(server.name);
        collision = ConnectionsTabRules::nameCollisionHint(m_model->projectStore(), typed, others).value_or(QString());
        // A failure takes the hint's place until something clears it.
        isError = adding.addError().has_value();
        message = isError ? *adding.addError() : reserved;
        canSave = canSaveLocally(*m_model);
        addNew = canSave || adding.showingAdd();
        // Only an empty text disables it: spaces are left to the add's own refusal.
        add = !typed.isEmpty() && !adding.isAdding() && canSave;
    }
    const auto now = std::tie(reserved, collision, message, isError, canSave, addNew, add);
    if (now == std::tie(m_reservedNameHint, m_collisionHint, m_message, m_messageIsError, m_canSaveLocally,
                        m_addNewEnabled, m_addEnabled))
        return;
    std::tie(m_reservedNameHint, m_collisionHint, m_message, m_messageIsError, m_canSaveLocally, m_addNewEnabled,
             m_addEnabled) = now;
    Q_EMIT changed();
}

bool AddFieldState::canSaveLocally(AppModel &model)
{
    return model.projectStore().persistenceWritable() && model.connectionStore().persistenceWritable()
        && model.siteDirectory().persistenceWritable();
}
