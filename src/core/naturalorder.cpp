#include "core/naturalorder.h"

namespace fenpai {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

int NaturalOrder::compare(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Leading zeros do not count; then the longer run is the larger number.
            qsizetype ai = i;
            qsizetype bj = j;
            while (ai < a.size() && a[ai] == u'0')
                ++ai;
            while (bj < b.size() && b[bj] == u'0')
                ++bj;
            qsizetype ae = ai;
            qsizetype be = bj;
            while (ae < a.size() && isDigit(a[ae]))
                ++ae;
            while (be < b.size() && isDigit(b[be]))
                ++be;
            if (ae - ai != be - bj)
                return ae - ai < be - bj ? -1 : 1;
            for (; ai < ae; ++ai, ++bj) {
                if (a[ai] != b[bj])
                    return a[ai] < b[bj] ? -1 : 1;
            }
            // Equal values: the one with fewer leading zeros first, so the order is total.
            if (ae - i != be - j)
                return ae - i < be - j ? -1 : 1;
            i = ae;
            j = be;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

} // namespace fenpai
