// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/TempHome.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QtEndian>
#include <QPoint>
#include <QRect>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <memory>

// The real application as a child process: it reports each showing and hiding of its panel on a
// logging category that is off unless asked for, so the test can watch the panel from outside.
class RunningApp
{
public:
    explicit RunningApp(QProcessEnvironment environment, const QString &binary = QStringLiteral(QUORVANE_BINARY))
    {
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("studio.velliscor.quorvane.panel.info=true"));
        environment.remove(QStringLiteral("QUORVANE_SMOKE"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process,
                         [this] { m_log += m_process.readAllStandardError(); });
        m_process.start(binary, {});
    }
    ~RunningApp()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    RunningApp(const RunningApp &) = delete;
    RunningApp &operator=(const RunningApp &) = delete;

    [[nodiscard]] const QByteArray &log() const { return m_log; }
    [[nodiscard]] bool isRunning() const { return m_process.state() == QProcess::Running; }
    [[nodiscard]] qsizetype showings() const { return m_log.count("panel shown"); }
    [[nodiscard]] qsizetype hidings() const { return m_log.count("panel hidden"); }
    [[nodiscard]] qsizetype trayClicks() const { return m_log.count("tray clicked"); }
    /// Where the panel was last shown, from its log line.
    [[nodiscard]] QPoint lastShownAt() const
    {
        const qsizetype at = m_log.lastIndexOf("panel shown at ");
        if (at < 0)
            return {};
        const QList<QByteArray> xy =
            m_log.mid(at + 15, m_log.indexOf('\n', at) - at - 15).trimmed().split(',');
        return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint();
    }

private:
    QProcess m_process;
    QByteArray m_log;
};

// A child the test owns for its whole run: an X server, a tray host.
class Helper
{
public:
    Helper(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        m_process.waitForStarted(10000);
    }
    ~Helper()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    Helper(const Helper &) = delete;
    Helper &operator=(const Helper &) = delete;

    [[nodiscard]] bool isRunning() const { return m_process.state() == QProcess::Running; }

private:
    QProcess m_process;
};

// Runs one X tool to its end and hands back what it printed.
static QByteArray runTool(const QProcessEnvironment &environment, const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// Grabs the whole X screen: xwd writes its header's 32-bit fields most significant byte first and
// the pixels as the server holds them. Null when the dump is not of the expected kind.
static QImage grabScreen(const QProcessEnvironment &environment)
{
    const QByteArray dump = runTool(environment, QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent")});
    if (dump.size() < 100)
        return {};
    const auto field = [&dump](int index) { return qFromBigEndian<quint32>(dump.constData() + 4 * index); };
    const quint32 headerSize = field(0), width = field(4), height = field(5), byteOrder = field(7),
                  bytesPerLine = field(12), colours = field(19);
    const qsizetype pixels = qsizetype(headerSize) + qsizetype(colours) * 12;
    // A 24-bit Xvfb screen keeps four bytes a pixel, least significant first.
    if (bytesPerLine != width * 4 || byteOrder != 0 || dump.size() < pixels + qsizetype(bytesPerLine) * height)
        return {};
    return QImage(reinterpret_cast<const uchar *>(dump.constData() + pixels), int(width), int(height),
                  int(bytesPerLine), QImage::Format_RGB32)
        .copy();
}

// The screen into a PNG beside the test.
static bool saveScreen(const QProcessEnvironment &environment, const QString &name)
{
    const QImage screen = grabScreen(environment);
    return !screen.isNull() && screen.save(QDir::current().filePath(name));
}

// A private X server for one test, on a display number of this process's own.
class XScreen
{
public:
    XScreen()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return;
        m_environment = QProcessEnvironment::systemEnvironment();
        const QString display = QStringLiteral(":%1").arg(90 + QCoreApplication::applicationPid() % 100);
        m_environment.insert(QStringLiteral("DISPLAY"), display);
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // xkbcommon hands strndup a keymap string that is not NUL-terminated within its length, which
        // the sanitizer's interceptor reads past; the library itself never does.
        const QString asan = m_environment.value(QStringLiteral("ASAN_OPTIONS"));
        m_environment.insert(QStringLiteral("ASAN_OPTIONS"),
                             (asan.isEmpty() ? QString() : asan + QLatin1Char(':')) + QStringLiteral("intercept_strndup=0"));
        m_server = std::make_unique<Helper>(xvfb,
                                            QStringList{display, QStringLiteral("-screen"), QStringLiteral("0"),
                                                        QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                                                        QStringLiteral("tcp")},
                                            m_environment);
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired() && m_server->isRunning()) {
            if (!run(QStringLiteral("xdotool"), {QStringLiteral("getdisplaygeometry")}).isEmpty()) {
                m_up = true;
                return;
            }
            QTest::qWait(50);
        }
    }

    [[nodiscard]] bool isUp() const { return m_up; }
    [[nodiscard]] const QProcessEnvironment &environment() const { return m_environment; }
    QByteArray run(const QString &program, const QStringList &arguments) const
    {
        return runTool(m_environment, program, arguments);
    }
    /// The mapped windows of a class, newest last.
    [[nodiscard]] QStringList windows(const QString &windowClass) const
    {
        QStringList ids;
        const QByteArray found = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                                 QStringLiteral("--class"), windowClass});
        for (const QByteArray &id : found.split('\n'))
            if (!id.trimmed().isEmpty())
                ids.append(QString::fromLatin1(id.trimmed()));
        return ids;
    }
    [[nodiscard]] QRect geometry(const QString &window) const
    {
        const QByteArray shell =
            run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        QHash<QByteArray, int> values;
        for (const QByteArray &line : shell.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() == 2)
                values.insert(pair[0], pair[1].toInt());
        }
        return {values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT")};
    }
    /// The docked tray icon: the application's smallest mapped window (the panel is far larger).
    [[nodiscard]] QRect trayIcon() const
    {
        QRect icon;
        for (const QString &window : windows(QStringLiteral("quorvane"))) {
            const QRect rect = geometry(window);
            if (rect.isValid() && rect.width() < 100 && (!icon.isValid() || rect.width() < icon.width()))
                icon = rect;
        }
        return icon;
    }
    void click(QPoint at) const
    {
        run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                                        QStringLiteral("click"), QStringLiteral("1")});
    }
    /// Whether the screen shows something other than the bare black root at `at`: the panel has
    /// been drawn there.
    [[nodiscard]] bool drawnAt(QPoint at) const
    {
        const QImage screen = grabScreen(m_environment);
        return !screen.isNull() && screen.pixelColor(at) != QColor(Qt::black);
    }

