#include "grid/gridstyles.h"

namespace fenpai {

GridStyles::GridStyles()
{
    m_styles.push_back(CellStyle{});
    m_index.insert(CellStyle{}.toBytes(), 0);
}

quint32 GridStyles::intern(const CellStyle &style)
{
    const QByteArray key = style.toBytes();
    const auto it = m_index.constFind(key);
    if (it != m_index.cend())
        return it.value();
    const quint32 id = quint32(m_styles.size());
    m_styles.push_back(style);
    m_index.insert(key, id);
    return id;
}

const CellStyle &GridStyles::at(quint32 id) const
{
    return id < m_styles.size() ? m_styles[id] : m_styles.front();
}

} // namespace fenpai
