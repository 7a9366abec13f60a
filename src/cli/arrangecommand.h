#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai arrange: the exam room arrangement without a window, with the dialog's defaults for
// every option left out; prints "编排完成!" and one line per room.
class ArrangeCommand final
{
public:
    static int run(CliContext &context, const QStringList &args);
};

} // namespace fenpai
