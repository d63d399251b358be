#include "runtime/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vantora::runtime::FileUserDefaults;
using vantora::runtime::MemoryUserDefaults;

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
