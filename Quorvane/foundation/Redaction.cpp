// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "foundation/Redaction.h"

#include <QRegularExpression>

#include <array>

namespace {

struct Rule
{
    QRegularExpression pattern;
    QString replacement;
};

QRegularExpression pattern(const QString &text, bool ignoreCase)
{
    // Unicode properties make \s match every white-space character, not only ASCII ones.
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (ignoreCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(text, options);
}

const std::array<Rule, 9> &rules()
{
    const QString redactedURL = QStringLiteral("\u2039redacted URL\u203A");
    const QString redacted = QStringLiteral("\u2039redacted\u203A");
    // The order matters: an address is replaced whole before the parameter, key and token rules
    // could replace only a part of it.
    static const std::array<Rule, 9> rules{{
        {pattern(QStringLiteral(R"(https?:\/\/[^\s"'<>]*(?:oauth|authorize|device)[^\s"'<>]*)"), true),
         redactedURL},
        // A fragment carries tokens as well: an implicit sign-in answers "#access_token=…".
        {pattern(QStringLiteral(R"(https?:\/\/[^\s"'<>]*[?&#](?:code|state|device_code|user_code|)"
                                R"(client_secret|access_token|refresh_token|id_token|token|session|key)=[^\s"'<>]*)"),
                 true),
         redactedURL},
        // The same parameters in a path, query or fragment quoted without its address.
        {pattern(QStringLiteral(R"(([?&#][a-z_]*(?:token|code)=)[^&#\s"'<>]+)"), true),
         QStringLiteral("\\1") + redacted},
        // A token member of a JSON text, also inside a JSON string ("{\"token\":\"…\"}"). Tokens
        // hold neither quotes nor backslashes, so the value ends at the first of them.
        {pattern(QStringLiteral(R"((\\?"[a-z_]*token\\?"\s*:\s*\\?")[^"\\]+)"), true), QStringLiteral("\\1") + redacted},
        {pattern(QStringLiteral(R"(sk-[A-Za-z0-9_-]{8,})"), false), redacted},
        {pattern(QStringLiteral(R"(sb_secret_[A-Za-z0-9_-]+)"), false), redacted},
        {pattern(QStringLiteral(R"(whsec_[A-Za-z0-9]+)"), false), redacted},
        {pattern(QStringLiteral(R"(bearer\s+[^\s"']+)"), true), QStringLiteral("Bearer \u2039redacted\u203A")},
        // "eyJ" opens the base64url form of every JSON object whose first key starts with a letter.
        {pattern(QStringLiteral(R"(eyJ[A-Za-z0-9_-]{10,}\.[A-Za-z0-9_-]{5,}\.[A-Za-z0-9_-]{5,})"), false),
         redacted},
    }};
    return rules;
}

} // namespace

QString redactSecrets(const QString &text)
{
    QString result = withoutLoneSurrogates(text);
    for (const Rule &rule : rules())
        result.replace(rule.pattern, rule.replacement);
    return result;
}

QString withoutLoneSurrogates(QStringView text)
{
    QString result = text.toString();
    for (qsizetype at = 0; at < result.size(); ++at) {
        const QChar unit = result.at(at);
        if (unit.isHighSurrogate() && at + 1 < result.size() && result.at(at + 1).isLowSurrogate())
            ++at; // a whole pair
        else if (unit.isSurrogate())
            result[at] = QChar::ReplacementCharacter;
    }
    return result;
}

QString withoutNul(const QString &text)
{
    return QString(text).remove(QChar::Null);
}
