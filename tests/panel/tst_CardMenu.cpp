// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/CardMenu.h"

#include <QTest>

using Action = CardMenu::Action;
using State = McpPill::State;

namespace {

// The menu written as its titles, "—" for a divider and a trailing "(off)" for a disabled entry.
QStringList titles(const QList<CardMenu::Entry> &entries)
{
    QStringList shown;
    for (const CardMenu::Entry &entry : entries) {
        if (entry.action == Action::divider)
            shown.append(QStringLiteral("—"));
        else
            shown.append(entry.title + (entry.enabled ? QString() : QStringLiteral(" (off)")));
    }
    return shown;
}

} // namespace

// The settings menu of a project card: its entries, dividers and read-only gating for the server's
// and the site's states.
class tst_CardMenu : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        QTest::addColumn<CardMenu::Input>("input");
        QTest::addColumn<QStringList>("menu");

        CardMenu::Input unregistered;
        QTest::newRow("unregistered, nothing published")
            << unregistered
            << QStringList{"Rename Project", "Rename MCP…", "—", "Connect MCP", "Connect Publishing", "—", "Remove Project"};

        CardMenu::Input live{true, true, State::live};
        QTest::newRow("live") << live
                              << QStringList{"Rename Project", "Rename MCP…", "—", "Re-auth MCP…", "Verify Site",
                                             "Connect Publishing", "—", "Unregister MCP", "—", "Remove Project"};
        CardMenu::Input liveChecking{true, true, State::pending};
        QTest::newRow("live while a check runs")
            << liveChecking
            << QStringList{"Rename Project", "Rename MCP…", "—", "Re-auth MCP…", "Verify Site", "Connect Publishing",
                           "—", "Unregister MCP", "—", "Remove Project"};
        CardMenu::Input pending{true, false, State::pending};
        QTest::newRow("pending") << pending
                                 << QStringList{"Rename Project", "Rename MCP…", "—", "Check MCP Status",
                                                "Connect Publishing", "—", "Unregister MCP", "—", "Remove Project"};
        for (const State state : {State::degraded, State::needsAuth, State::unavailable}) {
            CardMenu::Input troubled{true, false, state};
            QTest::addRow("state %d", int(state))
                << troubled
                << QStringList{"Rename Project", "Rename MCP…", "—", "Re-auth MCP…", "Connect Publishing", "—",
                               "Unregister MCP", "—", "Remove Project"};
        }

        CardMenu::Input published{true, true, State::live, true, false, false, true};
        QTest::newRow("publishing connected")
            << published
            << QStringList{"Rename Project", "Rename MCP…", "—", "Re-auth MCP…", "Verify Site", "Re-auth Publishing…",
                           "—", "Unregister MCP", "Disconnect Publishing", "—", "Remove Project"};
        CardMenu::Input publishedUnregistered{false, false, State::unregistered, true, false, false, true};
        QTest::newRow("publishing connected, no registration")
            << publishedUnregistered
            << QStringList{"Rename Project", "Rename MCP…", "—", "Connect MCP", "Re-auth Publishing…", "—",
                           "Disconnect Publishing", "—", "Remove Project"};
        CardMenu::Input revoking{false, false, State::unregistered, true, false, true, false};
        QTest::newRow("revocation pending")
            << revoking
            << QStringList{"Rename Project", "Rename MCP…", "—", "Connect MCP", "Finish Publishing Disconnect", "—",
                           "—", "Remove Project"};
        // A recovery anywhere wins over the site's own publishing state.
        CardMenu::Input recovering{false, false, State::unregistered, true, true, true, true};
        QTest::newRow("recovery attempts")
            << recovering
            << QStringList{"Rename Project", "Rename MCP…", "—", "Connect MCP", "Reset Publishing Connection", "—",
                           "Disconnect Publishing", "—", "Remove Project"};

        // A read-only store disables everything that touches the registry or the local files; the
        // publishing entries stay usable.
        CardMenu::Input readOnly{true, true, State::live, false, false, false, true};
        QTest::newRow("read-only")
            << readOnly
            << QStringList{"Rename Project (off)", "Rename MCP… (off)", "—", "Re-auth MCP… (off)", "Verify Site (off)",
                           "Re-auth Publishing…", "—", "Unregister MCP (off)", "Disconnect Publishing", "—",
                           "Remove Project (off)"};
        CardMenu::Input readOnlyUnregistered{false, false, State::unregistered, false};
        QTest::newRow("read-only, unregistered")
            << readOnlyUnregistered
            << QStringList{"Rename Project (off)", "Rename MCP… (off)", "—", "Connect MCP (off)", "Connect Publishing",
                           "—", "Remove Project (off)"};
        CardMenu::Input readOnlyPending{true, false, State::pending, false};
        QTest::newRow("read-only, pending")
            << readOnlyPending
            << QStringList{"Rename Project (off)", "Rename MCP… (off)", "—", "Check MCP Status (off)",
                           "Connect Publishing", "—", "Unregister MCP (off)", "—", "Remove Project (off)"};
    }

    void entries()
    {
        QFETCH(CardMenu::Input, input);
        QTEST(titles(CardMenu::entries(input)), "menu");
    }

    // Choices name what they do: the live and the troubled re-auth are different actions under
    // one title.
    void actionsAreDistinct()
    {
        const auto actionOf = [](const CardMenu::Input &input, qsizetype index) {
            return CardMenu::entries(input).at(index).action;
        };
        QCOMPARE(actionOf({true, true, State::live}, 3), Action::reauthLiveMCP);
        QCOMPARE(actionOf({true, false, State::needsAuth}, 3), Action::reauthMCP);
        QCOMPARE(actionOf({true, false, State::pending}, 3), Action::checkMCPStatus);
        QCOMPARE(actionOf({}, 3), Action::connectMCP);
    }
};

Q_DECLARE_METATYPE(CardMenu::Input)

QTEST_APPLESS_MAIN(tst_CardMenu)
#include "tst_CardMenu.moc"
