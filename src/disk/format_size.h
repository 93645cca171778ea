#pragma once

#include <QString>

#include <cstdint>

// Short size text of every page: "%.2fG", "%.2fM", "%.2fK" or "%dB".
QString format_size(uint64_t bytes);
