#include "quillbrookapp.h"

#include "app/environment.h"
#include "preferences/effectivecolorscheme.h"
#include "store/modelcontext.h"
#include "sync/syncservice.h"
#include "tasks/undocenter.h"
#include "updates/checkforupdatesviewmodel.h"
#include "viewmodels/completionqueue.h"
#include "widget/widgetsnapshotwriter.h"

#include <QQmlEngine>

namespace qb {

QPointer<QuillbrookApp> QuillbrookApp::s_instance;

QuillbrookApp::QuillbrookApp(Parts parts, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_completions(new CompletionQueue(this))
    , m_updates(new CheckForUpdatesViewModel(m_parts.updater, this)) {
    m_completions->setContext(m_parts.context);
    m_completions->setEnvironment(m_parts.environment);
    if (m_parts.colorScheme) {
        connect(m_parts.colorScheme, &EffectiveColorScheme::colorSchemeChanged, this,
                &QuillbrookApp::darkChanged);
    }
    // Commits by other processes (the command-line client, another instance) are merged by
    // the context; the widget follows them like any local save.
    connect(m_parts.context, &ModelContext::remoteChange, this, &QuillbrookApp::refreshWidget);
    connect(m_parts.context, &ModelContext::storeFileNotice, this, [this](const QString &notice) {
        m_storeNotice = notice;
        emit storeNoticeChanged();
    });
}

QuillbrookApp *QuillbrookApp::create(QQmlEngine *, QJSEngine *) {
    QQmlEngine::setObjectOwnership(s_instance, QQmlEngine::CppOwnership);
    return s_instance;
}

void QuillbrookApp::setInstance(QuillbrookApp *app) {
    s_instance = app;
}

bool QuillbrookApp::isDark() const {
    return m_parts.colorScheme && m_parts.colorScheme->isDark();
}

void QuillbrookApp::undo() {
    if (m_parts.undoCenter)
        m_parts.undoCenter->usePending();
}

void QuillbrookApp::refreshWidget() {
    if (WidgetSnapshotWriter *widget = m_parts.environment->tasks().widget)
        widget->refresh(*m_parts.context);
}

void QuillbrookApp::dismissStoreNotice() {
    if (m_storeNotice.isEmpty())
        return;
    m_storeNotice.clear();
    emit storeNoticeChanged();
}

void QuillbrookApp::becameActive() {
    m_parts.context->checkForRemoteChanges();
    if (m_parts.sync)
        m_parts.sync->syncNow();
    refreshWidget();
    m_parts.environment->refresh();
}

} // namespace qb
