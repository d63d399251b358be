#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

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

QVariant normalized(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        return QVariant::fromValue<qint64>(value.toLongLong());
    case QMetaType::Float:
        return QVariant(value.toDouble());
    case QMetaType::QStringList: {
        QVariantList list;
        for (const auto &item : value.toStringList())
            list.append(item);
        return list;
    }
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const auto &item : value.toList())
            list.append(normalized(item));
        return list;
    }
    case QMetaType::QVariantMap: {
        QVariantMap map;
        const auto source = value.toMap();
        for (auto it = source.begin(); it != source.end(); ++it)
            map.insert(it.key(), normalized(it.value()));
        return map;
    }
    default:
        return value;
    }
}

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

QString unusedSetAsideName(const QString &path)
{
    const QString base = path + QStringLiteral(".unreadable");
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}

} // namespace

UserDefaults::UserDefaults(QVariantMap initial, QObject *parent)
    : QObject(parent)
    , m_values(std::move(initial))
{
}

UserDefaults::~UserDefaults() = default;

void UserDefaults::didRead(const QString &) const {}
void UserDefaults::didWrite(const QString &, const QVariantMap &) {}

std::optional<QVariant> UserDefaults::value(const QString &key) const
{
    didRead(key);
    auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QVariant> UserDefaults::typed(const QString &key, int typeId) const
{
    auto found = value(key);
    if (!found || found->typeId() != typeId)
        return std::nullopt;
    return found;
}

bool UserDefaults::boolValue(const QString &key) const
{
    auto found = typed(key, QMetaType::Bool);
    return found && found->toBool();
}

std::optional<qint64> UserDefaults::integer(const QString &key) const
{
    auto found = typed(key, QMetaType::LongLong);
    return found ? std::optional<qint64>(found->toLongLong()) : std::nullopt;
}

std::optional<double> UserDefaults::doubleValue(const QString &key) const
{
    auto found = typed(key, QMetaType::Double);
    return found ? std::optional<double>(found->toDouble()) : std::nullopt;
}

std::optional<QString> UserDefaults::string(const QString &key) const
{
    auto found = typed(key, QMetaType::QString);
    return found ? std::optional<QString>(found->toString()) : std::nullopt;
}

std::optional<QByteArray> UserDefaults::data(const QString &key) const
{
    auto found = typed(key, QMetaType::QByteArray);
    return found ? std::optional<QByteArray>(found->toByteArray()) : std::nullopt;
}

std::optional<QVariantList> UserDefaults::array(const QString &key) const
{
    auto found = typed(key, QMetaType::QVariantList);
    return found ? std::optional<QVariantList>(found->toList()) : std::nullopt;
}

std::optional<QVariantMap> UserDefaults::dictionary(const QString &key) const
{
    auto found = typed(key, QMetaType::QVariantMap);
    return found ? std::optional<QVariantMap>(found->toMap()) : std::nullopt;
}

bool UserDefaults::contains(const QString &key) const
{
    didRead(key);
    return m_values.contains(key);
}

QStringList UserDefaults::keys() const
{
    return m_values.keys();
}

void UserDefaults::setBool(const QString &key, bool value) { setValue(key, QVariant(value)); }
void UserDefaults::setInteger(const QString &key, qint64 value) { setValue(key, QVariant::fromValue<qint64>(value)); }
void UserDefaults::setDouble(const QString &key, double value) { setValue(key, QVariant(value)); }
void UserDefaults::setString(const QString &key, const QString &value) { setValue(key, QVariant(value)); }
void UserDefaults::setData(const QString &key, const QByteArray &value) { setValue(key, QVariant(value)); }
void UserDefaults::setArray(const QString &key, const QVariantList &value) { setValue(key, QVariant(value)); }
void UserDefaults::setDictionary(const QString &key, const QVariantMap &value) { setValue(key, QVariant(value)); }

bool UserDefaults::isSupported(const QVariant &value)
{
    const QVariant plain = normalized(value);
    switch (plain.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return true;
    case QMetaType::QVariantList: {
        const auto list = plain.toList();
        return std::all_of(list.begin(), list.end(), [](const QVariant &item) { return isSupported(item); });
    }
    case QMetaType::QVariantMap: {
        const auto map = plain.toMap();
        return std::all_of(map.begin(), map.end(), [](const QVariant &item) { return isSupported(item); });
    }
    default:
        return false;
    }
}

void UserDefaults::setValue(const QString &key, const QVariant &value)
{
    Q_ASSERT_X(isSupported(value), "UserDefaults::setValue", "unsupported value type");
    QVariant plain = normalized(value);
    auto it = m_values.find(key);
    const bool changed = it == m_values.end() || it->typeId() != plain.typeId() || *it != plain;
    m_values.insert(key, std::move(plain));
    didWrite(key, m_values);
    if (changed)
        Q_EMIT this->changed(key);
}

void UserDefaults::remove(const QString &key)
{
    const bool existed = m_values.remove(key) > 0;
    didWrite(key, m_values);
    if (existed)
        Q_EMIT changed(key);
}

MemoryUserDefaults::MemoryUserDefaults(QVariantMap initial, QObject *parent)
    : UserDefaults(std::move(initial), parent)
{
}

void MemoryUserDefaults::didRead(const QString &key) const
{
    ++m_reads;
    ++m_readsByKey[key];
}

void MemoryUserDefaults::didWrite(const QString &key, const QVariantMap &)
{
    ++m_writes;
    ++m_writesByKey[key];
}

FileUserDefaults::FileUserDefaults(QString path, QObject *parent)
    : FileUserDefaults(path, load(path), parent)
{
}

FileUserDefaults::FileUserDefaults(QString path, Loaded loaded, QObject *parent)
    : UserDefaults(std::move(loaded.values), parent)
    , m_path(std::move(path))
    , m_setAsidePath(std::move(loaded.setAsidePath))
{
}

QString FileUserDefaults::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/vantora/defaults.json");
}

FileUserDefaults::Loaded FileUserDefaults::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    QByteArray text;
    if (file.open(QIODevice::ReadOnly)) {
        text = file.readAll();
        file.close();
    }

    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(text, &parseError);
    const auto root = document.object();
    std::optional<QVariantMap> values;
    if (parseError.error == QJsonParseError::NoError && document.isObject()
        && root.value(formatKey).toInt(-1) == fileFormat && root.value(valuesKey).isObject()) {
        values.emplace();
        const auto members = root.value(valuesKey).toObject();
        for (auto it = members.begin(); it != members.end(); ++it) {
            auto decoded = decode(it.value());
            if (!decoded) {
                values.reset();
                break;
            }
            values->insert(it.key(), *decoded);
        }
    }
    if (values)
        return {*values, std::nullopt};

    // Keep what we could not read for the user; start afresh beside it.
    const QString aside = unusedSetAsideName(path);
    if (!QFile::rename(path, aside))
        return {};
    return {{}, aside};
}

void FileUserDefaults::didWrite(const QString &, const QVariantMap &all)
{
    QJsonObject members;
    for (auto it = all.begin(); it != all.end(); ++it)
        members.insert(it.key(), encode(it.value()));
    const QJsonObject root{{formatKey, fileFormat}, {valuesKey, members}};

    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    m_lastWriteSucceeded = file.open(QIODevice::WriteOnly)
        && file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) >= 0
        && commit(file);
}

bool FileUserDefaults::commit(QSaveFile &file)
{
    return file.commit();
}

} // namespace vantora::runtime
