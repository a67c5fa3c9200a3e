// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeClaude.h"

#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The script looks up its answer in replies/<key>, where the key is "mcp-get" for "mcp get …",
// "auth-status" for "auth status", and the first argument without its leading dashes otherwise.
// Answers taken in turn sit in replies/<key>/turns/<n>; a call claims its turn by making the first
// free replies/<key>/taken-<n> folder, which stays right when calls start at once.
const char kScript[] = R"SH(dir='@DIR@'
terminal=0
[ -t 0 ] && terminal=1
previous=
for arg in "$@"; do
  if [ "$previous" = --mcp-config ]; then
    cp "$arg" "$dir/mcp-config.json"
    stat -c %a "$arg" > "$dir/mcp-config.mode"
  fi
  previous=$arg
done
case "$1" in
  mcp|auth) key="$1-$2" ;;
  *) key=$(printf '%s' "$1" | sed 's/^-*//') ;;
esac
reply="$dir/replies/$key"
# An answer for one server name ("mcp get NAME") comes before the command's own.
[ "$1" = mcp ] && [ -n "$3" ] && [ -d "$dir/replies/$key-$3" ] && reply="$dir/replies/$key-$3"
# The turn is claimed before the call shows in the log, so a test that saw a call knows its answer.
if [ -d "$reply/turns" ]; then
  turn=1
  while ! mkdir "$reply/taken-$turn" 2>/dev/null; do turn=$((turn + 1)); done
  turns=$(ls "$reply/turns" | wc -l)
  [ "$turn" -gt "$turns" ] && turn=$turns
  reply="$reply/turns/$turn"
fi
call=$(mktemp "$dir/call.XXXXXX")
{ printf '%s\0%s\0' "$terminal" "$#"; for arg in "$@"; do printf '%s\0' "$arg"; done; } > "$call"
cat "$call" >> "$dir/calls"
rm -f "$call"
if [ "$1" != --version ]; then
  mkdir -p "$dir/running"
  touch "$dir/running/$$"
  trap 'rm -f "$dir/running/$$"' EXIT
  ls "$dir/running" | wc -l >> "$dir/concurrency"
fi
if [ ! -d "$reply" ]; then
  echo "fake claude: no answer for $*" >&2
  exit 1
fi
[ -f "$reply/delay" ] && sleep "$(cat "$reply/delay")"
code=$(cat "$reply/code")
if [ -f "$reply/registry" ]; then
  cp "$reply/registry" '@REGISTRY@'
elif [ "$1" = mcp ] && [ "$code" = 0 ] && [ ! -f "$reply/hangs" ] && [ ! -f "$reply/keeps-registry" ]; then
  # The real tool takes the name and address as its last two arguments, after the options.
  last=; beforeLast=
  for arg in "$@"; do beforeLast=$last; last=$arg; done
  case "$2" in
    add) '@NODE@' "$dir/edit-registry.js" '@REGISTRY@' add "$beforeLast" "$last" ;;
    remove) '@NODE@' "$dir/edit-registry.js" '@REGISTRY@' remove "$3" ;;
  esac
fi
[ -f "$reply/stdout" ] && cat "$reply/stdout"
[ -f "$reply/stderr" ] && cat "$reply/stderr" >&2
# The test's grant is taken by the one waiting command, so a later login waits for its own.
if [ -f "$reply/awaits-grant" ]; then
  while ! rm "$dir/grant" 2>/dev/null; do sleep 0.02; done
fi
[ -f "$reply/hangs" ] && { rm -f "$dir/running/$$"; exec sleep 3600; }
exit "$code"
)SH";

// Adds or takes away one user-scope http entry the way the real tool rewrites the file: a file
// it cannot read as an object stays as it is, and removing from a missing file creates nothing.
const char kRegistryEdit[] = R"JS(const fs = require('fs');
const [path, operation, name, url] = process.argv.slice(2);
let registry;
try {
  registry = JSON.parse(fs.readFileSync(path, 'utf8'));
} catch (error) {
  if (error.code !== 'ENOENT' || operation !== 'add')
    process.exit(0);
  registry = {};
}
if (typeof registry !== 'object' || registry === null || Array.isArray(registry))
  process.exit(0);
const servers = (typeof registry.mcpServers === 'object' && registry.mcpServers !== null) ? registry.mcpServers : {};
if (operation === 'add')
  servers[name] = {type: 'http', url};
else if (Object.prototype.hasOwnProperty.call(servers, name))
  delete servers[name];
else
  process.exit(0);
registry.mcpServers = servers;
fs.writeFileSync(path + '.fake-claude', JSON.stringify(registry, null, 2));
fs.renameSync(path + '.fake-claude', path);
)JS";

