// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
//
// The child that tst_StoreCrashSafety kills: it loads the site directory in the folder given as its
// argument and then saves it without pause, every site marked for publishing and every mark
// cleared in turn, announcing on standard output each write of the file just before it starts.
#include "model/SiteDirectory.h"
#include "support/ManualClock.h"
#include "support/MemorySystemLog.h"

#include "model/ErrorLog.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    QFile out;
    if (!out.open(1, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 4;
    ManualClock clock; // the same fixed time as the test, so the marked content is known
    MemorySystemLog systemLog;
    ErrorLog log(systemLog);
    SiteDirectory directory(app.arguments().at(1),
                            {clock, log.recorder(), [&out](const QByteArray &bytes, const QString &path) {
                                 // Once the test has gone, a write to the closed pipe ends us.
                                 out.write("writing\n");
                                 return StoreFile::writeAtomically(bytes, path);
                             }});
    if (!directory.persistenceWritable())
        return 3;
    QSet<QString> all;
    for (const SiteRecord &site : directory.sites())
        all.insert(site.id);

    // Bounded, so that a child the test failed to kill never runs for long.
    for (int save = 0; save < 10000; ++save) {
        directory.syncPublishingConnected(save % 2 == 0 ? all : QSet<QString>(), true);
        if (!directory.persistenceWritable())
            return 6;
    }
    return 0;
}
