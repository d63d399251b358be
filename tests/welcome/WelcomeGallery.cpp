#include "ActiveWindow.h"
#include "ui/Gallery.h"
#include "ui/UiHarness.h"

#include "welcome/ArrivalSpinner.h"
#include "welcome/BridgeArrivalPill.h"
#include "welcome/ConnectionPill.h"
#include "welcome/SearchingSpinner.h"
#include "welcome/WelcomeLayout.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono_literals;
using namespace vantora;
namespace gallery = vantora::testing;
using vantora::testing::UiHarness;
using vantora::testing::activate;
using vantora::ui::ColorScheme;

namespace {

const ui::DynamicColor captionColour{ui::colours::grey(0.16), ui::colours::grey(0.94)};
const ui::DynamicColor pageBackground{ui::colours::grey(0.95), ui::colours::grey(0.13)};

ui::TextLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new ui::TextLabel(text, parent);
    label->setFont(ui::systemFont(11));
    label->setForeground(captionColour);
    return label;
}

// Another widget drawn four times larger, to see the shape of something small.
class Magnifier final : public QWidget {
public:
    Magnifier(QWidget *subject, QWidget *parent)
        : QWidget(parent)
        , m_subject(subject)
    {
        setFixedSize(subject->size() * 4);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.scale(4, 4);
        m_subject->render(&painter, {}, {}, QWidget::DrawChildren);
    }

private:
    QWidget *m_subject;
};

// Like renderGallery, with the page on a virtual clock in the active window, moved on by
// `settle` before the picture is taken (so pulses and springs show mid-motion).
QStringList renderMoving(const QString &name, std::chrono::milliseconds settle,
                         const std::function<void(QWidget &page, UiHarness &ui)> &build)
{
    QDir().mkpath(gallery::galleryDirectory());
    QStringList written;
    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        UiHarness ui;
        ui.environment().set(ui::colorSchemeKey, scheme);
        QPalette palette = ui.window.palette();
        palette.setColor(QPalette::Window, pageBackground.resolve(scheme));
        ui.window.setPalette(palette);
        ui.window.setAutoFillBackground(true);
        build(ui.window, ui);
        ui.window.adjustSize();
        ui.window.show();
        activate(ui.window);
        QApplication::processEvents();
        ui.advance(settle);
        const QString path = QStringLiteral("%1/%2-%3.png").arg(gallery::galleryDirectory(), name, gallery::schemeName(scheme));
        if (ui.window.grab().save(path))
            written << path;
    }
    return written;
}

void expectWritten(const QStringList &paths)
{
    ASSERT_EQ(paths.size(), 2);
    for (const QString &path : paths)
        EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
}

} // namespace

TEST(WelcomeGallery, ConnectionPillInEachState)
{
    struct Look {
        const char *name;
        ConnectionPillState state;
        bool hovered;
    };
    const Look looks[] = {
        {"ready", ConnectionPillState::ready(), false},
        {"ready, pointer over it", ConnectionPillState::ready(), true},
        {"searching", ConnectionPillState::searching(), false},
        {"found", ConnectionPillState::found("Hue Bridge", "192.168.1.20"), false},
        {"found, too long", ConnectionPillState::found("Upstairs Hall Bridge Next To The Router In The Cupboard", "fe80::1ff:fe23:4567:890a"), false},
        {"found, markup in the name", ConnectionPillState::found("<b>x</b>", "10.0.0.2"), false},
        {"retry", ConnectionPillState::retry(QString::fromUtf8("Couldn’t connect...")), false},
        {"retry, empty message", ConnectionPillState::retry(""), false},
        {"choose", ConnectionPillState::choose(), false},
    };
    expectWritten(renderMoving(QStringLiteral("connection-pill"), 300ms, [&](QWidget &page, UiHarness &) {
        auto *grid = new QGridLayout(&page);
        grid->setContentsMargins(24, 24, 24, 24);
        grid->setHorizontalSpacing(20);
        grid->setVerticalSpacing(14);
        int row = 0;
        for (const Look &look : looks) {
            grid->addWidget(caption(QString::fromUtf8(look.name), &page), row, 0);
            auto *pill = new ConnectionPill(look.state, {}, &page);
            grid->addWidget(pill, row++, 1, Qt::AlignCenter);
            if (look.hovered)
                gallery::pointerEnters(pill);
        }
        grid->setColumnMinimumWidth(1, 400);
    }));
}

