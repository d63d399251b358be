#include "runtime/UserDefaults.h"

#include "FileModesEnforced.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using vantora::runtime::FileUserDefaults;
using vantora::runtime::MemoryUserDefaults;
using vantora::testing::FileModesEnforced;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Every warning logged while it lives.
class WarningLog final {
public:
    WarningLog() { s_previous = qInstallMessageHandler(&WarningLog::record); s_messages.clear(); }
    ~WarningLog() { qInstallMessageHandler(s_previous); }
    WarningLog(const WarningLog &) = delete;
    WarningLog &operator=(const WarningLog &) = delete;

    QString all() const { return s_messages.join(u'\n'); }

private:
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg)
            s_messages.append(message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_messages;
};

QByteArray validFile(const QByteArray &values)
{
    return R"({"format": 1, "values": {)" + values + "}}";
}

// A write that dies after the new contents are written but before they replace the file.
class InterruptedDefaults final : public FileUserDefaults {
public:
    using FileUserDefaults::FileUserDefaults;

protected:
    bool commit(QSaveFile &file) override
    {
        file.cancelWriting();
        return false;
    }
};

} // namespace

TEST(UserDefaults, EveryValueTypeRoundTripsThroughAReopenedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nested/defaults.json"));
    const QVariantMap favourites{
        {QStringLiteral("001788fffe123456"), QVariantList{QStringLiteral("room-a")}},
        {QStringLiteral("empty"), QVariantList{}},
    };
    {
        FileUserDefaults defaults(path);
        defaults.setBool(QStringLiteral("flag"), true);
        defaults.setInteger(QStringLiteral("big"), 9007199254740993LL); // beyond 2^53
        defaults.setInteger(QStringLiteral("one"), 1);
        defaults.setDouble(QStringLiteral("oneDouble"), 1.0);
        defaults.setDouble(QStringLiteral("third"), 1.0 / 3.0);
        defaults.setString(QStringLiteral("text"), QStringLiteral("Wohnzimmer \u2019 <b>"));
        defaults.setData(QStringLiteral("bytes"), QByteArray("\x00\xff\x10", 3));
        defaults.setArray(QStringLiteral("mixed"), QVariantList{QStringLiteral("x"), qint64(2), 2.5, false});
        defaults.setDictionary(QStringLiteral("favourites"), favourites);
        EXPECT_TRUE(defaults.lastWriteSucceeded());
    }
    FileUserDefaults reopened(path);
    EXPECT_TRUE(reopened.boolValue(QStringLiteral("flag")));
    EXPECT_EQ(reopened.integer(QStringLiteral("big")), 9007199254740993LL);
    EXPECT_EQ(reopened.integer(QStringLiteral("one")), 1);
    EXPECT_FALSE(reopened.doubleValue(QStringLiteral("one"))) << "an integer must not read back as a double";
    EXPECT_EQ(reopened.doubleValue(QStringLiteral("oneDouble")), 1.0);
    EXPECT_FALSE(reopened.integer(QStringLiteral("oneDouble")));
    EXPECT_EQ(reopened.doubleValue(QStringLiteral("third")), 1.0 / 3.0);
    EXPECT_EQ(reopened.string(QStringLiteral("text")), QStringLiteral("Wohnzimmer \u2019 <b>"));
    EXPECT_EQ(reopened.data(QStringLiteral("bytes")), QByteArray("\x00\xff\x10", 3));
    EXPECT_FALSE(reopened.string(QStringLiteral("bytes")));
    EXPECT_EQ(reopened.array(QStringLiteral("mixed")), (QVariantList{QStringLiteral("x"), qint64(2), 2.5, false}));
    const auto dictionary = reopened.dictionary(QStringLiteral("favourites"));
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(*dictionary, favourites);
    EXPECT_EQ(dictionary->value(QStringLiteral("001788fffe123456")).typeId(), QMetaType::QVariantList)
        << "a one-element array must stay an array";
}

TEST(UserDefaults, MissingKeysAndOtherTypesReadAsAbsent)
{
    MemoryUserDefaults defaults;
    defaults.setString(QStringLiteral("s"), QStringLiteral("true"));
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("s")));
    EXPECT_FALSE(defaults.boolValue(QStringLiteral("missing")));
    EXPECT_FALSE(defaults.integer(QStringLiteral("s")));
    defaults.remove(QStringLiteral("s"));
    EXPECT_FALSE(defaults.contains(QStringLiteral("s")));
}

