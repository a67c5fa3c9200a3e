// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/PanelFilter.h"

#include <QLocale>
#include <QTest>

using Reason = UnrecognizedServer::Reason;

namespace {

Project project(const QString &title, const QString &mcpName, const QString &siteID = {})
{
    Project p;
    p.id = QUuid::createUuid();
    p.title = title;
    p.mcpName = mcpName;
    if (!siteID.isEmpty())
        p.siteId = siteID;
    return p;
}

UnrecognizedServer entry(const QString &name, Reason reason, std::optional<QString> folder = std::nullopt)
{
    UnrecognizedServer e;
    e.name = name;
    e.reason = reason;
    e.folder = std::move(folder);
    return e;
}

QStringList titles(const QList<Project> &projects)
{
    QStringList out;
    for (const Project &p : projects)
        out.append(p.title + QLatin1Char('/') + p.mcpName);
    return out;
}

QStringList names(const QList<UnrecognizedServer> &entries)
{
    QStringList out;
    for (const UnrecognizedServer &e : entries)
        out.append(e.name);
    return out;
}

} // namespace

// The search of the panel's lists and their order.
class tst_PanelFilter : public QObject
{
    Q_OBJECT

private slots:
    void searching_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("searching");
        QTest::addColumn<QString>("term");
        QTest::newRow("empty") << QString() << false << QString();
        QTest::newRow("blanks and tabs") << QStringLiteral(" \t  ") << false << QString();
        QTest::newRow("padded") << QStringLiteral("  acme ") << true << QStringLiteral("acme");
        QTest::newRow("no-break space") << QStringLiteral("\u00a0acme\u00a0") << true << QStringLiteral("acme");
        QTest::newRow("a line break is searched for") << QStringLiteral("\n") << true << QStringLiteral("\n");
    }

    void searching()
    {
        QFETCH(QString, text);
        QFETCH(bool, searching);
        QFETCH(QString, term);
        QCOMPARE(PanelFilter::isSearching(text), searching);
        QCOMPARE(PanelFilter::searchTerm(text), term);
    }

    // Case is folded in the user's locale: a Turkish user's dotless ı finds ISPARTA, which an
    // English reading would not.
    void matchesInTheUsersLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("matches");
        QTest::newRow("any case") << QStringLiteral("en_US") << QStringLiteral("Acme Co") << QStringLiteral("ACME") << true;
        QTest::newRow("Turkish dotless i") << QStringLiteral("tr_TR") << QStringLiteral("ISPARTA") << QStringLiteral("\u0131sparta") << true;
        QTest::newRow("English has no dotless i") << QStringLiteral("en_US") << QStringLiteral("ISPARTA") << QStringLiteral("\u0131sparta") << false;
        QTest::newRow("not contained") << QStringLiteral("en_US") << QStringLiteral("Acme") << QStringLiteral("beta") << false;
    }
    void matchesInTheUsersLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QString, term);
        QFETCH(bool, matches);
        const QLocale before;
        QLocale::setDefault(QLocale(locale));
        const bool found = PanelFilter::matches(text, term);
        QLocale::setDefault(before);
        QCOMPARE(found, matches);
    }

    void projects_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{QStringLiteral("acme site/webflow-acme-site"), QStringLiteral("Acme Site/webflow-acme-2"),
                              QStringLiteral("Bolt/webflow-acme"), QStringLiteral("Custom/webflow-custom"),
                              QStringLiteral("zeta/webflow-zeta")};
        QTest::newRow("no search: by title, ties in store order") << QString() << all;
        QTest::newRow("blank search filters nothing") << QStringLiteral("   ") << all;
        QTest::newRow("title, server name, any case") << QStringLiteral("  ACME ")
                                                      << QStringList{all.at(0), all.at(1), all.at(2)};
        QTest::newRow("site custom name") << QStringLiteral("renamed") << QStringList{all.at(3)};
        QTest::newRow("site name") << QStringLiteral("original") << QStringList{all.at(3)};
        QTest::newRow("site known only by id is not matched by it") << QStringLiteral("site-z") << QStringList{};
        QTest::newRow("nothing") << QStringLiteral("nothing") << QStringList{};
    }

    void projects()
    {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        // Store order: two equal titles (ignoring case) must keep it.
        const QList<Project> stored{project(QStringLiteral("zeta"), QStringLiteral("webflow-zeta"), QStringLiteral("site-z")),
                                    project(QStringLiteral("acme site"), QStringLiteral("webflow-acme-site")),
                                    project(QStringLiteral("Custom"), QStringLiteral("webflow-custom"), QStringLiteral("site-c")),
                                    project(QStringLiteral("Acme Site"), QStringLiteral("webflow-acme-2")),
                                    project(QStringLiteral("Bolt"), QStringLiteral("webflow-acme"))};
        const auto lookup = [](const Project &p) -> std::optional<SiteRecord> {
            if (p.siteId != QStringLiteral("site-c"))
                return std::nullopt;
            SiteRecord site;
            site.id = QStringLiteral("site-c");
            site.name = QStringLiteral("Original");
            site.customName = QStringLiteral("Renamed by studio");
            return site;
        };
        QCOMPARE(titles(PanelFilter::filteredProjects(stored, search, lookup)), expected);
    }

    void unrecognized_data()
    {
        QTest::addColumn<QList<UnrecognizedServer>>("entries");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("actionable group first")
            << QList{entry(QStringLiteral("b"), Reason::foreignLane), entry(QStringLiteral("a"), Reason::unsafeName)}
            << QString() << QStringList{QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("group before name")
            << QList{entry(QStringLiteral("b"), Reason::unsafeName), entry(QStringLiteral("a"), Reason::foreignLane)}
            << QString() << QStringList{QStringLiteral("b"), QStringLiteral("a")};
        QTest::newRow("project scoped with a folder is actionable")
            << QList{entry(QStringLiteral("a"), Reason::localScopeShadow),
                     entry(QStringLiteral("p"), Reason::projectScoped, QStringLiteral("/home/u/site")),
                     entry(QStringLiteral("o"), Reason::projectScoped)}
            << QString() << QStringList{QStringLiteral("p"), QStringLiteral("a"), QStringLiteral("o")};
        QTest::newRow("code points, upper case first")
            << QList{entry(QStringLiteral("a"), Reason::unsafeName), entry(QStringLiteral("Z"), Reason::unsafeName)}
            << QString() << QStringList{QStringLiteral("Z"), QStringLiteral("a")};
        QTest::newRow("composed and decomposed names are equal: model order")
            << QList{entry(QStringLiteral("e\u0301"), Reason::unsafeName), entry(QStringLiteral("\u00e9"), Reason::unsafeName)}
            << QString() << QStringList{QStringLiteral("e\u0301"), QStringLiteral("\u00e9")};
        QTest::newRow("beyond the basic plane sorts after U+FFFD")
            << QList{entry(QStringLiteral("\U0001F600"), Reason::unsafeName), entry(QStringLiteral("\uFFFD"), Reason::unsafeName)}
            << QString() << QStringList{QStringLiteral("\uFFFD"), QStringLiteral("\U0001F600")};
        QTest::newRow("matched on the displayed name")
            << QList{entry(QStringLiteral("web\u0007flow"), Reason::unsafeName), entry(QStringLiteral("other"), Reason::unsafeName)}
            << QStringLiteral("web\u00b7flow") << QStringList{QStringLiteral("web\u0007flow")};
        QTest::newRow("search drops the rest")
            << QList{entry(QStringLiteral("acme"), Reason::foreignLane), entry(QStringLiteral("bolt"), Reason::unsafeName)}
            << QStringLiteral(" ACM") << QStringList{QStringLiteral("acme")};
    }

    void unrecognized()
    {
        QFETCH(QList<UnrecognizedServer>, entries);
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        QCOMPARE(names(PanelFilter::filteredUnrecognized(entries, search)), expected);
    }
};

QTEST_GUILESS_MAIN(tst_PanelFilter)
#include "tst_PanelFilter.moc"
