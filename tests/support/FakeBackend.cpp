// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#include "support/FakeBackend.h"

#include "foundation/BackendTimestamp.h"

#include <QDateTime>
#include <QUrlQuery>

#include <algorithm>

FakeBackend::Reply FakeBackend::postgrestError(int status, const QString &code, const QString &message)
{
    return Reply::json(status, QJsonObject{{QStringLiteral("code"), code},
                                           {QStringLiteral("message"), message},
                                           {QStringLiteral("details"), QJsonValue::Null},
                                           {QStringLiteral("hint"), QJsonValue::Null}});
}

FakeBackend::Reply FakeBackend::authError(int status, const QString &errorCode, const QString &message)
{
    return Reply::json(status, QJsonObject{{QStringLiteral("code"), status},
                                           {QStringLiteral("error_code"), errorCode},
                                           {QStringLiteral("msg"), message}});
}

FakeBackend::FakeBackend(QObject *parent)
    : FakeHttpServer(parent)
{
    installAuthRoutes();
}

void FakeBackend::setTable(const QString &table, const QJsonArray &rows)
{
    setUserTable(table, [rows](const QUuid &) { return rows; });
}

void FakeBackend::setUserTable(const QString &table, std::function<QJsonArray(const QUuid &user)> rowsOf)
{
    const QString path = QStringLiteral("/rest/v1/") + table;
    route("GET", path, [this, rowsOf](const Request &request) {
        const QJsonArray rows = rowsOf(userOf(request));
        if (request.header("Accept") == "application/vnd.pgrst.object+json") {
            if (rows.size() != 1)
                return postgrestError(406, QStringLiteral("PGRST116"),
                                      QStringLiteral("JSON object requested, multiple (or no) rows returned"));
            return Reply::json(200, rows.first());
        }
        return Reply::json(200, rows);
    });
    route("PATCH", path, [this, rowsOf](const Request &request) { return Reply::json(200, rowsOf(userOf(request))); });
}

void FakeBackend::setRpc(const QString &function, Handler handler)
{
    route("POST", QStringLiteral("/rest/v1/rpc/") + function, std::move(handler));
}

void FakeBackend::setFunction(const QString &function, Handler handler)
{
    route("POST", QStringLiteral("/functions/v1/") + function, std::move(handler));
}

void FakeBackend::setOpenFunction(const QString &function, Handler handler)
{
    m_openPaths.insert(QStringLiteral("/functions/v1/") + function);
    setFunction(function, std::move(handler));
}

QJsonObject FakeBackend::issueSession()
{
    return issueSessionFor(userId, userEmail);
}

QJsonObject FakeBackend::issueSessionFor(const QUuid &user, const QString &email)
{
    ++m_issued;
    const QString access = QStringLiteral("access-token-%1").arg(m_issued);
    const QString refresh = QStringLiteral("refresh-token-%1").arg(m_issued);
    m_accessTokens.insert(access, user);
    m_refreshTokens.insert(refresh, user);
    m_emails.insert(user, email);
    return {
        {QStringLiteral("access_token"), access},
        {QStringLiteral("token_type"), QStringLiteral("bearer")},
        {QStringLiteral("expires_in"), expiresIn},
        {QStringLiteral("expires_at"), double(QDateTime::currentSecsSinceEpoch() + expiresIn)},
        {QStringLiteral("refresh_token"), refresh},
        {QStringLiteral("user"), QJsonObject{{QStringLiteral("id"), user.toString(QUuid::WithoutBraces)},
                                             {QStringLiteral("aud"), QStringLiteral("authenticated")},
                                             {QStringLiteral("role"), QStringLiteral("authenticated")},
                                             {QStringLiteral("email"), email}}},
    };
}

