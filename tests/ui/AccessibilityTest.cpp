#include "ui/Accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace a11y = vantora::ui::a11y;

namespace {

std::vector<QObject *> childrenOf(QWidget *widget)
{
    std::vector<QObject *> children;
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(widget);
    for (int i = 0; i < element->childCount(); ++i)
        children.push_back(element->child(i)->object());
    return children;
}

int elementsBuilt = 0;

QAccessibleInterface *countingFactory(const QString &, QObject *)
{
    ++elementsBuilt;
    return nullptr;
}

} // namespace

TEST(Accessibility, HiddenWidgetsLeaveTheTreeAndComeBackWhenShown)
{
    QWidget page;
    auto *decoration = new QWidget(&page);
    auto *button = new QPushButton(QStringLiteral("Refresh"), &page);
    EXPECT_EQ(childrenOf(&page), (std::vector<QObject *>{decoration, button}));

    a11y::setHidden(decoration);
    EXPECT_EQ(childrenOf(&page), std::vector<QObject *>{button});

    a11y::setHidden(decoration, a11y::Visibility::Shown);
    EXPECT_EQ(childrenOf(&page), (std::vector<QObject *>{decoration, button}));
}

TEST(Accessibility, AHiddenWidgetStaysHiddenUnderANewParent)
{
    QWidget first;
    QWidget second;
    auto *kept = new QPushButton(QStringLiteral("Kept"), &second);
    auto *strip = new QWidget(&first);
    a11y::setHidden(strip);
    EXPECT_EQ(childrenOf(&second), std::vector<QObject *>{kept}); // asked before the move

    strip->setParent(&second);
    EXPECT_EQ(childrenOf(&second), std::vector<QObject *>{kept});
    EXPECT_TRUE(childrenOf(&first).empty());
}

TEST(Accessibility, ShapingBuildsNoElementThatNobodyAskedFor)
{
    QWidget page;
    auto *decoration = new QWidget(&page);
    a11y::setHidden(decoration);
    QAccessible::installFactory(countingFactory); // asked before ours from here on
    elementsBuilt = 0;

    QWidget card;
    auto *title = new QWidget(&card);
    auto *strip = new QWidget(&card);
    a11y::setHidden(strip);
    a11y::setRole(title, QAccessible::Heading);
    a11y::setCombined(&card, QStringLiteral("Kitchen"));
    a11y::setHidden(decoration, a11y::Visibility::Shown);
    EXPECT_EQ(elementsBuilt, 0);

    // Asked for later, the elements have the shapes given meanwhile.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&card)->text(QAccessible::Name), QStringLiteral("Kitchen"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(title)->role(), QAccessible::Heading);
    EXPECT_EQ(childrenOf(&page), std::vector<QObject *>{decoration});
    QAccessible::removeFactory(countingFactory);
}

TEST(Accessibility, ACombinedWidgetIsOneNamedElement)
{
    QWidget summary;
    auto *layout = new QVBoxLayout(&summary);
    layout->addWidget(new QLabel(QStringLiteral("2 rooms")));
    layout->addWidget(new QLabel(QStringLiteral("5 lights")));

    a11y::setCombined(&summary, QStringLiteral("2 rooms · 5 lights"));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&summary);
    EXPECT_EQ(element->childCount(), 0);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("2 rooms · 5 lights"));

    a11y::setCombined(&summary, QStringLiteral("1 room · 1 light"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&summary)->text(QAccessible::Name),
              QStringLiteral("1 room · 1 light"));
}

TEST(Accessibility, AHeadingKeepsItsLabelTextAsName)
{
    QWidget page;
    auto *title = new QLabel(QStringLiteral("Kitchen"), &page);
    a11y::setHeading(title);
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(title);
    EXPECT_EQ(element->role(), QAccessible::Heading);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Kitchen"));
}

TEST(Accessibility, QtControlsKeepTheirOwnPresentation)
{
    QPushButton button(QStringLiteral("Turn Kitchen off"));
    a11y::setHidden(new QWidget(&button));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&button);
    EXPECT_EQ(element->role(), QAccessible::Button);
    EXPECT_NE(element->actionInterface(), nullptr);
}

TEST(Accessibility, AnnouncementsGoToTheSinkOrToTheReaderEachWithItsText)
{
    std::vector<a11y::Announcement> heard;
    a11y::setAnnouncementSink([&](const a11y::Announcement &announcement) { heard.push_back(announcement); });
    a11y::announce(QStringLiteral("Hue Bridge connected"));
    a11y::announce(QStringLiteral("Lights off"), a11y::Priority::High);
    a11y::setAnnouncementSink({});
    EXPECT_EQ(heard, (std::vector<a11y::Announcement>{{QStringLiteral("Hue Bridge connected"), a11y::Priority::Medium},
                                                      {QStringLiteral("Lights off"), a11y::Priority::High}}));

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Before Qt 6.8 a reader reads each announcement from a notification element when it
    // gets to it: two in a row must not leave both reading the second's text.
    a11y::announce(QStringLiteral("Searching for your Hue Bridge"));
    a11y::announce(QStringLiteral("Nothing found..."));
    QStringList names;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->objectName() == QLatin1String("vantora-announcer")) {
            QAccessibleInterface *element = QAccessible::queryAccessibleInterface(widget);
            EXPECT_EQ(element->role(), QAccessible::Notification);
            names.append(element->text(QAccessible::Name));
        }
    }
    EXPECT_TRUE(names.contains(QStringLiteral("Searching for your Hue Bridge"))) << names.join(u'|').toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Nothing found..."))) << names.join(u'|').toStdString();
#endif
}

// News that comes with a widget (a notice, a failure) is read out once, as the widget first
// shows, and not while nobody sees it.
TEST(Accessibility, NewsIsAnnouncedAsItsWidgetFirstShows)
{
    std::vector<a11y::Announcement> heard;
    a11y::setAnnouncementSink([&](const a11y::Announcement &announcement) { heard.push_back(announcement); });
    QWidget window;
    a11y::announceOnFirstShow(*new QWidget(&window), QStringLiteral("Something went wrong."));
    EXPECT_TRUE(heard.empty());
    window.show();
    window.hide();
    window.show();
    // A widget added to a shown window shows once it is shown itself.
    auto *later = new QWidget(&window);
    a11y::announceOnFirstShow(*later, QStringLiteral("Couldn’t load lights."));
    later->show();
    a11y::setAnnouncementSink({});
    EXPECT_EQ(heard, (std::vector<a11y::Announcement>{{QStringLiteral("Something went wrong."), a11y::Priority::Medium},
                                                      {QStringLiteral("Couldn’t load lights."), a11y::Priority::Medium}}));
}

// A window whose menu entry opens another window reads as a plain pane, whose activity a
// reader does not announce, until it is deactivated.
TEST(Accessibility, AWindowPassingItsActivityOnReadsAsAPaneUntilDeactivated)
{
    QWidget window;
    // Reshaping installs the presentation of windows.
    a11y::setHidden(new QWidget(&window));
    QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&window);
    EXPECT_EQ(element->role(), QAccessible::Window);
    a11y::passActivityOn(window);
    EXPECT_EQ(element->role(), QAccessible::Pane);
    QEvent deactivated(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(&window, &deactivated);
    EXPECT_EQ(element->role(), QAccessible::Window);
}
