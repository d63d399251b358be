#include "ModifierFlags.h"

#include <QCoreApplication>

#include <array>
#include <utility>

namespace vantora::GlobalShortcuts {

namespace {

constexpr std::array<std::pair<ModifierFlag, qint64>, 5> carbonBits{{
    {ModifierFlag::control, CarbonModifier::control},
    {ModifierFlag::option, CarbonModifier::option},
    {ModifierFlag::shift, CarbonModifier::shift},
    {ModifierFlag::command, CarbonModifier::command},
    {ModifierFlag::function, CarbonModifier::function},
}};

constexpr std::array<std::pair<ModifierFlag, Qt::KeyboardModifier>, 5> qtModifiers{{
    {ModifierFlag::control, Qt::ControlModifier},
    {ModifierFlag::option, Qt::AltModifier},
    {ModifierFlag::shift, Qt::ShiftModifier},
    {ModifierFlag::command, Qt::MetaModifier},
    {ModifierFlag::numericPad, Qt::KeypadModifier},
}};

} // namespace

qint64 carbonModifiers(ModifierFlags flags)
{
    qint64 mask = 0;
    for (const auto &[flag, bit] : carbonBits) {
        if (flags.testFlag(flag))
            mask |= bit;
    }
    return mask;
}

ModifierFlags modifierFlags(qint64 carbonModifiers)
{
    ModifierFlags flags;
    for (const auto &[flag, bit] : carbonBits) {
        if (carbonModifiers & bit)
            flags |= flag;
    }
    return flags;
}

qint64 normalizedCarbonModifiers(qint64 carbonModifiers)
{
    return GlobalShortcuts::carbonModifiers(modifierFlags(carbonModifiers));
}

QString symbolicDescription(ModifierFlags flags)
{
    QString symbols;
    const std::array<std::pair<ModifierFlag, const char16_t *>, 5> printed{{
        {ModifierFlag::control, u"\u2303"},
        {ModifierFlag::option, u"\u2325"},
        {ModifierFlag::shift, u"\u21E7"},
        {ModifierFlag::command, u"\u2318"},
        // The globe in its text form, so it takes the colour of the text around it.
        {ModifierFlag::function, u"\U0001F310\uFE0E"},
    }};
    for (const auto &[flag, symbol] : printed) {
        if (flags.testFlag(flag))
            symbols += QString::fromUtf16(symbol);
    }
    return symbols;
}

QStringList modifierNames(ModifierFlags flags)
{
    QStringList names;
    if (flags.testFlag(ModifierFlag::control))
        names << QCoreApplication::translate("GlobalShortcuts", "Ctrl");
    if (flags.testFlag(ModifierFlag::option))
        names << QCoreApplication::translate("GlobalShortcuts", "Alt");
    if (flags.testFlag(ModifierFlag::shift))
        names << QCoreApplication::translate("GlobalShortcuts", "Shift");
    if (flags.testFlag(ModifierFlag::command))
        names << QCoreApplication::translate("GlobalShortcuts", "Super");
    if (flags.testFlag(ModifierFlag::function))
        names << QCoreApplication::translate("GlobalShortcuts", "Fn");
    return names;
}

Qt::KeyboardModifiers eventModifiers(ModifierFlags flags)
{
    Qt::KeyboardModifiers modifiers;
    for (const auto &[flag, modifier] : qtModifiers) {
        if (flags.testFlag(flag))
            modifiers |= modifier;
    }
    return modifiers;
}

ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags flags;
    for (const auto &[flag, modifier] : qtModifiers) {
        if (modifiers.testFlag(modifier))
            flags |= flag;
    }
    return flags;
}

const QSet<Qt::Key> &functionKeySet()
{
    static const QSet<Qt::Key> keys = [] {
        QSet<Qt::Key> set;
        for (int key = Qt::Key_F1; key <= Qt::Key_F35; ++key)
            set.insert(Qt::Key(key));
        return set;
    }();
    return keys;
}

std::optional<QString> stringFromUnicodeScalar(qint64 value)
{
    if (value < 0 || value >= 0x110000 || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    const auto scalar = char32_t(value);
    return QString::fromUcs4(&scalar, 1);
}

} // namespace vantora::GlobalShortcuts