TEST(UserDefaults, CorruptFileIsKeptAsideAndDefaultsStartEmpty)
{
    const QByteArray corrupt = "{\"format\": 1, \"values\": {\"flag\": tru";
    for (const QByteArray &contents : {corrupt, QByteArray("[1,2]"), QByteArray("{\"format\":1,\"values\":{\"x\":{\"type\":\"bool\",\"value\":3}}}")}) {
        SCOPED_TRACE(contents.toStdString());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("defaults.json"));
        writeFile(path, contents);
        writeFile(path + QStringLiteral(".unreadable"), "an older one");

        FileUserDefaults defaults(path);
        EXPECT_TRUE(defaults.keys().isEmpty());
        ASSERT_TRUE(defaults.setAsidePath());
        EXPECT_NE(*defaults.setAsidePath(), path + QStringLiteral(".unreadable")) << "never overwrite an earlier one";
        EXPECT_EQ(readFile(*defaults.setAsidePath()), contents);
        EXPECT_EQ(readFile(path + QStringLiteral(".unreadable")), "an older one");

        defaults.setBool(QStringLiteral("flag"), true);
        EXPECT_TRUE(FileUserDefaults(path).boolValue(QStringLiteral("flag")));
    }
}

TEST(UserDefaults, OneBadValueCostsOnlyItself)
{
    const QByteArray contents = validFile(R"("kept": {"type": "string", "value": "Hall"},)"
                                          R"("bad": {"type": "integer", "value": true},)"
                                          R"("list": {"type": "array", "value": [{"type": "bool", "value": 1}]},)"
                                          R"("number": {"type": "integer", "value": "7"})");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defaults.json"));
    writeFile(path, contents);
    WarningLog warnings;

    {
        FileUserDefaults defaults(path);
        EXPECT_EQ(defaults.keys(), (QStringList{QStringLiteral("kept"), QStringLiteral("number")}));
        ASSERT_TRUE(defaults.setAsidePath());
        EXPECT_EQ(readFile(*defaults.setAsidePath()), contents);
        EXPECT_TRUE(warnings.all().contains(*defaults.setAsidePath())) << warnings.all().toStdString();
    }
    // Kept without any change in between, and set aside only once.
    FileUserDefaults reopened(path);
    EXPECT_EQ(reopened.string(QStringLiteral("kept")), QStringLiteral("Hall"));
    EXPECT_EQ(reopened.integer(QStringLiteral("number")), 7);
    EXPECT_FALSE(reopened.setAsidePath());
}

TEST(UserDefaults, AFileThatCannotBeUsedIsLeftAsItIs)
{
    const QByteArray damaged = "{\"format\": 1, \"values\": {\"flag\": tru";
    const QByteArray valid = validFile(R"("flag": {"type": "bool", "value": true})");
    struct Case {
        const char *name;
        QByteArray contents;
        // Makes the file at the path (and its folder) unusable; undone by `restore`.
        std::function<void(const QString &path)> spoil;
        std::function<void(const QString &path)> restore;
    };
    const auto folderOf = [](const QString &path) { return QFileInfo(path).absolutePath(); };
    const Case cases[] = {
        {"damaged in a folder that cannot change", damaged,
         [&](const QString &path) { chmod(qPrintable(folderOf(path)), 0500); },
         [&](const QString &path) { chmod(qPrintable(folderOf(path)), 0700); }},
        {"not readable", valid, [](const QString &path) { chmod(qPrintable(path), 0200); },
         [](const QString &path) { chmod(qPrintable(path), 0600); }},
        {"a FIFO", {}, [](const QString &path) { QFile::remove(path); mkfifo(qPrintable(path), 0600); },
         [](const QString &) {}},
        {"a folder", {}, [](const QString &path) { QFile::remove(path); QDir().mkpath(path); },
         [](const QString &) {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("defaults.json"));
        writeFile(path, c.contents);
        c.spoil(path);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        WarningLog warnings;
        {
            FileModesEnforced modes;
            FileUserDefaults defaults(path);
            EXPECT_EQ(defaults.fileUse(), FileUserDefaults::FileUse::leftAlone);
            EXPECT_FALSE(defaults.setAsidePath());
            defaults.setBool(QStringLiteral("other"), true);
            EXPECT_TRUE(defaults.boolValue(QStringLiteral("other"))) << "memory keeps the value";
            EXPECT_FALSE(defaults.lastWriteSucceeded());
        }
        EXPECT_TRUE(warnings.all().contains(path)) << warnings.all().toStdString();
        c.restore(path);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
        if (QFileInfo(path).isFile()) {
            EXPECT_EQ(readFile(path), c.contents);
        }
    }
}

TEST(UserDefaults, WriteInterruptedBeforeRenameLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defaults.json"));
    {
        FileUserDefaults defaults(path);
        defaults.setString(QStringLiteral("kept"), QStringLiteral("old"));
    }
    const QByteArray before = readFile(path);

    InterruptedDefaults interrupted(path);
    interrupted.setString(QStringLiteral("kept"), QStringLiteral("new"));
    EXPECT_FALSE(interrupted.lastWriteSucceeded());
    EXPECT_EQ(interrupted.string(QStringLiteral("kept")), QStringLiteral("new")) << "memory keeps the value";
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(FileUserDefaults(path).string(QStringLiteral("kept")), QStringLiteral("old"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("defaults.json")}) << "no temporary left behind";
}

TEST(UserDefaults, ChangeSignalPerKeyOnlyOnRealChangesWhileWritesAreCounted)
{
    MemoryUserDefaults defaults;
    QSignalSpy spy(&defaults, &MemoryUserDefaults::changed);
    defaults.setInteger(QStringLiteral("n"), 1);
    defaults.setInteger(QStringLiteral("n"), 1);
    defaults.setDouble(QStringLiteral("n"), 1.0); // same number, other type: a change
    defaults.remove(QStringLiteral("absent"));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), QStringLiteral("n"));
    EXPECT_EQ(defaults.writeCount(), 4);
    EXPECT_EQ(defaults.writeCount(QStringLiteral("n")), 3);

    (void)defaults.boolValue(QStringLiteral("n"));
    EXPECT_EQ(defaults.readCount(QStringLiteral("n")), 1);
}

