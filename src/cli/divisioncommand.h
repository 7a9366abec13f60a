#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai divide: the class division without a window.
class DivisionCommand final
{
public:
    // divide --classes N | --layers A,B,C,D  [--sex] [--school]
    static int divide(CliContext &context, const QStringList &args);
};

} // namespace fenpai
