#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

// The pictures of a grid by key, kept encoded as they came (files stay small) with the decoded
// images cached for painting; a picture drawn in memory is encoded when first asked for. A picture
// stored as a binary portable bitmap ("P4") is a matrix of square modules, a machine-readable code:
// it is drawn as sharp vector squares, never smoothed.
class GridImages final
{
public:
    // Adds or replaces a picture; false, and nothing added, when the bytes are no picture.
    bool add(const QString &key, const QByteArray &encoded);
    // Adds encoded bytes without decoding them now: pictures from a file or a paste.
    void insert(const QString &key, const QByteArray &encoded);
    // Adds a picture drawn in memory; it is encoded (PNG) only when its bytes are asked for, so
    // a document printed and never saved spares the encoding. False for a null image.
    bool add(const QString &key, const QImage &image);
    void remove(const QString &key);
    void clear();

    bool contains(const QString &key) const { return m_data.contains(key); }
    QImage image(const QString &key) const; // null when there is none
    QByteArray data(const QString &key) const;
    QStringList keys() const; // sorted
    bool isModules(const QString &key) const;
    // A matrix of modules (dark[y * width + x] true for a dark one) as a binary portable bitmap.
    static QByteArray modulesBitmap(int width, int height, const std::vector<bool> &dark);

private:
    mutable QHash<QString, QByteArray> m_data; // empty bytes: drawn, not encoded yet
    mutable QHash<QString, QImage> m_cache;
};

} // namespace fenpai
