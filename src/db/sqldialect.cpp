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

// One token of a parenthesised level, or a nested level in its place.
struct Item
{
    QString text;
    int group = -1; // the nested level this item stands for; -1 for a token
    bool boundary = false;
    bool amp = false;
    bool space = false;
};

struct Level
{
    std::vector<Item> items;
    bool closed = false; // its ")" was there
};

Item textItem(const QString &text)
{
    return Item{text};
}

// The tokens by parenthesised level: level 0 is the statement, and each "(" opens a level that
// stands as one item in the level around it. Read with a stack of open levels rather than by
// recursion, so that no nesting, however deep, can exhaust the call stack.
std::vector<Level> levelsOf(const std::vector<Token> &tokens)
{
    std::vector<Level> levels(1);
    std::vector<int> open{0};
    for (const Token &token : tokens) {
        if (token.type == TokenType::LParen) {
            const int group = static_cast<int>(levels.size());
            levels.emplace_back();
            Item item;
            item.group = group;
            levels[static_cast<size_t>(open.back())].items.push_back(item);
            open.push_back(group);
            continue;
        }
        // A ")" without its "(" is an ordinary token, as typed.
        if (token.type == TokenType::RParen && open.size() > 1) {
            levels[static_cast<size_t>(open.back())].closed = true;
            open.pop_back();
            continue;
        }
        Item item = textItem(token.text);
        item.boundary = isBoundary(token);
        item.amp = token.type == TokenType::Amp;
        item.space = token.type == TokenType::Space;
        levels[static_cast<size_t>(open.back())].items.push_back(item);
    }
    return levels;
}

// Items [begin, end) of one level between boundaries; with an `&` among them they become
// concat_skip_null(operand, operand, …), the spaces around the chain kept outside the call.
void planSegment(const std::vector<Item> &items, size_t begin, size_t end, std::vector<Item> &out)
{
    bool hasAmp = false;
    for (size_t i = begin; i < end; ++i)
        hasAmp = hasAmp || items[i].amp;
    if (!hasAmp) {
        out.insert(out.end(), items.begin() + static_cast<qsizetype>(begin),
                   items.begin() + static_cast<qsizetype>(end));
        return;
    }
    size_t first = begin;
    size_t last = end;
    while (first < last && items[first].space)
        out.push_back(items[first++]);
    while (last > first && items[last - 1].space)
        --last;
    out.push_back(textItem(QStringLiteral("concat_skip_null(")));
    // An empty operand stays visibly broken so SQLite reports a syntax error instead of running
    // something else.
    for (size_t i = first;;) {
        size_t j = i;
        while (j < last && !items[j].amp)
            ++j;
        size_t a = i;
        size_t b = j;
        while (a < b && items[a].space)
            ++a;
        while (b > a && items[b - 1].space)
            --b;
        if (i != first)
            out.push_back(textItem(QStringLiteral(", ")));
        out.insert(out.end(), items.begin() + static_cast<qsizetype>(a),
                   items.begin() + static_cast<qsizetype>(b));
        if (j >= last)
            break;
        i = j + 1;
    }
    out.push_back(textItem(QStringLiteral(")")));
    out.insert(out.end(), items.begin() + static_cast<qsizetype>(last),
               items.begin() + static_cast<qsizetype>(end));
}

// What one level writes: its `&` chains made calls, its nested levels left in their places.
std::vector<Item> planLevel(const Level &level)
{
    std::vector<Item> plan;
    size_t segment = 0;
    for (size_t i = 0; i < level.items.size(); ++i) {
        if (level.items[i].boundary) {
            planSegment(level.items, segment, i, plan);
            plan.push_back(level.items[i]);
            segment = i + 1;
        }
    }
    planSegment(level.items, segment, level.items.size(), plan);
    return plan;
}

// The statement written out level by level, again with a stack instead of recursion.
QString writeOut(const std::vector<Token> &tokens)
{
    const std::vector<Level> levels = levelsOf(tokens);
    std::vector<std::vector<Item>> plans;
    plans.reserve(levels.size());
    for (const Level &level : levels)
        plans.push_back(planLevel(level));
    QString out;
    struct Frame
    {
        size_t level;
        size_t next;
    };
    std::vector<Frame> stack{{0, 0}};
    while (!stack.empty()) {
        const size_t level = stack.back().level;
        const size_t next = stack.back().next++;
        if (next == plans[level].size()) {
            if (levels[level].closed)
                out += u')';
            stack.pop_back();
            continue;
        }
        const Item &piece = plans[level][next];
        if (piece.group < 0) {
            out += piece.text;
        } else {
            out += u'(';
            stack.push_back({static_cast<size_t>(piece.group), 0});
        }
    }
    return out;
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

    return writeOut(tokens);
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
