#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

class QHBoxLayout;

namespace vantora {

class HalvetStore;
class LightDetailModel;
class StoreLightFeed;

namespace ui {
class LightsActionButton;
} // namespace ui

namespace controls {
class BrightnessCardContent;
class ColourCardContent;
class ControlCard;
class DetailPowerRow;
class DetailStatusLine;
} // namespace controls

// The page of one light inside the panel: a header with the way back (which also drags the
// panel), the light's power row, the brightness card and the colour or white card the light
// supports (or a note that it only switches on and off), and a status line at the foot.
//
// It shows the store's light with id `lightID` and hands every edit to the store, which
// sends it through the light's worker; it never keeps a copy of the store's state beyond
// what it shows. Build a new page for another light: its view state starts over. A light
// that leaves the snapshot keeps showing as last seen until the owner closes the page.
// Escape, like the back button, asks to go back.
class LightDetailView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int pageWidth = 440;
    static constexpr int tallestHeight = 542;

    LightDetailView(HalvetStore &store, QString lightID, QWidget *parent = nullptr);
    ~LightDetailView() override;

    // The panel's settings menu, placed at the trailing end of the header; the page takes
    // ownership. A second call replaces the first; the same accessory again changes nothing,
    // and the owner may still destroy it.
    void setHeaderAccessory(QWidget *accessory);

    // The page's height on a screen whose free area is `availableHeight` high.
    static int pageHeight(std::optional<int> availableHeight);

    LightDetailModel &model() const noexcept { return *m_model; }
    ui::LightsActionButton *backButton() const noexcept { return m_back; }
    controls::DetailPowerRow *powerRow() const noexcept { return m_powerRow; }
    controls::ControlCard *brightnessCard() const noexcept { return m_brightnessCard; }
    controls::BrightnessCardContent *brightnessContent() const noexcept { return m_brightnessContent; }
    controls::ControlCard *colourCard() const noexcept { return m_colourCard; }
    controls::ColourCardContent *colourContent() const noexcept { return m_colourContent; }
    QWidget *onOffNote() const noexcept { return m_onOffNote; }
    controls::DetailStatusLine *statusLine() const noexcept { return m_statusLine; }

Q_SIGNALS:
    // The user asked to go back to all lights.
    void backRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void followScheme();

    StoreLightFeed *m_feed;
    LightDetailModel *m_model;
    QHBoxLayout *m_header;
    ui::LightsActionButton *m_back;
    // The owner may destroy the accessory itself.
    QPointer<QWidget> m_accessory;
    controls::DetailPowerRow *m_powerRow;
    controls::ControlCard *m_brightnessCard;
    controls::BrightnessCardContent *m_brightnessContent;
    controls::ControlCard *m_colourCard;
    controls::ColourCardContent *m_colourContent;
    QWidget *m_onOffNote;
    controls::DetailStatusLine *m_statusLine;
};

} // namespace vantora
