// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "app/ReportViews.h"

#include <QTest>

using namespace Qt::StringLiterals;
using State = ErrorLog::ReportState;

// The report status line and the load-error notice for each state of the error-report sender.
class tst_ReportViews : public QObject
{
    Q_OBJECT

private slots:
    void statusLine_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<ReportStatusLine>("line");
        // Idle is absent altogether: never an empty row.
        QTest::newRow("idle") << State::Idle << ReportStatusLine{};
        QTest::newRow("sending") << State::Sending
                                 << ReportStatusLine{true, u"Sending report…"_s, true, QString(), false, false};
        QTest::newRow("sent") << State::Sent
                              << ReportStatusLine{true, u"Report sent, thank you."_s, false,
                                                  u"checkmark.circle.fill"_s, true, false};
        QTest::newRow("failed") << State::Failed
                                << ReportStatusLine{true, u"Couldn't send the report. Try again from the ⋯ menu."_s,
                                                    false, u"xmark.circle"_s, false, true};
    }

    void statusLine()
    {
        QFETCH(State, state);
        QFETCH(ReportStatusLine, line);
        QCOMPARE(ReportStatusLine::of(state), line);
        QCOMPARE(ReportViews::statusLine(int(state)), line);
    }

    // The button follows the sender as the kit's report button does everywhere; only a build
    // without a gateway leaves it out.
    void loadErrorNotice_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<State>("state");
        QTest::newRow("no gateway: the sentence alone") << false << State::Idle;
        QTest::newRow("ready") << true << State::Idle;
        QTest::newRow("sending") << true << State::Sending;
        QTest::newRow("failed") << true << State::Failed;
    }

    void loadErrorNotice()
    {
        QFETCH(bool, available);
        QFETCH(State, state);
        const LoadErrorNoticeLook look = ReportViews::loadErrorNotice(available, int(state));
        QCOMPARE(look.showsReportButton, available);
        QCOMPARE(look.report, ReportButtonLabel::of(state));
    }
};

QTEST_GUILESS_MAIN(tst_ReportViews)
#include "tst_ReportViews.moc"
