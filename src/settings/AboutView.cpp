#include "settings/AboutView.h"

#include "settings/ApplicationInfo.h"

#include "controls/FocusRing.h"
#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DropShadow.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FixedSizeWindow.h"
#include "ui/FocusHolder.h"
#include "ui/FocusReturn.h"
#include "ui/PlainToolTip.h"
#include "ui/SvgImage.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

#include <vector>

namespace vantora {

namespace {

struct Texts final {
    Q_DECLARE_TR_FUNCTIONS(vantora::AboutView)
};

const ui::DynamicColor primaryText{ui::colours::grey255(41), ui::colours::grey(0.94)};
const ui::DynamicColor secondaryText{ui::colours::grey255(107), ui::colours::grey(0.65)};
const ui::DynamicColor pageBackground{ui::colours::grey255(242), ui::colours::grey(0.13)};
const ui::DynamicColor separatorColour{ui::colours::black(0.04), ui::colours::white(0.06)};

constexpr int linksWidth = 201;
constexpr int labelWidth = 56;
constexpr qreal artworkCornerRadius = 16;

QFont bodyFont()
{
    return ui::systemFont(12, QFont::Medium, -0.12);
}

// The artwork, with the soft shadow it casts.
class Artwork final : public QWidget {
public:
    explicit Artwork(QWidget *parent)
        : QWidget(parent)
        , m_image(ui::Image::AboutArtwork)
    {
        setFixedSize(72, 72);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF drawn = ui::SvgImage::fittedRect(m_image.naturalSize(), QRectF(rect()).adjusted(2, 2, -2, -2));
        const ui::DropShadow shadow{ui::colours::black(0.15), 1, {0, 1}};
        shadow.paintUnderRoundedRect(painter, drawn, artworkCornerRadius * drawn.width() / 68);
        m_image.paint(painter, rect());
    }

private:
    ui::SvgImage m_image;
};

// The name drawn as a template in the primary text colour.
class Logo final : public QWidget {
public:
    explicit Logo(QWidget *parent)
        : QWidget(parent)
        , m_image(ui::Image::VantoraLogo)
    {
        setFixedSize(78, 24);
        setAccessibleName(QStringLiteral("vantora"));
        ui::a11y::setHeading(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_image.paint(painter, rect(), primaryText.resolve(ui::colorScheme(this)));
    }

private:
    ui::SvgImage m_image;
};

// A link shown as its plain text, opening its URL when clicked.
class LinkButton final : public QAbstractButton {
public:
    LinkButton(const QString &title, const QUrl &url, UrlOpener openURL, QWidget *parent)
        : QAbstractButton(parent)
    {
        setText(title);
        setFont(bodyFont());
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(title);
        ui::setPlainToolTip(*this, url.toString());
        connect(this, &QAbstractButton::clicked, this, [url, openURL = std::move(openURL)] { openURL(url); });
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(text()) + 2, metrics.height()};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QColor colour = primaryText.resolve(ui::colorScheme(this));
        if (isDown())
            colour.setAlphaF(0.6);
        painter.setPen(colour);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
        if (m_keyboardFocus)
            painter.drawLine(QPointF(0, height() - 0.5), QPointF(width(), height() - 0.5));
    }

    void focusInEvent(QFocusEvent *event) override
    {
        m_keyboardFocus = controls::focusRing::cameByKeyboard(*event);
        QAbstractButton::focusInEvent(event);
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        m_keyboardFocus = false;
        QAbstractButton::focusOutEvent(event);
    }

private:
    bool m_keyboardFocus = false;
};

class Separator final : public QWidget {
public:
    explicit Separator(QWidget *parent)
        : QWidget(parent)
    {
        setFixedHeight(1);
        ui::a11y::setHidden(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), separatorColour.resolve(ui::colorScheme(this)));
    }
};

ui::TextLabel *secondaryLabel(const QString &text, const QFont &font, QWidget *parent)
{
    auto *label = new ui::TextLabel(text, parent);
    label->setFont(font);
    label->setForeground(secondaryText);
    return label;
}

QWidget *linkRow(const QString &label, const QString &value, const QUrl &url, const UrlOpener &openURL,
                 QWidget *parent)
{
    auto *row = new QWidget(parent);
    row->setFixedHeight(20);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto *name = secondaryLabel(label, bodyFont(), row);
    name->setFixedWidth(labelWidth);
    layout->addWidget(name);
    layout->addWidget(new LinkButton(value, url, openURL, row));
    layout->addStretch();
    return row;
}

} // namespace

