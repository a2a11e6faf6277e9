#include "sync/caldavmirror.h"

#include "store/modelcontainer.h"
#include "store/syncledger.h"

namespace qb::sync {

Status CalDavMirror::attach(ModelContainer &container) {
    if (!m_account.isConfigured())
        return Status::failure(QStringLiteral("No account is configured"));
    SyncLedger ledger(container.mainContext());
    return ledger.bind(m_account.collection.toString());
}

} // namespace qb::sync
