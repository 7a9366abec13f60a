#pragma once

namespace fenpai {

// The fonts documents name ("宋体", "黑体", "Arial") mapped to the installed Noto CJK and
// Liberation families, so Chinese renders on screen and in PDFs alike.
class FontSubstitutes final
{
public:
    static void install();
};

} // namespace fenpai
