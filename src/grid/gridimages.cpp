#include "grid/gridimages.h"

#include <QBuffer>

namespace fenpai {

bool GridImages::add(const QString &key, const QByteArray &encoded)
{
    if (key.isEmpty())
        return false;
    QImage image;
    if (!image.loadFromData(encoded))
        return false;
    m_data.insert(key, encoded);
    m_cache.insert(key, image);
    return true;
}

bool GridImages::add(const QString &key, const QImage &image)
{
    if (key.isEmpty() || image.isNull())
        return false;
    m_data.insert(key, QByteArray());
    m_cache.insert(key, image);
    return true;
}

QByteArray GridImages::data(const QString &key) const
{
    const auto it = m_data.find(key);
    if (it == m_data.end())
        return {};
    if (it->isEmpty()) {
        const QImage image = m_cache.value(key);
        QBuffer buffer(&it.value());
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return it.value();
}

void GridImages::insert(const QString &key, const QByteArray &encoded)
{
    m_data.insert(key, encoded);
    m_cache.remove(key);
}

void GridImages::remove(const QString &key)
{
    m_data.remove(key);
    m_cache.remove(key);
}

void GridImages::clear()
{
    m_data.clear();
    m_cache.clear();
}

QImage GridImages::image(const QString &key) const
{
    const auto it = m_cache.constFind(key);
    if (it != m_cache.cend())
        return it.value();
    const auto data = m_data.constFind(key);
    if (data == m_data.cend())
        return {};
    QImage image;
    image.loadFromData(data.value());
    m_cache.insert(key, image);
    return image;
}

bool GridImages::isModules(const QString &key) const
{
    const auto data = m_data.constFind(key);
    return data != m_data.cend() && data->startsWith("P4");
}

QByteArray GridImages::modulesBitmap(int width, int height, const std::vector<bool> &dark)
{
    QByteArray out = "P4\n" + QByteArray::number(width) + ' ' + QByteArray::number(height) + '\n';
    const int lineBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        QByteArray line(lineBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + x;
            if (i < dark.size() && dark[i])
                line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
        }
        out += line;
    }
    return out;
}

QStringList GridImages::keys() const
{
    QStringList keys = m_data.keys();
    keys.sort();
    return keys;
}

} // namespace fenpai
