#pragma once

#include <QString>

namespace fenpai {

// What a report built into a grid gives its document: the title (the window's caption and the
// name of the output) and the text of the document's title box (the title with its row count).
struct ReportDocument
{
    QString title;
    QString titleText;
};

} // namespace fenpai
