#include "cli/arguments.h"

namespace {

const QStringList flag_options = {"--json", "--yes", "--all", "--deep"};
const QStringList value_options = {"--to", "--save", "--from", "--id"};

} // namespace

QString arguments::value(const char* option) const
{
    const auto found = values.find(QLatin1String(option));
    return found == values.end() ? QString() : found->second;
}

bool parse_arguments(const QStringList& argv, arguments& out, QString& error)
{
    for (int i = 0; i < argv.size(); ++i) {
        const QString& word = argv[i];
        if (flag_options.contains(word)) {
            out.flags.append(word);
        } else if (value_options.contains(word)) {
            if (i + 1 >= argv.size()) {
                error = QStringLiteral("%1 needs a value").arg(word);
                return false;
            }
            const QString value = argv[++i];
            if (word == QLatin1String("--id"))
                out.ids.append(value);
            else
                out.values[word] = value;
        } else if (word.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option %1").arg(word);
            return false;
        } else if (out.command.isEmpty()) {
            out.command = word;
        } else {
            out.positional.append(word);
        }
    }
    if (out.command.isEmpty()) {
        error = QStringLiteral("no command given");
        return false;
    }
    return true;
}
