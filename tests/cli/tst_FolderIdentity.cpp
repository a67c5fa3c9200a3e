// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/FolderIdentity.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <fcntl.h>

class tst_FolderIdentity : public QObject
{
    Q_OBJECT

private:
    TempHome m_home;
    QString m_root;

    static int openDescriptors()
    {
        return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
    }

private slots:
    void initTestCase()
    {
        m_root = QDir(m_home.path()).canonicalPath();
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("/real/inner")));
        QVERIFY(QDir().mkpath(m_root + QStringLiteral("/.hidden/..dots")));
        QVERIFY(QFile::link(m_root + QStringLiteral("/real"), m_root + QStringLiteral("/link")));
        QFile file(m_root + QStringLiteral("/real/file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void safePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("safe");

        QTest::newRow("root") << "/" << true;
        QTest::newRow("plain") << "/home/user/project" << true;
        QTest::newRow("leading dots in names") << "/home/.config/..x/...y" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("relative") << "home/user" << false;
        QTest::newRow("trailing slash") << "/home/user/" << false;
        QTest::newRow("doubled slash") << "/home//user" << false;
        QTest::newRow("dot component") << "/home/./user" << false;
        QTest::newRow("dot-dot component") << "/home/../user" << false;
        QTest::newRow("dot-dot last") << "/home/user/.." << false;
        QTest::newRow("dot last") << "/home/user/." << false;
    }

    void safePaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, safe);
        QCOMPARE(isSafeAbsolutePath(path), safe);
    }

    void chains_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("opens");

        QTest::newRow("nested folder") << "/real/inner" << true;
        QTest::newRow("dotted names") << "/.hidden/..dots" << true;
        QTest::newRow("link at the end") << "/link" << false;
        QTest::newRow("link on the way") << "/link/inner" << false;
        QTest::newRow("a file") << "/real/file" << false;
        QTest::newRow("missing") << "/real/missing" << false;
    }

    void chains()
    {
        QFETCH(QString, relative);
        QFETCH(bool, opens);
        const int before = openDescriptors();
        {
            const std::optional<DirectoryChain> chain = openDirectoryChain(m_root + relative);
            QCOMPARE(chain.has_value(), opens);
            if (chain) {
                QVERIFY(::fcntl(chain->folder(), F_GETFD) & FD_CLOEXEC);
                QCOMPARE(directoryIdentity(chain->folder()), std::optional<FolderIdentity>(chain->identity()));
            }
        }
        QCOMPARE(openDescriptors(), before);
    }

    void rootAlone()
    {
        const std::optional<DirectoryChain> chain = openDirectoryChain(QStringLiteral("/"));
        QVERIFY(chain);
        QCOMPARE(chain->identity(), folderIdentity(QStringLiteral("/")).value());
    }

    void replacedFolderHasAnotherIdentity()
    {
        const QString folder = m_root + QStringLiteral("/swapped");
        QVERIFY(QDir().mkpath(folder));
        const std::optional<FolderIdentity> before = folderIdentity(folder);
        QVERIFY(before);
        QCOMPARE(folderIdentity(folder), before);
        QVERIFY(QDir().rename(folder, folder + QStringLiteral("-old")));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(folderIdentity(folder) != before);
    }
};

QTEST_GUILESS_MAIN(tst_FolderIdentity)
#include "tst_FolderIdentity.moc"
