#include "mainwindowstate.h"

#include "app/taskservices.h"
#include "base/privatefile.h"
#include "model/stockqueries.h"
#include "models/todorowsmodel.h"
#include "navigation/approuter.h"
#include "navigation/composer.h"
#include "preferences/apptab.h"
#include "preferences/preferences.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"

#include <QSettings>

namespace qb {

MainWindowState::MainWindowState(QObject *parent)
    : QObject(parent)
    , m_composer(new Composer(this)) {}

MainWindowState::~MainWindowState() = default;

void MainWindowState::setContext(ModelContext *context) {
    if (replaceDependency(m_context, context))
        emit dependenciesChanged();
}

void MainWindowState::setEnvironment(Environment *environment) {
    if (replaceDependency(m_environment, environment))
        emit dependenciesChanged();
}

void MainWindowState::setUndoCenter(UndoCenter *undoCenter) {
    if (replaceDependency(m_undoCenter, undoCenter))
        emit dependenciesChanged();
}

void MainWindowState::setRouter(AppRouter *router) {
    if (!replaceFollowed(m_router, router, this))
        return;
    if (m_router)
        connect(m_router, &AppRouter::pendingRouteChanged, this, &MainWindowState::followRoute);
    emit dependenciesChanged();
}

void MainWindowState::setPreferences(Preferences *preferences) {
    if (replaceDependency(m_preferences, preferences))
        emit dependenciesChanged();
}

TaskServices MainWindowState::services() const {
    return {m_context, m_environment, m_undoCenter};
}

void MainWindowState::setWindowIndex(int index) {
    if (m_windowIndex == index)
        return;
    m_windowIndex = index;
    emit windowIndexChanged();
}

void MainWindowState::setPerspective(const QString &raw) {
    const AppTab tab = caseFromRaw<AppTab>(raw).value_or(AppTab::Today);
    const QString normalized = rawValue(tab);
    if (m_perspective == normalized)
        return;
    m_perspective = normalized;
    clearSelection();
    if (m_preferences)
        m_preferences->setStoredPerspective(m_windowIndex, tab);
    emit perspectiveChanged();
}

void MainWindowState::restorePerspective() {
    if (!m_preferences)
        return;
    // A window that stored nothing yet opens on the "Open to" choice ("Last used" is Today).
    const Preferences &preferences = *m_preferences;
    QString opening = rawValue(preferences.storedPerspective(m_windowIndex));
    if (!preferences.hasStoredPerspective(m_windowIndex))
        opening = preferences.openTo() == OpenTo::Later ? QStringLiteral("later")
                                                        : QStringLiteral("today");
    if (opening != m_perspective) {
        m_perspective = opening;
        emit perspectiveChanged();
    }
}

QObject *MainWindowState::selectedTodo() const {
    return exposeToQml(m_selectedTodo);
}

// Empty for a selection deleted meanwhile, as the detail pane then shows none: its restored
// copy (a new object with the same id) is not the selection either.
QString MainWindowState::selectedTodoId() const {
    return hasLiveSelection() ? m_selectedTodo->id().toString(QUuid::WithoutBraces) : QString();
}

void MainWindowState::navigateTo(QObject *todo) {
    TodoItemPtr shared = sharedTodo(todo);
    if (shared == m_selectedTodo)
        return;
    if (m_selectedTodo)
        disconnect(m_selectedTodo.get(), nullptr, this, nullptr);
    m_selectedTodo = std::move(shared);
    // A deleted selection falls back to "No to-do selected".
    if (m_selectedTodo)
        connect(m_selectedTodo.get(), &Record::contextStateChanged, this,
                &MainWindowState::selectedTodoChanged);
    emit selectedTodoChanged();
}

void MainWindowState::clearSelection() {
    navigateTo(nullptr);
}

bool MainWindowState::hasLiveSelection() const {
    return m_selectedTodo && m_selectedTodo->isInContext();
}

void MainWindowState::setSearchQuery(const QString &query) {
    if (m_searchQuery == query)
        return;
    m_searchQuery = query;
    emit searchQueryChanged();
}

void MainWindowState::newTodo() {
    if (m_perspective == u"later") {
        m_composer->setAddingTo(TodoList::Later);
        emit draftRequested();
    } else if (m_perspective == u"done") {
        const TaskServices tasks = services();
        if (tasks.ready())
            tasks.offerAddition(tasks.store().add(QString(), TodoList::Today));
    } else {
        m_composer->setAddingTo(TodoList::Today);
        emit draftRequested();
    }
}

void MainWindowState::followRoute() {
    if (!m_router)
        return;
    const auto route = m_router->pendingRoute();
    if (!route)
        return;
    setSearchQuery(QString());
    setPerspective(QStringLiteral("today"));
    if (*route == AppRouter::Route::NewToday) {
        m_composer->setAddingTo(TodoList::Today);
        emit draftRequested();
    }
    m_router->setPendingRoute(std::nullopt);
}

bool MainWindowState::openTodo(const QString &id) {
    const QUuid uuid = QUuid::fromString(id);
    if (!services().ready() || uuid.isNull())
        return false;
    TodoFetch request;
    request.predicate = TodoPredicate::idEquals(uuid);
    request.limit = 1;
    const QList<TodoItemPtr> found = m_context->fetch(request).valueOr({});
    if (found.isEmpty())
        return false;
    const TodoItemPtr &item = found.first();
    // Asked of the store, so the to-do opens in the list that shows it.
    const bool dueToday =
        m_context
            ->count(TodoPredicate::idEquals(uuid) &&
                    stockqueries::todayList(m_environment->now(), m_environment->calendar()))
            .valueOr(0) > 0;
    setSearchQuery(QString());
    setPerspective(item->isCompleted() ? QStringLiteral("done")
                   : dueToday          ? QStringLiteral("today")
                                       : QStringLiteral("later"));
    navigateTo(item.get());
    return true;
}

void MainWindowState::requestDelete(QObject *todo, bool fromDetail) {
    const auto *item = qobject_cast<TodoItem *>(todo);
    if (!item || !item->isInContext())
        return;
    if (fromDetail) {
        emit deleteRequested(
            todo, QStringLiteral("This to-do, its subtasks, and its change log will be removed."));
        return;
    }
    const QString title = item->title().isEmpty() ? QStringLiteral("This to-do") : item->title();
    emit deleteRequested(todo, title + QStringLiteral(" and its change log will be removed."));
}

void MainWindowState::deleteTodo(QObject *todo) {
    const TaskServices tasks = services();
    if (tasks.ready())
        tasks.offer(tasks.store().remove(sharedTodo(todo)));
}

void MainWindowState::editTitle(QObject *todo) {
    if (!todo)
        return;
    navigateTo(todo);
    emit titleEditRequested();
}

void MainWindowState::returnToList() {
    emit listFocusRequested();
}

QRect MainWindowState::savedFrame() const {
    QSettings settings;
    return settings.value(QLatin1String(frameAutosaveName) + QStringLiteral("/frame")).toRect();
}

void MainWindowState::saveFrame(const QRect &frame) const {
    QSettings settings;
    settings.setValue(QLatin1String(frameAutosaveName) + QStringLiteral("/frame"), frame);
    // Private like the rest of the preferences; failing that, the frame is still written.
    (void)makePrivateFile(settings.fileName());
}

} // namespace qb
