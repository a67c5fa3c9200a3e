// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/ReportButtonLabel.h"

#include <QTest>

using State = ErrorLog::ReportState;

class tst_ReportButtonLabel : public QObject
{
    Q_OBJECT

private slots:
    void label_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("pressable");
        QTest::newRow("idle") << State::Idle << "Report to Developer" << "" << false << true;
        QTest::newRow("sending") << State::Sending << "Sending…" << "" << true << false;
        QTest::newRow("sent") << State::Sent << "Sent, thank you" << "checkmark" << false << false;
        QTest::newRow("failed") << State::Failed << "Couldn't send, retry" << "" << false << true;
    }

    void label()
    {
        QFETCH(State, state);
        QFETCH(QString, text);
        QFETCH(QString, symbol);
        QFETCH(bool, busy);
        QFETCH(bool, pressable);
        const ReportButtonLabel label = ReportButtonLabel::of(state);
        QCOMPARE(label.text, text);
        QCOMPARE(label.symbol, symbol);
        QCOMPARE(label.busy, busy);
        QCOMPARE(label.pressable, pressable);
    }
};

QTEST_GUILESS_MAIN(tst_ReportButtonLabel)
#include "tst_ReportButtonLabel.moc"
