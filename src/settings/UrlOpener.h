#pragma once

#include <QUrl>

#include <functional>

namespace vantora {

// Hands a URL to the desktop (the browser, the mail program, the file manager); answers
// whether the desktop took it.
using UrlOpener = std::function<bool(const QUrl &)>;

// The desktop's own opener; what it starts gets no launch id or window activation token
// of the application's.
UrlOpener desktopUrlOpener();

} // namespace vantora