AboutView::AboutView(const ApplicationInfo &info, UrlOpener openURL, QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(pageSize);
    setFont(bodyFont());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 48, 0, 20);
    layout->setSpacing(0);

    layout->addWidget(new Artwork(this), 0, Qt::AlignHCenter);
    layout->addSpacing(16);
    layout->addWidget(new Logo(this), 0, Qt::AlignHCenter);
    layout->addSpacing(4);

    auto *version = secondaryLabel(Texts::tr("Version %1").arg(info.version()), bodyFont(), this);
    version->setFixedHeight(20);
    version->setAlignment(Qt::AlignCenter);
    version->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The window's first stop, so that a reader says the version as About opens, with the
    // build it names in its tooltip. Some readers read a label by its text alone, others
    // with its description after it: the element is one line that names both, and the
    // tooltip is no description, which would say the build twice.
    version->setFocusPolicy(Qt::StrongFocus);
    const QString build = Texts::tr("Build %1").arg(info.build());
    ui::setPlainToolTip(*version, build, ui::ToolTipReading::NotTold);
    ui::a11y::setCombined(version, QStringLiteral("%1, %2").arg(version->text(), build));
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(40);

    // Links are never cut short: a long address widens the column.
    auto *links = new QWidget(this);
    links->setMinimumWidth(linksWidth);
    auto *linksLayout = new QVBoxLayout(links);
    linksLayout->setContentsMargins(0, 0, 0, 0);
    linksLayout->setSpacing(8);
    // A build without a support address, a web host or a handle has nobody to write to, no
    // site to visit and no profile to follow; those rows go.
    std::vector<QWidget *> rows;
    if (info.supportEmail())
        rows.push_back(linkRow(Texts::tr("Support"), *info.supportEmail(), *info.supportMailURL(), openURL, links));
    if (!info.webHost().isEmpty())
        rows.push_back(linkRow(Texts::tr("Website"), info.webHost(), info.websiteURL(), openURL, links));
    if (!info.socialHandle().isEmpty())
        rows.push_back(linkRow(Texts::tr("X"), u'@' + info.socialHandle(), info.socialURL(), openURL, links));
    for (QWidget *row : rows) {
        if (row != rows.front())
            linksLayout->addWidget(new Separator(links));
        linksLayout->addWidget(row);
    }
    layout->addWidget(links, 0, Qt::AlignHCenter);

    layout->addStretch();
    layout->addSpacing(20);
    layout->addWidget(secondaryLabel(Texts::tr("Not affiliated with Philips Hue."), ui::systemFont(11), this), 0,
                      Qt::AlignHCenter);

    auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close->setContext(Qt::WindowShortcut);
    connect(close, &QShortcut::activated, this, [this] { window()->close(); });
}

void AboutView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), pageBackground.resolve(ui::colorScheme(this)));
}

QWidget *showAboutWindow()
{
    static QPointer<QWidget> window;
    if (!window) {
        // Opened from a window of the application (the panel's settings menu), it belongs to
        // it as its alerts do: a panel that closes when another window takes the activation
        // stays under About, and gets the focus back from it.
        window = new AboutView(ApplicationInfo::shared(), desktopUrlOpener(), QApplication::activeWindow());
        ui::makeFixedSizeWindow(*window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(Texts::tr("About vantora"));
        // Closed, it gives the keys back to the control the user opened it from.
        QObject::connect(window, &QObject::destroyed, [focus = ui::FocusReturn(nullptr)] { focus.giveBack(); });
        ui::focusFirstControl(*window);
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace vantora
