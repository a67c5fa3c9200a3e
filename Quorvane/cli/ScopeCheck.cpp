// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "cli/ScopeCheck.h"

#include "cli/ClaudeDriver.h"
#include "cli/UniqueFd.h"
#include "cli/ProcessRunner.h"
#include "foundation/ServerNames.h"
#include "foundation/UuidText.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QUuid>
#include <QtConcurrent>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <variant>

namespace ClaudeCLI {

namespace {

const QString kPrompt = QStringLiteral(
    "Call the sites tool on the only MCP server available to you and list every site it can access. "
    "Reply with nothing but the tool's JSON. No prose, no code fences.");
const QString kNeverCalled = QStringLiteral("Claude never called the sites tool, so nothing was verified.");
const QString kNoMatchingResult =
    QStringLiteral("Claude called the sites tool but no matching result came back from the server.");
const QLatin1StringView kToolUse("tool_use");
const QLatin1StringView kToolResult("tool_result");

ScopeCheckResult failure(QString message)
{
    return {false, false, {}, std::move(message), false};
}

bool matchesIgnoringCase(const QString &text, const QString &pattern)
{
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption).match(text).hasMatch();
}

// Quotes are cut by user-perceived characters so that no character is split in half.
QString firstCharacters(const QString &text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (int i = 0; i < count; ++i) {
        if (finder.toNextBoundary() == -1)
            return text;
    }
    return text.left(finder.position());
}

QStringView trimmedHorizontally(QStringView line)
{
    auto isHorizontalSpace = [](QChar c) {
        return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
    };
    while (!line.isEmpty() && isHorizontalSpace(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && isHorizontalSpace(line.back()))
        line.chop(1);
    return line;
}

QString textMember(const QJsonObject &object, QLatin1StringView key, const QString &fallback = {})
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : fallback;
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The scope-check configuration: this one server only, so no other tool can answer. Its path, or
// the answer to give when it could not be written.
std::variant<QString, ScopeCheckResult> writeMcpConfig(ClaudeDriver &driver, const QString &name, const QString &url)
{
    const std::optional<QString> directory = driver.privateWorkingDirectory();
    if (!directory)
        return failure(QStringLiteral("Could not create a private directory for the scope check."));
    const QString path = *directory + QStringLiteral("/quorvane-mcp-")
        + UuidText::format(QUuid::createUuid()) + QStringLiteral(".json");
    const QJsonObject server{{QStringLiteral("type"), QStringLiteral("http")}, {QStringLiteral("url"), url}};
    const QJsonObject config{{QStringLiteral("mcpServers"), QJsonObject{{name, server}}}};
    // Made new with only the user's bits from the first byte: it names the server claude may call.
    const QByteArray content = QJsonDocument(config).toJson(QJsonDocument::Compact);
    const UniqueFd file(::open(QFile::encodeName(path).constData(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    bool written = file.isValid();
    for (qsizetype done = 0; written && done < content.size();) {
        const ssize_t count = ::write(file.get(), content.constData() + done, size_t(content.size() - done));
        if (count < 0 && errno == EINTR)
            continue;
        written = count > 0;
        done += count;
    }
    if (!written) {
        QFile::remove(path);
        return failure(QStringLiteral("Could not stage the MCP config for the scope check."));
    }
    return path;
}

ScopeCheckResult analyse(const RunResult &result, const QString &toolName)
{
    if (result.exitCode == kTimedOut)
        return failure(QStringLiteral("The scope check timed out after 3 minutes and was stopped. Nothing was changed."));
    if (matchesIgnoringCase(result.stdout + result.stderr,
                            QStringLiteral("OAuth access token has expired|Failed to authenticate|Not logged in|"
                                           "Please run /login|Invalid API key"))) {
        return {false, false, {},
                QStringLiteral("The claude CLI itself is signed out. Run `claude` then `/login`, then try again."), true};
    }

    const ToolBlocks blocks = collectToolBlocks(result.stdout);
    QSet<QString> callIds;
    bool called = false;
    for (const QJsonObject &use : blocks.toolUses) {
        const QJsonValue useName = use.value(QLatin1StringView("name"));
        if (!useName.isString() || useName.toString() != toolName)
            continue;
        called = true;
        if (const QJsonValue id = use.value(QLatin1StringView("id")); id.isString())
            callIds.insert(id.toString());
    }
    if (!called)
        return failure(noToolCallMessage(result.stdout, result.stderr));

    // Results are taken in stream order: the first one answering any of the calls counts.
    const auto answer = std::find_if(blocks.toolResults.cbegin(), blocks.toolResults.cend(), [&](const QJsonObject &block) {
        return callIds.contains(textMember(block, QLatin1StringView("tool_use_id")));
    });
    if (callIds.isEmpty() || answer == blocks.toolResults.cend())
        return failure(kNoMatchingResult);

    ScopeCheckResult ran = failure({});
    ran.toolRan = true;
    const QString text = toolResultText(answer->value(QLatin1StringView("content")));
    if (answer->value(QLatin1StringView("is_error")) == QJsonValue(true)) {
        ran.message = QStringLiteral("The sites tool failed: ")
            + (text.isEmpty() ? QStringLiteral("no detail returned") : firstCharacters(text, 300));
        return ran;
    }
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    const std::optional<QJsonArray> siteObjects =
        document.isNull() ? std::nullopt
                          : extractSiteObjects(document.isArray() ? QJsonValue(document.array())
                                                                  : QJsonValue(document.object()));
    if (!siteObjects) {
        ran.message = QStringLiteral("The sites tool ran but its response could not be read: ") + firstCharacters(text, 300);
        return ran;
    }
    QString problem;
    const std::optional<QList<SiteRef>> sites = SiteRef::listFromJson(*siteObjects, &problem);
    if (!sites) {
        ran.message = QStringLiteral("The sites tool ran but the response was missing fields: ") + problem;
        return ran;
    }
    return {true, true, *sites, QString(), false};
}

} // namespace

QCoro::Task<ScopeCheckResult> verifySites(ClaudeDriver &driver, QString name, QString url,
                                          std::chrono::milliseconds timeLimit)
{
    // The name comes from ~/.claude.json: sentences quote only its display-safe form.
    const QString display = quoted(displayName(name));
    if (name.startsWith(otherLanePrefix) || !isSafeServerName(name))
        co_return failure(display + QStringLiteral(" is not a name this app will verify."));
    if (!isWebflowEndpoint(url))
        co_return failure(display + QStringLiteral(" is not registered at a Webflow endpoint."));
    const std::weak_ptr<const void> life = driver.life();
    const std::optional<QString> claude = co_await driver.discovery().findBinary();
    if (!claude || life.expired())
        co_return failure(QStringLiteral("claude CLI not found"));
    const QString toolName = QStringLiteral("mcp__") + name + QStringLiteral("__data_sites_tool");
    static const QRegularExpression toolPattern(QStringLiteral("^mcp__[A-Za-z0-9_-]+__data_sites_tool$"));
    if (!toolPattern.match(toolName).hasMatch())
        co_return failure(QStringLiteral("Refusing to build a tool grant from ") + display + QLatin1Char('.'));
    const QFuture<std::variant<QString, ScopeCheckResult>> staging =
        QtConcurrent::run(&driver.threads(), [&driver, name, url] { return writeMcpConfig(driver, name, url); });
    const std::variant<QString, ScopeCheckResult> staged = co_await staging;
    if (life.expired())
        co_return failure(QStringLiteral("claude CLI not found"));
    if (const auto *refusal = std::get_if<ScopeCheckResult>(&staged))
        co_return *refusal;
    const QString configPath = std::get<QString>(staged);

    const QStringList arguments = {
        QStringLiteral("-p"),           kPrompt,
        QStringLiteral("--allowedTools"), toolName,
        QStringLiteral("--mcp-config"), configPath,
        QStringLiteral("--strict-mcp-config"),
        QStringLiteral("--setting-sources"), QStringLiteral("project,local"),
        QStringLiteral("--permission-mode"), QStringLiteral("dontAsk"),
        QStringLiteral("--output-format"), QStringLiteral("stream-json"),
        QStringLiteral("--verbose"),
    };
    RunOptions options;
    options.cancellationKey = kScopeCheckKeyPrefix + name;
    const QFuture<RunResult> checking = run(driver, *claude, arguments, timeLimit, options);
    const RunResult result = co_await checking;
    // The private working directory that holds the file went with the driver.
    if (life.expired())
        co_return analyse(result, toolName);
    const QFuture<bool> removing = QtConcurrent::run(&driver.threads(), [configPath] { return QFile::remove(configPath); });
    co_await removing;
    co_return analyse(result, toolName);
}

ToolBlocks collectToolBlocks(const QString &standardOutput)
{
    ToolBlocks blocks;
    const QStringList lines = standardOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringView trimmed = trimmedHorizontally(line);
        if (trimmed.isEmpty())
            continue;
        const QJsonObject event = QJsonDocument::fromJson(trimmed.toUtf8()).object();
        const QJsonValue type = event.value(QLatin1StringView("type"));
        if (!type.isString())
            continue;
        if (type.toString() == QLatin1StringView("assistant"))
            collectBlocks(event, kToolUse, blocks.toolUses);
        else if (type.toString() == QLatin1StringView("user"))
            collectBlocks(event, kToolResult, blocks.toolResults);
    }
    return blocks;
}

void collectBlocks(const QJsonValue &value, QLatin1StringView blockType, QList<QJsonObject> &blocks)
{
    if (value.isArray()) {
        for (const QJsonValue &element : value.toArray())
            collectBlocks(element, blockType, blocks);
        return;
    }
    if (!value.isObject())
        return;
    const QJsonObject object = value.toObject();
    const QJsonValue type = object.value(QLatin1StringView("type"));
    if (type.isString() && (type.toString() == kToolUse || type.toString() == kToolResult)) {
        // A block is never searched for blocks inside it.
        if (type.toString() == blockType)
            blocks.append(object);
        return;
    }
    for (const QJsonValue &member : object)
        collectBlocks(member, blockType, blocks);
}

QString toolResultText(const QJsonValue &content)
{
    if (content.isString())
        return content.toString();
    if (content.isArray()) {
        QStringList texts;
        for (const QJsonValue &element : content.toArray()) {
            if (const QJsonValue text = element.toObject().value(QLatin1StringView("text")); text.isString())
                texts.append(text.toString());
        }
        return texts.join(QLatin1Char('\n'));
    }
    return textMember(content.toObject(), QLatin1StringView("text"));
}

std::optional<QJsonArray> extractSiteObjects(const QJsonValue &value)
{
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        const bool allObjects = std::all_of(array.begin(), array.end(), [](const QJsonValue &v) { return v.isObject(); });
        return allObjects ? std::optional(array) : std::nullopt;
    }
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    for (const char *key : {"sites", "items", "data", "result", "results"}) {
        const auto member = object.constFind(QLatin1StringView(key));
        if (member == object.constEnd())
            continue;
        if (std::optional<QJsonArray> found = extractSiteObjects(*member))
            return found;
    }
    return std::nullopt;
}

QString noToolCallMessage(const QString &standardOutput, const QString &standardError)
{
    const QString error = standardError.trimmed();
    if (!error.isEmpty())
        return kNeverCalled + QStringLiteral("\n\n") + firstCharacters(error, 300);
    const QString reply = finalResultText(standardOutput);
    if (matchesIgnoringCase(reply, QStringLiteral("(hit|reached) your (weekly|daily|monthly|session|usage|5-hour)? ?limit"))) {
        return QStringLiteral("Your Claude plan is out of usage, so the check couldn't run. This is the plan's limit, "
                              "not a problem with the connection.\n\nClaude said: ")
            + firstCharacters(reply, 200) + QStringLiteral("\n\nTry again after the reset.");
    }
    if (reply.isEmpty())
        return kNeverCalled;
    return kNeverCalled + QStringLiteral(" It replied:\n\n") + firstCharacters(reply, 300);
}

QString finalResultText(const QString &standardOutput)
{
    const QStringList lines = standardOutput.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QJsonObject event = QJsonDocument::fromJson(trimmedHorizontally(*line).toUtf8()).object();
        if (textMember(event, QLatin1StringView("type")) != QLatin1StringView("result"))
            continue;
        const QJsonValue reply = event.value(QLatin1StringView("result"));
        if (reply.isString())
            return reply.toString().trimmed();
    }
    return QString();
}

} // namespace ClaudeCLI
