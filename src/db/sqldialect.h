#pragma once

#include <QString>

namespace fenpai {

// Translates the statements the program and its users write (with `&`, Chr(n), "double-quoted"
// texts and desktop-database column types) into SQLite's dialect. Pure functions; nothing is
// cached.
//
//  - `a & b & c` becomes concat_skip_null(a, b, c): SQLite's `&` is a bitwise AND, and `||` would
//    print a REAL as "95.0" and turn a null into null where `&` gives the other operand;
//  - Chr(n) becomes char(n); "double-quoted" texts become 'single-quoted' literals;
//  - in CREATE TABLE, COUNTER, SHORT, LONG, text (n), memo, double … become SQLite types.
// Bracketed names, iif, nested selects and desc/DESC are SQLite's own already.
class SqlDialect final
{
public:
    static QString translate(const QString &sql);

    // 'text' with embedded quotes doubled.
    static QString quoteLiteral(const QString &text);
    // [name], for names used as column aliases or identifiers (a "]" cannot stand inside
    // brackets, so it is replaced by its full-width form).
    static QString quoteName(const QString &name);
};

} // namespace fenpai
