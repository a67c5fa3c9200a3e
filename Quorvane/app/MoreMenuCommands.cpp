// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/MoreMenuCommands.h"

#include "app/AppModel.h"
#include "app/PanelState.h"
#include "app/UpdaterController.h"
#include "panel/Desktop.h"
#include "platform/AppInfo.h"

#include <QAbstractItemModel>
#include <algorithm>

using Command = MoreMenuEntries::Command;
using Entry = MoreMenuEntries::Entry;

MoreMenuCommands::MoreMenuCommands(QObject *parent)
    : QObject(parent)
{
}

MoreMenuEntries::Facts MoreMenuCommands::factsOf(AppModel &model)
{
    MoreMenuEntries::Facts facts;
    facts.connectionsNeedAuth = !model.authorizer().connectionsNeedingAuth().isEmpty();
    facts.supportsLogin = model.environment().supportsLogin;
    facts.isBatchRunning = model.authorizer().isBatchRunning();
    facts.isRefreshing = model.isRefreshing();
    facts.launchAtLogin = model.launchAtLogin();
    facts.reportingAvailable = model.errorLog().isReportingAvailable();
    if (model.account().hasProfile())
        facts.profileEmail = model.account().profileEmail();
    facts.session = model.account().sessionKind();
    facts.hasBackend = model.account().client() != nullptr;
    facts.version = appVersion();
    return facts;
}

void MoreMenuCommands::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    follow();
    rebuild();
    emit modelChanged();
}

void MoreMenuCommands::setPanel(PanelState *panel)
{
    if (m_panel == panel)
        return;
    m_panel = panel;
    emit panelChanged();
}

void MoreMenuCommands::setDesktop(Desktop *desktop)
{
    if (m_desktop == desktop)
        return;
    m_desktop = desktop;
    emit desktopChanged();
}

void MoreMenuCommands::follow()
{
    for (const QMetaObject::Connection &connection : std::as_const(m_followed))
        disconnect(connection);
    m_followed.clear();
    if (!m_model)
        return;
    AppModel *model = m_model;
    const auto rebuildOn = [this](auto *sender, auto signal) {
        m_followed.append(connect(sender, signal, this, &MoreMenuCommands::rebuild));
    };
    rebuildOn(model, &AppModel::isRefreshingChanged);
    rebuildOn(model, &AppModel::launchAtLoginChanged);
    rebuildOn(&model->authorizer(), &AuthorizeFlow::isBatchRunningChanged);
    rebuildOn(&model->account(), &AccountModel::profileChanged);
    rebuildOn(&model->account(), &AccountModel::cloudSessionStateChanged);
    // Which connections need authorization changes with the rows' statuses.
    const QAbstractItemModel *rows = &model->connectionRows();
    rebuildOn(rows, &QAbstractItemModel::dataChanged);
    rebuildOn(rows, &QAbstractItemModel::rowsInserted);
    rebuildOn(rows, &QAbstractItemModel::rowsRemoved);
    rebuildOn(rows, &QAbstractItemModel::modelReset);
}

void MoreMenuCommands::rebuild()
{
    QList<Entry> entries = m_model ? MoreMenuEntries::entries(factsOf(*m_model)) : QList<Entry>();
    if (entries == m_entries)
        return;
    m_entries = std::move(entries);
    emit entriesChanged();
}

QVariantList MoreMenuCommands::entriesList() const
{
    QVariantList list;
    list.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        list.append(QVariant::fromValue(entry));
    return list;
}

void MoreMenuCommands::activate(int number)
{
    // The environment has no signal of its own; read the state as it is at the choice.
    rebuild();
    const auto command = Command(number);
    const bool offered = std::any_of(m_entries.cbegin(), m_entries.cend(), [command](const Entry &entry) {
        return entry.command == command && entry.enabled && entry.kind != MoreMenuEntries::Kind::label;
    });
    if (!offered || !m_model)
        return;
    AppModel &model = *m_model;
    switch (command) {
    case Command::connectAll:
        model.connectingPill().dismiss();
        model.connectingPill().setSuppressed(false);
        // Reads the connections that need authorization now, not when the menu opened.
        model.authorizer().connectAll();
        break;
    case Command::refresh:
        // Started and left to run: the panel shows its progress, not this call.
        model.refresh(false);
        break;
    case Command::signOut:
        model.cloud().startSignOut();
        break;
    case Command::signInAgain: {
        const QPointer<AppModel> weak(&model);
        model.cloud().requestSignIn(MoreMenuEntries::signInAgainReason, [weak] {
            if (weak)
                weak->cloud().startCloudBootstrap();
        });
        break;
    }
    case Command::retryAccount:
        model.cloud().startCloudBootstrap();
        break;
    case Command::signIn:
        model.cloud().requestSignIn(MoreMenuEntries::signInReason, [] {});
        break;
    case Command::checkForUpdates:
        if (UpdaterController *updater = model.updater())
            updater->checkForUpdates();
        break;
    case Command::howToUse:
        model.setShowingIntro(true);
        break;
    case Command::reportProblem:
        model.publishing().sendErrorReport();
        break;
    case Command::launchAtLogin:
        model.setLaunchAtLogin();
        break;
    case Command::about:
        if (m_panel)
            m_panel->setShowingAbout(true);
        break;
    case Command::copyDiagnostics:
        clipboard().copyText(model.diagnosticsReport());
        // A failed clipboard write goes unnoticed; the toast shows regardless.
        if (m_panel)
            m_panel->showCopiedToast(MoreMenuEntries::diagnosticsCopiedToast);
        break;
    case Command::copySupportEmail:
        clipboard().copyText(AppModel::supportAddress);
        if (m_panel)
            m_panel->showCopiedToast(MoreMenuEntries::supportEmailCopiedToast);
        break;
    case Command::quit:
        emit quitRequested();
        break;
    case Command::none:
        break;
    }
}
