#pragma once

#include <QCollator>
#include <QString>
#include <QUuid>

#include <algorithm>
#include <utility>
#include <vector>

namespace vantora::runtime {

// True when the text holds any character other than 0-9, a-f and A-F (false when empty).
bool containsNonHexDigit(QStringView text);

// A bridge id: exactly 16 characters, hexadecimal digits only, in either case.
bool isBridgeId(QStringView text);

// The order a person expects in a list of names: case-insensitive, digits compared as
// numbers ("Room 2" before "Room 10"), by the current locale's rules.
int localizedStandardCompare(const QString &a, const QString &b);

// A collator for that order. Make one per comparison run and keep it on one thread.
QCollator localizedStandardCollator();

// Sorts `items` in localized standard order of the names `nameOf` gives; items whose names
// compare as equal keep their relative order. Each name is collated once, so long lists
// cost little more than the sort itself.
template <typename T, typename NameOf>
void stableSortByLocalizedStandardOrder(std::vector<T> &items, NameOf nameOf)
{
    const QCollator collator = localizedStandardCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(items.size());
    for (const T &item : items)
        keys.push_back(collator.sortKey(nameOf(item)));
    // Sorting positions rather than the items moves each item once, however large it is.
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&keys](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const std::size_t position : order)
        sorted.push_back(std::move(items[position]));
    items = std::move(sorted);
}

// Plain code-point order, for ties that must never depend on the locale.
int codePointCompare(QStringView a, QStringView b);

// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F": 36 characters, upper-case, no braces.
QString uppercaseUuidText(const QUuid &uuid);

} // namespace vantora::runtime
