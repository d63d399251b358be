// The tests move the pointer through a remote-desktop session, which makes the shell show a
// "screen is being shared" button in the top bar, beside the tray icons. A person at the
// machine has no such session: its button stays hidden, so the bar is laid out as theirs is.
// GNOME Shell 45 and later load extensions as modules; extension-before-45.js is this one for
// the shells before.
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class HiddenSharingIndicator extends Extension {
    enable() {
        Main.panel.statusArea.screenSharing?.container.hide();
    }

    disable() {
        Main.panel.statusArea.screenSharing?.container.show();
    }
}
