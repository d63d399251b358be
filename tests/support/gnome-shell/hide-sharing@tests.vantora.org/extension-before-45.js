/* exported init */
// The tests move the pointer through a remote-desktop session, which makes the shell show a
// "screen is being shared" button in the top bar, beside the tray icons. A person at the
// machine has no such session: its button stays hidden, so the bar is laid out as theirs is.
// This is extension.js for GNOME Shell before 45, which loads extensions as scripts.
const Main = imports.ui.main;

class HiddenSharingIndicator {
    enable() {
        Main.panel.statusArea.screenSharing?.container.hide();
    }

    disable() {
        Main.panel.statusArea.screenSharing?.container.show();
    }
}

function init() {
    return new HiddenSharingIndicator();
}
