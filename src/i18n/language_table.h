// The process-wide text table, filled at start-up from the language file and
// only read afterwards.
#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <string>

// Texts by ASCII key; loads add or overwrite entries, never remove any.
extern std::map<std::string, QString> lang_texts;
// Section names of the language file in file order, duplicates included.
extern QStringList lang_names;
// Position in lang_names of the current language.
extern int lang_index;

// The text stored under `key`; a missing key gets an empty text, which the
// table keeps from then on.
QString& lang_text(const std::string& key);

// Two-letter code of the current language ("de", "jp", ...), "en" for any
// name the program has no code for and when no language is known at all.
QString lang_code();
