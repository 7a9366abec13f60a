#include "db/sqldialect.h"

#include <QSet>
#include <QStringList>

#include <vector>

namespace fenpai {

namespace {

enum class TokenType
{
    Space,
    Word,
    Number,
    String,
    Bracket,
    Op,
    LParen,
    RParen,
    Comma,
    Amp
};

struct Token
{
    TokenType type;
    QString text;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

template <typename Accept> int scanWhile(const QString &sql, int i, Accept accept)
{
    while (i < sql.size() && accept(sql[i]))
        ++i;
    return i;
}

// A quoted text from its opening quote to the position after the closing one; the quote
// doubled inside stands for itself.
int scanQuoted(const QString &sql, int i, QString *value)
{
    const QChar quote = sql[i++];
    const int n = static_cast<int>(sql.size());
    while (i < n) {
        if (sql[i] != quote) {
            *value += sql[i++];
        } else if (i + 1 < n && sql[i + 1] == quote) {
            *value += quote;
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i;
}

int scanBracket(const QString &sql, int i)
{
    i = scanWhile(sql, i, [](QChar c) { return c != u']'; });
    return i < sql.size() ? i + 1 : i;
}

bool startsNumber(const QString &sql, int i)
{
    return sql[i].isDigit() || (sql[i] == u'.' && i + 1 < sql.size() && sql[i + 1].isDigit());
}

// Punctuation or an operator. Two-character operators stay one token so that "<=" is one
// boundary.
Token symbol(const QString &sql, int i)
{
    switch (sql[i].unicode()) {
    case u'(':
        return {TokenType::LParen, QStringLiteral("(")};
    case u')':
        return {TokenType::RParen, QStringLiteral(")")};
    case u',':
        return {TokenType::Comma, QStringLiteral(",")};
    case u'&':
        return {TokenType::Amp, QStringLiteral("&")};
    default:
        break;
    }
    static const QStringList twoChar = {QLatin1String("<="), QLatin1String(">="),
                                        QLatin1String("<>"), QLatin1String("!="),
                                        QLatin1String("||"), QLatin1String("==")};
    if (i + 1 < sql.size() && twoChar.contains(sql.mid(i, 2)))
        return {TokenType::Op, sql.mid(i, 2)};
    return {TokenType::Op, QString(sql[i])};
}

std::vector<Token> tokenize(const QString &sql)
{
    std::vector<Token> tokens;
    int i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            i = scanWhile(sql, i, [](QChar x) { return x.isSpace(); });
            tokens.push_back({TokenType::Space, sql.mid(start, i - start)});
        } else if (c == u'\'' || c == u'"') {
            QString value;
            i = scanQuoted(sql, i, &value);
            tokens.push_back({TokenType::String, SqlDialect::quoteLiteral(value)});
        } else if (c == u'[') {
            i = scanBracket(sql, i);
            tokens.push_back({TokenType::Bracket, sql.mid(start, i - start)});
        } else if (startsNumber(sql, i)) {
            i = scanWhile(sql, i, [](QChar x) { return x.isLetterOrNumber() || x == u'.'; });
            tokens.push_back({TokenType::Number, sql.mid(start, i - start)});
        } else if (isWordChar(c)) {
            i = scanWhile(sql, i, isWordChar);
            tokens.push_back({TokenType::Word, sql.mid(start, i - start)});
        } else {
            tokens.push_back(symbol(sql, i));
            i += static_cast<int>(tokens.back().text.size());
        }
    }
    return tokens;
}

bool isKeyword(const Token &token, const char *word)
{
    return token.type == TokenType::Word &&
           token.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Tokens that end an operand of `&`: & binds tighter than comparisons and logic, looser than
// arithmetic, so a chain runs between such boundaries.
bool isBoundary(const Token &token)
{
    static const QSet<QString> keywords = {
        QLatin1String("SELECT"), QLatin1String("DISTINCT"), QLatin1String("ALL"),
        QLatin1String("AS"),     QLatin1String("FROM"),     QLatin1String("WHERE"),
        QLatin1String("AND"),    QLatin1String("OR"),       QLatin1String("NOT"),
        QLatin1String("ON"),     QLatin1String("BY"),       QLatin1String("GROUP"),
        QLatin1String("ORDER"),  QLatin1String("HAVING"),   QLatin1String("WHEN"),
        QLatin1String("THEN"),   QLatin1String("ELSE"),     QLatin1String("END"),
        QLatin1String("CASE"),   QLatin1String("IS"),       QLatin1String("IN"),
        QLatin1String("LIKE"),   QLatin1String("BETWEEN"),  QLatin1String("SET"),
        QLatin1String("VALUES"), QLatin1String("INTO"),     QLatin1String("JOIN"),
        QLatin1String("LEFT"),   QLatin1String("RIGHT"),    QLatin1String("INNER"),
        QLatin1String("OUTER"),  QLatin1String("UNION"),    QLatin1String("TOP"),
        QLatin1String("ASC"),    QLatin1String("DESC"),     QLatin1String("LIMIT"),
        QLatin1String("INSERT"), QLatin1String("UPDATE"),   QLatin1String("DELETE"),
        QLatin1String("GLOB")};
    switch (token.type) {
    case TokenType::Comma:
        return true;
    case TokenType::Word:
        return keywords.contains(token.text.toUpper());
    case TokenType::Op: {
        static const QSet<QString> comparisons = {
            QLatin1String("="),  QLatin1String("<"),  QLatin1String(">"),
            QLatin1String("<="), QLatin1String(">="), QLatin1String("<>"),
            QLatin1String("!="), QLatin1String("=="), QLatin1String(";")};
        return comparisons.contains(token.text);
    }
    default:
        return false;
    }
}

struct Item
{
    QString text;
    bool boundary = false;
    bool amp = false;
    bool space = false;
};

QString emitRange(const std::vector<Token> &tokens, size_t begin, size_t end);

QString joinSegment(const std::vector<Item> &segment)
{
    bool hasAmp = false;
    for (const Item &item : segment)
        hasAmp = hasAmp || item.amp;
    QString out;
    if (!hasAmp) {
        for (const Item &item : segment)
            out += item.text;
        return out;
    }
    // Keep the spaces around the chain outside the call.
    size_t first = 0;
    size_t last = segment.size();
    while (first < last && segment[first].space)
        out += segment[first++].text;
    QString trailing;
    while (last > first && segment[last - 1].space)
        trailing.prepend(segment[--last].text);
    QStringList operands{QString()};
    for (size_t i = first; i < last; ++i) {
        if (segment[i].amp)
            operands.append(QString());
        else
            operands.last() += segment[i].text;
    }
    for (QString &operand : operands)
        operand = operand.trimmed();
    // An empty operand stays visibly broken so SQLite reports a syntax error instead of running
    // something else.
    out += QStringLiteral("concat_skip_null(") + operands.join(QStringLiteral(", ")) +
           QStringLiteral(")");
    return out + trailing;
}

QString emitRange(const std::vector<Token> &tokens, size_t begin, size_t end)
{
    std::vector<Item> items;
    size_t i = begin;
    while (i < end) {
        const Token &token = tokens[i];
        if (token.type == TokenType::LParen) {
            int depth = 1;
            size_t j = i + 1;
            while (j < end && depth > 0) {
                if (tokens[j].type == TokenType::LParen)
                    ++depth;
                else if (tokens[j].type == TokenType::RParen)
                    --depth;
                if (depth > 0)
                    ++j;
            }
            const bool closed = j < end;
            items.push_back({QStringLiteral("(") + emitRange(tokens, i + 1, j) +
                             (closed ? QLatin1String(")") : QLatin1String(""))});
            i = closed ? j + 1 : j;
            continue;
        }
        Item item{token.text};
        item.boundary = isBoundary(token);
        item.amp = token.type == TokenType::Amp;
        item.space = token.type == TokenType::Space;
        items.push_back(item);
        ++i;
    }
    QString out;
    std::vector<Item> segment;
    for (const Item &item : items) {
        if (item.boundary) {
            out += joinSegment(segment);
            segment.clear();
            out += item.text;
        } else {
            segment.push_back(item);
        }
    }
    return out + joinSegment(segment);
}

// Desktop-database column types in CREATE TABLE (COUNTER, SHORT, text (n), ...).
void translateCreateTable(std::vector<Token> &tokens)
{
    for (size_t i = 0; i < tokens.size(); ++i) {
        Token &token = tokens[i];
        if (token.type != TokenType::Word)
            continue;
        // A type follows a column name: the previous non-space token is a name.
        size_t p = i;
        while (p > 0 && tokens[p - 1].type == TokenType::Space)
            --p;
        if (p == 0)
            continue;
        const Token &before = tokens[p - 1];
        if (before.type != TokenType::Word && before.type != TokenType::Bracket)
            continue;
        if (isKeyword(before, "TABLE"))
            continue;
        const QString upper = token.text.toUpper();
        QString replacement;
        if (upper == QLatin1String("COUNTER") || upper == QLatin1String("AUTOINCREMENT"))
            replacement = QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
        else if (upper == QLatin1String("SHORT") || upper == QLatin1String("LONG") ||
                 upper == QLatin1String("BYTE") || upper == QLatin1String("INTEGER") ||
                 upper == QLatin1String("INT") || upper == QLatin1String("YESNO") ||
                 upper == QLatin1String("BIT") || upper == QLatin1String("SMALLINT"))
            replacement = QStringLiteral("INTEGER");
        else if (upper == QLatin1String("DOUBLE") || upper == QLatin1String("SINGLE") ||
                 upper == QLatin1String("NUMBER") || upper == QLatin1String("FLOAT") ||
                 upper == QLatin1String("CURRENCY") || upper == QLatin1String("REAL") ||
                 upper == QLatin1String("NUMERIC"))
            replacement = QStringLiteral("REAL");
        else if (upper == QLatin1String("TEXT") || upper == QLatin1String("MEMO") ||
                 upper == QLatin1String("VARCHAR") || upper == QLatin1String("CHAR"))
            replacement = QStringLiteral("TEXT");
        if (replacement.isEmpty())
            continue;
        token.text = replacement;
        // Drop a length: text (50).
        size_t j = i + 1;
        while (j < tokens.size() && tokens[j].type == TokenType::Space)
            ++j;
        if (j + 2 < tokens.size() && tokens[j].type == TokenType::LParen &&
            tokens[j + 1].type == TokenType::Number && tokens[j + 2].type == TokenType::RParen) {
            tokens.erase(tokens.begin() + static_cast<long>(i + 1),
                         tokens.begin() + static_cast<long>(j + 3));
        }
    }
}

} // namespace

QString SqlDialect::translate(const QString &sql)
{
    std::vector<Token> tokens = tokenize(sql);

    // Chr(n) → char(n)
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].type != TokenType::Word)
            continue;
        if (tokens[i].text.compare(QLatin1String("chr"), Qt::CaseInsensitive) != 0 &&
            tokens[i].text.compare(QLatin1String("chr$"), Qt::CaseInsensitive) != 0)
            continue;
        size_t j = i + 1;
        while (j < tokens.size() && tokens[j].type == TokenType::Space)
            ++j;
        if (j < tokens.size() && tokens[j].type == TokenType::LParen)
            tokens[i].text = QStringLiteral("char");
    }

    size_t first = 0;
    while (first < tokens.size() && tokens[first].type == TokenType::Space)
        ++first;
    if (first < tokens.size() && isKeyword(tokens[first], "CREATE")) {
        size_t next = first + 1;
        while (next < tokens.size() && tokens[next].type == TokenType::Space)
            ++next;
        if (next < tokens.size() && isKeyword(tokens[next], "TABLE"))
            translateCreateTable(tokens);
    }

    return emitRange(tokens, 0, tokens.size());
}

QString SqlDialect::quoteLiteral(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString SqlDialect::quoteName(const QString &name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char(']'), QChar(0xFF3D));
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

} // namespace fenpai
