// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

class tst_SmokeStart : public QObject
{
    Q_OBJECT

private:
    struct Outcome {
        int exitCode = -1;
        QByteArray standardError;
    };

    // Runs the binary with no display at all: smoke mode must not need one.
    static Outcome run(const QString &binary, const QString &smoke)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("QUORVANE_SMOKE"), smoke);
        process.setProcessEnvironment(environment);
        process.start(binary, {});
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardError()};
    }

private slots:
    void smokeWithTheIconExitsZero()
    {
        const Outcome outcome = run(QStringLiteral(QUORVANE_BINARY), QStringLiteral("1"));
        QCOMPARE(outcome.exitCode, 0);
    }

    void smokeWithoutTheIconFailsAndSaysWhy()
    {
        // A copy of the installed layout whose bundle lacks the menu-bar icon.
        TempHome home;
        const QString bin = home.filePath(QStringLiteral("bin"));
        const QString bundle = home.filePath(QStringLiteral("share/quorvane/Quorvane_Quorvane.bundle"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QDir().mkpath(bundle));
        const QString binary = bin + QStringLiteral("/quorvane");
        // A hard link keeps its own path in /proc/self/exe; copy where linking is not possible.
        if (::link(QUORVANE_BINARY, QFile::encodeName(binary).constData()) != 0)
            QVERIFY(QFile::copy(QStringLiteral(QUORVANE_BINARY), binary));

        const Outcome outcome = run(binary, QStringLiteral("1"));
        QVERIFY(outcome.exitCode > 0);
        QVERIFY2(outcome.standardError.contains("menubar-icon.svg not found"), outcome.standardError);
    }
};

QTEST_GUILESS_MAIN(tst_SmokeStart)
#include "tst_SmokeStart.moc"
