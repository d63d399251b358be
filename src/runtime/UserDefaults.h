#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

class QSaveFile;

namespace vantora::runtime {

// Typed settings, kept apart from each other by key. A value is one of: bool, integer
// (qint64), double, string, data (QByteArray), array (QVariantList) or dictionary
// (QVariantMap), whose elements are again such values. Values keep their type exactly:
// 1 and 1.0, a string and data, a one-element array and its element stay distinct.
//
// Typed getters answer "absent" (or false for bool) when the key is missing or holds a
// value of another type. `changed` is emitted once per write that really changes a key.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    ~UserDefaults() override;

    std::optional<QVariant> value(const QString &key) const;
    bool boolValue(const QString &key) const;
    std::optional<qint64> integer(const QString &key) const;
    std::optional<double> doubleValue(const QString &key) const;
    std::optional<QString> string(const QString &key) const;
    std::optional<QByteArray> data(const QString &key) const;
    std::optional<QVariantList> array(const QString &key) const;
    std::optional<QVariantMap> dictionary(const QString &key) const;
    bool contains(const QString &key) const;
    QStringList keys() const;

    void setBool(const QString &key, bool value);
    void setInteger(const QString &key, qint64 value);
    void setDouble(const QString &key, double value);
    void setString(const QString &key, const QString &value);
    void setData(const QString &key, const QByteArray &value);
    void setArray(const QString &key, const QVariantList &value);
    void setDictionary(const QString &key, const QVariantMap &value);
    // Takes any supported value; ints and floats are widened to qint64 and double.
    void setValue(const QString &key, const QVariant &value);
    void remove(const QString &key);

    static bool isSupported(const QVariant &value);

Q_SIGNALS:
    void changed(const QString &key);
    // A change could not be kept beyond this run; `why` is the person's text, said once a run.
    void cannotBeKept(const QString &why);

protected:
    explicit UserDefaults(QVariantMap initial = {}, QObject *parent = nullptr);

    // Called once per read of a key and once per write (set or remove), after memory
    // holds the new state.
    virtual void didRead(const QString &key) const;
    virtual void didWrite(const QString &key, const QVariantMap &all);

private:
    std::optional<QVariant> typed(const QString &key, int typeId) const;

    QVariantMap m_values;
};

// Defaults kept in memory only, counting reads and writes (previews, demos and tests).
class MemoryUserDefaults final : public UserDefaults {
    Q_OBJECT
public:
    explicit MemoryUserDefaults(QVariantMap initial = {}, QObject *parent = nullptr);

    int readCount() const noexcept { return m_reads; }
    int writeCount() const noexcept { return m_writes; }
    int readCount(const QString &key) const { return m_readsByKey.value(key); }
    int writeCount(const QString &key) const { return m_writesByKey.value(key); }

protected:
    void didRead(const QString &key) const override;
    void didWrite(const QString &key, const QVariantMap &all) override;

private:
    mutable int m_reads = 0;
    int m_writes = 0;
    mutable QHash<QString, int> m_readsByKey;
    QHash<QString, int> m_writesByKey;
};

// Defaults kept as one JSON file, written through after every change (atomically, so a
// crash mid-write leaves the previous file whole). A setting once stored is never lost:
// - a damaged file is moved aside under a new name, byte for byte, and every value in it
//   that still reads is kept (and written back under the usual name at once);
// - a file that cannot be read, cannot be set aside or is no regular file (a FIFO would
//   block the read for ever) is left exactly as it is, and the defaults live in memory only.
// Either event is reported on standard error, naming the files involved. So is a folder on
// the way to the file that is no folder or cannot be opened (the settings are then neither
// read nor written there, and nothing there is changed), and, at the first write that does
// not reach the file, why not: that is also told to the person once (cannotBeKept).
class FileUserDefaults : public UserDefaults {
    Q_OBJECT
public:
    enum class FileUse {
        // Read at start and replaced on every write.
        readAndWritten,
        // Neither moved nor written: changes live in memory only until the next start.
        leftAlone,
    };

    explicit FileUserDefaults(QString path, QObject *parent = nullptr);

    const QString &path() const noexcept { return m_path; }
    // Where a damaged file was moved at start, if it was.
    const std::optional<QString> &setAsidePath() const noexcept { return m_setAsidePath; }
    FileUse fileUse() const noexcept { return m_fileUse; }
    // False when the last write did not reach the file (it could not be committed, or the
    // file is left alone); the values stay in memory and the next write tries again with
    // all of them.
    bool lastWriteSucceeded() const noexcept { return m_lastWriteSucceeded; }

    // $XDG_CONFIG_HOME/vantora/defaults.json
    static QString standardPath();

protected:
    void didWrite(const QString &key, const QVariantMap &all) override;
    // The last step of a write, replacing the old file. Overridden only to simulate a
    // write that dies before it completes.
    virtual bool commit(QSaveFile &file);

private:
    struct Loaded {
        QVariantMap values;
        std::optional<QString> setAsidePath;
        FileUse fileUse = FileUse::readAndWritten;
        // Why a file left alone is: the person's words.
        QString obstacle = {};
    };
    FileUserDefaults(QString path, Loaded loaded, QObject *parent);
    static Loaded load(const QString &path);
    void write(const QVariantMap &all);
    // Why the values cannot reach the file, or nothing when they did.
    std::optional<QString> tryWrite(const QVariantMap &all);
    void tellNotKept(const QString &obstacle);

    QString m_path;
    std::optional<QString> m_setAsidePath;
    FileUse m_fileUse = FileUse::readAndWritten;
    QString m_obstacle;
    bool m_lastWriteSucceeded = true;
    bool m_toldNotKept = false;
};

} // namespace vantora::runtime
