#include "welcome/ConnectionPillTexts.h"

namespace vantora {

const std::array<QString, ConnectionPillTexts::searchMessageCount> &ConnectionPillTexts::searchMessages()
{
    static const std::array<QString, searchMessageCount> messages = {
        QStringLiteral("Searching..."),  QStringLiteral("Processing..."), QStringLiteral("One moment.."),
        QStringLiteral("Hang tight.."),  QStringLiteral("Just a sec..."), QStringLiteral("Please wait.."),
        QStringLiteral("Hold on..."),
    };
    return messages;
}

} // namespace vantora
