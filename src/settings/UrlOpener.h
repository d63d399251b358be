#pragma once

#include <QUrl>

#include <functional>

namespace vantora {

// Hands a URL to the desktop (the browser, the mail program, the file manager); answers
// whether the desktop took it.
using UrlOpener = std::function<bool(const QUrl &)>;

UrlOpener desktopUrlOpener();

} // namespace vantora
