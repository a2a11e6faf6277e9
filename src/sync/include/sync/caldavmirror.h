#pragma once

#include "store/cloudmirror.h"
#include "sync/syncaccount.h"

namespace qb::sync {

// The store's mirror on a CalDAV collection. Attaching binds the store's bookkeeping to the
// account's collection (a store bound to another one starts over and queues every record); the
// network is only used once a sync engine runs over the attached store.
class CalDavMirror final : public CloudMirror {
public:
    explicit CalDavMirror(SyncAccount account)
        : m_account(std::move(account)) {}

    bool isConfigured() const override { return m_account.isConfigured(); }
    Status attach(ModelContainer &container) override;

private:
    SyncAccount m_account;
};

} // namespace qb::sync