QString keyOf(QString command)
{
    command.replace(QLatin1Char(' '), QLatin1Char('-'));
    while (command.startsWith(QLatin1Char('-')))
        command.remove(0, 1);
    return command;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    Q_ASSERT(written);
    Q_UNUSED(written);
}

} // namespace

FakeClaude::FakeClaude(const TempHome &home)
    : m_dir(home.filePath(QStringLiteral("fake-claude")))
    , m_registryPath(home.filePath(QStringLiteral(".claude.json")))
    , m_onPath(home, m_dir)
{
    QDir().mkpath(m_dir + QStringLiteral("/replies"));
    // The real tool runs on Node.js, which the tests have anyway; it does the JSON editing.
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        qFatal("the fake claude needs node on PATH to edit ~/.claude.json");
    QByteArray script(kScript);
    script.replace("@DIR@", QFile::encodeName(m_dir))
        .replace("@REGISTRY@", QFile::encodeName(m_registryPath))
        .replace("@NODE@", QFile::encodeName(node));
    writeTestScript(executable(), script);
    writeFile(m_dir + QStringLiteral("/edit-registry.js"), kRegistryEdit);
    // Newer than any claude installed on the machine, so that discovery picks this one.
    answer(QStringLiteral("--version"), {"99.0.0 (Claude Code)\n", {}, 0, false, std::nullopt});
}

void FakeClaude::answer(const QString &command, const Reply &reply)
{
    answerInTurn(command, {reply});
}

void FakeClaude::answerInTurn(const QString &command, const QList<Reply> &replies)
{
    Q_ASSERT(!replies.isEmpty());
    const QString dir = m_dir + QStringLiteral("/replies/") + keyOf(command);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    if (replies.size() == 1) {
        writeReply(dir, replies.constFirst());
        return;
    }
    for (qsizetype turn = 0; turn < replies.size(); ++turn)
        writeReply(dir + QStringLiteral("/turns/") + QString::number(turn + 1), replies.at(turn));
}

void FakeClaude::writeReply(const QString &dir, const Reply &reply) const
{
    QDir().mkpath(dir);
    writeFile(dir + QStringLiteral("/stdout"), reply.standardOutput);
    writeFile(dir + QStringLiteral("/stderr"), reply.standardError);
    writeFile(dir + QStringLiteral("/code"), QByteArray::number(reply.exitCode));
    if (reply.hangs)
        writeFile(dir + QStringLiteral("/hangs"), {});
    if (reply.registryAfter)
        writeFile(dir + QStringLiteral("/registry"), *reply.registryAfter);
    if (!reply.editsRegistry)
        writeFile(dir + QStringLiteral("/keeps-registry"), {});
    if (reply.awaitsGrant)
        writeFile(dir + QStringLiteral("/awaits-grant"), {});
    if (reply.delay.count() > 0)
        writeFile(dir + QStringLiteral("/delay"), QByteArray::number(double(reply.delay.count()) / 1000.0, 'f', 3));
}

void FakeClaude::completeGrant() const
{
    writeFile(m_dir + QStringLiteral("/grant"), {});
}

int FakeClaude::mostAtOnce() const
{
    QFile file(m_dir + QStringLiteral("/concurrency"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int most = 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        most = std::max(most, line.trimmed().toInt());
    return most;
}

QList<QStringList> FakeClaude::calls() const
{
    QList<QStringList> calls;
    for (const Call &call : callRecords())
        calls.append(call.arguments);
    return calls;
}

QList<FakeClaude::Call> FakeClaude::callRecords() const
{
    QFile file(m_dir + QStringLiteral("/calls"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = file.readAll().split('\0');
    QList<Call> calls;
    // Each call is whether it had a terminal, its argument count and its arguments, every field
    // ended by a NUL.
    for (qsizetype i = 0; i + 2 < fields.size();) {
        Call call;
        call.terminal = fields.at(i++) == "1";
        const qsizetype count = fields.at(i++).toLongLong();
        for (qsizetype n = 0; n < count && i < fields.size(); ++n)
            call.arguments.append(QString::fromUtf8(fields.at(i++)));
        if (call.arguments != QStringList{QStringLiteral("--version")})
            calls.append(call);
    }
    return calls;
}

QByteArray FakeClaude::streamJson(const QList<QJsonObject> &events)
{
    QByteArray lines;
    for (const QJsonObject &event : events)
        lines += QJsonDocument(event).toJson(QJsonDocument::Compact) + '\n';
    return lines;
}

QString FakeClaude::executable() const
{
    return m_dir + QStringLiteral("/claude");
}

QByteArray FakeClaude::mcpConfig() const
{
    QFile file(m_dir + QStringLiteral("/mcp-config.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString FakeClaude::mcpConfigMode() const
{
    QFile file(m_dir + QStringLiteral("/mcp-config.mode"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}
