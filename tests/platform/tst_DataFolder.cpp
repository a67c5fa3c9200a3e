// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/DataFolder.h"
#include "support/TempHome.h"

#include <QTest>

class tst_DataFolder : public QObject
{
    Q_OBJECT

private slots:
    void isTessavineInTheUserDataFolder()
    {
        TempHome home;
        QCOMPARE(DataFolder::path(), home.appDataDir());
        QCOMPARE(DataFolder::displayPath(DataFolder::path()), QStringLiteral("~/.local/share/Tessavine"));
    }

    void displayPath_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::newRow("inside the home") << "data/Tessavine" << "~/data/Tessavine";
        QTest::newRow("the home itself") << "" << "~";
        QTest::newRow("a trailing slash") << "data/" << "~/data";
    }

    void displayPath()
    {
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        TempHome home;
        QCOMPARE(DataFolder::displayPath(home.path() + u'/' + relative), expected);
    }

    void aPathOutsideTheHomeIsShownWhole()
    {
        TempHome home;
        // A sibling that merely starts with the home's name is not inside it.
        QCOMPARE(DataFolder::displayPath(home.path() + QStringLiteral("-other/x")), home.path() + QStringLiteral("-other/x"));
        QCOMPARE(DataFolder::displayPath(QStringLiteral("/var/lib/x")), QStringLiteral("/var/lib/x"));
    }
};

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_DataFolder.moc"
