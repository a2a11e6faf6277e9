#include "traymenumodel.h"

#include <QFile>
#include <QFileInfo>

namespace qb {

namespace {
constexpr qsizetype longestMenuText = 60;
} // namespace

TrayMenuModel::TrayMenuModel(QString snapshotPath, QObject *parent)
    : QObject(parent)
    , m_path(std::move(snapshotPath)) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TrayMenuModel::reload);
}

void TrayMenuModel::start() {
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
    reload();
}

void TrayMenuModel::reload() {
    int dueToday = 0;
    QList<TodaySnapshot::Item> items;
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        const auto snapshot = TodaySnapshot::fromJson(file.readAll());
        if (!snapshot)
            return;
        dueToday = snapshot->totalCount;
        items = snapshot->items;
    } else if (file.exists()) {
        return;
    }
    if (dueToday == m_dueToday && items == m_items)
        return;
    m_dueToday = dueToday;
    m_items = std::move(items);
    emit changed();
}

QString TrayMenuModel::toolTip() const {
    if (m_dueToday == 0)
        return QStringLiteral("Quill Brook: nothing due today");
    if (m_dueToday == 1)
        return QStringLiteral("Quill Brook: 1 to-do due today");
    return QStringLiteral("Quill Brook: %1 to-dos due today").arg(m_dueToday);
}

QString TrayMenuModel::menuText(const QString &title) {
    QString text = title.simplified();
    if (text.isEmpty())
        text = QStringLiteral("New To-Do");
    if (text.size() > longestMenuText) {
        qsizetype cut = longestMenuText - 1;
        // Never split a surrogate pair.
        if (text.at(cut - 1).isHighSurrogate())
            --cut;
        text = text.left(cut).trimmed() + QChar(0x2026);
    }
    text.replace(u'&', QStringLiteral("&&"));
    return text;
}

} // namespace qb
