#include "core/status.h"

namespace fenpai {

Status Status::withContext(const QString &context) const
{
    if (isOk() || context.isEmpty())
        return *this;
    Status s = *this;
    s.m_message = context + m_message;
    return s;
}

} // namespace fenpai
