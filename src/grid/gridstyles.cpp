#include "grid/gridstyles.h"

namespace fenpai {

namespace {

size_t colourHash(const QColor &c)
{
    return c.isValid() ? qHash(quint64(c.rgba64())) : 0;
}

// Every value that operator== compares; equal styles hash alike.
size_t styleHash(const CellStyle &s)
{
    size_t h = qHashMulti(0, s.fontName, s.fontSize, s.bold, s.italic, s.underline, s.strikeout,
                          int(s.alignment), s.wrapText, s.locked, s.dropDown, s.imageKey);
    h = qHashMulti(h, colourHash(s.foreColor), colourHash(s.backColor));
    for (GridBorder::Style b : s.borders)
        h = qHashMulti(h, int(b));
    return h;
}

} // namespace

GridStyles::GridStyles()
{
    m_styles.push_back(CellStyle{});
    m_index.insert(styleHash(CellStyle{}), 0);
}

quint32 GridStyles::intern(const CellStyle &style)
{
    // Looked up by a hash of the values rather than a serialised copy: a sheet whose cells
    // each show their own picture has as many styles as cells, and interning runs for every
    // restyled cell.
    const size_t key = styleHash(style);
    for (auto it = m_index.constFind(key); it != m_index.cend() && it.key() == key; ++it) {
        if (m_styles[it.value()] == style)
            return it.value();
    }
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
