#pragma once

#include <QString>

namespace fenpai {

// The files the program keeps open for itself — the database above all — which no output may
// replace. A file is known by what it is (device and inode, symbolic links followed), not by how
// its path is spelled, so a relative path, a second name or a link to it are caught as well.
// Connections on several threads hold the same file, so each hold is counted.
class HeldFiles final
{
public:
    // What a file is. Invalid for a path that names no existing file.
    struct Identity
    {
        quint64 device = 0;
        quint64 inode = 0;
        QString canonicalPath; // where the system has no inodes
        bool valid = false;

        static Identity of(const QString &path);
        bool operator==(const Identity &other) const = default;
    };

    // Holds the file at `path` until release() is given what this returns.
    static Identity hold(const QString &path);
    static void release(const Identity &identity);
    // True when `path`, however written, is a file some part of the program holds.
    static bool isHeld(const QString &path);
};

} // namespace fenpai
