// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "OverlayFixture.h"

#include "kit/IconLoader.h"
#include "kit/KitServices.h"
#include "panel/PanelServices.h"
#include "platform/AppInfo.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonObject>
#include <QQmlEngine>

namespace {

IconLoader &bundleIcons()
{
    // One loader for every engine of the test process; it outlives them all.
    static IconLoader icons(resourceBundle().directory());
    return icons;
}

std::optional<PageStatusPhase> phaseNamed(const QString &name)
{
    const QList<std::pair<QString, PageStatusPhase>> names = {
        {"authorizing", PageStatusPhase::Authorizing}, {"observing", PageStatusPhase::Observing},
        {"active", PageStatusPhase::Active},           {"paused", PageStatusPhase::Paused},
        {"disabling", PageStatusPhase::Disabling},     {"attention", PageStatusPhase::Attention}};
    for (const auto &[text, phase] : names)
        if (text == name)
            return phase;
    return std::nullopt;
}

} // namespace

OverlayFixture::OverlayFixture(QObject *parent)
    : QObject(parent)
    , m_fake(std::make_unique<FakeBackend>())
    , m_stores(std::make_unique<StoreFixture>())
{
    const QJsonObject row{{"id", m_fake->userId.toString(QUuid::WithoutBraces)}, {"email", m_fake->userEmail},
                          {"marketing_opt_in", false}};
    m_fake->setUserTable(QStringLiteral("profiles"), [row](const QUuid &) { return QJsonArray{row}; });
}

OverlayFixture::~OverlayFixture()
{
    // The queues, accounts, stores and directory go before the sessions, logs and folders they use.
    const QObjectList owned = children();
    qDeleteAll(owned);
}

void OverlayFixture::serve(QQmlEngine &engine)
{
    new KitServices(engine, bundleIcons());
    new PanelServices(engine, m_clock);
}

void OverlayFixture::clearEvents()
{
    m_events.clear();
    emit eventsChanged();
}

void OverlayFixture::note(const QString &event)
{
    m_events.append(event);
    emit eventsChanged();
}

QVariant OverlayFixture::activitySheet(const QString &title, int outcome, const QString &log) const
{
    ActivitySheet sheet;
    sheet.id = QUuid::createUuid();
    sheet.kind = ActivitySheet::Kind::authorizing;
    sheet.title = title;
    sheet.subject = QStringLiteral("webflow-acme");
    sheet.startedAt = m_clock.now();
    sheet.note = QStringLiteral("Approve the connection in your browser.");
    sheet.log = log;
    sheet.outcome = ActivitySheet::Outcome(outcome);
    return QVariant::fromValue(sheet);
}

ConfirmQueue *OverlayFixture::newConfirmQueue()
{
    auto *queue = new ConfirmQueue(this);
    connect(queue, &ConfirmQueue::confirmChanged, this, [this, queue] {
        const auto shown = queue->current();
        note(QStringLiteral("shown ") + (shown ? shown->title : QStringLiteral("none")));
    });
    return queue;
}

void OverlayFixture::present(ConfirmQueue *queue, const QVariantMap &fields)
{
    ConfirmRequest request;
    request.title = fields.value("title").toString();
    request.message = fields.value("message").toString();
    request.confirmLabel = fields.value("confirmLabel", QStringLiteral("OK")).toString();
    request.cancelLabel = fields.value("cancelLabel", QStringLiteral("Cancel")).toString();
    request.isNotice = fields.value("isNotice").toBool();
    request.isDestructive = fields.value("isDestructive").toBool();
    if (fields.contains("icon"))
        request.icon = fields.value("icon").toString();
    const QVariantMap then = fields.value("then").toMap();
    request.action = [this, queue, title = request.title, then] {
        note(QStringLiteral("action ") + title);
        if (!then.isEmpty())
            present(queue, then);
    };
    queue->present(std::move(request));
}

AccountModel *OverlayFixture::newAccount(bool profile)
{
    const QJsonObject row{{"id", m_fake->userId.toString(QUuid::WithoutBraces)}, {"email", m_fake->userEmail},
                          {"marketing_opt_in", false}};
    m_fake->setUserTable(QStringLiteral("profiles"), [row, profile](const QUuid &) {
        return profile ? QJsonArray{row} : QJsonArray{};
    });
    AccountModel::Environment environment;
    // Each account keeps its own session and cache, as if on a computer of its own.
    m_storages.push_back(std::make_unique<MemorySessionStorage>());
    environment.storageFolder = m_stores->folder() + QStringLiteral("/account-%1").arg(m_storages.size());
    environment.clock = &m_clock;
    environment.errorLog = &m_log;
    environment.sessionStorage = m_storages.back().get();
    environment.pause = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    environment.networkUp = [] { return true; };
    return new AccountModel(BackendConfiguration{m_fake->url(), FakeBackend::publishableKey}, std::move(environment), this);
}

void OverlayFixture::sendCode(AccountModel *account)
{
    QCoro::connect(account->sendCode(m_fake->userEmail, true), this, [] {});
}

void OverlayFixture::verifyCode(AccountModel *account, const QString &code)
{
    QCoro::connect(account->verifyCode(code), this, [] {});
}

QString OverlayFixture::userEmail() const
{
    return m_fake->userEmail;
}

PageStatusStore *OverlayFixture::newPageStatus(const QVariantList &rows, bool isChecking, bool hasLoadedOnce)
{
    QList<PageStatusSiteState> states;
    for (const QVariant &value : rows) {
        const QVariantMap row = value.toMap();
        PageStatusSiteState state;
        state.siteId = row.value("siteId").toString();
        state.phase = phaseNamed(row.value("phase").toString()).value_or(PageStatusPhase::Observing);
        state.desiredEnabled = row.value("desired", true).toBool();
        state.queuedCount = row.value("queued").toLongLong();
        state.stagedCount = row.value("staged").toLongLong();
        if (row.contains("minutesAgo"))
            state.lastReconciledAt = m_clock.now().addSecs(-60 * row.value("minutesAgo").toLongLong());
        if (row.contains("code"))
            state.attentionCode = row.value("code").toString();
        states.append(state);
    }
    return new PageStatusStore(states, isChecking, hasLoadedOnce, true, this);
}

SiteDirectory *OverlayFixture::siteDirectory()
{
    // A parent keeps it out of the JavaScript engine's hands.
    if (!m_directory)
        m_directory = new SiteDirectory(m_stores->folder(), m_stores->environment(), this);
    return m_directory;
}
