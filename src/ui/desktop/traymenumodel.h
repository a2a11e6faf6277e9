#pragma once

#include "widget/todaysnapshot.h"
#include "widget/widgethost.h"

#include <QFileSystemWatcher>
#include <QObject>

namespace qb {

// What the tray shows, read from the Today snapshot file (today.json) rather than from the
// store, so it follows every writer of the file: this process, the command-line client and
// other instances alike. The file is replaced by a rename, which ends a watch on the file
// itself, so its folder is watched. The in-process widget reload reaches it directly too.
class TrayMenuModel : public QObject, public WidgetHost {
    Q_OBJECT

public:
    explicit TrayMenuModel(QString snapshotPath, QObject *parent = nullptr);

    // Reads the file and starts watching its folder.
    void start();
    // Reads the file again. A missing file reads as nothing due; an unreadable one leaves the
    // last good reading in place. Emits changed() when what the tray shows changed.
    void reload();
    void reloadAllTimelines() override { reload(); }

    QString snapshotPath() const { return m_path; }
    int dueToday() const { return m_dueToday; }
    // The first to-dos due today, at most TodaySnapshot::maximumItems.
    const QList<TodaySnapshot::Item> &items() const { return m_items; }
    // "Quill Brook: 3 to-dos due today", "… 1 to-do due today", "… nothing due today".
    QString toolTip() const;

    // A title as a menu entry: at most 60 characters (an ellipsis ends a longer one), one
    // line, "New To-Do" for a blank one, and "&" kept from becoming a keyboard accelerator.
    static QString menuText(const QString &title);

signals:
    void changed();

private:
    QString m_path;
    QFileSystemWatcher m_watcher;
    int m_dueToday = 0;
    QList<TodaySnapshot::Item> m_items;
};

} // namespace qb
