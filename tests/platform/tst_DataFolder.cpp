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
    }
};

QTEST_GUILESS_MAIN(tst_DataFolder)
#include "tst_DataFolder.moc"
