#include "trayicon.h"

#include "traymenumodel.h"

#include <QSystemTrayIcon>

namespace qb {

TrayIcon::TrayIcon(TrayMenuModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model) {
    connect(&m_model, &TrayMenuModel::changed, this, &TrayIcon::rebuildMenu);
    rebuildMenu();
}

TrayIcon::~TrayIcon() = default;

QIcon TrayIcon::appIcon() {
    QIcon builtIn;
    for (const int size : {16, 32, 48, 64, 128})
        builtIn.addFile(QStringLiteral(":/icons/%1/io.github.quillbrook.QuillBrook.png").arg(size));
    return QIcon::fromTheme(QStringLiteral("io.github.quillbrook.QuillBrook"), builtIn);
}

bool TrayIcon::show() {
    if (m_icon)
        return true;
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    m_icon = std::make_unique<QSystemTrayIcon>(appIcon());
    m_icon->setToolTip(m_model.toolTip());
    m_icon->setContextMenu(&m_menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    emit showChosen();
            });
    m_icon->show();
    return true;
}

bool TrayIcon::isShown() const {
    return m_icon && m_icon->isVisible();
}

void TrayIcon::rebuildMenu() {
    m_menu.clear();
    for (const TodaySnapshot::Item &item : m_model.items()) {
        QAction *entry = m_menu.addAction(TrayMenuModel::menuText(item.title));
        entry->setData(item.id);
        const QUuid id = item.id;
        connect(entry, &QAction::triggered, this, [this, id] { emit todoChosen(id); });
    }
    if (m_model.items().isEmpty())
        m_menu.addAction(QStringLiteral("Nothing due today"))->setEnabled(false);
    m_menu.addSeparator();
    connect(m_menu.addAction(QStringLiteral("New To-Do")), &QAction::triggered, this,
            &TrayIcon::newTodoChosen);
    connect(m_menu.addAction(QStringLiteral("Show Quill Brook")), &QAction::triggered, this,
            &TrayIcon::showChosen);
    connect(m_menu.addAction(QStringLiteral("Quit")), &QAction::triggered, this,
            &TrayIcon::quitChosen);
    if (m_icon)
        m_icon->setToolTip(m_model.toolTip());
}

} // namespace qb
