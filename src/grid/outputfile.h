#pragma once

#include "core/status.h"

#include <QSaveFile>
#include <QString>

namespace fenpai {

// A file an export writes: the bytes go to a temporary file beside the target, which replaces
// the target only on commit(). A failed or abandoned export leaves the old file as it was, and a
// target marked read-only is refused even where the file system would let it be replaced.
class OutputFile final
{
public:
    explicit OutputFile(const QString &path);

    // Ok, or why the target cannot be written, in words for the user.
    [[nodiscard]] Status open();
    QIODevice *device() { return &m_file; }
    // Replaces the target with what was written; a write that failed on the way fails here.
    [[nodiscard]] Status commit();

private:
    [[nodiscard]] Status failed(const QString &why) const;

    QString m_path;
    QSaveFile m_file;
};

} // namespace fenpai
