// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "scheduling/PublishHistoryPresenter.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace PublishHistoryRules;
using State = ScheduleStore::HistoryState;
using Colour = PublishOutcomeBadge::Colour;

// The publish history's decisions: what shows below the header, the outcome badges, the failure
// line and the featured outcome.
class tst_PublishHistoryRules : public QObject
{
    Q_OBJECT

private slots:
    void content_data()
    {
        QTest::addColumn<bool>("hasRecords");
        QTest::addColumn<State>("state");
        QTest::addColumn<Content>("content");
        for (State state : {State::Idle, State::Loading, State::Loaded, State::Failed})
            QTest::addRow("records stay while %d", int(state)) << true << state << Content::Cards;
        QTest::newRow("never loaded") << false << State::Idle << Content::Loading;
        QTest::newRow("loading") << false << State::Loading << Content::Loading;
        QTest::newRow("loaded, nothing ran") << false << State::Loaded << Content::Empty;
        QTest::newRow("failed") << false << State::Failed << Content::Failed;
    }

    void content()
    {
        QFETCH(bool, hasRecords);
        QFETCH(State, state);
        QFETCH(Content, content);
        QCOMPARE(PublishHistoryRules::content(hasRecords, state), content);
    }

    void badgesAndFailureLines_data()
    {
        QTest::addColumn<PublishRecord::Outcome>("outcome");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Colour>("colour");
        QTest::addColumn<bool>("showsFailure");
        QTest::newRow("published") << PublishRecord::Outcome::Published << u"Published"_s << Colour::Green << false;
        QTest::newRow("failed") << PublishRecord::Outcome::Failed << u"Failed"_s << Colour::Red << true;
        QTest::newRow("skipped: drift") << PublishRecord::Outcome::SkippedDrift << u"Skipped"_s << Colour::Orange << true;
        QTest::newRow("skipped: targets") << PublishRecord::Outcome::SkippedTargetsChanged << u"Skipped"_s
                                          << Colour::Orange << true;
    }

    void badgesAndFailureLines()
    {
        QFETCH(PublishRecord::Outcome, outcome);
        QFETCH(QString, text);
        QFETCH(Colour, colour);
        QFETCH(bool, showsFailure);
        QCOMPARE(badge(outcome), (PublishOutcomeBadge{text, colour}));
        PublishRecord record;
        record.outcome = outcome;
        record.failure = u"The site is locked."_s;
        QCOMPARE(failureLine(record).has_value(), showsFailure);
        record.failure.reset();
        QVERIFY(!failureLine(record));
    }

    void focusedItem_data()
    {
        QTest::addColumn<std::optional<QUuid>>("focus");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        const QUuid inInbox = QUuid::fromString(u"6f1c2a9e-0d3b-4c5a-8e7f-112233445566"_s);
        QTest::newRow("published") << std::optional(inInbox) << u"published"_s << u"Published"_s;
        QTest::newRow("other letter case") << std::optional(inInbox) << u"Published"_s << u"Publish outcome"_s;
        QTest::newRow("failed") << std::optional(inInbox) << u"failed"_s << u"Publish outcome"_s;
        QTest::newRow("not in the inbox") << std::optional(QUuid::createUuid()) << u"published"_s << QString();
        QTest::newRow("no focus") << std::optional<QUuid>() << u"published"_s << QString();
    }

    void focusedItem()
    {
        QFETCH(std::optional<QUuid>, focus);
        QFETCH(QString, kind);
        QFETCH(QString, title);
        const QUuid inInbox = QUuid::fromString(u"6f1c2a9e-0d3b-4c5a-8e7f-112233445566"_s);
        const QList<PublishAttention> inbox{{QUuid::createUuid(), u"published"_s, u"Other"_s, {}},
                                            {inInbox, kind, u"The one"_s, {}}};
        const auto item = PublishHistoryRules::focusedItem(inbox, focus);
        QCOMPARE(item.has_value(), !title.isEmpty());
        if (item) {
            QCOMPARE(item->message, u"The one"_s);
            QCOMPARE(focusedTitle(*item), title);
        }
    }
};

QTEST_GUILESS_MAIN(tst_PublishHistoryRules)
#include "tst_PublishHistoryRules.moc"
