#include "ui/common/datachanges.h"

namespace fenpai {

void DataChanges::announce(const QStringList &tables)
{
    if (!tables.isEmpty())
        emit changed(tables);
}

} // namespace fenpai