void FakeBackend::installAuthRoutes()
{
    route("POST", QStringLiteral("/auth/v1/otp"), [](const Request &request) {
        if (!request.json().value(QLatin1StringView("email")).isString())
            return authError(400, QStringLiteral("validation_failed"),
                             QStringLiteral("Only an email address or phone number should be provided"));
        return Reply::json(200, QJsonObject{});
    });
    route("POST", QStringLiteral("/auth/v1/verify"), [this](const Request &request) {
        const QJsonObject body = request.json();
        if (body.value(QLatin1StringView("type")).toString() != QStringLiteral("email")
            || body.value(QLatin1StringView("token")).toString() != validCode)
            return authError(403, QStringLiteral("otp_expired"), QStringLiteral("Token has expired or is invalid"));
        return Reply::json(200, issueSession());
    });
    route("POST", QStringLiteral("/auth/v1/token"), [this](const Request &request) {
        if (request.query != QStringLiteral("grant_type=refresh_token"))
            return authError(400, QStringLiteral("validation_failed"), QStringLiteral("unsupported_grant_type"));
        const QString token = request.json().value(QLatin1StringView("refresh_token")).toString();
        // Single use: the token is spent by this answer.
        if (!m_refreshTokens.contains(token))
            return authError(400, QStringLiteral("refresh_token_already_used"),
                             QStringLiteral("Invalid Refresh Token: Already Used"));
        const QUuid user = m_refreshTokens.take(token);
        return Reply::json(200, issueSessionFor(user, m_emails.value(user)));
    });
    route("POST", QStringLiteral("/auth/v1/logout"), [this](const Request &request) {
        const QString token = QString::fromUtf8(request.header("Authorization")).section(u' ', 1);
        if (!m_accessTokens.contains(token))
            return authError(403, QStringLiteral("session_not_found"),
                             QStringLiteral("Session from session_id claim in JWT does not exist"));
        // Global scope: every session of that user ends.
        const QUuid user = m_accessTokens.value(token);
        const auto ofUser = [&user](const auto &entry) { return entry.value() == user; };
        m_accessTokens.removeIf(ofUser);
        m_refreshTokens.removeIf(ofUser);
        return Reply{204, {}};
    });
}

bool FakeBackend::authorized(const Request &request) const
{
    const QByteArray bearer = request.header("Authorization");
    return bearer.startsWith("Bearer ") && m_accessTokens.contains(QString::fromUtf8(bearer.mid(7)));
}

QUuid FakeBackend::userOf(const Request &request) const
{
    const QByteArray bearer = request.header("Authorization");
    return bearer.startsWith("Bearer ") ? m_accessTokens.value(QString::fromUtf8(bearer.mid(7))) : QUuid();
}

FakeBackend::Reply FakeBackend::respond(const Request &request)
{
    if (request.header("apikey") != publishableKey.toUtf8())
        return Reply::json(401, QJsonObject{{QStringLiteral("message"), QStringLiteral("Invalid API key")}});
    const bool data = !request.path.startsWith(QStringLiteral("/auth/"));
    const bool underKey = request.header("Authorization") == "Bearer " + publishableKey.toUtf8();
    if (data && !authorized(request) && !(underKey && m_openPaths.contains(request.path)))
        return postgrestError(401, QStringLiteral("PGRST301"), QStringLiteral("JWT expired"));
    if (std::optional<Reply> reply = routed(request))
        return *reply;
    if (request.path.startsWith(QStringLiteral("/rest/v1/rpc/")))
        return postgrestError(
                              404, QStringLiteral("PGRST202"),
                              QStringLiteral("Could not find the function public.%1 in the schema cache").arg(request.path.section(u'/', 4)));
    if (request.path.startsWith(QStringLiteral("/rest/v1/")))
        return postgrestError(404, QStringLiteral("42P01"),
                              QStringLiteral("relation \"public.%1\" does not exist").arg(request.path.section(u'/', 3)));
    return Reply::json(404, QJsonObject{{QStringLiteral("code"), QStringLiteral("NOT_FOUND")},
                                        {QStringLiteral("message"), QStringLiteral("Requested function was not found")}});
}

// --- Scheduled publishing --------------------------------------------------------------------------

namespace {

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1StringView(key)).toString();
}

QUuid uuidOf(const QJsonValue &value)
{
    return QUuid::fromString(value.toString());
}

// The service's own refusal: PostgreSQL's raise_exception as PostgREST answers it.
FakeHttpServer::Reply raised(const QString &message)
{
    return FakeBackend::postgrestError(400, QStringLiteral("P0001"), message);
}

bool isQueued(const QJsonObject &row)
{
    const QString status = text(row, "status");
    return status == QStringLiteral("scheduled") || status == QStringLiteral("publishing");
}

