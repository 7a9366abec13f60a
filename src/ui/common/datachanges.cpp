#include "ui/common/datachanges.h"

namespace fenpai {

void DataChanges::announce(const QStringList &tables, QObject *by)
{
    if (!tables.isEmpty())
        emit changed(tables, by);
}

} // namespace fenpai
