// The volume list as a model, referenced, not copied.
#pragma once

#include "disk/volume_list.h"
#include "pages/record_model.h"

class volume_model_c : public record_model<volume_item_s, const QList<volume_item_s>&> {
public:
    volume_model_c(const QList<volume_item_s>& volumes, QObject* parent = nullptr)
        : record_model(volumes, parent)
    {
    }
};