// "in.(a,b)" as the list of its plain values.
QStringList inList(const QString &filter)
{
    if (!filter.startsWith(QStringLiteral("in.(")) || !filter.endsWith(u')'))
        return {};
    return filter.mid(4, filter.size() - 5).split(u',');
}

} // namespace

QString FakeBackend::postgresTimestamp(const QDateTime &instant)
{
    const QDateTime utc = instant.toUTC();
    QString textForm = utc.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    if (const int ms = utc.time().msec()) {
        QString fraction = QStringLiteral(".%1").arg(ms, 3, 10, QLatin1Char('0'));
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
        textForm += fraction;
    }
    return textForm + QStringLiteral("+00:00");
}

void FakeBackend::serveScheduledPublishing()
{
    route("GET", QStringLiteral("/rest/v1/scheduled_publishes"), [this](const Request &request) {
        const QUrlQuery query(request.query);
        const QStringList statuses = inList(query.queryItemValue(QStringLiteral("status"), QUrl::FullyDecoded));
        const QUuid user = userOf(request);
        QList<QJsonObject> rows;
        for (const QJsonObject &row : std::as_const(scheduledPublishes)) {
            if (uuidOf(row.value(QLatin1StringView("user_id"))) == user
                && (statuses.isEmpty() || statuses.contains(text(row, "status"))))
                rows.append(row);
        }
        if (query.queryItemValue(QStringLiteral("order")) == QStringLiteral("completed_at.desc.nullslast")) {
            std::stable_sort(rows.begin(), rows.end(), [](const QJsonObject &a, const QJsonObject &b) {
                const QString left = text(a, "completed_at");
                const QString right = text(b, "completed_at");
                if (left.isEmpty() || right.isEmpty())
                    return !left.isEmpty() && right.isEmpty();
                return left > right;
            });
        }
        if (query.hasQueryItem(QStringLiteral("limit")))
            rows = rows.mid(0, query.queryItemValue(QStringLiteral("limit")).toInt());
        QJsonArray array;
        for (const QJsonObject &row : rows)
            array.append(row);
        return Reply::json(200, array);
    });

    setRpc(QStringLiteral("replace_scheduled_publish"), [this](const Request &request) {
        const QJsonObject p = request.json();
        const QUuid user = userOf(request);
        if (uuidOf(p.value(QLatin1StringView("p_user"))) != user)
            return raised(QStringLiteral("invalid schedule identity"));
        const QString site = text(p, "p_site_id");
        for (const auto &[owner, key] : std::as_const(removalLeases)) {
            if (owner == user && (key == QStringLiteral("site:") + site
                                  || key == QStringLiteral("connection:") + text(p, "p_connection_name")))
                return raised(QStringLiteral("project removal is in progress for this site"));
        }
        const QJsonArray domains = p.value(QLatin1StringView("p_domains")).toArray();
        if (domains.isEmpty() || domains.size() > 25)
            return raised(QStringLiteral("choose between 1 and 25 publish targets"));
        const bool skip = p.value(QLatin1StringView("p_skip_if_changed")).toBool();
        if (skip && !p.contains(QLatin1StringView("p_baseline_last_updated")))
            return raised(QStringLiteral("paranoid schedules require a baseline"));

        const QString id = uuidOf(p.value(QLatin1StringView("p_id"))).toString(QUuid::WithoutBraces);
        for (QJsonObject &row : scheduledPublishes) {
            if (uuidOf(row.value(QLatin1StringView("user_id"))) == user && text(row, "site_id") == site
                && text(row, "status") == QStringLiteral("scheduled"))
                row.insert(QStringLiteral("status"), QStringLiteral("replaced"));
        }
        scheduledPublishes.removeIf([&](const QJsonObject &row) { return text(row, "id") == id; });
        const auto timestamp = [&](const char *key) -> QJsonValue {
            if (!p.contains(QLatin1StringView(key)))
                return QJsonValue::Null;
            return postgresTimestamp(QDateTime::fromString(text(p, key), Qt::ISODateWithMs));
        };
        const QJsonObject row{
            {QStringLiteral("id"), id},
            {QStringLiteral("user_id"), user.toString(QUuid::WithoutBraces)},
            {QStringLiteral("connection_name"), text(p, "p_connection_name")},
            {QStringLiteral("site_id"), site},
            {QStringLiteral("site_name"), text(p, "p_site_name")},
            {QStringLiteral("publish_at"), timestamp("p_publish_at")},
            {QStringLiteral("time_zone"), text(p, "p_time_zone")},
            {QStringLiteral("domains"), domains},
            {QStringLiteral("skip_if_changed"), skip},
            {QStringLiteral("baseline_last_updated"), timestamp("p_baseline_last_updated")},
            {QStringLiteral("status"), QStringLiteral("scheduled")},
            {QStringLiteral("created_at"), postgresTimestamp(QDateTime::currentDateTimeUtc())},
            {QStringLiteral("completed_at"), QJsonValue::Null},
            {QStringLiteral("failure"), QJsonValue::Null},
        };
        scheduledPublishes.append(row);
        return Reply::json(200, row);
    });

    setRpc(QStringLiteral("cancel_scheduled_publish"), [this](const Request &request) {
        const QJsonObject p = request.json();
        const QUuid user = userOf(request);
        if (uuidOf(p.value(QLatin1StringView("p_user"))) != user)
            return raised(QStringLiteral("invalid schedule identity"));
        const QUuid id = uuidOf(p.value(QLatin1StringView("p_id")));
        QJsonObject answer{{QStringLiteral("requested_id"), id.toString(QUuid::WithoutBraces)}};
        const auto found = std::find_if(scheduledPublishes.begin(), scheduledPublishes.end(), [&](const QJsonObject &row) {
            return uuidOf(row.value(QLatin1StringView("id"))) == id
                && uuidOf(row.value(QLatin1StringView("user_id"))) == user;
        });
        if (found == scheduledPublishes.end()) {
            answer.insert(QStringLiteral("verdict"), QStringLiteral("already_terminal"));
            return Reply::json(200, answer);
        }
        const QString status = text(*found, "status");
        if (status == QStringLiteral("publishing")) {
            answer.insert(QStringLiteral("verdict"), QStringLiteral("publishing"));
        } else if (status == QStringLiteral("scheduled")) {
            found->insert(QStringLiteral("status"), QStringLiteral("cancelled"));
            answer.insert(QStringLiteral("verdict"), QStringLiteral("cancelled"));
        } else {
            const QString site = text(*found, "site_id");
            const auto newer = std::find_if(scheduledPublishes.cbegin(), scheduledPublishes.cend(), [&](const QJsonObject &row) {
                return uuidOf(row.value(QLatin1StringView("user_id"))) == user && text(row, "site_id") == site
                    && isQueued(row);
            });
            if (newer != scheduledPublishes.cend() && status == QStringLiteral("replaced")) {
                answer.insert(QStringLiteral("verdict"), QStringLiteral("superseded"));
                answer.insert(QStringLiteral("current_schedule"), *newer);
            } else {
                answer.insert(QStringLiteral("verdict"), QStringLiteral("already_terminal"));
            }
        }
        return Reply::json(200, answer);
    });

    setRpc(QStringLiteral("begin_project_removal"), [this](const Request &request) {
        const QJsonObject p = request.json();
        const QUuid user = userOf(request);
        if (uuidOf(p.value(QLatin1StringView("p_user"))) != user)
            return raised(QStringLiteral("invalid schedule identity"));
        const QString site = text(p, "p_site_id");
        const QString connection = text(p, "p_connection_name");
        const auto ofProject = [&](const QJsonObject &row) {
            return uuidOf(row.value(QLatin1StringView("user_id"))) == user
                && (site.isEmpty() ? text(row, "connection_name") == connection : text(row, "site_id") == site);
        };
        bool cancelled = false;
        for (QJsonObject &row : scheduledPublishes) {
            if (!ofProject(row))
                continue;
            if (text(row, "status") == QStringLiteral("publishing"))
                return Reply::json(200, QJsonObject{{QStringLiteral("verdict"), QStringLiteral("publishing")}});
        }
        for (QJsonObject &row : scheduledPublishes) {
            if (ofProject(row) && text(row, "status") == QStringLiteral("scheduled")) {
                row.insert(QStringLiteral("status"), QStringLiteral("cancelled"));
                cancelled = true;
            }
        }
        const QUuid lease = QUuid::createUuid();
        removalLeases.insert(lease, {user, site.isEmpty() ? QStringLiteral("connection:") + connection
                                                          : QStringLiteral("site:") + site});
        return Reply::json(200, QJsonObject{{QStringLiteral("verdict"), cancelled ? QStringLiteral("cancelled")
                                                                                  : QStringLiteral("absent")},
                                            {QStringLiteral("lease_id"), lease.toString(QUuid::WithoutBraces)}});
    });

    setRpc(QStringLiteral("finish_project_removal"), [this](const Request &request) {
        const QJsonObject p = request.json();
        const QUuid lease = uuidOf(p.value(QLatin1StringView("p_lease")));
        const auto found = removalLeases.constFind(lease);
        if (found == removalLeases.cend() || found->first != userOf(request)
            || uuidOf(p.value(QLatin1StringView("p_user"))) != found->first)
            return raised(QStringLiteral("removal lease not found"));
        removalLeases.erase(found);
        return Reply::json(200, true);
    });
}

