// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/DesignerLink.h"

#include <QTest>

using Status = std::optional<ConnectionStatus>;
using Press = DesignerLink::Press;
using Site = std::optional<SiteRecord>;
using Domains = QList<PublishDomain>;

Q_DECLARE_METATYPE(Status)
Q_DECLARE_METATYPE(Site)

namespace {

Site site(std::optional<QString> shortName)
{
    SiteRecord record;
    record.id = QStringLiteral("site-1");
    record.name = QStringLiteral("Acme");
    record.shortName = std::move(shortName);
    return record;
}

PublishDomain domain(const QString &url, bool staging)
{
    return {url, url, staging};
}

} // namespace

// The Webflow button: where the Designer link comes from, and what a press does without one.
class tst_DesignerLink : public QObject
{
    Q_OBJECT

private slots:
    void link_data()
    {
        QTest::addColumn<Site>("site");
        QTest::addColumn<Domains>("domains");
        QTest::addColumn<QString>("link");

        QTest::newRow("no site record") << Site() << Domains{domain("acme.webflow.io", true)} << "";
        QTest::newRow("record's short name") << site("acme") << Domains{} << "https://acme.design.webflow.com/";
        QTest::newRow("upper case accepted lowered") << site("AcMe") << Domains{} << "https://acme.design.webflow.com/";
        QTest::newRow("short name not a subdomain") << site("acme site") << Domains{} << "";
        QTest::newRow("short name with a dot") << site("acme.co") << Domains{} << "";
        QTest::newRow("empty short name") << site(QString()) << Domains{} << "";
        QTest::newRow("no short name") << site(std::nullopt) << Domains{} << "";
        QTest::newRow("staging domain wins") << site("old-name")
                                             << Domains{domain("www.acme.com", false), domain("acme-new.webflow.io", true)}
                                             << "https://acme-new.design.webflow.com/";
        QTest::newRow("only the first staging domain")
            << site(std::nullopt) << Domains{domain("first.webflow.io", true), domain("second.webflow.io", true)}
            << "https://first.design.webflow.com/";
        QTest::newRow("first staging domain without the suffix falls back to the record")
            << site("acme") << Domains{domain("acme.example.com", true), domain("other.webflow.io", true)}
            << "https://acme.design.webflow.com/";
        QTest::newRow("bare suffix gives nothing, record not consulted")
            << site("acme") << Domains{domain(".webflow.io", true)} << "";
        QTest::newRow("rejected staging short name gives nothing, record not consulted")
            << site("acme") << Domains{domain("-acme.webflow.io", true)} << "";
        QTest::newRow("no staging domain") << site("acme") << Domains{domain("acme.webflow.io", false)}
                                           << "https://acme.design.webflow.com/";
    }

    void link()
    {
        QFETCH(Site, site);
        QFETCH(Domains, domains);
        QFETCH(QString, link);
        const std::optional<QUrl> found = DesignerLink::of(site, domains);
        QCOMPARE(found ? found->toString() : QString(), link);
    }

    void press_data()
    {
        QTest::addColumn<bool>("hasLink");
        QTest::addColumn<Status>("status");
        QTest::addColumn<Press>("press");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("confirmLabel");
        QTest::newRow("link, unregistered") << true << Status() << Press::open << "" << "";
        QTest::newRow("link, needs auth") << true << Status(ConnectionStatus::needsAuth) << Press::open << "" << "";
        QTest::newRow("connected") << false << Status(ConnectionStatus::connected) << Press::verify << "Verify Acme?"
                                   << "Verify";
        QTest::newRow("no connection") << false << Status() << Press::connect << "Connect Acme?" << "Connect";
        for (const ConnectionStatus status :
             {ConnectionStatus::checking, ConnectionStatus::degraded, ConnectionStatus::needsAuth, ConnectionStatus::missing,
              ConnectionStatus::failed, ConnectionStatus::timedOut, ConnectionStatus::unknown})
            QTest::addRow("%s", qPrintable(rawText(status)))
                << false << Status(status) << Press::reconnect << "Reconnect Acme?" << "Check";
    }

    void press()
    {
        QFETCH(bool, hasLink);
        QFETCH(Status, status);
        const Press press = DesignerLink::pressOf(hasLink, status);
        QTEST(press, "press");
        const std::optional<ConfirmRequest> prompt = DesignerLink::prompt(press, QStringLiteral("Acme"));
        QCOMPARE(prompt.has_value(), press != Press::open);
        QTEST(prompt ? prompt->title : QString(), "title");
        QTEST(prompt ? prompt->confirmLabel : QString(), "confirmLabel");
        if (prompt) {
            QCOMPARE(prompt->cancelLabel, QStringLiteral("Cancel"));
            QVERIFY(!prompt->isNotice);
            QVERIFY(!prompt->isDestructive);
            QVERIFY(!prompt->icon);
        }
    }

    void texts()
    {
        QCOMPARE(DesignerLink::help(true), QStringLiteral("Open in Webflow"));
        QCOMPARE(DesignerLink::help(false), QStringLiteral("Verify to open in Webflow"));
        QCOMPARE(DesignerLink::accessibilityLabel(true, "Acme Studio"), QStringLiteral("Open Acme Studio in Webflow"));
        QCOMPARE(DesignerLink::accessibilityLabel(false, "Acme Studio"), QStringLiteral("Verify site to open in Webflow"));
        QCOMPARE(DesignerLink::accessibilityHint(false), QStringLiteral("Runs a site scope check"));
        const ConfirmRequest refused = DesignerLink::refusedNotice();
        QVERIFY(refused.isNotice);
        QCOMPARE(refused.confirmLabel, QStringLiteral("OK"));
        QCOMPARE(refused.iconName(), QStringLiteral("cloud-off"));
    }
};

QTEST_APPLESS_MAIN(tst_DesignerLink)
#include "tst_DesignerLink.moc"
