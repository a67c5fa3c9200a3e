// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"
#include "platform/AppInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray drawing = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16"><path d="M2 2h12v12z"/></svg>)";

[[nodiscard]] bool write(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly)
        && file.write(contents) == contents.size();
}

} // namespace

class tst_IconLoader : public QObject
{
    Q_OBJECT

    // The application's own bundle, as built.
    IconLoader m_bundle{resourceBundle().directory()};

private slots:
    // Every icon name the panel's views ask for has a drawing of our own.
    void everyMicroIconResolves_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList names{
            "arrow.clockwise", "arrow.left.arrow.right", "arrow.right.circle", "arrow.triangle.2.circlepath",
            "bell.badge", "book.circle.fill", "bubble.left.and.text.bubble.right", "calendar", "calendar-schedule",
            "checkmark", "checkmark.circle", "checkmark.circle.fill", "checkmark.icloud", "chevron.left",
            "chevron.right", "chevron.up.chevron.down", "circle.dotted", "circle.fill", "clock", "cloud-off",
            "cloud.slash", "doc.badge.minus", "doc.on.doc", "ellipsis", "exclamationmark.shield.fill",
            "exclamationmark.triangle.fill", "externaldrive.badge.exclamationmark", "folder.badge.questionmark",
            "gearshape", "globe-app-network", "incognito-mode", "info.circle", "keyboard", "large.padlock",
            "large.recycle-bin", "link", "lock.fill", "lock.open", "lock.shield", "magnifyingglass", "mail-send",
            "menubar-icon", "person.2", "person.crop.circle", "person.crop.circle.badge.exclamationmark",
            "person.crop.circle.fill", "plus.circle", "plus.circle.fill", "point.3.connected.trianglepath.dotted",
            "power-off", "questionmark.circle.fill", "recycle-bin", "shield.checkered", "smiley-drop", "smiley-happy",
            "sort.ascending", "sort.descending", "sparkles", "star", "tag", "tag-label", "time-history-off", "trash",
            "warning-triangle", "web", "webflow-logo", "xmark", "xmark.circle", "xmark.circle.fill"};
        for (const QString &name : names)
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyMicroIconResolves()
    {
        QFETCH(QString, name);
        QVERIFY(m_bundle.microIcon(name).has_value());
    }

    // The large icons of dialogs and empty states.
    void everyLargeIconResolves_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"arrow.left.arrow.right", "calendar-schedule", "cloud-off", "globe-app-network",
                                 "incognito-mode", "mail-send", "padlock", "power-off", "recycle-bin", "smiley-drop",
                                 "smiley-happy", "tag-label", "time-history-off", "warning-triangle", "webflow-logo"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void everyLargeIconResolves()
    {
        QFETCH(QString, name);
        QVERIFY(m_bundle.largeIcon(name).has_value());
    }

    void wordmarkResolves()
    {
        QVERIFY(m_bundle.wordmark().has_value());
    }

    void lookupOrder()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("icons/both.svg"), drawing));
        QVERIFY(write(dir.filePath("both.svg"), drawing + "<!-- top level -->"));
        QVERIFY(write(dir.filePath("top.svg"), drawing));
        QVERIFY(write(dir.filePath("large.big.svg"), drawing));
        IconLoader loader(dir.path());
        QCOMPARE(loader.microIcon("both"), std::optional<QByteArray>(drawing));
        QCOMPARE(loader.microIcon("top"), std::optional<QByteArray>(drawing));
        QCOMPARE(loader.largeIcon("big"), std::optional<QByteArray>(drawing));
        // The two sets are looked up under their own names.
        QVERIFY(!loader.microIcon("big"));
        QVERIFY(!loader.largeIcon("top"));
    }

    // A name is looked up once: a drawing added after a miss (or changed after a hit) is not seen
    // until the next launch.
    void resultsAreCached()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("icons/present.svg"), drawing));
        IconLoader loader(dir.path());
        QVERIFY(!loader.microIcon("missing"));
        QVERIFY(!loader.largeIcon("missing"));
        QVERIFY(!loader.wordmark());
        QVERIFY(loader.microIcon("present"));

        QVERIFY(write(dir.filePath("icons/missing.svg"), drawing));
        QVERIFY(write(dir.filePath("large.missing.svg"), drawing));
        QVERIFY(write(dir.filePath("velliscor-wordmark.svg"), drawing));
        QVERIFY(QFile::remove(dir.filePath("icons/present.svg")));
        QVERIFY(!loader.microIcon("missing"));
        QVERIFY(!loader.largeIcon("missing"));
        QVERIFY(!loader.wordmark());
        QCOMPARE(loader.microIcon("present"), std::optional<QByteArray>(drawing));
    }

    void unreadableDrawingIsMissing()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("icons/broken.svg"), "not an image"));
        QVERIFY(write(dir.filePath("broken.svg"), drawing));
        IconLoader loader(dir.path());
        // The first location found is read; when it does not read as an image the icon is missing.
        QVERIFY(!loader.microIcon("broken"));
    }
};

QTEST_GUILESS_MAIN(tst_IconLoader)
#include "tst_IconLoader.moc"
