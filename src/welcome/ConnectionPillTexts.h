#pragma once

#include <QCoreApplication>
#include <QString>

#include <array>

namespace vantora {

// The connection pill's words, declared once: the widgets show them and the width rule
// measures them. Names, addresses and messages given as arguments are inserted as they
// stand.
class ConnectionPillTexts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::ConnectionPill)
public:
    static QString pairBridge() { return tr("Pair Bridge device"); }
    static QString pairHint() { return tr("Find your Hue Bridge and begin pairing"); }
    static QString tryAgain() { return tr("Try again"); }
    static QString chooseBridge() { return tr("Choose Bridge"); }
    static QString searchingLabel() { return tr("Searching for your Hue Bridge"); }
    static QString foundLabel(const QString &name, const QString &address)
    {
        return tr("Bridge found: %1, %2. Press its physical button to pair.").arg(name, address);
    }
    static QString foundToolTip(const QString &name, const QString &address)
    {
        return tr("%1 · %2 — press the physical Bridge button to authorize pairing").arg(name, address);
    }

    // Shown in turn while searching; deliberately not translated.
    static constexpr int searchMessageCount = 7;
    static const std::array<QString, searchMessageCount> &searchMessages();
};

} // namespace vantora
