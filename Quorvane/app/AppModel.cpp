// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"

#include "kit/KitServices.h"
#include "platform/AppInfo.h"

namespace {

SystemLog &chosenLog(SystemLog *given, std::unique_ptr<SystemLog> &journal)
{
    if (given)
        return *given;
    journal = std::make_unique<JournalLog>();
    return *journal;
}

} // namespace

AppModel::AppModel(Environment environment, QObject *parent)
    : QObject(parent)
    , m_errorLog(chosenLog(environment.systemLog, m_journal))
    , m_driver(std::move(environment.driver))
    , m_icons(environment.iconFolder.isEmpty() ? resourceBundle().directory() : environment.iconFolder)
    , m_connectingPill(environment.pillDelay ? std::move(environment.pillDelay) : ContinuousClock::delay())
{
}

AppModel::AppModel()
    : AppModel(Environment{})
{
}

AppModel::~AppModel() = default;

void AppModel::attach(QQmlEngine &engine)
{
    new KitServices(engine, m_icons);
}
