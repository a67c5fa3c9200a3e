// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "OverlayFixture.h"

#include "kit/KitEnvironment.h"

#include <QCoro/QCoroTask>
#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

namespace {

QStringList messages;

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        messages.append(message);
}

} // namespace

// The panel's overlays and Page Status views in their states, rendered in both schemes to PNG
// files in the build folder for a person to look at; each loads without a QML warning.
class tst_OverlayGallery : public QObject
{
    Q_OBJECT

    std::unique_ptr<OverlayFixture> m_fixture;

    /// Accounts in the phases of the sign-in steps: address, code (after a refused one),
    /// profile pending, signed in.
    QVariantList signInAccounts()
    {
        AccountModel *address = m_fixture->newAccount();
        AccountModel *code = m_fixture->newAccount();
        QCoro::waitFor(code->sendCode(m_fixture->userEmail(), true));
        QCoro::waitFor(code->verifyCode(QStringLiteral("000000")));
        AccountModel *profile = m_fixture->newAccount(false);
        QCoro::waitFor(profile->sendCode(m_fixture->userEmail(), true));
        QCoro::waitFor(profile->verifyCode(QStringLiteral("123456")));
        AccountModel *signedIn = m_fixture->newAccount(true);
        QCoro::waitFor(signedIn->sendCode(m_fixture->userEmail(), true));
        QCoro::waitFor(signedIn->verifyCode(QStringLiteral("123456")));
        return {QVariant::fromValue(address), QVariant::fromValue(code), QVariant::fromValue(profile),
                QVariant::fromValue(signedIn)};
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<OverlayFixture>();
        messages.clear();
        qInstallMessageHandler(collect);
    }

    void cleanup()
    {
        qInstallMessageHandler(nullptr);
        m_fixture.reset();
    }

    void gallery_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<KitPalette::Scheme>("scheme");
        for (const char *scene : {"ActivityGallery", "SignInGallery", "PageStatusGallery"}) {
            QTest::addRow("%s light", scene) << QString::fromLatin1(scene) << KitPalette::Scheme::Light;
            QTest::addRow("%s dark", scene) << QString::fromLatin1(scene) << KitPalette::Scheme::Dark;
        }
    }

    void gallery()
    {
        QFETCH(QString, scene);
        QFETCH(KitPalette::Scheme, scheme);
        QQmlEngine engine;
        m_fixture->serve(engine);
        qmlRegisterSingletonInstance("PanelTest", 1, 0, "PanelTest", m_fixture.get());
        QVariantMap properties;
        if (scene == QStringLiteral("SignInGallery")) {
            const QVariantList accounts = signInAccounts();
            QCOMPARE(accounts.at(1).value<AccountModel *>()->phaseKind(), AccountModel::PhaseKind::CodeSent);
            QCOMPARE(accounts.at(2).value<AccountModel *>()->phaseKind(), AccountModel::PhaseKind::ProfilePending);
            QCOMPARE(accounts.at(3).value<AccountModel *>()->phaseKind(), AccountModel::PhaseKind::SignedIn);
            properties.insert(QStringLiteral("accounts"), accounts);
        }
        QQmlComponent type(&engine, QUrl::fromLocalFile(QStringLiteral(PANEL_QML_DIR "/") + scene + QStringLiteral(".qml")));
        QVERIFY2(type.isReady(), qPrintable(type.errorString()));
        // The scene's imports registered the kit's types.
        auto *environment = engine.singletonInstance<KitEnvironment *>(qmlTypeId("Quorvane.Kit", 1, 0, "KitEnvironment"));
        QVERIFY(environment);
        environment->setScheme(scheme);
        std::unique_ptr<QObject> object(type.createWithInitialProperties(properties));
        auto *gallery = qobject_cast<QQuickItem *>(object.get());
        QVERIFY2(gallery, qPrintable(type.errorString()));

        QQuickWindow window;
        window.setColor(scheme == KitPalette::Scheme::Dark ? QColor(40, 44, 52) : QColor(200, 214, 230));
        window.resize(int(gallery->width()), int(gallery->height()));
        gallery->setParentItem(window.contentItem());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        const QImage image = window.grabWindow();
        QVERIFY(!image.isNull());
        const QString file = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("../panel-%1-%2.png")
                                               .arg(scene, scheme == KitPalette::Scheme::Dark ? "dark" : "light"));
        QVERIFY(image.save(file));
        gallery->setParentItem(nullptr);
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(tst_OverlayGallery)
#include "tst_OverlayGallery.moc"
