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

const std::array<Rule, 6> &rules()
{
    const QString redactedURL = QStringLiteral("\u2039redacted URL\u203A");
    const QString redacted = QStringLiteral("\u2039redacted\u203A");
    // The order matters: an address is replaced whole before the key and token rules could
    // replace only a part of it.
    static const std::array<Rule, 6> rules{{
        {pattern(QStringLiteral(R"(https?:\/\/[^\s"'<>]*(?:oauth|authorize|device)[^\s"'<>]*)"), true),
         redactedURL},
        {pattern(QStringLiteral(R"(https?:\/\/[^\s"'<>]*[?&](?:code|state|device_code|user_code|)"
                                R"(client_secret|access_token|refresh_token|id_token|session|key)=[^\s"'<>]*)"),
                 true),
         redactedURL},
        {pattern(QStringLiteral(R"(sk-[A-Za-z0-9_-]{8,})"), false), redacted},
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
    QString result = text;
    for (const Rule &rule : rules())
        result.replace(rule.pattern, rule.replacement);
    return result;
}

QString withoutNul(const QString &text)
{
    return QString(text).remove(QChar::Null);
}
