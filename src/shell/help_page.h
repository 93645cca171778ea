// The help page shipped beside the program, and how the program opens
// locations in the desktop's own handler.
#pragma once

#include <QUrl>

#include <functional>

// "<program folder>/help/index.html".
QUrl help_page_url();

// Opens `url` with the desktop's handler; the result is not reported.
void open_url(const QUrl& url);

// Tests see the locations instead of a browser; an empty function opens them again.
using url_opener = std::function<void(const QUrl& url)>;
void set_url_opener(url_opener opener);
