#pragma once

#include <QFileDevice>
#include <QString>

namespace fenpai {

// Why a file could not be opened, read or written, in the user's words. Qt and the C library
// explain in English ("No such file or directory", "Unknown error"); every message that reaches
// a user goes through here instead, and the English stays in the log.
class FileErrorText final
{
public:
    // The words for an errno value; empty when it is none of the common ones.
    static QString forErrno(int error);
    // Why `file` failed: a folder where a file was wanted, then the errno value taken right after
    // the failing call, then the kind of failure the device reports.
    static QString describe(const QFileDevice &file, int error);
};

} // namespace fenpai
