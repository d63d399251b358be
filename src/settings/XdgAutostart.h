#pragma once

#include "settings/LoginItemBackend.h"

namespace vantora {

// Start at login as the freedesktop.org autostart rules have it: a desktop entry named after
// the application id in the user's autostart folder ($XDG_CONFIG_HOME/autostart), whose Exec
// line starts the running program by its absolute path. An entry the desktop switched off
// (Hidden=true, or X-GNOME-Autostart-enabled=false) counts as not registered. Turning the
// setting off removes the entry the application wrote and an entry whose program is gone;
// one that starts this program with anything of the person's in it (flags, other keys, a
// wrapper) is switched off instead (Hidden=true), and turning the setting on switches such an
// entry on again as the person wrote it. Turned on, an entry whose program is gone is told
// where it is now: only the program in its Exec line changes (and a TryExec that names it),
// the person's arguments and every other line stay as written; one that names the program
// otherwise (through a shell, in several Exec lines, quoted against the desktop-entry rules)
// is left as it is, with a text that says why. The file is written atomically: a crash never
// leaves half an entry.
//
// An entry under that name is ours when it starts this program and nothing else, also
// through env, a shell, a wrapper script or `flatpak run` of this application's id
// (AutostartCommand). One that starts another program, also beside this one, is the user's,
// not ours: it counts as not registered, and it is neither removed nor written over (turning
// the setting on fails with a text that says why), unless the desktop is told to treat it as
// deleted (Hidden=true): that starts nothing, and turning the setting on writes ours in its
// place. An entry that cannot be read (no plain
// file, longer than any entry, its quotes broken), or whose program cannot be told (named
// through a variable, a command's output or a relative path), is left as it is, with a text
// that names the file. The entry is read without waiting on what is there. A symbolic link
// in the entry's place is the person's and is never removed or replaced: the entry of ours
// it leads to is switched off and on as one in the folder would be (its own flags kept),
// where that file can be written; a link to or through an application launcher (which the
// applications menu lists as well), to a file that cannot be written (read-only, or in a
// folder that is), to nothing or to another program's entry fails the change with a text
// that says why.
class XdgAutostart final : public LoginItemBackend {
public:
    XdgAutostart(QString autostartFolder, QString applicationId, QString executablePath);

    // The user's autostart folder, this application's id and the running program.
    static XdgAutostart forRunningProgram();

    QString entryPath() const;

    LoginItemStatus status() const override;
    void registerItem() override;
    void unregisterItem() override;
    // Opens the autostart folder in the file manager.
    void openApprovalSettings() override;

    // The Exec value that runs `program` without arguments: quoted, with the characters the
    // quoting and the desktop-entry string rules reserve escaped. Inverse of programOfExec.
    static QString execValue(const QString &program);
    // The program an Exec value runs (its first argument, unquoted and unescaped); empty when
    // the value has none or its quoting is broken.
    static QString programOfExec(const QString &exec);

private:
    enum class Owner {
        none,
        us,
        another,
        // Another program's entry that starts nothing.
        nobody,
        // Something is there that cannot be read, so it may be anyone's.
        unreadable,
        // An entry whose program cannot be told (AutostartCommand::Starts::unclear).
        unclear,
        // An entry, or the script it runs, whose quotes do not pair up.
        brokenQuoting,
    };
    struct Entry {
        Owner owner;
        LoginItemStatus status;
        // Why it cannot be read; for an unclear entry or broken quoting, the script where
        // that is written (none when it is in the entry).
        QString detail;
        // The text of an entry of ours; none for any other.
        QString text = {};
        // An entry of ours whose program is no longer there.
        bool programGone = false;
    };

    Entry readEntry() const;
    // The entry as the application writes it for this program.
    QString ourEntry() const;
    // `text`, an entry of ours whose program is gone, made to start this program with the
    // person's arguments, every other line kept as written; throws LoginItemError, saying
    // why, when the line that names the program cannot be told apart safely.
    QString startingThisProgram(const QString &text) const;
    // Writes `text` as the entry, atomically.
    void writeEntry(const QString &text) const;
    // Writes `text` as the file at `path`, atomically.
    static void writeFile(const QString &path, const QString &text);
    // Writes `text` into the entry of ours a link in the entry's place leads to; throws
    // LoginItemError, saying why, when it leads to nothing, to another program's entry or to a
    // file that cannot be written where it is. The link itself always stays as it is.
    void writeThroughLink(const Entry &entry, const QString &text) const;
    // Throws LoginItemError when the entry in our place is another program's, or may be.
    void refuseOthersEntry(const Entry &entry) const;

    QString m_folder;
    QString m_applicationId;
    QString m_executablePath;
};

} // namespace vantora
