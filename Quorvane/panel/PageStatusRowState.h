// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "model/PageStatusSiteState.h"
#include "model/PageStatusStore.h"
#include "model/SiteDirectory.h"
#include "model/SiteRecord.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <optional>

/**
 * @brief What one Page Status row shows for its project: the site it is looked up under, which
 * detail shows, the progress indicator and the switch, and the texts of the counts row.
 *
 * The row only reads: nothing fills the Page Status store yet, and neither the switch nor
 * "Reconnect" starts anything. Everything is derived again whenever the store or the site
 * directory changes; the "Updated …" text reads the engine's clock when it is evaluated.
 */
class PageStatusRowState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(PageStatusStore *store READ store WRITE setStore NOTIFY inputsChanged)
    Q_PROPERTY(SiteDirectory *siteDirectory READ siteDirectory WRITE setSiteDirectory NOTIFY inputsChanged)
    /// The project's bound site id; empty when it has none.
    Q_PROPERTY(QString projectSiteId READ projectSiteId WRITE setProjectSiteId NOTIFY inputsChanged)
    /// The project's MCP server name, which finds its site when it has no bound site id.
    Q_PROPERTY(QString mcpName READ mcpName WRITE setMcpName NOTIFY inputsChanged)

    Q_PROPERTY(Detail detail READ detail NOTIFY inputsChanged)
    Q_PROPERTY(bool showsProgress READ showsProgress NOTIFY inputsChanged)
    /// The switch shows on exactly when the site has a Page Status state.
    Q_PROPERTY(bool switchOn READ switchOn NOTIFY inputsChanged)
    Q_PROPERTY(bool switchEnabled READ switchEnabled NOTIFY inputsChanged)
    Q_PROPERTY(QString queuedText READ queuedText NOTIFY inputsChanged)
    Q_PROPERTY(QString stagedText READ stagedText NOTIFY inputsChanged)
    /// The counts row's trailing text; empty when the phase has none.
    Q_PROPERTY(QString phaseText READ phaseText NOTIFY inputsChanged)
    /// The access-ended block's sentence, worded by whether Page Status is still wanted.
    Q_PROPERTY(QString accessEndedText READ accessEndedText NOTIFY inputsChanged)

public:
    /// The one detail under the header, if any.
    enum class Detail { None, Counts, AuthorizationNote, RemovalNote, AccessEnded, VerificationWarning };
    Q_ENUM(Detail)

    /// The header's progress indicator and switch.
    struct Header
    {
        bool showsProgress = false;
        bool switchOn = false;
        bool switchEnabled = false;
        friend bool operator==(const Header &, const Header &) = default;
    };

    /// The attention code that means Webflow access ended; compared exactly.
    static inline const QString credentialRevoked = QStringLiteral("credential_revoked");

    /// The site a project is looked up under: its bound site id when it has one (known to the
    /// directory or not), else the first site whose connections hold its server name.
    [[nodiscard]] static std::optional<QString> siteId(const std::optional<QString> &projectSiteId,
                                                       const QString &mcpName, const QList<SiteRecord> &sites);
    [[nodiscard]] static Detail detail(const std::optional<PageStatusSiteState> &state);
    /// `lastError` set, even to an empty text, unsettles the store as a first load does.
    [[nodiscard]] static Header header(const std::optional<PageStatusSiteState> &state, bool isChecking,
                                       bool hasLoadedOnce, const std::optional<QString> &lastError);
    /// "Observing", the "Updated …" text or "Paused for a safe publish"; empty for other phases.
    [[nodiscard]] static QString phaseText(const PageStatusSiteState &state, const QDateTime &now);
    /// A marker pill's text: the count in plain digits, a space, the word.
    [[nodiscard]] static QString pillText(qint64 count, const QString &word);
    [[nodiscard]] static QString accessEndedText(bool desiredEnabled);

    using QObject::QObject;

    [[nodiscard]] PageStatusStore *store() const { return m_store; }
    void setStore(PageStatusStore *store);
    [[nodiscard]] SiteDirectory *siteDirectory() const { return m_siteDirectory; }
    void setSiteDirectory(SiteDirectory *directory);
    [[nodiscard]] QString projectSiteId() const { return m_projectSiteId; }
    void setProjectSiteId(const QString &siteId);
    [[nodiscard]] QString mcpName() const { return m_mcpName; }
    void setMcpName(const QString &name);

    /// The site's state in the store; none without a site or an entry.
    [[nodiscard]] std::optional<PageStatusSiteState> siteState() const;
    [[nodiscard]] Detail detail() const { return detail(siteState()); }
    [[nodiscard]] Header currentHeader() const;
    [[nodiscard]] bool showsProgress() const { return currentHeader().showsProgress; }
    [[nodiscard]] bool switchOn() const { return currentHeader().switchOn; }
    [[nodiscard]] bool switchEnabled() const { return currentHeader().switchEnabled; }
    [[nodiscard]] QString queuedText() const;
    [[nodiscard]] QString stagedText() const;
    [[nodiscard]] QString phaseText() const;
    [[nodiscard]] QString accessEndedText() const;

signals:
    /// An input changed, or the store or directory the row reads.
    void inputsChanged();

private:
    QPointer<PageStatusStore> m_store;
    QPointer<SiteDirectory> m_siteDirectory;
    QString m_projectSiteId;
    QString m_mcpName;
};
