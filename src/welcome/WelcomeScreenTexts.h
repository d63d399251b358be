#pragma once

#include <QCoreApplication>
#include <QString>

namespace vantora {

// The welcome screen's own words. The instructions are shown as they stand, untranslated,
// like the pill's search messages.
class WelcomeScreenTexts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::WelcomeScreen)
public:
    static QString pressAndPair() { return QStringLiteral("Press the large button on your Hue Bridge,\nthen select Pair Bridge below."); }
    static QString pressToPair() { return QStringLiteral("Press the large button on Hue Bridge\nto start the pairing."); }
    static QString chooseOne() { return QStringLiteral("More than one Hue Bridge is nearby.\nChoose the one you want to connect."); }
    static QString checkNetwork() { return QStringLiteral("Check your Bridge is on the same network,\nthen select Try again below."); }
    static QString tryAgainWithDetails() { return QStringLiteral("Please try again.\nYou can also view the error details."); }
    static QString checkConnection() { return QStringLiteral("Check your Bridge connection,\nthen select Try again below."); }
    static QString nothingFound() { return QStringLiteral("Nothing found..."); }
    static QString defaultBridgeName() { return QStringLiteral("Hue Bridge"); }

    static QString cancel() { return tr("Cancel"); }
    static QString connectionHelp() { return tr("Connection help"); }
    static QString enterAddress() { return tr("Enter IP address…"); }
    static QString resetConnection() { return tr("Reset connection…"); }
    static QString cancelPairing() { return tr("Cancel pairing"); }
    static QString enterBridgeAddress() { return tr("Enter Bridge IP address…"); }
    static QString findBridge() { return tr("Find Hue Bridge"); }
    static QString connectionDetails() { return tr("Connection details…"); }
    static QString quit() { return tr("Quit vantora"); }
    static QString ok() { return tr("OK"); }
    static QString chooseTitle() { return tr("Choose your Bridge"); }
    static QString addressTitle() { return tr("Connect with an IP address"); }
    static QString addressHint() { return tr("Find your Bridge’s IP address in the Hue app’s Bridge settings."); }
    static QString addressPlaceholder() { return tr("192.168.1.20"); }
    static QString addressFieldName() { return tr("Bridge IP address"); }
    static QString connect() { return tr("Connect"); }
    static QString savedConnectionLocked() { return tr("Your Bridge connection is saved in your locked keyring"); }
    static QString unlockOrReplace()
    {
        return tr("Unlock your login keyring to use it. Pairing again replaces the saved connection with a new one, "
                  "and you’ll need to press the Bridge button.");
    }
    static QString unlockKeyring() { return tr("Unlock Keyring"); }
    static QString pairAgain() { return tr("Pair Again"); }
};

} // namespace vantora
