// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "kit/IconLoader.h"
#include "platform/AppInfo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

/// One icon name written in a QML file.
struct IconUse
{
    QString name;
    bool large = false; ///< looked up among the large drawings
    int line = 0;

    friend bool operator==(const IconUse &, const IconUse &) = default;
};

// The components that take a large drawing's name, and the property that carries it.
bool namesLargeIcon(const QString &type, const QString &property)
{
    return (property == "name"_L1 && (type == "LargeIcon"_L1 || type == "DialogIcon"_L1))
        || (property == "icon"_L1 && type == "EmptyState"_L1);
}

// The micro icons: every `symbol` (the kit's name for a micro icon's name throughout), and the
// `name` of the micro icon itself.
bool namesMicroIcon(const QString &type, const QString &property)
{
    return property == "symbol"_L1 || property == "onSymbol"_L1 || property == "offSymbol"_L1
        || property == "hoverSymbol"_L1 || (property == "name"_L1 && type == "MicroIcon"_L1);
}

/**
 * The icon names a QML text writes as string literals: the literals of the value given to an
 * icon-naming property (both branches of a condition count), with the component that receives
 * it found by following the braces. Names computed elsewhere (C++ tables) are checked with
 * their tables.
 */
QList<IconUse> iconUses(const QString &qml)
{
    QList<IconUse> uses;
    QStringList types; // the enclosing blocks; empty for a block that is not a component
    static const QRegularExpression literal(u"\"((?:[^\"\\\\]|\\\\.)*)\"|'((?:[^'\\\\]|\\\\.)*)'"_s);
    static const QRegularExpression property(u"([a-zA-Z]\\w*)\\s*:(?!:)"_s);
    static const QRegularExpression typeBeforeBrace(u"((?:[A-Z]\\w*\\.)*[A-Z]\\w*)\\s*$"_s);
    bool inComment = false;
    const QStringList lines = qml.split(u'\n');
    for (int index = 0; index < lines.size(); ++index) {
        const QString &text = lines.at(index);
        // The line with comments out and the insides of strings blanked, character for character,
        // so that braces and colons in texts count for nothing.
        QString code;
        bool inString = false;
        QChar quote;
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
            if (inComment) {
                if (c == u'*' && next == u'/') {
                    inComment = false;
                    code += u"  "_s;
                    ++i;
                } else {
                    code += u' ';
                }
                continue;
            }
            if (inString) {
                if (c == u'\\' && i + 1 < text.size()) {
                    code += u"__"_s;
                    ++i;
                    continue;
                }
                if (c == quote)
                    inString = false;
                code += u'_';
                continue;
            }
            if (c == u'/' && next == u'/')
                break;
            if (c == u'/' && next == u'*') {
                inComment = true;
                code += u"  "_s;
                ++i;
                continue;
            }
            if (c == u'"' || c == u'\'') {
                inString = true;
                quote = c;
            }
            code += c;
        }

        for (int i = 0; i < code.size(); ++i) {
            const QChar c = code.at(i);
            if (c == u'{') {
                // A component's block when the brace follows a type name, and not a call's
                // argument or a `new`.
                const QRegularExpressionMatch type = typeBeforeBrace.match(code.left(i));
                const QString before = type.hasMatch() ? code.left(type.capturedStart()).trimmed() : QString();
                const bool component = type.hasMatch() && !before.endsWith(u"new"_s);
                types.append(component ? type.captured(1).section(u'.', -1) : QString());
                continue;
            }
            if (c == u'}') {
                if (!types.isEmpty())
                    types.removeLast();
                continue;
            }
            const bool startsWord = c.isLetter() && (i == 0 || !(code.at(i - 1).isLetterOrNumber()
                                                                  || code.at(i - 1) == u'_' || code.at(i - 1) == u'.'));
            if (!startsWord)
                continue;
            const QRegularExpressionMatch assigned =
                property.match(code, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (!assigned.hasMatch())
                continue;
            const QString type = types.isEmpty() ? QString() : types.constLast();
            const QString name = assigned.captured(1);
            const bool large = namesLargeIcon(type, name);
            if (!large && !namesMicroIcon(type, name))
                continue;
            // The value runs to the end of its statement: a semicolon, a comma or a closing
            // bracket of the level it started on, or the end of the line.
            int end = int(assigned.capturedEnd());
            for (int depth = 0; end < code.size(); ++end) {
                const QChar v = code.at(end);
                if (v == u'(' || v == u'[' || v == u'{')
                    ++depth;
                else if ((v == u')' || v == u']' || v == u'}') && depth-- == 0)
                    break;
                else if ((v == u';' || v == u',') && depth == 0)
                    break;
            }
            const QString value = text.mid(assigned.capturedEnd(), end - assigned.capturedEnd());
            QRegularExpressionMatchIterator strings = literal.globalMatch(value);
            while (strings.hasNext()) {
                const QRegularExpressionMatch found = strings.next();
                const QString icon = found.captured(1).isNull() ? found.captured(2) : found.captured(1);
                // An empty name draws nothing on purpose.
                if (!icon.isEmpty())
                    uses.append({icon, large, index + 1});
            }
            i = int(assigned.capturedEnd()) - 1;
        }
    }
    return uses;
}

} // namespace

