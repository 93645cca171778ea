// The language file "language.ini": one section per language, headed by the
// language's own name, holding entries key="text".
#pragma once

#include <QString>

class QIODevice;

// Reads the section `name` of "language.ini" in the current directory into
// the text table, over what is there; rebuilds lang_names and, when
// `set_current`, points lang_index at that section. Returns 0, or -1 when
// the file cannot be opened (the table is then left as it was).
int load_language(const QString& name, bool set_current);

// The same reading from an open device.
void read_language(QIODevice& file, const QString& name, bool set_current);
