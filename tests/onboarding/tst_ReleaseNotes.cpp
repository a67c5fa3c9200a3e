#include "onboarding/ReleaseNotes.h"

#include <QTest>

#include <optional>

namespace {

const QStringList scheduledLines{
    "New Scheduled Publishing tab",
    "Refreshed interface throughout",
    "New keyboard shortcuts",
    "Copy MCP setup instructions with one click",
    "Open projects directly in Webflow",
    "Success and failure notifications",
    "Safer recovery from authorization, storage, and connection failures",
    "Major reliability and security improvements",
};
const QStringList scheduledSymbols{"clock",      "sparkles",   "keyboard",    "doc.on.doc",
                                   "webflow-logo", "bell.badge", "arrow.triangle.2.circlepath", "lock.shield"};
const QString followUpLine = "A remembered account now asks you to sign in again when this computer's cloud session "
                             "is missing, then resumes publishing setup automatically.";
const QString followUpSymbol = "person.crop.circle.badge.exclamationmark";

} // namespace

class ReleaseNotesTest : public QObject
{
    Q_OBJECT

private slots:
    void eachVersionHasItsLinesSymbolsAndHeadline_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<std::optional<QStringList>>("lines");
        QTest::addColumn<QStringList>("symbols");
        QTest::addColumn<std::optional<QString>>("headline");
        const std::optional<QString> scheduled = QString("Scheduled Publishing is here!");
        QTest::newRow("page status release")
            << "0.4.0"
            << std::optional<QStringList>({"New Page Status tab",
                                           "See queued and staged changes right in Webflow page names",
                                           "Draft pages stay unmarked",
                                           "Turn it on per project; shared sites never get duplicate markers",
                                           "Turning it off removes only markers Quorvane can prove it owns"})
            << QStringList{"tag", "webflow-logo", "doc.badge.minus", "person.2", "recycle-bin"}
            << std::optional<QString>("Page Status is here!");
        QTest::newRow("scheduled publishing release") << "0.3.0" << std::optional(scheduledLines) << scheduledSymbols
                                                      << scheduled;
        for (const char *followUp : {"0.3.1", "0.3.2"}) {
            QTest::newRow(followUp) << followUp << std::optional(QStringList(scheduledLines) << followUpLine)
                                    << (QStringList(scheduledSymbols) << followUpSymbol) << scheduled;
        }
        for (const char *unknown : {"0.4.1", "0.3.10", "v0.4.0", "0.4.0 ", "0.4", "dev", ""})
            QTest::newRow(qPrintable(QStringLiteral("not released: '%1'").arg(unknown)))
                << unknown << std::optional<QStringList>() << QStringList{} << std::optional<QString>();
    }

    void eachVersionHasItsLinesSymbolsAndHeadline()
    {
        QFETCH(QString, version);
        QFETCH(std::optional<QStringList>, lines);
        QFETCH(QStringList, symbols);
        QFETCH(std::optional<QString>, headline);
        QCOMPARE(ReleaseNotes::linesFor(version), lines);
        QCOMPARE(ReleaseNotes::symbolsFor(version), symbols);
        QCOMPARE(ReleaseNotes::headlineFor(version), headline);
    }

    void theSmallReleasesHaveOneToFourPlainLines_data()
    {
        QTest::addColumn<QString>("version");
        for (const char *version : {"0.2.25", "0.2.24", "0.2.23", "0.2.21", "0.2.20", "0.2.19", "0.2.18", "0.2.17",
                                    "0.2.14", "0.2.13", "0.2.12", "0.2.10", "0.2.9", "0.2.8", "0.2.7", "0.2.6"})
            QTest::newRow(version) << version;
    }

    void theSmallReleasesHaveOneToFourPlainLines()
    {
        QFETCH(QString, version);
        const std::optional<QStringList> lines = ReleaseNotes::linesFor(version);
        QVERIFY(lines);
        QVERIFY2(!lines->isEmpty() && lines->size() <= 4, qPrintable(lines->join(" | ")));
        for (const QString &line : *lines) {
            QVERIFY(!line.trimmed().isEmpty());
            QVERIFY2(!line.contains("Mac"), qPrintable(line));
        }
        QVERIFY(ReleaseNotes::symbolsFor(version).isEmpty());
        QVERIFY(!ReleaseNotes::headlineFor(version));
    }
};

QTEST_GUILESS_MAIN(ReleaseNotesTest)
#include "tst_ReleaseNotes.moc"
