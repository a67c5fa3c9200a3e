// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "panel/McpPill.h"
#include "panel/SchedulePill.h"
#include "panel/TagStyle.h"

#include <QTest>

using Status = std::optional<ConnectionStatus>;
using State = McpPill::State;
using Press = McpPill::Press;

Q_DECLARE_METATYPE(Status)

// The project card's two pills: the MCP pill for every status under every condition the model
// can add (still loading, a check in flight, busy), and the schedule pill with its access states.
class tst_McpPill : public QObject
{
    Q_OBJECT

private slots:
    void statusPill_data()
    {
        QTest::addColumn<Status>("status");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("checkInFlight");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<State>("state");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("hoverIcon");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<bool>("brand");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Press>("press");

        struct Base
        {
            const char *name;
            Status status;
            State state;
            const char *label;
            const char *icon;
            const char *hoverIcon;
            bool warning;
            bool brand;
        };
        // The pill of each status when nothing else is going on.
        const Base bases[] = {
            {"unregistered", std::nullopt, State::unregistered, "Connect to Claude", "link", "", false, false},
            {"checking", ConnectionStatus::checking, State::pending, "", "circle.dotted", "", false, false},
            {"connected", ConnectionStatus::connected, State::live, "MCP Live", "circle.fill", "doc.on.doc", false, true},
            {"degraded", ConnectionStatus::degraded, State::degraded, "MCP degraded", "link", "", true, false},
            {"needsAuth", ConnectionStatus::needsAuth, State::needsAuth, "MCP needs auth", "link", "", true, false},
            {"missing", ConnectionStatus::missing, State::pending, "", "circle.dotted", "", false, false},
            {"failed", ConnectionStatus::failed, State::unavailable, "MCP unavailable", "link", "", true, false},
            {"timedOut", ConnectionStatus::timedOut, State::pending, "", "circle.dotted", "", false, false},
            {"unknown", ConnectionStatus::unknown, State::pending, "", "circle.dotted", "", false, false},
        };
        for (const Base &base : bases) {
            const bool pending = base.state == State::pending;
            // A status that is itself a running check cannot start a connect; every other
            // pending status can, and so can every settled one.
            const Press idlePress = base.status == ConnectionStatus::checking ? Press::nothing
                : base.status == ConnectionStatus::connected                ? Press::copy
                                                                            : Press::connect;
            QTest::addRow("%s idle", base.name)
                << base.status << false << false << false << base.state << base.label << base.icon << base.hoverIcon
                << base.warning << base.brand << (base.status != ConnectionStatus::checking) << idlePress;
            // While the model has not read the registry, or the server's check runs, every card
            // waits with dots, whatever the last status was.
            QTest::addRow("%s loading", base.name) << base.status << true << false << false << State::pending << ""
                                                   << "circle.dotted" << "" << false << false << false << Press::nothing;
            QTest::addRow("%s check in flight", base.name)
                << base.status << false << true << false << State::pending << "" << "circle.dotted" << "" << false << false
                << false << Press::nothing;
            QTest::addRow("%s busy", base.name)
                << base.status << false << false << true << base.state << (pending ? "" : base.label) << base.icon
                << base.hoverIcon << base.warning << base.brand << false << Press::nothing;
        }
    }

    void statusPill()
    {
        QFETCH(Status, status);
        QFETCH(bool, loading);
        QFETCH(bool, checkInFlight);
        QFETCH(bool, busy);
        const McpPill::Input input{status, loading, checkInFlight, busy, false};
        const McpPill pill = McpPill::of(input);
        QTEST(pill.state, "state");
        QTEST(pill.label, "label");
        QTEST(pill.icon, "icon");
        QTEST(pill.hoverIcon, "hoverIcon");
        QTEST(pill.warning, "warning");
        QTEST(pill.prominentBrand, "brand");
        QTEST(pill.enabled, "enabled");
        QTEST(McpPill::pressOf(input), "press");
        const bool pending = pill.state == State::pending;
        QCOMPARE(pill.dots, pending);
        QCOMPARE(pill.opacity, pending ? 0.55 : 1.0);
        QCOMPARE(pill.help, pending ? QStringLiteral("Checking whether this registered MCP is live") : QString());
    }

    // "Copied!" replaces the live label with its check mark and no hover icon; a copy that is
    // still showing when the server stops being live does not keep the live look.
    void copiedPill_data()
    {
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("hoverIcon");
        QTest::addColumn<bool>("brand");
        QTest::newRow("live") << Status(ConnectionStatus::connected) << "Copied!" << "checkmark.circle" << "" << true;
        QTest::newRow("now needs auth") << Status(ConnectionStatus::needsAuth) << "Copied!" << "link" << "" << false;
    }

    void copiedPill()
    {
        QFETCH(Status, status);
        const McpPill pill = McpPill::of({status, false, false, false, true});
        QTEST(pill.label, "label");
        QTEST(pill.icon, "icon");
        QTEST(pill.hoverIcon, "hoverIcon");
        QTEST(pill.prominentBrand, "brand");
    }

    void copyText()
    {
        QCOMPARE(McpPill::copyText("webflow-acme", "Acme"),
                 QStringLiteral("Use the webflow-acme Webflow MCP server to work on Acme."));
    }

