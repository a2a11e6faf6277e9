#pragma once

#include <QMenu>
#include <QObject>
#include <QUuid>

#include <memory>

class QSystemTrayIcon;

namespace qb {

class TrayMenuModel;

// The tray icon and its menu over a TrayMenuModel: the titles due today, then "New To-Do",
// "Show Quill Brook" and "Quit". The menu exists (and follows the model) whether or not an
// icon is shown; the icon only appears when the desktop offers a tray.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TrayIcon(TrayMenuModel &model, QObject *parent = nullptr);
    ~TrayIcon() override;

    // Shows the icon if the desktop has a tray; returns whether it is shown.
    bool show();
    bool isShown() const;
    QMenu &menu() { return m_menu; }

    // The app's icon: the installed theme icon, else the copy built into the program.
    static QIcon appIcon();

signals:
    void todoChosen(const QUuid &id);
    void newTodoChosen();
    void showChosen();
    void quitChosen();

private:
    void rebuildMenu();

    TrayMenuModel &m_model;
    QMenu m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace qb
