#pragma once

#include "core/status.h"
#include "grid/checkeddevice.h"

#include <QSaveFile>
#include <QString>

namespace fenpai {

// A file an export writes: the bytes go to a temporary file beside the target, which replaces
// the target only on commit(). A failed or abandoned export leaves the old file as it was, a
// target marked read-only is refused even where the file system would let it be replaced, and
// a file the program holds open (the database) is never a target, whatever path names it.
class OutputFile final
{
public:
    explicit OutputFile(const QString &path);

    // Ok, or why the target cannot be written, in words for the user.
    [[nodiscard]] Status open();
    // Where the bytes go; every write is checked, a short one included.
    QIODevice *device() { return &m_device; }
    // Replaces the target with what was written; a write that failed on the way, the last
    // buffered bytes included, fails here and leaves the old file.
    [[nodiscard]] Status commit();

    // Why `path` may not be written at all (the database, a folder, a read-only file), checked
    // before any work is done for it; ok otherwise.
    [[nodiscard]] static Status checkTarget(const QString &path);
    // The refusal of an output onto a file the program holds open.
    static QString heldFileMessage();

private:
    [[nodiscard]] Status failed(const QString &why, int error) const;

    QString m_path;
    QSaveFile m_file;
    CheckedDevice m_device;
};

} // namespace fenpai
