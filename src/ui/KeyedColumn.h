#pragma once

#include "ui/KeyedColumnBase.h"

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace vantora::ui {

// A column of rows that keeps each row's widget, and with it the row's view state (hover, an
// edit in progress, an open popup), for as long as its key stays in the data. `apply` updates
// kept rows in place through `Row::apply(const Row::Fields&)`, creates rows for new keys,
// deletes rows whose key is gone and moves rows to their new order (animated under the
// current transaction).
//
// A key listed twice keeps its first entry: ids come from the network, and a malformed list
// must not build two rows for one thing.
template <typename Row, typename Key = QString>
class KeyedColumn final : public KeyedColumnBase {
public:
    using Fields = typename Row::Fields;
    using Factory = std::function<Row *(const Key &, QWidget *parent)>;

    explicit KeyedColumn(QWidget *parent = nullptr)
        : KeyedColumn([](const Key &, QWidget *owner) { return new Row(owner); }, parent)
    {
    }

    KeyedColumn(Factory factory, QWidget *parent)
        : KeyedColumnBase(parent)
        , m_factory(std::move(factory))
    {
    }

    void apply(const std::vector<std::pair<Key, Fields>> &items)
    {
        std::map<Key, Row *> kept;
        std::vector<QWidget *> order;
        order.reserve(items.size());
        for (const auto &[key, fields] : items) {
            if (kept.contains(key))
                continue;
            Row *row = takeRow(key);
            row->apply(fields);
            kept.emplace(key, row);
            order.push_back(row);
        }
        // Rows whose key is gone; deleted later, as one may be running the handler that
        // led here.
        for (auto &[key, row] : m_rows) {
            row->hide();
            row->deleteLater();
        }
        m_rows = std::move(kept);
        for (QWidget *row : order)
            row->show();
        setOrder(order);
    }

    Row *row(const Key &key) const
    {
        const auto found = m_rows.find(key);
        return found == m_rows.end() ? nullptr : found->second;
    }

    std::size_t count() const noexcept { return m_rows.size(); }

private:
    Row *takeRow(const Key &key)
    {
        if (auto found = m_rows.find(key); found != m_rows.end()) {
            Row *row = found->second;
            m_rows.erase(found);
            return row;
        }
        return m_factory(key, this);
    }

    Factory m_factory;
    std::map<Key, Row *> m_rows;
};

} // namespace vantora::ui
