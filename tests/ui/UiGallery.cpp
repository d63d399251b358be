#include "ui/Gallery.h"
#include "ui/UiHarness.h"

#include "ui/BridgeIllustration.h"
#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/LightCardSurface.h"
#include "ui/LightStateIcon.h"
#include "ui/LightsActionButton.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vantora::ui;
using vantora::testing::pointerEnters;
using vantora::testing::renderGallery;

namespace {

DynamicColor labelColour()
{
    return {colours::grey(0.16), colours::grey(0.94)};
}

TextLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new TextLabel(text, parent);
    label->setFont(systemFont(11));
    label->setForeground(labelColour());
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// A template image in a fixed frame, tinted with the scheme's label colour.
class ImageView final : public QWidget {
public:
    ImageView(Image name, QSize frame, QWidget *parent) : QWidget(parent), m_name(name)
    {
        setFixedSize(frame);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        SvgImage(m_name).paint(painter, rect(), labelColour().resolve(colorScheme(this)));
    }

private:
    Image m_name;
};

void expectWritten(const QStringList &paths)
{
    ASSERT_EQ(paths.size(), 2);
    for (const QString &path : paths) {
        const QImage image(path);
        EXPECT_FALSE(image.isNull()) << path.toStdString();
    }
}

} // namespace

TEST(Gallery, CardSurface)
{
    expectWritten(renderGallery(QStringLiteral("card-surface"), [](QWidget &page, ColorScheme) {
        auto *layout = new QHBoxLayout(&page);
        layout->setContentsMargins(24, 24, 24, 24);
        layout->setSpacing(24);
        for (const qreal radius : {12.0, 8.0}) {
            auto *card = new LightCardSurface(radius, &page);
            auto *content = new QVBoxLayout(card->content());
            content->setContentsMargins(16, 16, 16, 16);
            auto *title = new TextLabel(QStringLiteral("Living room"), card->content());
            title->setFont(systemFont(14, QFont::Medium));
            title->setForeground(labelColour());
            content->addWidget(title);
            content->addWidget(caption(QStringLiteral("radius %1").arg(radius), card->content()));
            card->setFixedSize(180, 96);
            layout->addWidget(card);
        }
    }));
}

TEST(Gallery, StateIcon)
{
    struct State {
        const char *name;
        LightStateIcon::Fields fields;
    };
    const State states[] = {
        {"off", {false, true, false, {}}},
        {"on", {true, true, false, {}}},
        {"on, tinted", {true, true, false, QColor(90, 150, 255)}},
        {"unreachable", {false, false, false, {}}},
        {"unreachable, on", {true, false, false, QColor(90, 150, 255)}},
        {"updating", {true, true, true, {}}},
        {"updating, unreachable", {false, false, true, {}}},
    };
    expectWritten(renderGallery(QStringLiteral("state-icon"), [&](QWidget &page, ColorScheme) {
        auto *layout = new QGridLayout(&page);
        layout->setContentsMargins(20, 20, 20, 20);
        layout->setHorizontalSpacing(16);
        int column = 0;
        for (const State &state : states) {
            auto *card = new LightCardSurface(12, &page);
            auto *inner = new QVBoxLayout(card->content());
            inner->setContentsMargins(14, 14, 14, 14);
            auto *icon = new LightStateIcon(card->content());
            icon->apply(state.fields);
            inner->addWidget(icon, 0, Qt::AlignCenter);
            card->setFixedSize(68, 68);
            layout->addWidget(card, 0, column, Qt::AlignHCenter);
            layout->addWidget(caption(QString::fromUtf8(state.name), &page), 1, column++);
        }
    }));
}

TEST(Gallery, ActionButton)
{
    expectWritten(renderGallery(QStringLiteral("action-button"), [](QWidget &page, ColorScheme) {
        Environment::scope(&page).set(reduceMotionKey, true); // still pictures: hover shows at once
        auto *layout = new QGridLayout(&page);
        layout->setContentsMargins(24, 24, 24, 24);
        layout->setHorizontalSpacing(20);
        layout->setVerticalSpacing(8);
        const char *phases[] = {"normal", "hover", "pressed", "disabled"};
        for (int column = 0; column < 4; ++column) {
            auto *button = new LightsActionButton(QStringLiteral("Try again"), {colours::grey(0.9)}, &page);
            layout->addWidget(button, 0, column, Qt::AlignCenter);
            layout->addWidget(caption(QString::fromLatin1(phases[column]), &page), 1, column);
            if (column == 1 || column == 3)
                pointerEnters(button);
            button->setDown(column == 2);
            button->setEnabled(column != 3);
        }
        auto *back = new LightsActionButton(QStringLiteral("All lights"), {colours::grey255(245)}, &page);
        back->setGlyph(Image::LightBulb, QSizeF(14, 20));
        back->setFont(systemFont(14, QFont::Medium));
        back->setContentsMargins(8, 0, 14, 0);
        back->setFixedHeight(36);
        layout->addWidget(back, 2, 0, 1, 2, Qt::AlignLeft);
    }));
}

TEST(Gallery, Images)
{
    expectWritten(renderGallery(QStringLiteral("images"), [](QWidget &page, ColorScheme) {
        auto *layout = new QHBoxLayout(&page);
        layout->setContentsMargins(24, 24, 24, 24);
        layout->setSpacing(24);
        layout->addWidget(new ImageView(Image::VantoraLogo, QSize(78, 24), &page), 0, Qt::AlignTop);
        layout->addWidget(new ImageView(Image::LightBulb, QSize(14, 20), &page), 0, Qt::AlignTop);
        layout->addWidget(new ImageView(Image::UnreachableLightBulb, QSize(22, 23), &page), 0, Qt::AlignTop);
        layout->addWidget(new BridgeIllustration(&page));
    }));
}
