#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai check mixing: the mixing check of the arrangement, one finding a line, or 全部混排.
class CheckCommand final
{
public:
    static int run(CliContext &context, const QStringList &args);
};

} // namespace fenpai
