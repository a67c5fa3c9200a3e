// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AddProjectFlow.h"

#include "app/AppModel.h"
#include "app/ServerRegistration.h"
#include "foundation/DisplayText.h"

#include <QPointer>

#include <algorithm>

namespace {

// Project titles can come from a site name that the scope check reported, so messages show them
// cleaned, like server names.
constexpr qsizetype kShownTitleLength = 120;

} // namespace

AddProjectFlow::AddProjectFlow(AppModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void AddProjectFlow::setShowingAdd(bool showing)
{
    if (m_showingAdd == showing)
        return;
    m_showingAdd = showing;
    Q_EMIT showingAddChanged();
}

void AddProjectFlow::setAddName(const QString &name)
{
    if (m_addName == name)
        return;
    m_addName = name;
    Q_EMIT addNameChanged();
}

void AddProjectFlow::setAddError(const std::optional<QString> &error)
{
    if (m_addError == error)
        return;
    m_addError = error;
    Q_EMIT addErrorChanged();
}

void AddProjectFlow::setIsAdding(bool adding)
{
    if (m_isAdding == adding)
        return;
    m_isAdding = adding;
    Q_EMIT isAddingChanged();
}

void AddProjectFlow::openAddField()
{
    setShowingAdd(true);
    setAddError(std::nullopt);
}

void AddProjectFlow::submit()
{
    // Runs on by itself; its outcome shows through the properties and the project list.
    (void)addProject();
}

std::optional<QString> AddProjectFlow::refusal(const QString &name) const
{
    const ProjectStore &projects = m_model.projectStore();
    if (!projects.persistenceWritable() || !m_model.connectionStore().persistenceWritable()
        || !m_model.siteDirectory().persistenceWritable()) {
        return projects.persistenceIssue().isEmpty()
            ? QStringLiteral("Projects are read-only until local persistence is available.")
            : projects.persistenceIssue();
    }
    if (name.isEmpty())
        return QStringLiteral("Name is required.");
    if (const std::optional<Project> holder = projects.projectForMCPName(name)) {
        return sanitizedForDisplay(holder->title, kShownTitleLength) + QStringLiteral(" already reserves ") + name
            + u'.';
    }
    return std::nullopt;
}

QCoro::Task<> AddProjectFlow::addProject()
{
    // Everything up to the registration runs without an await, so of two calls made together the
    // second finds the first's project or its flag.
    if (m_isAdding)
        co_return;
    const QString title = m_addName.trimmed();
    const QString name = normalizedMCPName(title);
    if (const std::optional<QString> refused = refusal(name)) {
        setAddError(refused);
        co_return;
    }
    ProjectStore &projects = m_model.projectStore();
    const std::variant<Project, LocalStore::SaveFailure> created = projects.createProject(title);
    if (const auto *failure = std::get_if<LocalStore::SaveFailure>(&created)) {
        if (!projects.persistenceIssue().isEmpty())
            setAddError(projects.persistenceIssue());
        else if (failure->kind == LocalStore::SaveFailure::Kind::invalid)
            setAddError(QStringLiteral("That name can't be used."));
        else
            setAddError(QStringLiteral("The project could not be saved."));
        co_return;
    }

    // Claude's lists as of the last refresh decide: a name it already holds is not registered again.
    const auto named = [&name](const auto &entry) { return entry.name == name; };
    const bool listed = std::any_of(m_model.connections().cbegin(), m_model.connections().cend(), named)
        || std::any_of(m_model.unrecognized().cbegin(), m_model.unrecognized().cend(), named);
    QPointer<AddProjectFlow> alive(this);
    if (!listed) {
        // Built before the await: GCC 12 destroys a lambda made inside a co_await expression twice.
        std::function<void(bool)> marking = [this](bool running) { setIsAdding(running); };
        const QString failurePrefix = QStringLiteral("Not registered yet: ");
        (void)co_await registerAndRecord(m_model, name, failurePrefix, std::move(marking));
        if (!alive)
            co_return;
    }
    setAddName(QString());
    setAddError(std::nullopt);
    co_await m_model.refresh(true);
}
