// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "onboarding/AboutContent.h"

#include <QTest>

// What the About dialog names: its version line from the build's keys and its links' labels.
class tst_AboutContent : public QObject
{
    Q_OBJECT

private slots:
    void versionLine_data()
    {
        QTest::addColumn<QVariantMap>("keys");
        QTest::addColumn<QString>("line");
        QTest::newRow("a release") << QVariantMap{{"CFBundleShortVersionString", "1.2.3"}, {"CFBundleVersion", "77"}}
                                   << "Version 1.2.3";
        QTest::newRow("a pre-release, as written") << QVariantMap{{"CFBundleShortVersionString", "0.4.0-beta.2"}}
                                                   << "Version 0.4.0-beta.2";
        QTest::newRow("no short version, only a build number") << QVariantMap{{"CFBundleVersion", "77"}}
                                                               << "Version dev";
        QTest::newRow("a number is not a version text") << QVariantMap{{"CFBundleShortVersionString", 123}}
                                                        << "Version dev";
    }

    void versionLine()
    {
        QFETCH(QVariantMap, keys);
        QFETCH(QString, line);
        QCOMPARE(AboutContent::versionLine(keys), line);
    }

    void linkLabel_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QString>("label");
        QTest::newRow("product site") << AboutContent::productSite() << "quorvane.app";
        QTest::newRow("maker site") << AboutContent::makerSite() << "velliscor.studio";
        QTest::newRow("leading host label and path") << QUrl("https://www.velliscor.studio/about?x=1")
                                                     << "velliscor.studio";
        QTest::newRow("port and trailing slash") << QUrl("https://quorvane.app:8443/") << "quorvane.app";
    }

    void linkLabel()
    {
        QFETCH(QUrl, url);
        QFETCH(QString, label);
        QCOMPARE(AboutContent::linkLabel(url), label);
        QCOMPARE(url.scheme(), QStringLiteral("https"));
    }
};

QTEST_GUILESS_MAIN(tst_AboutContent)
#include "tst_AboutContent.moc"
