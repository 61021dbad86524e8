#pragma once

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QString>

#include <array>
#include <optional>

namespace sw {

// A hash by text in shards with a lock each, for caches that a listing's two threads read and fill
// thousands of times: they rarely want the same shard at once, so they seldom wait for each other.
// It holds nothing while it is not in use: then every look-up misses and nothing is kept.
template <typename Value> class ShardedHash {
public:
    std::optional<Value> find(const QString& key) const {
        const Shard& shard = shardOf(key);
        QMutexLocker lock(&shard.mutex);
        const auto it = shard.values.constFind(key);
        return it == shard.values.cend() ? std::nullopt : std::optional<Value>(*it);
    }
    void insert(const QString& key, const Value& value) {
        Shard& shard = shardOf(key);
        QMutexLocker lock(&shard.mutex);
        if (shard.inUse)
            shard.values.insert(key, value);
    }
    bool isInUse(const QString& key) const {
        const Shard& shard = shardOf(key);
        QMutexLocker lock(&shard.mutex);
        return shard.inUse;
    }
    void remove(const QString& key) {
        Shard& shard = shardOf(key);
        QMutexLocker lock(&shard.mutex);
        shard.values.remove(key);
    }
    // Out of use, it forgets everything.
    void setInUse(bool inUse) {
        for (Shard& shard : m_shards) {
            QMutexLocker lock(&shard.mutex);
            shard.inUse = inUse;
            if (!inUse)
                shard.values.clear();
        }
    }

private:
    struct Shard {
        mutable QMutex mutex;
        bool inUse = false;
        QHash<QString, Value> values;
    };
    Shard& shardOf(const QString& key) { return m_shards[qHash(key) % m_shards.size()]; }
    const Shard& shardOf(const QString& key) const { return m_shards[qHash(key) % m_shards.size()]; }

    std::array<Shard, 64> m_shards;
};

} // namespace sw
