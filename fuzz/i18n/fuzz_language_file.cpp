// Arbitrary bytes as the language file: English first, then the last section
// named in the file on top, as start-up reads it.
#include "i18n/lang_image.h"
#include "i18n/language_file.h"
#include "i18n/language_table.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    lang_texts.clear();
    lang_index = 0;

    read_language(file, QStringLiteral("English"), false);
    const QString chosen = lang_names.isEmpty() ? QString() : lang_names.last();
    file.seek(0);
    read_language(file, chosen, true);

    if (!lang_names.isEmpty() && (lang_index < 0 || lang_index >= lang_names.size()))
        std::abort();
    for (const auto& [key, text] : lang_texts) {
        if (key.empty() || text.isEmpty())
            std::abort();
    }
    lang_image::top_button(1, 1);
    return 0;
}
