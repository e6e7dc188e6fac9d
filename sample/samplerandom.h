#ifndef SAMPLERANDOM_H
#define SAMPLERANDOM_H

#include <QVector>
#include <QtGlobal>

#include <utility>

// splitmix64: a few lines of our own, so the sample stores come out byte for byte the
// same with every compiler and library version (std distributions do not promise that).
class SampleRandom {
public:
    explicit SampleRandom(quint64 seed)
        : state(seed)
    {
    }

    quint64 next()
    {
        quint64 z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A whole number from low to high, both included.
    int between(int low, int high) { return low + int(next() % quint64(high - low + 1)); }

    bool chance(int percent) { return between(1, 100) <= percent; }

    template <typename T> const T &pick(const QVector<T> &items)
    {
        return items.at(between(0, items.size() - 1));
    }

    template <typename T> void shuffle(QVector<T> &items)
    {
        for (int i = items.size() - 1; i > 0; --i)
            std::swap(items[i], items[between(0, i)]);
    }

private:
    quint64 state;
};

#endif // SAMPLERANDOM_H
