#include "bridge/HueReplyDecoder.h"
#include "settings/ReleaseManifest.h"

#include "runtime/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vantora;

// Replies and files that others write may begin with a UTF-8 byte order mark, which a
// reader of JSON may ignore: one, at the very start, and nothing else.
TEST(JsonFromOutside, OneByteOrderMarkAtTheStartIsSkipped)
{
    const QByteArray mark = "\xEF\xBB\xBF";
    const QByteArray reply = R"({"errors": [], "data": [{"id": "l", "type": "light"}]})";
    const QByteArray manifest = R"({"version": "1.2", "build": 5, "minimumMacOS": "0",)"
                                R"( "downloadURL": "https://vantora.example/d", "notesURL": "https://vantora.example/n"})";
    const auto bridgeReply = [](const QByteArray &body) { HueReplyDecoder().resourceList(body, IgnoredResources::kept); };
    const auto releaseManifest = [](const QByteArray &body) { ReleaseManifest::read(body); };
    struct Row {
        std::string name;
        std::function<void(const QByteArray &)> read;
        QByteArray body;
        bool accepted;
    };
    const Row rows[] = {
        {"a bridge reply", bridgeReply, reply, true},
        {"a bridge reply after a mark", bridgeReply, mark + reply, true},
        {"a bridge reply after two marks", bridgeReply, mark + mark + reply, false},
        {"a bridge reply after a space and a mark", bridgeReply, " " + mark + reply, false},
        {"a bridge reply after half a mark", bridgeReply, mark.left(2) + reply, false},
        {"a mark alone as a bridge reply", bridgeReply, mark, false},
        {"a release manifest after a mark", releaseManifest, mark + manifest, true},
        {"a release manifest after two marks", releaseManifest, mark + mark + manifest, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.accepted)
            EXPECT_NO_THROW(row.read(row.body));
        else
            EXPECT_THROW(row.read(row.body), runtime::DecodingError);
    }
}
