// One function per command; each returns the process's exit status.
#pragma once

#include "cli/arguments.h"

int command_disks(const arguments& args);
int command_find_partitions(const arguments& args);
int command_repair(const arguments& args);
int command_volumes(const arguments& args);
int command_scan(const arguments& args);
int command_load(const arguments& args);
int command_recover(const arguments& args);
