#include "mainwindowstate.h"

#include "app/quillbrookapp.h"
#include "base/privatefile.h"
#include "model/dayhelpers.h"
#include "models/todorowsmodel.h"
#include "navigation/approuter.h"
#include "navigation/composer.h"
#include "preferences/apptab.h"
#include "preferences/preferences.h"
#include "store/modelcontext.h"
#include "tasks/undocenter.h"
#include "tasks/undooffers.h"

#include <QSettings>

namespace qb {

MainWindowState::MainWindowState(QObject *parent)
    : QObject(parent)
    , m_composer(new Composer(this)) {}

MainWindowState::~MainWindowState() = default;

void MainWindowState::setApp(QuillbrookApp *app) {
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = app;
    if (m_app) {
        m_referenceDay = m_app->startOfToday();
        connect(m_app, &QuillbrookApp::activated, this, &MainWindowState::refreshReferenceDay);
        if (m_app->router())
            connect(m_app->router(), &AppRouter::pendingRouteChanged, this,
                    &MainWindowState::followRoute);
    }
    emit appChanged();
    emit referenceDayChanged();
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
    if (m_app && m_app->preferences())
        m_app->preferences()->setStoredPerspective(m_windowIndex, tab);
    emit perspectiveChanged();
}

void MainWindowState::restorePerspective() {
    if (!m_app || !m_app->preferences())
        return;
    // A window that stored nothing yet opens on the "Open to" choice ("Last used" is Today).
    const Preferences &preferences = *m_app->preferences();
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

QString MainWindowState::selectedTodoId() const {
    return m_selectedTodo ? m_selectedTodo->id().toString(QUuid::WithoutBraces) : QString();
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
        if (!m_app)
            return;
        auto item = m_app->taskStore().add(QString(), TodoList::Today);
        if (m_app->undoCenter())
            m_app->undoCenter()->offer(
                undooffers::forAddition(item, m_app->context(), m_app->environment()));
    } else {
        m_composer->setAddingTo(TodoList::Today);
        emit draftRequested();
    }
}

void MainWindowState::refreshReferenceDay() {
    if (!m_app)
        return;
    const QDateTime today = m_app->startOfToday();
    if (today == m_referenceDay)
        return;
    m_referenceDay = today;
    emit referenceDayChanged();
}

void MainWindowState::followRoute() {
    if (!m_app || !m_app->router())
        return;
    const auto route = m_app->router()->pendingRoute();
    if (!route)
        return;
    setSearchQuery(QString());
    setPerspective(QStringLiteral("today"));
    if (*route == AppRouter::Route::NewToday) {
        m_composer->setAddingTo(TodoList::Today);
        emit draftRequested();
    }
    m_app->router()->setPendingRoute(std::nullopt);
}

bool MainWindowState::openTodo(const QString &id) {
    const QUuid uuid = QUuid::fromString(id);
    if (!m_app || uuid.isNull())
        return false;
    TodoFetch request;
    request.predicate = TodoPredicate::idEquals(uuid);
    request.limit = 1;
    const QList<TodoItemPtr> found = m_app->context().fetch(request).valueOr({});
    if (found.isEmpty())
        return false;
    const TodoItemPtr &item = found.first();
    // Today holds the open to-dos dated before tomorrow; Later the rest of the open ones.
    const QDateTime tomorrow = startOfNextDay(m_app->now(), m_app->environment().calendar);
    const bool dueToday = item->scheduledDate().isValid() && item->scheduledDate() < tomorrow;
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
    if (!m_app)
        return;
    const auto snapshot = m_app->taskStore().remove(sharedTodo(todo));
    if (snapshot && m_app->undoCenter())
        m_app->undoCenter()->offer(
            undooffers::forDeletion(*snapshot, m_app->context(), m_app->environment()));
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
