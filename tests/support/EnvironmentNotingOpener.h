#pragma once

// The desktop's opener runs xdg-open: while this lives, the one first on the PATH notes the
// environment it got, to tell what a program the application opens inherits of it.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace vantora::testing {

class EnvironmentNotingOpener {
public:
    EnvironmentNotingOpener()
        : m_pathBefore(qgetenv("PATH"))
    {
        QFile opener(m_folder.filePath(QStringLiteral("xdg-open")));
        if (!m_folder.isValid() || !opener.open(QIODevice::WriteOnly))
            return;
        opener.write(QStringLiteral("#!/bin/sh\nenv >\"%1.part\" && mv \"%1.part\" \"%1\"\n").arg(notedPath()).toUtf8());
        opener.close();
        m_ready = opener.setPermissions(opener.permissions() | QFile::ExeOwner);
        qputenv("PATH", m_folder.path().toLocal8Bit() + ':' + m_pathBefore);
    }
    ~EnvironmentNotingOpener() { qputenv("PATH", m_pathBefore); }
    EnvironmentNotingOpener(const EnvironmentNotingOpener &) = delete;
    EnvironmentNotingOpener &operator=(const EnvironmentNotingOpener &) = delete;

    bool isReady() const { return m_ready; }

    // The lines of the environment the opened program got, once it has run; none when nothing
    // ran within 30 s. Polls: the noted file arrives with no event to wake the loop.
    std::optional<QList<QByteArray>> openedEnvironment() const
    {
        QFile noted(notedPath());
        if (!QTest::qWaitFor([&] { return noted.exists(); }, 30'000) || !noted.open(QIODevice::ReadOnly))
            return std::nullopt;
        return noted.readAll().split('\n');
    }

private:
    QString notedPath() const { return m_folder.filePath(QStringLiteral("opened.env")); }

    QTemporaryDir m_folder;
    QByteArray m_pathBefore;
    bool m_ready = false;
};

} // namespace vantora::testing
