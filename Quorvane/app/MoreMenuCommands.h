// SPDX-FileCopyrightText: 2026 Velliscor Studio
// SPDX-License-Identifier: LicenseRef-Proprietary
#pragma once

#include "app/MoreMenuEntries.h"
#include "app/PanelState.h"
#include "panel/Desktop.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

Q_MOC_INCLUDE("app/AppModel.h")
class AppModel;

/**
 * @brief The More menu's side in C++: its entries for the model's current state, rebuilt as that
 * state changes, and what each entry does when chosen.
 *
 * MoreMenu.qml makes one and hands it the application model, the panel's state and the desktop
 * whose clipboard the copy entries write to.
 */
class MoreMenuCommands : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(PanelState *panel READ panel WRITE setPanel NOTIFY panelChanged)
    /// Where the copy entries put their text; none: the desktop's own clipboard.
    Q_PROPERTY(Desktop *desktop READ desktop WRITE setDesktop NOTIFY desktopChanged)
    /// The menu, top to bottom: MoreMenuEntries::Entry values.
    Q_PROPERTY(QVariantList entries READ entriesList NOTIFY entriesChanged)

public:
    explicit MoreMenuCommands(QObject *parent = nullptr);

    /// What the menu is built from, read from the model now.
    [[nodiscard]] static MoreMenuEntries::Facts factsOf(AppModel &model);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);
    [[nodiscard]] PanelState *panel() const { return m_panel; }
    void setPanel(PanelState *panel);
    [[nodiscard]] Desktop *desktop() const { return m_desktop; }
    void setDesktop(Desktop *desktop);

    [[nodiscard]] const QList<MoreMenuEntries::Entry> &entries() const { return m_entries; }

    /// Runs the command of a chosen entry (MoreMenuEntries::Command as its number). A command
    /// that the menu now shows disabled, or does not show, does nothing: the state may have
    /// changed since the menu was drawn.
    Q_INVOKABLE void activate(int command);

signals:
    void modelChanged();
    void panelChanged();
    void desktopChanged();
    void entriesChanged();
    /// "Quit App" was chosen: the application ends at once.
    void quitRequested();

private:
    [[nodiscard]] QVariantList entriesList() const;
    [[nodiscard]] Desktop &clipboard() { return m_desktop ? *m_desktop : m_systemDesktop; }
    void follow();
    void rebuild();

    QPointer<AppModel> m_model;
    QPointer<PanelState> m_panel;
    QPointer<Desktop> m_desktop;
    SystemDesktop m_systemDesktop;
    QList<MoreMenuEntries::Entry> m_entries;
    QList<QMetaObject::Connection> m_followed;
};
