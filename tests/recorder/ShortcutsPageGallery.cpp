#include "RecorderRig.h"

#include "ui/Gallery.h"
#include "ui/ScreenInfo.h"

#include "recorder/ApplicationShortcuts.h"
#include "recorder/GlobalShortcutsView.h"
#include "recorder/RecorderAlerts.h"
#include "recorder/RecorderTexts.h"
#include "recorder/RecorderView.h"

#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"

#include "store/ToggleAppearance.h"

#include <QMessageBox>
#include <QVBoxLayout>

using namespace vantora;
using namespace vantora::GlobalShortcuts;

namespace {

class ShortcutsPageGallery : public vantora::testing::RecorderRig {
protected:
    ToggleAppearance appearance{defaults};

    void render(const QString &name, const std::function<void(recorder::GlobalShortcutsView &)> &arrange,
                bool hotKeysWork = true)
    {
        vantora::testing::renderGallery(name, [&](QWidget &page, ui::ColorScheme) {
            auto *layout = new QVBoxLayout(&page);
            layout->setContentsMargins(0, 0, 0, 0);
            auto *view = new recorder::GlobalShortcutsView(services, appearance, [] {}, hotKeysWork);
            layout->addWidget(view);
            arrange(*view);
        });
    }
};

TEST_F(ShortcutsPageGallery, Pages)
{
    // The page as on a screen tall enough for all of it.
    ui::screenInfo::setHeightSource([](const QWidget *) { return std::optional<int>(900); });
    render(QStringLiteral("shortcuts-page-empty"), [](auto &) {});
    render(QStringLiteral("shortcuts-page-recording"), [](recorder::GlobalShortcutsView &view) {
        view.showRecorder().field().setPlaceholderText(QStringLiteral("Press Shortcut"));
    });
    storage.setShortcut(Shortcut(Key::l.rawValue, CarbonModifier::control | CarbonModifier::option), showVantora());
    storage.setShortcut(Shortcut(Key::k.rawValue, CarbonModifier::command | CarbonModifier::shift),
                        toggleHomeLights());
    render(QStringLiteral("shortcuts-page-two-set"), [](auto &) {});
    render(QStringLiteral("shortcuts-page-no-x11"), [](auto &) {}, false);

    vantora::testing::renderGallery(QStringLiteral("shortcuts-conflict-alert"), [](QWidget &page, ui::ColorScheme) {
        std::vector<QAbstractButton *> buttons;
        QMessageBox *box = recorder::MessageBoxRecorderAlerts::build(
            nullptr, recorder::RecorderTexts::usedBySystem(), recorder::RecorderTexts::canBeChanged(),
            {recorder::RecorderTexts::ok(), recorder::RecorderTexts::useAnyway()}, buttons);
        box->setParent(&page, Qt::Widget);
        (new QVBoxLayout(&page))->addWidget(box);
    });
}

} // namespace
