#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace fenpai {

// How the program reads numbers from what users type and writes numbers as text. One place, so
// the command line, the documents and the dialogs all agree.
class NumberText final
{
public:
    // A whole-valued double prints without decimals ("85"); other values as the shortest text that
    // reads back to the same double ("85.5", "0.1").
    static QString format(double value);

    // A stored value as the documents and the command line show it: null → "", integers in
    // decimal, doubles through format(), texts unchanged.
    static QString display(const QVariant &value);

    // The number formed by the leading characters of the text as far as they read as a decimal
    // number (leading blanks skipped); text that does not begin with a number reads 0.
    static double leadingValue(const QString &text);

    // True when the text, trimmed, is a complete decimal number.
    static bool isNumber(const QString &text);

    // A whole number as typed where one is wanted: decimal digits with an optional sign, blanks
    // around them allowed, within [min, max]. None for anything else, fractions and numbers past
    // 64 bits included, so that no value is ever cut down to fit.
    static std::optional<qint64> wholeNumber(const QString &text, qint64 min, qint64 max);

    // Nearest whole number, halves to the even neighbour (2.5 → 2, 3.5 → 4).
    static double roundHalfEven(double value);
};

} // namespace fenpai
