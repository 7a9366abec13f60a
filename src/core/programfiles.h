#pragma once

#include <QString>

namespace fenpai {

// Where the files that come with the program are: the manual (help/), the factory ticket
// templates (zkzmb/) and the demo workbooks (demo/). Installed into a prefix they live in
// PREFIX/share/fenpai beside PREFIX/bin/fenpai; run from the build folder, or from a tree
// installed with the manual beside the binary, they sit in the program's own folder.
class ProgramFiles final
{
public:
    // PREFIX/share/fenpai when `programDir` is the bin folder of a prefix holding that folder,
    // else empty.
    static QString sharedDir(const QString &programDir);

    // The folder holding help/ and zkzmb/: PREFIX/share/fenpai when it has the manual, else
    // `programDir` itself.
    static QString resourceDir(const QString &programDir);

    // True for a folder in /usr (however reached through links): the system's tree, which
    // the package manager owns and nothing of a user's may be written below.
    static bool isInSystemTree(const QString &dir);
};

} // namespace fenpai
