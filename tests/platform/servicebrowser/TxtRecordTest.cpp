#include "platform/avahi/TxtRecord.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using vantora::platform::TxtRecord;

TEST(TxtRecord, LooksUpRawValuesByKeyInAnyAsciiCase)
{
    struct Row {
        std::string name;
        QList<QByteArray> entries;
        QByteArray key;
        std::optional<QByteArray> expected;
    };
    const Row rows[] = {
        {"a plain pair", {"bridgeid=001788fffe123456"}, "bridgeid", QByteArray("001788fffe123456")},
        {"an announced key in another case", {"BridgeID=001788FFFE123456"}, "bridgeid", QByteArray("001788FFFE123456")},
        {"a looked-up key in another case", {"bridgeid=abc"}, "BRIDGEID", QByteArray("abc")},
        {"the value keeps further equals signs", {"k=a=b="}, "k", QByteArray("a=b=")},
        {"the value keeps any bytes", {QByteArray("k=\xff\0<b>", 7)}, "k", QByteArray("\xff\0<b>", 5)},
        {"a key without a value is present and empty", {"flag"}, "flag", QByteArray()},
        {"a key with an empty value", {"k="}, "k", QByteArray()},
        {"the first of repeated keys wins, whatever their case", {"id=first", "ID=second", "id=third"}, "id",
         QByteArray("first")},
        {"an absent key", {"model=BSB002"}, "bridgeid", std::nullopt},
        {"a value is no key", {"model=bridgeid"}, "bridgeid", std::nullopt},
        {"only ASCII letters fold", {"\xc3\x84=1"}, "\xc3\xa4", std::nullopt},
        {"a string without a key is dropped", {"=orphan"}, "", std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TxtRecord::fromEntries(row.entries).value(row.key), row.expected);
    }
}

TEST(TxtRecord, IsEmptyWhenNoStringHasAKey)
{
    struct Row {
        std::string name;
        QList<QByteArray> entries;
        bool expectedEmpty;
    };
    const Row rows[] = {
        {"no strings", {}, true},
        {"the lone empty string of an empty record", {""}, true},
        {"only keyless strings", {"=a", "=b"}, true},
        {"a boolean key", {"flag"}, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TxtRecord::fromEntries(row.entries).isEmpty(), row.expectedEmpty);
    }
}
