#pragma once

#include "app/environment.h"
#include "app/quillbrookapp.h"
#include "navigation/approuter.h"
#include "preferences/preferences.h"
#include "taskfixture.h"
#include "tasks/undocenter.h"
#include "viewmodels/completionqueue.h"
#include "virtualtime.h"

#include <QAbstractItemModel>
#include <QSignalSpy>

#include <memory>

namespace qb::test {

// The services over a real store, as AppRuntime builds them, but with the fixture's calendar
// and movable clock, and every timer (the day, the undo offer, completions) on virtual time.
class AppFixture : public TaskFixture {
protected:
    void SetUp() override {
        TaskFixture::SetUp();
        app = std::make_unique<QuillbrookApp>(QuillbrookApp::Parts{
            &context(), &environmentObject, &undoCenter, &router, preferences.get()});
        app->completions()->setTimerFactory([this] { return time.makeTimer(); });
    }

    // Hands a view model the services it names, as the QML does.
    template <typename Model> void wire(Model &model) {
        if constexpr (requires { model.setContext(&context()); })
            model.setContext(&context());
        if constexpr (requires { model.setEnvironment(&environmentObject); })
            model.setEnvironment(&environmentObject);
        if constexpr (requires { model.setUndoCenter(&undoCenter); })
            model.setUndoCenter(&undoCenter);
    }

    // `role`'s value in each row as text; a record (a to-do) by its title.
    QStringList column(const QAbstractItemModel &model, int role) const {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row) {
            const QVariant value = model.index(row, 0).data(role);
            auto *record = qvariant_cast<QObject *>(value);
            result.append(record ? record->property("title").toString() : value.toString());
        }
        return result;
    }

    VirtualTime time;
    Environment environmentObject{environment, time.makeTimer()};
    UndoCenter undoCenter{time.makeTimer()};
    AppRouter router;
    std::unique_ptr<Preferences> preferences =
        std::make_unique<Preferences>(folder.filePath(QStringLiteral("Quillbrook.conf")));
    std::unique_ptr<QuillbrookApp> app;
};

} // namespace qb::test
