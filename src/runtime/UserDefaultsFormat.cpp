#include "UserDefaultsFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace vantora::runtime {

namespace {

// File format: {"format": 1, "values": {key: tagged}}, where every value is tagged with its
// type ({"type": "integer", "value": 3}) because JSON alone cannot tell 1 from 1.0 or a
// string from data.
const QString formatKey = QStringLiteral("format");
const QString valuesKey = QStringLiteral("values");
const QString typeKey = QStringLiteral("type");
const QString valueKey = QStringLiteral("value");
constexpr int fileFormat = 1;

const QString boolType = QStringLiteral("bool");
const QString integerType = QStringLiteral("integer");
const QString doubleType = QStringLiteral("double");
const QString stringType = QStringLiteral("string");
const QString dataType = QStringLiteral("data");
const QString arrayType = QStringLiteral("array");
const QString dictionaryType = QStringLiteral("dictionary");

QJsonObject encode(const QVariant &value)
{
    auto tagged = [](const QString &type, QJsonValue payload) {
        return QJsonObject{{typeKey, type}, {valueKey, payload}};
    };
    switch (value.typeId()) {
    case QMetaType::Bool:
        return tagged(boolType, value.toBool());
    case QMetaType::LongLong:
        // As text: JSON numbers lose integers beyond 2^53 in many readers.
        return tagged(integerType, QString::number(value.toLongLong()));
    case QMetaType::Double:
        return tagged(doubleType, value.toDouble());
    case QMetaType::QString:
        return tagged(stringType, value.toString());
    case QMetaType::QByteArray:
        return tagged(dataType, QString::fromLatin1(value.toByteArray().toBase64()));
    case QMetaType::QVariantList: {
        QJsonArray items;
        for (const auto &item : value.toList())
            items.append(encode(item));
        return tagged(arrayType, items);
    }
    case QMetaType::QVariantMap: {
        QJsonObject members;
        const auto map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            members.insert(it.key(), encode(it.value()));
        return tagged(dictionaryType, members);
    }
    default:
        Q_ASSERT_X(false, "UserDefaults", "unsupported value type");
        return {};
    }
}

// Throws nothing; answers nullopt for anything that is not a value we wrote.
std::optional<QVariant> decode(const QJsonValue &json)
{
    if (!json.isObject())
        return std::nullopt;
    const auto object = json.toObject();
    const auto type = object.value(typeKey).toString();
    const auto payload = object.value(valueKey);
    if (type == boolType && payload.isBool())
        return QVariant(payload.toBool());
    if (type == integerType && payload.isString()) {
        bool ok = false;
        const qint64 number = payload.toString().toLongLong(&ok);
        return ok ? std::optional<QVariant>(QVariant::fromValue<qint64>(number)) : std::nullopt;
    }
    if (type == doubleType && payload.isDouble())
        return QVariant(payload.toDouble());
    if (type == stringType && payload.isString())
        return QVariant(payload.toString());
    if (type == dataType && payload.isString()) {
        auto bytes = QByteArray::fromBase64Encoding(payload.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return bytes ? std::optional<QVariant>(QVariant(*bytes)) : std::nullopt;
    }
    if (type == arrayType && payload.isArray()) {
        QVariantList list;
        for (const auto &item : payload.toArray()) {
            auto decoded = decode(item);
            if (!decoded)
                return std::nullopt;
            list.append(*decoded);
        }
        return QVariant(list);
    }
    if (type == dictionaryType && payload.isObject()) {
        QVariantMap map;
        const auto members = payload.toObject();
        for (auto it = members.begin(); it != members.end(); ++it) {
            auto decoded = decode(it.value());
            if (!decoded)
                return std::nullopt;
            map.insert(it.key(), *decoded);
        }
        return QVariant(map);
    }
    return std::nullopt;
}

} // namespace

QByteArray encodeDefaults(const QVariantMap &values)
{
    QJsonObject members;
    for (auto it = values.begin(); it != values.end(); ++it)
        members.insert(it.key(), encode(it.value()));
    const QJsonObject root{{formatKey, fileFormat}, {valuesKey, members}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

DecodedDefaults decodeDefaults(const QByteArray &text)
{
    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(text, &parseError);
    const auto root = document.object();
    if (parseError.error != QJsonParseError::NoError || !document.isObject()
        || root.value(formatKey).toInt(-1) != fileFormat || !root.value(valuesKey).isObject())
        return {{}, true, 0};

    DecodedDefaults decoded;
    const auto members = root.value(valuesKey).toObject();
    for (auto it = members.begin(); it != members.end(); ++it) {
        if (auto value = decode(it.value()))
            decoded.values.insert(it.key(), *value);
        else
            ++decoded.droppedValues;
    }
    return decoded;
}

} // namespace vantora::runtime