TEST(WelcomeGallery, ArrivalPillAndSpinners)
{
    expectWritten(renderMoving(QStringLiteral("arrival-pill-and-spinners"), 300ms, [](QWidget &page, UiHarness &) {
        auto *grid = new QGridLayout(&page);
        grid->setContentsMargins(24, 24, 24, 24);
        grid->setHorizontalSpacing(20);
        grid->setVerticalSpacing(14);
        grid->addWidget(caption(QStringLiteral("loading"), &page), 0, 0);
        grid->addWidget(new BridgeArrivalPill(BridgeArrivalPill::State::Loading, &page), 0, 1, Qt::AlignLeft);
        grid->addWidget(caption(QStringLiteral("connected"), &page), 1, 0);
        grid->addWidget(new BridgeArrivalPill(BridgeArrivalPill::State::Connected, &page), 1, 1, Qt::AlignLeft);

        const ui::DynamicColor ink{ui::colours::grey255(77), ui::colours::white(0.7)};
        auto *searching = new SearchingSpinner(ink, &page);
        auto *arriving = new ArrivalSpinner({QColor::fromRgbF(0.68, 0.43, 0), QColor::fromRgbF(1, 0.78, 0.25)},
                                            Spinning::Running, &page);
        grid->addWidget(caption(QStringLiteral("spinners, 0.3 s in"), &page), 2, 0);
        auto *row = new QHBoxLayout;
        row->setSpacing(16);
        row->addWidget(searching);
        row->addWidget(arriving);
        row->addWidget(new Magnifier(searching, &page));
        row->addWidget(new Magnifier(arriving, &page));
        row->addStretch();
        grid->addLayout(row, 2, 1);
    }));
}

TEST(WelcomeGallery, WelcomeStageWithThePulse)
{
    struct Scene {
        const char *name;
        ConnectionPillState state;
        const char *instruction;
        pulseCurve::PulseSwitch pulse;
    };
    const Scene scenes[] = {
        {"welcome-searching", ConnectionPillState::searching(),
         "Press the large button on Hue Bridge\nto start the pairing.", pulseCurve::PulseSwitch::On},
        {"welcome-ready", ConnectionPillState::ready(),
         "Press the large button on your Hue Bridge,\nthen select Pair Bridge below.", pulseCurve::PulseSwitch::Off},
    };
    for (const Scene &scene : scenes) {
        SCOPED_TRACE(scene.name);
        // Half a second into the pulse: its brightest moment.
        expectWritten(renderMoving(QString::fromLatin1(scene.name), 500ms, [&](QWidget &page, UiHarness &) {
            auto *content = new QWidget;
            auto *column = new QVBoxLayout(content);
            column->setContentsMargins(0, 0, 0, 8);
            column->setSpacing(16);
            auto *instruction = new ui::TextLabel(QString::fromUtf8(scene.instruction), content);
            instruction->setFont(ui::systemFont(14));
            instruction->setAlignment(Qt::AlignCenter);
            instruction->setFixedSize(332, 38);
            column->addWidget(instruction, 0, Qt::AlignHCenter);
            column->addWidget(new ConnectionPill(scene.state, {}, content), 0, Qt::AlignHCenter);
            auto *stage = new WelcomeLayout(scene.pulse, content, &page);
            auto *layout = new QVBoxLayout(&page);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(stage);
        }));
    }
}
