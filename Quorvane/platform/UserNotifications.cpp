// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/UserNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QPointer>

#include <QCoro/QCoroDBusPendingCall>

using namespace Qt::StringLiterals;

namespace {

// A hung notification server must not keep a post open for D-Bus's default 25 seconds.
constexpr int kCallTimeoutMs = 10000;
// The action key a server sends for a plain click on the notification itself.
const QString kDefaultAction = u"default"_s;

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(UserNotifications::serviceName, UserNotifications::objectPath,
                                          UserNotifications::serviceName, method);
}

QString describe(const QDBusMessage &reply)
{
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return u"the notification server gave an unexpected answer"_s;
}

UserNotifications::Settings settingsFrom(const std::optional<QStringList> &capabilities)
{
    using Settings = UserNotifications::Settings;
    if (!capabilities)
        return {Settings::Authorization::Denied, Settings::Alert::NotSupported};
    return {Settings::Authorization::Authorized, Settings::Alert::Enabled};
}

} // namespace

UserNotifications::UserNotifications(QDBusConnection bus, QObject *parent)
    : UserNotifications(std::move(bus), Sender{}, parent)
{
}

UserNotifications::UserNotifications(QDBusConnection bus, Sender sender, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
    , m_sender(std::move(sender))
    , m_watcher(new QDBusServiceWatcher(serviceName, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    // Naming the service makes the bus hand over only what its current owner emits.
    m_bus.connect(serviceName, objectPath, serviceName, u"ActionInvoked"_s, this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(serviceName, objectPath, serviceName, u"NotificationClosed"_s, this,
                  SLOT(onNotificationClosed(uint, uint)));
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &UserNotifications::onServerChanged);
}

UserNotifications::~UserNotifications()
{
    m_bus.disconnect(serviceName, objectPath, serviceName, u"ActionInvoked"_s, this,
                     SLOT(onActionInvoked(uint, QString)));
    m_bus.disconnect(serviceName, objectPath, serviceName, u"NotificationClosed"_s, this,
                     SLOT(onNotificationClosed(uint, uint)));
}

QString UserNotifications::bodyFor(const QString &body, const QStringList &capabilities)
{
    if (!capabilities.contains(u"body-markup"_s))
        return body;
    QString escaped = body;
    // The ampersand first, or the entities written for the others would be escaped again.
    escaped.replace(u'&', u"&amp;"_s);
    escaped.replace(u'<', u"&lt;"_s);
    escaped.replace(u'>', u"&gt;"_s);
    return escaped;
}

QCoro::Task<std::optional<QStringList>> UserNotifications::capabilities()
{
    const QDBusMessage reply = co_await m_bus.asyncCall(call(u"GetCapabilities"_s), kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()
        || reply.arguments().constFirst().typeId() != QMetaType::QStringList)
        co_return std::nullopt;
    co_return reply.arguments().constFirst().toStringList();
}

QCoro::Task<UserNotifications::Settings> UserNotifications::settings()
{
    co_return settingsFrom(co_await capabilities());
}

QCoro::Task<UserNotifications::Posted> UserNotifications::post(Content content)
{
    // The owner may go while the bus answers; every step after a wait checks it first.
    const QPointer<UserNotifications> self(this);
    const std::optional<QStringList> capabilities = co_await this->capabilities();
    const Settings settings = settingsFrom(capabilities);
    if (!self)
        co_return Posted{settings, u"the notification service was shut down"_s};

    QVariantMap hints;
    if (content.sound)
        hints.insert(u"sound-name"_s, defaultSoundName);
    else
        hints.insert(u"suppress-sound"_s, true);
    if (!m_sender.desktopEntry.isEmpty())
        hints.insert(u"desktop-entry"_s, m_sender.desktopEntry);

    QDBusMessage notify = call(u"Notify"_s);
    notify << m_sender.appName << m_numbers.value(content.identifier, 0u) << m_sender.appIcon << content.title
           << bodyFor(content.body, capabilities.value_or(QStringList()))
           << QStringList{kDefaultAction, u"Open"_s} << hints << qint32(-1);
    const QDBusMessage reply = co_await m_bus.asyncCall(notify, kCallTimeoutMs);
    if (!self)
        co_return Posted{settings, u"the notification service was shut down"_s};
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()
        || reply.arguments().constFirst().typeId() != QMetaType::UInt)
        co_return Posted{settings, describe(reply)};
    remember(reply.arguments().constFirst().toUInt(), content.identifier, content.userInfo);
    co_return Posted{settings, std::nullopt};
}

void UserNotifications::remember(uint id, const QString &identifier, const QVariantMap &userInfo)
{
    // A server may hand back a new number for a replaced notification: the old one is gone.
    if (const auto earlier = m_numbers.constFind(identifier); earlier != m_numbers.cend() && *earlier != id)
        m_shown.remove(*earlier);
    if (const auto other = m_shown.constFind(id); other != m_shown.cend() && other->identifier != identifier)
        m_numbers.remove(other->identifier);
    m_shown.insert(id, {identifier, userInfo});
    m_numbers.insert(identifier, id);
}

void UserNotifications::onActionInvoked(uint id, const QString &actionKey)
{
    if (actionKey != kDefaultAction)
        return;
    const auto shown = m_shown.constFind(id);
    if (shown == m_shown.cend())
        return; // another application's notification, or one that has closed
    emit activated(shown->userInfo);
}

void UserNotifications::onNotificationClosed(uint id, uint)
{
    const auto shown = m_shown.constFind(id);
    if (shown == m_shown.cend())
        return;
    m_numbers.remove(shown->identifier);
    m_shown.erase(shown);
}

void UserNotifications::onServerChanged()
{
    // A new server numbers from scratch: an old number may soon name another application's
    // notification, whose tap must not open ours.
    m_shown.clear();
    m_numbers.clear();
}
