// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "platform/AppInfo.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QTest>

class tst_AppInfo : public QObject
{
    Q_OBJECT

private slots:
    void version_data()
    {
        QTest::addColumn<QVariantMap>("info");
        QTest::addColumn<QString>("expected");

        QTest::newRow("no information") << QVariantMap{} << "dev";
        QTest::newRow("key missing") << QVariantMap{{"CFBundleVersion", "7"}} << "dev";
        QTest::newRow("number, not text") << QVariantMap{{"CFBundleShortVersionString", 1.5}} << "dev";
        QTest::newRow("plain") << QVariantMap{{"CFBundleShortVersionString", "1.4.0"}} << "1.4.0";
        QTest::newRow("kept exactly") << QVariantMap{{"CFBundleShortVersionString", " 2.0 beta 3 "}}
                                      << " 2.0 beta 3 ";
    }

    void version()
    {
        QFETCH(QVariantMap, info);
        QFETCH(QString, expected);
        QCOMPARE(appVersion(info), expected);
    }

    void buildVersionComesFromCMake()
    {
        QCOMPARE(appVersion(), QStringLiteral(QUORVANE_EXPECTED_VERSION));
    }

    void bundleFoundBesideTheExecutable()
    {
        QVERIFY(resourceBundle().directory().endsWith(QStringLiteral("/Quorvane_Quorvane.bundle")));
        QVERIFY(!resourceBundle().url(QStringLiteral("menubar-icon"), QStringLiteral("svg")).isEmpty());
        QVERIFY(resourceBundle().url(QStringLiteral("no-such-image"), QStringLiteral("svg")).isEmpty());
    }

    void withoutTheBundleLookupsGoToTheResourcesFolder()
    {
        TempHome home;
        const QString resources = home.filePath(QStringLiteral("share/quorvane"));
        QVERIFY(QDir().mkpath(resources));
        QFile image(resources + QStringLiteral("/menubar-icon.svg"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.close();

        const ResourceBundle bundle = resourceBundle(resources);
        QCOMPARE(bundle.directory(), resources);
        QCOMPARE(bundle.url(QStringLiteral("menubar-icon"), QStringLiteral("svg")),
                 QUrl::fromLocalFile(resources + QStringLiteral("/menubar-icon.svg")));
    }
};

QTEST_GUILESS_MAIN(tst_AppInfo)
#include "tst_AppInfo.moc"
