#include "model/record.h"

namespace qb {

Record::~Record() = default;

void Record::didChange() {
    if (m_context && !m_deleted && !m_trackingSuspended)
        m_context->recordDidChange(*this);
}

} // namespace qb
