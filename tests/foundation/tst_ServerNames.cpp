// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/ServerNames.h"

#include <QTest>

using OptionalText = std::optional<QString>;

class tst_ServerNames : public QObject
{
    Q_OBJECT

private slots:
    void laneNames_data()
    {
        QTest::addColumn<QString>("siteName");
        QTest::newRow("plain") << "Acme Studio";
        QTest::newRow("accents and punctuation") << QStringLiteral(" Caf\u00E9! ");
        QTest::newRow("nothing left of it") << "!!!";
        QTest::newRow("digits only") << "2026";
    }

    void laneNames()
    {
        // A server name is a lane's prefix and the site's slug: whatever the site is called, the
        // name passes the rules, and the other lane's names are never taken for this lane's.
        QFETCH(QString, siteName);
        const QString slug = ClaudeCLI::slugify(siteName);
        const QString own = ClaudeCLI::ownLanePrefix.toString() + slug;
        const QString other = ClaudeCLI::otherLanePrefix.toString() + slug;
        QCOMPARE(ClaudeCLI::validateServerName(own), OptionalText());
        QCOMPARE(ClaudeCLI::validateServerName(other), OptionalText());
        QVERIFY(!other.startsWith(ClaudeCLI::ownLanePrefix));
        QVERIFY(!own.startsWith(ClaudeCLI::otherLanePrefix));
    }

    void isSafeServerName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("expected");

        QTest::newRow("own lane") << "webflow-acme" << true;
        QTest::newRow("underscore and digits") << "Site_2" << true;
        QTest::newRow("hyphen inside") << "a-" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("leading hyphen") << "-x" << false;
        QTest::newRow("space") << "webflow-bad name" << false;
        QTest::newRow("dot") << "a.b" << false;
        QTest::newRow("non-ASCII letter") << QStringLiteral("caf\u00E9") << false;
        QTest::newRow("trailing line feed") << "webflow-acme\n" << false;
        QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) << false;
    }

    void isSafeServerName()
    {
        QFETCH(QString, name);
        QFETCH(bool, expected);
        QCOMPARE(ClaudeCLI::isSafeServerName(name), expected);
    }

    void validateServerName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<OptionalText>("expected");

        const QString unsafe = QStringLiteral("Use only letters, numbers, hyphens and underscores.");
        QTest::newRow("empty") << "" << OptionalText(QStringLiteral("Name is required."));
        QTest::newRow("leading hyphen") << "-x" << OptionalText(QStringLiteral("Name cannot start with a hyphen."));
        QTest::newRow("leading hyphen before unsafe") << "-a b" << OptionalText(QStringLiteral("Name cannot start with a hyphen."));
        QTest::newRow("space") << "a b" << OptionalText(unsafe);
        QTest::newRow("trailing line feed") << "workspace\n" << OptionalText(unsafe);
        QTest::newRow("reserved, any case") << "Computer-Use"
                                            << OptionalText(QStringLiteral("\"Computer-Use\" is a reserved server name."));
        QTest::newRow("reserved workspace") << "workspace"
                                            << OptionalText(QStringLiteral("\"workspace\" is a reserved server name."));
        QTest::newRow("reserved chrome") << "claude-in-chrome"
                                         << OptionalText(QStringLiteral("\"claude-in-chrome\" is a reserved server name."));
        QTest::newRow("acceptable") << "webflow-acme" << OptionalText();
        QTest::newRow("reserved as a prefix only") << "workspace-2" << OptionalText();
    }

    void validateServerName()
    {
        QFETCH(QString, name);
        QFETCH(OptionalText, expected);
        QCOMPARE(ClaudeCLI::validateServerName(name), expected);
    }

    void isWebflowEndpoint_data()
    {
        QTest::addColumn<OptionalText>("url");
        QTest::addColumn<bool>("expected");

        QTest::newRow("the endpoint") << OptionalText("https://mcp.webflow.com/mcp") << true;
        // What this build registers is taken for its own when the registry is read back.
        QTest::newRow("the endpoint registered") << OptionalText(ClaudeCLI::webflowMCPEndpoint.toString()) << true;
        QTest::newRow("surrounding white space") << OptionalText(" https://mcp.webflow.com/mcp\n") << true;
        QTest::newRow("upper case") << OptionalText("HTTPS://MCP.WEBFLOW.COM/MCP/") << true;
        QTest::newRow("port 443") << OptionalText("https://mcp.webflow.com:443/mcp") << true;
        QTest::newRow("sse") << OptionalText("https://mcp.webflow.com/sse") << true;
        QTest::newRow("several trailing slashes") << OptionalText("https://mcp.webflow.com/mcp//") << true;

        QTest::newRow("absent") << OptionalText() << false;
        QTest::newRow("empty") << OptionalText("") << false;
        QTest::newRow("http") << OptionalText("http://mcp.webflow.com/mcp") << false;
        QTest::newRow("other host") << OptionalText("https://mcp.webflow.com.evil.test/mcp") << false;
        QTest::newRow("subdomain") << OptionalText("https://x.mcp.webflow.com/mcp") << false;
        QTest::newRow("query") << OptionalText("https://mcp.webflow.com/mcp?x=1") << false;
        QTest::newRow("empty query") << OptionalText("https://mcp.webflow.com/mcp?") << false;
        QTest::newRow("fragment") << OptionalText("https://mcp.webflow.com/mcp#top") << false;
        QTest::newRow("empty fragment") << OptionalText("https://mcp.webflow.com/mcp#") << false;
        QTest::newRow("user") << OptionalText("https://user@mcp.webflow.com/mcp") << false;
        QTest::newRow("user and password") << OptionalText("https://u:p@mcp.webflow.com/mcp") << false;
        QTest::newRow("empty user") << OptionalText("https://@mcp.webflow.com/mcp") << false;
        QTest::newRow("port 8443") << OptionalText("https://mcp.webflow.com:8443/mcp") << false;
        QTest::newRow("longer path") << OptionalText("https://mcp.webflow.com/mcp/extra") << false;
        QTest::newRow("root path") << OptionalText("https://mcp.webflow.com/") << false;
        QTest::newRow("no path") << OptionalText("https://mcp.webflow.com") << false;
        QTest::newRow("space inside") << OptionalText("https://mcp.webflow.com/m cp") << false;
        QTest::newRow("not a URL") << OptionalText("webflow") << false;
    }

    void isWebflowEndpoint()
    {
        QFETCH(OptionalText, url);
        QFETCH(bool, expected);
        QCOMPARE(ClaudeCLI::isWebflowEndpoint(url), expected);
    }

    void slugify_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("spaces and underscores") << "Acme  Studio_Site" << "acme-studio-site";
        QTest::newRow("accented letter dropped") << QStringLiteral(" Caf\u00E9! ") << "-caf-";
        QTest::newRow("hyphen runs") << "a -- b" << "a-b";
        QTest::newRow("Unicode white space") << QStringLiteral("a\u00A0\u2003b\tc") << "a-b-c";
        QTest::newRow("digits kept") << "Site 2026" << "site-2026";
        QTest::newRow("nothing left") << "!!!" << "";
        QTest::newRow("only space") << " " << "-";
        // Lower-casing leaves an all-lower-case text as it is, lone surrogate and all.
        QTest::newRow("lone surrogate") << "acme" + QString(QChar(0xD800)) + " studio_site" << "acme-studio-site";
    }

    void slugify()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(ClaudeCLI::slugify(text), expected);
    }
};

QTEST_GUILESS_MAIN(tst_ServerNames)
#include "tst_ServerNames.moc"
