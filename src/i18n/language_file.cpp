#include "i18n/language_file.h"

#include "i18n/language_table.h"

#include <QFile>

#include <regex>
#include <string>

namespace {

// Lines are read in pieces of at most this many bytes, each piece taken as a
// line of its own.
constexpr size_t max_piece = 2047;

// The next piece of a line, its line feed at the end when it fits. CR LF line
// ends need no translation to LF: both expressions end in \s*, which takes the
// CR as well.
bool next_piece(QIODevice& file, std::string& piece)
{
    piece.resize(max_piece + 1); // readLine keeps a byte for its terminating zero
    const qint64 length = file.readLine(piece.data(), qint64(piece.size()));
    piece.resize(length > 0 ? size_t(length) : 0);
    return length > 0;
}

void replace_all(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

QString unescape(std::string value)
{
    replace_all(value, "\\t", "\t");
    replace_all(value, "\\n", "\n");
    return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

} // namespace

void read_language(QIODevice& file, const QString& name, bool set_current)
{
    static const std::regex header(R"re(^\s*\[(.*)\]\s*$)re");
    static const std::regex entry(R"re(^\s*([^;].*)\s*=\s*"(.+)"\s*$)re");

    lang_names.clear();
    bool in_section = false;
    std::string piece;
    std::smatch match;
    while (next_piece(file, piece)) {
        const bool was_in = in_section;
        if (std::regex_match(piece, match, header)) {
            const std::string section = match[1].str();
            lang_names.append(QString::fromUtf8(section.data(), qsizetype(section.size())));
            // A header always ends the requested section, even one of the same name.
            in_section = !was_in && lang_names.last() == name;
            if (in_section && set_current)
                lang_index = int(lang_names.size() - 1);
        } else if (was_in && std::regex_match(piece, match, entry)) {
            lang_texts[match[1].str()] = unescape(match[2].str());
        }
    }
}

int load_language(const QString& name, bool set_current)
{
    QFile file(QStringLiteral("language.ini"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    read_language(file, name, set_current);
    return 0;
}
