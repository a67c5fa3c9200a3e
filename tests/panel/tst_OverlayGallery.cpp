// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "OverlayFixture.h"

#include "support/ScreenshotWindow.h"
#include "support/WarningLog.h"

#include <QCoro/QCoroTask>
#include <QQmlEngine>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)
Q_IMPORT_QML_PLUGIN(Quorvane_PanelPlugin)

// The panel's overlays and Page Status views in their states, rendered in both schemes to PNG
// files in the build folder for a person to look at; each loads without a QML warning.
class tst_OverlayGallery : public QObject
{
    Q_OBJECT

    std::unique_ptr<OverlayFixture> m_fixture;
    WarningLog m_warnings;

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
        m_warnings.start();
    }

    void cleanup()
    {
        m_warnings.stop();
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
        ScreenshotWindow shot(engine, scheme);
        QVERIFY2(shot.load(QUrl::fromLocalFile(QStringLiteral(PANEL_QML_DIR "/") + scene + QStringLiteral(".qml")), properties),
                 qPrintable(shot.errors()));
        QVERIFY2(shot.show(), qPrintable(shot.errors()));
        QVERIFY2(shot.save(QStringLiteral("panel-") + scene), qPrintable(shot.errors()));
        QVERIFY2(m_warnings.isEmpty(), qPrintable(m_warnings.text()));
    }
};

QTEST_MAIN(tst_OverlayGallery)
#include "tst_OverlayGallery.moc"
