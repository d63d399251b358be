#pragma once

#include "controls/LightDetailInputs.h"
#include "ui/Invalidator.h"

#include <QObject>
#include <QString>

#include <optional>

namespace vantora {

class HalvetStore;

namespace runtime {
class Executor;
} // namespace runtime

// One light's page inputs as the store holds them, and the page's edits handed to the store.
// Store changes are folded into one new set of inputs per turn of the executor, announced only
// when it differs from the last. A light that leaves the snapshot keeps its last inputs (the
// panel closes its page).
class StoreLightFeed final : public QObject {
    Q_OBJECT
public:
    StoreLightFeed(HalvetStore &store, QString lightID, runtime::Executor &executor, QObject *parent = nullptr);

    // The inputs of the light `lightID` in the store now; none when the snapshot lacks it.
    // A failure that belongs to no light (a refresh that failed) shows on every light's page;
    // one of another light on none; a failed change only on its own light's page.
    static std::optional<LightDetailInputs> inputsOf(const HalvetStore &store, const QString &lightID);

    const QString &lightID() const noexcept { return m_lightID; }
    const LightDetailInputs &inputs() const noexcept { return m_inputs; }

    // Asks the store to change the light as it is now; the store's light worker sends it,
    // merged with whatever else waits for the light.
    void send(const LightChange &change);

Q_SIGNALS:
    void inputsChanged(const LightDetailInputs &inputs);

private:
    void evaluate();

    HalvetStore &m_store;
    QString m_lightID;
    LightDetailInputs m_inputs;
    ui::Invalidator m_invalidator;
};

} // namespace vantora
