// The partitions found so far, as a model over a copy taken from the
// search worker: the worker keeps appending to its own list meanwhile.
#pragma once

#include "pages/record_model.h"
#include "partition/partition_item.h"

class partition_model_c : public record_model<partition_item_s, QList<partition_item_s>> {
public:
    partition_model_c(QList<partition_item_s> found, QObject* parent = nullptr)
        : record_model(std::move(found), parent)
    {
    }
};
