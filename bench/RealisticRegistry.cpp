// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "RealisticRegistry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace RealisticRegistry {

namespace {

/// Writes JSON text as Claude Code does (two spaces a level, keys in the order given), so that the
/// parser sees the whitespace and key order of a real file rather than Qt's own layout.
class Writer
{
public:
    QByteArray text;

    void open(char bracket)
    {
        text += bracket;
        ++m_depth;
        m_first = true;
    }
    void close(char bracket)
    {
        --m_depth;
        if (!m_first)
            newline();
        text += bracket;
        m_first = false;
    }
    void key(const QString &name)
    {
        separate();
        text += quoted(name);
        text += ": ";
        m_pendingValue = true;
    }
    void string(const QString &value) { valueText(quoted(value)); }
    void raw(const QByteArray &literal) { valueText(literal); }
    void number(double value) { valueText(QByteArray::number(value, 'g', 15)); }
    void beginObject()
    {
        beginValue();
        open('{');
    }
    void beginArray()
    {
        beginValue();
        open('[');
    }

private:
    int m_depth = 0;

    /// A JSON string literal, escaped as JSON requires.
    static QByteArray quoted(const QString &value)
    {
        return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
    }

    bool m_first = true;
    bool m_pendingValue = false;

    void newline()
    {
        text += '\n';
        text += QByteArray(2 * m_depth, ' ');
    }
    void separate()
    {
        if (!m_first)
            text += ',';
        newline();
        m_first = false;
    }
    void beginValue()
    {
        if (m_pendingValue)
            m_pendingValue = false;
        else if (m_depth > 0)
            separate();
    }
    void valueText(const QByteArray &literal)
    {
        if (m_pendingValue) {
            m_pendingValue = false;
            text += literal;
            return;
        }
        if (m_depth > 0)
            separate();
        text += literal;
    }
};

const QStringList kPrompts = {
    QStringLiteral("Refactor the hero section of the landing page and keep its spacing on every breakpoint"),
    QStringLiteral("Traduis la page « À propos » en français et vérifie les accents : é, è, ê, ç"),
    QStringLiteral("Überprüfe die CMS-Sammlung „Blog“ und korrigiere die Slugs mit Umlauten (ä, ö, ü, ß)"),
    QStringLiteral("日本語のページを作成して、ナビゲーションに追加してください"),
    QStringLiteral("Add a \"Pricing\" tab with a table:\n| Plan | Price |\n|---|---|\n| Pro | $20 |"),
    QStringLiteral("Fix the path C:\\Users\\ana\\site\\index.html in the build notes\tand the tab after it"),
    QStringLiteral("Make the launch banner say 🚀 New release — with an em dash and the rocket"),
    QStringLiteral("Пожалуйста, обнови футер и добавь ссылку на политику конфиденциальности"),
};

const QStringList kFolders = {
    QStringLiteral("/home/ana/Sites/client-%1"),
    QStringLiteral("/home/ana/Projets/société-%1"),
    QStringLiteral("/home/ana/Work/ウェブ-%1"),
    QStringLiteral("/home/ana/code/acme \"beta\" %1"),
    QStringLiteral("/home/ana/src/webflow-export-%1/site"),
};

void httpServer(Writer &out, const QString &name, const QString &url)
{
    out.key(name);
    out.beginObject();
    out.key(QStringLiteral("type"));
    out.string(QStringLiteral("http"));
    out.key(QStringLiteral("url"));
    out.string(url);
    out.close('}');
}

void npxServer(Writer &out, const QString &name, const QString &package)
{
    out.key(name);
    out.beginObject();
    out.key(QStringLiteral("command"));
    out.string(QStringLiteral("npx"));
    out.key(QStringLiteral("args"));
    out.beginArray();
    out.string(QStringLiteral("-y"));
    out.string(package);
    out.close(']');
    out.close('}');
}

void project(Writer &out, int index)
{
    out.key(kFolders.at(index % kFolders.size()).arg(index));
    out.beginObject();
    out.key(QStringLiteral("allowedTools"));
    out.beginArray();
    for (int tool = 0; tool < index % 4; ++tool)
        out.string(QStringLiteral("Bash(npm run build:%1)").arg(tool));
    out.close(']');
    out.key(QStringLiteral("history"));
    out.beginArray();
    // Projects differ: some were used once, some every day.
    const int entries = 5 + (index * 37) % 90;
    for (int entry = 0; entry < entries; ++entry) {
        out.beginObject();
        out.key(QStringLiteral("display"));
        out.string(kPrompts.at((index + entry) % kPrompts.size()) + QStringLiteral(" (%1/%2)").arg(index).arg(entry));
        out.key(QStringLiteral("pastedContents"));
        out.beginObject();
        if (entry % 9 == 0) {
            out.key(QStringLiteral("1"));
            out.beginObject();
            out.key(QStringLiteral("id"));
            out.number(1);
            out.key(QStringLiteral("type"));
            out.string(QStringLiteral("text"));
            out.key(QStringLiteral("content"));
            out.string(QStringLiteral("{\"html\": \"<div class=\\\"hero\\\">Café</div>\"}\n\u00a0\u2028end"));
            out.close('}');
        }
        out.close('}');
        out.close('}');
    }
    out.close(']');
    out.key(QStringLiteral("mcpContextUris"));
    out.beginArray();
    out.close(']');
    out.key(QStringLiteral("mcpServers"));
    out.beginObject();
    // A few folders register servers of their own.
    if (index % 97 == 3)
        httpServer(out, QStringLiteral("webflow-local-%1").arg(index), QStringLiteral("https://mcp.webflow.com/mcp"));
    if (index % 41 == 5)
        npxServer(out, QStringLiteral("playwright"), QStringLiteral("@playwright/mcp@latest"));
    out.close('}');
    out.key(QStringLiteral("enabledMcpjsonServers"));
    out.beginArray();
    out.close(']');
    out.key(QStringLiteral("hasTrustDialogAccepted"));
    out.raw(index % 3 ? "true" : "false");
    if (index % 2 == 0) {
        out.key(QStringLiteral("lastCost"));
        out.number(0.0421 * (index % 17));
        out.key(QStringLiteral("lastDuration"));
        out.number(1000 + index * 13);
        out.key(QStringLiteral("lastSessionId"));
        out.string(QStringLiteral("5f0c2f1e-8d4b-4b7a-9a53-%1").arg(index, 12, 10, QLatin1Char('0')));
        out.key(QStringLiteral("lastModelUsage"));
        out.beginObject();
        out.key(QStringLiteral("claude-sonnet-4"));
        out.beginObject();
        out.key(QStringLiteral("inputTokens"));
        out.number(index * 311);
        out.key(QStringLiteral("outputTokens"));
        out.number(index * 17);
        out.close('}');
        out.close('}');
    } else {
        out.key(QStringLiteral("exampleFiles"));
        out.raw("null");
    }
    out.close('}');
}

QByteArray registryWith(int projects, const QString &extraServer = {})
{
    Writer out;
    out.beginObject();
    out.key(QStringLiteral("numStartups"));
    out.number(412);
    out.key(QStringLiteral("installMethod"));
    out.string(QStringLiteral("npm-global"));
    out.key(QStringLiteral("autoUpdates"));
    out.raw("false");
    out.key(QStringLiteral("userID"));
    out.string(QStringLiteral("3c5e0b7f9a1d4e6f8b2c0d4e6f8a0b2c4d6e8f0a1b3c5d7e9f1a3b5c7d9e1f3a"));
    out.key(QStringLiteral("projects"));
    out.beginObject();
    for (int i = 0; i < projects; ++i)
        project(out, i);
    out.close('}');
    out.key(QStringLiteral("mcpServers"));
    out.beginObject();
    if (!extraServer.isEmpty())
        httpServer(out, extraServer, QStringLiteral("https://mcp.webflow.com/mcp"));
    for (int i = 0; i < kManagedServers; ++i)
        httpServer(out, QStringLiteral("webflow-client-%1").arg(i), QStringLiteral("https://mcp.webflow.com/mcp"));
    httpServer(out, QStringLiteral("quorvane-beta-webflow-x"), QStringLiteral("https://mcp.webflow.com/mcp"));
    npxServer(out, QStringLiteral("filesystem"), QStringLiteral("@modelcontextprotocol/server-filesystem"));
    out.close('}');
    out.key(QStringLiteral("hasCompletedOnboarding"));
    out.raw("true");
    out.close('}');
    out.text += '\n';
    return out.text;
}

int projectsFor(qsizetype targetSize)
{
    // Measured on a sample, then scaled to the target size.
    const int sample = 200;
    return int(qMax<qint64>(1, sample * targetSize / registryWith(sample).size()));
}

} // namespace

QByteArray generate(qsizetype targetSize)
{
    return registryWith(projectsFor(targetSize));
}

QByteArray withUserServer(const QByteArray &registry, const QString &name)
{
    // Regenerated at the same size, so that both files differ only by the server.
    return registryWith(projectsFor(registry.size()), name);
}

} // namespace RealisticRegistry
