// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "model/Project.h"

#include "foundation/InternetDateTime.h"
#include "foundation/JsonReader.h"
#include "foundation/RawTextTable.h"
#include "foundation/UuidText.h"

#include <algorithm>

namespace {

using Recovery = Project::IssueRecovery;
using Intent = Project::RegistryIntent;

constexpr RawTextTable<Recovery, 5> recoveryTexts{{{
    {Recovery::connectMCP, u"connectMCP"},
    {Recovery::verifySite, u"verifySite"},
    {Recovery::reviewSiteIdentity, u"reviewSiteIdentity"},
    {Recovery::retryPublishingDisconnect, u"retryPublishingDisconnect"},
    {Recovery::reconcileRegistry, u"reconcileRegistry"},
}}};

} // namespace

std::optional<Intent> Intent::fromJson(const QJsonValue &json, QString *error)
{
    const auto fail = [error](const QString &reason) -> std::optional<Intent> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (!json.isObject())
        return fail(QStringLiteral("the registry intent is not a JSON object"));
    const QJsonObject object = json.toObject();

    const QLatin1StringView cases[] = {QLatin1StringView("rename"), QLatin1StringView("remove"),
                                       QLatin1StringView("unregister")};
    const auto isPresent = [&object](QLatin1StringView key) { return object.contains(key); };
    if (std::count_if(std::begin(cases), std::end(cases), isPresent) != 1)
        return fail(QStringLiteral("Invalid number of keys found, expected one."));

    const QLatin1StringView kind = *std::find_if(std::begin(cases), std::end(cases), isPresent);
    const QJsonValue payload = object.value(kind);
    if (!payload.isObject())
        return fail(QStringLiteral("the registry intent \"%1\" holds no object").arg(kind));

    JsonReader reader(payload);
    Intent intent;
    if (kind == QLatin1StringView("rename")) {
        QString from = reader.text(QLatin1StringView("from"));
        QString to = reader.text(QLatin1StringView("to"));
        intent.change = Rename{std::move(from), std::move(to)};
    } else if (kind == QLatin1StringView("remove")) {
        intent.change = Remove{reader.text(QLatin1StringView("name"))};
    } else {
        intent.change = Unregister{reader.text(QLatin1StringView("name"))};
    }
    if (!reader.finish(error))
        return std::nullopt;
    return intent;
}

QJsonObject Intent::toJson() const
{
    struct Writer
    {
        QJsonObject operator()(const Rename &rename) const
        {
            return {{QStringLiteral("rename"),
                     QJsonObject{{QStringLiteral("from"), rename.from}, {QStringLiteral("to"), rename.to}}}};
        }
        QJsonObject operator()(const Remove &remove) const
        {
            return {{QStringLiteral("remove"), QJsonObject{{QStringLiteral("name"), remove.name}}}};
        }
        QJsonObject operator()(const Unregister &unregister) const
        {
            return {{QStringLiteral("unregister"), QJsonObject{{QStringLiteral("name"), unregister.name}}}};
        }
    };
    return std::visit(Writer(), change);
}

std::optional<Project> Project::fromJson(const QJsonValue &json, QString *error)
{
    if (!json.isObject()) {
        if (error)
            *error = QStringLiteral("a project is not a JSON object");
        return std::nullopt;
    }
    const QJsonObject object = json.toObject();
    JsonReader reader(object);
    Project project;
    project.id = reader.uuid(QLatin1StringView("id"));
    project.title = reader.text(QLatin1StringView("title"));
    project.mcpName = reader.text(QLatin1StringView("mcpName"));
    project.issue = reader.optionalText(QLatin1StringView("issue"));
    if (const std::optional<QString> recovery = reader.optionalText(QLatin1StringView("issueRecovery"))) {
        project.issueRecovery = issueRecoveryFromRawText(*recovery);
        if (!project.issueRecovery)
            reader.fail(QLatin1StringView("issueRecovery"), QStringLiteral("is not a known recovery"));
    }
    project.createdAt = reader.date(QLatin1StringView("createdAt"));
    project.siteId = reader.optionalText(QLatin1StringView("siteID"));
    project.pendingSiteId = reader.optionalText(QLatin1StringView("pendingSiteID"));
    project.pendingSiteName = reader.optionalText(QLatin1StringView("pendingSiteName"));
    if (!reader.finish(error))
        return std::nullopt;

    const QJsonValue intent = object.value(QLatin1StringView("registryIntent"));
    if (!intent.isUndefined() && !intent.isNull()) {
        project.registryIntent = RegistryIntent::fromJson(intent, error);
        if (!project.registryIntent)
            return std::nullopt;
    }
    return project;
}

QJsonObject Project::toJson() const
{
    QJsonObject object{
        {QStringLiteral("id"), UuidText::format(id)},
        {QStringLiteral("title"), title},
        {QStringLiteral("mcpName"), mcpName},
        {QStringLiteral("createdAt"), InternetDateTime::format(createdAt)},
    };
    const auto insertIfPresent = [&object](const QString &key, const std::optional<QString> &value) {
        if (value)
            object.insert(key, *value);
    };
    insertIfPresent(QStringLiteral("issue"), issue);
    if (issueRecovery)
        object.insert(QStringLiteral("issueRecovery"), rawText(*issueRecovery));
    insertIfPresent(QStringLiteral("siteID"), siteId);
    insertIfPresent(QStringLiteral("pendingSiteID"), pendingSiteId);
    insertIfPresent(QStringLiteral("pendingSiteName"), pendingSiteName);
    if (registryIntent)
        object.insert(QStringLiteral("registryIntent"), registryIntent->toJson());
    return object;
}

QString rawText(Project::IssueRecovery recovery)
{
    return recoveryTexts.text(recovery);
}

std::optional<Project::IssueRecovery> issueRecoveryFromRawText(QStringView text)
{
    return recoveryTexts.value(text);
}

std::optional<Project::IssueRecovery> recoveryForLegacyIssue(QStringView issue)
{
    if (issue.startsWith(u"Not registered yet") || issue.startsWith(u"Couldn't register"))
        return Recovery::connectMCP;
    if (issue.contains(u"disconnect publishing", Qt::CaseInsensitive)
        || issue.contains(u"revocation cleanup", Qt::CaseInsensitive))
        return Recovery::retryPublishingDisconnect;
    if (issue.contains(u"scope", Qt::CaseInsensitive) || issue.startsWith(u"Reaches ")
        || issue.startsWith(u"The authorization reaches"))
        return Recovery::verifySite;
    return std::nullopt;
}

size_t qHash(const Project::RegistryIntent &intent, size_t seed) noexcept
{
    struct Hasher
    {
        size_t seed;
        size_t operator()(const Intent::Rename &rename) const { return qHashMulti(seed, 0, rename.from, rename.to); }
        size_t operator()(const Intent::Remove &remove) const { return qHashMulti(seed, 1, remove.name); }
        size_t operator()(const Intent::Unregister &unregister) const { return qHashMulti(seed, 2, unregister.name); }
    };
    return std::visit(Hasher{seed}, intent.change);
}

size_t qHash(const Project &project, size_t seed) noexcept
{
    const auto optionalText = [](const std::optional<QString> &text) {
        return text ? qHashMulti(1, *text) : 0;
    };
    return qHashMulti(seed, project.id, project.title, project.mcpName, optionalText(project.issue),
                      project.issueRecovery ? int(*project.issueRecovery) + 1 : 0, project.createdAt,
                      optionalText(project.siteId), optionalText(project.pendingSiteId),
                      optionalText(project.pendingSiteName),
                      project.registryIntent ? qHash(*project.registryIntent, 1) : 0);
}
