#pragma once

#include <QString>

namespace fenpai {

// Orders texts as people read them: runs of digits compare by their value, so 初三(2)班 comes
// before 初三(10)班; everything else compares character by character.
class NaturalOrder final
{
public:
    static int compare(const QString &a, const QString &b);
    static bool less(const QString &a, const QString &b) { return compare(a, b) < 0; }
};

} // namespace fenpai
