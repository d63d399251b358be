#pragma once

// How the values of the bridge's replies are read from strict JSON; each is defined beside
// its type. Only the bridge's decoding sources include this header.

#include "bridge/BridgeInfo.h"
#include "bridge/HueEnvelope.h"
#include "bridge/HueGamut.h"
#include "bridge/HuePairingReply.h"
#include "bridge/HueReference.h"
#include "bridge/HueResource.h"
#include "bridge/HueXY.h"
#include "bridge/StrictJson.h"

#include <QString>

#include <vector>

namespace vantora {

// An envelope checked for shape: an object with an "errors" array of objects that each
// have a "description" text, and a "data" array whose elements are left to the caller.
struct EnvelopeContents {
    std::vector<QString> errorDescriptions{};
    strictjson::Array data{};
};

EnvelopeContents decodeEnvelope(strictjson::Element document);

// The path of an envelope's data in decoding errors.
inline constexpr QLatin1String envelopeDataKey{"data"};

// A resource type or status as text: the words every list repeats share one string each
// rather than taking one per resource.
QString recurringText(std::string_view utf8);

// The resources of a list in the bridge's order; any of them without its required shape
// fails the whole list.
std::vector<HueResource> decodeResourceList(strictjson::Array data, const strictjson::Path &path,
                                            IgnoredResources ignored);

} // namespace vantora

namespace vantora::strictjson {

template <>
HueXY decode<HueXY>(Element value, const Path &path);
template <>
HueGamut decode<HueGamut>(Element value, const Path &path);
template <>
HueReference decode<HueReference>(Element value, const Path &path);
template <>
HuePairingReply decode<HuePairingReply>(Element value, const Path &path);
template <>
BridgeInfo decode<BridgeInfo>(Element value, const Path &path);

} // namespace vantora::strictjson