// --- Publish events ----------------------------------------------------------------------------

FakeBackend::PublishEvent FakeBackend::publishEvent(const QString &kind, const QString &message, int minutes) const
{
    const QDateTime start(QDate(2026, 1, 15), QTime(9, 0), Qt::UTC);
    return {QUuid::createUuid(), userId, kind, message, start.addSecs(minutes * 60), std::nullopt};
}

void FakeBackend::servePublishEvents()
{
    const QString path = QStringLiteral("/rest/v1/publish_events");
    const auto filterOf = [](const Request &request, const QString &column) {
        return QUrlQuery(request.query).queryItemValue(column, QUrl::FullyDecoded);
    };
    const auto rowOf = [](const PublishEvent &event) {
        return QJsonObject{{QStringLiteral("id"), event.id.toString(QUuid::WithoutBraces)},
                           {QStringLiteral("kind"), event.kind},
                           {QStringLiteral("message"), event.message},
                           {QStringLiteral("created_at"), postgresTimestamp(event.createdAt)}};
    };
    route("GET", path, [this, filterOf, rowOf](const Request &request) {
        const QUuid user = userOf(request);
        const bool unseenOnly = filterOf(request, QStringLiteral("seen_at")) == QStringLiteral("is.null");
        QList<PublishEvent> rows;
        for (const PublishEvent &event : std::as_const(publishEvents)) {
            if (event.owner == user && (!unseenOnly || !event.seenAt))
                rows.append(event);
        }
        const QString order = filterOf(request, QStringLiteral("order"));
        const bool descending = order.startsWith(QStringLiteral("created_at.desc"));
        if (order.startsWith(QStringLiteral("created_at.")))
            std::stable_sort(rows.begin(), rows.end(), [descending](const PublishEvent &a, const PublishEvent &b) {
                return descending ? a.createdAt > b.createdAt : a.createdAt < b.createdAt;
            });
        QJsonArray answer;
        for (const PublishEvent &event : rows)
            answer.append(rowOf(event));
        return Reply::json(200, answer);
    });
    route("PATCH", path, [this, filterOf, rowOf](const Request &request) {
        const QUuid user = userOf(request);
        const QString filter = filterOf(request, QStringLiteral("id"));
        if (!filter.startsWith(QStringLiteral("in.(")) || !filter.endsWith(u')'))
            return postgrestError(400, QStringLiteral("21000"), QStringLiteral("UPDATE requires a WHERE clause"));
        QSet<QUuid> named;
        for (const QString &id : filter.mid(4, filter.size() - 5).split(u','))
            named.insert(QUuid::fromString(id));
        const QDateTime seenAt =
            BackendTimestamp::parse(request.json().value(QLatin1StringView("seen_at")).toString());
        QJsonArray changed;
        for (PublishEvent &event : publishEvents) {
            if (event.owner != user || !named.contains(event.id))
                continue;
            event.seenAt = seenAt;
            changed.append(rowOf(event));
        }
        return Reply::json(200, changed);
    });
}
