#include "core/status.h"

namespace fenpai {

Status Status::withContext(const QString &context) const
{
    if (isOk() || context.isEmpty())
        return *this;
    return Status(m_kind, context + m_message);
}

} // namespace fenpai
