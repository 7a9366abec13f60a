#pragma once

#include <QString>

namespace fenpai {

// Number display patterns of grid columns: "#" an optional digit, "0" a required digit, ","
// anywhere in the integer part groups thousands, "." starts the decimals, "%" multiplies by 100;
// other characters before or after the digits are copied. "####" shows 0 as an empty text.
class GridNumberFormat final
{
public:
    static QString format(double value, const QString &pattern);

    // True when the trimmed text is a complete finite decimal number; the value goes to *value.
    static bool parse(const QString &text, double *value = nullptr);
};

} // namespace fenpai
