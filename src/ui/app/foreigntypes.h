#pragma once

#include "navigation/approuter.h"
#include "navigation/composer.h"
#include "preferences/effectivecolorscheme.h"
#include "preferences/preferences.h"
#include "store/modelcontext.h"
#include "sync/syncservice.h"
#include "tasks/undocenter.h"
#include "updates/checkforupdatesviewmodel.h"

#include <QtQml/qqml.h>

// The core's QObject types, known to QML by name but created only in C++.
namespace qb::qmlforeign {

struct ModelContextType {
    Q_GADGET
    QML_FOREIGN(qb::ModelContext)
    QML_NAMED_ELEMENT(ModelContext)
    QML_UNCREATABLE("The application owns the store's main context")
};

struct UndoCenterType {
    Q_GADGET
    QML_FOREIGN(qb::UndoCenter)
    QML_NAMED_ELEMENT(UndoCenter)
    QML_UNCREATABLE("The application owns the undo center")
};

struct AppRouterType {
    Q_GADGET
    QML_FOREIGN(qb::AppRouter)
    QML_NAMED_ELEMENT(AppRouter)
    QML_UNCREATABLE("The application owns the router")
};

struct ComposerType {
    Q_GADGET
    QML_FOREIGN(qb::Composer)
    QML_NAMED_ELEMENT(Composer)
};

struct PreferencesType {
    Q_GADGET
    QML_FOREIGN(qb::Preferences)
    QML_NAMED_ELEMENT(Preferences)
    QML_UNCREATABLE("The application owns the preferences")
};

struct EffectiveColorSchemeType {
    Q_GADGET
    QML_FOREIGN(qb::EffectiveColorScheme)
    QML_NAMED_ELEMENT(EffectiveColorScheme)
    QML_UNCREATABLE("The application owns the colour scheme")
};

struct CheckForUpdatesViewModelType {
    Q_GADGET
    QML_FOREIGN(qb::CheckForUpdatesViewModel)
    QML_NAMED_ELEMENT(CheckForUpdatesViewModel)
    QML_UNCREATABLE("The application owns the update command")
};

struct SyncServiceType {
    Q_GADGET
    QML_FOREIGN(qb::sync::SyncService)
    QML_NAMED_ELEMENT(SyncService)
    QML_UNCREATABLE("The application owns the sync service")
};

} // namespace qb::qmlforeign
