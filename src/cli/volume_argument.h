// VOLUME on the command line: its row in the volume list (1 = the first
// volume after the header), its mount path or its volume name.
#pragma once

#include "disk/volume_list.h"

#include <QString>

// A copy of the volume-list entry the argument names (the list is enumerated
// first); false with `error` set when there is none.
bool find_volume(const QString& argument, volume_item_s& volume, QString& error);