    void schedulePill_data()
    {
        QTest::addColumn<std::optional<QString>>("time");
        QTest::addColumn<bool>("settled");
        QTest::addColumn<bool>("access");
        QTest::addColumn<bool>("loadedOnce");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("brand");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<bool>("dots");
        QTest::addColumn<QString>("accessibility");
        const std::optional<QString> none;
        const std::optional<QString> time = QStringLiteral("Mar 4 · 9:30 AM");
        QTest::newRow("nothing queued") << none << true << false << true << "clock" << "Schedule Publish" << false
                                        << false << false << "Schedule Publish";
        QTest::newRow("nothing queued, access unknown") << none << false << false << false << "clock"
                                                        << "Schedule Publish" << false << false << false
                                                        << "Schedule Publish";
        QTest::newRow("queued with access") << time << true << true << true << "clock" << *time << true << false
                                            << false << "Scheduled Mar 4 · 9:30 AM";
        QTest::newRow("queued, access missing") << time << true << false << true << "exclamationmark.triangle.fill"
                                                 << *time << false << true << false << "Scheduled Mar 4 · 9:30 AM";
        QTest::newRow("queued, access not loaded yet") << time << false << false << false << "clock" << *time << true
                                                       << false << true << "Scheduled Mar 4 · 9:30 AM";
        QTest::newRow("queued, store checking again") << time << false << false << true << "clock" << *time << true
                                                      << false << false << "Scheduled Mar 4 · 9:30 AM";
    }

    void schedulePill()
    {
        QFETCH(std::optional<QString>, time);
        QFETCH(bool, settled);
        QFETCH(bool, access);
        QFETCH(bool, loadedOnce);
        const SchedulePill pill = SchedulePill::of({time, settled, access, loadedOnce});
        QTEST(pill.icon, "icon");
        QTEST(pill.label, "label");
        QTEST(pill.prominentBrand, "brand");
        QTEST(pill.warning, "warning");
        QTEST(pill.publishingMissing, "warning");
        QTEST(pill.dots, "dots");
        QTEST(pill.accessibilityLabel, "accessibility");
        QCOMPARE(pill.sizingLabels, time ? QStringList{*time} : QStringList());
    }

    // The pills' colours: a warning wins over the brand look, and the capsule deepens under the
    // pointer by its own opacity step.
    void tagColours_data()
    {
        QTest::addColumn<bool>("warning");
        QTest::addColumn<bool>("brand");
        QTest::addColumn<KitPalette::Scheme>("scheme");
        QTest::addColumn<QColor>("foreground");
        QTest::addColumn<QColor>("resting");
        QTest::addColumn<QColor>("hovered");
        const auto light = KitPalette::Scheme::Light;
        const auto dark = KitPalette::Scheme::Dark;
        const QColor orangeLight = QColor::fromRgbF(1.0f, 0.584f, 0.0f);
        QTest::newRow("warning beats brand") << true << true << light << orangeLight
                                             << KitPalette::faded(orangeLight, 0.2) << KitPalette::faded(orangeLight, 0.3);
        QTest::newRow("brand light") << false << true << light << QColor::fromRgbF(0.33f, 0.18f, 0.78f)
                                     << QColor::fromRgbF(0.41f, 0.26f, 0.84f, 0.18f)
                                     << QColor::fromRgbF(0.41f, 0.26f, 0.84f, 0.26f);
        QTest::newRow("brand dark") << false << true << dark << QColor::fromRgbF(0.85f, 0.79f, 1.0f)
                                    << QColor::fromRgbF(0.59f, 0.48f, 0.94f, 0.18f)
                                    << QColor::fromRgbF(0.59f, 0.48f, 0.94f, 0.26f);
        QTest::newRow("neutral light") << false << false << light << QColor::fromRgbF(0, 0, 0, 0.75f)
                                       << QColor::fromRgbF(0, 0, 0, 0.75f * 0.08f)
                                       << QColor::fromRgbF(0, 0, 0, 0.75f * 0.14f);
        QTest::newRow("neutral dark") << false << false << dark << QColor::fromRgbF(1, 1, 1, 0.88f)
                                      << QColor::fromRgbF(1, 1, 1, 0.88f * 0.08f)
                                      << QColor::fromRgbF(1, 1, 1, 0.88f * 0.14f);
    }

    void tagColours()
    {
        QFETCH(bool, warning);
        QFETCH(bool, brand);
        QFETCH(KitPalette::Scheme, scheme);
        const auto same = [](const QColor &a, const QColor &b) {
            return qAbs(a.redF() - b.redF()) < 0.01 && qAbs(a.greenF() - b.greenF()) < 0.01
                && qAbs(a.blueF() - b.blueF()) < 0.01 && qAbs(a.alphaF() - b.alphaF()) < 0.01;
        };
        QFETCH(QColor, foreground);
        QFETCH(QColor, resting);
        QFETCH(QColor, hovered);
        QVERIFY(same(TagStyle::foreground(warning, brand, scheme), foreground));
        QVERIFY(same(TagStyle::background(warning, brand, false, scheme), resting));
        QVERIFY(same(TagStyle::background(warning, brand, true, scheme), hovered));
    }
};

QTEST_APPLESS_MAIN(tst_McpPill)
#include "tst_McpPill.moc"
