#pragma once

#include "store/status.h"

namespace qb {

class ModelContainer;

// Mirrors a store to the user's cloud account. A backend attaches to an open container and
// reports merged incoming changes through the main context's remote-change signal.
class CloudMirror {
public:
    virtual ~CloudMirror() = default;
    // Whether an account is set up at all. Without one the store is opened once, locally,
    // and nothing of the mirror runs.
    virtual bool isConfigured() const = 0;
    // An error means the mirrored store cannot be used; the caller falls back to local only.
    virtual Status attach(ModelContainer &container) = 0;
};

// No sync backend is configured: every attempt fails, so the store opens locally.
class UnavailableCloudMirror final : public CloudMirror {
public:
    bool isConfigured() const override { return false; }
    Status attach(ModelContainer &) override {
        return Status::failure(QStringLiteral("No cloud account is available"));
    }
};

} // namespace qb
