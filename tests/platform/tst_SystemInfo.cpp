// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/SystemInfo.h"

#include <QTest>

// The operating-system line of support texts: the distribution's own name and the kernel.
class tst_SystemInfo : public QObject
{
    Q_OBJECT

private slots:
    void theLineNamesTheDistributionAndKernel_data()
    {
        QTest::addColumn<QByteArray>("osRelease");
        QTest::addColumn<QString>("kernel");
        QTest::addColumn<QString>("line");
        QTest::newRow("debian") << QByteArray("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n")
                                << "6.1.0-18-amd64" << "Debian GNU/Linux 12 (bookworm), kernel 6.1.0-18-amd64";
        QTest::newRow("unquoted") << QByteArray("PRETTY_NAME=Arch\n") << "6.9.1" << "Arch, kernel 6.9.1";
        QTest::newRow("single quotes") << QByteArray("PRETTY_NAME='Fedora Linux 40'\n") << "6.8" << "Fedora Linux 40, kernel 6.8";
        QTest::newRow("escaped quote") << QByteArray("PRETTY_NAME=\"My \\\"Own\\\" OS\"\n") << "1" << "My \"Own\" OS, kernel 1";
        QTest::newRow("no pretty name") << QByteArray("ID=debian\n") << "6.1" << "Linux, kernel 6.1";
        QTest::newRow("no kernel") << QByteArray("PRETTY_NAME=\"Debian\"\n") << "" << "Debian";
    }

    void theLineNamesTheDistributionAndKernel()
    {
        QFETCH(QByteArray, osRelease);
        QFETCH(QString, kernel);
        QFETCH(QString, line);
        QCOMPARE(SystemInfo::operatingSystem(osRelease, kernel), line);
    }

    void theMachineDescribesItself()
    {
        const QString line = SystemInfo::operatingSystem();
        QVERIFY(line.contains(QStringLiteral(", kernel ")));
    }
};

QTEST_MAIN(tst_SystemInfo)
#include "tst_SystemInfo.moc"
