// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/AppModel.h"
#include "kit/KitServices.h"
#include "platform/AppInfo.h"
#include "support/ManualDelay.h"
#include "support/MemorySystemLog.h"

#include <QDateTime>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>

Q_IMPORT_QML_PLUGIN(Quorvane_KitPlugin)

// The composition root hands out what it was built from, and its engines draw from its services.
class tst_AppModel : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_scratch;
    MemorySystemLog m_systemLog;
    ManualDelay m_time;

    AppModel::Environment environment()
    {
        AppModel::Environment environment;
        environment.systemLog = &m_systemLog;
        environment.driver.loginShell = QStringLiteral("/bin/sh");
        environment.driver.temporaryFolder = m_scratch.path();
        environment.pillDelay = m_time.delay();
        return environment;
    }

private slots:
    void failuresGoToTheHandedInLog()
    {
        AppModel model(environment());
        model.errorLog().record(QStringLiteral("startup"), QStringLiteral("it failed"), QDateTime::currentDateTimeUtc());
        QCOMPARE(model.errorLog().events().size(), 1);
        QCOMPARE(m_systemLog.lines, QStringList{SystemLog::line(QStringLiteral("startup"), QStringLiteral("it failed"))});
    }

    void theDriverIsBuiltFromTheConfiguration()
    {
        AppModel model(environment());
        QCOMPARE(model.driver().loginShell(), QStringLiteral("/bin/sh"));
    }

    void eachRootsEngineDrawsFromItsOwnIcons()
    {
        AppModel first(environment());
        AppModel second(environment());
        QQmlEngine firstEngine;
        QQmlEngine secondEngine;
        first.attach(firstEngine);
        second.attach(secondEngine);
        for (auto [model, engine] : {std::pair{&first, &firstEngine}, std::pair{&second, &secondEngine}}) {
            QQmlComponent icon(engine);
            icon.setData("import Quorvane.Kit\nMicroIcon { symbol: \"checkmark.circle.fill\" }\n", QUrl());
            QVERIFY2(icon.isReady(), qPrintable(icon.errorString()));
            const std::unique_ptr<QObject> made(icon.create());
            QVERIFY(made);
            const KitServices *services = KitServices::of(made.get());
            QVERIFY(services);
            QCOMPARE(&services->icons(), &model->icons());
        }
    }

    void thePillWaitsOnTheHandedInClock()
    {
        AppModel model(environment());
        model.connectingPill().show(QStringLiteral("Acme"));
        QVERIFY(model.connectingPill().markConnected(QStringLiteral("Acme site")));
        QVERIFY(model.connectingPill().presented());
        m_time.advance(ConnectingPill::successShownFor);
        QVERIFY(!model.connectingPill().presented());
    }
};

QTEST_MAIN(tst_AppModel)
#include "tst_AppModel.moc"
