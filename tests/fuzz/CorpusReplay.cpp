// Runs a fuzz target once over every file of its corpus (each argument is a file or a folder
// of them), so that a build without libFuzzer still holds every input that ever mattered.
// Any crash, sanitizer report or escaping exception fails the run.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

QStringList inputsOf(const QString &argument)
{
    const QFileInfo info(argument);
    if (!info.isDir())
        return {argument};
    QStringList files;
    const QDir folder(argument);
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name))
        files << folder.filePath(name);
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const QString &path : inputsOf(QString::fromLocal8Bit(argv[i]))) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "Cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray input = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(path));
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "No corpus inputs found\n");
        return 1;
    }
    std::fprintf(stderr, "Replayed %d inputs\n", replayed);
    return 0;
}
