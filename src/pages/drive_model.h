// The drive list as a model, referenced, not copied.
#pragma once

#include "disk/drive_list.h"
#include "pages/record_model.h"

class drive_model_c : public record_model<drive_item_s, const QList<drive_item_s>&> {
public:
    drive_model_c(const QList<drive_item_s>& drives, QObject* parent = nullptr)
        : record_model(drives, parent)
    {
    }
};
