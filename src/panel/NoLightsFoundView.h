#pragma once

#include "ui/ContextMenu.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace vantora {

class HeaderRow;

namespace ui {
class LightsActionButton;
class TextLabel;
class WrappingText;
}

// The page the panel shows when its list would hold no light: lights still loading, loading
// failed, the bridge has none, or every light is hidden as unavailable. It names the case in
// a title and a message, offers one action (refresh, retry or show the hidden lights) and a
// menu with "Refresh lights" and "Quit vantora". 440 wide, at least the page height tall.
// Keeps no state: apply() redraws it from new inputs.
class NoLightsFoundView final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        // A load is in flight.
        bool isRefreshing = false;
        // The panel's arrival pill is up: the summary and the action step back.
        bool showsArrivalPill = false;
        // The least height of the page; 434 when absent.
        std::optional<qreal> panelHeight{};
        // Shown word for word as the message when present, even when empty.
        std::optional<QString> errorMessage{};
        bool hasVerifiedConnection = false;
        bool hasLoadError = false;
        // The action's label after a failure.
        QString recoveryTitle{};
        // The bridge has lights, but all are hidden as unavailable.
        bool hasHiddenLights = false;

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    // The words of the page for its inputs.
    struct Texts final {
        QString title{};
        QString message{};
        QString actionLabel{};
        QString actionAccessibleName{};
        QString actionHelp{};

        friend bool operator==(const Texts &, const Texts &) = default;
    };

    static constexpr int width = 440;
    static constexpr qreal defaultHeight = 434;

    // `refresh` runs from the action and from the menu's "Refresh lights".
    NoLightsFoundView(const Fields &fields, std::function<void()> refresh, QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    static Texts texts(const Fields &fields);

    // The page's menu as it would open now.
    std::vector<ui::MenuEntry> menuEntries() const;

    ui::LightsActionButton *actionButton() const noexcept { return m_action; }
    ui::TextLabel *title() const noexcept { return m_title; }
    ui::WrappingText *message() const noexcept { return m_message; }
    ui::TextLabel *summary() const noexcept { return m_summary; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Fields m_fields;
    std::function<void()> m_refresh;
    ui::TextLabel *m_title;
    ui::WrappingText *m_message;
    ui::TextLabel *m_summary;
    ui::LightsActionButton *m_action;
};

} // namespace vantora
