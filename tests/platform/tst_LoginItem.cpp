// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/LoginItem.h"
#include "support/StoreTesting.h"
#include "support/TempHome.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

// The login item is the autostart entry, read back from the file so that changes made in the
// desktop's settings count.
class tst_LoginItem : public QObject
{
    Q_OBJECT

private slots:
    void theEntryIsWrittenAndRemoved()
    {
        TempHome home;
        const LoginItem item(LoginItem::applicationId, QStringLiteral("/opt/My \"Apps\"/quorvane"));
        QVERIFY(item.path().startsWith(home.path()));
        QVERIFY(item.path().endsWith(QStringLiteral("/autostart/studio.velliscor.Quorvane.desktop")));
        QVERIFY(!item.isEnabled());
        QCOMPARE(item.setEnabled(true), std::nullopt);
        QVERIFY(item.isEnabled());
        const QByteArray expectedExec = "Exec=\"/opt/My \\\"Apps\\\"/quorvane\"";
        QVERIFY(fileBytes(item.path()).contains(expectedExec));
        QCOMPARE(item.setEnabled(false), std::nullopt);
        QVERIFY(!QFileInfo::exists(item.path()));
        QVERIFY(!item.isEnabled());
        QCOMPARE(item.setEnabled(false), std::nullopt);
    }

    void theDesktopsOwnSwitchCounts_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("plain") << QByteArray("[Desktop Entry]\nType=Application\nExec=q\n") << true;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nType=Application\nExec=q\nHidden=true\n") << false;
        QTest::newRow("switched off in GNOME")
            << QByteArray("[Desktop Entry]\nExec=q\nX-GNOME-Autostart-enabled=false\n") << false;
    }

    void theDesktopsOwnSwitchCounts()
    {
        QFETCH(QByteArray, entry);
        QFETCH(bool, enabled);
        TempHome home;
        const LoginItem item(LoginItem::applicationId, QStringLiteral("/usr/bin/quorvane"));
        putFile(item.path(), entry);
        QCOMPARE(item.isEnabled(), enabled);
    }

    void aFolderThatCannotBeMadeIsSaid()
    {
        TempHome home;
        const QString blocker = home.filePath(QStringLiteral("blocker"));
        putFile(blocker, "a file, not a folder");
        const LoginItem item(LoginItem::applicationId, QStringLiteral("/usr/bin/quorvane"), blocker + QStringLiteral("/autostart"));
        const std::optional<QString> failure = item.setEnabled(true);
        QVERIFY(failure);
        QVERIFY(failure->startsWith(QStringLiteral("Could not create ")));
        QVERIFY(!item.isEnabled());
    }
};

QTEST_MAIN(tst_LoginItem)
#include "tst_LoginItem.moc"
