// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeClaude.h"

#include "support/TempHome.h"
#include "support/TestScript.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

// The script looks up its answer in replies/<key>, where the key is "mcp-get" for "mcp get …",
// "auth-status" for "auth status", and the first argument without its leading dashes otherwise.
const char kScript[] = R"SH(dir='@DIR@'
call=$(mktemp "$dir/call.XXXXXX")
{ printf '%s\0' "$#"; for arg in "$@"; do printf '%s\0' "$arg"; done; } > "$call"
cat "$call" >> "$dir/calls"
rm -f "$call"
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
[ -f "$reply/registry" ] && cp "$reply/registry" '@REGISTRY@'
[ -f "$reply/stdout" ] && cat "$reply/stdout"
[ -f "$reply/stderr" ] && cat "$reply/stderr" >&2
[ -f "$reply/hangs" ] && { rm -f "$dir/running/$$"; exec sleep 3600; }
exit "$(cat "$reply/code")"
)SH";

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
    QByteArray script(kScript);
    script.replace("@DIR@", QFile::encodeName(m_dir)).replace("@REGISTRY@", QFile::encodeName(m_registryPath));
    writeTestScript(executable(), script);
    // Newer than any claude installed on the machine, so that discovery picks this one.
    answer(QStringLiteral("--version"), {"99.0.0 (Claude Code)\n", {}, 0, false, std::nullopt});
}

void FakeClaude::answer(const QString &command, const Reply &reply)
{
    const QString dir = m_dir + QStringLiteral("/replies/") + keyOf(command);
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    writeFile(dir + QStringLiteral("/stdout"), reply.standardOutput);
    writeFile(dir + QStringLiteral("/stderr"), reply.standardError);
    writeFile(dir + QStringLiteral("/code"), QByteArray::number(reply.exitCode));
    if (reply.hangs)
        writeFile(dir + QStringLiteral("/hangs"), {});
    if (reply.registryAfter)
        writeFile(dir + QStringLiteral("/registry"), *reply.registryAfter);
    if (reply.delay.count() > 0)
        writeFile(dir + QStringLiteral("/delay"), QByteArray::number(double(reply.delay.count()) / 1000.0, 'f', 3));
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
    QFile file(m_dir + QStringLiteral("/calls"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QList<QByteArray> fields = file.readAll().split('\0');
    QList<QStringList> calls;
    // Each call is its argument count followed by its arguments, every field ended by a NUL.
    for (qsizetype i = 0; i + 1 < fields.size();) {
        const qsizetype count = fields.at(i++).toLongLong();
        QStringList arguments;
        for (qsizetype n = 0; n < count && i < fields.size(); ++n)
            arguments.append(QString::fromUtf8(fields.at(i++)));
        if (arguments != QStringList{QStringLiteral("--version")})
            calls.append(arguments);
    }
    return calls;
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
