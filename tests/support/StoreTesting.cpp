// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/StoreTesting.h"

#include "model/ErrorLog.h"

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

QStringList loggedSince(const QString &area, qsizetype from)
{
    QStringList messages;
    for (const ErrorEvent &event : ErrorLog::shared().events().mid(from)) {
        if (event.area == area)
            messages.append(event.message);
    }
    return messages;
}

qsizetype loggedCount()
{
    return ErrorLog::shared().events().size();
}

QDateTime distinctStart()
{
    static int day = 0;
    return QDateTime(QDate(2026, 1, 1).addDays(++day), QTime(12, 0), Qt::UTC);
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