Q_DECLARE_METATYPE(QList<IconUse>)

// Every icon a QML file of the application names by a literal is a drawing of the bundle the
// application ships, so no view draws an empty square where its icon should be.
class tst_IconNames : public QObject
{
    Q_OBJECT

private slots:
    void scanner_data()
    {
        QTest::addColumn<QString>("qml");
        QTest::addColumn<QList<IconUse>>("uses");

        QTest::newRow("micro icon, nested")
            << u"Item {\n    MicroIcon {\n        symbol: \"ladybug\"\n        name: \"ignored\"\n    }\n}\n"_s
            << QList<IconUse>{{u"ladybug"_s, false, 3}, {u"ignored"_s, false, 4}};
        QTest::newRow("both branches of a condition")
            << u"PillButton {\n    symbol: busy ? \"clock\" : 'checkmark'\n}\n"_s
            << QList<IconUse>{{u"clock"_s, false, 2}, {u"checkmark"_s, false, 2}};
        QTest::newRow("large drawings by their component")
            << u"Column {\n    EmptyState { icon: \"cloud-off\" }\n    DialogIcon {\n        name: \"mail-send\"\n    }\n    Kit.LargeIcon { name: \"padlock\" }\n}\n"_s
            << QList<IconUse>{{u"cloud-off"_s, true, 2}, {u"mail-send"_s, true, 4}, {u"padlock"_s, true, 6}};
        QTest::newRow("a name outside an icon, comments, bindings")
            << u"Item {\n    objectName: \"name\"\n    Text { property string name: \"x\" }\n    // symbol: \"gone\"\n    /* symbol: \"gone\" */\n    Accessible.name: \"More\"\n    symbol: root.symbol\n    symbol: \"\"\n}\n"_s
            << QList<IconUse>{};
        QTest::newRow("a name after a closed icon block is not its")
            << u"Item {\n    LargeIcon {\n        size: 44\n    }\n    name: \"not-an-icon\"\n    Repeater { delegate: MicroIcon { symbol: \"xmark\" } }\n}\n"_s
            << QList<IconUse>{{u"xmark"_s, false, 6}};
    }

    void scanner()
    {
        QFETCH(QString, qml);
        QFETCH(QList<IconUse>, uses);
        QCOMPARE(iconUses(qml), uses);
    }

    void everyNameResolves()
    {
        IconLoader icons(resourceBundle().directory());
        const QString sources = QStringLiteral(QUORVANE_SOURCE_DIR);
        const QStringList folders = QStringLiteral(QUORVANE_VIEW_FOLDERS).split(u',', Qt::SkipEmptyParts);
        QVERIFY(!folders.isEmpty());

        QStringList missing;
        QStringList scanned;
        for (const QString &folder : folders) {
            QDirIterator files(sources + u'/' + folder, {u"*.qml"_s}, QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString path = files.next();
                scanned.append(QDir(sources).relativeFilePath(path));
                QFile file(path);
                QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
                for (const IconUse &use : iconUses(QString::fromUtf8(file.readAll()))) {
                    const bool found = use.large ? icons.largeIcon(use.name).has_value()
                                                 : icons.microIcon(use.name).has_value();
                    if (!found)
                        missing.append(u"%1:%2: %3"_s.arg(QDir(sources).relativeFilePath(path)).arg(use.line).arg(use.name));
                }
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(u"icons not in the bundle:\n"_s + missing.join(u'\n')));

        // A QML file in a folder the build does not list as a view folder would escape the check.
        QDirIterator all(sources, {u"*.qml"_s}, QDir::Files, QDirIterator::Subdirectories);
        while (all.hasNext()) {
            const QString path = QDir(sources).relativeFilePath(all.next());
            QVERIFY2(scanned.contains(path), qPrintable(path));
        }
    }
};

QTEST_MAIN(tst_IconNames)
#include "tst_IconNames.moc"
