#include "settings/ExecProgram.h"

namespace vantora {

namespace {

// One character of a desktop-entry string value and where the next begins; none at an
// escape the string rules do not know.
struct StringCharacter {
    QChar c;
    qsizetype next;
};

std::optional<StringCharacter> stringCharacterAt(const QString &value, qsizetype at)
{
    if (value.at(at) != u'\\')
        return StringCharacter{value.at(at), at + 1};
    if (at + 1 == value.size())
        return std::nullopt;
    switch (value.at(at + 1).unicode()) {
    case u's':
        return StringCharacter{u' ', at + 2};
    case u'n':
        return StringCharacter{u'\n', at + 2};
    case u't':
        return StringCharacter{u'\t', at + 2};
    case u'r':
        return StringCharacter{u'\r', at + 2};
    case u'\\':
        return StringCharacter{u'\\', at + 2};
    default:
        return std::nullopt;
    }
}

bool separatesArguments(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

std::optional<ExecProgram> ExecProgram::of(const QString &exec)
{
    // Read at both levels at once, so that the end of the program is known in the value as
    // written; `raw` counts characters as written, each `c` is one after the string escapes.
    if (exec.isEmpty())
        return std::nullopt;
    const auto next = [&](qsizetype at) { return stringCharacterAt(exec, at); };
    QString program;
    qsizetype raw = 0;
    std::optional<StringCharacter> c = next(raw);
    if (!c)
        return std::nullopt;
    if (c->c == u'"') {
        for (raw = c->next;; raw = c->next) {
            if (raw == exec.size() || !(c = next(raw)))
                return std::nullopt;
            if (c->c == u'"')
                break;
            if (c->c == u'`' || c->c == u'$')
                return std::nullopt;
            if (c->c == u'\\') {
                if (c->next == exec.size() || !(c = next(c->next)) || !QStringView(u"\"`$\\").contains(c->c))
                    return std::nullopt;
            }
            program += c->c;
        }
        raw = c->next;
        if (raw < exec.size() && !((c = next(raw)) && separatesArguments(c->c)))
            return std::nullopt;
    } else {
        for (; raw < exec.size(); raw = c->next) {
            if (!(c = next(raw)))
                return std::nullopt;
            if (separatesArguments(c->c))
                break;
            if (QStringView(u"\n\"'\\><~|&;$*?#()`").contains(c->c))
                return std::nullopt;
            program += c->c;
        }
    }
    // A lone percent sign starts a field code, which names no program.
    QString plain;
    for (qsizetype i = 0; i < program.size(); ++i) {
        if (program.at(i) == u'%' && (++i == program.size() || program.at(i) != u'%'))
            return std::nullopt;
        plain += program.at(i);
    }
    if (plain.isEmpty())
        return std::nullopt;
    return ExecProgram{plain, raw};
}

} // namespace vantora
