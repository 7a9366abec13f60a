#include "core/heldfiles.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace fenpai {

namespace {

struct Held
{
    HeldFiles::Identity identity;
    int holds = 0;
};

// Shared by every connection of the process; a handful of entries at most.
struct Registry
{
    QMutex mutex;
    std::vector<Held> files;
};

Registry &registry()
{
    // Never destroyed: a connection closed during the program's exit still releases its file.
    static Registry *r = new Registry;
    return *r;
}

} // namespace

HeldFiles::Identity HeldFiles::Identity::of(const QString &path)
{
    Identity id;
    if (path.isEmpty())
        return id;
#ifdef Q_OS_UNIX
    struct stat st
    {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.device = static_cast<quint64>(st.st_dev);
    id.inode = static_cast<quint64>(st.st_ino);
    id.valid = true;
#else
    id.canonicalPath = QFileInfo(path).canonicalFilePath();
    id.valid = !id.canonicalPath.isEmpty();
#endif
    return id;
}

HeldFiles::Identity HeldFiles::hold(const QString &path)
{
    const Identity id = Identity::of(path);
    if (!id.valid)
        return id;
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    for (Held &h : r.files) {
        if (h.identity == id) {
            ++h.holds;
            return id;
        }
    }
    r.files.push_back({id, 1});
    return id;
}

void HeldFiles::release(const Identity &identity)
{
    if (!identity.valid)
        return;
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    for (auto it = r.files.begin(); it != r.files.end(); ++it) {
        if (it->identity == identity) {
            if (--it->holds == 0)
                r.files.erase(it);
            return;
        }
    }
}

bool HeldFiles::isHeld(const QString &path)
{
    const Identity id = Identity::of(path);
    if (!id.valid)
        return false;
    Registry &r = registry();
    const QMutexLocker lock(&r.mutex);
    for (const Held &h : r.files) {
        if (h.identity == id)
            return true;
    }
    return false;
}

} // namespace fenpai
