#include "UserDefaults.h"

#include "UserDefaultsFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtGlobal>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace vantora::runtime {

namespace {

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

QString unusedSetAsideName(const QString &path)
{
    const QString base = path + QStringLiteral(".unreadable");
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("vantora::runtime::FileUserDefaults", text);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// What stands on the way to the file at `path`, in the person's words: a folder on the way
// that is a file, one that cannot be opened, or the file itself being out of reach. None when
// the way is clear, also when the file or a folder is simply missing.
std::optional<QString> obstacleOnTheWay(const QString &path)
{
    const QStringList steps = QFileInfo(path).absoluteFilePath().split(u'/', Qt::SkipEmptyParts);
    QString reached;
    for (qsizetype step = 0; step < steps.size(); ++step) {
        const QString next = reached + u'/' + steps[step];
        struct stat info {};
        if (::stat(encoded(next).constData(), &info) != 0) {
            const int error = errno;
            if (error == ENOENT)
                return std::nullopt;
            if (error == EACCES)
                return translated("the folder “%1” can’t be opened (%2)")
                    .arg(reached.isEmpty() ? QStringLiteral("/") : reached, systemError(error));
            return translated("“%1” can’t be reached (%2)").arg(next, systemError(error));
        }
        if (step + 1 < steps.size() && !S_ISDIR(info.st_mode))
            return translated("“%1” is a file, not a folder").arg(next);
        reached = next;
    }
    return std::nullopt;
}

// Makes `folder` and the folders above it that are missing; why not, when it cannot.
std::optional<QString> madeFolder(const QString &folder)
{
    QString reached;
    for (const QString &step : QFileInfo(folder).absoluteFilePath().split(u'/', Qt::SkipEmptyParts)) {
        reached += u'/' + step;
        struct stat info {};
        if (::stat(encoded(reached).constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return translated("“%1” is a file, not a folder").arg(reached);
            continue;
        }
        if (errno != ENOENT || ::mkdir(encoded(reached).constData(), 0777) != 0)
            return translated("the folder “%1” can’t be made (%2)").arg(reached, systemError(errno));
    }
    return std::nullopt;
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
    : UserDefaults(loaded.values, parent)
    , m_path(std::move(path))
    , m_setAsidePath(std::move(loaded.setAsidePath))
    , m_fileUse(loaded.fileUse)
    , m_obstacle(std::move(loaded.obstacle))
{
    // The values that survived a damaged file go back under the usual name at once, so the
    // next start finds them even if nothing changes in this one.
    if (m_setAsidePath && !loaded.values.isEmpty())
        write(loaded.values);
}

QString FileUserDefaults::standardPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/vantora/defaults.json");
}

FileUserDefaults::Loaded FileUserDefaults::load(const QString &path)
{
    // A folder on the way that cannot be searched hides the file as if it were missing, and
    // one that is a file leaves no room for it: the settings are not read, and that is said.
    if (const std::optional<QString> obstacle = obstacleOnTheWay(path)) {
        qWarning("Settings file %s cannot be read: %s; settings are kept in memory only and nothing there is changed.",
                 qUtf8Printable(path), qUtf8Printable(*obstacle));
        return {{}, std::nullopt, FileUse::leftAlone, *obstacle};
    }
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // Opening a FIFO or a device for reading can block for ever; nothing but a regular file
    // is ours to read or replace.
    if (!info.isFile()) {
        qWarning("Settings file %s is not a regular file; settings are kept in memory only and it is left as it is.",
                 qUtf8Printable(path));
        return {{}, std::nullopt, FileUse::leftAlone, translated("“%1” is not a regular file").arg(path)};
    }
    // A file we may not read (or that fails mid-read) is not damaged: it stays, unmoved and
    // not written over, until whatever stands in the way is fixed.
    QFile file(path);
    QByteArray text;
    if (file.open(QIODevice::ReadOnly))
        text = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        qWarning("Settings file %s cannot be read (%s); settings are kept in memory only and it is left as it is.",
                 qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return {{}, std::nullopt, FileUse::leftAlone,
                translated("“%1” can’t be read (%2)").arg(path, file.errorString())};
    }
    file.close();

    DecodedDefaults decoded = decodeDefaults(text);
    if (!decoded.isDamaged())
        return {std::move(decoded.values), std::nullopt, FileUse::readAndWritten};

    // Keep what we could not read for the user; carry on beside it with what we could.
    const QString aside = unusedSetAsideName(path);
    if (!QFile::rename(path, aside)) {
        qWarning("Settings file %s is damaged and cannot be set aside; settings are kept in memory only and it is "
                 "left as it is.",
                 qUtf8Printable(path));
        return {std::move(decoded.values), std::nullopt, FileUse::leftAlone,
                translated("“%1” is damaged and can’t be set aside").arg(path)};
    }
    if (decoded.unreadable)
        qWarning("Settings file %s could not be read as settings; it was set aside as %s and settings start empty.",
                 qUtf8Printable(path), qUtf8Printable(aside));
    else
        qWarning("Settings file %s held %d value(s) that could not be read; it was set aside as %s and the other "
                 "settings were kept.",
                 qUtf8Printable(path), decoded.droppedValues, qUtf8Printable(aside));
    return {std::move(decoded.values), aside, FileUse::readAndWritten};
}

void FileUserDefaults::didWrite(const QString &, const QVariantMap &all)
{
    write(all);
}

void FileUserDefaults::write(const QVariantMap &all)
{
    const std::optional<QString> obstacle = tryWrite(all);
    m_lastWriteSucceeded = !obstacle;
    if (obstacle)
        tellNotKept(*obstacle);
}

std::optional<QString> FileUserDefaults::tryWrite(const QVariantMap &all)
{
    if (m_fileUse == FileUse::leftAlone)
        return m_obstacle;
    if (std::optional<QString> obstacle = madeFolder(QFileInfo(m_path).absolutePath()))
        return obstacle;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return translated("“%1” can’t be written (%2)").arg(m_path, file.errorString());
    if (file.write(encodeDefaults(all)) < 0 || !commit(file))
        return translated("“%1” can’t be written (%2)").arg(m_path, file.errorString());
    return std::nullopt;
}

void FileUserDefaults::tellNotKept(const QString &obstacle)
{
    if (std::exchange(m_toldNotKept, true))
        return;
    qWarning("Settings cannot be saved: %s; changes last until vantora quits.", qUtf8Printable(obstacle));
    // A file left alone from the start was not read either: what was saved there is not in use.
    Q_EMIT cannotBeKept((m_fileUse == FileUse::leftAlone
                             ? translated("vantora can’t read or save its settings: %1. Your changes last until vantora "
                                          "quits.")
                             : translated("vantora can’t save its settings: %1. Your changes last until vantora quits."))
                            .arg(obstacle));
}

bool FileUserDefaults::commit(QSaveFile &file)
{
    return file.commit();
}

} // namespace vantora::runtime