private:
    QProcessEnvironment m_environment;
    std::unique_ptr<Helper> m_server;
    bool m_up = false;
};

class tst_PanelEntry : public QObject
{
    Q_OBJECT

private:
    static void sendToggle(const QString &route)
    {
        if (route == QLatin1String("signal")) {
            // Any sender on any path toggles, not only the one `--toggle` uses.
            QDBusMessage signal = QDBusMessage::createSignal(
                QStringLiteral("/elsewhere"), QStringLiteral("studio.velliscor.tsvn"), QStringLiteral("toggle"));
            QVERIFY(QDBusConnection::sessionBus().send(signal));
            return;
        }
        QProcess command;
        command.start(QStringLiteral(QUORVANE_BINARY), {QStringLiteral("--toggle")});
        QVERIFY(command.waitForFinished(60000));
        QVERIFY2(command.exitCode() == 0, command.readAllStandardError().constData());
    }

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus: run under scripts/with-test-session");
    }

    void eachToggleFlipsThePanel_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("bus signal") << QStringLiteral("signal");
        QTest::newRow("quorvane --toggle") << QStringLiteral("command");
    }

    void eachToggleFlipsThePanel()
    {
        QFETCH(QString, route);
        TempHome home;
        RunningApp app(QProcessEnvironment::systemEnvironment());
        // Without a tray host the panel comes up at once as an ordinary window.
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 1, app.log().constData(), 60000);

        sendToggle(route);
        QTRY_VERIFY2_WITH_TIMEOUT(app.hidings() == 1, app.log().constData(), 30000);
        QCOMPARE(app.showings(), 1);

        sendToggle(route);
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 2, app.log().constData(), 30000);
        QCOMPARE(app.hidings(), 1);
        QVERIFY2(app.isRunning(), app.log().constData());
    }

    void withoutABusTheAppRunsAndSaysSo()
    {
        TempHome home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=%1").arg(home.filePath(QStringLiteral("no-bus"))));
        RunningApp app(environment);
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 1, app.log().constData(), 60000);
        QTRY_VERIFY2_WITH_TIMEOUT(app.log().contains("no session bus"), app.log().constData(), 30000);
        // Still up once its event loop has turned: nothing that needed the bus brought it down.
        QTRY_VERIFY2_WITH_TIMEOUT(app.log().contains("running"), app.log().constData(), 30000);
        QVERIFY2(app.isRunning(), app.log().constData());
    }

    // Without a tray host the panel is an ordinary window on a real X server, shown at once.
    void withoutATrayThePanelIsAWindow()
    {
        const XScreen screen;
        if (!screen.isUp())
            QSKIP("needs Xvfb and xdotool (scripts/install-deps installs them)");
        TempHome home;
        RunningApp app(screen.environment());
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 1, app.log().constData(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!screen.windows(QStringLiteral("quorvane")).isEmpty(), 30000);
        const QRect panel = screen.geometry(screen.windows(QStringLiteral("quorvane")).constLast());
        QTRY_VERIFY_WITH_TIMEOUT(screen.drawnAt(panel.center()), 30000);
        QVERIFY(saveScreen(screen.environment(), QStringLiteral("panel-without-tray.png")));
    }

    void trayClickOpensThePanelAtTheIcon_data()
    {
        QTest::addColumn<QString>("close");
        QTest::newRow("a second click on the icon") << QStringLiteral("click");
        QTest::newRow("the focus moves elsewhere") << QStringLiteral("focus");
        QTest::newRow("the icon's click moves the focus away") << QStringLiteral("focus and click");
    }

    // A real X server with a real XEmbed tray host: the icon docks and a click on it brings the
    // panel up at the icon. A second click takes it away, and so does a click elsewhere; the click
    // on the icon that took the focus away does not bring it straight back.
    void trayClickOpensThePanelAtTheIcon()
    {
        QFETCH(QString, close);
        const XScreen screen;
        const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        const QString xlogo = QStandardPaths::findExecutable(QStringLiteral("xlogo"));
        if (!screen.isUp() || trayer.isEmpty() || xlogo.isEmpty())
            QSKIP("needs Xvfb, trayer, xlogo and xdotool (scripts/install-deps installs them)");
        const QProcessEnvironment environment = screen.environment();
        TempHome home;
        const Helper tray(trayer, trayerArguments(), environment);
        // Another application's window, to take the focus as a click on it would under a window
        // manager (without one, X moves the focus only when a client asks).
        const Helper elsewhere(xlogo, {QStringLiteral("-geometry"), QStringLiteral("100x100+20+600")}, environment);
        QString other;
        QTRY_VERIFY_WITH_TIMEOUT(!(other = screen.windows(QStringLiteral("xlogo")).value(0)).isEmpty(), 30000);

        RunningApp app(environment);
        // The docked icon is the application's only mapped window while the panel is closed.
        QRect icon;
        QTRY_VERIFY_WITH_TIMEOUT((icon = screen.trayIcon()).isValid(), 30000);
        QCOMPARE(app.showings(), 0);

        screen.click(icon.center());
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 1, app.log().constData(), 30000);
        // Below a tray at the top, and across the icon's column.
        const QPoint at = app.lastShownAt();
        QVERIFY2(at.y() >= icon.bottom(), app.log().constData());
        QVERIFY2(at.x() <= icon.center().x() && at.x() + 420 >= icon.center().x(), app.log().constData());
        QVERIFY(saveScreen(environment, QStringLiteral("panel-at-tray.png")));

        const QString xdotool = QStringLiteral("xdotool");
        const QPoint aside = besideTheFirstClick(icon);
        if (close == QLatin1String("click")) {
            screen.click(aside);
        } else if (close == QLatin1String("focus")) {
            screen.run(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), other});
        } else {
            // Both in one go, as a window manager delivers a click on the icon.
            screen.run(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), other,
                                 QStringLiteral("mousemove"), QString::number(aside.x()),
                                 QString::number(aside.y()), QStringLiteral("click"), QStringLiteral("1")});
        }
        QTRY_VERIFY2_WITH_TIMEOUT(app.hidings() == 1, app.log().constData(), 30000);
        if (close != QLatin1String("focus"))
            QTRY_VERIFY2_WITH_TIMEOUT(app.trayClicks() == 2, app.log().constData(), 30000);
        QCOMPARE(app.showings(), 1);
        QVERIFY2(app.isRunning(), app.log().constData());
    }

    // A tray host that starts after the application: the icon docks into it, the ordinary window
    // closes, and from then on the panel is the tray's: it opens at the icon and closes by clicks.
    void aTrayThatComesLaterTakesThePanel()
    {
        const XScreen screen;
        const QString trayer = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        if (!screen.isUp() || trayer.isEmpty())
            QSKIP("needs Xvfb, trayer and xdotool (scripts/install-deps installs them)");
        TempHome home;
        RunningApp app(screen.environment());
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 1, app.log().constData(), 60000);
        QVERIFY(!screen.trayIcon().isValid());

        const Helper tray(trayer, trayerArguments(), screen.environment());
        QTRY_VERIFY2_WITH_TIMEOUT(app.log().contains("tray appeared"), app.log().constData(), 30000);
        QTRY_VERIFY2_WITH_TIMEOUT(app.hidings() == 1, app.log().constData(), 30000);
        QRect icon;
        QTRY_VERIFY_WITH_TIMEOUT((icon = screen.trayIcon()).isValid(), 30000);

        screen.click(icon.center());
        QTRY_VERIFY2_WITH_TIMEOUT(app.showings() == 2, app.log().constData(), 30000);
        QVERIFY2(app.lastShownAt().y() >= icon.bottom(), app.log().constData());
        screen.click(besideTheFirstClick(icon));
        QTRY_VERIFY2_WITH_TIMEOUT(app.hidings() == 2, app.log().constData(), 30000);
        QCOMPARE(app.showings(), 2);
        QVERIFY2(app.isRunning(), app.log().constData());
    }

private:
    /// Still on the icon, but far enough from its centre that the toolkit does not take a click
    /// here right after one there for a double-click, which does not toggle.
    static QPoint besideTheFirstClick(const QRect &icon) { return icon.center() + QPoint(icon.width() / 4 + 1, 0); }

    static QStringList trayerArguments()
    {
        return {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"), QStringLiteral("right"),
                QStringLiteral("--widthtype"), QStringLiteral("request")};
    }
};

QTEST_GUILESS_MAIN(tst_PanelEntry)
#include "tst_PanelEntry.moc"
