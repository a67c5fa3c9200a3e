// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/StoreTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void putFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

AtomicWriter TestWriter::writer()
{
    return [this](const QByteArray &bytes, const QString &path) -> std::optional<QString> {
        ++writes;
        if (failure)
            return failure;
        return StoreFile::writeAtomically(bytes, path);
    };
}

LocalStore::Environment StoreFixture::environment()
{
    return {clock, log.recorder(), writer.writer()};
}

QStringList StoreFixture::logged(const QString &area) const
{
    QStringList messages;
    for (const ErrorEvent &event : log.events()) {
        if (event.area == area)
            messages.append(event.message);
    }
    return messages;
}