// Where the settings' folder cannot hold them, the first change says why, once, in the
// terminal and to the person; nothing there is written, and a file of the person's in the
// folder's place keeps every byte.
TEST(UserDefaults, AFolderThatCannotHoldTheSettingsIsToldOnceAndLeftAsItIs)
{
    const QByteArray notes = "my notes\n\x01\xff";
    const QByteArray saved = validFile(R"("flag": {"type": "bool", "value": true})");
    struct Case {
        const char *name;
        // Makes the config folder `config` what the row is about; undone by `restore`.
        std::function<void(const QString &config)> spoil;
        std::function<void(const QString &config)> restore;
        // What the person is told, besides the folder's path.
        const char *told;
        // Told at the start too, as settings that cannot be read.
        bool toldAtStart;
    };
    const Case cases[] = {
        {"a read-only folder",
         [](const QString &config) { chmod(qPrintable(config), 0500); },
         [](const QString &config) { chmod(qPrintable(config), 0700); }, "can’t be made", false},
        {"a file of the person's in its place",
         [&](const QString &config) { writeFile(config + QStringLiteral("/vantora"), notes); },
         [](const QString &) {}, "is a file, not a folder", true},
        {"an unreadable folder",
         [&](const QString &config) {
             QDir().mkpath(config + QStringLiteral("/vantora"));
             writeFile(config + QStringLiteral("/vantora/defaults.json"), saved);
             chmod(qPrintable(config + QStringLiteral("/vantora")), 0);
         },
         [](const QString &config) { chmod(qPrintable(config + QStringLiteral("/vantora")), 0700); }, "can’t be opened",
         true},
    };
    const auto everything = [](const QString &config) {
        QStringList found;
        for (QDirIterator each(config, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                               QDirIterator::Subdirectories);
             each.hasNext();) {
            const QString path = each.next();
            found << path + u' ' + QString::fromLatin1(readFile(path).toHex());
        }
        return found;
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        QDir().mkpath(config);
        c.spoil(config);
        const QString folder = config + QStringLiteral("/vantora");
        WarningLog warnings;
        QStringList told;
        {
            // Modes bind as they do for a person, also where the tests run as root.
            FileModesEnforced modes;
            FileUserDefaults defaults(folder + QStringLiteral("/defaults.json"));
            EXPECT_EQ(warnings.all().contains(QStringLiteral("cannot be read")), c.toldAtStart) << warnings.all().toStdString();
            EXPECT_FALSE(defaults.contains(QStringLiteral("flag"))) << "nothing was read";
            QObject::connect(&defaults, &FileUserDefaults::cannotBeKept, [&told](const QString &why) { told << why; });
            defaults.setBool(QStringLiteral("hideUnavailableDevices"), true);
            defaults.setInteger(QStringLiteral("other"), 2);
            EXPECT_TRUE(defaults.boolValue(QStringLiteral("hideUnavailableDevices"))) << "memory keeps the value";
            EXPECT_FALSE(defaults.lastWriteSucceeded());
        }
        ASSERT_EQ(told.size(), 1) << "said once";
        EXPECT_TRUE(told.front().contains(c.toldAtStart ? QStringLiteral("can’t read or save its settings")
                                                        : QStringLiteral("can’t save its settings")))
            << told.front().toStdString();
        EXPECT_TRUE(told.front().contains(QString::fromUtf8(c.told))) << told.front().toStdString();
        EXPECT_TRUE(told.front().contains(u'“' + folder + u'”')) << told.front().toStdString();
        EXPECT_EQ(warnings.all().count(QStringLiteral("Settings cannot be saved")), 1) << warnings.all().toStdString();
        c.restore(config);
        QStringList expected;
        if (QFileInfo(folder).isFile())
            expected << folder + u' ' + QString::fromLatin1(notes.toHex());
        else if (QFileInfo(folder).isDir())
            expected << folder << folder + QStringLiteral("/defaults.json ") + QString::fromLatin1(saved.toHex());
        QStringList found = everything(config);
        // A folder reads as no bytes.
        found.replaceInStrings(QRegularExpression(QStringLiteral(" $")), QString());
        found.sort();
        EXPECT_EQ(found, expected) << "nothing of the person's changed, nothing was added";
    }
}
