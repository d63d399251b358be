#include "platform/portal/DesktopTriggerWords.h"

#include <QKeySequence>
#include <QRegularExpression>

#include <xkbcommon/xkbcommon.h>

#include <map>

namespace vantora::platform {

namespace {

// A key by its XKB (and GTK) name ("k", "comma", "Page_Up", "F5"), as Qt's portable text
// names it.
std::optional<QString> keyOfKeysymName(const QString &name)
{
    const xkb_keysym_t keysym = xkb_keysym_from_name(name.toLatin1().constData(), XKB_KEYSYM_NO_FLAGS);
    if (keysym == XKB_KEY_NoSymbol)
        return std::nullopt;
    static const std::map<xkb_keysym_t, QString> namedKeys{
        {XKB_KEY_Page_Up, QStringLiteral("PgUp")},     {XKB_KEY_Page_Down, QStringLiteral("PgDown")},
        {XKB_KEY_Return, QStringLiteral("Return")},    {XKB_KEY_KP_Enter, QStringLiteral("Enter")},
        {XKB_KEY_Escape, QStringLiteral("Esc")},       {XKB_KEY_Tab, QStringLiteral("Tab")},
        {XKB_KEY_BackSpace, QStringLiteral("Backspace")}, {XKB_KEY_Delete, QStringLiteral("Del")},
        {XKB_KEY_Insert, QStringLiteral("Ins")},       {XKB_KEY_Home, QStringLiteral("Home")},
        {XKB_KEY_End, QStringLiteral("End")},          {XKB_KEY_Left, QStringLiteral("Left")},
        {XKB_KEY_Right, QStringLiteral("Right")},      {XKB_KEY_Up, QStringLiteral("Up")},
        {XKB_KEY_Down, QStringLiteral("Down")},        {XKB_KEY_space, QStringLiteral("Space")},
        {XKB_KEY_Print, QStringLiteral("Print")},      {XKB_KEY_Pause, QStringLiteral("Pause")},
        {XKB_KEY_Menu, QStringLiteral("Menu")},
    };
    if (const auto named = namedKeys.find(keysym); named != namedKeys.end())
        return named->second;
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35)
        return QStringLiteral("F%1").arg(keysym - XKB_KEY_F1 + 1);
    const char32_t character = xkb_keysym_to_utf32(keysym);
    if (character <= 0x20 || character == 0x7f)
        return std::nullopt;
    return QString::fromUcs4(&character, 1).toUpper();
}

// Modifiers by the names GTK and xdg triggers give them, in lower case.
std::optional<QString> modifierOfName(const QString &name)
{
    static const std::map<QString, QString> modifiers{
        {QStringLiteral("control"), QStringLiteral("Ctrl")}, {QStringLiteral("ctrl"), QStringLiteral("Ctrl")},
        {QStringLiteral("primary"), QStringLiteral("Ctrl")}, {QStringLiteral("alt"), QStringLiteral("Alt")},
        {QStringLiteral("mod1"), QStringLiteral("Alt")},     {QStringLiteral("shift"), QStringLiteral("Shift")},
        {QStringLiteral("super"), QStringLiteral("Meta")},   {QStringLiteral("meta"), QStringLiteral("Meta")},
        {QStringLiteral("mod4"), QStringLiteral("Meta")},    {QStringLiteral("logo"), QStringLiteral("Meta")},
    };
    const auto modifier = modifiers.find(name.toLower());
    if (modifier == modifiers.end())
        return std::nullopt;
    return modifier->second;
}

// Qt's portable text of `text`, where it reads as one combination.
std::optional<QString> portableSequence(const QString &text, QKeySequence::SequenceFormat format)
{
    const QKeySequence sequence = QKeySequence::fromString(text, format);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown || sequence[0].key() == 0)
        return std::nullopt;
    return sequence.toString(QKeySequence::PortableText);
}

// The GTK accelerators in `words` ("<Control><Alt>k"), wherever the sentence around them puts them.
QStringList gtkAccelerators(const QString &words)
{
    static const QRegularExpression accelerator(QStringLiteral("((?:<\\w+>)+)(\\w+|[^\\s<>])"));
    static const QRegularExpression modifierName(QStringLiteral("<(\\w+)>"));
    QStringList triggers;
    for (auto matches = accelerator.globalMatch(words); matches.hasNext();) {
        const auto match = matches.next();
        QStringList keys;
        for (auto names = modifierName.globalMatch(match.captured(1)); names.hasNext();) {
            const auto modifier = modifierOfName(names.next().captured(1));
            if (!modifier)
                break;
            keys.append(*modifier);
        }
        const auto key = keyOfKeysymName(match.captured(2));
        if (!key || keys.size() != match.captured(1).count(QLatin1Char('<')))
            continue;
        keys.append(*key);
        if (const auto portable = portableSequence(keys.join(QLatin1Char('+')), QKeySequence::PortableText))
            triggers.append(*portable);
    }
    return triggers;
}

// Qt's modifier names as its translations word them in the desktops' common languages: a
// desktop's native text is in its language, which need not be ours.
QString withPortableModifiers(const QString &text)
{
    static const std::map<QString, QString> translated{
        {QStringLiteral("Strg"), QStringLiteral("Ctrl")},    {QStringLiteral("Umschalt"), QStringLiteral("Shift")},
        {QStringLiteral("Maj"), QStringLiteral("Shift")},    {QStringLiteral("Mayús"), QStringLiteral("Shift")},
        {QStringLiteral("Maiusc"), QStringLiteral("Shift")}, {QStringLiteral("Méta"), QStringLiteral("Meta")},
        {QStringLiteral("Control"), QStringLiteral("Ctrl")},
    };
    QStringList keys = text.split(QLatin1Char('+'));
    // All but the last are modifiers ("Strg++" ends in the key '+').
    for (qsizetype i = 0; i + 1 < keys.size(); ++i) {
        if (const auto name = translated.find(keys[i]); name != translated.end())
            keys[i] = name->second;
    }
    return keys.join(QLatin1Char('+'));
}

// One trigger in Qt's text, portable or native, in our language or a common other one.
std::optional<QString> qtTrigger(const QString &text)
{
    if (const auto portable = portableSequence(text, QKeySequence::PortableText))
        return portable;
    if (const auto native = portableSequence(text, QKeySequence::NativeText))
        return native;
    return portableSequence(withPortableModifiers(text), QKeySequence::PortableText);
}

} // namespace

QStringList readDesktopTriggers(const QString &words)
{
    if (const QStringList accelerators = gtkAccelerators(words); !accelerators.isEmpty())
        return accelerators;
    QStringList triggers;
    for (const QString &part : words.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        if (const auto trigger = qtTrigger(part.trimmed()))
            triggers.append(*trigger);
    }
    return triggers;
}

std::optional<QString> portableTextOfXdgTrigger(const QString &trigger)
{
    QStringList names = trigger.split(QLatin1Char('+'));
    const auto key = keyOfKeysymName(names.takeLast());
    if (!key)
        return std::nullopt;
    QStringList keys;
    for (const QString &name : names) {
        const auto modifier = modifierOfName(name);
        if (!modifier)
            return std::nullopt;
        keys.append(*modifier);
    }
    keys.append(*key);
    return portableSequence(keys.join(QLatin1Char('+')), QKeySequence::PortableText);
}

} // namespace vantora::platform
