// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/StoreFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

#include <cmath>

StoreFile::ReadResult StoreFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a path that leads nowhere counts as missing; a folder or an unreadable file in its
        // place holds something the user may want back, so it must not be taken for an empty store.
        if (!QFileInfo::exists(path))
            return {ReadResult::Outcome::Missing, {}, {}};
        return {ReadResult::Outcome::Failed, {}, file.errorString()};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {ReadResult::Outcome::Failed, {}, file.errorString()};
    return {ReadResult::Outcome::Read, std::move(bytes), {}};
}

std::optional<QString> StoreFile::writeAtomically(const QByteArray &bytes, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

QByteArray StoreFile::encode(const QJsonObject &document)
{
    // QJsonObject keeps its members ordered by key, so the indented text lists them sorted.
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

QString StoreFile::unreadableCopyName(const QString &baseName, const QDateTime &now)
{
    return baseName + QStringLiteral("-unreadable-") + QString::number(now.toSecsSinceEpoch())
        + QStringLiteral(".json");
}

std::optional<StoreFile::Versioned> StoreFile::versioned(const QJsonDocument &document,
                                                         QLatin1StringView key)
{
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue version = object.value(QLatin1StringView("version"));
    const QJsonValue content = object.value(key);
    // A version written as 1.0 is still the integer 1; 1.5, text or a number beyond 64 bits is not.
    if (!version.isDouble() || content.isUndefined())
        return std::nullopt;
    const double number = version.toDouble();
    if (number != std::trunc(number) || std::abs(number) > 9.0e15)
        return std::nullopt;
    return Versioned{static_cast<qint64>(number), content};
}
