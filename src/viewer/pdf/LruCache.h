#pragma once
// Values by key, the least recently used dropped first once their costs together
// exceed a budget. The newest value always stays, even if it alone exceeds it.
// A value costs 1 unless CostOf says otherwise (its bytes, say), so by default
// the budget is a number of values. Not thread-safe: its owner locks.

#include <QHash>
#include <QtGlobal>

#include <list>
#include <utility>

struct CostsOne {
    template <typename V>
    qint64 operator()(const V &) const
    {
        return 1;
    }
};

template <typename K, typename V, typename CostOf = CostsOne>
class LruCache {
public:
    struct Entry {
        K key;
        V value;
    };
    using Entries = std::list<Entry>; // most recently used first

    explicit LruCache(qint64 budget) : m_budget(budget) {}

    // Marks the value as just used; nullptr when absent.
    V *find(const K &key)
    {
        const auto it = m_index.constFind(key);
        if (it == m_index.cend())
            return nullptr;
        m_entries.splice(m_entries.begin(), m_entries, *it);
        return &m_entries.front().value;
    }
    // Leaves the order as it is.
    const V *peek(const K &key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : &(*it)->value;
    }
    bool contains(const K &key) const { return m_index.contains(key); }

    // Keeps the value as the most recently used, in place of any under its key.
    void insert(const K &key, V value)
    {
        const auto existing = m_index.constFind(key);
        if (existing != m_index.cend())
            erase(*existing);
        m_cost += CostOf()(value);
        m_entries.push_front({key, std::move(value)});
        m_index.insert(key, m_entries.begin());
        while (m_cost > m_budget && m_entries.size() > 1)
            erase(std::prev(m_entries.end()));
    }

    void clear()
    {
        m_index.clear();
        m_entries.clear();
        m_cost = 0;
    }

    qint64 cost() const { return m_cost; }
    qint64 budget() const { return m_budget; }
    const Entries &entries() const { return m_entries; }

private:
    void erase(typename Entries::iterator it)
    {
        m_cost -= CostOf()(it->value);
        m_index.remove(it->key);
        m_entries.erase(it);
    }

    qint64 m_budget;
    qint64 m_cost = 0;
    Entries m_entries;
    QHash<K, typename Entries::iterator> m_index;
};
