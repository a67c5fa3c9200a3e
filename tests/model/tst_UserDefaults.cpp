// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/UserDefaults.h"

#include "support/TempHome.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The remembered choices over a real settings file: what a write stores, who hears of it, and
// what a later reader of the same file finds. Every call goes through the meta-object, as QML
// makes it.
class tst_UserDefaults : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempHome> m_home;

    [[nodiscard]] QString file() const { return m_home->filePath(QStringLiteral("settings.ini")); }

private slots:
    void init() { m_home = std::make_unique<TempHome>(); }
    void cleanup() { m_home.reset(); }

    void writes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<bool>("notified");
        QTest::addColumn<QVariant>("after");
        const QByteArray intro = "[General]\nhasSeenIntro=true\n";
        const QByteArray version = "[General]\nlastSeenVersion=0.4.0\n";
        QTest::newRow("a first mark") << QByteArray() << QByteArray("setBool") << QVariant(true) << true << QVariant(true);
        QTest::newRow("the same mark from an earlier launch")
            << intro << QByteArray("setBool") << QVariant(true) << false << QVariant(true);
        QTest::newRow("a mark taken back") << intro << QByteArray("setBool") << QVariant(false) << true << QVariant(false);
        QTest::newRow("the same version") << version << QByteArray("setString") << QVariant(QStringLiteral("0.4.0"))
                                          << false << QVariant(QStringLiteral("0.4.0"));
        QTest::newRow("a version that only looks the same as a number")
            << version << QByteArray("setString") << QVariant(QStringLiteral("0.4")) << true
            << QVariant(QStringLiteral("0.4"));
        QTest::newRow("a new version") << QByteArray("[General]\nlastSeenVersion=0.3.2\n") << QByteArray("setString")
                                       << QVariant(QStringLiteral("0.4.0")) << true << QVariant(QStringLiteral("0.4.0"));
        QTest::newRow("a stored default removed") << intro << QByteArray("remove") << QVariant() << true << QVariant();
        QTest::newRow("an absent default removed") << QByteArray() << QByteArray("remove") << QVariant() << false
                                                   << QVariant();
    }

    void writes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, method);
        QFETCH(QVariant, written);
        QFETCH(bool, notified);
        QFETCH(QVariant, after);
        if (!before.isEmpty()) {
            QFile out(file());
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(before);
        }
        const QString key = QString::fromLatin1(before.contains("lastSeenVersion") || method == "setString"
                                                    ? "lastSeenVersion"
                                                    : "hasSeenIntro");
        UserDefaults defaults(file());
        QSignalSpy changes(&defaults, &UserDefaults::valueChanged);
        bool invoked = false;
        if (method == "setBool")
            invoked = QMetaObject::invokeMethod(&defaults, method, Q_ARG(QString, key), Q_ARG(bool, written.toBool()));
        else if (method == "setString")
            invoked = QMetaObject::invokeMethod(&defaults, method, Q_ARG(QString, key), Q_ARG(QString, written.toString()));
        else
            invoked = QMetaObject::invokeMethod(&defaults, method, Q_ARG(QString, key));
        QVERIFY(invoked);
        QCOMPARE(changes.size(), notified ? 1 : 0);
        if (notified)
            QCOMPARE(changes.constFirst().constFirst().toString(), key);

        // The file holds the write already, for a reader made after it.
        const UserDefaults later(file());
        QCOMPARE(later.contains(key), after.isValid());
        if (after.typeId() == QMetaType::Bool)
            QCOMPARE(later.boolValue(key, !after.toBool()), after.toBool());
        else if (after.isValid())
            QCOMPARE(later.stringValue(key), after.toString());
    }

    // An absent default reads as the caller's fallback, and nothing is written by reading.
    void readsOfAnAbsentDefault_data()
    {
        QTest::addColumn<bool>("fallback");
        QTest::newRow("off unless set") << false;
        QTest::newRow("on unless set") << true;
    }

    void readsOfAnAbsentDefault()
    {
        QFETCH(bool, fallback);
        UserDefaults defaults(file());
        bool read = !fallback;
        QVERIFY(QMetaObject::invokeMethod(&defaults, "boolValue", Q_RETURN_ARG(bool, read),
                                          Q_ARG(QString, QStringLiteral("pageStatusEnableNewProjectsByDefault")),
                                          Q_ARG(bool, fallback)));
        QCOMPARE(read, fallback);
        QCOMPARE(defaults.stringValue(QStringLiteral("lastSeenVersion"), QStringLiteral("none")), QStringLiteral("none"));
        QVERIFY(!defaults.value(QStringLiteral("dismissedCloudBanner")).isValid());
        QVERIFY(!QFile::exists(file()));
    }
};

QTEST_GUILESS_MAIN(tst_UserDefaults)
#include "tst_UserDefaults.moc"
