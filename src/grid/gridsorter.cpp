#include "grid/gridsorter.h"

#include "grid/gridcontent.h"
#include "grid/gridnumberformat.h"

#include <QCollator>

#include <algorithm>
#include <memory>
#include <numeric>

namespace fenpai {

std::vector<int> GridSorter::order(const GridContent &content, int col, int first, bool descending)
{
    const int n = std::max(0, content.rowCount() - first);
    // Keys once per row: kind 0 number, 1 text, 2 empty.
    struct Key
    {
        int kind = 2;
        double number = 0;
        int textIndex = -1;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    std::vector<QCollatorSortKey> textKeys;
    std::unique_ptr<QCollator> collator;
    for (int i = 0; i < n; ++i) {
        const QString &text = content.text(first + i, col);
        Key &key = keys[size_t(i)];
        if (text.trimmed().isEmpty())
            continue;
        if (GridNumberFormat::parse(text, &key.number)) {
            key.kind = 0;
            continue;
        }
        if (!collator) {
            collator = std::make_unique<QCollator>(QLocale(QLocale::Chinese, QLocale::China));
            textKeys.reserve(size_t(n));
        }
        key.kind = 1;
        key.textIndex = int(textKeys.size());
        textKeys.push_back(collator->sortKey(text));
    }
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Key &ka = keys[size_t(a)];
        const Key &kb = keys[size_t(b)];
        if (ka.kind == 2 || kb.kind == 2)
            return ka.kind != 2 && kb.kind == 2; // empties last either way
        int cmp = 0;
        if (ka.kind != kb.kind)
            cmp = ka.kind < kb.kind ? -1 : 1;
        else if (ka.kind == 0)
            cmp = ka.number < kb.number ? -1 : (kb.number < ka.number ? 1 : 0);
        else
            cmp = textKeys[size_t(ka.textIndex)].compare(textKeys[size_t(kb.textIndex)]);
        return descending ? cmp > 0 : cmp < 0;
    });
    return order;
}

} // namespace fenpai
