// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "account/SessionVault.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>

#include <QCoro/QCoroDBusPendingCall>
#include <QCoro/QCoroSignal>

#include <qt6keychain/keychain.h>

#include <memory>

namespace {

const QString kSecrets = QStringLiteral("org.freedesktop.secrets");
// A hung secret service must not hold the sign-in up for D-Bus's default 25 seconds.
constexpr int kProbeTimeoutMs = 5000;

BackendError failure(int status)
{
    return BackendError::storage(status, SessionVault::failureSentence);
}

template<typename Job>
using JobPointer = std::unique_ptr<Job, void (*)(QKeychain::Job *)>;

template<typename Job>
JobPointer<Job> makeJob(const QString &service, const QString &key)
{
    JobPointer<Job> job(new Job(service), [](QKeychain::Job *j) { j->deleteLater(); });
    job->setAutoDelete(false);
    job->setKey(key);
    return job;
}

QCoro::Task<> run(QKeychain::Job *job)
{
    auto finished = qCoro(job, &QKeychain::Job::finished);
    job->start();
    co_await std::move(finished);
}

} // namespace

SessionVault::SessionVault(QString service, QDBusConnection bus)
    : m_service(std::move(service))
    , m_bus(std::move(bus))
{
}

QCoro::Task<BackendResult<std::optional<QByteArray>>> SessionVault::read(QString key)
{
    const BackendResult<> usable = co_await checkUnlocked();
    if (!usable)
        co_return usable.error();
    const auto job = makeJob<QKeychain::ReadPasswordJob>(m_service, key);
    co_await run(job.get());
    if (job->error() == QKeychain::EntryNotFound)
        co_return std::optional<QByteArray>();
    if (job->error() != QKeychain::NoError)
        co_return failure(job->error());
    co_return std::optional<QByteArray>(job->binaryData());
}

QCoro::Task<BackendResult<>> SessionVault::write(QString key, QByteArray data)
{
    const BackendResult<> usable = co_await checkUnlocked();
    if (!usable)
        co_return usable;
    const auto job = makeJob<QKeychain::WritePasswordJob>(m_service, key);
    job->setBinaryData(data);
    co_await run(job.get());
    if (job->error() != QKeychain::NoError)
        co_return failure(job->error());
    co_return {};
}

QCoro::Task<BackendResult<>> SessionVault::remove(QString key)
{
    const BackendResult<> usable = co_await checkUnlocked();
    if (!usable)
        co_return usable;
    const auto job = makeJob<QKeychain::DeletePasswordJob>(m_service, key);
    co_await run(job.get());
    if (job->error() != QKeychain::NoError && job->error() != QKeychain::EntryNotFound)
        co_return failure(job->error());
    co_return {};
}

QCoro::Task<BackendResult<>> SessionVault::checkUnlocked()
{
    if (!m_bus.isConnected())
        co_return failure(QKeychain::NoBackendAvailable);

    QDBusMessage alias = QDBusMessage::createMethodCall(kSecrets, QStringLiteral("/org/freedesktop/secrets"),
                                                        QStringLiteral("org.freedesktop.Secret.Service"),
                                                        QStringLiteral("ReadAlias"));
    alias << QStringLiteral("default");
    const QDBusMessage aliasReply = co_await m_bus.asyncCall(alias, kProbeTimeoutMs);
    if (aliasReply.type() != QDBusMessage::ReplyMessage || aliasReply.arguments().isEmpty())
        co_return failure(QKeychain::NoBackendAvailable);
    const QString collection = aliasReply.arguments().constFirst().value<QDBusObjectPath>().path();
    // "/" means there is no default collection: writing would ask the user to create one.
    if (collection.isEmpty() || collection == u'/')
        co_return failure(QKeychain::NoBackendAvailable);

    QDBusMessage locked = QDBusMessage::createMethodCall(kSecrets, collection,
                                                         QStringLiteral("org.freedesktop.DBus.Properties"),
                                                         QStringLiteral("Get"));
    locked << QStringLiteral("org.freedesktop.Secret.Collection") << QStringLiteral("Locked");
    const QDBusMessage lockedReply = co_await m_bus.asyncCall(locked, kProbeTimeoutMs);
    if (lockedReply.type() != QDBusMessage::ReplyMessage || lockedReply.arguments().isEmpty())
        co_return failure(QKeychain::NoBackendAvailable);
    const QVariant value = lockedReply.arguments().constFirst().value<QDBusVariant>().variant();
    if (value.typeId() != QMetaType::Bool || value.toBool())
        co_return failure(QKeychain::AccessDenied);
    co_return {};
}
