#include "Shortcut.h"

#include "shortcuts/KeyEvent.h"
#include "shortcuts/SpecialKey.h"

#include "platform/KeyboardLayout.h"
#include "runtime/Json.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vantora::GlobalShortcuts {

namespace {

const QString keyCodeMember = QStringLiteral("carbonKeyCode");
const QString modifiersMember = QStringLiteral("carbonModifiers");

// Hot keys register both numbers as unsigned 32-bit values.
constexpr qint64 largestStoredValue = 0xFFFFFFFF;

} // namespace

Shortcut::Shortcut(qint64 carbonKeyCode, qint64 carbonModifiers)
    : carbonKeyCode(carbonKeyCode)
    , carbonModifiers(normalizedCarbonModifiers(carbonModifiers))
{
}

Shortcut::Shortcut(Key key, ModifierFlags modifiers)
    : Shortcut(key.rawValue, GlobalShortcuts::carbonModifiers(modifiers))
{
}

Shortcut Shortcut::fromKeyEvent(const KeyEvent &event)
{
    const ModifierFlags withoutFunction = event.modifierFlags & ~ModifierFlags(ModifierFlag::function);
    return Shortcut(event.carbonKeyCode, GlobalShortcuts::carbonModifiers(withoutFunction));
}

std::optional<QString> Shortcut::keyToCharacter(const platform::KeyboardLayout &layout) const
{
    if (specialKey(carbonKeyCode))
        return std::nullopt;
    return layout.character(carbonKeyCode);
}

QString Shortcut::description(const platform::KeyboardLayout &layout) const
{
    QString keyName;
    if (const auto special = specialKey(carbonKeyCode))
        keyName = presentableDescription(*special);
    else
        keyName = keyToCharacter(layout).value_or(QStringLiteral("\uFFFD")).toUpper();
    QStringList parts = modifierNames(modifiers());
    parts << keyName;
    return parts.join(QLatin1Char('+'));
}

std::optional<QKeySequence> Shortcut::keySequence(const platform::KeyboardLayout &layout) const
{
    int qtKey = 0;
    if (const auto special = specialKey(carbonKeyCode)) {
        const auto equivalent = keyEquivalent(*special);
        if (!equivalent)
            return std::nullopt;
        qtKey = *equivalent;
    } else {
        const auto character = keyToCharacter(layout);
        if (!character)
            return std::nullopt;
        // Qt names character keys by their upper-case code point; Shift is stated on its own.
        qtKey = int(character->toUpper().toUcs4().value(0));
    }
    return QKeySequence(QKeyCombination(eventModifiers(modifiers()), Qt::Key(qtKey)));
}

std::optional<Shortcut> Shortcut::fromKeySequence(const QKeySequence &sequence, const platform::KeyboardLayout &layout)
{
    if (sequence.count() != 1)
        return std::nullopt;
    const qint64 modifiers = GlobalShortcuts::carbonModifiers(modifierFlags(sequence[0].keyboardModifiers()));
    // The key is the one whose name in the layout the sequence gives; Carbon's key codes fit in
    // seven bits.
    constexpr qint64 lastKeyCode = 0x7f;
    for (qint64 keyCode = 0; keyCode <= lastKeyCode; ++keyCode) {
        const Shortcut candidate(keyCode, modifiers);
        if (candidate.keySequence(layout) == sequence)
            return candidate;
    }
    return std::nullopt;
}

QByteArray toJson(const Shortcut &shortcut)
{
    // Compact output orders members by name, which puts the key code first.
    const QJsonObject object{{keyCodeMember, shortcut.carbonKeyCode}, {modifiersMember, shortcut.carbonModifiers}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

Shortcut shortcutFromJson(const QByteArray &json)
{
    const auto object = runtime::json::decode<runtime::json::ObjectReader>(runtime::json::parse(json), {});
    auto member = [&](const QString &name) {
        if (!object.has(name))
            throw runtime::DecodingError(object.pathOf(name), QStringLiteral("required key is missing"));
        return runtime::json::decodeInteger(object.object().value(name), object.pathOf(name), 0, largestStoredValue);
    };
    Shortcut shortcut;
    shortcut.carbonKeyCode = member(keyCodeMember);
    shortcut.carbonModifiers = member(modifiersMember);
    return shortcut;
}

} // namespace vantora::GlobalShortcuts
