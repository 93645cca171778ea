#include "recovery/result_folders.h"

std::vector<result_folder> raw_result_folders(
    const std::vector<raw_file_s>& records,
    const std::unordered_map<std::string, std::vector<int64_t>>& groups)
{
    if (groups.empty())
        return {};
    std::vector<result_folder> folders = {{QStringLiteral("/"), -1, {}}};
    for (const auto& [extension, indexes] : groups)
        folders.push_back({u'/' + QString::fromLatin1(extension.data(), qsizetype(extension.size())),
                           -1, file_rows(records, indexes)});
    return folders;
}
