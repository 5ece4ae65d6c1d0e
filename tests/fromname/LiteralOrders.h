#pragma once

// The literal double loops the fast orders of RecordOrder.h must match:
// "for every i, for every j: exchange i and j when ...".
#include "fromname/RecordOrder.h"

#include <numeric>
#include <utility>

namespace kaz {

inline QList<int> literalRecordOrder(const QList<RecordKey> &input)
{
    QList<RecordKey> keys = input;
    QList<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        for (qsizetype j = 0; j < keys.size(); ++j) {
            if (keys[i].positions <= keys[j].positions && keys[i].length <= keys[j].length) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

inline QList<int> literalTextOrder(const QStringList &input, bool descending)
{
    QStringList texts = input;
    QList<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        for (qsizetype j = 0; j < texts.size(); ++j) {
            const int c = QString::compare(texts[i], texts[j], Qt::CaseSensitive);
            if (descending ? c > 0 : c < 0) {
                std::swap(texts[i], texts[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

} // namespace kaz
