#pragma once

// What a screen reader is told while this lives: the texts of the announcements, in order.
// The sink that was there before comes back when it goes.

#include "ui/Accessibility.h"

#include <QStringList>

namespace vantora::testing {

class HeardAnnouncements {
public:
    HeardAnnouncements()
        : m_previous(ui::a11y::setAnnouncementSink(
              [this](const ui::a11y::Announcement &announcement) { texts << announcement.text; }))
    {
    }
    ~HeardAnnouncements() { ui::a11y::setAnnouncementSink(m_previous); }
    HeardAnnouncements(const HeardAnnouncements &) = delete;
    HeardAnnouncements &operator=(const HeardAnnouncements &) = delete;

    QStringList texts;

private:
    ui::a11y::AnnouncementSink m_previous;
};

} // namespace vantora::testing
